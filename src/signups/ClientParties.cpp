#include "signups/ClientParties.h"

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "signups/RunWrites.h"
#include "signups/SignupRecords.h"

#include <QCoreApplication>
#include <QSet>
#include <QSqlQuery>

namespace signups {

using bizlib::Record;
using bizlib::Status;

namespace {

QString column(const bizlib::TableDef &def, const char *field)
{
    return def.sqlColumn(def.fieldIndex(QLatin1String(field)));
}

Status fetchById(bizlib::Database &db, const QString &tableName, qint32 id, Record *record)
{
    bizlib::Table table(db, tableName);
    *record = table.newRecord();
    if (id == 0)
        return Status::notFound();
    return table.fetch(table.def().primary().name, { id }, *record);
}

} // namespace

ClientParties::ClientParties(RunWrites &writes)
    : m_writes(writes)
{ }

Record ClientParties::defaults()
{
    if (!m_defaultsRead) {
        bizlib::Table table(m_writes.database(), QStringLiteral("DEFAULTS"));
        bizlib::TableCursor first(table, QStringLiteral("DEFAULTSIDKEY"));
        m_defaults = table.newRecord();
        Record r = table.newRecord();
        if (first.next(r))
            m_defaults = r;
        m_defaultsRead = true;
    }
    return m_defaults;
}

QString ClientParties::officeStem(const QString &clientCode)
{
    return clientCode.trimmed().left(6);
}

Status ClientParties::freeOfficeCode(qint32 clientId, const QString &clientCode, int first, QString *code)
{
    bizlib::Database &db = m_writes.database();
    const bizlib::TableDef &def = bizlib::Dictionary::instance().require(QStringLiteral("Offices"));
    QSqlQuery q;
    const Status st = db.exec(QStringLiteral("SELECT RTRIM(%1) FROM %2 WHERE %3 = ?")
                                  .arg(column(def, "Office"), def.sqlTable(), column(def, "ClientID")),
        { clientId }, &q);
    if (!st)
        return st;
    QSet<QString> used;
    while (q.next())
        used.insert(q.value(0).toString());
    const QString stem = officeStem(clientCode);
    for (int n = qMax(first, 1); n <= kLastOfficeNumber; ++n) {
        const QString candidate = QStringLiteral("%1-%2").arg(stem).arg(n, 3, 10, QLatin1Char('0'));
        if (!used.contains(candidate)) {
            *code = candidate;
            return Status::ok();
        }
    }
    return Status::notFound(QStringLiteral("Every office code of %1 is in use.").arg(stem));
}

Status ClientParties::insertOffice(Record &office, const Record &client, int first)
{
    bizlib::Database &db = m_writes.database();
    const qint32 clientId = client.toLong("ClientID");
    bizlib::Transaction tx(db);
    Status st = tx.status();
    if (st) {
        // Writes nothing, but holds the client's row until the commit: another workstation
        // adding an office to the client waits here, and then sees this one's code as taken.
        const bizlib::TableDef &def = client.table();
        const QString id = def.sqlColumn(def.primary().fields.first());
        QSqlQuery q;
        st = db.exec(QStringLiteral("UPDATE %1 SET %2 = %2 WHERE %2 = ?").arg(def.sqlTable(), id), { clientId }, &q);
        if (st && q.numRowsAffected() != 1)
            st = Status::notFound(QStringLiteral("The client was deleted by another workstation meanwhile."));
    }
    QString code;
    if (st)
        st = freeOfficeCode(clientId, client.text("Code"), first, &code);
    if (!st) {
        bizlib::Table(db, office.table()).release(office);
        return st;
    }
    office.setText("Office", code);
    if (!(st = m_writes.insert(office)))
        return st; // the insert has given the office's number back
    return tx.commit();
}

Status ClientParties::settleTown(
    QString *town, QString *county, qint32 countryId, const QString &country, const QString &area)
{
    const QString t = SignupRules::clipped(*town);
    const QString c = SignupRules::clipped(*county);
    if (t.trimmed().isEmpty())
        return Status::ok();
    bizlib::Database &db = m_writes.database();
    bizlib::Table towns(db, QStringLiteral("Towns"));
    const bizlib::TableDef &def = towns.def();
    QSqlQuery q;
    Status st = db.exec(QStringLiteral("SELECT %1, %2 FROM %3 WHERE UPPER(RTRIM(%1)) = ? AND UPPER(RTRIM(%2)) = ? "
                                       "ORDER BY %4")
                            .arg(column(def, "Town"), column(def, "County"), def.sqlTable(), column(def, "TownID")),
        { t.toUpper(), c.toUpper() }, &q);
    if (!st)
        return st;
    if (q.next()) {
        *town = q.value(0).toString();
        *county = q.value(1).toString();
        return Status::ok();
    }
    Record r;
    if (!(st = towns.prime(r)))
        return st;
    r.setText("Town", t);
    r.setText("County", c);
    r.setLong("CountryID", countryId);
    r.setText("Country", country);
    r.setText("Area", area);
    return m_writes.insert(r);
}

Status ClientParties::countryFor(qint32 countryId, const Record &client, Record *country)
{
    bizlib::Database &db = m_writes.database();
    Status st = fetchById(db, QStringLiteral("Countries"), countryId, country);
    if (!st.isNotFound())
        return st;
    if (client.isValid() && !(st = fetchById(db, QStringLiteral("Countries"), client.toLong("CountryID"), country)).isNotFound())
        return st;
    bizlib::Table company(db, QStringLiteral("Company"));
    bizlib::TableCursor first(company, QStringLiteral("COMPANYIDKEY"));
    Record own = company.newRecord();
    if (!(st = first.next(own)))
        return st;
    return fetchById(db, QStringLiteral("Countries"), own.toLong("CountryID"), country);
}

Status ClientParties::deliveryContact(
    const Record &client, const ContactDetails &details, Record *contact, bool *created)
{
    *created = false;
    const qint32 clientId = client.isValid() ? client.toLong("ClientID") : 0;
    if (clientId == 0)
        return Status::notFound(QStringLiteral("The delivery contact needs a client."));
    bizlib::Database &db = m_writes.database();
    bizlib::Table contacts(db, QStringLiteral("Contacts"));
    Record found = contacts.newRecord();
    Status st = contacts.fetch(
        QStringLiteral("CLIENTIDNAMEKEY"), { clientId, SignupRules::clipped(details.fullName) }, found);
    if (st) {
        *contact = found;
        return st;
    }
    if (!st.isNotFound())
        return st;
    Record r;
    if (!(st = contacts.prime(r)))
        return st;
    const QString prefix = SignupRules::clipped(details.prefix);
    r.setText("Prefix", prefix.isEmpty() ? QCoreApplication::translate("Signups", "Mr") : prefix);
    r.setText("FirstName", details.firstName);
    r.setText("LastName", details.lastName);
    r.setText("Name", details.fullName);
    r.setText("Salutation", details.firstName);
    r.setText("ContactType", details.category);
    r.setText("Tel", details.tel);
    r.setText("Email", SignupRules::clipped(details.email));
    r.setLong("ClientID", clientId);
    r.setLong("WebEnable", 0);
    r.setLong("Primary", 0);
    r.setText("RecordType", QStringLiteral("C"));
    r.setText("AccountCode", client.text("Code"));
    r.setLong("AccountID", clientId);
    r.setText("Status", QStringLiteral("Active"));
    if (!(st = m_writes.insert(r)))
        return st;
    *contact = r;
    *created = true;
    return st;
}

Status ClientParties::deliveryOffice(
    const Record &client, const OfficeDetails &details, Record &contact, Record *office)
{
    const qint32 clientId = client.isValid() ? client.toLong("ClientID") : 0;
    if (clientId == 0)
        return Status::notFound(QStringLiteral("The delivery office needs a client."));
    bizlib::Database &db = m_writes.database();
    Record country;
    Status st = countryFor(details.countryId, client, &country);
    if (st.isError())
        return st;
    bizlib::Table offices(db, QStringLiteral("Offices"));
    Record r;
    if (!(st = offices.prime(r)))
        return st;
    r.setText("RecordType", QStringLiteral("C"));
    r.setLong("ClientID", clientId);
    r.setText("ClientCode", client.text("Code"));
    r.setText("Name", details.name);
    const bool withContact = contact.isValid() && contact.toLong("ContactID") != 0;
    if (withContact) {
        r.setLong("ContactID", contact.toLong("ContactID"));
        r.setText("Contact", contact.text("Name"));
    } else if (details.fallbackContactId != 0) {
        r.setLong("ContactID", details.fallbackContactId);
        r.setText("Contact", details.fallbackContactName);
    } else {
        r.setLong("ContactID", client.toLong("ContactID"));
        r.setText("Contact", client.text("Contact"));
    }
    r.setText("Address1", details.address1);
    r.setText("Address2", details.address2);
    r.setText("Address3", details.address3);
    QString town = details.town;
    QString county = details.county;
    if (!(st = settleTown(&town, &county, country.toLong("CountryID"), country.text("CountryName"), details.area))) {
        offices.release(r);
        return st;
    }
    r.setText("Town", town);
    r.setText("County", county);
    r.setText("Postcode", details.postcode);
    r.setLong("CountryID", country.toLong("CountryID"));
    r.setText("Country", country.text("CountryName"));
    r.setText("CountryCode", country.text("CountryCode"));
    r.setText("Tel", details.tel);
    r.setText("Email", SignupRules::clipped(details.email));
    const QString formatted = bizlib::MainLibrary(db).formatAddress(country.toLong("CountryID"), details.postcode,
        county, town, details.address3, details.address2, details.address1);
    r.setText("Address", formatted.isEmpty() ? details.address : formatted);
    r.setLong("ShippingDays", defaults().toLong("ShippingDays"));
    r.setText("Type", details.type);
    if (!(st = insertOffice(r, client, details.firstNumber)))
        return st;
    *office = r;
    return withContact ? linkContact(contact, *office) : st;
}

Status ClientParties::linkContact(Record &contact, Record &office)
{
    bizlib::Database &db = m_writes.database();
    contact.setLong("OfficeID", office.toLong("OfficeID"));
    contact.setText("Office", office.text("Office"));
    Status st = m_writes.update(contact);
    if (!st)
        return st;
    office.setLong("ContactID", contact.toLong("ContactID"));
    office.setText("Contact", contact.text("Name"));
    if (!(st = m_writes.update(office)))
        return st;
    bizlib::Table links(db, QStringLiteral("ContactOffices"));
    Record link = links.newRecord();
    st = links.fetch(QStringLiteral("CONTACTOFFICEKEY"), { contact.toLong("ContactID"), office.toLong("OfficeID") }, link);
    if (!st.isNotFound())
        return st;
    if (!(st = links.prime(link)))
        return st;
    link.setLong("ContactID", contact.toLong("ContactID"));
    link.setLong("OfficeID", office.toLong("OfficeID"));
    link.setText("LinkType", QStringLiteral("CLI"));
    link.setText("Category", contact.text("ContactType"));
    link.setLong("Active", 1);
    return m_writes.insert(link);
}

} // namespace signups
