#include "data/WebTasks.h"

#include "bizlib/Table.h"

#include <QSqlQuery>

namespace data {

WebTasks::WebTasks(bizlib::Database &db)
    : m_db(db)
{
}

QString WebTasks::statusFor(Action action)
{
    switch (action) {
    case Action::Fail: return QStringLiteral("Failed");
    case Action::Complete: return QStringLiteral("Completed");
    case Action::Retry: return QStringLiteral("Pending");
    }
    return {};
}

bizlib::Status WebTasks::setStatus(qint32 webTaskId, Action action)
{
    // The status alone, in one statement: the web monitor writes the attempts, dates, progress and
    // comments of the same row meanwhile, and a whole-record write would put back what it read.
    const bizlib::Table tasks(m_db, QStringLiteral("WebTask"));
    const bizlib::TableDef &def = tasks.def();
    QSqlQuery q;
    const bizlib::Status st = m_db.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                                            .arg(def.sqlTable(), def.sqlColumn(def.fieldIndex(QStringLiteral("Status"))),
                                                 def.sqlColumn(def.fieldIndex(QStringLiteral("WebTaskID")))),
                                        {statusFor(action), webTaskId}, &q);
    if (!st)
        return st;
    if (q.numRowsAffected() == 0)
        return bizlib::Status::notFound(QStringLiteral("WebTask: the task has gone"));
    return st;
}

int WebTasks::percentOf(const QString &description, int previous)
{
    const qsizetype mark = description.indexOf(u'%');
    if (mark < 0)
        return previous;
    bool ok = false;
    const int value = description.left(mark).trimmed().toInt(&ok);
    return ok ? value : previous;
}

bizlib::Status WebTasks::progress(qint32 webTaskId, Progress *progress,
                                  const std::function<QString(const QString &)> &translate)
{
    bizlib::Table tasks(m_db, QStringLiteral("WebTask"));
    bizlib::Record task;
    const bizlib::Status st = tasks.fetch(QStringLiteral("WEBTASKIDKEY"), {webTaskId}, task);
    if (!st)
        return st;
    const QString status = task.text("Status").trimmed().toUpper();
    const auto tr = [&](const QString &s) { return translate ? translate(s) : s; };
    progress->status = status;
    if (status == QLatin1String("FAILED")) {
        progress->text = tr(QStringLiteral("Synchronisation failed"));
        progress->failed = true;
        return st;
    }
    if (status == QLatin1String("ACTIVE") || status == QLatin1String("PENDING") || status == QLatin1String("COMPLETED")) {
        const QString description = task.text("Description");
        progress->text = tr(description).left(80);
        progress->percent = percentOf(description, progress->percent);
        progress->failed = false;
    }
    return st;
}

bizlib::Status WebTasks::cancelPending(bizlib::Record *task)
{
    bizlib::Table tasks(m_db, QStringLiteral("WebTask"));
    bizlib::Record current;
    bizlib::Status st = tasks.fetch(QStringLiteral("WEBTASKIDKEY"), {task->toLong("WebTaskID")}, current);
    if (!st)
        return st;
    if (current.text("Status").trimmed().toUpper() != QLatin1String("PENDING"))
        return bizlib::Status::ok();
    // The web monitor may start the task between our read and our delete: the delete itself
    // checks the status again, so a task that has become "Active" is never removed.
    QSqlQuery q;
    st = m_db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND UPPER(RTRIM(%3)) = 'PENDING'")
                       .arg(tasks.def().sqlTable(), tasks.def().sqlColumn(tasks.def().fieldIndex(QStringLiteral("WebTaskID"))),
                            tasks.def().sqlColumn(tasks.def().fieldIndex(QStringLiteral("Status")))),
                   {current.toLong("WebTaskID")}, &q);
    if (!st)
        return st;
    if (q.numRowsAffected() > 0)
        task->clear();
    return bizlib::Status::ok();
}

} // namespace data
