#pragma once

#include "bizlib/FilterExpression.h"
#include "bizlib/Table.h"
#include "console/ListRow.h"

#include <QMap>

namespace console {

// The query behind one list: the list's table in the order of one of its keys, LEFT JOINed with
// the tables whose fields the list shows, narrowed by a range on the key's leading fields and by
// named filter expressions, all of which must hold.
//
// Expressions name the fields of every table of the list ("WQTE:Status", "CLI:Manager"). A
// joined table's field reads as 0 or as empty text for a row without a matching joined row, the
// same value the row's cleared record shows. Values reach the SQL only as parameters: literals
// and bound names ("GLO:UserCode") alike, so a value holding a quote cannot change the query.
// Rows are read a page at a time; counting is left to the database.
class ListQuery
{
public:
    // The list's own table is aliased "t" in join conditions.
    static constexpr const char *kOwnAlias = "t";

    // Throws std::logic_error for a table or key the dictionary does not have.
    ListQuery(bizlib::Database &db, const QString &table, const QString &keyName);
    // The same query on the same database, with the joins, filters and range it has now; what
    // the original is given afterwards does not reach the copy (a read on another thread).
    ListQuery(const ListQuery &other);
    ListQuery &operator=(const ListQuery &) = delete;

    // LEFT JOIN of `table` under `alias` on its field `field` being equal to `otherField` of the
    // table under `otherAlias` ("t" or a join listed before). Only `fields` of the joined table
    // are read into the row's record. Throws std::logic_error for unknown tables, aliases, fields.
    void join(const QString &table, const QString &alias, const QString &field, const QString &otherAlias,
        const QString &otherField, const QStringList &fields);

    // Sets the filter called `name`; an empty expression removes it. On a parse error the filter
    // keeps its previous value and the error says why.
    bizlib::Status setFilter(
        const QString &name, const QString &expression, const bizlib::FilterBindings &bindings = {});
    bool hasFilter(const QString &name) const { return m_filters.contains(name); }
    // Reads in the order of another key of the table (the range stays as it is).
    void setKey(const QString &keyName) { m_key = &m_table.requireKey(keyName); }
    const QString &keyName() const { return m_key->name; }
    // Fixes the key's leading fields to these values (empty: no range).
    void setRange(const QVariantList &leading) { m_range = leading; }
    const QVariantList &range() const { return m_range; }
    // A closed query lists nothing without asking the database (a detail list without its owner).
    void setClosed(bool closed) { m_closed = closed; }
    bool isClosed() const { return m_closed; }

    // Up to `limit` rows from position `offset` in key order.
    bizlib::Status fetch(qsizetype offset, int limit, QList<ListRow> *rows) const;
    // Rows matching range and filters, counted by the database.
    bizlib::Status count(qint64 *count) const;

    const bizlib::TableDef &def() const { return m_table.def(); }
    bizlib::Database &database() const { return m_table.database(); }
    // Prefixes of the joined tables, in join order (as ListRow::joined holds their records).
    QStringList joinedPrefixes() const;

private:
    struct Join
    {
        const bizlib::TableDef *def = nullptr;
        QString alias;
        QString on;
        QList<int> fields;
    };
    struct Filter
    {
        bizlib::SqlCondition condition;
        int joinsNeeded = 0; // the condition reads joins [0, joinsNeeded)
    };

    // The SQL column of a field of the table under `alias`.
    QString column(const QString &alias, const QString &field) const;
    bizlib::FieldResolver resolver(int *joinsNeeded) const;
    bizlib::SqlCondition where(int *joinsNeeded) const;
    QString fromClause(int joins) const;

    bizlib::Table m_table;
    const bizlib::KeyDef *m_key;
    QList<Join> m_joins;
    QMap<QString, Filter> m_filters;
    QVariantList m_range;
    bool m_closed = false;
};

} // namespace console
