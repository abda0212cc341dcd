#include "console/general/RequestActions.h"

#include "bizlib/Table.h"
#include "bizlib/security/Security.h"
#include "config/TraceLog.h"
#include "console/Monitor.h"
#include "console/ScriptedDesktop.h"
#include "console/WebRows.h"
#include "console/general/RequestListSet.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>

using namespace console;
using consoletest::addClient;
using consoletest::addOrder;
using consoletest::addQuote;
using consoletest::addSignup;
using Icon = bizlib::Prompter::Icon;
using Outcome = RequestActions::Outcome;

namespace {

class RequestActionsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isAvailable());
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.trace = &trace;
        ctx.paths.localIni = dir.filePath(QStringLiteral("ws.ini"));
        ctx.brevix.globalData = dir.filePath(QStringLiteral("data"));
        const qint32 client = addClient(db(), QStringLiteral("Mine Ltd"), QStringLiteral("JS"));
        quoteId = addQuote(db(), 1, client);
        orderId = addOrder(db(), 1, client);
        signupId = addSignup(db(), QStringLiteral("Gareth Lloyd"), QStringLiteral("Pending"), QStringLiteral("Web"));
    }

    bizlib::Database &db() { return data.db(); }

    void open(QList<qint32> rights = {})
    {
        bizlib::security::Security security(db(), bizlib::security::PasswordHasher::Cost::minimal());
        qint32 id = 0;
        ASSERT_TRUE(
            security.addUser({ QStringLiteral("JS"), QStringLiteral("JS User"), {}, {}, false, rights }, &id).isOk());
        ctx.glo.user.userId = id;
        ctx.glo.user.userCode = QStringLiteral("JS");
        lists = std::make_unique<RequestListSet>(db(), ctx.glo.user.userCode);
        monitor = std::make_unique<Monitor>(ctx, clock, *lists);
        monitor->open();
        actions = std::make_unique<RequestActions>(ctx, *lists, *monitor, desktop, [this](const auto &) {
            ++noteEdits;
            return bizlib::forms::Response::Cancelled;
        });
    }

    bizlib::Record row(const char *table, qint32 id)
    {
        bizlib::Table t(db(), QString::fromLatin1(table));
        bizlib::Record r = t.newRecord();
        EXPECT_TRUE(t.fetch(t.def().primary().name, { id }, r).isOk());
        return r;
    }
    bizlib::Record quote() { return row("WebQuotes", quoteId); }
    bizlib::Record order() { return row("WebOrders", orderId); }
    bizlib::Record signup() { return row("WebSignup", signupId); }

    testsupport::TestDatabase data { testsupport::Engine::SQLite };
    QTemporaryDir dir;
    config::AppContext ctx;
    config::TraceLog trace;
    testsupport::ScriptedPrompter prompter;
    testsupport::FakeClock clock;
    consoletest::ScriptedDesktop desktop;
    std::unique_ptr<RequestListSet> lists;
    std::unique_ptr<Monitor> monitor;
    std::unique_ptr<RequestActions> actions;
    qint32 quoteId = 0, orderId = 0, signupId = 0;
    int noteEdits = 0;
};

TEST_F(RequestActionsTest, eachActionRunsItsWindowOnTheRequestReadAgain_orNamesTheWindowNotBuilt)
{
    open();
    QStringList ran; // window, request and whether the countdown was held
    RequestActions::Windows windows;
    windows.processQuote = [&](const bizlib::Record &r, bool automatic, bool isRfq, quotes::QuoteOutcome *outcome) {
        ran << QStringLiteral("process %1 %2 %3 held=%4")
                   .arg(r.text("Title"))
                   .arg(automatic)
                   .arg(isRfq)
                   .arg(monitor->cycle().isHeld());
        if (outcome)
            outcome->quoteRef = QStringLiteral("24108");
        return bizlib::forms::Response::Completed;
    };
    windows.rejectQuote = [&](const bizlib::Record &r) {
        ran << QStringLiteral("reject %1 held=%2").arg(r.text("Title")).arg(monitor->cycle().isHeld());
        return bizlib::forms::Response::Completed;
    };
    QStringList notices; // what the status bar is told
    actions->setNotice([&](const QString &summary) { notices << summary; });
    for (const auto &[slot, name] : { std::pair { &windows.processSignup, "process signup" },
             std::pair { &windows.rejectSignup, "reject signup" } })
        *slot = [&, name](const bizlib::Record &) {
            ran << QStringLiteral("%1 held=%2").arg(QLatin1String(name)).arg(monitor->cycle().isHeld());
        };
    windows.rejectOrder = [&](const bizlib::Record &r) {
        ran << QStringLiteral("reject order %1 held=%2").arg(r.toLong("WebID")).arg(monitor->cycle().isHeld());
    };
    actions->setWindows(windows);
    // Another workstation retitles the quote request after it was listed: the window gets the
    // request as it is now.
    const bizlib::Record listed = quote();
    bizlib::Table quotes(db(), QStringLiteral("WebQuotes"));
    bizlib::Record changed = listed;
    changed.setText("Title", QStringLiteral("Retitled"));
    ASSERT_TRUE(quotes.update(changed).isOk());

    struct Case
    {
        RequestAction action;
        bizlib::Record selected;
        QString window; // what ran, or empty
        QString message; // what the user was told, or empty
    };
    const QList<Case> cases {
        { RequestAction::ProcessQuote, listed, "process Retitled 0 0 held=1", {} },
        { RequestAction::RejectQuote, listed, "reject Retitled held=1", {} },
        { RequestAction::ProcessSignup, signup(), "process signup held=1", {} },
        { RequestAction::RejectSignup, signup(), "reject signup held=0", {} }, // the countdown goes on
        // Not a prepay order: the check lets it through to the window.
        { RequestAction::ProcessOrder, order(), {}, "Web order processing" },
        { RequestAction::RejectOrder, order(), QStringLiteral("reject order %1 held=1").arg(order().toLong("WebID")), {} },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(requestActionName(c.action).toStdString());
        ran.clear();
        const qsizetype shown = prompter.shown().size();
        EXPECT_EQ(actions->run(c.action, &c.selected), Outcome::Ran);
        EXPECT_EQ(ran, c.window.isEmpty() ? QStringList() : QStringList { c.window });
        if (c.message.isEmpty()) {
            EXPECT_EQ(prompter.shown().size(), shown);
        } else {
            ASSERT_EQ(prompter.shown().size(), shown + 1);
            EXPECT_EQ(
                prompter.lastText(), c.message + QStringLiteral(" is not part of this version of the web console."));
        }
    }

    const qint32 number = listed.toLong("Number");
    EXPECT_EQ(notices,
        (QStringList { QStringLiteral("Quote 24108 made from web request %1").arg(number),
            QStringLiteral("Web quote request %1 rejected").arg(number) }));

    // Automatic processing runs the same window without a user; without the window it fails
    // with the reason.
    ran.clear();
    EXPECT_EQ(actions->processQuoteAutomatically(quote(), true, nullptr), bizlib::forms::Response::Completed);
    EXPECT_EQ(ran, QStringList { "process Retitled 1 1 held=1" });
    actions->setWindows({});
    quotes::QuoteOutcome failed;
    EXPECT_EQ(actions->processQuoteAutomatically(quote(), false, &failed), bizlib::forms::Response::Cancelled);
    EXPECT_EQ(failed.failure, QStringLiteral("Web quote processing is not part of this version of the web console."));
}

