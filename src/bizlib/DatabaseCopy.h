#pragma once

#include "bizlib/Database.h"

#include <QList>
#include <functional>

namespace bizlib {

class Dictionary;
struct TableDef;

// Copies a whole business database into another one that holds no data yet: the road from a
// single workstation's SQLite file to a PostgreSQL database that several workstations share.
//
// Every table of the dictionary is read from the source and written to the target through the
// table layer (so each engine gets its own column types and value forms), followed by the record
// counters and the change stamps. The target's schema is created first when it is missing.
// Everything written to the target happens in one transaction: a failure, or row counts that
// differ afterwards, leave the target as it was. A target that already holds a row in any of
// these tables is refused before anything is written.
//
// The source is read inside a transaction of its own that is rolled back at the end: an older
// source is read through the current schema without being changed, on SQLite no workstation can
// write to it while it is being copied, and on PostgreSQL it is one snapshot (REPEATABLE READ,
// read only once the schema is read), so workstations may go on writing while every table is
// copied as it was at one moment.
class DatabaseCopy
{
public:
    struct TableRows
    {
        QString table;
        qint64 rows = 0;
    };

    struct Report
    {
        QList<TableRows> tables; // every table of the dictionary, in its order
        qint64 rows = 0;         // all tables together
        qint64 counters = 0;     // record counters copied
        qint64 stamps = 0;       // change stamps copied
        bool refused = false;    // the target held data: nothing was written
    };

    DatabaseCopy(Database &source, Database &target, const Dictionary &dictionary);

    // Called after each table has been copied (not yet committed), for progress lines.
    void setProgress(std::function<void(const TableRows &)> progress) { m_progress = std::move(progress); }

    // Both databases must be open. On failure the Status says which table and why, and the
    // target holds what it held before.
    Status run(Report *report);

private:
    Status checkTargetEmpty(Report *report);
    Status copyTable(const TableDef &def, TableRows *rows);
    // The counters and the change stamps: tables of the table layer itself, outside the dictionary.
    Status copyInternal(const QString &table, const QString &key, const QString &value, qint64 *copied);
    static Status countRows(Database &db, const QString &sqlTable, qint64 *rows);

    Database &m_source;
    Database &m_target;
    const Dictionary &m_dictionary;
    std::function<void(const TableRows &)> m_progress;
};

} // namespace bizlib
