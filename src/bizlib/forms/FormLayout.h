#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

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
        bool blankZero = false; // a number that is zero shows as blank (an empty slot, no number yet)
        int lines = 0; // height of a several-line editor in lines; 0: by the field's width
    };

    explicit FormLayout(const QString &caption = {})
        : m_caption(caption)
    { }

    // Every field of `table` in dictionary order, labelled from the field names. Credential fields
    // (names beginning with "Password") are never put on a form.
    static FormLayout forTable(const TableDef &table, const QString &caption = {});
    // "PhraseTitle" -> "Phrase title", "Quantity1" -> "Quantity 1", "RFQ" -> "RFQ".
    static QString labelFor(const QString &fieldName);

    // Fields added after this go to the page `name`. With `columns`, the page is a grid: the
    // fields of the group fill rows of that many columns, in the order added, under these headings
    // (each field keeps its own label for messages and tests).
    FormLayout &group(const QString &name, const QStringList &columns = {});
    // Adds a field; an empty label is made from the field name.
    FormLayout &add(const QString &field, const QString &label = {}, Editor editor = Editor::Auto);
    FormLayout &addReadOnly(const QString &field, const QString &label = {}, Editor editor = Editor::Auto);
    // The labelled rows of the current group stand in `columns` columns side by side, filled
    // top to bottom one column after the other (a page of many several-line fields).
    FormLayout &sideBySide(int columns);
    // The field added last shows a zero as blank (a blank is taken as zero).
    FormLayout &blankWhenZero();
    // The field added last, when it has several lines, is `lines` lines high.
    FormLayout &withLines(int lines);

    const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    const QList<Field> &fields() const { return m_fields; }
    // The groups in the order their first field was added.
    QStringList groups() const;
    // The column headings of a grid group; empty for a group of labelled rows.
    QStringList columns(const QString &group) const { return m_columns.value(group); }
    // How many columns of labelled rows a group has side by side (1 unless sideBySide() said).
    int sideBySideColumns(const QString &group) const { return m_sideBySide.value(group, 1); }

private:
    QString m_caption;
    QString m_group;
    QList<Field> m_fields;
    QHash<QString, QStringList> m_columns;
    QHash<QString, int> m_sideBySide;
};

} // namespace bizlib::forms
