#pragma once

#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/mail/EmailResult.h"

namespace bizlib {
class Database;
}
namespace bizlib::mail {
class MailSender;
}
namespace config {
struct ConsoleSettings;
}

namespace quotes {

// The e-mail that tells the estimator of the settings (RFQEstimator) about a request for
// quotation that the console raised without a user.
class RfqNotice
{
public:
    // Due for an automatic RFQ when RFQNotify is on and RFQEstimator names someone other than the
    // logged-on user (initials compared without regard to case).
    static bool isDue(const config::ConsoleSettings &settings, const QString &userCode, bool isRfq);

    static QString subject(const bizlib::Record &quote);
    // Lines joined by CR LF: the reference, then "Client:", "Title:", "Quantity:" and
    // "Specification:" (translated) with their values; no line end after the last.
    static QString text(const bizlib::Record &quote, const bizlib::Record &client);

    // Sends the e-mail to the quote's estimator (QTE:Estimator) from the logged-on user. NotFound,
    // and nothing sent, when the estimator is not a user or has no e-mail address; otherwise the
    // result of the sending in *result.
    static bizlib::Status send(bizlib::Database &db, bizlib::mail::MailSender &mail, const bizlib::Session &user,
        const bizlib::Record &quote, const bizlib::Record &client, bizlib::mail::EmailResult *result = nullptr);
};

} // namespace quotes
