#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>

namespace bizlib {
class Database;
}

namespace console {

// Runs the monitor's reads away from the window's thread: one read at a time, on a thread of its
// own that keeps its database connections from one read to the next (bizlib::Database hands each
// thread its own, and closes it when the thread ends), each read followed by its second half back on the thread of this
// object, from that thread's event loop. A read that waits on the database therefore never holds up the window; the
// database's time limits bound how long it waits.
class RefreshWorker : public QObject
{
    Q_OBJECT

public:
    // `reads`: the database the reads use, given up on when this object goes during a read.
    explicit RefreshWorker(bizlib::Database *reads = nullptr, QObject *parent = nullptr);
    // Ends a read under way (without running its second half): its statement waiting on the
    // database ends at once and the rest of it fails without waiting; then ends the thread,
    // which closes its connections. A database that a read under way uses must outlive this object.
    ~RefreshWorker() override;

    // Runs `read` on the worker thread and then `done` on this object's thread. Refused (false,
    // nothing run) while an earlier read or its second half is under way.
    bool start(std::function<void()> read, std::function<void()> done);
    bool isBusy() const { return m_busy; }

private:
    bizlib::Database *m_reads;
    QThread m_thread;
    QObject *m_context; // lives on m_thread: what runs there is posted to it
    std::atomic<Qt::HANDLE> m_threadId { nullptr }; // m_thread's, once a read ran on it
    bool m_busy = false;
};

} // namespace console
