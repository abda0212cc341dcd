#pragma once

#include "bizlib/Decimal.h"
#include "bizlib/params/RecordLayout.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>

namespace bizlib::params {

// A fixed-layout parameter record: exactly layout().size() bytes, filled field by field and handed
// to a business library operation as one block. Fields are named bare or with the record's prefix
// ("Description", "WTSKV:Description"), letter case ignored; `element` picks a value of an array
// field (0 for a single value).
//
// Byte formats:
// - LONG, DATE, TIME: 4-byte signed little-endian; USHORT 2-byte and BYTE 1-byte unsigned.
// - DECIMAL(d,p): packed decimal in d/2+1 bytes (see PackedDecimal.h).
// - Text is UTF-8. STRING(n) holds up to n bytes padded with blanks; CSTRING(n) holds up to n-1
//   bytes followed by NULs. A longer text is cut to the width at a character boundary, so a text of
//   single-byte characters keeps n (STRING) or n-1 (CSTRING) characters and other text fewer; a
//   text is also cut at an embedded NUL, where the reader would stop. Reading a STRING drops the
//   trailing blanks.
//
// Naming a field the record does not have, an element past the end of an array, or reading a field
// as the wrong type is a programming error and throws std::logic_error.
class ParamRecord
{
public:
    explicit ParamRecord(const RecordLayout &layout);

    const RecordLayout &layout() const { return m_layout; }
    int size() const { return m_layout.size(); }
    // The block as it is passed to the library.
    const QByteArray &bytes() const { return m_bytes; }
    char *data() { return m_bytes.data(); }
    // Takes a block of this record's size (a record handed back by the library); false and
    // nothing changed when the size differs.
    bool assign(const QByteArray &block);
    // Numbers and decimals to 0, CSTRINGs to NULs, STRINGs to blanks: every text empty.
    void clear();

    // Where a field's value starts in the block, and the number of values of an array field.
    int offset(QAnyStringView field, int element = 0) const;
    int count(QAnyStringView field) const;

    // LONG, USHORT, BYTE, DATE and TIME fields.
    qint32 toLong(QAnyStringView field, int element = 0) const;
    // False and the field unchanged when the value is out of the type's range (BYTE 0..255,
    // USHORT 0..65535, LONG 32-bit signed, DATE not negative, TIME 0..8640001).
    bool setLong(QAnyStringView field, qint64 value, int element = 0);
    // DATE and TIME fields as dates and times; an invalid date or time is stored as 0 (none).
    QDate date(QAnyStringView field) const;
    void setDate(QAnyStringView field, const QDate &value);
    QTime time(QAnyStringView field) const;
    void setTime(QAnyStringView field, const QTime &value);

    // CSTRING and STRING fields. setText() returns the number of characters kept.
    QString text(QAnyStringView field, int element = 0) const;
    int setText(QAnyStringView field, const QString &value, int element = 0);

    // DECIMAL fields. Reading gives a value at the field's places; unreadable bytes give zero and
    // set *ok to false. Setting rounds half away from zero to the field's places; a value that
    // then has more digits than the field holds is refused: false and the field unchanged.
    Decimal decimal(QAnyStringView field, int element = 0, bool *ok = nullptr) const;
    bool setDecimal(QAnyStringView field, const Decimal &value, int element = 0);

    bool operator==(const ParamRecord &o) const { return m_layout == o.m_layout && m_bytes == o.m_bytes; }

protected:
    // Raw access to a run of bytes, for records that embed another record's layout.
    QByteArray block(int offset, int length) const { return m_bytes.mid(offset, length); }
    void setBlock(int offset, const QByteArray &bytes);

private:
    struct Slot
    {
        const ParamField *field = nullptr;
        int offset = 0;
    };
    Slot slot(QAnyStringView field, int element) const;
    Slot typedSlot(QAnyStringView field, int element, bool (*accepts)(const ParamField &), const char *what) const;
    qint32 readInteger(const Slot &s) const;

    RecordLayout m_layout;
    QByteArray m_bytes;
};

} // namespace bizlib::params
