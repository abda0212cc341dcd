#pragma once

#include "bizlib/TableDef.h"

#include <initializer_list>
#include <memory>
#include <vector>

namespace bizlib {

class Dictionary;

// Fluent description of one table, used by the dictionary's table lists.
//   b.table("WebQuotes", "WQTE")
//       .field("QuoteID", Type::Long()) ...
//       .key("QUOTEIDKEY", {"QuoteID"}, true)      // "-Field" for a descending component
//       .autoNumber("QuoteID")
//       .related("WebNotes", {{"QuoteID", "QuoteID"}})
//       .trimmedIndex("Status");
// The first unique key is the primary key unless primary() names another. A DECIMAL field has at
// most 15 digits: every such value is kept exactly by both engines (see DatabaseValues.cpp).
class TableBuilder
{
public:
    explicit TableBuilder(TableDef &def) : m_def(def) {}
    TableBuilder &field(const QString &name, FieldDef type);
    TableBuilder &key(const QString &name, std::initializer_list<QString> fields, bool unique = false);
    TableBuilder &primary(const QString &keyName);
    TableBuilder &autoNumber(const QString &field);
    TableBuilder &alias(const QString &prefix);
    TableBuilder &related(const QString &childTable, std::initializer_list<QPair<QString, QString>> links,
                          RelationRule rule = RelationRule::Cascade);
    TableBuilder &trimmedIndex(const QString &textField);

private:
    TableDef &m_def;
};

class DictionaryBuilder
{
public:
    TableBuilder table(const QString &name, const QString &prefix);
    std::vector<std::unique_ptr<TableDef>> &tables() { return m_tables; }

private:
    std::vector<std::unique_ptr<TableDef>> m_tables;
};

// All tables of the business database that the console reads or writes.
class Dictionary
{
public:
    // The program's dictionary, built once on first use (immutable afterwards, safe to share).
    static const Dictionary &instance();

    const TableDef *table(const QString &name) const;        // by table name, case-insensitive
    const TableDef *tableByPrefix(const QString &prefix) const; // "WQTE", "CLIA" ...
    // Throws std::logic_error for an unknown name: a programming error, never user input.
    const TableDef &require(const QString &name) const;
    const std::vector<std::unique_ptr<TableDef>> &tables() const { return m_tables; }

    // Resolves "WQTE:Status" to its table and field; false when either is unknown.
    bool resolve(const QString &qualified, const TableDef **table, int *field) const;

    // Changes whenever a table, field, key or index is added or changed: part of the schema
    // version that the database keeps.
    QByteArray fingerprint() const;

    explicit Dictionary(DictionaryBuilder &&builder);

private:
    std::vector<std::unique_ptr<TableDef>> m_tables;
    QHash<QString, const TableDef *> m_byName;
    QHash<QString, const TableDef *> m_byPrefix;
};

// Table lists, one function per group of tables (defined in dictionary/*.cpp).
void describeWebTables(DictionaryBuilder &b);
void describeBusinessTables(DictionaryBuilder &b);
void describeSystemTables(DictionaryBuilder &b);
void describeClaimTables(DictionaryBuilder &b); // the console's own claim tables

} // namespace bizlib
