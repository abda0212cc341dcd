#include "console/general/OrderItemListModel.h"

#include "console/Columns.h"
#include "console/general/ListIcons.h"

namespace console {

namespace {

std::unique_ptr<ListQuery> itemQuery(bizlib::Database &db)
{
    auto q = std::make_unique<ListQuery>(db, QStringLiteral("WebOrderItems"), QStringLiteral("ORDERIDKEY"));
    q->join(QStringLiteral("Materials"), QStringLiteral("m"), QStringLiteral("MaterialID"), QStringLiteral("t"),
        QStringLiteral("MaterialID"),
        { QStringLiteral("MaterialID"), QStringLiteral("Available"), QStringLiteral("Reorder"),
            QStringLiteral("OnHand"), QStringLiteral("Stock"), QStringLiteral("StockType") });
    q->setClosed(true);
    return q;
}

QList<ListColumn> itemColumns()
{
    ListColumn code = Columns::text(QStringLiteral("Code"), QStringLiteral("WORDI:Code"), 25);
    code.icon = [](const ListRow &r) { return OrderItemListModel::stockIcon(r.record, r.of(QStringLiteral("MTL"))); };
    ListColumn reorder = Columns::decimal(QStringLiteral("Re-order"), QStringLiteral("MTL:Reorder"), 0);
    return {
        code,
        Columns::text(QStringLiteral("Description"), QStringLiteral("WORDI:Description"), 255),
        Columns::decimal(QStringLiteral("Quantity"), QStringLiteral("WORDI:Quantity"), 2),
        Columns::decimal(QStringLiteral("Available"), QStringLiteral("MTL:Available"), 2),
        reorder,
        Columns::decimal(QStringLiteral("Value"), QStringLiteral("WORDI:Net"), 2),
        Columns::text(QStringLiteral("Type"), QStringLiteral("WORDI:Type"), 1),
    };
}

} // namespace

OrderItemListModel::OrderItemListModel(bizlib::Database &db, QObject *parent)
    : JoinedListModel(itemQuery(db), itemColumns(), kStripe, parent)
{ }

void OrderItemListModel::setOrder(qint32 orderId)
{
    m_orderId = orderId;
    query().setClosed(orderId == 0);
    query().setRange(orderId == 0 ? QVariantList {} : QVariantList { orderId });
}

QString OrderItemListModel::stockIcon(const bizlib::Record &item, const bizlib::Record &material)
{
    if (item.text("Type").trimmed() != QLatin1String("M") || material.toLong("Stock") != 1)
        return {};
    const bizlib::Decimal available = material.decimal("Available");
    const bizlib::Decimal quantity = item.decimal("Quantity");
    const bizlib::Decimal left = available - quantity;
    if (left > material.decimal("Reorder"))
        return ListIcons::GreenSq;
    if (quantity > available)
        return ListIcons::RedSq;
    return ListIcons::YellowSq;
}

} // namespace console
