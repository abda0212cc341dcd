#pragma once

#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace bizlib {

// Gives up on a database server that does not answer. While a statement runs, its connection's
// socket is armed with a deadline; when the deadline passes, the socket is shut down, so that the
// client library's blocked wait returns at once with a lost connection. Neither the server's own
// statement timeout (a stopped server process never acts on it) nor TCP keepalives (the server's
// kernel answers them all the same) end such a wait.
class StatementWatchdog
{
public:
    static StatementWatchdog &instance();
    ~StatementWatchdog();
    StatementWatchdog(const StatementWatchdog &) = delete;
    StatementWatchdog &operator=(const StatementWatchdog &) = delete;

    // Watches socket `fd` for `milliseconds` until disarm() is called with the ticket returned.
    quint64 arm(int fd, int milliseconds);
    // Stops watching; true when the deadline had passed and the socket was shut down.
    bool disarm(quint64 ticket);
    // Lets the deadline of `ticket` pass now (nothing when it was disarmed already).
    void expire(quint64 ticket);

private:
    StatementWatchdog();
    void run();

    using Clock = std::chrono::steady_clock;
    struct Entry
    {
        int fd = -1;
        Clock::time_point deadline;
        bool fired = false;
    };
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<quint64, Entry> m_entries;
    Clock::time_point m_sleepingUntil = Clock::time_point::max();
    quint64 m_next = 0;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace bizlib
