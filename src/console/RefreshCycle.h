#pragma once

#include "bizlib/MonotonicClock.h"

#include <QString>
#include <functional>
#include <optional>

namespace console {

// The monitor window's one-second tick: the refresh countdown, its hold, and what each tick
// starts. Intervals are measured on a monotonic clock; what the window shows (the countdown
// in seconds) is counted in ticks.
//
// On each tick, once the window has opened:
//  1. unless held, the countdown goes down by one and is shown ("Refresh in: N secs.") before
//     anything below runs, so the header shows 0 on the tick that refreshes;
//  2. unless the frame's close is confirmed:
//     - while synchronising: the progress is polled when a second has passed since the last poll;
//     - otherwise, after the first status refresh, a countdown at 0 or below runs a refresh and
//       then a status refresh;
//     - before the first status refresh, a status refresh runs.
// A status refresh (statusRefreshed()) restarts the countdown at the interval and clears the hold.
class RefreshCycle
{
public:
    struct Hooks
    {
        std::function<void()> refresh;          // reset the lists, run the alert step
        std::function<void()> statusRefresh;    // must end by calling statusRefreshed()
        std::function<void()> pollSyncProgress; // read the synchronisation's progress
        std::function<bool()> closeConfirmed;   // the frame's close-confirmed flag
        std::function<bool()> synchronising;
        std::function<void()> showCountdown; // the countdown went down: show it in the header
    };

    RefreshCycle(const bizlib::MonotonicClock &clock, Hooks hooks);

    void setInterval(int seconds) { m_interval = seconds; }
    int interval() const { return m_interval; }
    void setOpened() { m_opened = true; }
    bool isOpened() const { return m_opened; }

    void tick();
    // Records a status refresh: the last refresh clock is now, the countdown starts again at
    // the interval, the hold is cleared, and the reminder clock starts if it has not.
    void statusRefreshed();

    int countdown() const { return m_countdown; }
    bool isHeld() const { return m_hold; }
    void setHold(bool hold) { m_hold = hold; }
    bool hasRefreshed() const { return m_lastRefresh.has_value(); }

    // When the last pending reminder or automatic processing ran (monotonic msecs).
    std::optional<qint64> lastReminder() const { return m_lastReminder; }
    void setLastReminder(qint64 msecs) { m_lastReminder = msecs; }
    qint64 now() const { return m_clock.msecs(); }

    // "Refresh in:" + " " + countdown + " " + "secs.", the two words through `translate`.
    QString countdownText(const std::function<QString(const QString &)> &translate = {}) const;

private:
    const bizlib::MonotonicClock &m_clock;
    Hooks m_hooks;
    int m_interval = 30;
    int m_countdown = 0;
    bool m_hold = false;
    bool m_opened = false;
    std::optional<qint64> m_lastRefresh;
    std::optional<qint64> m_lastReminder;
    std::optional<qint64> m_lastPoll;
};

} // namespace console
