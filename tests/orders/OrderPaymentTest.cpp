#include "orders/OrderPayment.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QVariantMap>

using bizlib::Record;
using orders::OrderPayment;

namespace {

class Payment : public testsupport::DataTest
{
protected:
    Record addOrder(int prepay, int prepaid)
    {
        bizlib::Table t(db(), QStringLiteral("WebOrders"));
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        r.setLong("WebID", 66123);
        r.setLong("Prepay", prepay);
        r.setLong("Prepaid", prepaid);
        r.setText("Status", QStringLiteral("Pending"));
        EXPECT_TRUE(t.insert(r).isOk());
        return r;
    }
    Record order(qint32 id)
    {
        bizlib::Table t(db(), QStringLiteral("WebOrders"));
        Record r = t.newRecord();
        EXPECT_TRUE(t.fetch(QStringLiteral("ORDERIDKEY"), { id }, r).isOk());
        return r;
    }
    QList<Record> notes()
    {
        bizlib::Table t(db(), QStringLiteral("WebNotes"));
        bizlib::TableCursor c(t, QStringLiteral("NOTEIDKEY"));
        QList<Record> out;
        Record r = t.newRecord();
        while (c.next(r).isOk())
            out << r;
        return out;
    }
    OrderPayment payment(bool right)
    {
        OrderPayment::Services s;
        s.db = &db();
        s.prompter = &prompter;
        s.user.userId = 3;
        s.user.userCode = QStringLiteral("JS");
        s.mayMarkPaid = [right] { return right; };
        s.noteEditor = [this](const notes::NoteEditorArgs &args) {
            edited << args;
            return bizlib::forms::Response::Completed;
        };
        return OrderPayment(s);
    }

    testsupport::ScriptedPrompter prompter;
    QList<notes::NoteEditorArgs> edited;
};

TEST_P(Payment, thePaidButtonMarksOnlyAnUnpaidPrepayOrderForAUserWithTheRight)
{
    struct Case
    {
        int prepaid;
        bool right;
        int answer; // 1 Yes, 2 No; 0: not asked
    };
    const Case cases[] = { { 0, true, 1 }, { 0, true, 2 }, { 1, true, 0 }, { 0, false, 0 } };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.prepaid << c.right << c.answer);
        const qint32 id = addOrder(1, c.prepaid).toLong("OrderID");
        const int asked = prompter.shown().size();
        const qsizetype notesBefore = notes().size();
        if (c.answer)
            prompter.answer(c.answer);
        const bool marked = payment(c.right).markPaidFromList(id);
        EXPECT_EQ(marked, c.answer == 1);
        ASSERT_EQ(prompter.shown().size(), asked + (c.answer ? 1 : 0));
        if (c.answer) {
            EXPECT_EQ(prompter.shown().last().text, OrderPayment::paidQuestion());
            EXPECT_EQ(prompter.shown().last().defaultButton, 2);
        }
        EXPECT_EQ(order(id).toLong("Prepaid"), marked ? 1 : c.prepaid);
        EXPECT_EQ(notes().size(), notesBefore + (marked ? 1 : 0));
    }
}

TEST_P(Payment, thePaymentNoteCarriesTheWebReferenceAndOpensInTheEditor)
{
    const qint32 id = addOrder(1, 0).toLong("OrderID");
    prompter.answer(1);
    ASSERT_TRUE(payment(true).markPaidFromList(id));
    ASSERT_EQ(notes().size(), 1);
    const Record note = notes().first();
    EXPECT_EQ(note.text("Class"), QStringLiteral("Payment"));
    EXPECT_EQ(note.text("CreatedBy"), QStringLiteral("[-]"));
    EXPECT_EQ(note.text("ParentType"), QStringLiteral("ORD"));
    EXPECT_EQ(note.toLong("ParentID"), id);
    EXPECT_EQ(note.toLong("OrderID"), id);
    EXPECT_EQ(note.text("Notes"),
        QStringLiteral("Manual payment for web order 66123 was authorised by - JS\r\n"
                       "|Payment by: |Payment method: |Payment ref: "));
    EXPECT_EQ(order(id).toLong("NoteID"), note.toLong("NoteID"));
    ASSERT_EQ(edited.size(), 1);
    EXPECT_EQ(edited.first().request, notes::NoteRequest::Change);
    EXPECT_EQ(edited.first().parentId, QString::number(id));
    EXPECT_EQ(edited.first().note.toLong("NoteID"), note.toLong("NoteID"));

    // A second workstation that read the order before the marking writes no second note.
    const qint32 other = addOrder(1, 0).toLong("OrderID");
    Record first = order(other);
    Record second = order(other);
    ASSERT_TRUE(payment(true).markPaid(first).isOk());
    EXPECT_TRUE(payment(true).markPaid(second).isNotFound());
    EXPECT_EQ(notes().size(), 2);
}

