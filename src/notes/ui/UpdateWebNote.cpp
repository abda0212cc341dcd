#include "notes/ui/UpdateWebNote.h"

#include "bizlib/Prompter.h"
#include "config/ModalWindows.h"
#include "config/WindowSettings.h"
#include "notes/ui/PhraseTextEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace notes::ui {

namespace {
QString multiLine(const QString &stored)
{
    QString s = stored;
    return s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
QString stored(const QString &shown)
{
    QString s = shown;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s.replace(u'\n', QStringLiteral("\r\n"));
}
} // namespace

UpdateWebNote::UpdateWebNote(WebNoteEditor &editor, bizlib::Prompter *prompter, const QString &windowIni,
    QWidget *parent, bizlib::ProcedureTrace *trace)
    : QDialog(parent)
    , m_procedure(trace, QString::fromLatin1(ProcedureName))
    , m_trace(trace)
    , m_editor(editor)
    , m_windowIni(windowIni)
    , m_captionLine(new QLabel(this))
    , m_subject(new QLineEdit(this))
    , m_document(new QLineEdit(this))
    , m_priority(new QComboBox(this))
    , m_notes(new PhraseTextEdit(prompter, this))
    , m_display(new QGroupBox(tr("Display context"), this))
    , m_alert(new QCheckBox(tr("Display alert icon"), this))
    , m_actioned(new QCheckBox(tr("Actioned"), this))
    , m_actionedDate(new QLineEdit(this))
{
    setObjectName(QString::fromLatin1(ProcedureName));
    setWindowTitle(WebNoteEditor::title());
    const bizlib::Record &note = m_editor.note();
    const auto width = [&note](const char *field) {
        const bizlib::FieldDef *f = note.table().field(QString::fromLatin1(field));
        return f ? f->maxChars() : 0;
    };

    QFont bold = m_captionLine->font();
    bold.setBold(true);
    m_captionLine->setFont(bold);
    m_subject->setMaxLength(width("Subject"));
    m_document->setMaxLength(width("Document") > 0 ? width("Document") : 256);
    m_priority->addItems(WebNoteEditor::priorities());
    m_notes->setMaxLength(width("Notes"));
    m_notes->setDropHandler([this](const QString &, const QString &phrase) -> std::optional<QString> {
        readBack();
        if (!m_editor.dropPhrase(phrase))
            return std::nullopt;
        return multiLine(m_editor.note().text("Notes"));
    });
    m_alert->setToolTip(tr("Display popup notepad when parent record is accesssed"));
    m_actionedDate->setReadOnly(true);

    auto *subjectLookup = new QPushButton(QStringLiteral("..."), this);
    subjectLookup->setToolTip(tr("Select a subject from the phrases"));
    auto *documentLookup = new QPushButton(QStringLiteral("..."), this);
    documentLookup->setToolTip(tr("Select linked document"));
    auto *openDocument = new QPushButton(tr("&Open"), this);
    auto *stamp = new QPushButton(tr("Add date && time stamp"), this);
    auto *spelling = new QPushButton(tr("Spe&lling"), this);
    spelling->setToolTip(tr("Spell-check text"));
    for (QPushButton *b : { subjectLookup, documentLookup, openDocument, stamp, spelling })
        b->setAutoDefault(false);
    for (QPushButton *b : { subjectLookup, documentLookup })
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);

    auto *form = new QFormLayout;
    auto *subjectRow = new QHBoxLayout;
    subjectRow->addWidget(m_subject, 1);
    subjectRow->addWidget(subjectLookup);
    auto *subjectLabel = new QLabel(tr("&Subject:"), this);
    subjectLabel->setBuddy(m_subject);
    form->addRow(subjectLabel, subjectRow);
    auto *documentRow = new QHBoxLayout;
    documentRow->addWidget(m_document, 1);
    documentRow->addWidget(documentLookup);
    documentRow->addWidget(openDocument);
    auto *documentLabel = new QLabel(tr("&Document:"), this);
    documentLabel->setBuddy(m_document);
    form->addRow(documentLabel, documentRow);
    form->addRow(tr("&Priority:"), m_priority);
    form->addRow(tr("&Notes:"), m_notes);
    auto *noteButtons = new QHBoxLayout;
    noteButtons->addWidget(stamp);
    noteButtons->addWidget(spelling);
    noteButtons->addStretch();
    form->addRow(QString(), noteButtons);

