#pragma once

#include "bizlib/FilterExpression.h"
#include "bizlib/Table.h"

namespace bizlib {

// Reads a table in the order of one of its keys: Clarion's SET/NEXT.
// A range fixes the key's leading fields to values; a start record begins the read at the
// first row whose key is not before it; a filter expression and extra conditions narrow the
// rows further. reset() runs the query again so that rows changed by other workstations show.
class TableCursor
{
public:
    TableCursor(Table &table, const QString &keyName);
    ~TableCursor();
    TableCursor(const TableCursor &) = delete;
    TableCursor &operator=(const TableCursor &) = delete;
    TableCursor(TableCursor &&) = default;

    void setRange(const QVariantList &leadingValues) { m_range = leadingValues; }
    // Start at the key position of `record` (its key fields; all of them).
    void setStart(const Record &record)
    {
        m_start = record;
        m_startAfter = false;
    }
    // Start just after the row `record` in the cursor's order: its key fields and then its primary
    // key, which breaks the key's ties. Walks a key in steps without reading a row twice and
    // without remembering the rows passed.
    void setStartAfter(const Record &record)
    {
        m_start = record;
        m_startAfter = true;
    }
    void setReverse(bool reverse) { m_reverse = reverse; }
    // Parses and translates `expression`; on a parse error the cursor keeps its previous filter.
    Status setFilter(const QString &expression, const FilterBindings &bindings = {});
    void addCondition(const SqlCondition &condition) { m_extra.append(condition); }

    // Next row, or NotFound at the end. The query runs on the first call after a change.
    Status next(Record &record);
    void reset();

    // The WHERE part (without "WHERE") with its parameters, for counts and list models.
    SqlCondition where() const;
    QString orderBy() const;

    // This table's own fields, for filter expressions (prefix and aliases).
    static FieldResolver resolverFor(const TableDef &def, const QString &alias = {});

private:
    Table &m_table;
    Database *m_db;
    std::weak_ptr<void> m_dbLifetime; // a model may hold its cursor past the database
    const KeyDef &m_key;
    QVariantList m_range;
    Record m_start;
    bool m_startAfter = false;
    bool m_reverse = false;
    SqlCondition m_filter;
    QList<SqlCondition> m_extra;
    // Gives the running query's statement back to the database for the next reader.
    void drop();

    std::shared_ptr<QSqlQuery> m_query;
    QString m_sql; // of m_query when it is a kept statement
    quint64 m_epoch = 0; // of the connection m_query belongs to
};

} // namespace bizlib
