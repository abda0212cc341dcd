#include "console/general/OrderListModel.h"

#include "console/Columns.h"
#include "console/general/ListIcons.h"
#include "console/ListPicture.h"

namespace console {

namespace {

QString clipped(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == u' ')
        --n;
    return s.left(n);
}

std::unique_ptr<ListQuery> orderQuery(bizlib::Database &db)
{
    auto q = std::make_unique<ListQuery>(db, QStringLiteral("WebOrders"), QStringLiteral("NUMBERKEY"));
    q->join(QStringLiteral("Clients"), QStringLiteral("c"), QStringLiteral("ClientID"), QStringLiteral("t"),
        QStringLiteral("ClientID"),
        { QStringLiteral("ClientID"), QStringLiteral("Name"), QStringLiteral("Manager"), QStringLiteral("Rep"),
            QStringLiteral("DomainID") });
    q->join(QStringLiteral("Domains"), QStringLiteral("d"), QStringLiteral("DomainID"), QStringLiteral("c"),
        QStringLiteral("DomainID"), { QStringLiteral("DomainID"), QStringLiteral("Description") });
    return q;
}

QList<ListColumn> orderColumns()
{
    ListColumn type;
    type.icon = [](const ListRow &r) { return OrderListModel::typeIcon(r.record); };

    ListColumn notes;
    notes.icon = [](const ListRow &r) {
        const bool has = r.record.toLong("NoteID") != 0 || !r.record.text("Notes").trimmed().isEmpty();
        return has ? ListIcons::Notes : QString();
    };
    notes.tip = [](const ListRow &r) { return clipped(r.record.text("Notes")); };

    ListColumn client = Columns::text(QStringLiteral("Client"), QStringLiteral("WORD:Name"), 50);
    client.icon = [](const ListRow &r) { return r.record.toLong("WebSignupID") != 0 ? ListIcons::New : QString(); };

    ListColumn taxRate;
    taxRate.title = QStringLiteral("Tax-rate");
    taxRate.align = ListColumn::Align::Right;
    taxRate.text = [](const ListRow &r) { return ListPicture::decimal(r.record.decimal("TaxRate"), 4) + u'%'; };

    return {
        type,
        Columns::iconWhenSet({}, QStringLiteral("WORD:HasAttachments"), ListIcons::Attachment),
        notes,
        client,
        Columns::date(QStringLiteral("Received"), QStringLiteral("WORD:CreatedOn")),
        Columns::time(QStringLiteral("At"), QStringLiteral("WORD:CreatedAt")),
        Columns::text(QStringLiteral("Quantity"), QStringLiteral("WORD:Quantity"), 25),
        Columns::text(QStringLiteral("Title"), QStringLiteral("WORD:Title"), 255),
        Columns::text(QStringLiteral("Contact"), QStringLiteral("WORD:Contact"), 50),
        Columns::text(QStringLiteral("Order No"), QStringLiteral("WORD:OrderNo"), 20),
        Columns::decimal(QStringLiteral("Net"), QStringLiteral("WORD:QuotePrice"), 2, true),
        Columns::decimal(QStringLiteral("Tax"), QStringLiteral("WORD:Tax"), 2, true),
        Columns::decimal(QStringLiteral("Total"), QStringLiteral("WORD:Total"), 2, true),
        Columns::flag(QStringLiteral("Prepay?"), QStringLiteral("WORD:Prepay")),
        Columns::flag(QStringLiteral("Paid?"), QStringLiteral("WORD:Prepaid")),
        Columns::text(QStringLiteral("Tax-code"), QStringLiteral("WORD:TaxCode"), 10),
        taxRate,
        Columns::text(QStringLiteral("External-ref"), QStringLiteral("WORD:ExternalRef"), 15),
        Columns::text(QStringLiteral("Rep"), QStringLiteral("CLI:Rep"), 3),
        Columns::text(QStringLiteral("Mgr"), QStringLiteral("CLI:Manager"), 3),
        Columns::date(QStringLiteral("Required"), QStringLiteral("WORD:Required")),
        Columns::text(QStringLiteral("Priority"), QStringLiteral("WORD:Priority"), 10),
        Columns::text(QStringLiteral("Domain"), QStringLiteral("DOM:Description"), 100),
        Columns::text(QStringLiteral("Invoice-to"), QStringLiteral("WORD:Office"), 10),
        Columns::text(QStringLiteral("Deliver-to"), QStringLiteral("WORD:DOffice"), 10),
        Columns::decimal(QStringLiteral("Weight"), QStringLiteral("WORD:Weight"), 2, true),
        Columns::text(QStringLiteral("Web ID"), QStringLiteral("WORD:WebID"), 10),
        Columns::number(QStringLiteral("Order ID"), QStringLiteral("WORD:OrderID")),
        Columns::number(QStringLiteral("Quote ID"), QStringLiteral("WORD:QuoteID")),
        Columns::number(QStringLiteral("Previous ID"), QStringLiteral("WORD:PreviousID")),
    };
}

} // namespace

OrderListModel::OrderListModel(bizlib::Database &db, QObject *parent)
    : JoinedListModel(orderQuery(db), orderColumns(), kStripe, parent)
{
    applyFilters({}, {});
}

bizlib::Status OrderListModel::applyFilters(const ListFilters &filters, const QString &userCode)
{
    ListQuery &q = query();
    bizlib::Status st = q.setFilter(
        QStringLiteral("1_Status"), filters.pendingOnly ? QStringLiteral("(WORD:Status <> 'Processing')") : QString());
    if (st)
        st = q.setFilter(QStringLiteral("2_AccManagerFilter"),
            filters.accManager ? QStringLiteral("CLI:Manager = ") + ListBindings::UserCode : QString(),
            { { ListBindings::UserCode.toLower(), userCode } });
    if (st)
        st = q.setFilter(
            QStringLiteral("3_B2COnlyFilter"), filters.b2cOnly ? QStringLiteral("WORD:WebSignupID > 0") : QString());
    return st;
}

QString OrderListModel::typeIcon(const bizlib::Record &order)
{
    const QString type = clipped(order.text("OrderType"));
    if (type == QLatin1String("Product"))
        return ListIcons::OrderProduct;
    if (type == QLatin1String("Service") && !order.text("StockCode").trimmed().isEmpty())
        return ListIcons::OrderWorks;
    return {};
}

bool OrderListModel::isServiceOrder(const bizlib::Record &order)
{
    return clipped(order.text("OrderType")).toUpper() == QLatin1String("SERVICE");
}

} // namespace console
