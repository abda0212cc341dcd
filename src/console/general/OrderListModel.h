#pragma once

#include "console/JoinedListModel.h"
#include "console/general/ListFilters.h"

namespace console {

// The web orders waiting on the General tab (`WebOrders`, joined with the client `CLI:` and its
// web domain `DOM:`), in order number order. While only pending requests are shown, orders being
// processed are hidden; "Only show my accounts" keeps the orders whose client's account manager
// is the logged-on user; "Only show B2C orders" keeps the orders that came with a sign-up.
class OrderListModel : public JoinedListModel
{
    Q_OBJECT

public:
    static constexpr quint32 kStripe = 0xF7F9FB;
    enum Column {
        TypeIcon,
        AttachmentIcon,
        NoteIcon,
        Client,
        Received,
        At,
        Quantity,
        Title,
        Contact,
        OrderNo,
        Net,
        Tax,
        Total,
        Prepay,
        Paid,
        TaxCode,
        TaxRate,
        ExternalRef,
        Rep,
        Mgr,
        Required,
        Priority,
        Domain,
        InvoiceTo,
        DeliverTo,
        Weight,
        WebId,
        OrderId,
        QuoteId,
        PreviousId,
        ColumnCount
    };

    explicit OrderListModel(bizlib::Database &db, QObject *parent = nullptr);

    bizlib::Status applyFilters(const ListFilters &filters, const QString &userCode);

    // The type icon: "Order_product" for the type "Product", "Order_works" for the type "Service"
    // with a stock code; the type is compared exactly (trailing blanks ignored).
    static QString typeIcon(const bizlib::Record &order);
    // A service order (the type upper-cased is "SERVICE") shows its specification as details;
    // any other order is a product order and shows its items.
    static bool isServiceOrder(const bizlib::Record &order);
};

} // namespace console
