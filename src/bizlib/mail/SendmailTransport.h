#pragma once

#include "bizlib/mail/MailTransport.h"

namespace bizlib::mail {

// Hands the message to the system's sendmail interface: `<program> -t -i` with the whole message
// (Bcc included, which sendmail reads for the envelope and removes) on its standard input.
// sendmail queues the message; an exit code other than 0 is a failure, reported with what the
// program wrote to its error output.
class SendmailTransport : public MailTransport
{
public:
    // `program` blank: found as "sendmail" on the PATH, in /usr/sbin or in /usr/lib.
    // `timeoutSeconds` bounds the start and the run of the program.
    explicit SendmailTransport(const QString &program = {}, int timeoutSeconds = 30);

    Status send(const MailMessage &message) override;
    QString name() const override { return QStringLiteral("MAPI"); }

    // The program that send() runs; empty when there is none.
    QString program() const;

private:
    QString m_program;
    int m_timeoutSeconds;
};

} // namespace bizlib::mail
