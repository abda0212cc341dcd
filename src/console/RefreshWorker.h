#pragma once

#include <QObject>
#include <QThread>
#include <functional>

namespace console {

// Runs the monitor's reads away from the window's thread: one read at a time, on a thread of its
// own that keeps its database connections from one read to the next (bizlib::Database hands each
// thread its own, and closes it when the thread ends), each read followed by its second half back on the thread of this object, from
// that thread's event loop. A read that waits on the database therefore never holds up the window;
// the database's time limits bound how long it waits.
class RefreshWorker : public QObject
{
    Q_OBJECT

public:
    explicit RefreshWorker(QObject *parent = nullptr);
    // Waits for a read under way to end (without running its second half) and ends the thread,
    // which closes its connections. A database that a read under way uses must outlive this object.
    ~RefreshWorker() override;

    // Runs `read` on the worker thread and then `done` on this object's thread. Refused (false,
    // nothing run) while an earlier read or its second half is under way.
    bool start(std::function<void()> read, std::function<void()> done);
    bool isBusy() const { return m_busy; }

private:
    QThread m_thread;
    QObject *m_context; // lives on m_thread: what runs there is posted to it
    bool m_busy = false;
};

} // namespace console