    auto *grid = new QGridLayout(m_display);
    int i = 0;
    for (const WebNoteEditor::Flag &f : WebNoteEditor::displayFlags()) {
        if (f.label.isEmpty())
            continue;
        auto *box = new QCheckBox(f.label, m_display);
        box->setObjectName(f.field);
        box->setEnabled(!m_editor.isFlagLocked(f.field) && !m_editor.isReadOnly());
        m_flags.insert(f.field, box);
        grid->addWidget(box, i / 4, i % 4);
        ++i;
        connect(box, &QCheckBox::toggled, this, &UpdateWebNote::readBack);
    }
    auto *none = new QPushButton(tr("None"), m_display);
    auto *all = new QPushButton(tr("All"), m_display);
    none->setAutoDefault(false);
    all->setAutoDefault(false);
    grid->addWidget(none, 2, 0);
    grid->addWidget(all, 2, 1);

    auto *actionedRow = new QHBoxLayout;
    actionedRow->addWidget(m_actioned);
    actionedRow->addWidget(m_actionedDate, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_captionLine);
    layout->addLayout(form, 1);
    layout->addWidget(m_display);
    layout->addWidget(m_alert);
    layout->addLayout(actionedRow);
    layout->addWidget(buttons);

    const bool readOnly = m_editor.isReadOnly();
    for (QWidget *w : std::initializer_list<QWidget *> {
             subjectLookup, documentLookup, stamp, spelling, none, all, m_priority, m_alert, m_actioned })
        w->setEnabled(!readOnly);
    m_subject->setReadOnly(readOnly);
    m_document->setReadOnly(readOnly);
    m_notes->setReadOnly(readOnly);

    connect(m_subject, &QLineEdit::textEdited, this, &UpdateWebNote::readBack);
    connect(m_document, &QLineEdit::textEdited, this, &UpdateWebNote::readBack);
    connect(m_priority, &QComboBox::currentTextChanged, this, &UpdateWebNote::readBack);
    connect(m_notes, &QPlainTextEdit::textChanged, this, &UpdateWebNote::readBack);
    connect(m_alert, &QCheckBox::toggled, this, &UpdateWebNote::readBack);
    connect(m_actioned, &QCheckBox::toggled, this, &UpdateWebNote::readBack);
    connect(subjectLookup, &QPushButton::clicked, this, [this] {
        readBack();
        if (m_editor.lookupSubject())
            showNote();
    });
    connect(documentLookup, &QPushButton::clicked, this, [this] {
        readBack();
        if (m_editor.lookupDocument())
            showNote();
    });
    connect(openDocument, &QPushButton::clicked, this, [this] {
        readBack();
        m_editor.openDocument();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        readBack();
        m_editor.clearFlags();
        showNote();
    });
    connect(all, &QPushButton::clicked, this, [this] {
        readBack();
        m_editor.setAllFlags();
        showNote();
    });
    connect(stamp, &QPushButton::clicked, this, [this] {
        readBack();
        m_editor.addStamp();
        showNote();
        m_notes->setFocus();
        m_notes->moveCursor(QTextCursor::End);
    });
    connect(spelling, &QPushButton::clicked, this, [this] { checkSpelling(false); });
    auto *f7 = new QShortcut(QKeySequence(Qt::Key_F7), this);
    connect(f7, &QShortcut::activated, this, [this] { checkSpelling(true); });
    connect(buttons, &QDialogButtonBox::accepted, this, &UpdateWebNote::pressOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &UpdateWebNote::reject);

