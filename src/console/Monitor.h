#pragma once

#include "config/AppContext.h"
#include "console/RefreshCycle.h"
#include "console/RequestLists.h"
#include "console/StallNotice.h"

#include <QObject>
#include <functional>
#include <memory>

namespace bizlib {
class NetRefresh;
}

namespace console {

class RefreshWorker;
struct TickRead;

// console/ holds the monitor and what more than one tab uses (the list base classes, list views,
// request references); each tab's code is in a folder of its own (general/, setup/, sync/, logs/),
// and no tab's folder includes another's.
//
// The monitor window's logic: its cycle of ticks, refreshes and status refreshes, the change
// notices between workstations, the protocol around processing windows, and closing.
// The window (console/ui/WebConsole) shows what this object says and forwards user actions.
class Monitor : public QObject
{
    Q_OBJECT

public:
    Monitor(config::AppContext &context, const bizlib::MonotonicClock &clock, RequestLists &lists,
            QObject *parent = nullptr);
    ~Monitor() override;

    // Opening: the console-thread field, the system record's date stamp, the list filters.
    void open();
    // First display: refresh, status refresh, then the tick runs.
    void opened();
    // The one-second tick. Does nothing while a modal window is open (config::ModalWindows);
    // once opened and unless the frame's close is confirmed, it first asks whether another
    // workstation changed data, then runs the cycle (RefreshCycle).
    void tick();

    // From now on the tick's reads (the change stamp, the lists of a timed refresh) run on a
    // worker thread with a connection of its own, and what they found is shown when they come
    // back, from the event loop; the tick itself never waits on the database. While a read is
    // under way the tick only counts down; a refresh that falls due meanwhile, or whose read
    // failed, is read with the next tick's read. A read that comes back while a modal window is
    // open, after the close was confirmed or after the lists were read again on the window's
    // thread is dropped. Needs the context's database. The reads the user starts (F5, Refresh,
    // the reload after a processing window) still run at once and wait (waitingChanged()).
    void readInBackground();
    // Whether the database answers the reads: a read that fails keeps the rows the lists show,
    // and the status bar and the tray say so until a read succeeds again (see StallNotice).
    const StallNotice &stall() const { return m_stall; }

    // The timed refresh (lists and alert step), the status refresh, and the Refresh button
    // (every list, status refresh, notice to the other workstations).
    void refresh();
    void statusRefresh();
    void refreshAndNotify();
    // F5: every list is read again, then the alert step runs (setAlertStep) at once.
    void fullRefresh();

    // Asks the change stamps whether another workstation changed data since the last reset;
    // resets the lists when one did. Returns whether it did. A notice that arrives while the
    // lists are read again is still news at the next check.
    bool checkOtherWorkstations();

    // Runs a processing or rejection window as the window's modal child: the countdown is held
    // (unless `holdCountdown` is false), the window is marked open (the tick does nothing
    // meanwhile); afterwards a status refresh and a notice to the other workstations. Returns
    // what `window` returned.
    int runProcessing(const std::function<int()> &window, bool holdCountdown = true);
    bool isProcessing() const { return m_ctx.modalWindows.anyOpen(); }

    // Asks to close unless the frame's close is confirmed. True when the window may close; a
    // running synchronisation is then cancelled (tasks the web monitor has started go on), the
    // filters are written back and the console-thread field is cleared.
    bool requestClose();
    // Event 2024: a close that does not ask.
    void closeWithoutAsking();

    RefreshCycle &cycle() { return m_cycle; }
    const RequestLists::Counts &seenCounts() const { return m_seen; }
    bool generalTabSelected() const { return m_generalTab; }
    void setGeneralTabSelected(bool selected) { m_generalTab = selected; }
    void setSynchronising(bool on) { m_synchronising = on; }
    bool isSynchronising() const { return m_synchronising; }
    qint32 lastRefreshDate() const { return m_lastRefreshDate; }

    // The alert step (new activity, automatic processing, reminders) and the synchronisation's
    // progress poll, supplied by the parts that own them. The alert step runs at the end of each
    // timed refresh that runs in full and after F5's full refresh.
    void setAlertStep(std::function<void(const RequestLists::Counts &seen)> step) { m_alertStep = std::move(step); }
    void setProgressPoll(std::function<void()> poll) { m_progressPoll = std::move(poll); }
    // Cancels a running synchronisation; closing the window runs it first.
    void setSyncCancel(std::function<void()> cancel) { m_syncCancel = std::move(cancel); }

    bool accManagerFilter() const { return m_accManager; }
    bool b2cOnlyFilter() const { return m_b2cOnly; }
    void setAccManagerFilter(bool on) { m_accManager = on; }
    void setB2cOnlyFilter(bool on) { m_b2cOnly = on; }

Q_SIGNALS:
    void countdownShown(const QString &text);
    void statusShown(const QString &text);
    void closeRequested(); // the window should close now (event 2024)
    // The database stopped answering (the text says since when and why) or answers again (empty).
    void databaseProblemShown(const QString &text);
    // A read the user started waits on the database (true) or is done (false).
    void waitingChanged(bool waiting);
    // A status refresh took the lists' counts: what is read beside the lists may be read again.
    void statusRefreshed();

private:
    // Reads lists again with the change stamp taken before (see bizlib::NetRefresh); `notify`
    // also tells the other workstations.
    void reload(const RequestLists::Read &lists, bool notify);
    // The tick's reads in the background (readInBackground()).
    void planRefresh();
    void planStatusRefresh();
    void startTickRead();
    void showTickRead(TickRead &read);
    // Records the outcome of a read asked for at `asked` for the stall notice; shows a change.
    void report(const bizlib::Status &read, const QDateTime &asked);
    QString statusText() const;

    config::AppContext &m_ctx;
    RequestLists &m_lists;
    RefreshCycle m_cycle;
    std::unique_ptr<bizlib::NetRefresh> m_net;
    RequestLists::Counts m_seen;
    std::function<void(const RequestLists::Counts &)> m_alertStep;
    std::function<void()> m_progressPoll;
    std::function<void()> m_syncCancel;
    qint32 m_lastRefreshDate = 0;
    bool m_generalTab = true;
    bool m_synchronising = false;
    bool m_accManager = false;
    bool m_b2cOnly = false;
    StallNotice m_stall;
    std::unique_ptr<RefreshWorker> m_worker;
    bool m_refreshDue = false; // background: a timed refresh waits for the next read
    bool m_statusDue = false; // background: a status refresh follows that refresh
    quint64 m_reloads = 0; // reads of the lists on the window's thread
};

} // namespace console
