#pragma once

#include "bizlib/ProcedureScope.h"
#include "notes/PhraseToolbox.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTableView;
class QTimer;

namespace bizlib::forms {
class RecordForms;
}

namespace notes::ui {

// `PhraseTools`, the phrase toolbox: a small tool window listing the phrases of one group, the
// "Linked" and "All" tabs, the selected phrase's title and text, the "Type" choice and a button for
// a new phrase. Dragging a row drops its text (read afresh) into any field that takes phrases.
// Its size and position are kept under "PhraseTools"; without saved settings it opens centred.
//
// The toolbox is a window of its own, owned by nobody: a window-modal processing window or note
// editor blocks only its own window hierarchy, so the toolbox keeps taking drags while one is
// open (an application-modal one blocks it as it blocks every other window). It never touches the
// window that started it, only the shared context; whoever ends the program closes it first
// (PhraseToolbox::running()), so that it ends while the context is alive.
class PhraseTools : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "PhraseTools";

    // Starts the toolbox for `group` ("All" when empty) and `field` (may be empty) and shows it
    // (without saved settings centred on the screen of `near`; beside the modal window open at the
    // time, the processing window that asked for it, see placeBeside()), or, when a toolbox runs already,
    // brings that one to the front and starts nothing. Returns the running toolbox. `ctx.db` must
    // be set. The window deletes itself when closed.
    static PhraseTools *start(
        config::AppContext &ctx, const QString &group, const QString &field = {}, const QWidget *near = nullptr);
    ~PhraseTools() override;

    PhraseToolbox &toolbox() { return *m_box; }
    QTableView *listView() const { return m_list; }
    QTabBar *tabs() const { return m_tabs; }
    QComboBox *typeBox() const { return m_type; }
    QLineEdit *titleLine() const { return m_title; }
    PhraseToolbox::Tab tab() const;
    // What a drag of the current row carries; nullptr when no phrase is selected (or it has gone).
    std::unique_ptr<QMimeData> dragData() const;
    // The record forms for a new phrase (default: the library's dialogs).
    void setForms(bizlib::forms::RecordForms *forms) { m_forms = forms; }
    // The "New phrase" button.
    void newPhrase();
    // Resets the list when the phrases changed elsewhere (a timer asks every two seconds).
    void checkChanges();
    // Brings the toolbox up beside `window` (a form the phrases are dragged into): when it covers
    // part of the window, it moves to the window's right, else its left, narrowed (down to
    // kNarrowest) or with the window moved over where the screen is too narrow for both; then it is
    // raised, without taking the focus. A toolbox that covers nothing of the window stays put.
    // While the window is open the toolbox belongs to it (its transient parent): a window manager
    // keeps it above the window, which it raises together with the windows the window belongs to
    // (the console under a processing window) and which would otherwise bury the toolbox; and the
    // window, modal to its parents, does not block it.
    void placeBeside(QWidget *window);
    static constexpr int kNarrowest = 300;

public Q_SLOTS:
    // The bring-to-front event: active, and restored when minimised.
    void bringToFront();
    // The phrase-field changed event: the heading (and the linked list) follow GLO:PhraseField.
    void phraseFieldChanged();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    explicit PhraseTools(config::AppContext &ctx);
    void open(const QWidget *near);
    void resetList();
    void showGroup();
    void showCurrent();
    void startDrag();
    void finish();

    bizlib::ProcedureScope m_procedure; // first: the entry comes before anything else is made
    config::AppContext &m_ctx;
    std::unique_ptr<PhraseToolbox> m_box;
    bizlib::forms::RecordForms *m_forms = nullptr;
    QTabBar *m_tabs;
    QTableView *m_list;
    QLineEdit *m_title;
    QPlainTextEdit *m_text;
    QComboBox *m_type;
    QPushButton *m_new;
    QLabel *m_error;
    QTimer *m_poll = nullptr;
    bool m_finished = false;
};

} // namespace notes::ui
