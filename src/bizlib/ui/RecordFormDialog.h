#pragma once

#include "bizlib/ProcedureScope.h"

#include <QDialog>
#include <QList>

class QPushButton;

namespace bizlib::forms {
class FormModel;
}

namespace bizlib::ui {

// The generic record form: one labelled editor per field of the form model, on one page per
// layout group (tabs when there are several), with OK and Cancel. The editors follow the field
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
    QPushButton *okButton() const { return m_ok; }

    void accept() override;

private:
    ProcedureScope m_procedure; // first: the entry comes before anything else is made
    void loadValues();
    QWidget *makeEditor(int row);
    QString editorText(int row) const;
    void setEditorText(int row, const QString &text);

    forms::FormModel &m_form;
    QList<QWidget *> m_editors;
    QPushButton *m_ok = nullptr;
    bool m_committing = false;
};

} // namespace bizlib::ui
