#pragma once

#include "bizlib/Status.h"

#include <QString>

namespace bizlib::mail {

// What became of one EMAILDIALOG call.
struct EmailResult
{
    enum class Outcome { Sent, Failed, Cancelled };

    Outcome outcome = Outcome::Failed;
    // Ok when the e-mail was sent or the user cancelled it in the compose dialog; an error with
    // the reason (and the server's answer) when it failed.
    Status status;
    QString outboxFile; // the copy kept in the outbox; empty when cancelled or it could not be written
    QString outboxError; // why no outbox copy could be written (also part of `status` on failure)

    bool sent() const { return outcome == Outcome::Sent; }
    bool failed() const { return outcome == Outcome::Failed; }
    bool cancelled() const { return outcome == Outcome::Cancelled; }
};

} // namespace bizlib::mail
