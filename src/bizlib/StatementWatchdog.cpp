#include "bizlib/StatementWatchdog.h"

#include <sys/socket.h>

namespace bizlib {

StatementWatchdog &StatementWatchdog::instance()
{
    static StatementWatchdog watchdog;
    return watchdog;
}

StatementWatchdog::StatementWatchdog()
    : m_thread([this] { run(); })
{ }

StatementWatchdog::~StatementWatchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

quint64 StatementWatchdog::arm(int fd, int milliseconds)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    bool earlier = false;
    quint64 ticket = 0;
    {
        const std::lock_guard lock(m_mutex);
        ticket = ++m_next;
        m_entries[ticket] = Entry { fd, deadline, false };
        earlier = deadline < m_sleepingUntil;
    }
    // Waking the thread costs a switch; it is only needed when it sleeps past the new deadline.
    if (earlier)
        m_wake.notify_one();
    return ticket;
}

bool StatementWatchdog::disarm(quint64 ticket)
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(ticket);
    if (it == m_entries.end())
        return false;
    const bool fired = it->second.fired;
    m_entries.erase(it);
    return fired;
}

void StatementWatchdog::expire(quint64 ticket)
{
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_entries.find(ticket);
        if (it == m_entries.end())
            return;
        it->second.deadline = Clock::now();
    }
    m_wake.notify_one();
}

void StatementWatchdog::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        const Clock::time_point now = Clock::now();
        Clock::time_point next = Clock::time_point::max();
        for (auto &[ticket, e] : m_entries) {
            if (e.fired)
                continue;
            if (e.deadline <= now) {
                // The socket stays open (the owner closes it), so its number cannot be reused meanwhile.
                ::shutdown(e.fd, SHUT_RDWR);
                e.fired = true;
            } else {
                next = std::min(next, e.deadline);
            }
        }
        m_sleepingUntil = next;
        if (next == Clock::time_point::max())
            m_wake.wait(lock);
        else
            m_wake.wait_until(lock, next);
    }
}

} // namespace bizlib
