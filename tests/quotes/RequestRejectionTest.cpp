#include "quotes/RequestRejection.h"

#include "bizlib/Clock.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/AppContext.h"
#include "data/RequestClaim.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QVariantMap>

using bizlib::Record;
using bizlib::forms::Response;
using quotes::RejectionVariant;
using quotes::RequestRejection;

namespace {

class Rejection : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        add("DEFAULTS", { { "WebHistory", 80000 } });
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.glo.user.userId = 7;
        ctx.glo.user.userCode = QStringLiteral("JS");
    }

    Record add(const char *table, const QVariantMap &values)
    {
        bizlib::Table t(db(), QLatin1String(table));
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            r.setValue(it.key(), it.value());
        EXPECT_TRUE(t.insert(r).isOk()) << table;
        return r;
    }
    Record read(const RejectionVariant &v, qint32 id)
    {
        bizlib::Table t(db(), v.table);
        Record r = t.newRecord();
        return t.fetch(t.def().primary().name, { id }, r) ? r : Record();
    }
    Record quoteRequest(const QString &status = QStringLiteral("Pending"))
    {
        return add("WebQuotes", { { "WebID", 58001 }, { "ClientID", 31 }, { "Status", status } });
    }
    QList<Record> tasks()
    {
        bizlib::Table t(db(), QStringLiteral("WebTask"));
        bizlib::TableCursor c(t, QStringLiteral("WEBTASKIDKEY"));
        QList<Record> out;
        Record r = t.newRecord();
        while (c.next(r).isOk())
            out << r;
        return out;
    }
    std::unique_ptr<RequestRejection> rejection(const RejectionVariant &v, const Record &request)
    {
        RequestRejection::Services s;
        s.ctx = &ctx;
        s.forms = &forms;
        s.changeNotice = [this] { ++notices; };
        return std::make_unique<RequestRejection>(s, v, request);
    }

    config::AppContext ctx;
    testsupport::ScriptedPrompter prompter;
    testsupport::ScriptedForms forms;
    int notices = 0;
};

TEST_P(Rejection, okQueuesTheRejectTaskAndLeavesTheRequestClaimedForTheWebMonitor)
{
    const Record request = quoteRequest();
    const qint32 id = request.toLong("QuoteID");
    {
        auto r = rejection(RejectionVariant::quote(), request);
        ASSERT_TRUE(r->open());
        EXPECT_EQ(read(RejectionVariant::quote(), id).text("Status"), QStringLiteral("Processing"));
        r->setComments(QStringLiteral("We do not print on fabric.   "));
        ASSERT_TRUE(r->ok());
        EXPECT_EQ(r->response(), Response::Completed);
        r->close();
    }
    EXPECT_EQ(read(RejectionVariant::quote(), id).text("Status"), QStringLiteral("Processing"));
    EXPECT_EQ(notices, 2); // the claim and the rejection
    const QList<Record> queued = tasks();
    ASSERT_EQ(queued.size(), 1);
    const Record &t = queued.first();
    EXPECT_EQ(t.text("TaskType"), QStringLiteral("WebQuote"));
    EXPECT_EQ(t.text("TaskRequest"), QStringLiteral("Reject"));
    EXPECT_EQ(t.toLong("TaskID"), 58001);
    EXPECT_EQ(t.toLong("ParentID"), 31);
    EXPECT_EQ(t.text("TaskUser"), QStringLiteral("JS"));
    EXPECT_EQ(t.text("Description"), QStringLiteral("We do not print on fabric."));
    EXPECT_EQ(t.toLong("Notify"), 0);
    EXPECT_EQ(t.toLong("WebHistory"), 80000);
    EXPECT_EQ(t.text("Status"), QStringLiteral("Pending"));
}

TEST_P(Rejection, leavingWithoutOkGivesBackTheStatusAsItWas)
{
    struct Case
    {
        const char *status;
        bool unlock; // claimed elsewhere: Unlock, else Esc
        bool opens;
        const char *after;
    };
    const Case cases[] = {
        { "Pending", false, true, "Pending" }, { "Waiting", false, true, "Waiting" },
        { "Processing", true, true, "Pending" }, // taken over after a crash: freed on Cancel
        { "Processing", false, false, "Processing" }, // Esc is Cancel: another workstation's claim stays
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status + std::string(c.unlock ? " unlock" : ""));
        const Record request = quoteRequest(QLatin1String(c.status));
        if (c.unlock)
            prompter.answer(2);
        else if (!c.opens)
            prompter.pressEscape();
        {
            auto r = rejection(RejectionVariant::quote(), request);
            EXPECT_EQ(r->open(), c.opens);
            r->close();
            EXPECT_EQ(r->response(), Response::Cancelled);
        }
        EXPECT_EQ(read(RejectionVariant::quote(), request.toLong("QuoteID")).text("Status"), QLatin1String(c.after));
    }
    EXPECT_TRUE(tasks().isEmpty());
}

