#include "signups/SignupProcessing.h"

#include "bizlib/AttachmentFiles.h"
#include "bizlib/ClientLibrary.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/forms/ClientForms.h"
#include "bizlib/forms/RecordForms.h"
#include "bizlib/forms/SelectLibrary.h"
#include "config/AppContext.h"
#include "config/TraceLog.h"
#include "data/ProcessingNotice.h"
#include "data/ChangeNotice.h"
#include "data/ClaimCleanup.h"
#include "data/RequestClaim.h"
#include "signups/EmailGuard.h"
#include "signups/RunWrites.h"
#include "signups/SignupAcceptance.h"
#include "signups/SignupParties.h"

#include <QHash>

namespace signups {

using bizlib::Record;
using bizlib::Status;
using bizlib::forms::Request;
using bizlib::forms::Response;
using SignupRules::clipped;

namespace {

const QString kCaption = QStringLiteral("Web signup wizard");

bizlib::forms::FormLayout clientUpdateLayout()
{
    using bizlib::forms::FormLayout;
    FormLayout layout(QStringLiteral("Client details"));
    layout.group(QStringLiteral("General"))
        .add(QStringLiteral("Code"))
        .add(QStringLiteral("Name"))
        .add(QStringLiteral("Address1"), QStringLiteral("Address"))
        .add(QStringLiteral("Address2"), QStringLiteral(" "))
        .add(QStringLiteral("Address3"), QStringLiteral("  "))
        .add(QStringLiteral("Town"))
        .add(QStringLiteral("County"))
        .add(QStringLiteral("Postcode"))
        .add(QStringLiteral("Country"))
        .add(QStringLiteral("Tel1"), QStringLiteral("Tel"))
        .add(QStringLiteral("Fax"))
        .add(QStringLiteral("Email"))
        .add(QStringLiteral("Web"))
        .add(QStringLiteral("Markup"))
        .add(QStringLiteral("DeliveryBy"), QStringLiteral("Delivery by"));
    layout.group(QStringLiteral("Internet"))
        .addReadOnly(QStringLiteral("DomainID"), QStringLiteral("Site domain"), FormLayout::Editor::Line)
        .add(QStringLiteral("WebExpiryDate"), QStringLiteral("Expires"))
        .add(QStringLiteral("WebExpiryTime"), QStringLiteral("At"), FormLayout::Editor::Time)
        .add(QStringLiteral("WebNotify"), QStringLiteral("Send website notifications"));
    layout.group(QStringLiteral("Accounts"))
        .add(QStringLiteral("CreditLimit"), QStringLiteral("Credit limit"))
        .add(QStringLiteral("TaxReg"), QStringLiteral("Tax-reg"))
        .add(QStringLiteral("Payment"), QStringLiteral("Payment-type"))
        .add(QStringLiteral("Terms"))
        .add(QStringLiteral("Currency"))
        .add(QStringLiteral("Nominal"))
        .add(QStringLiteral("TaxCode"), QStringLiteral("Tax-code"))
        .add(QStringLiteral("TaxCodeForce"), QStringLiteral("Force tax-code"))
        .add(QStringLiteral("IncludeTax"), QStringLiteral("Show prices including tax"))
        .add(QStringLiteral("Rep"))
        .add(QStringLiteral("Manager"), QStringLiteral("A/C Manager"))
        .add(QStringLiteral("ClientType"), QStringLiteral("Type"));
    return layout;
}

} // namespace

SignupProcessing::SignupProcessing(Services services, const Record &signup, const Record &webOrder)
    : m_services(std::move(services))
    , m_records(SignupRecords::cleared())
{
    config::AppContext *ctx = m_services.ctx;
    if (!m_services.changeNotice)
        m_services.changeNotice = [ctx] { data::sendChangeNotice(*ctx->db, ctx->glo.companyNo); };
    m_records.signup = signup;
    if (webOrder.isValid())
        m_records.webOrder = webOrder;
    m_clients = std::make_unique<ClientListModel>(*ctx->db);
    m_contacts = std::make_unique<ContactListModel>(*ctx->db);
}

SignupProcessing::~SignupProcessing()
{
    close();
}

void SignupProcessing::reach(const char *point) const
{
    if (m_services.checkpoint)
        m_services.checkpoint(point);
}

void SignupProcessing::tell(const Status &st, const QString &what)
{
    if (st.isOk())
        return;
    m_told = data::tellFailure(*m_services.ctx, true, QStringLiteral("Web sign-up %1").arg(m_records.signup.toLong("WebSignupID")), kCaption, st, what);
}

Status SignupProcessing::fetch(const QString &tableName, qint32 id, Record *record)
{
    bizlib::Table table(*m_services.ctx->db, tableName);
    Record r = table.newRecord();
    if (id == 0)
        return Status::notFound();
    const Status st = table.fetch(table.def().primary().name, { id }, r);
    if (st)
        *record = r;
    return st;
}

bool SignupProcessing::claim()
{
    config::AppContext &ctx = *m_services.ctx;
    const qint32 id = m_records.signup.toLong("WebSignupID");
    m_claim = std::make_unique<data::RequestClaim>(*ctx.db, data::ClaimVariant::signupProcessing(), id, ctx.prompter,
        m_services.changeNotice, ctx.glo.user.userCode,
        bizlib::AttachmentFiles::dataFolders(ctx.brevix.globalData, ctx.brevix.localData));
    const auto outcome = m_claim->claim(false, {}, m_records.signup.text("Status"));
    if (outcome == data::RequestClaim::Outcome::Failed) {
        tell(m_claim->lastStatus(), QStringLiteral("The web sign-up could not be claimed."));
        return false;
    }
    if (outcome != data::RequestClaim::Outcome::Claimed && outcome != data::RequestClaim::Outcome::Unlocked)
        return false;
    // What the wizard works on is the row as it is now, not the list's copy.
    Record fresh;
    Status st = fetch(QStringLiteral("WebSignup"), id, &fresh);
    if (st) {
        fresh.setText("Status", QString::fromLatin1(data::RequestClaim::kProcessing));
        fresh.markRead();
        m_records.signup = fresh;
        m_guard = std::make_unique<EmailGuard>(
            *ctx.db, fresh.text("Email"), m_claim->owner() + QLatin1Char('@'), ctx.glo.user.userCode);
        st = m_guard->take(m_claim->wasUnlocked() ? m_claim->otherHolder().owner : QString());
    }
    if (!st) {
        tell(st, st.isNotFound() && m_guard && !m_guard->isHeld() ? QStringLiteral("The web sign-up cannot be processed now.")
                                                                  : QStringLiteral("The web sign-up could not be read."));
        m_claim->release();
        return false;
    }
    m_writes = std::make_unique<RunWrites>(*ctx.db, m_claim.get());
    m_parties = std::make_unique<SignupParties>(*m_writes, m_records, m_state, ctx.glo.user, ctx.prompter,
        [this](const Status &why, const QString &what) { tell(why, what); });
    if (!m_records.webOrder.isValid() || m_records.webOrder.toLong("OrderID") == 0) {
        Record order;
        if (fetch(QStringLiteral("WebOrders"), m_records.signup.toLong("WebOrderID"), &order))
            m_records.webOrder = order;
    }
    reach("claimed");
    return true;
}

void SignupProcessing::matchByEmail()
{
    const QString email = clipped(m_records.signup.text("Email"));
    if (email.isEmpty())
        return;
    bizlib::Table contacts(*m_services.ctx->db, QStringLiteral("Contacts"));
    Record contact = contacts.newRecord();
    if (!contacts.fetch(QStringLiteral("EMAILKEY"), { email }, contact))
        return;
    Record client;
    if (!fetch(QStringLiteral("Clients"), contact.toLong("ClientID"), &client)) {
        // A contact of no client is no match: nothing of it is used or written later.
        return;
    }
    m_state.contactId = contact.toLong("ContactID");
    m_records.contact = contact;
    m_records.client = client;
    m_state.wasWebEnabled = client.toLong("WebEnable") != 0;
    // Web access only for the own portal's sign-ups, as everywhere else; what is changed here is
    // recorded with its earlier value, so that a cancel gives exactly that back.
    if (!SignupRules::platformGrantsAccess(m_records.signup))
        return;
    if (contact.toLong("WebEnable") == 0) {
        m_records.contact.setLong("WebEnable", 1);
        m_records.contact.setText("WebPassword", m_records.signup.text("WebPassword"));
        m_records.contact.setLong("Prepay",
            SignupRules::isB2C(m_records.signup) || clipped(client.text("Payment")) != QLatin1String("Credit") ? 1 : 0);
        tell(m_writes->update(m_records.contact), QStringLiteral("The contact's web access could not be written."));
    }
    if (client.toLong("WebEnable") == 0) {
        m_records.client.setLong("WebEnable", 1);
        tell(m_writes->update(m_records.client), QStringLiteral("The client's web access could not be written."));
    }
}

void SignupProcessing::b2bStart()
{
    m_visible = true;
    if (m_records.client.toLong("ClientID") == 0 || m_state.contactId == 0) {
        tell(m_parties->companyNameSearch(), QStringLiteral("The clients could not be searched."));
        return;
    }
    m_records.clientAlias = m_records.client;
    m_records.signup.setLong("IsCustomer", 1);
    bizlib::Table offices(*m_services.ctx->db, QStringLiteral("Offices"));
    bizlib::TableCursor cursor(offices, QStringLiteral("CLIENTIDKEY"));
    cursor.setRange({ m_records.client.toLong("ClientID") });
    Record office;
    Status st;
    while ((st = cursor.next(office))) {
        if (clipped(office.text("Postcode")) == clipped(m_records.signup.text("Postcode"))) {
            m_state.officeFound = true;
            m_records.office = office;
            m_records.contact.setLong("OfficeID", office.toLong("OfficeID"));
            tell(m_writes->update(m_records.contact), QStringLiteral("The contact's office could not be written."));
            return;
        }
    }
    if (st.isError()) {
        tell(st, QStringLiteral("The client's offices could not be read."));
        return;
    }
    m_parties->mainOffice();
}

bool SignupProcessing::b2cStart()
{
    m_visible = false;
    const bool completed = m_parties->automaticCompletion();
    reach("completed");
    if (completed && m_records.client.toLong("ClientID") != 0 && m_records.contact.toLong("ContactID") != 0) {
        m_state.contactId = m_records.contact.toLong("ContactID");
        if (accept())
            return false;
    }
    m_visible = true;
    if (completed)
        tell(m_parties->companyNameSearch(), QStringLiteral("The clients could not be searched."));
    return true;
}

bool SignupProcessing::open()
{
    m_response = Response::Cancelled;
    if (!claim())
        return false;
    matchByEmail();
    reach("matched");
    m_clients->setSignupDomain(m_records.signup.toLong("DomainID"));
    if (SignupRules::isB2C(m_records.signup)) {
        if (!b2cStart())
            return false;
    } else {
        b2bStart();
    }
    // The window has opened.
    if (m_records.signup.toLong("IsCustomer") == 1) {
        m_state.method = QString::fromLatin1(SignupState::kExisting);
        m_state.savedClient = m_records.clientAlias;
    } else {
        m_state.savedClient.clear();
        m_state.method = QString::fromLatin1(SignupState::kNew);
    }
    if (m_records.clientAlias.toLong("WebEnable") == 0) {
        m_records.client.setLong("DomainID", m_records.signup.toLong("DomainID"));
        m_records.clientAlias.setLong("DomainID", m_records.signup.toLong("DomainID"));
    }
    m_state.step = 1;
    updateButtons();
    return true;
}

QString SignupProcessing::headerTitle() const
{
    const Record &s = m_records.signup;
    return QStringLiteral("Web signup: %1 %2 - %3")
        .arg(clipped(s.text("FirstName")), clipped(s.text("LastName")), clipped(s.text("Company")));
}

void SignupProcessing::updateButtons()
{
    const int step = m_state.step;
    m_backEnabled = step != 1;
    if (step == 4) {
        m_nextEnabled = false;
        m_okEnabled = m_state.contactId != 0;
    } else {
        m_nextEnabled = true;
        m_okEnabled = false;
    }
    if (step == 3 && m_state.method == QLatin1String(SignupState::kNew)) {
        const Record &client = m_clientForm ? m_clientForm->record() : m_records.client;
        m_nextEnabled = !clipped(client.text("Code")).isEmpty() && !clipped(client.text("Name")).isEmpty();
    }
}

void SignupProcessing::chooseMethod(const QString &method)
{
    m_state.method = method == QLatin1String(SignupState::kExisting) ? QString::fromLatin1(SignupState::kExisting)
                                                                      : QString::fromLatin1(SignupState::kNew);
    if (m_state.method != QLatin1String(SignupState::kExisting))
        return;
    const QString email = clipped(m_records.signup.text("Email"));
    bizlib::Table contacts(*m_services.ctx->db, QStringLiteral("Contacts"));
    Record contact = contacts.newRecord();
    Record client;
    if (!email.isEmpty() && contacts.fetch(QStringLiteral("EMAILKEY"), { email }, contact)
        && fetch(QStringLiteral("Clients"), contact.toLong("ClientID"), &client)) {
        m_records.clientAlias = client;
        tell(m_parties->existingClientStep(), QStringLiteral("The client could not be read."));
        tell(m_clients->reload(), QStringLiteral("The clients could not be read."));
    }
}

void SignupProcessing::deleteCreatedAccount()
{
    if (m_state.clientId == 0)
        return;
    Record client;
    if (fetch(QStringLiteral("Clients"), m_state.clientId, &client)) {
        bool kept = false;
        const Status st = m_writes->removeMadeClient(client, &kept);
        if (!st) {
            tell(st, QStringLiteral("The account made for the sign-up could not be deleted."));
            return;
        }
        if (kept)
            tell(Status::error(QStringLiteral("Another sign-up uses it now.")),
                QStringLiteral("The account made for the sign-up was kept."));
    }
    if (m_records.contact.toLong("ClientID") == m_state.clientId) {
        m_records.contact.clear();
        m_state.contactId = 0;
    }
    if (m_records.clientAlias.toLong("ClientID") == m_state.clientId)
        m_records.clientAlias.clear();
    m_records.client.clear();
    m_records.office.clear();
    m_state.clientId = 0;
}

void SignupProcessing::buildClientForm()
{
    m_clientForm = std::make_unique<bizlib::forms::FormModel>(Request::Change, QList<Record> { m_records.client },
        clientUpdateLayout());
}

void SignupProcessing::takeClientForm()
{
    if (m_clientForm)
        m_records.client = m_clientForm->record();
}

void SignupProcessing::enterStep(int step)
{
    m_state.step = step;
    switch (step) {
    case 1:
        deleteCreatedAccount();
        m_clientForm.reset();
        break;
    case 2:
        tell(m_clients->reload(), QStringLiteral("The clients could not be read."));
        tell(m_contacts->reload(m_records.client.toLong("ClientID")), QStringLiteral("The contacts could not be read."));
        break;
    case 3:
        if (m_state.method == QLatin1String(SignupState::kExisting)) {
            tell(m_contacts->reload(m_records.client.toLong("ClientID")), QStringLiteral("The contacts could not be read."));
            m_parties->applyWebExpiryDefaults(m_records.client);
        } else if (m_state.clientId != 0) {
            Record again;
            if (fetch(QStringLiteral("Clients"), m_state.clientId, &again))
                m_records.client = again;
        } else {
            m_parties->automaticCompletion();
            reach("completed");
        }
        buildClientForm();
        break;
    case 4: {
        takeClientForm();
        if (m_state.method == QLatin1String(SignupState::kNew) && m_state.clientId != 0)
            tell(m_writes->update(m_records.client), QStringLiteral("The account could not be written."));
        reach("written");
        const qint32 clientId = m_records.client.toLong("ClientID");
        tell(m_contacts->reload(clientId), QStringLiteral("The contacts could not be read."));
        if (m_contacts->rowCount() == 0) {
            addContact();
            break;
        }
        bizlib::Table contacts(*m_services.ctx->db, QStringLiteral("Contacts"));
        Record alias = contacts.newRecord();
        bizlib::Prompter *prompter = m_services.ctx->prompter;
        const Record &s = m_records.signup;
        if (!contacts.fetch(QStringLiteral("CLIENTIDNAMEKEY"), { clientId, clipped(s.text("FullName")) }, alias)) {
            if (prompter
                && prompter->askYesNo(QStringLiteral("%1 does not appear to be in the list of contacts for %2 - Do you "
                                                     "want to add this record now?")
                                          .arg(clipped(s.text("FullName")), clipped(m_records.client.text("Name"))),
                    QStringLiteral("Contact not found"), true))
                addContact();
            break;
        }
        if (!m_state.contactConfirmed && prompter)
            prompter->alert(QStringLiteral("%1 %2 already exists in the database, press the OK button to complete the "
                                           "signup process.")
                                .arg(clipped(s.text("FirstName")), clipped(s.text("LastName"))),
                QStringLiteral("Contact already exists"), bizlib::Prompter::Icon::Information);
        m_contacts->setTag(alias.toLong("ContactID"), true);
        m_state.contactId = alias.toLong("ContactID");
        m_records.contact = alias;
        break;
    }
    default:
        break;
    }
    updateButtons();
}

void SignupProcessing::next()
{
    const bool isNew = m_state.method == QLatin1String(SignupState::kNew);
    switch (m_state.step) {
    case 1:
        enterStep(isNew ? 3 : 2);
        return;
    case 2: {
        if (isNew) {
            enterStep(3);
            return;
        }
        // Only a client the user can see in the list goes on: not one the filter hides, nor the
        // account this window made and took away again on the way back to the first step.
        const qint32 chosen = m_records.clientAlias.toLong("ClientID");
        if (chosen == 0 || m_clients->rowOf(chosen) < 0) {
            if (m_services.ctx->prompter)
                m_services.ctx->prompter->alert(noClientChosenText(), kCaption, bizlib::Prompter::Icon::Exclamation);
            return;
        }
        if (m_records.clientAlias.toLong("WebEnable") == 0 && m_services.ctx->prompter
            && !m_services.ctx->prompter->askYesNo(enableWebQuestion(), QStringLiteral("Enable web access"), true))
            return;
        const Status st = m_parties->existingClientStep();
        if (!st || m_records.client.toLong("ClientID") != chosen) {
            // Deleted by another workstation since the list was read.
            tell(st ? Status::notFound(QStringLiteral("It was deleted meanwhile.")) : st,
                QStringLiteral("The client could not be read."));
            tell(m_clients->reload(), QStringLiteral("The clients could not be read."));
            return;
        }
        enterStep(4);
        return;
    }
    case 3:
        if (!m_nextEnabled)
            return;
        enterStep(4);
        return;
    default:
        return;
    }
}

void SignupProcessing::back()
{
    const bool isNew = m_state.method == QLatin1String(SignupState::kNew);
    if (m_state.step <= 1)
        return;
    if (m_state.step == 3 && isNew)
        enterStep(1);
    else if (m_state.step == 4 && !isNew)
        enterStep(2);
    else
        enterStep(m_state.step - 1);
    m_okEnabled = false;
}

void SignupProcessing::setWebStatus(const QString &webStatus)
{
    m_state.webStatus = webStatus;
    m_clients->setWebStatus(webStatus);
    tell(m_clients->reload(), QStringLiteral("The clients could not be read."));
}

bool SignupProcessing::chooseClient(int row)
{
    if (row < 0 || row >= m_clients->rowCount())
        return false;
    m_records.clientAlias = m_clients->record(row);
    return true;
}

Response SignupProcessing::viewClient(int row)
{
    if (row < 0 || row >= m_clients->rowCount() || !m_services.forms)
        return Response::Cancelled;
    Record client = m_clients->record(row);
    return bizlib::forms::ClientForms(*m_services.ctx->db, *m_services.forms).updateClient(Request::View, client);
}

bool SignupProcessing::checkCode()
{
    if (m_state.method != QLatin1String(SignupState::kNew)) {
        m_nextEnabled = true;
        return true;
    }
    Record client = m_clientForm->record();
    const QString code = clipped(client.text("Code"));
    bizlib::Table clients(*m_services.ctx->db, QStringLiteral("Clients"));
    Record other = clients.newRecord();
    bizlib::Prompter *prompter = m_services.ctx->prompter;
    if (!code.isEmpty() && clients.fetch(QStringLiteral("CODEKEY"), { code }, other)
        && other.toLong("ClientID") != client.toLong("ClientID")) {
        if (prompter)
            prompter->alert(duplicateCodeText(), QStringLiteral("Duplicate client-code"), bizlib::Prompter::Icon::Exclamation);
        m_nextEnabled = false;
        return false;
    }
    if (!code.isEmpty()) {
        if (const Status st = bizlib::ClientLibrary::validateCode(code); !st) {
            if (prompter)
                prompter->alert(st.message(), QStringLiteral("Client code"), bizlib::Prompter::Icon::Exclamation);
            client.setText("Code", QString());
            m_clientForm->setRecord(0, client);
            m_nextEnabled = false;
            return false;
        }
    }
    updateButtons();
    return true;
}

bool SignupProcessing::checkCountry()
{
    bizlib::Database &db = *m_services.ctx->db;
    Record client = m_clientForm->record();
    bizlib::Table countries(db, QStringLiteral("Countries"));
    Record country = countries.newRecord();
    if (!countries.fetch(QStringLiteral("NAMEKEY"), { clipped(client.text("Country")) }, country)) {
        if (!m_services.forms)
            return false;
        country.setText("CountryName", client.text("Country"));
        if (bizlib::forms::ClientForms(db, *m_services.forms).updateCountry(Request::Insert, country)
            != Response::Completed)
            return false;
    }
    client.setText("Country", country.text("CountryName"));
    client.setText("CountryCode", country.text("CountryCode"));
    client.setLong("CountryID", country.toLong("CountryID"));
    bizlib::Table currencies(db, QStringLiteral("Currencies"));
    Record currency = currencies.newRecord();
    if (!clipped(country.text("Currency")).isEmpty()
        && currencies.fetch(QStringLiteral("CURRENCYKEY"), { clipped(country.text("Currency")) }, currency))
        client.setText("Currency", currency.text("Currency"));
    m_clientForm->setRecord(0, client);
    return true;
}

bool SignupProcessing::checkLookupField(Lookup which, bool fromButton)
{
    bizlib::Database &db = *m_services.ctx->db;
    Record client = m_clientForm->record();
    QString field;
    QString table;
    QString key;
    QVariantList values;
    switch (which) {
    case Lookup::Currency:
        field = QStringLiteral("Currency");
        table = QStringLiteral("Currencies");
        key = QStringLiteral("CURRENCYKEY");
        values = { clipped(client.text(field)) };
        break;
    case Lookup::Nominal:
        field = QStringLiteral("Nominal");
        table = QStringLiteral("NominalCodes");
        key = QStringLiteral("NOMINALKEY");
        values = { clipped(client.text(field)) };
        break;
    case Lookup::TaxCode:
        field = QStringLiteral("TaxCode");
        table = QStringLiteral("TaxRates");
        key = QStringLiteral("TAXCODEKEY");
        values = { QStringLiteral("Sales"), clipped(client.text(field)) };
        break;
    case Lookup::Rep:
    case Lookup::Manager:
        field = which == Lookup::Rep ? QStringLiteral("Rep") : QStringLiteral("Manager");
        table = QStringLiteral("Users");
        key = QStringLiteral("USERKEY");
        values = { clipped(client.text(field)) };
        break;
    default:
        return false;
    }
    const QString value = clipped(client.text(field));
    bizlib::Table t(db, table);
    Record found = t.newRecord();
    // An empty entry is accepted: none of these fields is required.
    if (!fromButton && (value.isEmpty() || t.fetch(key, values, found))) {
        if (which == Lookup::Nominal && !value.isEmpty()) {
            Record nominal;
            if (const Status st = bizlib::ClientLibrary(db, m_services.ctx->glo.user)
                                      .validateNominal(value, QStringLiteral("Income"), &nominal);
                !st) {
                tell(st, QStringLiteral("The nominal code is not an income code."));
                return false;
            }
            if (!clipped(nominal.text("TaxCode")).isEmpty()) {
                client.setText("TaxCode", nominal.text("TaxCode"));
                m_clientForm->setRecord(0, client);
            }
        }
        if (which == Lookup::TaxCode && !value.isEmpty()
            && !bizlib::ClientLibrary(db, m_services.ctx->glo.user).validateTaxCode(value, QStringLiteral("Sales"))) {
            client.setText("TaxCode", QString());
            m_clientForm->setRecord(0, client);
            return false;
        }
        return true;
    }
    if (!m_services.forms)
        return false;
    bizlib::forms::SelectLibrary lists(db, *m_services.forms, m_services.ctx->prompter);
    Record chosen;
    Response response = Response::Cancelled;
    switch (which) {
    case Lookup::Currency:
        response = lists.viewCurrencies(&chosen);
        break;
    case Lookup::Nominal:
        response = lists.viewNominals(QStringLiteral("Income"), &chosen);
        break;
    case Lookup::TaxCode:
        response = lists.viewTaxRates(QStringLiteral("Sales"), &chosen);
        break;
    default:
        response = lists.selectUser(&chosen);
        break;
    }
    if (response != Response::Completed)
        return false;
    const QString picked = which == Lookup::Rep || which == Lookup::Manager ? chosen.text("Initials")
        : which == Lookup::Nominal                                          ? chosen.text("Nominal")
        : which == Lookup::TaxCode                                          ? chosen.text("TaxCode")
                                                                            : chosen.text("Currency");
    client.setText(field, picked);
    m_clientForm->setRecord(0, client);
    // A picked nominal or tax code runs the field's own check (the nominal's tax code follows it).
    return which == Lookup::Nominal || which == Lookup::TaxCode ? checkLookupField(which, false) : true;
}

QStringList SignupProcessing::clientChoices(const QString &field)
{
    if (field == QLatin1String("Payment"))
        return { QStringLiteral("Credit"), QStringLiteral("Prepay"), QStringLiteral("COD") };
    if (field == QLatin1String("Terms"))
        return { QStringLiteral("COD"), QStringLiteral("7"), QStringLiteral("14"), QStringLiteral("30"),
            QStringLiteral("60"), QStringLiteral("90") };
    if (field == QLatin1String("ClientType"))
        return { QStringLiteral("Client"), QStringLiteral("Prospect"), QStringLiteral("Both") };
    return {};
}

std::optional<SignupProcessing::Lookup> SignupProcessing::lookupFor(const QString &field)
{
    static const QHash<QString, Lookup> lookups { { QStringLiteral("Country"), Lookup::Country },
        { QStringLiteral("Currency"), Lookup::Currency }, { QStringLiteral("Nominal"), Lookup::Nominal },
        { QStringLiteral("TaxCode"), Lookup::TaxCode }, { QStringLiteral("Rep"), Lookup::Rep },
        { QStringLiteral("Manager"), Lookup::Manager } };
    const auto it = lookups.constFind(field);
    return it == lookups.cend() ? std::nullopt : std::optional<Lookup>(*it);
}

QString SignupProcessing::siteDomainText() const
{
    const Record &client = m_clientForm ? m_clientForm->record() : m_records.client;
    const qint32 id = client.isValid() ? client.toLong("DomainID") : 0;
    if (id == 0)
        return {};
    bizlib::Table domains(*m_services.ctx->db, QStringLiteral("Domains"));
    Record domain = domains.newRecord();
    const Status st = domains.fetch(QStringLiteral("DOMAINIDKEY"), { id }, domain);
    if (st)
        return clipped(domain.text("Description"));
    // A domain that cannot be read still shows which one it is.
    return st.isNotFound() ? QStringLiteral("(no domain %1)").arg(id) : QStringLiteral("(domain %1)").arg(id);
}

void SignupProcessing::clientFieldTyped(const QString &field, const QString &text)
{
    if (!m_clientForm || (field != QLatin1String("Code") && field != QLatin1String("Name")))
        return;
    m_clientForm->setFieldText(field, text);
    updateButtons();
}

bool SignupProcessing::checkChoice(const QString &field)
{
    const QString value = clipped(m_clientForm->fieldText(field));
    const QStringList choices = clientChoices(field);
    if (value.isEmpty() || choices.contains(value))
        return true;
    tell(Status::error(QStringLiteral("\"%1\" is not one of %2.").arg(value, choices.join(QStringLiteral(", ")))),
        QStringLiteral("The value was not taken."));
    Record client = m_clientForm->record();
    client.setValue(field, m_records.client.value(field));
    m_clientForm->setRecord(0, client);
    return false;
}

bool SignupProcessing::clientFieldEdited(const QString &field)
{
    if (!m_clientForm)
        return false;
    bool accepted = true;
    if (!clientChoices(field).isEmpty())
        accepted = checkChoice(field);
    else if (field == QLatin1String("Code"))
        accepted = checkCode();
    else if (field == QLatin1String("Country"))
        accepted = checkCountry();
    else if (field == QLatin1String("Currency"))
        accepted = checkLookupField(Lookup::Currency, false);
    else if (field == QLatin1String("Nominal"))
        accepted = checkLookupField(Lookup::Nominal, false);
    else if (field == QLatin1String("TaxCode"))
        accepted = checkLookupField(Lookup::TaxCode, false);
    else if (field == QLatin1String("Rep"))
        accepted = checkLookupField(Lookup::Rep, false);
    else if (field == QLatin1String("Manager"))
        accepted = checkLookupField(Lookup::Manager, false);
    if (field != QLatin1String("Code"))
        updateButtons();
    return accepted;
}

Response SignupProcessing::lookup(Lookup which)
{
    if (which == Lookup::Contact)
        return addContact();
    if (!m_clientForm)
        return Response::Cancelled;
    if (which == Lookup::Country)
        return checkCountry() ? Response::Completed : Response::Cancelled;
    return checkLookupField(which, true) ? Response::Completed : Response::Cancelled;
}

Response SignupProcessing::pickExpiryDate()
{
    if (!m_clientForm || !m_services.forms)
        return Response::Cancelled;
    Record client = m_clientForm->record();
    qint32 day = client.toLong("WebExpiryDate");
    bizlib::forms::SelectLibrary lists(*m_services.ctx->db, *m_services.forms, m_services.ctx->prompter);
    const Response response = lists.selectDate(&day);
    if (response == Response::Completed) {
        client.setLong("WebExpiryDate", day);
        m_clientForm->setRecord(0, client);
    }
    return response;
}

bool SignupProcessing::chooseContact(int row)
{
    if (row < 0 || row >= m_contacts->rowCount())
        return false;
    const Record &contact = m_contacts->record(row);
    if (contact.toLong("ContactID") == 0)
        return false;
    if (m_state.contactId != 0)
        m_contacts->setTag(m_state.contactId, false);
    m_contacts->setTag(contact.toLong("ContactID"), true);
    m_state.contactId = contact.toLong("ContactID");
    m_records.contact = contact;
    updateButtons();
    return true;
}

Response SignupProcessing::addContact()
{
    if (!m_services.forms || !m_writes)
        return Response::Cancelled;
    bizlib::Database &db = *m_services.ctx->db;
    Record contact(bizlib::Dictionary::instance().require(QStringLiteral("Contacts")));
    m_parties->fillContact(contact);
    Status error;
    data::RequestClaim *claim = m_claim.get();
    const Response response = bizlib::forms::ClientForms(db, *m_services.forms)
                                  .updateContact(Request::Insert, contact, QString(), QStringLiteral("CLI"), &error,
                                      [claim](const Record &saved) {
                                          return claim->record(
                                              data::RunItem::row(QStringLiteral("Contacts"), saved.toLong("ContactID")));
                                      });
    tell(error, QStringLiteral("The contact form could not be opened."));
    if (response != Response::Completed)
        return response;
    const qint32 id = contact.toLong("ContactID");
    m_writes->noteMade(QStringLiteral("Contacts"), id);
    if (!m_state.createdContacts.contains(id))
        m_state.createdContacts.append(id);
    m_state.contactConfirmed = true;
    tell(m_contacts->reload(m_records.client.toLong("ClientID")), QStringLiteral("The contacts could not be read."));
    m_state.contactId = id;
    m_records.contact = contact;
    if (contact.toLong("WebEnable") == 1)
        m_contacts->setTag(id, true);
    updateButtons();
    return response;
}

Response SignupProcessing::editContact(int row)
{
    if (!m_services.forms || !m_writes || row < 0 || row >= m_contacts->rowCount())
        return Response::Cancelled;
    Record contact = m_contacts->record(row);
    Status error;
    // The fields the user changes are recorded with the claim in the form's own save, so that a
    // cancel (or the cleanup after a crash) gives an existing contact its earlier values back.
    RunWrites *writes = m_writes.get();
    const Response response = bizlib::forms::ClientForms(*m_services.ctx->db, *m_services.forms)
                                  .updateContact(Request::Change, contact, QString(), QStringLiteral("CLI"), &error,
                                      [writes](const Record &saved) { return writes->recordChanges(saved); });
    tell(error, QStringLiteral("The contact form could not be opened."));
    if (response == Response::Completed) {
        tell(m_contacts->reload(m_records.client.toLong("ClientID")), QStringLiteral("The contacts could not be read."));
        if (contact.toLong("WebEnable") == 1)
            m_contacts->setTag(contact.toLong("ContactID"), true);
        if (contact.toLong("ContactID") == m_state.contactId)
            m_records.contact = contact;
    }
    return response;
}

bool SignupProcessing::accept()
{
    takeClientForm();
    if (m_state.contactId != 0 && m_records.contact.toLong("ContactID") != m_state.contactId) {
        Record chosen;
        if (fetch(QStringLiteral("Contacts"), m_state.contactId, &chosen))
            m_records.contact = chosen;
    }
    SignupAcceptance acceptance({ m_services.ctx, m_services.mail }, m_records, m_state, *m_claim);
    const Status st = acceptance.acceptAndFinish();
    // Something else not found (a row deleted elsewhere meanwhile) leaves the claim this window's.
    if (st.isNotFound() && !m_claim->confirmHeld().isOk()) {
        // Taken over or finished elsewhere: nothing of it is this window's to write any more.
        tell(st, QStringLiteral("The sign-up was NOT accepted."));
        m_claim->settle();
        m_closed = true;
        return true;
    }
    if (!st) {
        tell(st, QStringLiteral("The sign-up was NOT accepted; nothing of the acceptance was written. Press OK to try "
                                "again, or Cancel."));
        return false;
    }
    reach("accepted");
    m_response = Response::Completed;
    m_services.changeNotice();
    const QStringList problems = acceptance.afterCommit(!m_visible);
    m_exported = acceptance.exportedFile();
    for (const QString &problem : problems)
        tell(Status::error(problem), QStringLiteral("The sign-up was accepted, but:"));
    if (m_guard)
        m_guard->release();
    return true;
}

bool SignupProcessing::ok()
{
    if (m_response == Response::Completed || !m_claim || !m_claim->isHeld())
        return true;
    if (m_state.contactId == 0 || m_records.client.toLong("ClientID") == 0) {
        tell(Status::error(QStringLiteral("Choose or add the contact first.")),
            QStringLiteral("The sign-up has no client and contact yet."));
        return false;
    }
    return accept();
}

void SignupProcessing::close()
{
    if (m_response != Response::Completed && m_claim && m_claim->isHeld()) {
        // Everything the window made goes, the changed values come back, the status is restored.
        const Status st = m_claim->release();
        if (st.isError())
            tell(st, QStringLiteral("What the sign-up wizard made could not be removed; it is removed when the "
                                    "database answers again, at the latest by the next console that starts."));
    }
    if (m_guard)
        m_guard->release();
    m_clientForm.reset();
}

} // namespace signups
