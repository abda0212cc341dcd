#include "bizlib/forms/FormLayout.h"

#include "bizlib/TableDef.h"

#include <algorithm>

namespace bizlib::forms {

FormLayout FormLayout::forTable(const TableDef &table, const QString &caption)
{
    FormLayout layout(caption.isEmpty() ? labelFor(table.name) : caption);
    for (int i = 0; i < table.fields.size(); ++i) {
        const QString &name = table.fields.at(i).name;
        if (name.startsWith(QStringLiteral("Password"), Qt::CaseInsensitive))
            continue;
        if (i == table.autoNumberField)
            layout.addReadOnly(name);
        else
            layout.add(name);
    }
    return layout;
}

QString FormLayout::labelFor(const QString &fieldName)
{
    const QString bare = fieldName.section(u':', -1);
    QString out;
    for (int i = 0; i < bare.size(); ++i) {
        const QChar c = bare.at(i);
        const QChar prev = i > 0 ? bare.at(i - 1) : QChar();
        const QChar next = i + 1 < bare.size() ? bare.at(i + 1) : QChar();
        // A word starts at a capital after a small letter, at a capital that ends a run of
        // capitals before a small letter ("RFQNumber" -> "RFQ number"), and at a digit after a letter.
        const bool wordStart = i > 0
            && ((c.isUpper() && prev.isLower()) || (c.isUpper() && prev.isUpper() && next.isLower())
                || (c.isDigit() && prev.isLetter()));
        if (wordStart)
            out += u' ';
        const bool acronym = c.isUpper() && (next.isUpper() || (prev.isUpper() && !next.isLower()));
        out += wordStart && !acronym ? c.toLower() : c;
    }
    return out;
}

FormLayout &FormLayout::group(const QString &name, const QStringList &columns)
{
    m_group = name;
    if (columns.isEmpty())
        m_columns.remove(name);
    else
        m_columns.insert(name, columns);
    return *this;
}

FormLayout &FormLayout::sideBySide(int columns)
{
    m_sideBySide.insert(m_group, std::max(1, columns));
    return *this;
}

FormLayout &FormLayout::blankWhenZero()
{
    if (!m_fields.isEmpty())
        m_fields.last().blankZero = true;
    return *this;
}

FormLayout &FormLayout::withLines(int lines)
{
    if (!m_fields.isEmpty())
        m_fields.last().lines = lines;
    return *this;
}

FormLayout &FormLayout::add(const QString &field, const QString &label, Editor editor)
{
    m_fields.append({ field, label.isEmpty() ? labelFor(field) : label, m_group, editor, false });
    return *this;
}

FormLayout &FormLayout::addReadOnly(const QString &field, const QString &label, Editor editor)
{
    add(field, label, editor);
    m_fields.last().readOnly = true;
    return *this;
}

QStringList FormLayout::groups() const
{
    QStringList out;
    for (const Field &f : m_fields) {
        if (!out.contains(f.group))
            out << f.group;
    }
    return out;
}

} // namespace bizlib::forms
