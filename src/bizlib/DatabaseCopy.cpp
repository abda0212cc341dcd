#include "bizlib/DatabaseCopy.h"

#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

#include <QSqlQuery>

namespace bizlib {

namespace {

const QString kCounters = QStringLiteral("wc_counters");
const QString kStamps = QStringLiteral("wc_netrefresh");

QString quoted(const QString &name)
{
    return u'"' + name + u'"';
}

} // namespace

DatabaseCopy::DatabaseCopy(Database &source, Database &target, const Dictionary &dictionary)
    : m_source(source), m_target(target), m_dictionary(dictionary)
{
}

Status DatabaseCopy::countRows(Database &db, const QString &sqlTable, qint64 *rows)
{
    QSqlQuery q;
    const Status st = db.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(sqlTable), {}, &q);
    if (!st)
        return st;
    if (!q.next())
        return Status::error(QStringLiteral("%1: no row count").arg(sqlTable));
    *rows = q.value(0).toLongLong();
    return Status::ok();
}

Status DatabaseCopy::run(Report *report)
{
    *report = Report();
    const DatabaseConfig &from = m_source.config();
    const DatabaseConfig &to = m_target.config();
    if (from.isPostgres() == to.isPostgres()
        && (from.isPostgres() ? from.host == to.host && from.port == to.port && from.name == to.name && from.schema == to.schema
                              : from.file == to.file))
        return Status::error(QStringLiteral("The source and the target are the same database."));

    // Nothing is ever committed on the source side. A server's source is read as one snapshot,
    // so that every table shows the same moment while workstations go on writing; it is read
    // only once its schema has been read (an older one is brought up to date in the snapshot and
    // rolled back with it).
    Transaction read(m_source);
    Status reading = read.status();
    if (reading && from.isPostgres())
        reading = m_source.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
    if (reading)
        reading = m_source.ensureSchema(m_dictionary);
    if (reading && from.isPostgres())
        reading = m_source.exec(QStringLiteral("SET TRANSACTION READ ONLY"));
    if (!reading)
        return Status::error(QStringLiteral("Cannot read the %1: %2").arg(from.describe(), reading.message()));

    Transaction write(m_target);
    if (!write.status())
        return write.status();
    if (Status st = m_target.ensureSchema(m_dictionary); !st)
        return Status::error(QStringLiteral("Cannot create the tables in the %1: %2").arg(to.describe(), st.message()));
    if (Status st = checkTargetEmpty(report); !st || report->refused)
        return st;

    for (const auto &def : m_dictionary.tables()) {
        TableRows rows{def->name, 0};
        if (Status st = copyTable(*def, &rows); !st)
            return st;
        report->tables.append(rows);
        report->rows += rows.rows;
        if (m_progress)
            m_progress(rows);
    }
    if (Status st = copyInternal(kCounters, QStringLiteral("name"), QStringLiteral("value"), &report->counters); !st)
        return st;
    if (Status st = copyInternal(kStamps, QStringLiteral("channel"), QStringLiteral("stamp"), &report->stamps); !st)
        return st;
    if (Status st = write.commit(); !st)
        return Status::error(QStringLiteral("The copy could not be committed: %1").arg(st.message()));
    return Status::ok();
}

Status DatabaseCopy::checkTargetEmpty(Report *report)
{
    QStringList tables;
    for (const auto &def : m_dictionary.tables())
        tables << def->sqlTable();
    tables << quoted(kCounters) << quoted(kStamps);
    for (const QString &table : std::as_const(tables)) {
        qint64 rows = 0;
        if (Status st = countRows(m_target, table, &rows); !st)
            return st;
        if (rows > 0) {
            report->refused = true;
            return Status::error(QStringLiteral("The %1 already holds data (%2 rows in %3). Copy only into an empty "
                                                "database: nothing was written.")
                                     .arg(m_target.config().describe())
                                     .arg(rows)
                                     .arg(table));
        }
    }
    return Status::ok();
}

Status DatabaseCopy::copyTable(const TableDef &def, TableRows *rows)
{
    Table source(m_source, def);
    Table target(m_target, def);
    TableCursor cursor(source, def.primary().name);
    Record record;
    Status st;
    while ((st = cursor.next(record))) {
        if (Status written = target.insert(record); !written)
            return Status::error(QStringLiteral("Copying table %1 failed at row %2: %3")
                                     .arg(def.name)
                                     .arg(rows->rows + 1)
                                     .arg(written.message()));
        ++rows->rows;
    }
    if (!st.isNotFound())
        return Status::error(QStringLiteral("Reading table %1 failed: %2").arg(def.name, st.message()));

    // Both sides counted by the databases themselves, not by this loop.
    qint64 inSource = 0;
    qint64 inTarget = 0;
    if (st = countRows(m_source, def.sqlTable(), &inSource); st)
        st = countRows(m_target, def.sqlTable(), &inTarget);
    if (!st)
        return Status::error(QStringLiteral("Counting the rows of table %1 failed: %2").arg(def.name, st.message()));
    if (inSource != rows->rows || inTarget != rows->rows)
        return Status::error(QStringLiteral("Table %1: %2 rows in the source, %3 copied, %4 in the target.")
                                 .arg(def.name)
                                 .arg(inSource)
                                 .arg(rows->rows)
                                 .arg(inTarget));
    return Status::ok();
}

Status DatabaseCopy::copyInternal(const QString &table, const QString &key, const QString &value, qint64 *copied)
{
    QSqlQuery q;
    Status st = m_source.exec(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1").arg(quoted(key), quoted(value), quoted(table)),
                              {}, &q);
    const QString insert = QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)").arg(quoted(table), quoted(key), quoted(value));
    while (st && q.next()) {
        st = m_target.exec(insert, {q.value(0).toString(), q.value(1).toLongLong()});
        if (st)
            ++*copied;
    }
    qint64 inSource = 0;
    qint64 inTarget = 0;
    if (st)
        st = countRows(m_source, quoted(table), &inSource);
    if (st)
        st = countRows(m_target, quoted(table), &inTarget);
    if (!st)
        return Status::error(QStringLiteral("Copying %1 failed: %2").arg(table, st.message()));
    if (inSource != *copied || inTarget != *copied)
        return Status::error(QStringLiteral("%1: %2 rows in the source, %3 copied, %4 in the target.")
                                 .arg(table)
                                 .arg(inSource)
                                 .arg(*copied)
                                 .arg(inTarget));
    return Status::ok();
}

} // namespace bizlib
