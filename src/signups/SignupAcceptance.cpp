#include "signups/SignupAcceptance.h"

#include "bizlib/ClientLibrary.h"
#include "bizlib/Clock.h"
#include "bizlib/DataLibrary.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/SignupExport.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/AppContext.h"
#include "data/ClaimBook.h"
#include "data/RequestClaim.h"
#include "data/WebTaskRequests.h"
#include "quotes/WebNotify.h"
#include "signups/RunWrites.h"
#include "signups/SignupParties.h"

#include <QSet>
#include <QSqlQuery>

namespace signups {

using bizlib::Record;
using bizlib::Status;
using SignupRules::clipped;

namespace {

const QString kUnknownFolder = QStringLiteral("/system/clients/unknown");

// The office's code and number, or blank and 0 when it is the client's main office or none.
QPair<QString, qint32> officeOf(const Record &office, const Record &client)
{
    const qint32 id = office.isValid() ? office.toLong("OfficeID") : 0;
    if (id == 0 || id == client.toLong("OfficeID"))
        return { QString(), 0 };
    return { office.text("Office"), id };
}

Status firstFailure(Status first, const Status &next)
{
    return first.isOk() ? next : first;
}

} // namespace

QString SignupAcceptance::notificationText(const Record &client, const Record &signup)
{
    return QStringLiteral("Notification of web signup for: \r\n\r\nClient: %1\r\nContact: %2\r\nEmail: %3\r\n")
        .arg(clipped(client.text("Name")), clipped(signup.text("FullName")), clipped(signup.text("Email")));
}

SignupAcceptance::SignupAcceptance(
    Services services, SignupRecords &records, SignupState &state, data::RequestClaim &claim)
    : m_services(services)
    , m_records(records)
    , m_state(state)
    , m_claim(claim)
{ }

Status SignupAcceptance::accept(QList<QPair<QString, QVariant>> *fields)
{
    Record &s = m_records.signup;
    const Record &client = m_records.client;
    s.setText("Response", QString());
    s.setText("Status", QStringLiteral("Accepted"));
    s.setLong("SignupDate", bizlib::DateTime::today());
    s.setLong("SignupTime", bizlib::DateTime::now());
    s.setLong("ClientID", client.toLong("ClientID"));
    s.setText("ClientCode", client.text("Code"));
    s.setText("AccountCode", client.text("Code"));
    const auto delivery = officeOf(m_records.officeAlias, client);
    s.setText("DeliveryOffice", delivery.first);
    s.setLong("DeliveryOfficeID", delivery.second);
    const auto own = officeOf(m_records.office, client);
    s.setText("Office", own.first);
    s.setLong("OfficeID", own.second);
    s.setLong("ContactID", m_records.contact.toLong("ContactID"));
    s.setLong("DeliveryContactID", clipped(m_records.contactAlias.text("Name")).isEmpty()
            ? m_records.contact.toLong("ContactID")
            : m_records.contactAlias.toLong("ContactID"));
    for (const char *f : { "Response", "SignupDate", "SignupTime", "ClientID", "ClientCode", "AccountCode",
             "DeliveryOffice", "DeliveryOfficeID", "Office", "OfficeID", "ContactID", "DeliveryContactID",
             "IsCustomer" })
        fields->append({ QLatin1String(f), s.value(QLatin1String(f)) });
    return SignupRules::isB2CExact(s) ? completeOrders() : Status::ok();
}

Status SignupAcceptance::completeOrders()
{
    bizlib::Database &db = *m_services.ctx->db;
    const Record &s = m_records.signup;
    bizlib::Table orders(db, QStringLiteral("WebOrders"));
    bizlib::TableCursor cursor(orders, QStringLiteral("WEBSIGNUPIDKEY"));
    cursor.setRange({ s.toLong("WebSignupID") });
    QList<Record> list;
    Record r;
    Status st;
    while ((st = cursor.next(r)))
        list << r;
    if (st.isError())
        return st;

    // Inside this transaction the records need no claim record: all of it commits or none.
    RunWrites plain(db, nullptr);
    Status failed;
    SignupParties parties(plain, m_records, m_state, m_services.ctx->glo.user, nullptr,
        [&failed](const Status &why, const QString &what) {
            failed = firstFailure(failed, Status::error(what + QLatin1Char(' ') + why.message()));
        });
    for (Record &order : list) {
        order.setText("ClientCode", s.text("ClientCode"));
        order.setLong("ClientID", s.toLong("ClientID"));
        order.setText("Office", s.text("Office"));
        order.setLong("OfficeID", s.toLong("OfficeID"));
        order.setLong("ContactID", s.toLong("ContactID"));
        order.setText("Contact", s.text("FullName"));
        order.setText("Address", s.text("Address"));
        order.setLong("CountryID", s.toLong("CountryID"));
        order.setText("DClientCode", s.text("ClientCode"));
        order.setLong("DClientID", s.toLong("ClientID"));
        if (order.toLong("OrderID") == s.toLong("WebOrderID")) {
            order.setText("DOffice", s.text("DeliveryOffice"));
            order.setLong("DOfficeID", s.toLong("DeliveryOfficeID"));
            order.setLong("DContactID", s.toLong("DeliveryContactID"));
            order.setText("DContact", s.text("DFullName"));
        } else {
            // Each other order gets the delivery parties of its own address.
            m_records.officeAlias.clear();
            m_records.contactAlias.clear();
            m_records.webOrder = order;
            if (clipped(s.text("DFullName")) != clipped(order.text("DContact")))
                parties.deliveryContact();
            if (clipped(s.text("DAddress1")) != clipped(order.text("DAddress1")))
                parties.deliveryOffice();
            if (!failed.isOk())
                return failed;
            const bool withOffice = !clipped(m_records.officeAlias.text("Office")).isEmpty();
            order.setLong("DOfficeID", withOffice ? m_records.officeAlias.toLong("OfficeID") : 0);
            order.setText("DOffice", withOffice ? m_records.officeAlias.text("Office") : QString());
            const Record &to = clipped(m_records.contactAlias.text("Name")).isEmpty() ? m_records.contact
                                                                                        : m_records.contactAlias;
            order.setLong("DContactID", to.toLong("ContactID"));
            order.setText("DContact", to.text("Name"));
        }
        bizlib::Table countries(db, QStringLiteral("Countries"));
        Record country = countries.newRecord();
        if (order.toLong("DCountryID") != 0
            && countries.fetch(QStringLiteral("COUNTRYIDKEY"), { order.toLong("DCountryID") }, country)) {
            order.setText("DCountry", country.text("CountryName"));
            order.setLong("DCountryID", country.toLong("CountryID"));
            order.setText("DCountryCode", country.text("CountryCode"));
        }
        if (!(st = orders.update(order)))
            return st;
        if (!(st = repointAttachments(order)))
            return st;
    }
    return Status::ok();
}

Status SignupAcceptance::repointAttachments(const Record &order)
{
    bizlib::Table attachments(*m_services.ctx->db, QStringLiteral("WebAttachments"));
    bizlib::TableCursor cursor(attachments, QStringLiteral("ORDERIDKEY"));
    cursor.setRange({ order.toLong("OrderID") });
    QList<Record> list;
    Record r;
    Status st;
    while ((st = cursor.next(r)))
        list << r;
    if (st.isError())
        return st;
    const QString folder = QStringLiteral("/system/clients/") + clipped(order.text("ClientCode"));
    for (Record &attachment : list) {
        if (!attachment.text("LocalPath").toLower().contains(kUnknownFolder))
            continue;
        attachment.setText("SourceName",
            bizlib::MainLibrary::searchReplace(attachment.text("SourceName"), kUnknownFolder, folder, 512));
        attachment.setText("LocalPath",
            bizlib::MainLibrary::searchReplace(attachment.text("LocalPath"), kUnknownFolder, folder, 256));
        if (!(st = attachments.update(attachment)))
            return st;
    }
    return Status::ok();
}

Status SignupAcceptance::contactAccess()
{
    // The contact as the website is to know it: web access under the platform rule, its e-mail the
    // sign-up's. Written before the client's contact task, so that the task says what is stored.
    if (m_state.contactId == 0)
        return Status::ok();
    bizlib::Table contacts(*m_services.ctx->db, QStringLiteral("Contacts"));
    Record contact = contacts.newRecord();
    Status st = contacts.fetch(QStringLiteral("CONTACTIDKEY"), { m_state.contactId }, contact);
    if (st.isNotFound())
        return Status::ok();
    if (!st)
        return st;
    if (SignupRules::platformGrantsAccess(m_records.signup))
        contact.setLong("WebEnable", 1);
    contact.setText("Email", clipped(m_records.signup.text("Email")));
    if (!(st = contacts.update(contact)))
        return st;
    m_records.contact = contact;
    return st;
}

Status SignupAcceptance::finish()
{
    config::AppContext &ctx = *m_services.ctx;
    bizlib::Database &db = *ctx.db;
    const Record &s = m_records.signup;
    Status st;
    bizlib::MainLibrary main(db);
    if (!clipped(m_records.contact.text("Prefix")).isEmpty()
        && !(st = main.addListOption(QStringLiteral("CON:Prefix"), s.text("Prefix"), QString(), true, true, true)))
        return st;
    if (!clipped(m_records.contact.text("Position")).isEmpty()
        && !(st = main.addListOption(QStringLiteral("CON:Position"), s.text("Position"), QString(), true, true, true)))
        return st;
    bizlib::DataLibrary library(db, ctx.glo.user);
    RunWrites plain(db, nullptr);
    ClientParties parties(plain);
    const qint32 webHistory = parties.defaults().toLong("WebHistory");
    if (!SignupRules::isB2CExact(s) && !(st = library.webTask(data::WebTaskRequests::signupAccepted(s, webHistory))))
        return st;
    bizlib::Table clients(db, QStringLiteral("Clients"));
    if (m_state.clientId != 0 && m_state.clientId != m_records.client.toLong("ClientID")) {
        Record own = clients.newRecord();
        if (clients.fetch(QStringLiteral("CLIENTIDKEY"), { m_state.clientId }, own))
            m_records.client = own;
    }
    if (!(st = contactAccess()))
        return st;
    Record &client = m_records.client;
    if (client.toLong("ClientID") == 0)
        return Status::ok();
    // The client as it is now, with what this window changed on it: another workstation may
    // have written it since it was read (its main office, its address lines).
    Record current = clients.newRecord();
    st = clients.fetch(QStringLiteral("CLIENTIDKEY"), { client.toLong("ClientID") }, current);
    if (st.isNotFound())
        return Status::notFound(
            QStringLiteral("The client %1 was deleted by another workstation meanwhile.").arg(clipped(client.text("Code"))));
    QStringList carried;
    if (!st || !(st = RunWrites::carryChanges(client, current, &carried)))
        return st;
    client = current;
    bizlib::Table countries(db, QStringLiteral("Countries"));
    Record country = countries.newRecord();
    if (countries.fetch(QStringLiteral("COUNTRYIDKEY"), { client.toLong("CountryID") }, country))
        client.setText("Address", main.formatAddress(client.toLong("CountryID"), client.text("Postcode"),
                                      client.text("County"), client.text("Town"), client.text("Address3"),
                                      client.text("Address2"), client.text("Address1")));
    if (SignupRules::platformGrantsAccess(s) && (client.toLong("WebEnable") == 0 || client.toLong("WebExpiryDate") == 0)) {
        client.setLong("WebEnable", 1);
        if (client.toLong("WebExpiryDate") == 0 || client.toLong("WebExpiryTime") == 0) {
            client.setLong("WebExpiryDate", bizlib::DateTime::today() + parties.defaults().toLong("WebExpiry"));
            client.setLong("WebExpiryTime", SignupParties::kEndOfDay);
        }
    }
    const bool justGivenAccess = !m_state.wasWebEnabled && client.toLong("WebEnable") == 1;
    const Record &contact = m_records.contact;
    if (!justGivenAccess && contact.toLong("ContactID") != 0
        && !(st = library.webTask(data::WebTaskRequests::contactAccess(
                 contact, contact.toLong("WebEnable") == 1, client.toLong("WebHistory")))))
        return st;
    const bool isNew = m_state.method == QLatin1String(SignupState::kNew) && m_state.clientId != 0;
    if (!(st = bizlib::ClientLibrary(db, ctx.glo.user)
                   .clientUpdates(isNew ? bizlib::ClientLibrary::UpdateAction::Inserted
                                        : bizlib::ClientLibrary::UpdateAction::Changed,
                       client, m_state.savedClient)))
        return st;
    if (client.toLong("DomainID") != 0) {
        bizlib::Table links(db, QStringLiteral("DomainLinks"));
        Record link = links.newRecord();
        st = links.fetch(
            QStringLiteral("CLIENTIDDOMAINIDKEY"), { client.toLong("ClientID"), client.toLong("DomainID") }, link);
        if (st.isNotFound()) {
            if (!(st = links.prime(link)))
                return st;
            link.setLong("ClientID", client.toLong("ClientID"));
            link.setLong("DomainID", client.toLong("DomainID"));
            st = links.insert(link);
            if (!st)
                links.release(link);
        }
        if (!st)
            return st;
    }
    QStringList changed;
    for (int i = 0; i < client.table().fields.size(); ++i)
        if (client.isChanged(i))
            changed << client.table().fields.at(i).name;
    if (changed.isEmpty())
        return Status::ok();
    st = clients.updateIfUnchanged(client, changed);
    return st.isNotFound()
        ? Status::notFound(QStringLiteral("The client %1 was changed by another workstation meanwhile.")
                               .arg(clipped(client.text("Code"))))
        : st;
}

Status SignupAcceptance::adoptReferences()
{
    // What the accepted sign-up refers to may have been made by a run of another window that is
    // still open: from now on it belongs to this sign-up, and that run's cancel or cleanup must
    // neither remove it nor put back a field of it.
    bizlib::Database &db = *m_services.ctx->db;
    const Record &s = m_records.signup;
    const Record &client = m_records.client;
    QSet<qint32> offices { client.toLong("OfficeID"), s.toLong("OfficeID"), s.toLong("DeliveryOfficeID"),
        m_records.office.toLong("OfficeID"), m_records.officeAlias.toLong("OfficeID") };
    QSet<qint32> contacts { s.toLong("ContactID"), s.toLong("DeliveryContactID"), m_records.contact.toLong("ContactID"),
        m_records.contactAlias.toLong("ContactID") };
    bizlib::Table orders(db, QStringLiteral("WebOrders"));
    bizlib::TableCursor cursor(orders, QStringLiteral("WEBSIGNUPIDKEY"));
    cursor.setRange({ s.toLong("WebSignupID") });
    Record order;
    Status st;
    while ((st = cursor.next(order))) {
        offices << order.toLong("DOfficeID");
        contacts << order.toLong("DContactID");
    }
    if (st.isError())
        return st;
    // Towns are referred to by name: those of the client and of its offices named above.
    QList<QPair<QString, QString>> towns { { client.text("Town"), client.text("County") } };
    bizlib::Table officeTable(db, QStringLiteral("Offices"));
    for (const qint32 id : std::as_const(offices)) {
        Record office = officeTable.newRecord();
        if (id != 0 && officeTable.fetch(QStringLiteral("OFFICEIDKEY"), { id }, office))
            towns.append({ office.text("Town"), office.text("County") });
    }
    data::ClaimBook book(db);
    const QString &owner = m_claim.owner();
    st = book.adopt(owner, QStringLiteral("Clients"), client.toLong("ClientID"));
    for (const qint32 id : std::as_const(offices))
        if (st && id != 0)
            st = book.adopt(owner, QStringLiteral("Offices"), id);
    for (const qint32 id : std::as_const(contacts))
        if (st && id != 0)
            st = book.adopt(owner, QStringLiteral("Contacts"), id);
    const bizlib::TableDef &townDef = bizlib::Dictionary::instance().require(QStringLiteral("Towns"));
    for (const auto &[town, county] : std::as_const(towns)) {
        if (!st || clipped(town).trimmed().isEmpty())
            continue;
        QSqlQuery q;
        st = db.exec(QStringLiteral("SELECT %1 FROM %2 WHERE UPPER(RTRIM(%3)) = ? AND UPPER(RTRIM(%4)) = ?")
                         .arg(townDef.sqlColumn(townDef.fieldIndex(QStringLiteral("TownID"))), townDef.sqlTable(),
                             townDef.sqlColumn(townDef.fieldIndex(QStringLiteral("Town"))),
                             townDef.sqlColumn(townDef.fieldIndex(QStringLiteral("County")))),
            { clipped(town).toUpper(), clipped(county).toUpper() }, &q);
        QList<qint32> ids;
        while (st && q.next())
            ids << q.value(0).toInt();
        for (const qint32 id : std::as_const(ids))
            if (st)
                st = book.adopt(owner, QStringLiteral("Towns"), id);
    }
    return st;
}

Status SignupAcceptance::acceptAndFinish()
{
    bizlib::Database &db = *m_services.ctx->db;
    bizlib::Transaction tx(db);
    Status st = tx.status();
    if (!st)
        return st;
    // The client and contact as the wizard found them, before the steps below change them.
    const SignupRecords before = m_records;
    QList<QPair<QString, QVariant>> fields;
    if (!(st = m_claim.confirmHeld()))
        return st;
    if (st)
        st = accept(&fields);
    if (st)
        st = finish();
    if (st)
        st = adoptReferences();
    if (st)
        st = m_claim.handOn(QStringLiteral("Accepted"), fields);
    if (st)
        st = tx.commit();
    if (!st) {
        tx.rollback();
        m_records = before;
        return st;
    }
    m_claim.settle();
    return st;
}

QStringList SignupAcceptance::afterCommit(bool automatic)
{
    QStringList problems;
    config::AppContext &ctx = *m_services.ctx;
    if (m_services.mail) {
        quotes::WebNotify notify({ ctx.db, m_services.mail, &ctx.settings, ctx.glo.user });
        const auto results = notify.send(notificationText(m_records.client, m_records.signup), notificationSubject(),
            automatic, m_records.client, m_records.contact);
        Q_UNUSED(results); // the mail library reports its own failures
    }
    if (SignupRules::exportsXml(m_records.signup)) {
        bizlib::Table signups(*ctx.db, QStringLiteral("WebSignup"));
        Record stored = signups.newRecord();
        if (!signups.fetch(QStringLiteral("WEBSIGNUPIDKEY"), { m_records.signup.toLong("WebSignupID") }, stored))
            stored = m_records.signup;
        if (const Status st = bizlib::SignupExport::outputSignupXml(ctx.brevix.globalData, stored, {}, 0, &m_exported); !st)
            problems << st.message();
    }
    return problems;
}

} // namespace signups
