#include "bizlib/TableDef.h"

namespace bizlib {

namespace {
// Strips a "PREFIX:" part when it names this table; returns false when it names another.
bool bareName(const TableDef &t, const QString &name, QString *bare)
{
    const qsizetype colon = name.indexOf(u':');
    if (colon < 0) {
        *bare = name;
        return true;
    }
    if (!t.hasPrefix(name.left(colon)))
        return false;
    *bare = name.mid(colon + 1);
    return true;
}
} // namespace

QString FieldDef::typeName() const
{
    switch (type) {
    case FieldType::Long: return QStringLiteral("LONG");
    case FieldType::UShort: return QStringLiteral("USHORT");
    case FieldType::Byte: return QStringLiteral("BYTE");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Time: return QStringLiteral("TIME");
    case FieldType::CString: return QStringLiteral("CSTRING(%1)").arg(size);
    case FieldType::String: return QStringLiteral("STRING(%1)").arg(size);
    case FieldType::Decimal: return QStringLiteral("DECIMAL(%1,%2)").arg(digits).arg(places);
    case FieldType::Text: return QStringLiteral("TEXT");
    }
    return {};
}

int TableDef::fieldIndex(const QString &name) const
{
    if (const auto it = describedNames.constFind(name); it != describedNames.cend())
        return *it;
    QString bare;
    if (!bareName(*this, name, &bare))
        return -1;
    return fieldLookup.value(bare.trimmed().toLower(), -1);
}

const FieldDef *TableDef::field(const QString &name) const
{
    const int i = fieldIndex(name);
    return i < 0 ? nullptr : &fields.at(i);
}

const KeyDef *TableDef::key(const QString &name) const
{
    QString bare;
    if (!bareName(*this, name, &bare))
        return nullptr;
    for (const KeyDef &k : keys)
        if (k.name.compare(bare, Qt::CaseInsensitive) == 0)
            return &k;
    return nullptr;
}

bool TableDef::hasPrefix(const QString &p) const
{
    if (prefix.compare(p, Qt::CaseInsensitive) == 0)
        return true;
    for (const QString &a : aliases)
        if (a.compare(p, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString TableDef::sqlTable() const
{
    return u'"' + name.toLower() + u'"';
}

QString TableDef::sqlColumn(int field) const
{
    if (field < sqlColumns.size())
        return sqlColumns.at(field);
    return u'"' + fields.at(field).name.toLower() + u'"';
}

} // namespace bizlib
