#include "orders/RunRows.h"

#include "bizlib/Table.h"

namespace orders {

using bizlib::Record;
using bizlib::Status;

RunRows::RunRows(bizlib::Database &db)
    : m_db(db)
{ }

Status RunRows::read(const QString &table, qint32 id, Record *row)
{
    bizlib::Table t(m_db, table);
    *row = t.newRecord();
    if (id <= 0)
        return Status::notFound();
    QHash<qint32, Record> &rows = m_rows[table];
    if (const auto it = rows.constFind(id); it != rows.constEnd()) {
        if (!it->isValid())
            return Status::notFound();
        *row = *it;
        return Status::ok();
    }
    Record found = t.newRecord();
    const Status st = t.fetch(t.def().primary().name, { id }, found);
    if (st.isError())
        return st;
    if (st) {
        *row = found;
        rows.insert(id, found);
    } else {
        rows.insert(id, Record());
    }
    return st;
}

void RunRows::keep(const QString &table, const Record &row)
{
    if (!row.isValid() || row.table().primaryKey < 0)
        return;
    const qint32 id = row.valueAt(row.table().primary().fields.value(0)).toInt();
    if (id > 0)
        m_rows[table].insert(id, row);
}

void RunRows::forget(const QString &table, qint32 id)
{
    m_rows[table].remove(id);
}

void RunRows::forgetTable(const QString &table)
{
    m_rows.remove(table);
}

} // namespace orders
