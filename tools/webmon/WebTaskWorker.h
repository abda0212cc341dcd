#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QDateTime>
#include <QList>
#include <QRandomGenerator>

namespace bizlib {
class Database;
}

namespace webmon {

// Works through the webtask queue as the web monitor service does, one step per round, without a
// website to talk to: a "Pending" task is started ("Active", one more attempt, its start time or,
// when it ran before, its restart time); an active one moves on. A synchronisation ("Syncall")
// reports "N% complete" in its description over a few rounds until "100% complete"; a task about
// one record (a rejection, an acceptance, a contact) finishes in one step and keeps its
// description. Now and then an attempt fails: while the attempts so far are at most
// `maxAttempts` the task restarts (one more attempt, its restart time, the error in its
// comments), otherwise it ends "Failed" with the website's answer in its comments. Ending
// ("Completed" or "Failed") sets the end time.
class WebTaskWorker
{
public:
    struct Options
    {
        int maxWebtasks = 1; // tasks in hand at once ("MaxWebtasks", at least 1)
        int maxAttempts = 0; // how often a failed task is retried ("MaxAttempts")
        double failureChance = 0.1; // chance that a step of an attempt fails
    };

    // One task's step of this round: the row as read and as it is to become.
    struct Step
    {
        bizlib::Record read;
        bizlib::Record next;
        QString summary; // for the log: "#12 Client Syncall: 45% complete"
    };

    WebTaskWorker(bizlib::Database &db, Options options, QRandomGenerator &rng);

    // Reads the tasks whose status is "Pending" or "Active" (any letter case; by status, priority
    // and date) and works out each one's step at `now`: every active task moves; pending tasks
    // start while fewer than maxWebtasks stay active.
    bizlib::Status plan(const QDateTime &now, QList<Step> *steps);

    // Writes one step as one conditional UPDATE guarded by the status, attempts and description
    // that plan() read: a task that a console (Fail, Complete, Retry, a cancel) or another monitor
    // changed since then stays as they left it and *applied is false.
    bizlib::Status apply(const Step &step, bool *applied);

private:
    Step start(const bizlib::Record &task, const QDateTime &now);
    Step advance(const bizlib::Record &task, const QDateTime &now);
    QString websiteError(const bizlib::Record &task);

    bizlib::Database &m_db;
    Options m_options;
    QRandomGenerator &m_rng;
};

} // namespace webmon
