#pragma once

#include "config/AppContext.h"

namespace bizlib::ui {
class WidgetForms;
}

namespace notes::ui {

// The business library's dialogs as a processing window runs them (quotes now, orders alike):
// `forms` (whose parent is the processing window, so that they are modal to it alone) keep their
// size and position in the window-settings file under their procedure names; their text fields
// take phrases dragged from the phrase toolbox, as the note editor's do (PhraseDrop: an empty
// field takes the phrase, a filled one asks Overwrite, Append or Cancel through ctx.prompter);
// and each record form, once on screen, has the running toolbox brought up beside it.
// `ctx` must outlive `forms`.
class ProcessingForms
{
public:
    static void prepare(bizlib::ui::WidgetForms &forms, config::AppContext &ctx);
};

} // namespace notes::ui
