#pragma once

#include "bizlib/Record.h"

#include <QHash>
#include <QList>

namespace bizlib {
class Database;
}

namespace demo {

// What the web requests of the demo point at, read back from the business database: clients
// with their contacts and offices, template and previous quotes, previous orders, resources and
// the web domains. Reading it back (rather than remembering what was written) lets the extra
// requests of a speed test be added to any database filled earlier.
class DemoCatalog
{
public:
    // Reads everything again; throws std::runtime_error when a table cannot be read.
    void load(bizlib::Database &db);

    const QList<bizlib::Record> &clients() const { return m_clients; }
    // The client with this identifier; an invalid record when there is none.
    bizlib::Record client(qint32 clientId) const;
    QList<bizlib::Record> contactsOf(qint32 clientId) const { return m_contacts.values(clientId); }
    // The client's office with the given code; an invalid record when there is none.
    bizlib::Record office(qint32 clientId, const QString &code) const;
    const QList<bizlib::Record> &templates() const { return m_templates; }
    const QList<bizlib::Record> &previousQuotes() const { return m_previousQuotes; }
    const QList<bizlib::Record> &orders() const { return m_orders; }
    // Resources by code ("M" materials, "L" labour, "O" outwork); an invalid record when unknown.
    bizlib::Record resource(const QString &type, const QString &code) const;
    const QList<qint32> &domainIds() const { return m_domainIds; }
    qint32 countryId(const QString &countryCode) const { return m_countries.value(countryCode); }
    // The country record with this identifier; an invalid record when there is none.
    bizlib::Record country(qint32 countryId) const { return m_countryById.value(countryId); }
    qint32 tabId(const QString &name) const { return m_tabs.value(name); }

private:
    QList<bizlib::Record> m_clients;
    QMultiHash<qint32, bizlib::Record> m_contacts; // by client, in contact order
    QList<bizlib::Record> m_offices;
    QList<bizlib::Record> m_templates;
    QList<bizlib::Record> m_previousQuotes;
    QList<bizlib::Record> m_orders;
    QHash<QString, bizlib::Record> m_resources; // "M:CODE"
    QList<qint32> m_domainIds;
    QHash<QString, qint32> m_countries; // country code -> identifier
    QHash<qint32, bizlib::Record> m_countryById;
    QHash<QString, qint32> m_tabs; // tab name -> identifier
};

} // namespace demo
