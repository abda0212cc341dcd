#include "signups/SignupRejection.h"

#include "bizlib/SignupExport.h"
#include "bizlib/Table.h"
#include "config/AppContext.h"
#include "signups/SignupRecords.h"

namespace signups::SignupRejection {

bizlib::Status afterRejected(config::AppContext &ctx, qint32 signupId, QString *written)
{
    bizlib::Table signups(*ctx.db, QStringLiteral("WebSignup"));
    bizlib::Record signup = signups.newRecord();
    const bizlib::Status st = signups.fetch(QStringLiteral("WEBSIGNUPIDKEY"), { signupId }, signup);
    if (!st)
        return st;
    if (!SignupRules::exportsXml(signup))
        return bizlib::Status::ok();
    return bizlib::SignupExport::outputSignupXml(ctx.brevix.globalData, signup, {}, 0, written);
}

} // namespace signups::SignupRejection
