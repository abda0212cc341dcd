#pragma once

#include "bizlib/Database.h"
#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QHash>
#include <QSqlQuery>

namespace bizlib {

// Access to one table of the business database, generated from its dictionary entry.
// An object belongs to the thread that made it (as the database connections do).
class Table
{
public:
    Table(Database &db, const TableDef &def);
    Table(Database &db, const QString &tableName); // name from the dictionary; throws std::logic_error if unknown
    ~Table();
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    const TableDef &def() const { return *m_def; }
    Database &database() const { return m_db; }
    Record newRecord() const { return Record(*m_def); }

    // Reads the first row (in key order) whose key fields equal those of `record`; on success
    // `record` holds the row. NotFound leaves `record` as it was; Error says why.
    Status fetch(const QString &keyName, Record &record);
    // The same with the key's leading values given directly.
    Status fetch(const QString &keyName, const QVariantList &values, Record &record);

    // Clears `record` and gives it the next number of the table's counter in its auto-number
    // field. The counter never hands out a number already used in the table, and two
    // connections never get the same number.
    Status prime(Record &record);
    // Gives a primed number back after a failed insert (only when no later number was handed out).
    void release(const Record &record);

    // Insert fails with Duplicate when a unique key is taken, and with an error when a value
    // does not fit its field (a LONG beyond 32 bits, a decimal with too many digits).
    Status insert(const Record &record);
    // Update and delete address the row by the primary key; NotFound when it is gone.
    // Update writes only the fields that differ from the row as the record read it, so that
    // another workstation's change of the other fields stays; a fresh record (never read, or
    // given another primary key since) writes every field.
    Status update(const Record &record);
    // The same, but only while each field named in `unchanged` still holds the value the record
    // read: a stamp or status change that must not overwrite what someone else wrote meanwhile
    // (one conditional UPDATE). NotFound when the row is gone or one of those fields changed.
    // The record must have been read from this table.
    Status updateIfUnchanged(const Record &record, const QStringList &unchanged);
    Status remove(const Record &record);
    // Deletes the row and, following the dictionary's relations, the rows that belong to it
    // (cascading down), or clears their link fields; all or nothing.
    Status removeWithRelated(const Record &record);
    // The same for the rows that belong to `record` only: the row itself is left alone and need
    // not exist (a new record whose rows were written before the record itself was stored).
    Status removeRelatedRows(const Record &record);

    // Number of rows matching a condition (empty: all rows).
    Status count(qint64 *result, const QString &where = {}, const QVariantList &params = {});

    // SQL building blocks, shared with cursors and list models. fromQuery() gives a record that
    // remembers what it read; a stored value that its field cannot hold sets `status` to an error.
    QString selectList(const QString &alias = {}) const;
    Record fromQuery(const QSqlQuery &q, int firstColumn = 0, Status *status = nullptr) const;
    QString keyOrder(const KeyDef &key, const QString &alias = {}, bool reverse = false) const;
    const KeyDef &requireKey(const QString &keyName) const;

private:
    Status run(
        Database::Statement &statement, const QString &sql, const QVariantList &params, QSqlQuery **out = nullptr);
    Status write(const Record &record, const QStringList &unchanged);
    Status removeRelated(const TableDef &def, const Record &record);
    QString counterName() const { return m_def->name.toLower(); }

    Database &m_db;
    const TableDef *m_def;
    QHash<int, QString> m_fetchSql; // key index * 64 + value count -> SELECT
};

} // namespace bizlib
