#include "console/ListQuery.h"

#include "bizlib/Dictionary.h"

#include <QSqlQuery>
#include <stdexcept>

namespace console {

ListQuery::ListQuery(bizlib::Database &db, const QString &table, const QString &keyName)
    : m_table(db, table)
    , m_key(&m_table.requireKey(keyName))
{ }

ListQuery::ListQuery(const ListQuery &other)
    : m_table(other.m_table.database(), other.m_table.def())
    , m_key(other.m_key)
    , m_joins(other.m_joins)
    , m_filters(other.m_filters)
    , m_range(other.m_range)
    , m_closed(other.m_closed)
{ }

void ListQuery::join(const QString &table, const QString &alias, const QString &field, const QString &otherAlias,
    const QString &otherField, const QStringList &fields)
{
    Join j;
    j.def = &bizlib::Dictionary::instance().require(table);
    j.alias = alias;
    const int own = j.def->fieldIndex(field);
    if (own < 0)
        throw std::logic_error(QStringLiteral("no field %1 in %2").arg(field, table).toStdString());
    j.on = alias + u'.' + j.def->sqlColumn(own) + QStringLiteral(" = ") + column(otherAlias, otherField);
    for (const QString &f : fields) {
        const int i = j.def->fieldIndex(f);
        if (i < 0)
            throw std::logic_error(QStringLiteral("no field %1 in %2").arg(f, table).toStdString());
        j.fields << i;
    }
    m_joins << j;
}

QString ListQuery::column(const QString &alias, const QString &field) const
{
    const bizlib::TableDef *def = nullptr;
    if (alias == QLatin1String(kOwnAlias))
        def = &m_table.def();
    for (const Join &j : m_joins)
        if (j.alias == alias)
            def = j.def;
    const int i = def ? def->fieldIndex(field) : -1;
    if (i < 0)
        throw std::logic_error(QStringLiteral("no field %1 under alias %2").arg(field, alias).toStdString());
    return alias + u'.' + def->sqlColumn(i);
}

QStringList ListQuery::joinedPrefixes() const
{
    QStringList prefixes;
    for (const Join &j : m_joins)
        prefixes << j.def->prefix;
    return prefixes;
}

bizlib::FieldResolver ListQuery::resolver(int *joinsNeeded) const
{
    return [this, joinsNeeded](const QString &prefix, const QString &field) -> std::optional<bizlib::ResolvedField> {
        const bizlib::TableDef &own = m_table.def();
        if (own.hasPrefix(prefix)) {
            const int i = own.fieldIndex(field);
            if (i < 0)
                return std::nullopt;
            return bizlib::ResolvedField { QLatin1String(kOwnAlias) + u'.' + own.sqlColumn(i), own.fields.at(i) };
        }
        for (int n = 0; n < m_joins.size(); ++n) {
            const Join &j = m_joins.at(n);
            if (!j.def->hasPrefix(prefix))
                continue;
            const int i = j.def->fieldIndex(field);
            if (i < 0)
                return std::nullopt;
            *joinsNeeded = std::max(*joinsNeeded, n + 1);
            // A row without a joined row reads the value a cleared record holds.
            const bizlib::FieldDef &f = j.def->fields.at(i);
            const QString fallback = f.isText() ? QStringLiteral("''") : QStringLiteral("0");
            return bizlib::ResolvedField {
                QStringLiteral("COALESCE(%1.%2, %3)").arg(j.alias, j.def->sqlColumn(i), fallback), f
            };
        }
        return std::nullopt;
    };
}

bizlib::Status ListQuery::setFilter(
    const QString &name, const QString &expression, const bizlib::FilterBindings &bindings)
{
    if (expression.trimmed().isEmpty()) {
        m_filters.remove(name);
        return bizlib::Status::ok();
    }
    int joins = 0;
    const bizlib::FilterResult r = bizlib::translateFilter(expression, resolver(&joins), bindings, m_table.database());
    if (!r.ok)
        return bizlib::Status::error(r.error);
    m_filters.insert(name, Filter { r.condition, joins });
    return bizlib::Status::ok();
}

bizlib::SqlCondition ListQuery::where(int *joinsNeeded) const
{
    const bizlib::TableDef &def = m_table.def();
    const bizlib::Database &db = m_table.database();
    QStringList parts;
    QVariantList params;
    for (int i = 0; i < m_range.size() && i < m_key->fields.size(); ++i) {
        const int f = m_key->fields.at(i);
        parts << QLatin1String(kOwnAlias) + u'.' + def.sqlColumn(f) + QStringLiteral(" = ?");
        params << db.toSql(def.fields.at(f), m_range.at(i));
    }
    for (const Filter &f : m_filters) {
        parts << u'(' + f.condition.sql + u')';
        params += f.condition.params;
        *joinsNeeded = std::max(*joinsNeeded, f.joinsNeeded);
    }
    return { parts.join(QStringLiteral(" AND ")), params };
}

QString ListQuery::fromClause(int joins) const
{
    QString sql = m_table.def().sqlTable() + u' ' + QLatin1String(kOwnAlias);
    for (int n = 0; n < joins && n < m_joins.size(); ++n) {
        const Join &j = m_joins.at(n);
        sql += QStringLiteral(" LEFT JOIN %1 %2 ON %3").arg(j.def->sqlTable(), j.alias, j.on);
    }
    return sql;
}

bizlib::Status ListQuery::fetch(qsizetype offset, int limit, QList<ListRow> *rows) const
{
    if (m_closed)
        return bizlib::Status::ok();
    int joins = 0;
    const bizlib::SqlCondition w = where(&joins);
    QStringList select { m_table.selectList(QLatin1String(kOwnAlias)) };
    for (const Join &j : m_joins)
        for (const int f : j.fields)
            select << j.alias + u'.' + j.def->sqlColumn(f);
    const QString sql = QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT %5 OFFSET %6")
                            .arg(select.join(QStringLiteral(", ")), fromClause(static_cast<int>(m_joins.size())),
                                w.isEmpty() ? QString() : QStringLiteral(" WHERE ") + w.sql,
                                m_table.keyOrder(*m_key, QLatin1String(kOwnAlias)))
                            .arg(limit)
                            .arg(offset);
    QSqlQuery q;
    bizlib::Database &db = m_table.database();
    if (const bizlib::Status st = db.exec(sql, w.params, &q); !st)
        return st;
    const int ownColumns = static_cast<int>(m_table.def().fields.size());
    bizlib::Status read;
    while (read && q.next()) {
        ListRow row;
        row.record = m_table.fromQuery(q, 0, &read);
        int column = ownColumns;
        for (const Join &j : m_joins) {
            bizlib::Record r(*j.def);
            for (const int f : j.fields)
                r.assignLoaded(f, db.fromSql(j.def->fields.at(f), q.value(column++), &read));
            row.joined << r;
        }
        rows->append(row);
    }
    if (!read)
        return bizlib::Status::error(QStringLiteral("%1: %2").arg(m_table.def().name, read.message()));
    return bizlib::Status::ok();
}

bizlib::Status ListQuery::count(qint64 *count) const
{
    *count = 0;
    if (m_closed)
        return bizlib::Status::ok();
    int joins = 0;
    const bizlib::SqlCondition w = where(&joins);
    QSqlQuery q;
    const bizlib::Status st = m_table.database().exec(
        QStringLiteral("SELECT COUNT(*) FROM %1%2")
            .arg(fromClause(joins), w.isEmpty() ? QString() : QStringLiteral(" WHERE ") + w.sql),
        w.params, &q);
    if (!st)
        return st;
    *count = q.next() ? q.value(0).toLongLong() : 0;
    return bizlib::Status::ok();
}

} // namespace console
