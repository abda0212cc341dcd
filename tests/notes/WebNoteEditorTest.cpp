#include "bizlib/Dictionary.h"
#include "bizlib/forms/SelectLibrary.h"
#include "console/ScriptedDesktop.h"
#include "notes/NoteTestSupport.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

using bizlib::forms::Response;
using notes::NoteRequest;
using notes::WebNoteEditor;
using notestest::kNow;
using notestest::readRow;
using testsupport::DataTest;
using testsupport::ScriptedPrompter;

namespace {

class NoteEditor : public DataTest
{
protected:
    WebNoteEditor::Services services(const QString &user = QStringLiteral("JS"))
    {
        WebNoteEditor::Services s;
        s.db = &db();
        s.prompter = &prompter;
        s.userCode = user;
        s.now = [this] { return now; };
        s.desktop = &desktop;
        s.speller = &speller;
        return s;
    }

    notes::NoteEditorArgs insertArgs(const QString &type, qint32 owner)
    {
        notes::NoteEditorArgs a;
        a.request = NoteRequest::Insert;
        a.parentId = QString::number(owner);
        a.parentType = type;
        a.note = bizlib::Record(bizlib::Dictionary::instance().require(QStringLiteral("WebNotes")));
        a.note.setLong(type == QLatin1String("QTE") ? "QuoteID" : "OrderID", owner);
        return a;
    }

    notes::NoteEditorArgs changeArgs(
        qint32 noteId, const QString &type, qint32 owner, NoteRequest request = NoteRequest::Change)
    {
        notes::NoteEditorArgs a;
        a.request = request;
        a.parentId = QString::number(owner);
        a.parentType = type;
        a.note = readRow(db(), QStringLiteral("WebNotes"), QStringLiteral("NOTEIDKEY"), noteId);
        a.writeBackOwner = true;
        return a;
    }

    // A note of an order written by `author` on 1 March.
    qint32 existingNote(const QString &author, qint32 order = 5)
    {
        return notestest::insertRow(db(), QStringLiteral("WebNotes"), [&](bizlib::Record &r) {
            r.setLong("OrderID", order);
            r.setLong("ParentID", order);
            r.setText("ParentType", QStringLiteral("ORD"));
            r.setText("Subject", QStringLiteral("Delivery"));
            r.setText("Notes", QStringLiteral("Leave at reception."));
            r.setLong("OnOrder", 1);
            r.setText("CreatedBy", author);
            r.setLong("CreatedOn", bizlib::DateTime::fromDate(QDate(2026, 3, 1)));
        });
    }

    bizlib::Record stored(qint32 id)
    {
        return readRow(db(), QStringLiteral("WebNotes"), QStringLiteral("NOTEIDKEY"), id);
    }

    QDateTime now = kNow;
    ScriptedPrompter prompter;
    consoletest::ScriptedDesktop desktop;
    notestest::FirstSuggestion speller;
};

TEST_P(NoteEditor, anOrderNoteAlwaysHasOrderTickedButNoneClearsItAndOkThenRefuses)
{
    WebNoteEditor e(services(), insertArgs(QStringLiteral("ORD"), 44));
    ASSERT_TRUE(e.open().isOk());
    EXPECT_EQ(e.captionLine(), QStringLiteral("Adding a Notes Record"));
    EXPECT_EQ(e.note().toLong("OnOrder"), 1);
    EXPECT_TRUE(e.isFlagLocked(QStringLiteral("OnOrder")));
    EXPECT_FALSE(e.isFlagLocked(QStringLiteral("OnQuote")));
    EXPECT_GT(e.note().toLong("NoteID"), 0);

    e.note().setLong("OnProof", 1);
    e.clearFlags();
    for (const WebNoteEditor::Flag &f : WebNoteEditor::displayFlags())
        EXPECT_EQ(e.note().toLong(f.field), 0) << f.field.toStdString();
    EXPECT_FALSE(e.complete());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text, WebNoteEditor::noContextText());
    EXPECT_EQ(prompter.shown().first().caption, QStringLiteral("Invalid display choices"));
    EXPECT_EQ(prompter.beeps().size(), 1);