    showNote();
    resize(640, 560);
    if (!m_windowIni.isEmpty()) {
        const QByteArray geometry = config::WindowSettings(m_windowIni).geometry(QString::fromLatin1(ProcedureName));
        if (!geometry.isEmpty())
            restoreGeometry(geometry);
    }
}

UpdateWebNote::~UpdateWebNote()
{
    if (!m_windowIni.isEmpty())
        config::WindowSettings(m_windowIni, m_trace).setGeometry(QString::fromLatin1(ProcedureName), saveGeometry());
}

void UpdateWebNote::showNote()
{
    m_showing = true;
    const bizlib::Record &note = m_editor.note();
    m_captionLine->setText(m_editor.captionLine());
    m_subject->setText(note.text("Subject"));
    m_document->setText(note.text("Document"));
    const QString priority = note.text("Priority").trimmed();
    if (m_priority->findText(priority) < 0 && !priority.isEmpty())
        m_priority->addItem(priority);
    m_priority->setCurrentText(priority);
    const QString notes = multiLine(note.text("Notes"));
    if (m_notes->toPlainText() != notes)
        m_notes->setPlainText(notes);
    for (auto it = m_flags.cbegin(); it != m_flags.cend(); ++it)
        it.value()->setChecked(note.toLong(it.key()) != 0);
    m_alert->setChecked(note.toLong("Alert") != 0);
    m_actioned->setChecked(note.toLong("Actioned") != 0);
    m_actionedDate->setText(m_editor.actionedDate());
    m_showing = false;
}

void UpdateWebNote::readBack()
{
    if (m_showing || m_editor.isReadOnly())
        return;
    bizlib::Record &note = m_editor.note();
    note.setText("Subject", m_subject->text());
    note.setText("Document", m_document->text());
    note.setText("Priority", m_priority->currentText());
    note.setText("Notes", stored(m_notes->toPlainText()));
    for (auto it = m_flags.cbegin(); it != m_flags.cend(); ++it)
        note.setLong(it.key(), it.value()->isChecked() ? 1 : 0);
    note.setLong("Alert", m_alert->isChecked() ? 1 : 0);
    note.setLong("Actioned", m_actioned->isChecked() ? 1 : 0);
}

void UpdateWebNote::checkSpelling(bool report)
{
    readBack();
    // The button always checks the notes; F7 only when they have the focus, and then reports.
    m_editor.checkSpelling(!report || m_notes->hasFocus(), report);
    showNote();
}

void UpdateWebNote::pressOk()
{
    readBack();
    if (m_editor.complete()) {
        QDialog::accept();
        return;
    }
    if (m_editor.lastStatus())
        m_display->setFocus(); // refused for want of a display context
}

void UpdateWebNote::reject()
{
    m_editor.cancel();
    QDialog::reject();
}

bizlib::forms::Response UpdateWebNote::run(
    const WebNoteEditor::Services &services, const NoteEditorArgs &args, const QString &windowIni, QWidget *parent)
{
    // Modal from here on (the form, or the question of a delete): the monitor's tick waits.
    const config::ModalWindows::Scope modal(services.modalWindows);
    WebNoteEditor editor(services, args);
    if (const bizlib::Status st = editor.open(); !st) {
        if (st.isError() && services.prompter)
            services.prompter->alert(st.message(), WebNoteEditor::title(), bizlib::Prompter::Icon::Hand);
        return bizlib::forms::Response::Cancelled;
    }
    if (args.request == NoteRequest::Delete) {
        editor.complete();
        return editor.response();
    }
    UpdateWebNote dialog(editor, services.prompter, windowIni, parent, services.trace);
    // Modal to its own window only, so that the phrase toolbox (a window of its own) still takes
    // drags into the notes while the form is open.
    dialog.setWindowModality(Qt::WindowModal);
    dialog.exec();
    return editor.response();
}

} // namespace notes::ui
