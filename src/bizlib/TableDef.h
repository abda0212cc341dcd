#pragma once

#include "bizlib/FieldType.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace bizlib {

// A key of a table: its fields in order, each ascending unless marked descending.
struct KeyDef
{
    QString name;          // "NUMBERKEY" (stored without the prefix)
    QList<int> fields;     // indexes into TableDef::fields
    QList<bool> descending;
    bool unique = false;
};

// What "delete with related records" does with the rows of a child table that point at a parent.
enum class RelationRule { Cascade, Clear };

struct RelationDef
{
    QString childTable;
    QList<QPair<QString, QString>> links; // parent field -> child field (bare names)
    RelationRule rule = RelationRule::Cascade;
};

// The one description of a table: every other piece (SQL, record buffers, width cuts,
// filter names) is derived from it.
struct TableDef
{
    QString name;           // "WebQuotes"
    QString prefix;         // "WQTE"
    QStringList aliases;    // other prefixes naming the same table ("CLIA")
    QList<FieldDef> fields;
    QList<KeyDef> keys;
    int autoNumberField = -1; // field numbered from the table's counter, -1 when none
    int primaryKey = -1;      // index into keys: the unique key that identifies a row
    QList<RelationDef> relations;
    // Text fields that the lists test trimmed ("Status <> 'Processing'" reads RTRIM(status)):
    // each gets an index on (RTRIM(field), field), which such a count reads instead of the table.
    QList<int> trimmedIndexes;

    // Field index by bare or prefixed name ("Status", "WQTE:Status", "wqte:status"); -1 if unknown.
    int fieldIndex(const QString &name) const;
    const FieldDef *field(const QString &name) const;
    // Key by bare or prefixed name ("NUMBERKEY", "WQTE:NUMBERKEY"); nullptr if unknown.
    const KeyDef *key(const QString &name) const;
    bool hasPrefix(const QString &prefix) const;
    const KeyDef &primary() const { return keys.at(primaryKey); }

    // SQL identifiers: quoted lower-case names, the same on SQLite and PostgreSQL.
    QString sqlTable() const;
    QString sqlColumn(int field) const;

    // Filled by the builder: lower-case bare name -> index.
    QHash<QString, int> fieldLookup;
    // Filled by the builder, so that the SQL of every statement is not spelled out again: the
    // names as described -> index, the quoted column names in field order, and all of them as
    // one list.
    QHash<QString, int> describedNames;
    QStringList sqlColumns;
    QString sqlColumnList;
};

} // namespace bizlib
