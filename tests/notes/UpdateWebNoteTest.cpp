#include "notes/ui/UpdateWebNote.h"

#include "bizlib/Dictionary.h"
#include "config/ModalWindows.h"
#include "notes/NoteTestSupport.h"
#include "notes/ui/PhraseTextEdit.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using notes::NoteRequest;
using notes::WebNoteEditor;
using notes::ui::UpdateWebNote;
using testsupport::DataTest;
using testsupport::ScriptedPrompter;

namespace {

class NoteForm : public DataTest
{
protected:
    WebNoteEditor::Services services()
    {
        WebNoteEditor::Services s;
        s.db = &db();
        s.prompter = &prompter;
        s.userCode = QStringLiteral("JS");
        s.now = [] { return notestest::kNow; };
        return s;
    }

    std::unique_ptr<WebNoteEditor> editorFor(NoteRequest request, qint32 noteId = 0)
    {
        const WebNoteEditor::Services s = services();
        notes::NoteEditorArgs a;
        a.request = request;
        a.parentId = QStringLiteral("12");
        a.parentType = QStringLiteral("ORD");
        a.note = bizlib::Record(bizlib::Dictionary::instance().require(QStringLiteral("WebNotes")));
        a.note.setLong("OrderID", 12);
        a.note.setLong("NoteID", noteId);
        auto e = std::make_unique<WebNoteEditor>(s, a);
        EXPECT_TRUE(e->open().isOk());
        return e;
    }

    static QPushButton *buttonNamed(QWidget *w, const QString &text)
    {
        for (QPushButton *b : w->findChildren<QPushButton *>())
            if (b->text() == text)
                return b;
        return nullptr;
    }

    ScriptedPrompter prompter;
};

TEST_P(NoteForm, theFormKeepsTheNoteInStepAndRefusesOkWithoutADisplayContext)
{
    auto editor = editorFor(NoteRequest::Insert);
    UpdateWebNote form(*editor, &prompter, {});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Update web note"));
    EXPECT_EQ(form.captionLine()->text(), QStringLiteral("Adding a Notes Record"));
    QCheckBox *order = form.flagBox(QStringLiteral("OnOrder"));
    ASSERT_TRUE(order);
    EXPECT_TRUE(order->isChecked());
    EXPECT_FALSE(order->isEnabled()) << "the owner's context cannot be unticked";
    ASSERT_TRUE(form.flagBox(QStringLiteral("OnPInvoice")));
    EXPECT_EQ(form.flagBox(QStringLiteral("OnPInvoice"))->text(), QStringLiteral("P-Invoice"));

    QTest::keyClicks(form.subjectEdit(), QStringLiteral("Artwork query"));
    EXPECT_EQ(editor->note().text("Subject"), QStringLiteral("Artwork query"));

    buttonNamed(&form, QStringLiteral("None"))->click();
    EXPECT_FALSE(order->isChecked());
    form.pressOk();
    EXPECT_EQ(form.result(), int(QDialog::Rejected));
    EXPECT_EQ(prompter.lastText(), WebNoteEditor::noContextText());

    form.flagBox(QStringLiteral("OnDelivery"))->setChecked(true);
    form.pressOk();
    EXPECT_EQ(form.result(), int(QDialog::Accepted));
    const bizlib::Record saved = notestest::readRow(
        db(), QStringLiteral("WebNotes"), QStringLiteral("NOTEIDKEY"), editor->note().toLong("NoteID"));
    EXPECT_EQ(saved.text("Subject"), QStringLiteral("Artwork query"));
    EXPECT_EQ(saved.toLong("OnDelivery"), 1);
}

TEST_P(NoteForm, droppedPhrasesAndTheStampReachTheNotes)
{
    auto editor = editorFor(NoteRequest::Insert);
    UpdateWebNote form(*editor, &prompter, {});
    ASSERT_TRUE(form.notesEdit()->dropPhrase(QStringLiteral("Proof sent")));
    EXPECT_TRUE(prompter.shown().isEmpty()) << "empty notes take the phrase";
    EXPECT_EQ(editor->note().text("Notes"), QStringLiteral("Proof sent"));

    prompter.answer(2); // Append
    ASSERT_TRUE(form.notesEdit()->dropPhrase(QStringLiteral("awaiting approval")));
    EXPECT_EQ(editor->note().text("Notes"), QStringLiteral("Proof sent, awaiting approval"));
    EXPECT_EQ(form.notesEdit()->textCursor().selectedText(), QStringLiteral("Proof sent, awaiting approval"));

    prompter.answer(3); // Cancel
    EXPECT_FALSE(form.notesEdit()->dropPhrase(QStringLiteral("ignored")));
    EXPECT_EQ(editor->note().text("Notes"), QStringLiteral("Proof sent, awaiting approval"));

    buttonNamed(&form, QStringLiteral("Add date && time stamp"))->click();
    EXPECT_EQ(
        editor->note().text("Notes"), QStringLiteral("Proof sent, awaiting approval\r\n*** 14/03/2026 10:05 ***\r\n"));
    EXPECT_EQ(form.notesEdit()->textCursor().position(), form.notesEdit()->toPlainText().size());
}

TEST_P(NoteForm, viewingShowsTheActionedLineAndEditsNothing)
{
    const qint32 id = notestest::insertRow(db(), QStringLiteral("WebNotes"), [](bizlib::Record &r) {
        r.setLong("OrderID", 12);
        r.setText("Subject", QStringLiteral("Paid"));
        r.setLong("OnOrder", 1);
        r.setLong("Actioned", 1);
        r.setLong("ActionedOn", bizlib::DateTime::fromDate(QDate(2026, 2, 3)));
        r.setLong("ActionedAt", bizlib::DateTime::fromTime(QTime(16, 45)));
        r.setText("ActionedBy", QStringLiteral("AB"));
    });
    auto editor = editorFor(NoteRequest::View, id);
    UpdateWebNote form(*editor, &prompter, {});
    EXPECT_EQ(form.captionLine()->text(), QStringLiteral("View Record"));
    EXPECT_EQ(form.actionedDateLine()->text(), QStringLiteral("(03/02/2026 @ 16:45 by: AB)"));
    EXPECT_TRUE(form.subjectEdit()->isReadOnly());
    EXPECT_FALSE(form.flagBox(QStringLiteral("OnProof"))->isEnabled());
    EXPECT_FALSE(form.notesEdit()->dropPhrase(QStringLiteral("x")));
    form.pressOk();
    EXPECT_EQ(form.result(), int(QDialog::Accepted));
}

TEST_P(NoteForm, theFormMarksItselfOpenForTheMonitorWhileItRuns)
{
    config::ModalWindows windows;
    WebNoteEditor::Services s = services();
    s.modalWindows = &windows;
    notes::NoteEditorArgs args;
    args.request = NoteRequest::Insert;
    args.parentId = QStringLiteral("12");
    args.parentType = QStringLiteral("ORD");
    bool openWhileShown = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *form = qobject_cast<UpdateWebNote *>(w); form && form->isVisible()) {
                openWhileShown = windows.anyOpen();
                form->reject();
            }
    });
    EXPECT_EQ(UpdateWebNote::run(s, args, {}), bizlib::forms::Response::Cancelled);
    EXPECT_TRUE(openWhileShown);
    EXPECT_FALSE(windows.anyOpen());
}

INSTANTIATE_TEST_SUITE_P(Engines, NoteForm, testsupport::allEngines(), testsupport::engineName);

} // namespace
