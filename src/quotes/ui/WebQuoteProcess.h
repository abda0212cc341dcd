#pragma once

#include "bizlib/ProcedureScope.h"
#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"
#include "quotes/QuoteOutcome.h"

#include <QDialog>

class QLabel;
class QTimer;

namespace config {
struct AppContext;
}

namespace quotes {
class QuoteProcessing;
}

namespace quotes::ui {

// `WebQuoteProcess`: the small window that runs the processing of one web quote request
// (QuoteProcessing). It claims the request when it has opened, starts the routine from its timer
// once the routine may start, and closes itself when the routine is done. Closing it earlier
// (its Close button) releases the claim. Its size and position are kept under "WebQuoteProcess".
class WebQuoteProcess : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "WebQuoteProcess";
    static constexpr int kTimerMsecs = 100;

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

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void opened();
    void tick();

    bizlib::ProcedureScope m_procedure; // first: the entry comes before anything else is made
    bizlib::ProcedureTrace *m_trace;
    QuoteProcessing &m_processing;
    QString m_windowIni;
    QLabel *m_caption;
    QTimer *m_timer;
    bool m_opened = false;
    bool m_closing = false;
};

} // namespace quotes::ui
