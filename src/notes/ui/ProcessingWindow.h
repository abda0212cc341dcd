#pragma once

#include "bizlib/ProcedureScope.h"
#include "bizlib/forms/FormRequest.h"

#include <QDialog>
#include <functional>

class QLabel;
class QTimer;

namespace notes::ui {

// The small window that runs the processing of one request (a web quote request, a web order):
// it claims the request once it is on screen, starts the routine from its timer once the routine
// may start, and closes itself when the routine is done. Closing it earlier (its Close button,
// Esc, the close box) gives the request back. Its size and position are kept in the
// window-settings file under its procedure name.
class ProcessingWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kTimerMsecs = 100;

    // What the window calls on the processing: claim (false: the window closes at once), whether
    // the routine may start yet, the routine, and the end (gives a claim still held back).
    struct Steps
    {
        std::function<bool()> open;
        std::function<bool()> mayStart;
        std::function<bizlib::forms::Response()> run;
        std::function<void()> close;
    };
    template<class Processing> static Steps stepsOf(Processing &p)
    {
        return { [&p] { return p.open(); }, [&p] { return p.mayStart(); }, [&p] { return p.run(); },
            [&p] { p.close(); } };
    }

    void done(int result) override;

protected:
    // `windowIni`: the window-settings file (empty: the size is not kept); `trace`: where the
    // window reports its entry and exit.
    ProcessingWindow(const char *procedureName, const QString &title, const QString &caption, Steps steps,
        const QString &windowIni, QWidget *parent, bizlib::ProcedureTrace *trace);

    void showEvent(QShowEvent *event) override;

private:
    void opened();
    void tick();

    bizlib::ProcedureScope m_procedure; // first: the entry comes before anything else is made
    bizlib::ProcedureTrace *m_trace;
    QString m_procedureName;
    Steps m_steps;
    QString m_windowIni;
    QLabel *m_caption;
    QTimer *m_timer;
    bool m_opened = false;
    bool m_closing = false;
};

} // namespace notes::ui
