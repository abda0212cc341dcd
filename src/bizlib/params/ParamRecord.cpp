#include "bizlib/params/ParamRecord.h"

#include "bizlib/Clock.h"
#include "bizlib/params/PackedDecimal.h"

#include <QtEndian>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace bizlib::params {

namespace {

constexpr qint64 kLastTime = 8'640'001; // the last hundredth of a day, plus one

std::string fieldLabel(const RecordLayout &layout, QAnyStringView field)
{
    const std::string_view prefix = layout.prefix();
    return (prefix.empty() ? std::string("record") : std::string(prefix) + ":") + " field "
        + field.toString().toStdString();
}

bool integerField(const ParamField &f)
{
    return f.isInteger();
}
bool dateField(const ParamField &f)
{
    return f.type == FieldType::Date;
}
bool timeField(const ParamField &f)
{
    return f.type == FieldType::Time;
}
bool textField(const ParamField &f)
{
    return f.isText();
}
bool decimalField(const ParamField &f)
{
    return f.type == FieldType::Decimal;
}

bool inRange(FieldType type, qint64 v)
{
    switch (type) {
    case FieldType::Long:
        return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
    case FieldType::UShort:
        return v >= 0 && v <= 0xFFFF;
    case FieldType::Byte:
        return v >= 0 && v <= 0xFF;
    case FieldType::Date:
        return v >= 0 && v <= std::numeric_limits<qint32>::max();
    case FieldType::Time:
        return v >= 0 && v <= kLastTime;
    default:
        return false;
    }
}

// The UTF-8 bytes of `value` that fit in `maxBytes`, cut at a character boundary and at a NUL.
QByteArray fittingUtf8(const QString &value, int maxBytes)
{
    const qsizetype nul = value.indexOf(QChar(u'\0'));
    QByteArray utf8 = (nul >= 0 ? value.left(nul) : value).toUtf8();
    if (utf8.size() > maxBytes) {
        qsizetype cut = maxBytes;
        // A byte 10xxxxxx continues the character before it: cut before that character.
        while (cut > 0 && (static_cast<unsigned char>(utf8.at(cut)) & 0xC0) == 0x80)
            --cut;
        utf8.truncate(cut);
    }
    return utf8;
}

} // namespace

ParamRecord::ParamRecord(const RecordLayout &layout)
    : m_layout(layout)
    , m_bytes(layout.size(), '\0')
{
    clear();
}

bool ParamRecord::assign(const QByteArray &block)
{
    if (block.size() != m_layout.size())
        return false;
    m_bytes = block;
    return true;
}

void ParamRecord::clear()
{
    // Zero bytes are 0 for every integer and decimal (sign half-byte 0 = positive) and an empty
    // CSTRING; only STRING fields need their blanks.
    m_bytes.fill('\0');
    char *p = m_bytes.data();
    for (int i = 0; i < m_layout.fieldCount(); ++i) {
        const ParamField &f = m_layout.field(i);
        if (f.type == FieldType::String)
            std::memset(p + m_layout.offset(i), ' ', static_cast<size_t>(f.byteSize()));
    }
}

ParamRecord::Slot ParamRecord::slot(QAnyStringView field, int element) const
{
    const int i = m_layout.indexOf(field);
    if (i < 0)
        throw std::logic_error("no " + fieldLabel(m_layout, field));
    const ParamField &f = m_layout.field(i);
    if (element < 0 || element >= f.count)
        throw std::logic_error(
            "element " + std::to_string(element) + " out of range for " + fieldLabel(m_layout, field));
    return { &f, m_layout.offset(i) + element * f.elementSize() };
}

ParamRecord::Slot ParamRecord::typedSlot(
    QAnyStringView field, int element, bool (*accepts)(const ParamField &), const char *what) const
{
    const Slot s = slot(field, element);
    if (!accepts(*s.field))
        throw std::logic_error(fieldLabel(m_layout, field) + " is not " + what);
    return s;
}

int ParamRecord::offset(QAnyStringView field, int element) const
{
    return slot(field, element).offset;
}

int ParamRecord::count(QAnyStringView field) const
{
    return slot(field, 0).field->count;
}

