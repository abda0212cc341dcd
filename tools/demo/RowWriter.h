#pragma once

#include "bizlib/Table.h"

#include <functional>

namespace demo {

// Adds rows to one table of the demo database: primes the automatic number, lets the caller
// fill the fields, inserts. A failure throws std::runtime_error naming the table and the reason
// (the demo data is all or nothing, so the fill code stays a plain list of rows; DemoData turns
// the exception back into a Status and the open transaction rolls everything back).
class RowWriter
{
public:
    RowWriter(bizlib::Database &db, const QString &tableName);

    // A cleared record holding the next automatic number (for rows that others must point at
    // before the row itself can be written).
    bizlib::Record prime();
    void insert(const bizlib::Record &record);
    void update(const bizlib::Record &record);

    // prime(), fill, insert(); returns the new row's automatic number (0 when the table has none).
    qint32 add(const std::function<void(bizlib::Record &)> &fill);

    bizlib::Table &table() { return m_table; }

private:
    [[noreturn]] void fail(const QString &what, const bizlib::Status &status) const;

    bizlib::Table m_table;
};

} // namespace demo
