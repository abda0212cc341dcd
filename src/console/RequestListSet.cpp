#include "console/RequestListSet.h"

#include "bizlib/Clock.h"

namespace console {

namespace {
using Column = bizlib::TableListModel::Column;

QString received(const bizlib::Record &r, const char *date, const char *time)
{
    return bizlib::DateTime::dateText(r.toLong(QString::fromLatin1(date)), QStringLiteral("dd/MM/yyyy")) + u' '
           + bizlib::DateTime::timeText(r.toLong(QString::fromLatin1(time)));
}
} // namespace

RequestListSet::RequestListSet(bizlib::Database &db)
    : m_quoteTable(std::make_unique<bizlib::Table>(db, QStringLiteral("WebQuotes")))
    , m_signupTable(std::make_unique<bizlib::Table>(db, QStringLiteral("WebSignup")))
    , m_orderTable(std::make_unique<bizlib::Table>(db, QStringLiteral("WebOrders")))
{
    m_quotes = std::make_unique<bizlib::TableListModel>(
        *m_quoteTable, QStringLiteral("NUMBERKEY"),
        QList<Column>{{QStringLiteral("Number"), QStringLiteral("WQTE:Number"), {}, true},
                      {QStringLiteral("Web ID"), QStringLiteral("WQTE:WebID"), {}, true},
                      {QStringLiteral("Received"), QStringLiteral("WQTE:CreatedOn"),
                       [](const bizlib::Record &r) { return received(r, "CreatedOn", "CreatedAt"); }},
                      {QStringLiteral("Contact"), QStringLiteral("WQTE:Contact")},
                      {QStringLiteral("Quantity"), QStringLiteral("WQTE:Quantity1"), {}, true},
                      {QStringLiteral("Title"), QStringLiteral("WQTE:Title")}});
    m_quotes->setFilter(QStringLiteral("(WQTE:Status <> 'Processing')"));

    m_signups = std::make_unique<bizlib::TableListModel>(
        *m_signupTable, QStringLiteral("STATUSDATEKEY"),
        QList<Column>{{QStringLiteral("Received"), QStringLiteral("WSUP:SignupDate"),
                       [](const bizlib::Record &r) { return received(r, "SignupDate", "SignupTime"); }},
                      {QStringLiteral("Contact"), QStringLiteral("WSUP:FullName")},
                      {QStringLiteral("E-mail"), QStringLiteral("WSUP:Email")},
                      {QStringLiteral("Company"), QStringLiteral("WSUP:Company")}});
    m_signups->setRange({QStringLiteral("Pending")});
    m_signups->setFilter(QStringLiteral("(WSUP:Source <> 'B2C')"));

    m_orders = std::make_unique<bizlib::TableListModel>(
        *m_orderTable, QStringLiteral("NUMBERKEY"),
        QList<Column>{{QStringLiteral("Number"), QStringLiteral("WORD:Number"), {}, true},
                      {QStringLiteral("Web ID"), QStringLiteral("WORD:WebID"), {}, true},
                      {QStringLiteral("Received"), QStringLiteral("WORD:CreatedOn"),
                       [](const bizlib::Record &r) { return received(r, "CreatedOn", "CreatedAt"); }},
                      {QStringLiteral("Client"), QStringLiteral("WORD:Name")},
                      {QStringLiteral("Total"), QStringLiteral("WORD:Total"), {}, true},
                      {QStringLiteral("Title"), QStringLiteral("WORD:Title")}});
    m_orders->setFilter(QStringLiteral("(WORD:Status <> 'Processing')"));
}

RequestListSet::~RequestListSet() = default;

void RequestListSet::resetAll()
{
    m_quotes->reset();
    m_signups->reset();
    m_orders->reset();
}

void RequestListSet::resetForRefresh(Focus focus)
{
    m_signups->reset();
    if (focus != Focus::Elsewhere) {
        m_quotes->reset();
        m_orders->reset();
    }
}

RequestLists::Counts RequestListSet::counts() const
{
    Counts c;
    m_quotes->totalCount(&c.quotes);
    m_orders->totalCount(&c.orders);
    m_signups->totalCount(&c.signups);
    return c;
}

} // namespace console
