#pragma once

#include <QDialog>
#include <QToolButton>

class QTreeWidget;

namespace console {
class ProcessingProblems;
}

namespace console::ui {

// The "Processing problems" list: what failed in automatic processing and what was cleaned up
// after interrupted runs, the newest first (request, time, reason). Clear empties it.
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

// The status bar's count of processing problems ("Processing problems: 2"), hidden while there
// are none; a click opens the list.
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
