#pragma once

#include "config/AppContext.h"

#include <functional>

namespace app {

// The application frame's logic: opening checks, the close question, the phrase-toolbox
// requests, and what is saved on the way out. The window (app/ui/WebFrame) does the showing.
class Frame
{
public:
    enum class OpenResult { Open, Refused, NotConfigured };

    // `logon` asks the user to log on and fills the context's user; false when refused.
    Frame(config::AppContext &context, std::function<bool(config::AppContext &)> logon);

    // Opening: logon; the first SYCONF and DEFAULTS records must be readable; without a website
    // address and without "/SETUP" the exclamation beep and the "Program not configured" warning.
    OpenResult open();
    bool isOpen() const { return m_open; }

    // The user closes the frame: the question with No as default. Sets the close-confirmed flag.
    bool confirmClose();

    // A processing window asks for the phrase toolbox ("Production" for 6024, "Estimating" for
    // 6034). Returns the group to start, or an empty text when a toolbox runs already.
    QString phraseToolboxFor(int event) const;

    // On the way out: the system configuration goes back to the workstation INI file (only when
    // the frame had fully opened). False when it could not be written.
    bool writeBack();

private:
    config::AppContext &m_ctx;
    std::function<bool(config::AppContext &)> m_logon;
    bool m_open = false;
};

} // namespace app