    // Only "Delivery" is enough.
    e.note().setLong("OnDelivery", 1);
    ASSERT_TRUE(e.complete());
    EXPECT_EQ(e.response(), Response::Completed);
    const bizlib::Record saved = stored(e.note().toLong("NoteID"));
    EXPECT_EQ(saved.toLong("OnDelivery"), 1);
    EXPECT_EQ(saved.toLong("OnOrder"), 0);
    EXPECT_EQ(saved.toLong("ParentID"), 44);
    EXPECT_EQ(saved.toLong("OrderID"), 44);
    EXPECT_EQ(saved.text("CreatedBy"), QStringLiteral("JS"));
    EXPECT_EQ(saved.text("UpdatedBy"), QStringLiteral("JS"));
    EXPECT_EQ(saved.toLong("UpdatedOn"), bizlib::DateTime::fromDate(kNow.date()));
    EXPECT_EQ(saved.toLong("UpdatedAt"), bizlib::DateTime::fromTime(kNow.time()));
    EXPECT_EQ(saved.text("Priority"), QStringLiteral("Normal"));
}

TEST_P(NoteEditor, allTicksQuoteAndOrderOnlyForNotesOfRequests)
{
    WebNoteEditor e(services(), insertArgs(QStringLiteral("QTE"), 7));
    ASSERT_TRUE(e.open().isOk());
    EXPECT_EQ(e.note().toLong("OnQuote"), 1);
    e.note().setLong("OnInvoice", 1);
    e.note().setLong("OnCRM", 1);
    e.setAllFlags();
    EXPECT_EQ(e.note().toLong("OnQuote"), 1);
    EXPECT_EQ(e.note().toLong("OnOrder"), 1);
    EXPECT_EQ(e.note().toLong("OnInvoice"), 0);
    EXPECT_EQ(e.note().toLong("OnCRM"), 0);

    notes::NoteEditorArgs other = insertArgs(QStringLiteral("QTE"), 7);
    other.parentType = QStringLiteral("CLI");
    WebNoteEditor client(services(), other);
    ASSERT_TRUE(client.open().isOk());
    client.note().setLong("OnInvoice", 1);
    client.setAllFlags();
    EXPECT_EQ(client.note().toLong("OnInvoice"), 1) << "other owners: no change";
    EXPECT_EQ(client.note().toLong("OnOrder"), 0);
}

TEST_P(NoteEditor, theStampGoesOnALineOfItsOwn)
{
    WebNoteEditor e(services(), insertArgs(QStringLiteral("ORD"), 1));
    ASSERT_TRUE(e.open().isOk());
    e.addStamp();
    EXPECT_EQ(e.note().text("Notes"), QStringLiteral("*** 14/03/2026 10:05 ***\r\n")) << "empty notes: only the stamp";
    e.note().setText("Notes", QStringLiteral("Called back   "));
    e.addStamp();
    EXPECT_EQ(e.note().text("Notes"), QStringLiteral("Called back\r\n*** 14/03/2026 10:05 ***\r\n"));
    now = now.addSecs(3600);
    e.addStamp();
    EXPECT_EQ(e.note().text("Notes"),
        QStringLiteral("Called back\r\n*** 14/03/2026 10:05 ***\r\n*** 14/03/2026 11:05 ***\r\n"))
        << "text ending with a line feed gets no extra line break";
}

