#include "console/general/NoteActions.h"

#include "console/WebRows.h"
#include "notes/WebNoteEditor.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

using console::NoteActions;
using console::RequestRef;
using testsupport::DataTest;
using testsupport::ScriptedPrompter;
using Response = bizlib::forms::Response;

namespace {

class NotePane : public DataTest
{
protected:
    // Runs the note editor's logic as a user who presses OK at once would.
    NoteActions::Editor editorPressingOk()
    {
        return [this](const notes::NoteEditorArgs &args) {
            seen << args;
            notes::WebNoteEditor::Services s;
            s.db = &db();
            s.prompter = &prompter;
            s.userCode = QStringLiteral("JS");
            notes::WebNoteEditor editor(s, args);
            if (!editor.open())
                return Response::Cancelled;
            editor.note().setText("Subject", QStringLiteral("Called the client"));
            editor.complete();
            return editor.response();
        };
    }

    bizlib::Record note(qint32 id)
    {
        bizlib::Table t(db(), QStringLiteral("WebNotes"));
        bizlib::Record r = t.newRecord();
        t.fetch(QStringLiteral("NOTEIDKEY"), { id }, r);
        return r;
    }

    ScriptedPrompter prompter;
    QList<notes::NoteEditorArgs> seen;
};

TEST_P(NotePane, aNoteInsertedOnAnOrderCarriesTheOrderInTheOwnerFieldAndAsParent)
{
    const qint32 order = consoletest::addOrder(db(), 1, 0);
    NoteActions actions(prompter, editorPressingOk());
    EXPECT_EQ(actions.insert({ RequestRef::Kind::Order, order, 70001 }), Response::Completed);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen.first().request, notes::NoteRequest::Insert);
    EXPECT_EQ(seen.first().parentId, QString::number(order));
    EXPECT_EQ(seen.first().parentType, QStringLiteral("ORD"));

    const bizlib::Record saved = note(1);
    EXPECT_EQ(saved.toLong("OrderID"), order);
    EXPECT_EQ(saved.toLong("ParentID"), order);
    EXPECT_EQ(saved.toLong("QuoteID"), 0);
    EXPECT_EQ(saved.text("ParentType"), QStringLiteral("ORD"));
    EXPECT_EQ(saved.toLong("OnOrder"), 1);
    EXPECT_EQ(saved.text("CreatedBy"), QStringLiteral("JS"));
}

TEST_P(NotePane, aNoteInsertedOnAQuoteRequestIsAQuoteNote)
{
    const qint32 quote = consoletest::addQuote(db(), 1, 0);
    NoteActions actions(prompter, editorPressingOk());
    EXPECT_EQ(actions.insert({ RequestRef::Kind::Quote, quote, 50001 }), Response::Completed);
    const bizlib::Record saved = note(1);
    EXPECT_EQ(saved.toLong("QuoteID"), quote);
    EXPECT_EQ(saved.toLong("ParentID"), quote);
    EXPECT_EQ(saved.text("ParentType"), QStringLiteral("QTE"));
    EXPECT_EQ(saved.toLong("OnQuote"), 1);
    EXPECT_EQ(saved.toLong("OnOrder"), 0);

    EXPECT_EQ(actions.insert({}), Response::Cancelled) << "no request: no editor";
    EXPECT_EQ(seen.size(), 1);
}

TEST_P(NotePane, aPaymentNotificationCannotBeDeleted)
{
    bizlib::Record payment = NoteActions::primedNote({ RequestRef::Kind::Order, 4, 1 });
    payment.setText("Class", QStringLiteral("payment"));
    NoteActions actions(prompter, editorPressingOk());
    EXPECT_EQ(actions.remove(payment, { RequestRef::Kind::Order, 4, 1 }), Response::Cancelled);
    EXPECT_TRUE(seen.isEmpty());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text,
        QStringLiteral("WARNING: You cannot remove a payment notification as this "
                       "information is critical to the order."));
    EXPECT_EQ(prompter.shown().first().caption, QStringLiteral("Unauthorised"));
    EXPECT_EQ(prompter.beeps(), QList<bizlib::Prompter::Icon> { bizlib::Prompter::Icon::Exclamation });

    bizlib::Record general = payment;
    general.setText("Class", QStringLiteral("General"));
    actions.remove(general, { RequestRef::Kind::Order, 4, 1 });
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen.first().request, notes::NoteRequest::Delete);
    EXPECT_TRUE(seen.first().writeBackOwner);
}

INSTANTIATE_TEST_SUITE_P(Engines, NotePane, testsupport::allEngines(), testsupport::engineName);

} // namespace