TEST_F(RequestActionsTest, paidNeedsTheRight_andARequestGoneSinceItWasListedRunsNothing)
{
    open();
    QList<RequestAction> ran;
    actions->setHandler([&](RequestAction a, const bizlib::Record &) { ran << a; });
    const bizlib::Record listedOrder = order();
    EXPECT_EQ(actions->run(RequestAction::MarkPaid, &listedOrder), Outcome::Refused);
    EXPECT_EQ(actions->run(RequestAction::ProcessQuote, nullptr, true), Outcome::Gone);

    const bizlib::Record listed = quote();
    bizlib::Table quotes(db(), QStringLiteral("WebQuotes"));
    ASSERT_TRUE(quotes.remove(listed).isOk());
    EXPECT_EQ(actions->run(RequestAction::RejectQuote, &listed), Outcome::Gone);
    EXPECT_TRUE(prompter.beeps().isEmpty()) << "only a double-click beeps";
    EXPECT_EQ(actions->run(RequestAction::ProcessQuote, &listed, true), Outcome::Gone);
    EXPECT_EQ(prompter.beeps(), QList<Icon> { Icon::Exclamation });
    EXPECT_TRUE(ran.isEmpty());
    EXPECT_TRUE(prompter.shown().isEmpty());

    // With the right, Paid runs.
    actions.reset();
    ctx.glo.user = {};
    bizlib::security::Security security(db(), bizlib::security::PasswordHasher::Cost::minimal());
    qint32 id = 0;
    ASSERT_TRUE(security
                    .addUser({ QStringLiteral("AB"), QStringLiteral("AB User"), {}, {}, false,
                                 { bizlib::security::Security::kRightMarkOrdersPaid } },
                        &id)
                    .isOk());
    ctx.glo.user.userId = id;
    actions = std::make_unique<RequestActions>(
        ctx, *lists, *monitor, desktop, [](const auto &) { return bizlib::forms::Response::Cancelled; });
    actions->setHandler([&](RequestAction a, const bizlib::Record &) { ran << a; });
    EXPECT_EQ(actions->run(RequestAction::MarkPaid, &listedOrder), Outcome::Ran);
    EXPECT_EQ(ran, QList<RequestAction> { RequestAction::MarkPaid });
}

TEST_F(RequestActionsTest, attachmentChangesShowInTheListAtOnce_andAPaymentNoteIsNeverEdited)
{
    open();
    const RequestRef owner = RequestRef::order(order());
    lists->setDetailRequest(owner);
    const QString file = dir.filePath(QStringLiteral("proof.pdf"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("pdf");
    f.close();
    desktop.choose({ file });
    actions->addAttachments(owner);
    ASSERT_EQ(lists->attachments().rowCount(), 1);
    prompter.answer(1); // Yes, delete it
    actions->deleteAttachment(lists->attachments().record(0));
    EXPECT_EQ(lists->attachments().rowCount(), 0);

    bizlib::Record payment = bizlib::Table(db(), QStringLiteral("WebNotes")).newRecord();
    payment.setText("Class", QStringLiteral("payment"));
    const qsizetype shown = prompter.shown().size();
    actions->deleteNote(payment);
    EXPECT_EQ(noteEdits, 0);
    EXPECT_EQ(prompter.shown().size(), shown + 1) << "refused with its message";
    actions->changeNote(payment);
    EXPECT_EQ(noteEdits, 1) << "changing it goes to the editor";
}

} // namespace
