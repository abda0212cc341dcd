#pragma once

#include "bizlib/MonotonicClock.h"
#include "bizlib/ProcedureScope.h"
#include "config/AppContext.h"
#include "console/AlertWindow.h"

#include <QWidget>
#include <memory>

class QLabel;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace bizlib::mail {
class MailSender;
}

namespace console {
class AlertStep;
class ClaimKeeper;
class Monitor;
class ProcessingProblems;
class RequestListSet;
class SoundPlayer;
class Synchronisation;
class WebmonWatch;
} // namespace console

namespace console::ui {

class GeneralPage;
class SetupSheet;
class SyncPage;
class LogsPage;
class ProcessingProblemsButton;
class SplitterMemory;

// The monitor window: header band, navigation bar, the four tabs, the status bar, and the
// one-second tick. What happens on each tick and refresh is the Monitor's, what new activity
// raises the AlertStep's.
class WebConsole : public QWidget, private AlertWindow
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "WebConsole";

    // `context` must have its database and prompter set (start-up does so before the frame opens).
    WebConsole(config::AppContext &context, const bizlib::MonotonicClock &clock, QWidget *parent = nullptr);
    ~WebConsole() override;

    Monitor &monitor() { return *m_monitor; }
    Synchronisation &synchronisation() { return *m_sync; }
    SoundPlayer &soundPlayer() { return *m_sounds; }
    AlertStep &alerts() { return *m_alerts; }
    ProcessingProblems &problems() { return *m_problems; }
    ClaimKeeper &claimKeeper() { return *m_claimKeeper; }
    WebmonWatch *webmonWatch() const { return m_webmon; } // none without a database
    SetupSheet *setupSheet() const { return m_setup; }
    SyncPage *syncPage() const { return m_syncPage; }
    QTreeWidget *navigation() const { return m_nav; }
    QTabWidget *tabs() const { return m_tabs; }
    LogsPage *logs() const { return m_logs; }
    QString headerTitle() const;
    QString countdownText() const;
    QString statusZone1() const;
    QString statusZone2() const;
    QString statusZone3() const;

    // Asks whether the window may close (the question unless the frame's close is confirmed).
    bool mayClose();
    // One tick by hand (the timer calls it every second).
    void tick();

Q_SIGNALS:
    void quitRequested(); // the user chose Quit: the whole program ends

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *buildHeader();
    // The web monitor's light on the status bar, its page in the Logs tab and its balloon.
    void addWebmonWatch(QStatusBar *status);
    QTreeWidget *buildNavigation();
    void navigate(QTreeWidgetItem *item);
    void tabChanged(int index);
    // While a synchronisation runs only the Synchronise header is offered.
    void showBusy(bool busy);
    // "Delete completed web log history": the purge, then the lists are read again.
    void runPurge();
    void showClock();
    // Claims left behind by interrupted runs were cleaned up: listed, and said on the status bar.
    void claimsCleaned(const QString &summary, const QStringList &details);

    qint32 currentQuote() const override;
    void returnToQuote(qint32 quoteId) override;
    bizlib::forms::Response processQuote(
        const bizlib::Record &request, bool isRfq, quotes::QuoteOutcome *outcome) override;
    // What the last run made, in status zone 2 until the next one.
    void showProcessed(const QString &summary);
    // The attachment downloaders that ended since the last look: failures go to the processing list.
    void collectDownloads();
    void gainFocus() override;

    bizlib::ProcedureScope m_procedure; // first: the entry comes before anything else is made
    config::AppContext &m_ctx;
    std::unique_ptr<RequestListSet> m_lists;
    std::unique_ptr<Monitor> m_monitor;
    std::unique_ptr<SoundPlayer> m_sounds;
    std::unique_ptr<Synchronisation> m_sync;
    std::unique_ptr<bizlib::mail::MailSender> m_mail;
    std::unique_ptr<AlertStep> m_alerts;
    std::unique_ptr<ProcessingProblems> m_problems;
    ClaimKeeper *m_claimKeeper = nullptr;
    WebmonWatch *m_webmon = nullptr;
    ProcessingProblemsButton *m_problemsButton = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_clock = nullptr;
    QLabel *m_countdown = nullptr;
    QLabel *m_zone1 = nullptr;
    QLabel *m_zone2 = nullptr;
    QLabel *m_zone3 = nullptr;
    QTabWidget *m_tabs = nullptr;
    GeneralPage *m_general = nullptr;
    SetupSheet *m_setup = nullptr;
    SyncPage *m_syncPage = nullptr;
    QTreeWidget *m_nav = nullptr;
    SplitterMemory *m_navSplitMemory = nullptr;
    int m_lastTab = 0;
    LogsPage *m_logs = nullptr;
    QTimer *m_timer = nullptr;
    bool m_opened = false;
    int m_ticks = 0;
};

} // namespace console::ui
