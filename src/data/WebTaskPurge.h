#pragma once

#include "bizlib/FilterExpression.h"
#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QString>
#include <QVariantList>

namespace bizlib {
class Database;
}

namespace data {

// The logic of `WebPurge`: deletes every webtask whose status is "Completed" and whose task date is
// on or before the purge date; tasks of any other status are never touched.
//
// The run reads the `WebTask` table over its status-led key (`WTSK:STATUSPRIORITYDATEKEY`, range
// status = "Completed") with the date filter "WTSK:TaskDate < purge date + 1" on top, built when
// the run starts. It advances one batch per step() (the window calls step() from its timer while
// the run is not paused), so the window stays responsive, a pause or a cancel takes effect between
// batches, and deletions already done remain. Each batch is read from just after the last task
// read (in key order), so every task is read once and nothing is remembered but that position.
// The tasks are deleted one at a time, not in a transaction, through the database layer (with its
// time limits); each delete repeats the whole condition, so a task that another workstation or the
// web monitor has changed since it was read (set back to "Pending" by a Retry, say) is not deleted.
// A task that becomes "Completed" while the run goes on is purged only when the read has not yet
// passed its place in the key.
class WebTaskPurge
{
public:
    static constexpr int kKeepDays = 60; // the purge date starts this many days before today
    static constexpr int kEarliestDays = 3650; // the date entry's lower bound, days before today
    static constexpr int kBatch = 500;

    enum class State { Paused, Running, Finished, Failed, Cancelled };

    // `today`: a DATE day number.
    WebTaskPurge(bizlib::Database &db, qint32 today);

    qint32 today() const { return m_today; }
    qint32 earliestDate() const { return m_today - kEarliestDays; }
    qint32 purgeDate() const { return m_purgeDate; }
    // False (date unchanged) outside earliestDate() .. today(), or once the run has started: the
    // filter is built from the date in force when the read starts.
    bool setPurgeDate(qint32 day);

    State state() const { return m_state; }
    bool hasStarted() const { return m_started; }
    bool isPaused() const { return m_state == State::Paused; }
    // The pause button's text: "Start" before the run, "Pause" while it runs, "Restart" when paused.
    QString pauseButtonText() const;
    // The pause button: a paused run runs, a running one pauses. Nothing once the run has ended.
    void pressPause();
    // Cancel or Esc: the run ends before its next batch; what was deleted stays deleted.
    void cancel();

    // One batch (`batch` tasks at most) while running: read and delete. Finished when nothing is
    // left (an empty selection finishes at the first step); Failed with the database's message when
    // a read or a delete fails (the run stops; the tasks deleted before stay deleted, and only
    // they are counted). Ok and nothing done when not running.
    bizlib::Status step(int batch = kBatch);

    // The share of the qualifying tasks read so far, 0..100.
    int percent() const;
    qint64 deleted() const { return m_deleted; }
    qint64 read() const { return m_read; }

    // The message for a failed run (the business library's file-error message for `WebTask`).
    static QString failureText(const bizlib::Status &status);

private:
    bizlib::Status begin();
    // Runs the delete `sql` of one task; *gone when it deleted the row.
    bizlib::Status remove(const QString &sql, const QVariantList &params, bool *gone);

    bizlib::Database &m_db;
    qint32 m_today;
    qint32 m_purgeDate;
    qint32 m_limit = 0; // the filter's bound: the purge date plus one, fixed when the read starts
    bizlib::SqlCondition m_condition; // what a task must still meet when it is deleted
    State m_state = State::Paused;
    bool m_started = false;
    qint64 m_total = 0;
    qint64 m_read = 0;
    qint64 m_deleted = 0;
    bizlib::Record m_position; // the last task read; none before the first
};

} // namespace data
