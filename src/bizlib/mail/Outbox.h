#pragma once

#include "bizlib/Status.h"
#include "bizlib/mail/MailMessage.h"

#include <QList>
#include <QPair>
#include <QString>

namespace bizlib::mail {

// The record of every e-mail this workstation sent or failed to send, where a user can open it
// with any mail program: one .eml file per message,
//   <folder>/sent/yyyyMMdd-HHmmss-zzz-<id>.eml    sent
//   <folder>/failed/yyyyMMdd-HHmmss-zzz-<id>.eml  not sent
// Each file is the whole message as it was (or would have been) sent, Bcc included, after a few
// header lines of its own:
//   X-Webconsole-Transport: SMTP | MAPI
//   X-Webconsole-Error: <why it failed>                 failed messages only
//   X-Webconsole-Links: QUOTE=1234; CLIENT=56 ...       the records the e-mail is filed against
// Files are written whole or not at all.
class Outbox
{
public:
    enum class Kind { Sent, Failed };
    // The business records an e-mail is filed against: ("QUOTE", 1234), ("CLIENT", 56) ...
    using Links = QList<QPair<QString, qint32>>;

    // `folder` blank: the "outbox" folder in the user's application data folder.
    explicit Outbox(const QString &folder);

    QString folder() const { return m_folder; }
    QString folder(Kind kind) const;

    // Writes one message; *file takes the path written. An error when the folder or file cannot
    // be written.
    Status record(Kind kind, const MailMessage &message, const QString &transport, const QString &error,
        const Links &links, QString *file = nullptr) const;

    // The files of one kind, oldest first.
    QStringList files(Kind kind) const;

private:
    QString m_folder;
};

} // namespace bizlib::mail
