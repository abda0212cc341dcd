#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "signups/SignupRecords.h"

#include <QStringList>

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

// Accepting a sign-up once the wizard (or B2C processing) has its client and contact: the sign-up
// becomes "Accepted" and records what it became, the web orders placed with it get the new client
// (with delivery contacts and offices where an order delivers elsewhere), their attachments are
// re-pointed to the client's folder, the list options and the webtasks are written, the client gets
// its web access, address, client-updates and domain link, and the contact its web access.
//
// All of that is ONE transaction, written only while the window still holds the sign-up's claim:
// a sign-up is either accepted with everything that belongs to it, or nothing of it is written and
// the window keeps its claim (a workstation that dies in the middle leaves the claim, whose cleanup
// removes what the wizard made). The notification and the XML export follow the commit.
class SignupAcceptance
{
public:
    struct Services
    {
        config::AppContext *ctx = nullptr; // database, user, settings, GlobalData
        bizlib::mail::MailSender *mail = nullptr; // none: no notification
    };

    static QString notificationSubject() { return QStringLiteral("Webconsole signup"); }
    // "Notification of web signup for: ..." with the client, the contact's name and e-mail.
    static QString notificationText(const bizlib::Record &client, const bizlib::Record &signup);

    SignupAcceptance(Services services, SignupRecords &records, SignupState &state, data::RequestClaim &claim);

    // The accept and finish steps and the contact's final web access, committed together. NotFound
    // when the claim is no longer this window's (nothing written); an error when a write failed
    // (nothing written, the claim still held). On success the claim has ended.
    bizlib::Status acceptAndFinish();
    // After the commit: the notification and, for another platform, the XML export. What could
    // not be done is returned (one line each); the sign-up stays accepted.
    QStringList afterCommit(bool automatic);

    const QString &exportedFile() const { return m_exported; }

private:
    bizlib::Status accept(QList<QPair<QString, QVariant>> *signupFields);
    bizlib::Status completeOrders();
    bizlib::Status repointAttachments(const bizlib::Record &order);
    bizlib::Status finish();
    bizlib::Status contactAccess();
    bizlib::Status adoptReferences();

    Services m_services;
    SignupRecords &m_records;
    SignupState &m_state;
    data::RequestClaim &m_claim;
    QString m_exported;
};

} // namespace signups
