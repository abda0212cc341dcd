#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormModel.h"
#include "bizlib/forms/FormRequest.h"
#include "signups/SignupLists.h"
#include "signups/SignupRecords.h"

#include <functional>
#include <memory>
#include <optional>

namespace bizlib::forms {
class RecordForms;
}
namespace bizlib::mail {
class MailSender;
}
namespace config {
struct AppContext;
}
namespace data {
class RequestClaim;
}

namespace signups {

class EmailGuard;
class RunWrites;
class SignupParties;

// The logic of `WebSignupProcess`, the four-step wizard ("Method", "Client", "Client-update",
// "Contacts") that turns a web sign-up into a client account and contact, or - for a B2C sign-up -
// does so without showing itself. The window calls open() once, shows itself when isVisible() says
// so, and leaves through ok() or close().
//
// What the wizard writes while it is open (account, contacts, offices, towns, and the values it
// changes on a matched contact and client) is recorded with the sign-up's claim as it is written:
// a cancel (or the cleanup after a workstation that died) removes exactly those rows and puts the
// changed values back as they were. Acceptance writes the sign-up and everything that follows from
// it in one transaction (SignupAcceptance). A window that did not get the claim writes nothing.
class SignupProcessing
{
public:
    struct Services
    {
        config::AppContext *ctx = nullptr; // database, prompter, user, settings, trace
        bizlib::forms::RecordForms *forms = nullptr; // contact, client and country forms, lists, calendar
        bizlib::mail::MailSender *mail = nullptr; // the notification (none: not sent)
        std::function<void()> changeNotice; // none: the company's change notice
        // Called with the name of each point passed ("claimed", "matched", "completed", "written",
        // "accepted"), for tests that stop a process there.
        std::function<void(const char *point)> checkpoint;
    };

    // The lookups of the Client-update step.
    enum class Lookup { Currency = 1, Nominal, TaxCode, Rep, Manager, Contact, Country };

    static QString enableWebQuestion()
    {
        return QStringLiteral("WARNING: This will enable web module access for this client, is this what you want to do?");
    }
    static QString noClientChosenText()
    {
        return QStringLiteral("Select the client in the list first, or press Back to choose \"New customer\".");
    }
    static QString duplicateCodeText()
    {
        return QStringLiteral("WARNING: Another client account already exists using this code, please select another.");
    }

    // `signup`: the sign-up as the caller has just read it. `webOrder`: the web order being processed
    // when order processing opens the wizard (its delivery details are used); empty: the order placed
    // with the sign-up, when there is one.
    SignupProcessing(Services services, const bizlib::Record &signup, const bizlib::Record &webOrder = {});
    // A claim still held is released as a cancel does.
    ~SignupProcessing();
    SignupProcessing(const SignupProcessing &) = delete;
    SignupProcessing &operator=(const SignupProcessing &) = delete;

    // Initialisation: the claim, the match by e-mail, and the B2B or B2C road. False when the window
    // is never to show: the claim was declined or failed, or a B2C sign-up was accepted without it
    // (response() says which).
    bool open();
    bool isVisible() const { return m_visible; }
    // "Web signup: First Last - Company".
    QString headerTitle() const;

    int step() const { return m_state.step; }
    bool backEnabled() const { return m_backEnabled; }
    bool nextEnabled() const { return m_nextEnabled; }
    bool okEnabled() const { return m_okEnabled; }
    void chooseMethod(const QString &method);
    void next();
    void back();

    // Step 2.
    ClientListModel &clientList() { return *m_clients; }
    void setWebStatus(const QString &webStatus);
    bool chooseClient(int row);
    bizlib::forms::Response viewClient(int row);

    // Step 3: the account's form (valid on step 3); the window reports each edited field.
    bizlib::forms::FormModel *clientForm() { return m_clientForm.get(); }
    // The values a drop-list field of the account takes ("Payment", "Terms", "ClientType"); empty
    // for a field that is typed.
    static QStringList clientChoices(const QString &field);
    // The lookup behind a field of the account (its "..." button), when it has one.
    static std::optional<Lookup> lookupFor(const QString &field);
    // The account's site domain as the user knows it (its description); "" for none.
    QString siteDomainText() const;
    // While the code or the name is typed: the text goes into the account and Next follows it
    // (the field's own check runs when the user leaves it, clientFieldEdited()).
    void clientFieldTyped(const QString &field, const QString &text);
    // Runs the field's own check; false when the field was refused (the user stays on it). A drop
    // list's value that is not one of its choices is refused and the field takes its earlier value.
    bool clientFieldEdited(const QString &field);
    bizlib::forms::Response lookup(Lookup which);
    bizlib::forms::Response pickExpiryDate();

    // Step 4.
    ContactListModel &contactList() { return *m_contacts; }
    bool chooseContact(int row);
    bizlib::forms::Response addContact();
    // The contact form on the row's contact; the fields it changes on a contact the wizard did not
    // make are recorded with the claim, so that a cancel puts them back.
    bizlib::forms::Response editContact(int row);

    // OK: the sign-up is accepted. True when the window may close (response() says how it ended).
    bool ok();
    // The window closes by any road: unless accepted, what it made goes and the sign-up gets its
    // status back (nothing at all for a window that never held the claim).
    void close();

    bizlib::forms::Response response() const { return m_response; }
    const SignupRecords &records() const { return m_records; }
    const SignupState &state() const { return m_state; }
    const data::RequestClaim *claim() const { return m_claim.get(); }
    // The last failure told (to the user, and to the trace log); empty: none.
    const QString &told() const { return m_told; }
    const QString &exportedFile() const { return m_exported; }

private:
    void tell(const bizlib::Status &st, const QString &what);
    void reach(const char *point) const;
    bool claim();
    void matchByEmail();
    void b2bStart();
    bool b2cStart();
    bool accept();
    void enterStep(int step);
    void updateButtons();
    void deleteCreatedAccount();
    void buildClientForm();
    void takeClientForm();
    bool checkCode();
    bool checkCountry();
    bool checkChoice(const QString &field);
    bool checkLookupField(Lookup which, bool fromButton);
    bizlib::Status fetch(const QString &table, qint32 id, bizlib::Record *record);

    Services m_services;
    SignupRecords m_records;
    SignupState m_state;
    std::unique_ptr<data::RequestClaim> m_claim;
    std::unique_ptr<EmailGuard> m_guard;
    std::unique_ptr<RunWrites> m_writes;
    std::unique_ptr<SignupParties> m_parties;
    std::unique_ptr<ClientListModel> m_clients;
    std::unique_ptr<ContactListModel> m_contacts;
    std::unique_ptr<bizlib::forms::FormModel> m_clientForm;
    bizlib::forms::Response m_response = bizlib::forms::Response::Cancelled;
    bool m_visible = false;
    bool m_backEnabled = false;
    bool m_nextEnabled = true;
    bool m_okEnabled = false;
    bool m_closed = false;
    QString m_told;
    QString m_exported;
};

} // namespace signups