TEST_P(NoteEditor, changingSomeoneElsesNoteStampsItReadAndActionedOnce)
{
    const qint32 id = existingNote(QStringLiteral("AB"));
    WebNoteEditor e(services(), changeArgs(id, QStringLiteral("ORD"), 5));
    ASSERT_TRUE(e.open().isOk());
    EXPECT_EQ(e.captionLine(), QStringLiteral("Changing a Notes Record"));
    e.note().setLong("Actioned", 1);
    ASSERT_TRUE(e.complete());
    bizlib::Record saved = stored(id);
    EXPECT_EQ(saved.text("ReadBy"), QStringLiteral("JS"));
    EXPECT_EQ(saved.toLong("ReadOn"), bizlib::DateTime::fromDate(kNow.date()));
    EXPECT_EQ(saved.text("ActionedBy"), QStringLiteral("JS"));
    EXPECT_EQ(saved.toLong("ActionedAt"), bizlib::DateTime::fromTime(kNow.time()));

    // Later changes keep the first read and actioned stamps.
    now = now.addDays(1);
    WebNoteEditor again(services(QStringLiteral("MK")), changeArgs(id, QStringLiteral("ORD"), 5));
    ASSERT_TRUE(again.open().isOk());
    EXPECT_EQ(again.actionedDate(), QStringLiteral("(14/03/2026 @ 10:05 by: JS)"));
    ASSERT_TRUE(again.complete());
    saved = stored(id);
    EXPECT_EQ(saved.text("ReadBy"), QStringLiteral("JS"));
    EXPECT_EQ(saved.text("ActionedBy"), QStringLiteral("JS"));
    EXPECT_EQ(saved.text("UpdatedBy"), QStringLiteral("MK"));
    EXPECT_EQ(saved.toLong("UpdatedOn"), bizlib::DateTime::fromDate(kNow.date().addDays(1)));
}

TEST_P(NoteEditor, theAuthorsOwnChangeLeavesTheNoteUnread)
{
    const qint32 id = existingNote(QStringLiteral("js"));
    WebNoteEditor e(services(), changeArgs(id, QStringLiteral("ORD"), 5));
    ASSERT_TRUE(e.open().isOk());
    ASSERT_TRUE(e.complete());
    EXPECT_EQ(stored(id).toLong("ReadOn"), 0);
}

TEST_P(NoteEditor, cancellingSomeoneElsesNoteMarksItReadWithoutKeepingEdits)
{
    const qint32 id = existingNote(QStringLiteral("AB"));
    WebNoteEditor e(services(), changeArgs(id, QStringLiteral("ORD"), 5));
    ASSERT_TRUE(e.open().isOk());
    e.note().setText("Notes", QStringLiteral("Edited but not kept"));
    e.cancel();
    EXPECT_EQ(e.response(), Response::Cancelled);
    bizlib::Record saved = stored(id);
    EXPECT_EQ(saved.text("Notes"), QStringLiteral("Leave at reception."));
    EXPECT_EQ(saved.text("ReadBy"), QStringLiteral("JS"));
    EXPECT_EQ(saved.toLong("UpdatedOn"), 0);

    // The author cancelling writes nothing.
    const qint32 own = existingNote(QStringLiteral("JS"));
    WebNoteEditor mine(services(), changeArgs(own, QStringLiteral("ORD"), 5));
    ASSERT_TRUE(mine.open().isOk());
    mine.cancel();
    EXPECT_EQ(stored(own).toLong("ReadOn"), 0);
}

