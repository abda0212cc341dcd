#include "console/general/QuoteListModel.h"

#include "console/Columns.h"
#include "console/general/ListIcons.h"

namespace console {

namespace {

std::unique_ptr<ListQuery> quoteQuery(bizlib::Database &db)
{
    auto q = std::make_unique<ListQuery>(db, QStringLiteral("WebQuotes"), QStringLiteral("NUMBERKEY"));
    q->join(QStringLiteral("Clients"), QStringLiteral("c"), QStringLiteral("ClientID"), QStringLiteral("t"),
        QStringLiteral("ClientID"),
        { QStringLiteral("ClientID"), QStringLiteral("Name"), QStringLiteral("Manager"), QStringLiteral("Rep"),
            QStringLiteral("DomainID") });
    q->join(QStringLiteral("Domains"), QStringLiteral("d"), QStringLiteral("DomainID"), QStringLiteral("c"),
        QStringLiteral("DomainID"), { QStringLiteral("DomainID"), QStringLiteral("Description") });
    return q;
}

QList<ListColumn> quoteColumns()
{
    return {
        Columns::iconWhenSet({}, QStringLiteral("WQTE:HasAttachments"), ListIcons::Attachment),
        Columns::iconWhenSet({}, QStringLiteral("WQTE:NoteID"), ListIcons::Notes),
        Columns::text(QStringLiteral("Client"), QStringLiteral("CLI:Name"), 50),
        Columns::date(QStringLiteral("Received"), QStringLiteral("WQTE:CreatedOn")),
        Columns::time(QStringLiteral("At"), QStringLiteral("WQTE:CreatedAt")),
        Columns::number(QStringLiteral("Quantity"), QStringLiteral("WQTE:Quantity1"), true),
        Columns::text(QStringLiteral("Title"), QStringLiteral("WQTE:Title"), 255),
        Columns::decimal(QStringLiteral("Depth"), QStringLiteral("WQTE:Depth"), 4),
        Columns::decimal(QStringLiteral("Width"), QStringLiteral("WQTE:Width"), 4),
        Columns::text(QStringLiteral("Contact"), QStringLiteral("WQTE:Contact"), 50),
        Columns::number(QStringLiteral("Pages"), QStringLiteral("WQTE:Pages")),
        Columns::text(QStringLiteral("Office"), QStringLiteral("WQTE:Office"), 10),
        Columns::text(QStringLiteral("Rep"), QStringLiteral("WQTE:Rep"), 3),
        Columns::text(QStringLiteral("Mgr"), QStringLiteral("CLI:Manager"), 3),
        Columns::decimal(QStringLiteral("Price"), QStringLiteral("WQTE:SellingPrice1"), 2, true),
        Columns::text(QStringLiteral("Domain"), QStringLiteral("DOM:Description"), 100),
        Columns::number(QStringLiteral("Run-on"), QStringLiteral("WQTE:RunOn"), true),
        Columns::decimal(QStringLiteral("Price"), QStringLiteral("WQTE:RunOnPrice"), 2, true),
        Columns::decimal(QStringLiteral("Weight"), QStringLiteral("WQTE:Weight1"), 2, true),
        Columns::number(QStringLiteral("TemplateID"), QStringLiteral("WQTE:TemplateID")),
        Columns::number(QStringLiteral("Web ID"), QStringLiteral("WQTE:WebID")),
        Columns::number(QStringLiteral("PreviousID"), QStringLiteral("WQTE:PreviousID")),
        Columns::text(QStringLiteral("Quote-type"), QStringLiteral("WQTE:QuoteType"), 10),
        Columns::number(QStringLiteral("Quote ID"), QStringLiteral("WQTE:QuoteID")),
    };
}

} // namespace

QuoteListModel::QuoteListModel(bizlib::Database &db, QObject *parent)
    : JoinedListModel(quoteQuery(db), quoteColumns(), kStripe, parent)
{
    applyFilters({}, {});
}

bizlib::Status QuoteListModel::applyFilters(const ListFilters &filters, const QString &userCode)
{
    ListQuery &q = query();
    bizlib::Status st = q.setFilter(
        QStringLiteral("1_Status"), filters.pendingOnly ? QStringLiteral("(WQTE:Status <> 'Processing')") : QString());
    if (!st)
        return st;
    return q.setFilter(QStringLiteral("2AccManagerFilter"),
        filters.accManager ? QStringLiteral("CLI:Manager = ") + ListBindings::UserCode : QString(),
        { { ListBindings::UserCode.toLower(), userCode } });
}

} // namespace console
