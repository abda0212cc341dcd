#pragma once

#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"

class QWidget;

namespace config {
struct AppContext;
}

namespace signups::ui {

// `WebSignupReject`: the shared rejection window (quotes::ui::WebQuoteReject) in its sign-up
// variant ("Reject web registration", no phrase list, the sign-up becomes "Rejected"), followed by
// the XML export for sign-ups of other platforms. A failed export is told; the rejection stands.
namespace WebSignupReject {

bizlib::forms::Response run(config::AppContext &ctx, const bizlib::Record &signup, QWidget *parent = nullptr);

} // namespace WebSignupReject
} // namespace signups::ui
