#pragma once

#include "config/AppContext.h"
#include "console/general/NoteActions.h"
#include "console/general/RequestActions.h"

#include <functional>

class QWidget;

namespace notes {
class Desktop;
}

namespace console::ui {

// The real windows behind RequestActions, each a modal child of `parent`: the windows of the
// request buttons and the note editor.
class RequestWindows
{
public:
    // The quote processing window and the quote and order rejection windows.
    static RequestActions::Windows make(config::AppContext &ctx, QWidget *parent);
    // The `UpdateWebNote` form with its selection lists and spelling check; `desktop` is asked
    // each time, so that a desktop put in later serves it.
    static NoteActions::Editor noteEditor(
        config::AppContext &ctx, std::function<notes::Desktop *()> desktop, QWidget *parent);
};

} // namespace console::ui