qint32 ParamRecord::readInteger(const Slot &s) const
{
    const char *p = m_bytes.constData() + s.offset;
    switch (s.field->type) {
    case FieldType::UShort:
        return qFromLittleEndian<quint16>(p);
    case FieldType::Byte:
        return static_cast<unsigned char>(*p);
    default:
        return qFromLittleEndian<qint32>(p);
    }
}

qint32 ParamRecord::toLong(QAnyStringView field, int element) const
{
    return readInteger(typedSlot(field, element, integerField, "a number"));
}

bool ParamRecord::setLong(QAnyStringView field, qint64 value, int element)
{
    const Slot s = typedSlot(field, element, integerField, "a number");
    if (!inRange(s.field->type, value))
        return false;
    char *p = m_bytes.data() + s.offset;
    switch (s.field->type) {
    case FieldType::UShort:
        qToLittleEndian<quint16>(static_cast<quint16>(value), p);
        break;
    case FieldType::Byte:
        *p = static_cast<char>(static_cast<unsigned char>(value));
        break;
    default:
        qToLittleEndian<qint32>(static_cast<qint32>(value), p);
        break;
    }
    return true;
}

QDate ParamRecord::date(QAnyStringView field) const
{
    return DateTime::toDate(readInteger(typedSlot(field, 0, dateField, "a DATE")));
}

void ParamRecord::setDate(QAnyStringView field, const QDate &value)
{
    typedSlot(field, 0, dateField, "a DATE");
    setLong(field, value.isValid() ? DateTime::fromDate(value) : DateTime::kNoDate);
}

QTime ParamRecord::time(QAnyStringView field) const
{
    return DateTime::toTime(readInteger(typedSlot(field, 0, timeField, "a TIME")));
}

void ParamRecord::setTime(QAnyStringView field, const QTime &value)
{
    typedSlot(field, 0, timeField, "a TIME");
    setLong(field, value.isValid() ? DateTime::fromTime(value) : DateTime::kNoTime);
}

QString ParamRecord::text(QAnyStringView field, int element) const
{
    const Slot s = typedSlot(field, element, textField, "text");
    const char *p = m_bytes.constData() + s.offset;
    const int width = s.field->elementSize();
    const void *nul = std::memchr(p, '\0', static_cast<size_t>(width));
    qsizetype length = nul ? static_cast<const char *>(nul) - p : width;
    if (s.field->type == FieldType::String) {
        while (length > 0 && p[length - 1] == ' ')
            --length;
    }
    return QString::fromUtf8(p, length);
}

int ParamRecord::setText(QAnyStringView field, const QString &value, int element)
{
    const Slot s = typedSlot(field, element, textField, "text");
    const bool blankPadded = s.field->type == FieldType::String;
    const int width = s.field->elementSize();
    const QByteArray utf8 = fittingUtf8(value, blankPadded ? width : width - 1);
    char *p = m_bytes.data() + s.offset;
    std::memcpy(p, utf8.constData(), static_cast<size_t>(utf8.size()));
    std::memset(p + utf8.size(), blankPadded ? ' ' : '\0', static_cast<size_t>(width - utf8.size()));
    return static_cast<int>(QString::fromUtf8(utf8).size());
}

Decimal ParamRecord::decimal(QAnyStringView field, int element, bool *ok) const
{
    const Slot s = typedSlot(field, element, decimalField, "a DECIMAL");
    const std::optional<Decimal> v
        = PackedDecimal::decode(m_bytes.constData() + s.offset, s.field->digits, s.field->places);
    if (ok)
        *ok = v.has_value();
    return v.value_or(Decimal(0, s.field->places));
}

bool ParamRecord::setDecimal(QAnyStringView field, const Decimal &value, int element)
{
    const Slot s = typedSlot(field, element, decimalField, "a DECIMAL");
    return PackedDecimal::encode(value, s.field->digits, s.field->places, m_bytes.data() + s.offset);
}

void ParamRecord::setBlock(int offset, const QByteArray &bytes)
{
    if (offset < 0 || offset + bytes.size() > m_bytes.size())
        throw std::logic_error("block outside the parameter record");
    std::memcpy(m_bytes.data() + offset, bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace bizlib::params
