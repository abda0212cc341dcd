#include "bizlib/Record.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace bizlib {

namespace {

QVariant emptyValue(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::CString:
    case FieldType::String:
    case FieldType::Text: return QString();
    case FieldType::Decimal: return QVariant::fromValue(Decimal(0, f.places));
    default: return qint32(0);
    }
}

QVariant clampInteger(const FieldDef &f, qint64 v)
{
    switch (f.type) {
    case FieldType::Byte: return static_cast<qint32>(v & 0xFF);
    case FieldType::UShort: return static_cast<qint32>(v & 0xFFFF);
    default:
        if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
            return QVariant(v); // refused when written, never wrapped
        return static_cast<qint32>(v);
    }
}

Decimal decimalOf(const QVariant &v)
{
    if (v.metaType() == QMetaType::fromType<Decimal>())
        return v.value<Decimal>();
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return Decimal::fromInt(v.toLongLong());
    default: return Decimal::fromString(v.toString());
    }
}

} // namespace

Record::Record(const TableDef &table)
    : m_table(&table)
{
    clear();
}

Record Record::loaded(const TableDef &table, QList<QVariant> values)
{
    Record r;
    r.m_table = &table;
    r.m_values = std::move(values);
    r.m_read = r.m_values;
    return r;
}

void Record::clear()
{
    m_values.clear();
    m_read.clear();
    if (!m_table)
        return;
    m_values.reserve(m_table->fields.size());
    for (const FieldDef &f : m_table->fields)
        m_values.append(emptyValue(f));
}

int Record::index(const QString &field) const
{
    const int i = m_table ? m_table->fieldIndex(field) : -1;
    if (i < 0)
        throw std::logic_error(QStringLiteral("no field %1 in %2")
                                   .arg(field, m_table ? m_table->name : QStringLiteral("empty record"))
                                   .toStdString());
    return i;
}

qint32 Record::toLong(int i) const
{
    const QVariant &v = m_values.at(i);
    if (v.metaType() == QMetaType::fromType<Decimal>())
        return static_cast<qint32>(v.value<Decimal>().toInteger());
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toInt();
    if (v.typeId() == QMetaType::LongLong)
        return static_cast<qint32>(
            std::clamp<qint64>(v.toLongLong(), std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
    return v.toInt();
}

bool Record::isChanged(int i) const
{
    if (!wasRead())
        return true;
    const QVariant &now = m_values.at(i);
    const QVariant &then = m_read.at(i);
    if (now.metaType() == QMetaType::fromType<Decimal>() && then.metaType() == QMetaType::fromType<Decimal>())
        return !(now.value<Decimal>() == then.value<Decimal>());
    if (now.typeId() == QMetaType::QString || then.typeId() == QMetaType::QString)
        return now.toString() != then.toString();
    return now != then;
}

QString Record::text(int i) const
{
    const QVariant &v = m_values.at(i);
    if (v.metaType() == QMetaType::fromType<Decimal>())
        return v.value<Decimal>().toString();
    return v.toString();
}

Decimal Record::decimal(int i) const
{
    return decimalOf(m_values.at(i));
}

void Record::setLong(int i, qint64 v)
{
    const FieldDef &f = m_table->fields.at(i);
    if (f.type == FieldType::Decimal)
        setDecimal(i, Decimal::fromInt(v));
    else if (f.isText())
        setText(i, QString::number(v));
    else
        m_values[i] = clampInteger(f, v);
}

void Record::setText(int i, const QString &v)
{
    const FieldDef &f = m_table->fields.at(i);
    if (f.type == FieldType::Decimal) {
        setDecimal(i, Decimal::fromString(v));
    } else if (f.isInteger()) {
        m_values[i] = clampInteger(f, v.trimmed().toLongLong());
    } else {
        const int max = f.maxChars();
        m_values[i] = max > 0 && v.size() > max ? v.left(max) : v;
    }
}

void Record::setDecimal(int i, const Decimal &v)
{
    const FieldDef &f = m_table->fields.at(i);
    if (f.type == FieldType::Decimal)
        m_values[i] = QVariant::fromValue(v.rescaled(f.places));
    else if (f.isText())
        setText(i, v.toString());
    else
        m_values[i] = clampInteger(f, v.toInteger());
}

void Record::setValue(int i, const QVariant &v)
{
    const FieldDef &f = m_table->fields.at(i);
    if (!v.isValid() || v.isNull()) {
        m_values[i] = emptyValue(f);
        return;
    }
    if (f.type == FieldType::Decimal)
        setDecimal(i, decimalOf(v));
    else if (f.isText())
        setText(i, v.metaType() == QMetaType::fromType<Decimal>() ? v.value<Decimal>().toString() : v.toString());
    else if (v.metaType() == QMetaType::fromType<Decimal>())
        setLong(i, v.value<Decimal>().toInteger());
    else if (v.typeId() == QMetaType::QString)
        setText(i, v.toString());
    else
        setLong(i, v.toLongLong());
}

void Record::assignLoaded(int i, QVariant v)
{
    const FieldDef &f = m_table->fields.at(i);
    if (f.isText()) {
        const int max = f.maxChars();
        if (max > 0 && v.toString().size() > max) {
            setText(i, v.toString());
            return;
        }
    }
    m_values[i] = std::move(v);
}

int Record::copyMatching(const Record &source)
{
    if (!m_table || !source.m_table)
        return 0;
    int copied = 0;
    for (int s = 0; s < source.fieldCount(); ++s) {
        const int t = m_table->fieldLookup.value(source.m_table->fields.at(s).name.toLower(), -1);
        if (t < 0)
            continue;
        setValue(t, source.m_values.at(s));
        ++copied;
    }
    return copied;
}

} // namespace bizlib
