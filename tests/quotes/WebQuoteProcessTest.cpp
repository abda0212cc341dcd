#include "quotes/ui/WebQuoteProcess.h"

#include "QuoteFixture.h"
#include "bizlib/ui/RecordFormDialog.h"
#include "config/WindowEvents.h"
#include "data/ClaimBook.h"
#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"
#include "demo/DemoData.h"
#include "support/ModalSteps.h"

#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

// The processing window itself, as the console runs it (WebQuoteProcess::run with the program's
// own dialogs), on the demo database: what its timer waits for, how closing it gives the request
// back, and what it does with a request another workstation holds.

using bizlib::Record;
using bizlib::forms::Response;
using bizlib::ui::RecordFormDialog;
using data::ClaimVariant;
using data::RequestClaim;
using quotes::ui::WebQuoteProcess;
using testsupport::waitUntil;
using testsupport::whenModal;

namespace {

class ProcessWindow : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const bizlib::Status st = demo::DemoData(db()).fillAll();
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.frame = &frame;
        ctx.glo.user.userCode = QStringLiteral("JS");
        ctx.glo.user.userName = QStringLiteral("Jane Sutton");
        ctx.brevix.globalData = files.filePath(QStringLiteral("data"));
        ctx.paths.localIni = files.filePath(QStringLiteral("ws.ini"));
        ctx.paths.windowIni = files.filePath(QStringLiteral("windows.ini"));
        ctx.settings.autoSaveAttachments = false;
        // With the phrase toolbox asked for and none running, the window holds the request and
        // waits: the state in which a user can close it.
        ctx.settings.quotePhrases = true;
    }

    Record requestTitled(const char *title)
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(QStringLiteral("SELECT \"quoteid\" FROM \"webquotes\" WHERE \"title\" = ?"),
                            { QLatin1String(title) }, &q)
                        .isOk());
        EXPECT_TRUE(q.next()) << title;
        return read(q.value(0).toInt());
    }
    Record read(qint32 id)
    {
        bizlib::Table requests(db(), QStringLiteral("WebQuotes"));
        Record r = requests.newRecord();
        return requests.fetch(QStringLiteral("QUOTEIDKEY"), { id }, r) ? r : Record();
    }
    QString status(const Record &request) { return read(request.toLong("QuoteID")).text("Status"); }
    qint64 count(const QString &sql)
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(sql, {}, &q).isOk()) << sql.toStdString();
        return q.next() ? q.value(0).toLongLong() : -1;
    }
    qint64 claimRows() { return count(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\"")); }
    qint64 quotes() { return count(QStringLiteral("SELECT COUNT(*) FROM \"quotes\"")); }
    data::ClaimHolder holder(const Record &request)
    {
        data::ClaimHolder h;
        data::ClaimBook(db()).holderOf(QStringLiteral("WebQuotes"), request.toLong("QuoteID"), &h);
        return h;
    }
    // Whether `request` is claimed: the window has opened and taken it.
    std::function<bool(WebQuoteProcess *)> claimed(const Record &request)
    {
        return [this, request](WebQuoteProcess *) { return status(request) == QStringLiteral("Processing"); };
    }

    QTemporaryDir files;
    testsupport::ScriptedPrompter prompter;
    config::AppContext ctx;
    quotetest::FakeFrame frame { ctx };
};

// The window's timer starts the processing once it may start: with the phrase toolbox asked for,
// only when the toolbox has registered itself. Until then the window stays open holding the
// request and shows no form; then the quote form comes up by itself, and a Cancel there ends the
// run, closes the window and gives the request back with nothing made.
TEST_P(ProcessWindow, theTimerStartsTheRoutineOnlyOnceThePhraseToolboxRuns)
{
    const Record request = requestTitled("A5 flyers - Summer Gala");
    ASSERT_EQ(request.text("Status"), QStringLiteral("Pending"));
    const qint64 quotesBefore = quotes();
    QString caption;
    bool formBeforeToolbox = false;
    QString formTitle;
    whenModal<WebQuoteProcess>(
        [&](WebQuoteProcess *window) {
            caption = window->findChild<QLabel *>(QStringLiteral("caption"))->text();
            whenModal<RecordFormDialog>([&](RecordFormDialog *form) {
                formTitle = form->windowTitle();
                formBeforeToolbox = ctx.glo.phraseToolboxThread == 0;
                QTest::keyClick(form, Qt::Key_Escape);
            });
            // Several ticks go by; then the toolbox registers itself, as it does when it has started.
            QTimer::singleShot(5 * WebQuoteProcess::kTimerMsecs, window, [this] { ctx.glo.phraseToolboxThread = 42; });
        },
        claimed(request));
    quotes::QuoteOutcome outcome;
    const QString &failure = outcome.failure;
    EXPECT_EQ(WebQuoteProcess::run(ctx, request, false, false, nullptr, &outcome), Response::Cancelled);

    EXPECT_EQ(caption,
        QStringLiteral("Processing web quote request %1 (web reference %2)...")
            .arg(request.toLong("Number"))
            .arg(request.toLong("WebID")));
    EXPECT_FALSE(formBeforeToolbox) << "the routine started before the toolbox ran";
    EXPECT_EQ(frame.posted, QList<int> { config::StartQuotePhrases });
    EXPECT_FALSE(formTitle.isEmpty()) << "the quote form never came up";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the window closed by itself";
    EXPECT_EQ(ctx.glo.phraseToolboxThread, 0) << "the toolbox ends with the window";
    EXPECT_EQ(status(request), QStringLiteral("Pending"));
    EXPECT_EQ(claimRows(), 0);
    EXPECT_EQ(quotes(), quotesBefore);
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
}

