#include "signups/ui/WebSignupReject.h"

#include "bizlib/Prompter.h"
#include "config/AppContext.h"
#include "quotes/RequestRejection.h"
#include "quotes/ui/WebQuoteReject.h"
#include "signups/SignupRejection.h"

namespace signups::ui::WebSignupReject {

bizlib::forms::Response run(config::AppContext &ctx, const bizlib::Record &signup, QWidget *parent)
{
    const auto response = quotes::ui::WebQuoteReject::run(ctx, quotes::RejectionVariant::signup(), signup, parent);
    if (response != bizlib::forms::Response::Completed)
        return response;
    const bizlib::Status st = SignupRejection::afterRejected(ctx, signup.toLong("WebSignupID"));
    if (!st && ctx.prompter)
        ctx.prompter->alert(QStringLiteral("The sign-up was rejected, but its XML file was not written.\n\n")
                + st.message(),
            quotes::RejectionVariant::signup().title, bizlib::Prompter::Icon::Exclamation);
    return response;
}

} // namespace signups::ui::WebSignupReject
