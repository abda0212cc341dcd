#include "data/WebTaskPurge.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

#include <QSqlError>
#include <QSqlQuery>

namespace data {

namespace {

const QString kPurgedStatus = QStringLiteral("Completed");

// A read of the qualifying tasks: the key's range (status "Completed") with the date filter.
bizlib::Status readPurged(bizlib::TableCursor *read, qint32 limit)
{
    read->setRange({ kPurgedStatus });
    return read->setFilter(
        QStringLiteral("WTSK:TaskDate < LOC:PurgeLimit"), { { QStringLiteral("loc:purgelimit"), limit } });
}

} // namespace

WebTaskPurge::WebTaskPurge(bizlib::Database &db, qint32 today)
    : m_db(db)
    , m_today(today)
    , m_purgeDate(today - kKeepDays)
{ }

bool WebTaskPurge::setPurgeDate(qint32 day)
{
    if (m_started || day < earliestDate() || day > m_today)
        return false;
    m_purgeDate = day;
    return true;
}

QString WebTaskPurge::pauseButtonText() const
{
    if (!m_started)
        return QStringLiteral("Start");
    return m_state == State::Running ? QStringLiteral("Pause") : QStringLiteral("Restart");
}

void WebTaskPurge::pressPause()
{
    if (m_state == State::Running) {
        m_state = State::Paused;
        return;
    }
    if (m_state != State::Paused)
        return;
    if (!m_started) {
        const bizlib::Status st = begin();
        if (!st) {
            m_state = State::Failed;
            return;
        }
    }
    m_state = State::Running;
}

void WebTaskPurge::cancel()
{
    if (m_state == State::Paused || m_state == State::Running)
        m_state = State::Cancelled;
}

int WebTaskPurge::percent() const
{
    if (m_state == State::Finished)
        return 100;
    if (m_total <= 0)
        return 0;
    return static_cast<int>(std::min<qint64>(100, m_read * 100 / m_total));
}

QString WebTaskPurge::failureText(const bizlib::Status &status)
{
    return QStringLiteral("Error (%1) attempting to access the WebTask file through Process:View. The purge has "
                          "stopped; the tasks purged so far stay deleted.")
        .arg(status.message());
}

bizlib::Status WebTaskPurge::begin()
{
    m_started = true;
    m_limit = m_purgeDate + 1;
    bizlib::Table tasks(m_db, QStringLiteral("WebTask"));
    bizlib::TableCursor read(tasks, QStringLiteral("STATUSPRIORITYDATEKEY"));
    const bizlib::Status st = readPurged(&read, m_limit);
    if (!st)
        return st;
    m_condition = read.where();
    // The total only measures progress: a count that fails leaves the bar at 0 until the end.
    tasks.count(&m_total, m_condition.sql, m_condition.params);
    return bizlib::Status::ok();
}

bizlib::Status WebTaskPurge::remove(const QString &sql, const QVariantList &params, bool *gone)
{
    // A statement of the connection kept prepared, run under the database's time limits.
    bizlib::Database::Statement statement(m_db);
    if (!statement.status())
        return statement.status();
    bizlib::Status prepareError;
    QSqlQuery *del = m_db.prepared(sql, &prepareError);
    if (!del) {
        statement.finish(true, QSqlError());
        return prepareError;
    }
    for (int i = 0; i < params.size(); ++i)
        del->bindValue(i, params.at(i));
    if (!del->exec())
        return statement.finish(false, del->lastError(), QStringLiteral("WebTask"));
    *gone = del->numRowsAffected() > 0;
    return statement.finish(true, QSqlError());
}

bizlib::Status WebTaskPurge::step(int batch)
{
    if (m_state != State::Running)
        return bizlib::Status::ok();
    bizlib::Table tasks(m_db, QStringLiteral("WebTask"));
    // The next tasks in the key's order after the last one read, read whole before the first
    // delete: no read is open while rows go.
    bizlib::TableCursor read(tasks, QStringLiteral("STATUSPRIORITYDATEKEY"));
    bizlib::Status st = readPurged(&read, m_limit);
    if (st && m_position.isValid())
        read.setStartAfter(m_position);
    QList<bizlib::Record> rows;
    if (st) {
        const bizlib::SqlCondition where = read.where();
        QSqlQuery q;
        st = m_db.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4 LIMIT %5")
                           .arg(tasks.selectList(), tasks.def().sqlTable(), where.sql, read.orderBy())
                           .arg(std::max(1, batch)),
            where.params, &q);
        while (st && q.next()) {
            rows << tasks.fromQuery(q, 0, &st);
            if (!st)
                st = bizlib::Status::error(QStringLiteral("WebTask: %1").arg(st.message()));
        }
    }
    if (st && rows.isEmpty()) {
        m_state = State::Finished;
        return st;
    }

    // One row at a time by its unique key, not in a transaction, each delete repeating the
    // condition the row was read by, so a row changed since is left alone.
    const QString id = tasks.def().sqlColumn(tasks.def().fieldIndex(QStringLiteral("WebTaskID")));
    const QString sql
        = QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND (%3)").arg(tasks.def().sqlTable(), id, m_condition.sql);
    for (qsizetype i = 0; st && i < rows.size(); ++i) {
        m_position = rows.at(i);
        ++m_read;
        bool gone = false;
        st = remove(sql, QVariantList { m_position.toLong("WebTaskID") } + m_condition.params, &gone);
        if (gone)
            ++m_deleted;
    }
    if (!st)
        m_state = State::Failed;
    return st;
}

} // namespace data
