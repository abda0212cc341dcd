#include "ConditionalUpdate.h"

#include <QSqlQuery>
#include <stdexcept>

namespace webmon {

bizlib::Status updateIfUnchanged(bizlib::Table &table, const bizlib::Record &read, const bizlib::Record &changed,
    const QStringList &guards, bool *applied)
{
    *applied = false;
    const bizlib::TableDef &def = table.def();
    bizlib::Database &db = table.database();
    if (&read.table() != &def || &changed.table() != &def)
        throw std::logic_error("a record of another table");
    QStringList sets;
    QVariantList params;
    for (int i = 0; i < read.fieldCount(); ++i) {
        if (read.valueAt(i) == changed.valueAt(i))
            continue;
        sets << def.sqlColumn(i) + QStringLiteral(" = ?");
        params << db.toSql(def.fields.at(i), changed.valueAt(i));
    }
    if (sets.isEmpty())
        return bizlib::Status::ok();
    QStringList where;
    QList<int> matched = def.primary().fields;
    for (const QString &guard : guards)
        matched << read.index(guard);
    for (const int f : matched) {
        where << def.sqlColumn(f) + QStringLiteral(" = ?");
        params << db.toSql(def.fields.at(f), read.valueAt(f));
    }
    QSqlQuery q;
    const bizlib::Status st
        = db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                      .arg(def.sqlTable(), sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" AND "))),
            params, &q);
    if (st)
        *applied = q.numRowsAffected() > 0;
    return st;
}

} // namespace webmon
