#pragma once

#include <QString>

namespace bizlib::mail {

// How e-mail leaves this workstation: the e-mail keys of the system configuration (section
// "Email" of the workstation INI file, after the company defaults were applied), plus the two
// places the configuration does not name: the outbox folder and the sendmail program.
//
// Transport "SMTP" talks to `server` itself; any other transport ("MAPI", the business system's
// name for the desktop mail interface) hands the message to the local `sendmail -t -i`.
//
// Encryption: blank or "None" upgrades the connection with STARTTLS when the server offers it
// (without checking its certificate) and otherwise sends in the clear (port 25 unless `port`
// says otherwise); "SSL" speaks TLS from the first byte (port 465); "TLS" or "STARTTLS" upgrades
// the connection with STARTTLS and refuses to go on when the server cannot (port 587).
//
// The outbox keeps a copy of every message sent or failed, as .eml files in <outboxFolder>/sent
// and <outboxFolder>/failed (see Outbox). Blank: the "outbox" folder in the user's application
// data folder.
struct MailSettings
{
    static constexpr int kDefaultTimeoutSeconds = 30;

    bool disabled = false; // "EmailDisable"
    QString transport = QStringLiteral("MAPI"); // "EmailTransport"
    QString format = QStringLiteral("Text"); // "EmailFormat": used when SEND:Format is blank
    QString server; // "EmailServer": host name or address
    QString port; // "EmailPort": blank for the encryption's usual port
    QString encryption; // "EmailEncryption"
    QString username; // "EmailUsername": blank to send without logging in
    QString password; // "EmailPassword"
    int timeoutSeconds = 0; // "EmailServerTimeout": 0 for kDefaultTimeoutSeconds
    QString from; // "EmailFrom": the sender when the e-mail record names none
    QString helo; // "EmailHelo": the name this workstation gives in EHLO; blank for the host name
    bool bccSelf = false; // "EmailBCCSelf": a blind copy to the sender

    QString outboxFolder;
    QString sendmailProgram; // blank: "sendmail" on the PATH, in /usr/sbin or in /usr/lib

    bool isSmtp() const { return transport.trimmed().compare(QLatin1String("SMTP"), Qt::CaseInsensitive) == 0; }
    int effectiveTimeoutSeconds() const { return timeoutSeconds > 0 ? timeoutSeconds : kDefaultTimeoutSeconds; }
};

// The settings from a system configuration record: any type with the members of
// config::SystemConfig's "Email" section (emailDisable, emailTransport, emailServer ...) and its
// localData. The outbox is the folder "outbox" in "LocalData" (blank when that key is blank); the
// sendmail program is left blank, to be found on the system.
template<class Config> MailSettings mailSettingsFrom(const Config &c)
{
    MailSettings s;
    if (!c.localData.trimmed().isEmpty())
        s.outboxFolder = c.localData.trimmed() + QLatin1String("/outbox");
    s.disabled = c.emailDisable != 0;
    s.transport = c.emailTransport;
    s.format = c.emailFormat;
    s.server = c.emailServer;
    s.port = c.emailPort;
    s.encryption = c.emailEncryption;
    s.username = c.emailUsername;
    s.password = c.emailPassword;
    s.timeoutSeconds = c.emailServerTimeout;
    s.from = c.emailFrom;
    s.helo = c.emailHelo;
    s.bccSelf = c.emailBccSelf != 0;
    return s;
}

} // namespace bizlib::mail
