#pragma once

#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"
#include "notes/ui/ProcessingWindow.h"
#include "quotes/QuoteOutcome.h"

namespace config {
struct AppContext;
}

namespace quotes {
class QuoteProcessing;
}

namespace quotes::ui {

// `WebQuoteProcess`: the processing window (ProcessingWindow) of one web quote request
// (QuoteProcessing).
class WebQuoteProcess : public notes::ui::ProcessingWindow
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "WebQuoteProcess";

    // `windowIni`: the window-settings file (empty: the size is not kept); `trace`: where the window
    // reports its entry and exit.
    WebQuoteProcess(QuoteProcessing &processing, const QString &windowIni, QWidget *parent = nullptr,
        bizlib::ProcedureTrace *trace = nullptr);

    // Processes `request` (just read again by the caller) as the console does: the window with the
    // program's own services - the quote form and lists as dialogs, EMAILDIALOG with the system
    // configuration's mail settings, the quote letter, the detached downloader - shown modally;
    // afterwards a phrase toolbox still running is closed. Returns the response.
    // `outcome` (if given): what the run made, or what failed as the window told it.
    static bizlib::forms::Response run(config::AppContext &ctx, const bizlib::Record &request, bool automatic,
        bool isRfq, QWidget *parent = nullptr, QuoteOutcome *outcome = nullptr);
};

} // namespace quotes::ui
