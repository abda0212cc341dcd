#pragma once

#include "bizlib/ProcedureScope.h"
#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"

#include <QDialog>

class QLabel;
class QTimer;

namespace config {
struct AppContext;
}

namespace orders {
class OrderProcessing;
}

namespace orders::ui {

// `WebOrderProcess`: the small window that runs the processing of one web order (OrderProcessing).
// It claims the web order when it has opened, starts the routine from its timer once the routine
// may start, and closes itself when the routine is done. Closing it earlier (its Close button)
// releases the claim. Its size and position are kept under "WebOrderProcess".
class WebOrderProcess : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "WebOrderProcess";
    static constexpr int kTimerMsecs = 100;

    WebOrderProcess(OrderProcessing &processing, const QString &windowIni, QWidget *parent = nullptr,
        bizlib::ProcedureTrace *trace = nullptr);

    // Processes `webOrder` (just read again by the caller) as the console does: the window with
    // the program's own services - the order form as a dialog, EMAILDIALOG with the system
    // configuration's mail settings, the sign-up wizard for a pending B2C sign-up - shown modally;
    // afterwards a phrase toolbox still running is closed. Returns the response.
    static bizlib::forms::Response run(
        config::AppContext &ctx, const bizlib::Record &webOrder, bool automatic, QWidget *parent = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void opened();
    void tick();

    bizlib::ProcedureScope m_procedure; // first: the entry comes before anything else is made
    bizlib::ProcedureTrace *m_trace;
    OrderProcessing &m_processing;
    QString m_windowIni;
    QLabel *m_caption;
    QTimer *m_timer;
    bool m_opened = false;
    bool m_closing = false;
};

} // namespace orders::ui