TEST_P(Payment, aNoteThatCannotBeWritten_leavesTheOrderUnpaid)
{
    const qint32 id = addOrder(1, 0).toLong("OrderID");
    // The notes table is gone: the note's insert fails after the order could have been marked.
    ASSERT_TRUE(db().exec(QStringLiteral("DROP TABLE \"webnotes\"")).isOk());
    Record read = order(id);
    const bizlib::Status st = payment(true).markPaid(read);
    EXPECT_TRUE(st.isError());
    EXPECT_EQ(order(id).toLong("Prepaid"), 0);
    EXPECT_EQ(order(id).toLong("NoteID"), 0);
    EXPECT_EQ(read.toLong("Prepaid"), 0);
    EXPECT_TRUE(edited.isEmpty());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().first().text.startsWith(QStringLiteral("The order could not be marked as paid.")))
        << prompter.shown().first().text.toStdString();
}

TEST_P(Payment, aPrepayOrderWhoseCardPaymentFailedAsksBeforeItIsProcessed)
{
    using Decision = OrderPayment::Decision;
    struct Case
    {
        int prepaid;
        bool right;
        int answer; // 0: not asked; -1: Esc
        Decision decision;
        bool marked;
    };
    const Case cases[] = {
        { 1, true, 0, Decision::Process, false },
        { 0, true, 1, Decision::Process, false }, // Continue
        { 0, true, 2, Decision::Process, true }, // Mark paid
        { 0, true, -1, Decision::Abandon, false },
        { 0, false, 1, Decision::Process, false }, // Yes: processed, not marked
        { 0, false, 2, Decision::Abandon, false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.prepaid << c.right << c.answer);
        Record o = addOrder(1, c.prepaid);
        const int asked = prompter.shown().size();
        if (c.answer > 0)
            prompter.answer(c.answer);
        else if (c.answer < 0)
            prompter.pressEscape();
        EXPECT_EQ(payment(c.right).checkBeforeProcessing(o), c.decision);
        ASSERT_EQ(prompter.shown().size(), asked + (c.answer ? 1 : 0));
        if (c.answer) {
            EXPECT_EQ(prompter.shown().last().text, OrderPayment::prepayQuestion(c.right));
            EXPECT_EQ(
                prompter.shown().last().buttons, c.right ? OrderPayment::prepayButtons() : QStringLiteral("&Yes|&No"));
        }
        EXPECT_EQ(order(o.toLong("OrderID")).toLong("Prepaid"), c.marked || c.prepaid ? 1 : 0);
    }
}

TEST_P(Payment, aMarkPaidThatFailsBeforeProcessingAbandonsTheProcessing)
{
    // Another workstation marked the order paid, or removed it, after it was read for processing.
    struct Case
    {
        const char *name;
        bool removed;
    };
    const Case cases[] = { { "marked paid meanwhile", false }, { "removed meanwhile", true } };
    bizlib::Table orders(db(), QStringLiteral("WebOrders"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Record read = addOrder(1, 0);
        Record now = order(read.toLong("OrderID"));
        if (c.removed) {
            ASSERT_TRUE(orders.remove(now).isOk());
        } else {
            now.setLong("Prepaid", 1);
            ASSERT_TRUE(orders.update(now).isOk());
        }
        const int asked = prompter.shown().size();
        prompter.answer(2); // Mark paid
        EXPECT_EQ(payment(true).checkBeforeProcessing(read), OrderPayment::Decision::Abandon);
        ASSERT_EQ(prompter.shown().size(), asked + 2); // the question, then why it failed
        EXPECT_EQ(prompter.shown().last().caption, OrderPayment::paidCaption());
        EXPECT_TRUE(notes().isEmpty());
        EXPECT_TRUE(edited.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, Payment, testsupport::allEngines(), testsupport::engineName);

} // namespace
