#pragma once

#include "bizlib/mail/MailSettings.h"
#include "bizlib/mail/MailTransport.h"

namespace bizlib {
class ProcedureTrace;
}

namespace bizlib::mail {

// Sends over SMTP with libcurl to the server of the settings: server, port, encryption, user
// name and password (blank: no login), timeout, and the EHLO name.
//
// The timeout bounds the connect and every wait for an answer of the server (and a data transfer
// that stalls), not the whole conversation, so a large message on a slow line still goes through.
// A message goes to all its recipients or to none: one refused recipient fails the send.
//
// With the encryption "None" (or blank) the connection is still upgraded with STARTTLS whenever
// the server offers it, so that the login and the message do not cross the network readable by
// anyone on the way; as "None" promises nothing, the server's certificate is not checked then
// (choose "TLS" or "SSL" for a checked connection that is never sent in the clear). When a
// password is sent all the same without TLS (the server offers no STARTTLS), a warning goes to
// the trace log (setTrace()).
class SmtpTransport : public MailTransport
{
public:
    struct Tls
    {
        QString caFile; // a CA bundle file, or a folder of CA certificates; blank: the system's
        bool verifyPeer = true;
        bool verifyHost = true;
    };

    explicit SmtpTransport(const MailSettings &settings);
    SmtpTransport(const MailSettings &settings, const Tls &tls);

    // Where the warning about a password sent without TLS goes (nullptr: nowhere).
    void setTrace(ProcedureTrace *trace) { m_trace = trace; }

    Status send(const MailMessage &message) override;
    QString name() const override { return QStringLiteral("SMTP"); }

    // "smtp://host:25/helo-name" as it is given to libcurl; empty with *error set when the
    // settings name no server, a port that is not a number, or an unknown encryption.
    QString url(QString *error = nullptr) const;

private:
    MailSettings m_settings;
    Tls m_tls;
    ProcedureTrace *m_trace = nullptr;
};

} // namespace bizlib::mail
