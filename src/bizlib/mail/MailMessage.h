#pragma once

#include "bizlib/mail/MailAddress.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace bizlib::mail {

// One e-mail ready to be written as MIME (MimeWriter) and sent. Attachments carry their bytes,
// read once, so that the copy sent and the copy kept in the outbox are the same.
struct MailMessage
{
    struct Attachment
    {
        QString path; // the file named by the e-mail record
        QString fileName; // the name the recipient sees
        QByteArray data;
        bool readable = false; // false: the file could not be read, `data` is empty
    };

    MailAddress from;
    MailAddress replyTo; // empty address: no Reply-To header
    QList<MailAddress> to;
    QList<MailAddress> cc;
    QList<MailAddress> bcc;
    QString subject;
    QString text; // the plain-text body (also the alternative of an HTML body)
    QString html; // empty: a plain-text message
    QList<Attachment> attachments;
    QDateTime date;
    QString messageId; // without angle brackets: "unique@domain"
    bool readReceipt = false; // asks for a read receipt (Disposition-Notification-To)

    // Every recipient of the envelope: To, Cc and Bcc.
    QList<MailAddress> recipients() const { return to + cc + bcc; }
};

} // namespace bizlib::mail