TEST_P(NoteEditor, deletingClearsTheOwnersNoteLinkAndWritesOnlyThatBack)
{
    const qint32 order = notestest::insertRow(
        db(), QStringLiteral("WebOrders"), [](bizlib::Record &r) { r.setText("Status", QStringLiteral("Pending")); });
    const qint32 id = existingNote(QStringLiteral("AB"), order);
    {
        bizlib::Table orders(db(), QStringLiteral("WebOrders"));
        bizlib::Record o = readRow(db(), QStringLiteral("WebOrders"), QStringLiteral("ORDERIDKEY"), order);
        o.setLong("NoteID", id);
        ASSERT_TRUE(orders.update(o).isOk());
    }
    notes::NoteEditorArgs args = changeArgs(id, QStringLiteral("ORD"), order, NoteRequest::Delete);
    // Another workstation claims the order while the note is being deleted.
    {
        bizlib::Table orders(db(), QStringLiteral("WebOrders"));
        bizlib::Record o = readRow(db(), QStringLiteral("WebOrders"), QStringLiteral("ORDERIDKEY"), order);
        o.setText("Status", QStringLiteral("Processing"));
        ASSERT_TRUE(orders.update(o).isOk());
    }
    WebNoteEditor e(services(), args);
    ASSERT_TRUE(e.open().isOk());
    prompter.answer(2); // No
    EXPECT_TRUE(e.complete());
    EXPECT_EQ(e.response(), Response::Cancelled);
    EXPECT_EQ(stored(id).toLong("NoteID"), id);

    WebNoteEditor yes(services(), args);
    ASSERT_TRUE(yes.open().isOk());
    prompter.answer(1);
    EXPECT_TRUE(yes.complete());
    EXPECT_EQ(yes.response(), Response::Completed);
    bizlib::Table notesTable(db(), QStringLiteral("WebNotes"));
    bizlib::Record gone = notesTable.newRecord();
    EXPECT_TRUE(notesTable.fetch(QStringLiteral("NOTEIDKEY"), { id }, gone).isNotFound());
    const bizlib::Record o = readRow(db(), QStringLiteral("WebOrders"), QStringLiteral("ORDERIDKEY"), order);
    EXPECT_EQ(o.toLong("NoteID"), 0);
    EXPECT_EQ(o.text("Status"), QStringLiteral("Processing")) << "only the link was written back";
}

TEST_P(NoteEditor, theFirstNoteInsertedForARequestBecomesItsNoteLink)
{
    for (const QString &type : { QStringLiteral("QTE"), QStringLiteral("ORD") }) {
        const bool quote = type == QLatin1String("QTE");
        const QString table = quote ? QStringLiteral("WebQuotes") : QStringLiteral("WebOrders");
        const QString key = quote ? QStringLiteral("QUOTEIDKEY") : QStringLiteral("ORDERIDKEY");
        const qint32 owner = notestest::insertRow(
            db(), table, [](bizlib::Record &r) { r.setText("Status", QStringLiteral("Pending")); });
        QList<qint32> ids;
        for (int n = 0; n < 2; ++n) {
            WebNoteEditor e(services(), insertArgs(type, owner));
            ASSERT_TRUE(e.open().isOk());
            // Another workstation claims the request while the note is being written.
            ASSERT_TRUE(
                db().exec(QStringLiteral("UPDATE \"%1\" SET \"status\" = 'Processing'").arg(table.toLower())).isOk());
            ASSERT_TRUE(e.complete());
            ids << e.note().toLong("NoteID");
        }
        const bizlib::Record r = readRow(db(), table, key, owner);
        EXPECT_EQ(r.toLong("NoteID"), ids.first()) << type.toStdString() << ": a later note keeps the first link";
        EXPECT_EQ(r.text("Status"), QStringLiteral("Processing")) << "only the link was written";
    }
}

TEST_P(NoteEditor, subjectLookupTakesThePhrasesTitleAndText)
{
    notestest::insertRow(db(), QStringLiteral("PHRASE"), [](bizlib::Record &r) {
        r.setText("PhraseTitle", QStringLiteral("Proof approved"));
        r.setText("PhraseText", QStringLiteral("The client approved the proof by phone."));
        r.setText("PhraseField", QStringLiteral("Subject"));
        r.setLong("Other", 1);
    });
    testsupport::ScriptedForms forms;
    bizlib::forms::SelectLibrary select(db(), forms, &prompter);
    WebNoteEditor::Services s = services();
    s.select = &select;
    WebNoteEditor e(s, insertArgs(QStringLiteral("ORD"), 1));
    ASSERT_TRUE(e.open().isOk());
    forms.cancelList();
    EXPECT_FALSE(e.lookupSubject());
    EXPECT_TRUE(e.note().text("Subject").isEmpty());
    forms.selectRow(0);
    ASSERT_TRUE(e.lookupSubject());
    EXPECT_EQ(e.note().text("Subject"), QStringLiteral("Proof approved"));
    EXPECT_EQ(e.note().text("Notes"), QStringLiteral("The client approved the proof by phone."));
    EXPECT_EQ(forms.listsShown().size(), 2);
}

