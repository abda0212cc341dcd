#include "bizlib/Dictionary.h"

#include <QCryptographicHash>
#include <stdexcept>

namespace bizlib {

namespace {
[[noreturn]] void fail(const QString &what)
{
    throw std::logic_error(what.toStdString());
}
} // namespace

TableBuilder &TableBuilder::field(const QString &name, FieldDef type)
{
    type.name = name;
    if (type.type == FieldType::Decimal && (type.digits > 15 || type.places > type.digits || type.places < 0))
        fail(QStringLiteral("%1:%2 is %3; a DECIMAL field has at most 15 digits")
                 .arg(m_def.prefix, name, type.typeName()));
    const QString lower = name.toLower();
    if (m_def.fieldLookup.contains(lower))
        fail(QStringLiteral("duplicate field %1:%2").arg(m_def.prefix, name));
    const int index = static_cast<int>(m_def.fields.size());
    m_def.fieldLookup.insert(lower, index);
    m_def.describedNames.insert(name, index);
    m_def.fields.append(type);
    m_def.sqlColumns.append(u'"' + lower + u'"');
    if (!m_def.sqlColumnList.isEmpty())
        m_def.sqlColumnList += QStringLiteral(", ");
    m_def.sqlColumnList += m_def.sqlColumns.last();
    return *this;
}

TableBuilder &TableBuilder::key(const QString &name, std::initializer_list<QString> fields, bool unique)
{
    KeyDef k;
    k.name = name;
    k.unique = unique;
    for (QString f : fields) {
        const bool desc = f.startsWith(u'-');
        if (desc)
            f.remove(0, 1);
        const int i = m_def.fieldIndex(f);
        if (i < 0)
            fail(QStringLiteral("key %1 of %2 names unknown field %3").arg(name, m_def.name, f));
        k.fields.append(i);
        k.descending.append(desc);
    }
    m_def.keys.append(k);
    if (unique && m_def.primaryKey < 0)
        m_def.primaryKey = static_cast<int>(m_def.keys.size() - 1);
    return *this;
}

TableBuilder &TableBuilder::primary(const QString &keyName)
{
    for (int i = 0; i < m_def.keys.size(); ++i)
        if (m_def.keys[i].name == keyName && m_def.keys[i].unique) {
            m_def.primaryKey = i;
            return *this;
        }
    fail(QStringLiteral("primary key %1 of %2 is not a unique key").arg(keyName, m_def.name));
}

TableBuilder &TableBuilder::autoNumber(const QString &field)
{
    m_def.autoNumberField = m_def.fieldIndex(field);
    if (m_def.autoNumberField < 0)
        fail(QStringLiteral("auto-number field %1 of %2 unknown").arg(field, m_def.name));
    return *this;
}

TableBuilder &TableBuilder::alias(const QString &prefix)
{
    m_def.aliases.append(prefix);
    return *this;
}

TableBuilder &TableBuilder::related(const QString &childTable, std::initializer_list<QPair<QString, QString>> links,
                                    RelationRule rule)
{
    m_def.relations.append({childTable, QList<QPair<QString, QString>>(links), rule});
    return *this;
}

TableBuilder &TableBuilder::trimmedIndex(const QString &textField)
{
    const int i = m_def.fieldIndex(textField);
    if (i < 0 || !m_def.fields.at(i).isText())
        fail(QStringLiteral("trimmed index of %1 names %2, not a text field").arg(m_def.name, textField));
    m_def.trimmedIndexes.append(i);
    return *this;
}

TableBuilder DictionaryBuilder::table(const QString &name, const QString &prefix)
{
    auto def = std::make_unique<TableDef>();
    def->name = name;
    def->prefix = prefix;
    m_tables.push_back(std::move(def));
    return TableBuilder(*m_tables.back());
}

Dictionary::Dictionary(DictionaryBuilder &&builder)
    : m_tables(std::move(builder.tables()))
{
    for (const auto &t : m_tables) {
        if (t->primaryKey < 0)
            fail(QStringLiteral("table %1 has no unique key").arg(t->name));
        if (m_byName.contains(t->name.toLower()))
            fail(QStringLiteral("table %1 described twice").arg(t->name));
        m_byName.insert(t->name.toLower(), t.get());
        for (const QString &p : QStringList{t->prefix} + t->aliases) {
            if (m_byPrefix.contains(p.toUpper()))
                fail(QStringLiteral("prefix %1 used by two tables").arg(p));
            m_byPrefix.insert(p.toUpper(), t.get());
        }
    }
    // Relations must name real tables and fields; a slip here would make a delete miss rows.
    for (const auto &t : m_tables)
        for (const RelationDef &r : t->relations) {
            const TableDef *child = table(r.childTable);
            if (!child)
                fail(QStringLiteral("relation of %1 names unknown table %2").arg(t->name, r.childTable));
            for (const auto &[p, c] : r.links)
                if (t->fieldIndex(p) < 0 || child->fieldIndex(c) < 0)
                    fail(QStringLiteral("relation %1 -> %2 names unknown field").arg(t->name, r.childTable));
        }
}

const Dictionary &Dictionary::instance()
{
    static const Dictionary dictionary = [] {
        DictionaryBuilder b;
        describeWebTables(b);
        describeBusinessTables(b);
        describeSystemTables(b);
        describeClaimTables(b);
        return Dictionary(std::move(b));
    }();
    return dictionary;
}

const TableDef *Dictionary::table(const QString &name) const
{
    return m_byName.value(name.toLower(), nullptr);
}

const TableDef *Dictionary::tableByPrefix(const QString &prefix) const
{
    return m_byPrefix.value(prefix.toUpper(), nullptr);
}

const TableDef &Dictionary::require(const QString &name) const
{
    const TableDef *t = table(name);
    if (!t)
        fail(QStringLiteral("unknown table %1").arg(name));
    return *t;
}

QByteArray Dictionary::fingerprint() const
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const auto &t : m_tables) {
        QStringList parts { t->name };
        for (const FieldDef &f : t->fields)
            parts << f.name + u' ' + f.typeName();
        for (const KeyDef &k : t->keys) {
            QStringList fields;
            for (int i = 0; i < k.fields.size(); ++i)
                fields << (k.descending[i] ? QStringLiteral("-") : QString()) + t->fields.at(k.fields[i]).name;
            parts << k.name + (k.unique ? QStringLiteral(" unique ") : QStringLiteral(" ")) + fields.join(u',');
        }
        for (const int i : t->trimmedIndexes)
            parts << QStringLiteral("trimmed ") + t->fields.at(i).name;
        hash.addData(parts.join(u'\n').toUtf8());
        hash.addData("\n\n");
    }
    return hash.result().toHex();
}

bool Dictionary::resolve(const QString &qualified, const TableDef **t, int *field) const
{
    const qsizetype colon = qualified.indexOf(u':');
    if (colon <= 0)
        return false;
    const TableDef *def = tableByPrefix(qualified.left(colon).trimmed());
    if (!def)
        return false;
    const int i = def->fieldIndex(qualified.mid(colon + 1));
    if (i < 0)
        return false;
    *t = def;
    *field = i;
    return true;
}

} // namespace bizlib
