#pragma once

#include "bizlib/ProcedureScope.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableView;

namespace bizlib::forms {
class SelectionList;
}

namespace bizlib::ui {

// The selection list: the list's rows in a table view, a locator line above it (typing moves to
// the first row not before the text), Select and Cancel. Select, Enter or a double click choose
// the current row; Select is offered while a row is current.
class SelectionListDialog : public QDialog
{
    Q_OBJECT

public:
    SelectionListDialog(forms::SelectionList &list, QWidget *parent = nullptr, ProcedureTrace *trace = nullptr);

    QLineEdit *locatorEdit() const { return m_locator; }
    QTableView *view() const { return m_view; }
    QPushButton *selectButton() const { return m_select; }
    int currentRow() const;

private:
    ProcedureScope m_procedure; // first: the entry comes before anything else is made
    void locate(const QString &text);
    void showRow(int row);
    void choose();
    void updateSelect();

    forms::SelectionList &m_list;
    QLineEdit *m_locator;
    QTableView *m_view;
    QPushButton *m_select;
};

} // namespace bizlib::ui
