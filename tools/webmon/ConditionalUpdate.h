#pragma once

#include "bizlib/Table.h"

#include <QStringList>

namespace webmon {

// One conditional UPDATE, the only way the web monitor changes a row that the consoles may be
// changing too: writes the fields of `changed` that differ from `read` to the row that `read`
// came from (found by the table's primary key), and only while each field named in `guards`
// still holds the value it had in `read`. *applied says whether the row was changed; it is false
// (and nothing is written) when the row is gone or a guarded field was changed meanwhile.
bizlib::Status updateIfUnchanged(bizlib::Table &table, const bizlib::Record &read, const bizlib::Record &changed,
    const QStringList &guards, bool *applied);

} // namespace webmon
