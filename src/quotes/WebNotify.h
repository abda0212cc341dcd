#pragma once

#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/mail/EmailResult.h"

#include <QList>

namespace bizlib {
class Database;
}
namespace bizlib::mail {
class MailSender;
}
namespace config {
struct ConsoleSettings;
}

namespace quotes {

// `WebNotify`: the short e-mail that tells the people responsible for a client that one of its web
// requests was processed. Quote, order and sign-up processing build the text and subject.
class WebNotify
{
public:
    static constexpr int kAddressListWidth = 200;

    struct Services
    {
        bizlib::Database *db = nullptr;
        bizlib::mail::MailSender *mail = nullptr; // EMAILDIALOG
        const config::ConsoleSettings *settings = nullptr; // AutoEmailRep, AutoEmailManager, AdminEmail
        bizlib::Session user; // the logged-on user
    };

    explicit WebNotify(Services services);

    // The recipients, joined with ";" and cut to kAddressListWidth characters:
    // - with AutoEmailRep and a rep on the client: the rep's address (a rep without a user record or
    //   an address gives none), then with AutoEmailManager the account manager's, when the manager
    //   is another user and has one;
    // - otherwise, with AutoEmailManager: the account manager's address;
    // - nobody yet in automatic mode: AdminEmail, else the system's own address (SYS:Email), else
    //   the logged-on user's. In manual mode nobody else is told.
    bizlib::Status recipients(const bizlib::Record &client, bool automatic, QString *list);

    // Sends `text` under `subject` to the recipients (when there are any), then the same to the
    // contact's linked contact on its own when the contact names one (CON:LinkedContactID) with
    // CON:NotifyLinked 1 and that contact has an address. `client` and `contact` are the request's
    // records (empty records when missing). Send failures are the mail library's to report; the
    // results are returned in the order sent.
    QList<bizlib::mail::EmailResult> send(const QString &text, const QString &subject, bool automatic,
        const bizlib::Record &client, const bizlib::Record &contact);

    // The number of the calling thread, as the e-mail record carries it.
    static qint32 currentThreadNumber();

private:
    QString systemAddress();
    bizlib::mail::EmailResult sendTo(
        const QString &to, const QString &text, const QString &subject, const bizlib::Record &client);

    Services m_services;
};

} // namespace quotes
