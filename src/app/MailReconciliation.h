#pragma once

#include "bizlib/Record.h"
#include "config/SystemConfig.h"

namespace app {

// What the reconciliation of the workstation's e-mail and SMS settings with the company
// defaults did.
struct MailReconciliation
{
    bool defaultsCompleted = false; // the defaults had no transport and were filled in (to be saved)
    bool differed = false;          // transport, format or SMS provider differed before the copy
    bool emailCopied = false;       // the workstation took the defaults' e-mail settings
    bool smsCopied = false;         // ... and SMS settings
};

// Reconciles the workstation's system configuration with the company defaults record `defaults`
// (a DEFAULTS record, possibly empty):
//  1. defaults without an e-mail transport get "SMTP"/"Html" with the e-mail dialog on when they
//     name an SMTP server, else "MAPI"/"Text" with the workstation's dialog flag; their notify
//     flag becomes the workstation's; an empty default template and SMS provider are taken from
//     the workstation (the SMS settings field by field where the names match); the workstation's
//     "EmailCustom" is cleared;
//  2. notes whether the workstation's transport, format or SMS provider differ from the defaults';
//  3. unless "EmailCustom", the workstation takes the defaults' e-mail settings by name;
//  4. unless "SMSCustom", the workstation takes the defaults' SMS settings by name.
// Saving the defaults (when defaultsCompleted) and writing the INI keys (when differed) are the
// caller's: see writeMailKeys().
MailReconciliation reconcileMailSettings(bizlib::Record &defaults, config::SystemConfig &workstation);

// Writes "EmailTransport", "EmailFormat", "EmailBrevixDialog" to section "Email" (when the e-mail
// settings were copied) and "SMSProvider", "SMSAccount", "SMSPassword" to section "SMS" (when
// the SMS settings were copied) of the workstation INI file, if the reconciliation noted a
// difference. False when the file could not be written, with the reason in *error when given.
bool writeMailKeys(const MailReconciliation &result, const config::SystemConfig &workstation, const QString &localIni,
                   QString *error = nullptr);

} // namespace app