TEST_P(NoteEditor, documentLookupAndOpen)
{
    WebNoteEditor e(services(), insertArgs(QStringLiteral("ORD"), 1));
    ASSERT_TRUE(e.open().isOk());
    EXPECT_FALSE(e.openDocument()) << "no document";
    desktop.choose({ QStringLiteral("/srv/jobs/spec.pdf") });
    ASSERT_TRUE(e.lookupDocument());
    EXPECT_EQ(desktop.dialogs().first().title, QStringLiteral("Select linked document"));
    EXPECT_EQ(desktop.dialogs().first().filters.first().name, QStringLiteral("All Files"));
    EXPECT_EQ(desktop.dialogs().first().filters.size(), 9);
    EXPECT_FALSE(desktop.dialogs().first().several);
    EXPECT_EQ(e.note().text("Document"), QStringLiteral("/srv/jobs/spec.pdf"));
    EXPECT_TRUE(e.openDocument());
    EXPECT_EQ(desktop.opened(), QStringList { "/srv/jobs/spec.pdf" });
}

TEST_P(NoteEditor, spellingChecksTheNotesAndF7AlwaysReports)
{
    WebNoteEditor e(services(), insertArgs(QStringLiteral("ORD"), 1));
    ASSERT_TRUE(e.open().isOk());
    e.note().setText("Notes", QStringLiteral("Please recieve the goods"));
    e.checkSpelling();
    EXPECT_EQ(speller.asked, QStringList { "recieve" });
    EXPECT_EQ(e.note().text("Notes"), QStringLiteral("Please receive the goods"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << "the button does not report";

    e.checkSpelling(false, true);
    EXPECT_EQ(speller.asked.size(), 1) << "F7 away from the notes checks nothing";
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text, QStringLiteral("The spelling check is complete."));
    EXPECT_EQ(prompter.shown().first().caption, QStringLiteral("Spelling"));
    EXPECT_EQ(prompter.shown().first().buttons, QStringLiteral("&OK"));
}

TEST_P(NoteEditor, viewingWritesNothingAndACancelledInsertGivesItsNumberBack)
{
    const qint32 id = existingNote(QStringLiteral("AB"));
    WebNoteEditor view(services(), changeArgs(id, QStringLiteral("ORD"), 5, NoteRequest::View));
    ASSERT_TRUE(view.open().isOk());
    EXPECT_EQ(view.captionLine(), QStringLiteral("View Record"));
    EXPECT_TRUE(view.isReadOnly());
    EXPECT_TRUE(view.complete());
    EXPECT_EQ(view.response(), Response::Cancelled);
    EXPECT_EQ(stored(id).toLong("ReadOn"), 0);

    WebNoteEditor first(services(), insertArgs(QStringLiteral("ORD"), 1));
    ASSERT_TRUE(first.open().isOk());
    const qint32 number = first.note().toLong("NoteID");
    first.cancel();
    WebNoteEditor second(services(), insertArgs(QStringLiteral("ORD"), 1));
    ASSERT_TRUE(second.open().isOk());
    EXPECT_EQ(second.note().toLong("NoteID"), number);

    notes::NoteEditorArgs missing = changeArgs(id, QStringLiteral("ORD"), 5);
    missing.note.setLong("NoteID", id + 50);
    WebNoteEditor gone(services(), missing);
    EXPECT_TRUE(gone.open().isNotFound());
}

INSTANTIATE_TEST_SUITE_P(Engines, NoteEditor, testsupport::allEngines(), testsupport::engineName);

} // namespace
