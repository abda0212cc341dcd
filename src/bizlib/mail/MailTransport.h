#pragma once

#include "bizlib/Status.h"
#include "bizlib/mail/MailMessage.h"

namespace bizlib::mail {

// One way of handing a finished message on for delivery.
class MailTransport
{
public:
    virtual ~MailTransport() = default;

    // Sends the message to all its recipients, or to none: a failure (the server refused the
    // connection, the sender or a recipient, or did not answer in time) is an error Status whose
    // message gives the reason and the server's own answer where there was one.
    virtual Status send(const MailMessage &message) = 0;
    // "SMTP" or "MAPI", as the outbox notes it.
    virtual QString name() const = 0;
};

} // namespace bizlib::mail
