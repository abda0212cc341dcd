#pragma once

#include <QDialog>
#include <QToolButton>

class QTreeWidget;

namespace console {
class ProcessingProblems;
}

namespace console::ui {

// The processing list: what automatic processing made and what failed in it, what was cleaned up
// after interrupted runs, and attachment downloads that failed; the newest first (request, time,
// what happened), problems marked. Clear empties it.
class ProcessingProblemsDialog : public QDialog
{
    Q_OBJECT
public:
    ProcessingProblemsDialog(ProcessingProblems &problems, QWidget *parent = nullptr);
    QTreeWidget *list() const { return m_list; }

private:
    void fill();

    ProcessingProblems &m_problems;
    QTreeWidget *m_list = nullptr;
};

// The status bar's way to the processing list: the count of problems ("Processing problems: 2"),
// or while there are none the count of automatic runs ("Processed automatically: 3"); hidden while
// the list is empty. A click opens the list.
class ProcessingProblemsButton : public QToolButton
{
    Q_OBJECT
public:
    ProcessingProblemsButton(ProcessingProblems &problems, QWidget *parent = nullptr);
    // Shows the count as it is now.
    void refresh();
    void openList();

private:
    ProcessingProblems &m_problems;
};

} // namespace console::ui
