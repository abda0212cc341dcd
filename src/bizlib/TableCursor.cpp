#include "bizlib/TableCursor.h"

#include <QSqlError>

namespace bizlib {

TableCursor::TableCursor(Table &table, const QString &keyName)
    : m_table(table), m_db(&table.database()), m_dbLifetime(table.database().lifetime()), m_key(table.requireKey(keyName))
{
}

TableCursor::~TableCursor()
{
    drop();
}

void TableCursor::drop()
{
    if (m_query && !m_sql.isEmpty() && !m_dbLifetime.expired())
        m_db->giveBack(m_sql, std::move(m_query), m_epoch);
    m_query.reset();
}

FieldResolver TableCursor::resolverFor(const TableDef &def, const QString &alias)
{
    return [&def, alias](const QString &prefix, const QString &field) -> std::optional<ResolvedField> {
        if (!def.hasPrefix(prefix))
            return std::nullopt;
        const int i = def.fieldIndex(field);
        if (i < 0)
            return std::nullopt;
        return ResolvedField{(alias.isEmpty() ? QString() : alias + u'.') + def.sqlColumn(i), def.fields.at(i)};
    };
}

Status TableCursor::setFilter(const QString &expression, const FilterBindings &bindings)
{
    const FilterResult r = translateFilter(expression, resolverFor(m_table.def()), bindings, m_table.database());
    if (!r.ok)
        return Status::error(r.error);
    m_filter = r.condition;
    drop();
    return Status::ok();
}

SqlCondition TableCursor::where() const
{
    const TableDef &def = m_table.def();
    const Database &db = m_table.database();
    QStringList parts;
    QVariantList params;
    for (int i = 0; i < m_range.size() && i < m_key.fields.size(); ++i) {
        const int f = m_key.fields[i];
        parts << def.sqlColumn(f) + QStringLiteral(" = ?");
        params << db.toSql(def.fields[f], m_range[i]);
    }
    if (m_start.isValid()) {
        // Key position: (a > x) OR (a = x AND b > y) OR ... OR (a = x AND b = y ...), with ">" turned
        // round for descending components and the last comparison inclusive; after a row, the
        // primary key's fields follow (in the order's direction) and the last comparison is strict.
        QList<int> fields = m_key.fields;
        QList<bool> descending = m_key.descending;
        if (m_startAfter) {
            for (const int f : def.primary().fields) {
                if (!fields.contains(f)) {
                    fields << f;
                    descending << false;
                }
            }
        }
        QStringList alternatives;
        QVariantList altParams;
        const int n = static_cast<int>(fields.size());
        for (int i = 0; i < n; ++i) {
            QStringList conj;
            for (int j = 0; j <= i; ++j) {
                const int f = fields[j];
                QString op = QStringLiteral(" = ?");
                if (j == i) {
                    const bool down = descending[j] != m_reverse;
                    op = i == n - 1 && !m_startAfter ? (down ? QStringLiteral(" <= ?") : QStringLiteral(" >= ?"))
                                                     : (down ? QStringLiteral(" < ?") : QStringLiteral(" > ?"));
                }
                conj << def.sqlColumn(f) + op;
                altParams << db.toSql(def.fields[f], m_start.valueAt(f));
            }
            alternatives << u'(' + conj.join(QStringLiteral(" AND ")) + u')';
        }
        parts << u'(' + alternatives.join(QStringLiteral(" OR ")) + u')';
        params += altParams;
    }
    if (!m_filter.isEmpty()) {
        parts << u'(' + m_filter.sql + u')';
        params += m_filter.params;
    }
    for (const SqlCondition &c : m_extra) {
        parts << u'(' + c.sql + u')';
        params += c.params;
    }
    return {parts.join(QStringLiteral(" AND ")), params};
}

QString TableCursor::orderBy() const
{
    return m_table.keyOrder(m_key, {}, m_reverse);
}

void TableCursor::reset()
{
    drop();
}

Status TableCursor::next(Record &record)
{
    Database &db = m_table.database();
    if (m_query && m_epoch != db.connectionEpoch()) {
        // The connection broke, or was closed, and was opened again since the query ran: its rows
        // are gone.
        m_query.reset();
        return Status::error(
            QStringLiteral("%1: the connection to the database was lost while reading").arg(m_table.def().name));
    }
    if (!m_query) {
        const SqlCondition w = where();
        const QString sql = QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
                                .arg(m_table.selectList(), m_table.def().sqlTable(),
                                     w.isEmpty() ? QString() : QStringLiteral(" WHERE ") + w.sql, orderBy());
        Status st;
        if (w.params.isEmpty()) {
            m_query = std::make_shared<QSqlQuery>();
            st = db.exec(sql, {}, m_query.get());
        } else {
            st = db.query(sql, w.params, &m_query);
        }
        if (!st) {
            m_query.reset();
            return st;
        }
        m_sql = w.params.isEmpty() ? QString() : sql; // statements run directly are not kept
        m_epoch = db.connectionEpoch();
    }
    if (!m_query->next()) {
        if (m_query->lastError().isValid())
            return Status::error(Database::errorText(m_query->lastError()));
        return Status::notFound();
    }
    Status read;
    Record row = m_table.fromQuery(*m_query, 0, &read);
    if (!read)
        return Status::error(QStringLiteral("%1: %2").arg(m_table.def().name, read.message()));
    record = std::move(row);
    return Status::ok();
}

} // namespace bizlib
