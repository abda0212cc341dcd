#pragma once

#include "bizlib/ProcedureScope.h"
#include "notes/WebNoteEditor.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace notes::ui {

class PhraseTextEdit;

// `UpdateWebNote`: the form of one web note. It shows the editor's note, writes every edit back
// into it, and leaves through the editor's complete() (OK) and cancel() (Cancel, Esc, closing).
// Its size and position are kept under "UpdateWebNote" in the window-settings file.
class UpdateWebNote : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "UpdateWebNote";

    // `windowIni`: the window-settings file (empty: sizes are not kept).
    UpdateWebNote(WebNoteEditor &editor, bizlib::Prompter *prompter, const QString &windowIni,
        QWidget *parent = nullptr, bizlib::ProcedureTrace *trace = nullptr);
    ~UpdateWebNote() override;

    // Runs the editor for `args`: the form for insert, change and view; a delete asks for
    // confirmation without showing the form. Returns whether the note was saved or deleted. A note
    // that cannot be read is reported (nothing when it is simply gone).
    static bizlib::forms::Response run(const WebNoteEditor::Services &services, const NoteEditorArgs &args,
        const QString &windowIni, QWidget *parent = nullptr);

    PhraseTextEdit *notesEdit() const { return m_notes; }
    QCheckBox *flagBox(const QString &field) const { return m_flags.value(field); }
    QLineEdit *subjectEdit() const { return m_subject; }
    QLabel *captionLine() const { return m_captionLine; }
    QLineEdit *actionedDateLine() const { return m_actionedDate; }
    // OK and Cancel as the buttons do them.
    void pressOk();
    void reject() override;

private:
    void showNote();
    void readBack();
    void checkSpelling(bool report);

    bizlib::ProcedureScope m_procedure; // first: the entry comes before anything else is made
    bizlib::ProcedureTrace *m_trace;
    WebNoteEditor &m_editor;
    QString m_windowIni;
    QLabel *m_captionLine;
    QLineEdit *m_subject;
    QLineEdit *m_document;
    QComboBox *m_priority;
    PhraseTextEdit *m_notes;
    QGroupBox *m_display;
    QHash<QString, QCheckBox *> m_flags;
    QCheckBox *m_alert;
    QCheckBox *m_actioned;
    QLineEdit *m_actionedDate;
    bool m_showing = false;
};

} // namespace notes::ui
