#pragma once

#include "bizlib/Record.h"

#include <QList>

namespace console {

// One row of a request list: the record of the list's own table and the records of the tables
// joined to it, in the order the list joins them. A joined table without a matching row gives a
// cleared record (zeros and empty texts), so that a row never lacks a record it shows.
struct ListRow
{
    bizlib::Record record;
    QList<bizlib::Record> joined;

    // The record of the table with this prefix: the list's own or a joined one. Asking for a
    // prefix the list does not have is a programming error and throws std::logic_error.
    const bizlib::Record &of(const QString &prefix) const;
};

} // namespace console
