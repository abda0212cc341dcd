#include "WebTaskWorker.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "data/WebTasks.h"

#include <algorithm>

namespace webmon {

namespace {

const QString kTable = QStringLiteral("WebTask");

QString upper(const bizlib::Record &task, const char *field)
{
    return task.text(QString::fromLatin1(field)).trimmed().toUpper();
}

bool isSync(const bizlib::Record &task)
{
    return upper(task, "TaskRequest") == QLatin1String("SYNCALL");
}

void stamp(bizlib::Record &task, const char *date, const char *time, const QDateTime &when)
{
    task.setLong(QString::fromLatin1(date), bizlib::DateTime::fromDate(when.date()));
    task.setLong(QString::fromLatin1(time), bizlib::DateTime::fromTime(when.time()));
}

QString percentText(int percent)
{
    return QStringLiteral("%1% complete").arg(percent);
}

} // namespace

WebTaskWorker::WebTaskWorker(bizlib::Database &db, Options options, QRandomGenerator &rng)
    : m_db(db)
    , m_options(options)
    , m_rng(rng)
{
    m_options.maxWebtasks = std::max(1, m_options.maxWebtasks);
}

bizlib::Status WebTaskWorker::plan(const QDateTime &now, QList<Step> *steps)
{
    steps->clear();
    bizlib::Table tasks(m_db, kTable);
    bizlib::TableCursor cursor(tasks, QStringLiteral("STATUSPRIORITYDATEKEY"));
    bizlib::Status st = cursor.setFilter(
        QStringLiteral("UPPER(CLIP(WTSK:Status)) = 'PENDING' OR UPPER(CLIP(WTSK:Status)) = 'ACTIVE'"));
    if (!st)
        return st;
    QList<bizlib::Record> pending;
    int stillActive = 0;
    bizlib::Record task;
    while ((st = cursor.next(task))) {
        if (upper(task, "Status") == QLatin1String("PENDING")) {
            pending << task;
            continue;
        }
        Step step = advance(task, now);
        if (upper(step.next, "Status") == QLatin1String("ACTIVE"))
            ++stillActive;
        steps->append(step);
    }
    if (!st.isNotFound())
        return st;
    for (const bizlib::Record &waiting : std::as_const(pending)) {
        if (stillActive >= m_options.maxWebtasks)
            break;
        steps->append(start(waiting, now));
        ++stillActive;
    }
    return bizlib::Status::ok();
}

bizlib::Status WebTaskWorker::apply(const Step &step, bool *applied)
{
    // Only the fields this step changes, and only while a console has not changed the task since
    // it was read: a task a console failed, retried or deleted meanwhile stays as the console left it.
    bizlib::Table tasks(m_db, kTable);
    const bizlib::Status st = tasks.updateIfUnchanged(
        step.next, { QStringLiteral("Status"), QStringLiteral("Attempts"), QStringLiteral("Description") });
    *applied = st.isOk();
    return st.isNotFound() ? bizlib::Status::ok() : st;
}

WebTaskWorker::Step WebTaskWorker::start(const bizlib::Record &task, const QDateTime &now)
{
    Step step { task, task, {} };
    bizlib::Record &next = step.next;
    next.setText("Status", QStringLiteral("Active"));
    next.setLong("Attempts", task.toLong("Attempts") + 1);
    // A task put back by "Retry" ran before: it restarts rather than starts.
    if (task.toLong("StartDate") == 0)
        stamp(next, "StartDate", "StartTime", now);
    else
        stamp(next, "RestartDate", "RestartTime", now);
    if (isSync(task))
        next.setText("Description", percentText(0));
    step.summary = QStringLiteral("started (attempt %1)").arg(next.toLong("Attempts"));
    return step;
}

WebTaskWorker::Step WebTaskWorker::advance(const bizlib::Record &task, const QDateTime &now)
{
    Step step { task, task, {} };
    bizlib::Record &next = step.next;
    const qint32 attempts = task.toLong("Attempts");
    if (m_rng.generateDouble() < m_options.failureChance) {
        const QString error = websiteError(task);
        if (attempts <= m_options.maxAttempts) {
            next.setLong("Attempts", attempts + 1);
            stamp(next, "RestartDate", "RestartTime", now);
            next.setText("Comments", QStringLiteral("Attempt %1: %2 Restarted.").arg(attempts).arg(error));
            step.summary = QStringLiteral("attempt %1 failed, restarted").arg(attempts);
        } else {
            next.setText("Status", QStringLiteral("Failed"));
            stamp(next, "EndDate", "EndTime", now);
            next.setText("Comments", error);
            step.summary = QStringLiteral("failed after %1 attempts").arg(attempts);
        }
        return step;
    }
    if (isSync(task)) {
        // Everything at once takes longest.
        const bool all = upper(task, "TaskType") == QLatin1String("ALL");
        const int percent = std::min(100,
            data::WebTasks::percentOf(task.text("Description"), 0)
                + (all ? 5 + int(m_rng.bounded(11)) : 15 + int(m_rng.bounded(26))));
        next.setText("Description", percentText(percent));
        step.summary = percentText(percent);
        if (percent < 100)
            return step;
    }
    next.setText("Status", QStringLiteral("Completed"));
    stamp(next, "EndDate", "EndTime", now);
    step.summary = QStringLiteral("completed");
    return step;
}

QString WebTaskWorker::websiteError(const bizlib::Record &task)
{
    switch (m_rng.bounded(4)) {
    case 0:
        return QStringLiteral("<html><head><title>502 Bad Gateway</title></head><body><h1>Bad Gateway</h1><p>The proxy "
                              "server received an invalid response from an upstream server.</p></body></html>");
    case 1:
        return QStringLiteral("The website did not answer within 30 seconds.");
    case 2:
        if (task.toLong("TaskID") > 0 && !isSync(task))
            return QStringLiteral("%1 %2 was not found on the website (HTTP 404).")
                .arg(task.text("TaskType").trimmed())
                .arg(task.toLong("TaskID"));
        return QStringLiteral("HTTP 401 Unauthorized: the website refused the API token.");
    default:
        return QStringLiteral("Connection reset by peer.");
    }
}

} // namespace webmon
