#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QList>

namespace bizlib {
class Database;
}

namespace orders {

// The e-mail that tells the client's people that a business order was made from a web order
// (sent through quotes::WebNotify once per completed order).
class OrderNotice
{
public:
    static constexpr int kMaxLength = 2048;

    static QString subject() { return QStringLiteral("Web order processed"); }

    // The text: the client, web reference, job number, the client's order number, the quote with
    // its revision, quantity and title, one line each; for "Product" orders one line per material
    // item of `materialItems` (quantity, tab, " x ", code, " - ", description). Cut to kMaxLength.
    static QString text(const bizlib::Record &order, const bizlib::Record &client,
        const QList<bizlib::Record> &materialItems);

    // The order's material items ("M") in the order of the key by order, type and code.
    static bizlib::Status materialItems(bizlib::Database &db, qint32 orderId, QList<bizlib::Record> *items);
};

} // namespace orders
