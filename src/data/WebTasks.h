#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <functional>

namespace bizlib {
class Database;
}

namespace data {

// What the console does with webtasks once they are queued: set a status by hand, read the
// progress of a running task, and cancel a task that has not started. Each is one fetch and one
// write, because the web monitor works on the same rows at the same time. A task that is gone
// is skipped silently (NotFound is returned, never an error message).
class WebTasks
{
public:
    explicit WebTasks(bizlib::Database &db);

    // The history page's buttons: "Fail", "Complete" and "Retry".
    enum class Action { Fail, Complete, Retry };
    static QString statusFor(Action action); // "Failed", "Completed", "Pending"

    // Stores the new status word; attempts, dates and comments stay as they are. NotFound when the
    // task is gone or its status changed between the read and the write (nothing is written).
    bizlib::Status setStatus(qint32 webTaskId, Action action);

    struct Progress
    {
        QString text;    // the description (cut to 80 characters), or "Synchronisation failed"
        int percent = 0; // the number before the first "%" of the description
        bool failed = false;
        QString status;  // the task's status word, upper-cased ("PENDING", "ACTIVE" ...)
    };
    // Reads the task's progress. `percent` comes in as the last known value and stays so for a
    // failed task or a description without a number before "%". `translate` passes texts through
    // the program's translator (identity when empty).
    bizlib::Status progress(qint32 webTaskId, Progress *progress,
                            const std::function<QString(const QString &)> &translate = {});
    static int percentOf(const QString &description, int previous);

    // Deletes the task only while its status is "Pending" (any letter case) and clears *task
    // (its WebTaskID becomes 0) to tell the caller it is gone; a started task stays untouched and
    // the result is Ok with *task unchanged.
    bizlib::Status cancelPending(bizlib::Record *task);

private:
    bizlib::Database &m_db;
};

} // namespace data
