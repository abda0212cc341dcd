#pragma once

#include "console/JoinedListModel.h"

namespace console {

// The items of the current web order on the Details page (`WebOrderItems`, each joined with its
// material `MTL:`), in the order's key order. Without a current order the list is empty.
//
// Stock materials (type "M" with `MTL:Stock` 1) show a stock icon on their code, tested in this
// order: "GreenSq" when the available stock minus the quantity is above the re-order level,
// "RedSq" when the quantity is more than the available stock, else "YellowSq".
class OrderItemListModel : public JoinedListModel
{
    Q_OBJECT

public:
    static constexpr quint32 kStripe = 0xF5F9F4;
    enum Column { Code, Description, Quantity, Available, Reorder, Value, Type, ColumnCount };

    explicit OrderItemListModel(bizlib::Database &db, QObject *parent = nullptr);

    // Lists the items of the order (0: none). Does not re-read the list.
    void setOrder(qint32 orderId);
    qint32 orderId() const { return m_orderId; }

    static QString stockIcon(const bizlib::Record &item, const bizlib::Record &material);

private:
    qint32 m_orderId = 0;
};

} // namespace console
