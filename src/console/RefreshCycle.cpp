#include "console/RefreshCycle.h"

namespace console {

RefreshCycle::RefreshCycle(const bizlib::MonotonicClock &clock, Hooks hooks)
    : m_clock(clock), m_hooks(std::move(hooks))
{
}

void RefreshCycle::tick()
{
    if (!m_opened)
        return;
    if (!m_hold) {
        --m_countdown;
        if (m_hooks.showCountdown)
            m_hooks.showCountdown();
    }
    if (m_hooks.closeConfirmed && m_hooks.closeConfirmed())
        return;
    if (m_hooks.synchronising && m_hooks.synchronising()) {
        const qint64 now = m_clock.msecs();
        if (!m_lastPoll || now - *m_lastPoll >= 1000) {
            if (m_hooks.pollSyncProgress)
                m_hooks.pollSyncProgress();
            m_lastPoll = now;
        }
        return;
    }
    if (m_lastRefresh && m_countdown <= 0) {
        if (m_hooks.refresh)
            m_hooks.refresh();
        if (m_hooks.statusRefresh)
            m_hooks.statusRefresh();
    } else if (!m_lastRefresh) {
        if (m_hooks.statusRefresh)
            m_hooks.statusRefresh();
    }
}

void RefreshCycle::statusRefreshed()
{
    const qint64 now = m_clock.msecs();
    m_lastRefresh = now;
    m_countdown = m_interval;
    m_hold = false;
    if (!m_lastReminder)
        m_lastReminder = now;
}

QString RefreshCycle::countdownText(const std::function<QString(const QString &)> &translate) const
{
    const auto tr = [&](const QString &s) { return translate ? translate(s) : s; };
    return tr(QStringLiteral("Refresh in:")) + u' ' + QString::number(m_countdown) + u' ' + tr(QStringLiteral("secs."));
}

} // namespace console
