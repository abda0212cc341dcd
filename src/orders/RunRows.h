#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QHash>
#include <QString>

namespace bizlib {
class Database;
}

namespace orders {

// Rows that one processing run reads for what they say (materials, web items, the parties of the
// web order), each read from the database once per run instead of once per step that needs it.
// The run owns it and drops it when it ends: nothing is kept from one run to the next, as other
// workstations write the same rows. A row the run writes itself is forgotten by the writer (or
// kept as written), so the run never reads back less than it wrote. A conditional write of a kept
// row still checks the row as it is now, so a change another workstation made meanwhile makes it
// miss as it would have with a fresh read; the writer forgets the row either way.
class RunRows
{
public:
    explicit RunRows(bizlib::Database &db);

    // The row of `table` whose primary key is `id` into *row (a new empty record when there is
    // none). NotFound for an id of 0 or below or a row that is not there (also kept: the run does
    // not look for it again); an error of the read is returned and nothing is kept.
    bizlib::Status read(const QString &table, qint32 id, bizlib::Record *row);
    // Keeps a row the run read another way (the web items of a list) or wrote itself.
    void keep(const QString &table, const bizlib::Record &row);
    // The run wrote the row, or may have: the next read goes to the database.
    void forget(const QString &table, qint32 id);
    void forgetTable(const QString &table);

private:
    bizlib::Database &m_db;
    // table -> primary key -> row; an invalid record stands for "not there".
    QHash<QString, QHash<qint32, bizlib::Record>> m_rows;
};

} // namespace orders
