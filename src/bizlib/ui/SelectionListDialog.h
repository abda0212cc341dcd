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
// the current row; Select is offered while a row is current. The columns take the width of what
// they show (up to kMaxColumnWidth), on one line; the widest of them takes the room to spare, and
// the window opens wide enough for all of them as far as the screen allows.
class SelectionListDialog : public QDialog
{
    Q_OBJECT

public:
    SelectionListDialog(forms::SelectionList &list, QWidget *parent = nullptr, ProcedureTrace *trace = nullptr);

    QLineEdit *locatorEdit() const { return m_locator; }
    QTableView *view() const { return m_view; }
    QPushButton *selectButton() const { return m_select; }
    int currentRow() const;

    static constexpr int kMaxColumnWidth = 420;

private:
    ProcedureScope m_procedure; // first: the entry comes before anything else is made
    void locate(const QString &text);
    void showRow(int row);
    void choose();
    void updateSelect();
    void fitColumns();

    forms::SelectionList &m_list;
    QLineEdit *m_locator;
    QTableView *m_view;
    QPushButton *m_select;
};

} // namespace bizlib::ui
