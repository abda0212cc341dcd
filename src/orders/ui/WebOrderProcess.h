#pragma once

#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"
#include "notes/ui/ProcessingWindow.h"

namespace config {
struct AppContext;
}

namespace orders {
class OrderProcessing;
}

namespace orders::ui {

// `WebOrderProcess`: the processing window (ProcessingWindow) of one web order (OrderProcessing).
class WebOrderProcess : public notes::ui::ProcessingWindow
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "WebOrderProcess";

    WebOrderProcess(OrderProcessing &processing, const QString &windowIni, QWidget *parent = nullptr,
        bizlib::ProcedureTrace *trace = nullptr);

    // Processes `webOrder` (just read again by the caller) as the console does: the window with
    // the program's own services - the order form as a dialog, EMAILDIALOG with the system
    // configuration's mail settings, the sign-up wizard for a pending B2C sign-up - shown modally;
    // afterwards a phrase toolbox still running is closed. Returns the response.
    static bizlib::forms::Response run(
        config::AppContext &ctx, const bizlib::Record &webOrder, bool automatic, QWidget *parent = nullptr);
};

} // namespace orders::ui
