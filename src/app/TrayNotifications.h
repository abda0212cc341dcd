#pragma once

#include "bizlib/MonotonicClock.h"

#include <QString>
#include <functional>
#include <optional>

namespace app {

// A tray balloon: title, text, whether the system sound is suppressed, display time.
struct Balloon
{
    QString title;
    QString text;
    bool silent = true;
    int msecs = 1500;
    bool warning = false; // shown with the warning icon
};

// The balloon for one of the monitor's new-activity events (1524 to 1527, 1624, 1625) or for
// the web monitor's stall (1725, a warning that stays up longer); nullopt for any other event. The title is "Web console:" and the website address; both texts pass
// through `translate`.
std::optional<Balloon> balloonFor(int event, const QString &webUrl,
                                  const std::function<QString(const QString &)> &translate = {});

// The tray icon's text: "Web console: " + company name + the lower-cased GlobalData path, and
// below it `problem` when there is one (the database not answering).
QString trayToolTip(const QString &companyName, const QString &globalData, const QString &problem = {});

// When to try adding the tray icon again: after a failed attempt, once 5 seconds have passed
// on the monotonic clock.
class TrayRetry
{
public:
    explicit TrayRetry(const bizlib::MonotonicClock &clock) : m_clock(clock) {}
    // Records the outcome of an add or change of the icon.
    void attempted(bool iconShown);
    // True when an attempt failed and its retry is due now.
    bool due() const;
    bool pending() const { return m_failedAt.has_value(); }

private:
    const bizlib::MonotonicClock &m_clock;
    std::optional<qint64> m_failedAt;
};

} // namespace app
