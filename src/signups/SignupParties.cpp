#include "signups/SignupParties.h"

#include "bizlib/ClientLibrary.h"
#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "signups/RunWrites.h"

#include <QCoreApplication>

namespace signups {

using bizlib::Record;
using bizlib::Status;
using SignupRules::clipped;

namespace {

// A duplicate account code means another workstation took the code a moment ago: ask again.
constexpr int kCodeAttempts = 5;

bool sameFirstLine(const Record &office, const QString &line)
{
    return clipped(office.text("Address1")) == clipped(line);
}

} // namespace

SignupParties::SignupParties(RunWrites &writes, SignupRecords &records, SignupState &state,
    const bizlib::Session &user, bizlib::Prompter *prompter, Tell tell)
    : m_writes(writes)
    , m_records(records)
    , m_state(state)
    , m_user(user)
    , m_prompter(prompter)
    , m_tell(std::move(tell))
    , m_parties(writes)
{ }

void SignupParties::told(const Status &status, const QString &what)
{
    if (!status.isOk() && m_tell)
        m_tell(status, what);
}

Status SignupParties::fetch(const QString &tableName, qint32 id, Record *record)
{
    bizlib::Table table(m_writes.database(), tableName);
    Record r = table.newRecord();
    if (id == 0)
        return Status::notFound();
    const Status st = table.fetch(table.def().primary().name, { id }, r);
    if (st)
        *record = r;
    return st;
}

QString SignupParties::townArea()
{
    const QString area = clipped(m_records.signup.text("Area"));
    return area.isEmpty() ? m_parties.defaults().text("Area") : area;
}

void SignupParties::applyWebExpiryDefaults(Record &client)
{
    if (client.toLong("WebExpiryDate") != 0 && client.toLong("WebExpiryTime") != 0)
        return;
    client.setLong("WebExpiryDate", bizlib::DateTime::today() + m_parties.defaults().toLong("WebExpiry"));
    client.setLong("WebExpiryTime", kEndOfDay);
}

void SignupParties::fillContact(Record &contact)
{
    const Record &s = m_records.signup;
    const Record &client = m_records.client;
    contact.setLong("ClientID", client.toLong("ClientID"));
    const QString prefix = clipped(s.text("Prefix"));
    contact.setText("Prefix", prefix.isEmpty() ? QCoreApplication::translate("Signups", "Mr") : prefix);
    contact.setText("FirstName", s.text("FirstName"));
    contact.setText("LastName", s.text("LastName"));
    contact.setText("Name", s.text("FullName"));
    contact.setText("Salutation", s.text("FirstName"));
    contact.setText("Position", s.text("Position"));
    contact.setText("Tel", clipped(s.text("Tel")).isEmpty() ? client.text("Tel1") : s.text("Tel"));
    contact.setText("Fax", clipped(s.text("Fax")).isEmpty() ? client.text("Fax") : s.text("Fax"));
    contact.setText("Mobile", s.text("Mobile"));
    contact.setText("Email", clipped(s.text("Email")));
    contact.setText("WebPassword", s.text("WebPassword"));
    contact.setLong("Primary", client.toLong("ContactID") == 0 ? 1 : 0);
    contact.setText("RecordType", QStringLiteral("C"));
    contact.setText("AccountCode", client.text("Code"));
    contact.setLong("AccountID", client.toLong("ClientID"));
    contact.setText("Status", QStringLiteral("Active"));
    contact.setLong("Prepay",
        SignupRules::isB2C(s) || clipped(client.text("Payment")) != QLatin1String("Credit") ? 1 : 0);
    contact.setLong("WebEnable", SignupRules::platformGrantsAccess(s) ? 1 : 0);
}

bool SignupParties::createAccount()
{
    const Record &s = m_records.signup;
    bizlib::Database &db = m_writes.database();
    bizlib::Table clients(db, QStringLiteral("Clients"));
    const Record defaults = m_parties.defaults();
    m_records.clientAlias.clear();
    m_state.savedClient = clients.newRecord();
    Status st;
    for (int attempt = 0; attempt < kCodeAttempts; ++attempt) {
        QString code;
        st = bizlib::ClientLibrary(db, m_user).assignAccountCode(s.text("Company"), QStringLiteral("CLI"), &code);
        if (!st)
            break;
        Record client;
        if (!(st = clients.prime(client)))
            break;
        client.setText("Code", code);
        client.setText("Name", s.text("Company"));
        client.setText("NameCaps", clipped(s.text("Company")).toUpper());
        for (const char *f : { "Address1", "Address2", "Address3", "Town", "County", "Postcode" })
            client.setText(QLatin1String(f), s.text(QLatin1String(f)));
        client.setText("Tel1", s.text("Tel"));
        client.setText("Fax", s.text("Fax"));
        client.setText("Email", clipped(s.text("Email")));
        client.setText("Mobile", s.text("Mobile"));
        client.setLong("WebEnable", 1);
        client.setLong("WebNotify", defaults.toLong("WebNotify"));
        client.setLong("DomainID", s.toLong("DomainID"));
        client.setText("WebOrderNotify", QStringLiteral("Both"));
        client.setLong("ShippingDays", defaults.toLong("ShippingDays"));
        client.setText("Payment", SignupRules::isB2CExact(s) ? QStringLiteral("Prepay") : defaults.text("Payment"));
        client.setText("Status", QStringLiteral("Active"));
        Record country;
        if (fetch(QStringLiteral("Countries"), s.toLong("CountryID"), &country)) {
            client.setText("Country", country.text("CountryName"));
            client.setText("CountryCode", country.text("CountryCode"));
            client.setLong("CountryID", country.toLong("CountryID"));
            client.setText("Currency", country.text("Currency"));
        } else {
            bizlib::Table company(db, QStringLiteral("Company"));
            bizlib::TableCursor first(company, QStringLiteral("COMPANYIDKEY"));
            Record own = company.newRecord();
            if (first.next(own)) {
                client.setText("Country", own.text("Country"));
                client.setText("Currency", own.text("Currency"));
                if (fetch(QStringLiteral("Countries"), own.toLong("CountryID"), &country)) {
                    client.setText("CountryCode", country.text("CountryCode"));
                    client.setLong("CountryID", country.toLong("CountryID"));
                }
            }
        }
        applyWebExpiryDefaults(client);
        QString town = client.text("Town");
        QString county = client.text("County");
        if (!(st = m_parties.settleTown(&town, &county, client.toLong("CountryID"), client.text("Country"), townArea()))) {
            clients.release(client);
            break;
        }
        client.setText("Town", town);
        client.setText("County", county);
        const QString iso = clipped(country.text("IsoCountry")).toUpper();
        client.setLong("IncludeTax",
            SignupRules::isB2CExact(s) && iso != QLatin1String("US") && iso != QLatin1String("CA") ? 1 : 0);
        client.setLong("CreatedOn", bizlib::DateTime::today());
        client.setText("CreatedBy", m_user.userCode.left(3));
        st = m_writes.insert(client);
        if (st) {
            m_state.clientId = client.toLong("ClientID");
            // A brand-new account had no web access before, whatever a client matched earlier had.
            m_state.wasWebEnabled = false;
            m_records.client = client;
            m_records.clientAlias = client;
            m_accountFailed = false;
            return true;
        }
        if (!st.isDuplicate())
            break;
    }
    m_state.clientId = 0;
    m_records.client.clear();
    m_records.contact.clear();
    m_accountFailed = true;
    if (m_prompter) {
        const QString reason = st.message().trimmed();
        m_prompter->alert(accountErrorText() + (reason.isEmpty() ? QString() : QStringLiteral("\n\n") + reason),
            accountErrorCaption(), bizlib::Prompter::Icon::Exclamation);
    }
    told(st.isOk() ? Status::error(QStringLiteral("The account was not created.")) : st,
        QStringLiteral("The account of the sign-up could not be created."));
    return false;
}

void SignupParties::createContact()
{
    bizlib::Table contacts(m_writes.database(), QStringLiteral("Contacts"));
    Record contact;
    Status st = contacts.prime(contact);
    if (st) {
        fillContact(contact);
        st = m_writes.insert(contact);
    }
    if (!st) {
        m_records.contact.clear();
        told(st, QStringLiteral("The contact of the sign-up could not be created."));
        return;
    }
    m_records.contact = contact;
    m_state.contactConfirmed = true;
    m_state.contactId = contact.toLong("ContactID");
    if (!m_state.createdContacts.contains(m_state.contactId))
        m_state.createdContacts.append(m_state.contactId);
    if (m_records.client.toLong("ClientID") != 0 && m_records.client.toLong("ContactID") == 0) {
        m_records.client.setLong("ContactID", contact.toLong("ContactID"));
        m_records.client.setText("Contact", contact.text("Name"));
        told(m_writes.update(m_records.client), QStringLiteral("The client's primary contact could not be written."));
    }
}

void SignupParties::mainOffice()
{
    Record &client = m_records.client;
    const Record &s = m_records.signup;
    const qint32 clientId = client.toLong("ClientID");
    bizlib::Database &db = m_writes.database();
    bizlib::Table offices(db, QStringLiteral("Offices"));
    if (!clipped(client.text("InvoiceOffice")).isEmpty()) {
        Record invoice = offices.newRecord();
        if (offices.fetch(QStringLiteral("CLIENTIDKEY"), { clientId, client.text("InvoiceOffice") }, invoice)
            && sameFirstLine(invoice, s.text("Address1"))) {
            m_records.office = invoice;
            return;
        }
    }
    // The client's own main office (not the sign-up's office field, which acceptance writes later).
    Record main;
    if (client.toLong("OfficeID") != 0 && fetch(QStringLiteral("Offices"), client.toLong("OfficeID"), &main)
        && sameFirstLine(main, s.text("Address1"))) {
        m_records.office = main;
        return;
    }
    Record office;
    Status st = offices.prime(office);
    if (!st) {
        told(st, QStringLiteral("The office of the sign-up could not be created."));
        return;
    }
    const Record &contact = m_records.contact;
    office.setText("RecordType", QStringLiteral("C"));
    office.setLong("ClientID", clientId);
    office.setText("ClientCode", client.text("Code"));
    office.setText("Name", s.text("Company"));
    office.setText("Contact", contact.text("Name"));
    office.setLong("ContactID", contact.toLong("ContactID"));
    for (const char *f : { "Address1", "Address2", "Address3", "Postcode" })
        office.setText(QLatin1String(f), s.text(QLatin1String(f)));
    Record country;
    if (m_parties.countryFor(s.toLong("CountryID"), client, &country).isError())
        country.clear();
    if (country.isValid()) {
        office.setLong("CountryID", country.toLong("CountryID"));
        office.setText("CountryCode", country.text("CountryCode"));
        office.setText("Country", country.text("CountryName"));
    }
    office.setText("Tel", s.text("Tel"));
    office.setText("Email", clipped(s.text("Email")));
    office.setLong("ShippingDays", m_parties.defaults().toLong("ShippingDays"));
    QString town = s.text("Town");
    QString county = s.text("County");
    if (!(st = m_parties.settleTown(&town, &county, office.toLong("CountryID"), office.text("Country"), townArea()))) {
        offices.release(office);
        told(st, QStringLiteral("The office of the sign-up could not be created."));
        return;
    }
    office.setText("Town", town);
    office.setText("County", county);
    office.setText("Address", bizlib::MainLibrary(db).formatAddress(office.toLong("CountryID"), s.text("Postcode"),
                                  county, town, s.text("Address3"), s.text("Address2"), s.text("Address1")));
    if (!(st = m_parties.insertOffice(office, client, 1))) {
        told(st, QStringLiteral("The office of the sign-up could not be created."));
        return;
    }
    m_records.office = office;
    if (!m_state.createdOffices.contains(office.toLong("OfficeID")))
        m_state.createdOffices.append(office.toLong("OfficeID"));
    if (clientId != 0 && client.toLong("OfficeID") == 0) {
        if (clipped(client.text("InvoiceOffice")).isEmpty())
            client.setText("InvoiceOffice", office.text("Office"));
        client.setLong("OfficeID", office.toLong("OfficeID"));
        if (!(st = m_writes.update(client))) {
            told(st, QStringLiteral("The client's main office could not be written."));
            return;
        }
        office.setLong("InvoiceAddress", 1);
        office.setText("Type", QStringLiteral("Accounts"));
        told(m_writes.update(office), QStringLiteral("The main office could not be written."));
        m_records.office = office;
    }
    Record &con = m_records.contact;
    if (con.toLong("ContactID") != 0 && office.toLong("OfficeID") != client.toLong("OfficeID")) {
        con.setLong("OfficeID", office.toLong("OfficeID"));
        con.setText("Office", office.text("Office"));
        told(m_writes.update(con), QStringLiteral("The contact's office could not be written."));
    }
}

void SignupParties::deliveryContact()
{
    const Record &s = m_records.signup;
    const Record &order = m_records.webOrder;
    const bool withOrder = order.isValid() && order.toLong("OrderID") != 0;
    ClientParties::ContactDetails details;
    details.prefix = s.text("Prefix");
    details.firstName = s.text("DFirstName");
    details.lastName = s.text("DLastName");
    details.fullName = s.text("DFullName");
    // Another order of the sign-up that delivers to someone else gets that person, not the
    // sign-up's delivery name: first name before the first blank, last name after it.
    const QString orderName = withOrder ? clipped(order.text("DContact")).trimmed() : QString();
    if (!orderName.isEmpty() && orderName != clipped(details.fullName).trimmed()) {
        const qsizetype blank = orderName.indexOf(u' ');
        details.fullName = orderName;
        details.firstName = blank < 0 ? orderName : orderName.left(blank);
        details.lastName = blank < 0 ? QString() : orderName.mid(blank + 1);
    }
    details.tel = withOrder ? order.text("DTel") : s.text("DTel");
    details.email = withOrder ? order.text("DEmail") : s.text("DEmail");
    Record contact;
    bool created = false;
    const Status st = m_parties.deliveryContact(m_records.client, details, &contact, &created);
    if (!st) {
        told(st, QStringLiteral("The delivery contact could not be created."));
        return;
    }
    m_records.contactAlias = contact;
    if (created && !m_state.createdContacts.contains(contact.toLong("ContactID")))
        m_state.createdContacts.append(contact.toLong("ContactID"));
}

void SignupParties::deliveryOffice()
{
    Record &client = m_records.client;
    const Record &s = m_records.signup;
    const Record &order = m_records.webOrder;
    bizlib::Table offices(m_writes.database(), QStringLiteral("Offices"));
    const bool withOrder = order.isValid() && order.toLong("OrderID") != 0;
    // The address the office must have: the current order's (each order of a B2C sign-up may
    // deliver elsewhere), else the sign-up's.
    const QString firstLine = withOrder ? order.text("DAddress1") : s.text("DAddress1");
    if (!clipped(client.text("DeliveryOffice")).isEmpty()) {
        Record existing = offices.newRecord();
        if (offices.fetch(QStringLiteral("CLIENTIDKEY"), { client.toLong("ClientID"), client.text("DeliveryOffice") },
                existing)
            && sameFirstLine(existing, firstLine)) {
            m_records.officeAlias = existing;
            return;
        }
    }
    // The delivery address itself is on the web order; a sign-up without one has only its first line.
    if (!withOrder)
        return;
    ClientParties::OfficeDetails details;
    details.name = order.text("DName");
    details.address = order.text("DAddress");
    details.address1 = order.text("DAddress1");
    details.address2 = order.text("DAddress2");
    details.address3 = order.text("DAddress3");
    details.town = order.text("DTown");
    details.county = order.text("DCounty");
    details.postcode = order.text("DPostcode");
    details.countryId = order.toLong("DCountryID");
    details.tel = s.text("DTel");
    details.email = s.text("DEmail");
    details.area = townArea();
    details.fallbackContactId = m_records.contact.toLong("ContactID");
    details.fallbackContactName = m_records.contact.text("Name");
    Record office;
    const Status st = m_parties.deliveryOffice(client, details, m_records.contactAlias, &office);
    if (!st) {
        told(st, QStringLiteral("The delivery office could not be created."));
        return;
    }
    m_records.officeAlias = office;
    if (!m_state.createdOffices.contains(office.toLong("OfficeID")))
        m_state.createdOffices.append(office.toLong("OfficeID"));
    if (client.toLong("ClientID") != 0 && clipped(client.text("DeliveryOffice")).isEmpty()) {
        client.setText("DeliveryOffice", office.text("Office"));
        told(m_writes.update(client), QStringLiteral("The client's delivery office could not be written."));
    }
}

bool SignupParties::automaticCompletion()
{
    if (m_records.client.toLong("ClientID") != 0) {
        m_state.method = QString::fromLatin1(SignupState::kExisting);
        m_records.signup.setLong("IsCustomer", 1);
    } else if (!createAccount()) {
        return false;
    }
    if (m_records.contact.toLong("ContactID") == 0)
        createContact();
    mainOffice();
    const Record &s = m_records.signup;
    if (SignupRules::isB2CExact(s)) {
        if (clipped(s.text("DFullName")) != clipped(s.text("FullName")))
            deliveryContact();
        if (clipped(s.text("DAddress1")) != clipped(s.text("Address1")))
            deliveryOffice();
    }
    return true;
}

Status SignupParties::companyNameSearch()
{
    bizlib::Table clients(m_writes.database(), QStringLiteral("Clients"));
    m_records.clientAlias = clients.newRecord();
    m_state.savedClient = clients.newRecord();
    Record &s = m_records.signup;
    m_state.searchName = clipped(s.text("Company")).toUpper();
    Record found = clients.newRecord();
    Status st = clients.fetch(QStringLiteral("NAMEKEY"), { m_state.searchName }, found);
    if (st) {
        m_records.clientAlias = found;
        s.setLong("IsCustomer", 1);
        return st;
    }
    if (st.isError())
        return st;
    s.setLong("IsCustomer", 0);
    m_state.searchLength = int(m_state.searchName.size());
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (m_state.searchLength <= 2) {
            m_records.clientAlias = clients.newRecord();
            return Status::ok();
        }
        m_state.searchName = clipped(m_state.searchName.left(m_state.searchLength));
        const int length = m_state.searchLength;
        bizlib::TableCursor cursor(clients, QStringLiteral("NAMEKEY"));
        Record start = clients.newRecord();
        start.setText("NameCaps", m_state.searchName);
        cursor.setStart(start);
        Record next = clients.newRecord();
        st = cursor.next(next);
        if (st.isError())
            return st;
        if (st && clipped(next.text("NameCaps").left(length)) == m_state.searchName) {
            m_records.clientAlias = next;
            s.setLong("IsCustomer", 1);
            return Status::ok();
        }
        m_records.clientAlias = clients.newRecord();
        m_state.searchLength = int(m_state.searchName.size()) - 2;
    }
    return Status::ok();
}

Status SignupParties::existingClientStep()
{
    Record client;
    const Status st = fetch(QStringLiteral("Clients"), m_records.clientAlias.toLong("ClientID"), &client);
    if (!st)
        return st.isNotFound() ? Status::ok() : st;
    m_records.client = client;
    m_state.wasWebEnabled = client.toLong("WebEnable") != 0;
    if (client.toLong("WebEnable") == 0)
        m_records.client.setLong("DomainID", m_records.signup.toLong("DomainID"));
    if (SignupRules::platformGrantsAccess(m_records.signup)) {
        m_records.client.setLong("WebEnable", 1);
        applyWebExpiryDefaults(m_records.client);
    }
    return Status::ok();
}

} // namespace signups