// However the user closes the window before the routine has run - its Close button, Esc, the
// close box - the claim is released: the request gets back the status it had when the window
// opened, and no claim row is left.
TEST_P(ProcessWindow, closingTheWindowGivesTheRequestBackWithTheStatusItHad)
{
    struct Case
    {
        const char *how;
        const char *title;
        const char *statusBefore;
        std::function<void(WebQuoteProcess *)> close;
    };
    const QList<Case> cases {
        { "Close button", "A5 leaflets - open evening", "Pending",
            [](WebQuoteProcess *w) {
                QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("close")), Qt::LeftButton);
            } },
        { "Esc", "Beer mats - Autumn Ale", "Waiting", [](WebQuoteProcess *w) { QTest::keyClick(w, Qt::Key_Escape); } },
        { "close box", "Swing tags with eyelet and string", "New", [](WebQuoteProcess *w) { w->close(); } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        Record request = requestTitled(c.title);
        request.setText("Status", QLatin1String(c.statusBefore));
        ASSERT_TRUE(bizlib::Table(db(), QStringLiteral("WebQuotes")).update(request).isOk());
        qint64 heldWhileOpen = -1;
        bool closed = false;
        whenModal<WebQuoteProcess>(
            [&](WebQuoteProcess *window) {
                heldWhileOpen = claimRows();
                c.close(window);
                closed = !window->isVisible();
            },
            claimed(request));
        EXPECT_EQ(WebQuoteProcess::run(ctx, request, false, false), Response::Cancelled);
        EXPECT_EQ(heldWhileOpen, 1);
        EXPECT_TRUE(closed);
        EXPECT_EQ(status(request), QLatin1String(c.statusBefore));
        EXPECT_EQ(claimRows(), 0);
    }
    EXPECT_TRUE(prompter.shown().isEmpty());
}

// A request another workstation holds: the window asks, naming the holder, and Cancel closes it
// without writing anything. A request another workstation takes over (Unlock) while the window is
// open: closing the window writes nothing over the new holder's claim, and the user is told.
TEST_P(ProcessWindow, aRequestHeldElsewhereIsLeftAsItIs)
{
    const ClaimVariant &variant = ClaimVariant::quoteProcessing();
    const auto otherDb = testDb().openSecond();
    {
        const Record request = requestTitled("Business cards - new negotiator");
        RequestClaim theirs(*otherDb, variant, request.toLong("QuoteID"), nullptr, {}, QStringLiteral("AB"));
        ASSERT_EQ(theirs.claim(false), RequestClaim::Outcome::Claimed);
        prompter.answer(1); // Cancel
        EXPECT_EQ(WebQuoteProcess::run(ctx, request, false, false), Response::Cancelled);
        ASSERT_EQ(prompter.shown().size(), 1);
        const auto &asked = prompter.shown().first();
        EXPECT_EQ(asked.caption, QStringLiteral("Already being processed"));
        EXPECT_EQ(asked.buttons, QStringLiteral("&Cancel|&Unlock"));
        EXPECT_TRUE(asked.text.startsWith(variant.message + QStringLiteral("\n\nHeld by AB")))
            << asked.text.toStdString();
        EXPECT_EQ(status(request), QStringLiteral("Processing"));
        EXPECT_EQ(holder(request).owner, theirs.owner());
        EXPECT_EQ(claimRows(), 1);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        ASSERT_TRUE(theirs.release().isOk());
    }

    const Record request = requestTitled("Business cards - Liffey studio (4 designers)");
    testsupport::ScriptedPrompter unlock;
    unlock.answer(2);
    RequestClaim takeover(*otherDb, variant, request.toLong("QuoteID"), &unlock, {}, QStringLiteral("AB"));
    whenModal<WebQuoteProcess>(
        [&](WebQuoteProcess *window) {
            EXPECT_EQ(takeover.claim(false), RequestClaim::Outcome::Unlocked);
            QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("close")), Qt::LeftButton);
        },
        claimed(request));
    const qsizetype shownBefore = prompter.shown().size();
    quotes::QuoteOutcome outcome;
    const QString &failure = outcome.failure;
    EXPECT_EQ(WebQuoteProcess::run(ctx, request, false, false, nullptr, &outcome), Response::Cancelled);
    EXPECT_EQ(status(request), QStringLiteral("Processing"));
    EXPECT_EQ(holder(request).owner, takeover.owner());
    EXPECT_TRUE(failure.contains(QStringLiteral("taken over by AB"))) << failure.toStdString();
    ASSERT_EQ(prompter.shown().size(), shownBefore + 1);
    EXPECT_EQ(prompter.lastText(), failure);
    ASSERT_TRUE(takeover.release().isOk());
    EXPECT_EQ(status(request), QStringLiteral("Pending"));
}

INSTANTIATE_TEST_SUITE_P(Engines, ProcessWindow, testsupport::allEngines(), testsupport::engineName);

} // namespace
