#pragma once

#include "console/RequestLists.h"

#include <QtGlobal>

namespace bizlib {
class Record;
}

namespace console {

// A web quote request or web order that attachments and notes belong to.
struct RequestRef
{
    enum class Kind { None, Quote, Order };

    Kind kind = Kind::None;
    qint32 id = 0; // `WQTE:QuoteID` or `WORD:OrderID`; 0: no request selected
    qint32 webId = 0; // the request's identifier on the website

    bool isSet() const { return kind != Kind::None && id != 0; }
    bool operator==(const RequestRef &) const = default;

    static RequestRef quote(const bizlib::Record &quote);
    static RequestRef order(const bizlib::Record &order);

    // The request whose attachments and notes are listed: the selected quote request while the
    // quote list is the current list and a request is selected there; otherwise the selected
    // order (none: an order reference without identifier). `quote` and `order` are the selected
    // rows' records, nullptr when the list has none.
    static RequestRef forDetails(RequestLists::Focus current, const bizlib::Record *quote, const bizlib::Record *order);
    // The request that new attachments and notes go to: the selected row of the current list
    // when that is the quote or the order list (the sign-up list takes none).
    static RequestRef forNew(RequestLists::Focus current, const bizlib::Record *quote, const bizlib::Record *order);
};

} // namespace console
