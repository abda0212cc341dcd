#pragma once

#include "bizlib/Status.h"

#include <QString>

namespace bizlib::mail {

// What became of one EMAILDIALOG call.
struct EmailResult
{
    // Disabled: sending e-mail is switched off on this workstation ("EmailDisable"), so nothing
    // was sent and nothing kept; not a failure.
    enum class Outcome { Sent, Failed, Cancelled, Disabled };

    Outcome outcome = Outcome::Failed;
    // Ok when the e-mail was sent or the user cancelled it in the compose dialog; an error with
    // the reason (and the server's answer) when it failed or was switched off.
    Status status;
    QString outboxFile; // the copy kept in the outbox; empty when cancelled or it could not be written
    QString outboxError; // why no outbox copy could be written (also part of `status` on failure)

    bool sent() const { return outcome == Outcome::Sent; }
    bool failed() const { return outcome == Outcome::Failed; }
    bool cancelled() const { return outcome == Outcome::Cancelled; }
    bool disabled() const { return outcome == Outcome::Disabled; }
};

} // namespace bizlib::mail