TEST_P(Rejection, aTaskThatCannotBeStoredKeepsTheWindowTheReasonAndTheClaim)
{
    const Record request = quoteRequest();
    auto r = rejection(RejectionVariant::quote(), request);
    ASSERT_TRUE(r->open());
    r->setComments(QStringLiteral("Artwork missing"));
    const auto &def = bizlib::Dictionary::instance().require(QStringLiteral("WebTask"));
    ASSERT_TRUE(db().exec(QStringLiteral("DROP TABLE %1").arg(def.sqlTable())).isOk());

    EXPECT_FALSE(r->ok());
    EXPECT_EQ(r->response(), Response::Cancelled);
    EXPECT_EQ(r->comments(), QStringLiteral("Artwork missing"));
    EXPECT_TRUE(r->claim()->isHeld());
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("NOT sent")));
    EXPECT_EQ(read(RejectionVariant::quote(), request.toLong("QuoteID")).text("Status"), QStringLiteral("Processing"));
    r->close();
    EXPECT_EQ(read(RejectionVariant::quote(), request.toLong("QuoteID")).text("Status"), QStringLiteral("Pending"));
}

TEST_P(Rejection, aPhraseFromTheListFillsOverwritesAppendsOrLeavesTheReason)
{
    add("PHRASE",
        { { "PhraseTitle", "Fabric" }, { "PhraseText", "No fabric printing.  " }, { "Category", "Rejection" },
            { "Other", 1 } });
    add("PHRASE", { { "PhraseTitle", "Not other" }, { "PhraseText", "x" }, { "Category", "Rejection" } });
    add("PHRASE",
        { { "PhraseTitle", "Other category" }, { "PhraseText", "y" }, { "Category", "Notes" }, { "Other", 1 } });
    struct Case
    {
        QString before;
        int answer; // 1 Overwrite, 2 Append, 3 Cancel; 0: not asked
        QString after;
    };
    const QString long510(510, u'a');
    const Case cases[] = {
        { QString(), 0, QStringLiteral("No fabric printing.") },
        { QStringLiteral("Old text"), 1, QStringLiteral("No fabric printing.") },
        { QStringLiteral("Old text  "), 2, QStringLiteral("Old text, No fabric printing.") },
        { QStringLiteral("Old text"), 3, QStringLiteral("Old text") },
        { long510, 2, long510 + QStringLiteral(", ") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.before.left(20).toStdString());
        auto r = rejection(RejectionVariant::quote(), quoteRequest());
        ASSERT_TRUE(r->open());
        ASSERT_EQ(r->phrases().size(), 1);
        r->setComments(c.before);
        const int asked = prompter.shown().size();
        if (c.answer)
            prompter.answer(c.answer);
        EXPECT_EQ(r->pickPhrase(0), c.answer != 3);
        EXPECT_EQ(r->comments(), c.after);
        EXPECT_EQ(r->phraseTitle(), QStringLiteral("Fabric"));
        ASSERT_EQ(prompter.shown().size(), asked + (c.answer ? 1 : 0));
        if (c.answer) {
            EXPECT_EQ(prompter.shown().last().icon, bizlib::Prompter::Icon::Exclamation);
        }
        r->reset();
        EXPECT_TRUE(r->comments().isEmpty() && r->phraseTitle().isEmpty());
    }
}

TEST_P(Rejection, aPhraseAddedFromTheListIsARejectionCommentAndIsOffered)
{
    auto r = rejection(RejectionVariant::quote(), quoteRequest());
    ASSERT_TRUE(r->open());
    for (const char *title : { "Too late", "Too big" }) {
        forms.answerForm({ { QStringLiteral("PhraseTitle"), QLatin1String(title) },
            { QStringLiteral("PhraseText"), QStringLiteral("Sorry.") } });
        int added = -1;
        ASSERT_EQ(r->addPhrase(&added), Response::Completed);
        ASSERT_GE(added, 0);
        EXPECT_EQ(r->phrases().at(added).title, QLatin1String(title));
    }
    forms.cancelForm();
    EXPECT_EQ(r->addPhrase(), Response::Cancelled);
    EXPECT_EQ(r->phrases().size(), 2);
    bizlib::Table options(db(), QStringLiteral("ListOptions"));
    qint64 count = 0;
    ASSERT_TRUE(options.count(&count).isOk());
    EXPECT_EQ(count, 1); // "Comments" under "Rejection", once
}

