#pragma once

#include "bizlib/Session.h"
#include "bizlib/forms/FormRequest.h"
#include "bizlib/mail/EmailResult.h"
#include "bizlib/mail/MailSettings.h"
#include "bizlib/sendto/ListSource.h"
#include "bizlib/sendto/SendToPrompter.h"

namespace bizlib {
class ProcedureTrace;
class Prompter;
}
namespace bizlib::mail {
class MailComposer;
}

namespace bizlib::sendto {

// SENDTO_WINDOW: outputs a list to a file, to e-mail or to a printer.
//
// - File: the user picks a file; the list is written as CSV (ListWriter) and the file replaced
//   only once it is complete.
// - E-mail: EMAILDIALOG with the compose dialog, from the logged-on user, the list attached as a
//   CSV file named after its title; the outbox keeps the message with its attachment.
// - Printer: the print dialog, then the list as a table (ListWriter::html).
// A failure to read the list or to write the file is shown through the prompter ("Send to",
// exclamation); a failed e-mail is shown by EMAILDIALOG itself.
class SendTo
{
public:
    struct Services
    {
        Prompter *prompter = nullptr;
        SendToPrompter *ask = nullptr; // must be set
        mail::MailSettings mail;
        mail::MailComposer *composer = nullptr; // the compose dialog (none: sent as prepared)
        ProcedureTrace *trace = nullptr; // the trace log (mail's warnings)
        Session sender; // the logged-on user
        QString folder; // where the file is offered (empty: the user's documents)
    };

    static QString caption() { return QStringLiteral("Send to"); }

    explicit SendTo(Services services);

    // Asks where the list goes and sends it there. Completed when it went, Cancelled when the user
    // cancelled or it failed. `rows`: the list's row count when known (-1 otherwise).
    forms::Response run(const ListSource &list, qint64 rows = -1);

    Status toFile(const ListSource &list, const QString &path);
    mail::EmailResult toEmail(const ListSource &list);
    // False when the list could not be read or the user cancelled the print dialog.
    bool toPrinter(const ListSource &list);

private:
    void report(const Status &status);

    Services m_services;
};

} // namespace bizlib::sendto
