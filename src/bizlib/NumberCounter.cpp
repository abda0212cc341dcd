#include "bizlib/NumberCounter.h"

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"

#include <limits>

namespace bizlib {

namespace {

QString column(const TableDef &def, const QString &field)
{
    return def.sqlColumn(def.fieldIndex(field));
}

} // namespace

NumberCounter::NumberCounter(Database &db, QString counterField, QString table, QString numberField, QString what)
    : m_db(db)
    , m_counterField(std::move(counterField))
    , m_table(std::move(table))
    , m_numberField(std::move(numberField))
    , m_what(std::move(what))
{ }

Status NumberCounter::take(qint32 *number)
{
    const TableDef &sys = Dictionary::instance().require(QStringLiteral("SYCONF"));
    const TableDef &target = Dictionary::instance().require(m_table);
    const QString last = column(sys, m_counterField);
    const QString id = column(sys, QStringLiteral("SyconfID"));
    const QString sql = QStringLiteral("UPDATE %1 SET %2 = %3 + 1 WHERE %4 = (SELECT MIN(%4) FROM %1) RETURNING %2")
                            .arg(sys.sqlTable(), last,
                                m_db.greatest(last,
                                    QStringLiteral("(SELECT COALESCE(MAX(%1), 0) FROM %2)")
                                        .arg(column(target, m_numberField), target.sqlTable())),
                                id);
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    QSqlQuery q;
    Status st = m_db.exec(sql, {}, &q);
    if (!st)
        return Status::error(QStringLiteral("No %1 could be issued: %2").arg(m_what, st.message()));
    if (!q.next())
        return Status::error(
            QStringLiteral("No %1 could be issued: the system configuration record (SYCONF) is missing.").arg(m_what));
    const qint64 taken = q.value(0).toLongLong();
    q.finish();
    if (taken <= 0 || taken > std::numeric_limits<qint32>::max())
        return Status::error(QStringLiteral("The %1 counter has run out (%2).").arg(m_what).arg(taken));
    st = tx.commit();
    if (!st)
        return st;
    *number = static_cast<qint32>(taken);
    return Status::ok();
}

Status NumberCounter::release(qint32 number)
{
    if (number <= 0)
        return Status::ok();
    const TableDef &sys = Dictionary::instance().require(QStringLiteral("SYCONF"));
    const QString last = column(sys, m_counterField);
    const QString id = column(sys, QStringLiteral("SyconfID"));
    return m_db.exec(QStringLiteral("UPDATE %1 SET %2 = %2 - 1 WHERE %2 = ? AND %3 = (SELECT MIN(%3) FROM %1)")
                         .arg(sys.sqlTable(), last, id),
        { number });
}

Status NumberCounter::last(qint32 *number)
{
    const TableDef &sys = Dictionary::instance().require(QStringLiteral("SYCONF"));
    const QString id = column(sys, QStringLiteral("SyconfID"));
    QSqlQuery q;
    const Status st = m_db.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = (SELECT MIN(%3) FROM %2)")
                                    .arg(column(sys, m_counterField), sys.sqlTable(), id),
        {}, &q);
    if (!st)
        return st;
    *number = q.next() ? q.value(0).toInt() : 0;
    return Status::ok();
}

} // namespace bizlib