TEST_P(Rejection, aPrepaidOrderWithAPaymentNoteWarnsBeforeTheClaim)
{
    for (const char *firstNoteClass : { "payment", "Other" }) {
        SCOPED_TRACE(firstNoteClass);
        const Record order
            = add("WebOrders", { { "WebID", 7001 }, { "ClientID", 4 }, { "Prepaid", 1 }, { "Status", "Pending" } });
        const qint32 id = order.toLong("OrderID");
        add("WebNotes", { { "OrderID", id }, { "Subject", "A" }, { "Class", firstNoteClass } });
        add("WebNotes", { { "OrderID", id }, { "Subject", "B" }, { "Class", "Payment" } });
        const bool warns = QLatin1String(firstNoteClass) == QLatin1String("payment");
        const int asked = prompter.shown().size();
        prompter.answer(2); // No
        auto r = rejection(RejectionVariant::order(), order);
        EXPECT_EQ(r->open(), !warns);
        if (warns) {
            EXPECT_EQ(prompter.shown().last().text, RequestRejection::prepaidQuestion());
            EXPECT_EQ(prompter.shown().last().defaultButton, 2);
            EXPECT_EQ(read(RejectionVariant::order(), id).text("Status"), QStringLiteral("Pending"));
        } else {
            EXPECT_EQ(prompter.shown().size(), asked);
            ASSERT_TRUE(r->ok());
            EXPECT_EQ(tasks().last().text("TaskType"), QStringLiteral("WebOrder"));
            EXPECT_EQ(tasks().last().toLong("TaskID"), 7001);
        }
    }
}

TEST_P(Rejection, aSignupIsRejectedWithItsResponseEvenAnEmptyOne)
{
    const Record signup = add("WebSignup", { { "Status", "Pending" } });
    const qint32 id = signup.toLong("WebSignupID");
    auto r = rejection(RejectionVariant::signup(), signup);
    ASSERT_TRUE(r->open());
    EXPECT_TRUE(r->phrases().isEmpty());
    ASSERT_TRUE(r->ok());
    r->close();
    const Record after = read(RejectionVariant::signup(), id);
    EXPECT_EQ(after.text("Status"), QStringLiteral("Rejected"));
    EXPECT_EQ(after.text("ResponseBy"), QStringLiteral("JS"));
    EXPECT_EQ(after.toLong("ResponseDate"), bizlib::DateTime::today());
    ASSERT_EQ(tasks().size(), 1);
    EXPECT_EQ(tasks().first().text("TaskType"), QStringLiteral("WebSignup"));
    EXPECT_EQ(tasks().first().toLong("TaskID"), id);
    EXPECT_TRUE(tasks().first().text("Description").isEmpty());
}

// OK writes the request's new status and queues the webtask in one transaction, only while this
// window still holds the claim: taken over elsewhere, nothing is queued and the user reads "NOT
// sent" with who took it; a task that cannot be stored leaves no "Rejected" behind.
TEST_P(Rejection, okThatCannotFinishQueuesNothingAndChangesNoStatus)
{
    for (const RejectionVariant *v : { &RejectionVariant::quote(), &RejectionVariant::signup() }) {
        for (const bool takenOver : { true, false }) {
            SCOPED_TRACE(v->table.toStdString() + (takenOver ? " taken over" : " task refused"));
            const Record request = v->kind == RejectionVariant::Kind::Signup ? add("WebSignup", { { "Status", "Pending" } })
                                                                             : quoteRequest();
            const qint32 id = request.toLong(v->kind == RejectionVariant::Kind::Signup ? "WebSignupID" : "QuoteID");
            auto r = rejection(*v, request);
            ASSERT_TRUE(r->open());
            r->setComments(QStringLiteral("No"));
            const auto other = testDb().openSecond();
            testsupport::ScriptedPrompter unlock;
            unlock.answer(2);
            std::unique_ptr<data::RequestClaim> takeover;
            const auto &tasksDef = bizlib::Dictionary::instance().require(QStringLiteral("WebTask"));
            if (takenOver) {
                takeover = std::make_unique<data::RequestClaim>(
                    *other, *v->claim, id, &unlock, std::function<void()> {}, QStringLiteral("AB"));
                ASSERT_EQ(takeover->claim(false), data::RequestClaim::Outcome::Unlocked);
            } else {
                ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE %1 RENAME TO \"webtask_gone\"").arg(tasksDef.sqlTable()))
                                .isOk());
            }
            r->ok();
            EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("NOT sent"))) << prompter.lastText().toStdString();
            if (takenOver) {
                EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("taken over by AB")))
                    << prompter.lastText().toStdString();
            }
            EXPECT_EQ(read(*v, id).text("Status"), QStringLiteral("Processing"));
            if (!takenOver) {
                ASSERT_TRUE(
                    db().exec(QStringLiteral("ALTER TABLE \"webtask_gone\" RENAME TO %1").arg(tasksDef.sqlTable())).isOk());
            }
            EXPECT_TRUE(tasks().isEmpty());
            r->close();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, Rejection, testsupport::allEngines(), testsupport::engineName);

} // namespace
