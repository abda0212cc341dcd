#pragma once

#include "bizlib/ProcedureTrace.h"
#include "bizlib/spell/SpellPrompter.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace bizlib::ui {

// The spelling dialog of SPELLCHECK: the text with the misspelt word marked, a "Change to" line
// (the first suggestion, or the word itself when there is none), the suggestions, and the
// buttons Change, Change All, Ignore, Ignore All and Cancel. Picking a suggestion puts it in
// "Change to"; double-clicking one changes the word to it. Closing the dialog cancels the check.
class SpellCheckDialog : public QDialog, public spell::SpellPrompter
{
    Q_OBJECT
public:
    // The dialog reports to `trace` as "SpellCheck" while it is shown.
    explicit SpellCheckDialog(QWidget *parent = nullptr, ProcedureTrace *trace = nullptr);

    // Shows one misspelt word modally and returns the user's choice.
    Answer ask(const Query &query) override;

    void load(const Query &query);

private:
    void finish(Action action);

    ProcedureTrace *m_trace;
    Answer m_answer;
    QTextBrowser *m_context;
    QLineEdit *m_changeTo;
    QListWidget *m_suggestions;
    QPushButton *m_change;
    QPushButton *m_changeAll;
    QPushButton *m_ignore;
    QPushButton *m_ignoreAll;
    QPushButton *m_cancel;
};

} // namespace bizlib::ui
