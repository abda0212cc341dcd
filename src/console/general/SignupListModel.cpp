#include "console/general/SignupListModel.h"

#include "console/Columns.h"
#include "console/general/ListIcons.h"

namespace console {

namespace {

std::unique_ptr<ListQuery> signupQuery(bizlib::Database &db)
{
    auto q = std::make_unique<ListQuery>(db, QStringLiteral("WebSignup"), QStringLiteral("STATUSDATEKEY"));
    q->join(QStringLiteral("Domains"), QStringLiteral("d"), QStringLiteral("DomainID"), QStringLiteral("t"),
        QStringLiteral("DomainID"), { QStringLiteral("DomainID"), QStringLiteral("Description") });
    q->join(QStringLiteral("Countries"), QStringLiteral("y"), QStringLiteral("CountryID"), QStringLiteral("t"),
        QStringLiteral("CountryID"), { QStringLiteral("CountryID"), QStringLiteral("CountryName") });
    return q;
}

QList<ListColumn> signupColumns()
{
    ListColumn contact = Columns::text(QStringLiteral("Contact"), QStringLiteral("WSUP:FullName"), 50);
    contact.icon = [](const ListRow &r) { return r.record.toLong("IsCustomer") == 1 ? ListIcons::Client : QString(); };
    return {
        contact,
        Columns::date(QStringLiteral("Received"), QStringLiteral("WSUP:SignupDate")),
        Columns::time(QStringLiteral("At"), QStringLiteral("WSUP:SignupTime")),
        Columns::text(QStringLiteral("Company"), QStringLiteral("WSUP:Company"), 50),
        Columns::text(QStringLiteral("Domain"), QStringLiteral("DOM:Description"), 100),
        Columns::text(QStringLiteral("Town"), QStringLiteral("WSUP:Town"), 40),
        Columns::text(QStringLiteral("Postcode"), QStringLiteral("WSUP:Postcode"), 20),
        Columns::text(QStringLiteral("Country"), QStringLiteral("CTY:CountryName"), 40),
    };
}

} // namespace

SignupListModel::SignupListModel(bizlib::Database &db, QObject *parent)
    : JoinedListModel(signupQuery(db), signupColumns(), kStripe, parent)
{
    query().setFilter(QStringLiteral("1_Source"), QStringLiteral("(WSUP:Source <> 'B2C')"));
    applyFilters({});
}

bizlib::Status SignupListModel::applyFilters(const ListFilters &filters)
{
    query().setRange(filters.pendingOnly ? QVariantList { QStringLiteral("Pending") } : QVariantList {});
    return bizlib::Status::ok();
}

} // namespace console
