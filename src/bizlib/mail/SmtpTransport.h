#pragma once

#include "bizlib/mail/MailSettings.h"
#include "bizlib/mail/MailTransport.h"

namespace bizlib::mail {

// Sends over SMTP with libcurl to the server of the settings: server, port, encryption, user
// name and password (blank: no login), timeout, and the EHLO name.
//
// The timeout bounds the connect and every wait for an answer of the server (and a data transfer
// that stalls), not the whole conversation, so a large message on a slow line still goes through.
// A message goes to all its recipients or to none: one refused recipient fails the send.
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

    Status send(const MailMessage &message) override;
    QString name() const override { return QStringLiteral("SMTP"); }

    // "smtp://host:25/helo-name" as it is given to libcurl; empty with *error set when the
    // settings name no server, a port that is not a number, or an unknown encryption.
    QString url(QString *error = nullptr) const;

private:
    MailSettings m_settings;
    Tls m_tls;
};

} // namespace bizlib::mail
