#include "DemoCatalog.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

#include <stdexcept>

namespace demo {

namespace {

// Every row of a table in the order of its primary key.
QList<bizlib::Record> readAll(bizlib::Database &db, const QString &tableName)
{
    bizlib::Table table(db, tableName);
    bizlib::TableCursor cursor(table, table.def().primary().name);
    QList<bizlib::Record> rows;
    bizlib::Record record;
    bizlib::Status st;
    while ((st = cursor.next(record)))
        rows.append(record);
    if (!st.isNotFound())
        throw std::runtime_error(
            QStringLiteral("%1: cannot read the demo data back: %2").arg(tableName, st.message()).toStdString());
    return rows;
}

} // namespace

void DemoCatalog::load(bizlib::Database &db)
{
    m_clients = readAll(db, QStringLiteral("Clients"));
    m_contacts.clear();
    // QMultiHash::values() gives the most recently inserted first: insert in reverse so that a
    // client's contacts come back in contact order (primary contact first).
    const QList<bizlib::Record> contacts = readAll(db, QStringLiteral("Contacts"));
    for (auto it = contacts.crbegin(); it != contacts.crend(); ++it)
        m_contacts.insert(it->toLong("ClientID"), *it);
    m_offices = readAll(db, QStringLiteral("Offices"));

    m_templates.clear();
    m_previousQuotes.clear();
    for (const bizlib::Record &quote : readAll(db, QStringLiteral("Quotes"))) {
        if (quote.toLong("IsTemplate") != 0)
            m_templates.append(quote);
        else
            m_previousQuotes.append(quote);
    }
    m_orders = readAll(db, QStringLiteral("Orders"));

    m_resources.clear();
    const QList<QPair<QString, QString>> resourceTables { { QStringLiteral("M"), QStringLiteral("Materials") },
        { QStringLiteral("L"), QStringLiteral("Labour") }, { QStringLiteral("O"), QStringLiteral("Outwork") } };
    for (const auto &[type, table] : resourceTables) {
        for (const bizlib::Record &r : readAll(db, table))
            m_resources.insert(type + u':' + r.text("Code"), r);
    }

    m_domainIds.clear();
    for (const bizlib::Record &domain : readAll(db, QStringLiteral("Domains")))
        m_domainIds.append(domain.toLong("DomainID"));
    m_countries.clear();
    m_countryById.clear();
    for (const bizlib::Record &country : readAll(db, QStringLiteral("Countries"))) {
        m_countries.insert(country.text("CountryCode"), country.toLong("CountryID"));
        m_countryById.insert(country.toLong("CountryID"), country);
    }
    m_tabs.clear();
    for (const bizlib::Record &tab : readAll(db, QStringLiteral("Tabs")))
        m_tabs.insert(tab.text("Name"), tab.toLong("TabID"));
}

bizlib::Record DemoCatalog::client(qint32 clientId) const
{
    for (const bizlib::Record &client : m_clients) {
        if (client.toLong("ClientID") == clientId)
            return client;
    }
    return {};
}

bizlib::Record DemoCatalog::office(qint32 clientId, const QString &code) const
{
    for (const bizlib::Record &office : m_offices) {
        if (office.toLong("ClientID") == clientId && office.text("Office") == code)
            return office;
    }
    return {};
}

bizlib::Record DemoCatalog::resource(const QString &type, const QString &code) const
{
    return m_resources.value(type + u':' + code);
}

} // namespace demo
