#pragma once

#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

namespace testsupport {

// Stops a process (a database server's process of one connection) until it goes out of scope,
// and for 15 seconds at the most, so that a test that would wait on it for good fails instead of
// leaving the process stopped.
class StoppedProcess
{
public:
    explicit StoppedProcess(qint64 pid)
        : m_pid(static_cast<pid_t>(pid))
        , m_stopped(::kill(m_pid, SIGSTOP) == 0)
    {
        m_thread = std::thread([this] {
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, std::chrono::seconds(15), [this] { return m_done; });
            ::kill(m_pid, SIGCONT);
        });
    }
    ~StoppedProcess() { resume(); }
    StoppedProcess(const StoppedProcess &) = delete;
    StoppedProcess &operator=(const StoppedProcess &) = delete;

    bool stopped() const { return m_stopped; }
    void resume()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    pid_t m_pid;
    bool m_stopped;
    bool m_done = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
};

} // namespace testsupport
