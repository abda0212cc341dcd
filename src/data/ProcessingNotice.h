#pragma once

#include "bizlib/Status.h"

#include <QString>

namespace config {
struct AppContext;
}

namespace data {

// How a processing run tells a failure: `what` went wrong, with the status's reason below it,
// goes to the trace log after `subject` ("Web order 2004") and, when a user is there, into an
// exclamation message captioned `caption`. Gives the text told (empty when `st` is Ok).
QString tellFailure(config::AppContext &ctx, bool userPresent, const QString &subject, const QString &caption,
    const bizlib::Status &st, const QString &what);

} // namespace data
