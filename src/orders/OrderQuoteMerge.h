#pragma once

#include "bizlib/Decimal.h"
#include "bizlib/Record.h"
#include "bizlib/Status.h"

namespace bizlib {
class Database;
}

namespace orders {

// How an order's quantity and extra charges are carried into the quote that the order is made to.
class OrderQuoteMerge
{
public:
    // The order quantity in the quote's list of up to five quantities (each with its text and
    // amounts, which move with it). A quantity already listed only becomes the quote's quantity
    // index (*changed false: nothing to write). Otherwise it is added with `text` and the list is
    // sorted ascending; of six, the largest goes unless it is the order quantity, which then
    // takes the fifth place. QTE:QuantityIndex becomes the order quantity's place in the new list
    // (so the prices read at that index are the ordered quantity's). Returns that place (1..5).
    static int mergeQuantity(bizlib::Record &quote, qint64 quantity, const QString &text, bool *changed);

    // The markup of an extra charge carried into the workings: (net - price) / price x 100; a
    // charge without a price has no markup to speak of (0) rather than a division by zero.
    static bizlib::Decimal extraMarkup(const bizlib::Decimal &net, const bizlib::Decimal &price);

    // Carries the order's extra charges into the quote's workings: each item of `orderId` with its
    // second fixed-charge flag set, or whose code is `voucherCode` and whose net is not zero,
    // becomes a workings line of `quoteId` (its resource, code, description, type; category
    // "Adhoc" for outwork, "User" otherwise; quantity 1; its amounts; the markup above; cost code
    // "NONE"; its fixed-charge flag) and the item is deleted. All or nothing. *carried counts them.
    static bizlib::Status carryExtras(
        bizlib::Database &db, qint32 orderId, qint32 quoteId, const QString &voucherCode, int *carried = nullptr);
};

} // namespace orders
