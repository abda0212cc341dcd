#pragma once

#include "bizlib/ProcedureScope.h"
#include "data/WebTaskPurge.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace bizlib {
class Prompter;
}
namespace bizlib::forms {
class RecordForms;
}

namespace data::ui {

// `WebPurge`: the progress window that deletes completed webtasks up to a chosen date
// (WebTaskPurge). It opens paused; "Start" runs it, "Pause" halts it and "Restart" goes on where it
// stopped; "Cancel" or Esc ends it between batches. It closes by itself when the read is complete.
// The calendar button opens the library's date picker (SELECTDATE). Its size and position are kept
// under "WebPurge".
class WebPurge : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "WebPurge";

    struct Services
    {
        bizlib::Database *db = nullptr;
        bizlib::Prompter *prompter = nullptr; // the failure message
        bizlib::forms::RecordForms *forms = nullptr; // the calendar (none: the library's dialog)
        QString windowIni; // empty: sizes are not kept
        bizlib::ProcedureTrace *trace = nullptr; // where the window reports its entry and exit
        qint32 today = 0; // DATE; 0: today
    };

    explicit WebPurge(const Services &services, QWidget *parent = nullptr);
    ~WebPurge() override;

    // Opens the window modally and waits for it; true when the run went to its end.
    static bool run(const Services &services, QWidget *parent = nullptr);

    WebTaskPurge &purge() { return m_purge; }
    QDateEdit *dateEdit() const { return m_date; }
    QPushButton *pauseButton() const { return m_pause; }
    QPushButton *cancelButton() const { return m_cancel; }
    QProgressBar *progress() const { return m_progress; }

    // The buttons, as pressing them does.
    void pressPause();
    void pickDate();
    void reject() override;
    // One timer event of a running purge (the timer calls it).
    void runStep();

private:
    void showState();
    void keepGeometry();

    bizlib::ProcedureScope m_procedure; // first: the entry comes before anything else is made
    Services m_services;
    WebTaskPurge m_purge;
    QDateEdit *m_date;
    QPushButton *m_calendar;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    QPushButton *m_pause;
    QTimer *m_timer;
    bool m_geometrySaved = false;
};

} // namespace data::ui
