#include "data/WebTaskPurge.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

#include <QSqlError>
#include <QSqlQuery>

namespace data {

namespace {

const QString kPurgedStatus = QStringLiteral("Completed");

// "?, ?, ?" for `n` parameters.
QString placeholders(qsizetype n)
{
    QStringList marks;
    marks.fill(QStringLiteral("?"), n);
    return marks.join(QStringLiteral(", "));
}

// The read's condition: the key's range (status "Completed"), the date filter, and the tasks
// passed over so far.
bizlib::Status purgeCondition(bizlib::Table &tasks, qint32 limit, const QList<qint32> &passedOver,
    bizlib::SqlCondition *where, QString *order)
{
    bizlib::TableCursor read(tasks, QStringLiteral("STATUSPRIORITYDATEKEY"));
    read.setRange({ kPurgedStatus });
    const bizlib::Status st
        = read.setFilter(QStringLiteral("WTSK:TaskDate < LOC:PurgeLimit"), { { QStringLiteral("loc:purgelimit"), limit } });
    if (!st)
        return st;
    if (!passedOver.isEmpty()) {
        const QString id = tasks.def().sqlColumn(tasks.def().fieldIndex(QStringLiteral("WebTaskID")));
        QVariantList ids;
        for (const qint32 i : passedOver)
            ids << i;
        read.addCondition({ QStringLiteral("%1 NOT IN (%2)").arg(id, placeholders(ids.size())), ids });
    }
    *where = read.where();
    *order = read.orderBy();
    return bizlib::Status::ok();
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
    bizlib::SqlCondition where;
    QString order;
    bizlib::Status st = purgeCondition(tasks, m_limit, m_passedOver, &where, &order);
    if (!st)
        return st;
    // The total only measures progress: a count that fails leaves the bar at 0 until the end.
    tasks.count(&m_total, where.sql, where.params);
    return bizlib::Status::ok();
}

bizlib::Status WebTaskPurge::remove(
    const QVariantList &ids, const QString &table, const QString &idColumn, const bizlib::SqlCondition &where)
{
    // One row at a time by its unique key, each delete repeating the condition the row was read
    // by, so a row changed since is left alone; a whole batch in one condition would have the
    // database walk the status key for every batch. One transaction per batch keeps the disk
    // writes few; the rows deleted before a failure are committed all the same.
    bizlib::Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    QSqlQuery del(m_db.connection());
    bizlib::Status st;
    if (!del.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND (%3)").arg(table, idColumn, where.sql)))
        st = bizlib::Status::error(bizlib::Database::errorText(del.lastError()));
    for (qsizetype i = 0; st && i < ids.size(); ++i) {
        del.addBindValue(ids.at(i));
        for (const QVariant &p : where.params)
            del.addBindValue(p);
        if (!del.exec()) {
            st = bizlib::Status::error(bizlib::Database::errorText(del.lastError()));
            break;
        }
        ++m_read;
        if (del.numRowsAffected() > 0)
            ++m_deleted;
        else
            m_passedOver << ids.at(i).toInt(); // changed since it was read: not read again
    }
    const bizlib::Status committed = tx.commit();
    return st ? committed : st;
}

bizlib::Status WebTaskPurge::step(int batch)
{
    if (m_state != State::Running)
        return bizlib::Status::ok();
    bizlib::Table tasks(m_db, QStringLiteral("WebTask"));
    const QString table = tasks.def().sqlTable();
    const QString idColumn = tasks.def().sqlColumn(tasks.def().fieldIndex(QStringLiteral("WebTaskID")));
    bizlib::SqlCondition where;
    QString order;
    bizlib::Status st = purgeCondition(tasks, m_limit, m_passedOver, &where, &order);

    QVariantList ids;
    if (st) {
        QSqlQuery q;
        st = m_db.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4 LIMIT %5")
                           .arg(idColumn, table, where.sql, order)
                           .arg(std::max(1, batch)),
            where.params, &q);
        while (st && q.next())
            ids << q.value(0).toInt();
    }
    if (st && ids.isEmpty()) {
        m_state = State::Finished;
        return st;
    }
    if (st)
        st = remove(ids, table, idColumn, where);
    if (!st)
        m_state = State::Failed;
    return st;
}

} // namespace data
