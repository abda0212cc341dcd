#pragma once

#include <QList>
#include <QString>

namespace bizlib {
struct TableDef;
}

namespace bizlib::forms {

// Which fields a record form shows, in which order, under which labels and on which page.
// A field is named bare ("Title": a field of the form's first record) or with its table's prefix
// ("SPTXT:Size": a field of the form's record of that table). Width limits and value types are not
// part of the layout: they come from the data dictionary.
class FormLayout
{
public:
    enum class Editor {
        Auto, // by the field's type: a check box for a BYTE, a date editor for a DATE, several
              // lines for a TEXT or a text of more than kMultiLineWidth characters, else one line
        Line, // one line of text (a BYTE shown as a number, for instance)
        MultiLine, // several lines
        Check, // a check box (values 0 and 1)
        Date,
        Time,
    };

    static constexpr int kMultiLineWidth = 255;

    struct Field
    {
        QString name;
        QString label;
        QString group; // page of the form; fields of one group stay together
        Editor editor = Editor::Auto;
        bool readOnly = false;
    };

    explicit FormLayout(const QString &caption = {})
        : m_caption(caption)
    { }

    // Every field of `table` in dictionary order, labelled from the field names. Credential fields
    // (names beginning with "Password") are never put on a form.
    static FormLayout forTable(const TableDef &table, const QString &caption = {});
    // "PhraseTitle" -> "Phrase title", "Quantity1" -> "Quantity 1", "RFQ" -> "RFQ".
    static QString labelFor(const QString &fieldName);

    // Fields added after this go to the page `name`.
    FormLayout &group(const QString &name);
    // Adds a field; an empty label is made from the field name.
    FormLayout &add(const QString &field, const QString &label = {}, Editor editor = Editor::Auto);
    FormLayout &addReadOnly(const QString &field, const QString &label = {}, Editor editor = Editor::Auto);

    const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    const QList<Field> &fields() const { return m_fields; }
    // The groups in the order their first field was added.
    QStringList groups() const;

private:
    QString m_caption;
    QString m_group;
    QList<Field> m_fields;
};

} // namespace bizlib::forms
