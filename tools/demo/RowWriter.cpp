#include "RowWriter.h"

#include <stdexcept>

namespace demo {

RowWriter::RowWriter(bizlib::Database &db, const QString &tableName)
    : m_table(db, tableName)
{ }

bizlib::Record RowWriter::prime()
{
    bizlib::Record record;
    const bizlib::Status st = m_table.prime(record);
    if (!st)
        fail(QStringLiteral("numbering"), st);
    return record;
}

void RowWriter::insert(const bizlib::Record &record)
{
    const bizlib::Status st = m_table.insert(record);
    if (!st) {
        m_table.release(record);
        fail(QStringLiteral("inserting"), st);
    }
}

void RowWriter::update(const bizlib::Record &record)
{
    const bizlib::Status st = m_table.update(record);
    if (!st)
        fail(QStringLiteral("updating"), st);
}

qint32 RowWriter::add(const std::function<void(bizlib::Record &)> &fill)
{
    bizlib::Record record = prime();
    fill(record);
    insert(record);
    const int autoNumber = m_table.def().autoNumberField;
    return autoNumber >= 0 ? record.toLong(autoNumber) : 0;
}

void RowWriter::fail(const QString &what, const bizlib::Status &status) const
{
    const QString text = QStringLiteral("%1: %2 a demo row failed: %3")
                             .arg(m_table.def().name, what,
                                 status.message().isEmpty() ? QStringLiteral("no reason given") : status.message());
    throw std::runtime_error(text.toStdString());
}

} // namespace demo
