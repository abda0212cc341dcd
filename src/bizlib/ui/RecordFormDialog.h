#pragma once

#include "bizlib/ProcedureScope.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <functional>
#include <optional>

class QPushButton;

namespace bizlib::forms {
class FormModel;
}

namespace bizlib::ui {

// The generic record form: one labelled editor per field of the form model, on one page per
// layout group (tabs when there are several; a group with column headings is a grid), with OK and
// Cancel. It opens large enough to show every field of its largest page (as far as the screen
// allows); several-line editors are as high as the layout says. The editors follow the field
// definitions: a line or several lines of text limited to the field's width, a check box, a date
// editor (blank: no date), a time as "HH:mm". A read-only field (or a View form) cannot be edited.
// OK hands every edited value to the model; a value the model refuses, or a save that fails, is
// shown in a message box and the form stays open.
class RecordFormDialog : public QDialog
{
    Q_OBJECT

public:
    RecordFormDialog(forms::FormModel &form, QWidget *parent = nullptr, ProcedureTrace *trace = nullptr);

    // The editor of a field (named as the layout names it), nullptr when the form does not show it.
    QWidget *editorFor(const QString &field) const;
    // The form's procedure name ("Update" + the table's name), under which it reports to the trace
    // and keeps its size and position.
    static QString procedureName(const forms::FormModel &form);
    QPushButton *okButton() const { return m_ok; }

    // The editable text fields take drops of `mimeType` (UTF-8 text): the field's text becomes
    // what `apply` makes of its text, the dropped text and its width (0: no limit), cut to the
    // width; nullopt, or a drop of blanks only, leaves it. The field is then selected.
    using DropApply = std::function<std::optional<QString>(const QString &, const QString &, int)>;
    void acceptTextDrops(const QString &mimeType, DropApply apply);

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ProcedureScope m_procedure; // first: the entry comes before anything else is made
    void loadValues();
    QWidget *makeEditor(int row);
    QWidget *makePage(const QString &group);
    QString editorText(int row) const;
    void setEditorText(int row, const QString &text);

    forms::FormModel &m_form;
    QList<QWidget *> m_editors;
    QPushButton *m_ok = nullptr;
    bool m_committing = false;
    QString m_dropType;
    DropApply m_dropApply;
    QHash<QObject *, int> m_dropTargets; // the widget a drop reaches -> the field's row
};

} // namespace bizlib::ui
