#pragma once

#include "bizlib/Status.h"

namespace config {
struct AppContext;
}

namespace signups {

// What follows a sign-up's rejection (the rejection window itself is the shared one of
// quotes::RequestRejection): a sign-up of another platform than the own portal ("XMLTFR" ...) is
// answered with the XML export of the sign-up as rejected.
namespace SignupRejection {

// Reads the sign-up `signupId` as stored and exports it when its platform asks for it. Ok when
// nothing was to be done; the export's failure otherwise (the rejection itself stands).
// *written (if given) is the file written.
bizlib::Status afterRejected(config::AppContext &ctx, qint32 signupId, QString *written = nullptr);

} // namespace SignupRejection
} // namespace signups
