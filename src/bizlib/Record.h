#pragma once

#include "bizlib/Decimal.h"
#include "bizlib/TableDef.h"

#include <QList>
#include <QVariant>

namespace bizlib {

// One row of a table as a value: what the business library calls the record buffer.
// Each field holds a value of its type from the start (0, empty text, zero decimal), so a
// cleared record is a valid record. Setting a text cuts it to the field's width; setting a
// decimal rounds it to the field's places; a BYTE keeps 0..255, a USHORT 0..65535. A LONG, DATE
// or TIME beyond 32 bits is kept as given (toLong() then reads the nearest LONG), so that writing
// it fails rather than storing another number.
// A record read from its table remembers the values it read: an update writes only the fields
// that differ from them, and leaves what other workstations changed meanwhile in the others.
// Field names are bare or prefixed ("Status", "WQTE:Status"), any letter case.
// Reading or writing an unknown field name is a programming error and throws std::logic_error.
class Record
{
public:
    Record() = default;
    explicit Record(const TableDef &table);

    // A record holding `values` as read from its table, each already of its field's type.
    static Record loaded(const TableDef &table, QList<QVariant> values);

    const TableDef &table() const { return *m_table; }
    bool isValid() const { return m_table != nullptr; }
    void clear();

    qint32 toLong(const QString &field) const { return toLong(index(field)); }
    QString text(const QString &field) const { return text(index(field)); }
    Decimal decimal(const QString &field) const { return decimal(index(field)); }
    QVariant value(const QString &field) const { return m_values.at(index(field)); }

    void setLong(const QString &field, qint64 v) { setLong(index(field), v); }
    void setText(const QString &field, const QString &v) { setText(index(field), v); }
    void setDecimal(const QString &field, const Decimal &v) { setDecimal(index(field), v); }
    // Converts from whatever the variant holds (number, text, Decimal) to the field's type.
    void setValue(const QString &field, const QVariant &v) { setValue(index(field), v); }

    qint32 toLong(int i) const;
    QString text(int i) const;
    Decimal decimal(int i) const;
    const QVariant &valueAt(int i) const { return m_values.at(i); }
    void setLong(int i, qint64 v);
    void setText(int i, const QString &v);
    void setDecimal(int i, const Decimal &v);
    void setValue(int i, const QVariant &v);

    // Takes a value that already has the field's type (as read from the database); texts are
    // still cut to the field's width.
    void assignLoaded(int i, QVariant v);
    // Remembers the present values as the row as read (the table does this after a read).
    void markRead() { m_read = m_values; }
    // True for a record read from its table (and not cleared since); a fresh record is not.
    bool wasRead() const { return !m_read.isEmpty(); }
    // The value field `i` had when the record was read (its present value for a fresh record).
    const QVariant &readValueAt(int i) const { return wasRead() ? m_read.at(i) : m_values.at(i); }
    // True when field `i` holds another value than it was read with (always for a fresh record).
    bool isChanged(int i) const;

    int fieldCount() const { return static_cast<int>(m_values.size()); }
    int index(const QString &field) const;

    // Copies every field of `source` whose bare name matches one of this record's fields
    // (letter case ignored), converting types and cutting to this record's widths; the
    // fields without a match keep their values. Returns the number of fields copied.
    int copyMatching(const Record &source);

    bool operator==(const Record &o) const { return m_table == o.m_table && m_values == o.m_values; }

private:
    const TableDef *m_table = nullptr;
    QList<QVariant> m_values;
    QList<QVariant> m_read; // the values as read from the table; empty for a fresh record
};

} // namespace bizlib
