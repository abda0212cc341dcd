#pragma once

#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "signups/ClientParties.h"
#include "signups/SignupRecords.h"

#include <functional>

namespace bizlib {
class Prompter;
}

namespace signups {

class RunWrites;

// The steps that match a web sign-up against the clients and contacts and make what is missing:
// the account, the contact, the main office, the delivery contact and office. Each works on the
// window's records and state and leaves its result there for the next step. Every row goes through
// RunWrites, so a cancel (or the cleanup after a dead workstation) takes it away again; the lists
// of created contacts and offices only ever grow while the window is open.
class SignupParties
{
public:
    // A failure that the step cannot get past: what failed and why. The caller tells the user (or
    // the trace log, when nobody watches).
    using Tell = std::function<void(const bizlib::Status &status, const QString &what)>;

    static constexpr qint32 kEndOfDay = 8640000; // the time web access ends on its expiry day
    static QString accountErrorText()
    {
        return QStringLiteral("WARNING: Unable to create new account, please cancel and restart the signup wizard.");
    }
    static QString accountErrorCaption() { return QStringLiteral("Error creating account"); }

    SignupParties(RunWrites &writes, SignupRecords &records, SignupState &state, const bizlib::Session &user,
        bizlib::Prompter *prompter, Tell tell);

    // The contact record filled from the sign-up and the current client (not written).
    void fillContact(bizlib::Record &contact);
    // Gives the client web access until the default expiry when its expiry date or time is empty.
    void applyWebExpiryDefaults(bizlib::Record &client);

    // A new account for the sign-up's company, with its code, in the client record (and its
    // alias). False when it could not be made: the user has been told (the account error message
    // and why), the client and contact records are empty.
    bool createAccount();
    // A new contact of the client, filled from the sign-up; made primary when the client has none.
    void createContact();
    // The client's main office, found (same first address line) or made.
    void mainOffice();
    // The delivery contact (the contact alias): the client's contact of the sign-up's delivery
    // name, or a new one.
    void deliveryContact();
    // The delivery office (the office alias): the client's delivery office when it has the sign-up's
    // delivery address, else a new one from the web order's delivery details (none without an order).
    void deliveryOffice();
    // Account (when there is no client), contact (when there is none), main office and, for a B2C
    // sign-up, the delivery contact and office. False when the account could not be made: nothing
    // else is made then.
    bool automaticCompletion();
    // The client the wizard proposes for a sign-up whose e-mail matched no contact: the client alias
    // holds it, and WSUP:IsCustomer says whether one was found.
    bizlib::Status companyNameSearch();
    // The client of the alias becomes the account to complete: web access (under the platform
    // rule), the sign-up's site domain for a client without web access. Written by the finish step.
    bizlib::Status existingClientStep();

    bool accountFailed() const { return m_accountFailed; }
    ClientParties &parties() { return m_parties; }

private:
    bizlib::Status fetch(const QString &table, qint32 id, bizlib::Record *record);
    QString townArea();
    void told(const bizlib::Status &status, const QString &what);

    RunWrites &m_writes;
    SignupRecords &m_records;
    SignupState &m_state;
    const bizlib::Session &m_user;
    bizlib::Prompter *m_prompter;
    Tell m_tell;
    ClientParties m_parties;
    bool m_accountFailed = false;
};

} // namespace signups
