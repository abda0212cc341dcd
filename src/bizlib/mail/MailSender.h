#pragma once

#include "bizlib/mail/EmailResult.h"
#include "bizlib/mail/MailSettings.h"
#include "bizlib/mail/Outbox.h"
#include "bizlib/params/EmailLinks.h"
#include "bizlib/params/EmailParams.h"

namespace bizlib {
class ProcedureTrace;
class Prompter;
} // namespace bizlib

namespace bizlib::mail {

class MailComposer;

// EMAILDIALOG: sends the e-mail of a SEND: record (see MailMessageBuilder for what each field
// becomes), with or without a compose dialog first.
//
// - Transport: SEND:Transport, else the settings' ("SMTP": SmtpTransport; anything else, the
//   business system's "MAPI": the local sendmail, SendmailTransport). When SEND:Server is filled,
//   the record's server fields (SEND:Server, Port, Encryption, Username, Password, Helo) are used
//   together instead of the configuration's; SEND:CARootPath, SEND:DontVerifyCARoot and
//   SEND:DontVerifyCommonName set the TLS checks.
// - SEND:Dialog 1 shows the compose dialog first (when a composer is given; without one the
//   e-mail is sent as it is): the user may edit recipients, subject and body, which go back
//   into the record, or cancel, which sends nothing and records nothing.
// - Switched off by EmailDisable: nothing is sent or kept, SEND:SendStatus is "Disabled", the
//   category webconsole.mail gets one debug line (it is no failure), and a user who asked for the
//   e-mail (the dialog, or SEND:Notify 1) is told so before writing it.
// - Otherwise the e-mail is sent, or fails as a whole: SEND:OutputTo other than blank or "Email"
//   (no fax or SMS output here), no sender, no or an invalid recipient, an unreadable attachment,
//   or the transport's refusal with the server's answer. Either way the message is kept in the
//   outbox (sent/ or failed/, with the error and the records of the link record it is filed
//   against), SEND:SendStatus is set to "Sent", "Failed" or "Cancelled", and a failure is logged
//   (category webconsole.mail).
// - A failure is also shown to the user through the prompter ("E-mail", exclamation) when the
//   e-mail was composed in the dialog or SEND:Notify is 1; with SEND:Notify 1 a sent e-mail is
//   confirmed the same way. Unattended callers (Dialog 0, Notify 0) only get the result.
class MailSender
{
public:
    // `trace` gets the warning of an SMTP login sent without TLS (see SmtpTransport).
    explicit MailSender(const MailSettings &settings, MailComposer *composer = nullptr, Prompter *prompter = nullptr,
        ProcedureTrace *trace = nullptr);

    EmailResult emailDialog(params::EmailParams &send, const params::EmailLinks &links = {});

    // The settings with the record's own transport and server fields applied.
    static MailSettings effectiveSettings(const MailSettings &settings, const params::EmailParams &send);
    // The non-zero identifiers of the link record: ("QUOTE", id), ("ORDER", id) ...
    static Outbox::Links linksOf(const params::EmailLinks &links);

private:
    MailSettings m_settings;
    MailComposer *m_composer;
    Prompter *m_prompter;
    ProcedureTrace *m_trace;
};

} // namespace bizlib::mail
