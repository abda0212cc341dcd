#include "app/Frame.h"
#include "app/TrayNotifications.h"
#include "app/ui/ProcedureInfoWindow.h"
#include "app/ui/WebFrame.h"
#include "bizlib/Table.h"
#include "bizlib/ui/CalendarDialog.h"
#include "bizlib/ui/LogonDialog.h"
#include "config/TraceLog.h"
#include "config/WindowEvents.h"
#include "data/ui/WebPurge.h"
#include "notes/ui/PhraseTools.h"
#include "quotes/QuoteProcessing.h"
#include "quotes/RequestRejection.h"
#include "quotes/ui/WebQuoteProcess.h"
#include "quotes/ui/WebQuoteReject.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using app::Frame;

TEST(TrayBalloons, textsTitlesAndSoundFollowTheEvent)
{
    auto b = app::balloonFor(config::NewQuotes, QStringLiteral("https://print.example.com  "));
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(b->text, QStringLiteral("New web quote(s) received... click here to\r\ndisplay the web console."));
    EXPECT_EQ(b->title, QStringLiteral("Web console: https://print.example.com"));
    EXPECT_TRUE(b->silent);
    EXPECT_EQ(b->msecs, 1500);
    b = app::balloonFor(config::NewOrdersWithSound, {});
    EXPECT_EQ(b->text, QStringLiteral("New web order(s) received... click here to\r\ndisplay the web console."));
    EXPECT_FALSE(b->silent);
    b = app::balloonFor(config::NewSignups, {}, [](const QString &s) { return s.toUpper(); });
    EXPECT_EQ(b->text, QStringLiteral("NEW WEB REGISTRATION(S) RECEIVED... CLICK HERE TO\r\nDISPLAY THE WEB CONSOLE."));
    EXPECT_FALSE(b->warning);
    b = app::balloonFor(config::WebmonStalled, {});
    EXPECT_TRUE(b->text.startsWith(QStringLiteral("Webtasks are waiting")));
    EXPECT_TRUE(b->warning);
    EXPECT_FALSE(app::balloonFor(config::StartQuotePhrases, {}).has_value());
    EXPECT_EQ(app::trayToolTip(QStringLiteral("Northgate  "), QStringLiteral("/Srv/Data")),
              QStringLiteral("Web console: Northgate/srv/data"));
    EXPECT_EQ(app::trayToolTip(QStringLiteral("Northgate"), QStringLiteral("/d"), QStringLiteral("No answer")),
              QStringLiteral("Web console: Northgate/d\nNo answer"));
}

TEST(TrayRetry, triesAgainOnlyAfterFiveSecondsOnTheMonotonicClock)
{
    testsupport::FakeClock clock;
    app::TrayRetry retry(clock);
    EXPECT_FALSE(retry.due());
    retry.attempted(false);
    clock.advance(5000);
    EXPECT_FALSE(retry.due());
    clock.advance(1);
    EXPECT_TRUE(retry.due());
    retry.attempted(true);
    EXPECT_FALSE(retry.pending());
}

class FrameOpening : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const char *table : {"SYCONF", "DEFAULTS"}) {
            bizlib::Table t(db(), QString::fromLatin1(table));
            bizlib::Record r;
            ASSERT_TRUE(t.prime(r).isOk());
            ASSERT_TRUE(t.insert(r).isOk());
        }
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.paths.localIni = testDb().tempPath() + QStringLiteral("/ws.ini");
        ctx.paths.windowIni = testDb().tempPath() + QStringLiteral("/windows.ini");
        ctx.settings.webUrl = QStringLiteral("https://print.example.com");
    }
    config::AppContext ctx;
    testsupport::ScriptedPrompter prompter;
};

TEST_P(FrameOpening, withoutWebsiteEndsWithTheWarningUnlessSetup)
{
    ctx.settings.webUrl.clear();
    Frame frame(ctx, {});
    EXPECT_EQ(frame.open(), Frame::OpenResult::NotConfigured);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].caption, QStringLiteral("Program not configured"));
    EXPECT_TRUE(prompter.shown()[0].text.startsWith(QStringLiteral("WARNING: This version of web console")));
    EXPECT_EQ(prompter.beeps().value(0), bizlib::Prompter::Icon::Exclamation);
    EXPECT_FALSE(frame.isOpen());

    ctx.setupSwitch = true;
    Frame setup(ctx, {});
    EXPECT_EQ(setup.open(), Frame::OpenResult::Open);
}

TEST_P(FrameOpening, refusedLogonOrMissingDefaultsDoNotOpen)
{
    Frame refused(ctx, [](config::AppContext &) { return false; });
    EXPECT_EQ(refused.open(), Frame::OpenResult::Refused);
    ASSERT_TRUE(db().exec(QStringLiteral("DELETE FROM \"defaults\"")).isOk());
    Frame noDefaults(ctx, {});
    EXPECT_EQ(noDefaults.open(), Frame::OpenResult::Refused);
}

TEST_P(FrameOpening, frameWindowKeepsOneMonitorAndAsksBeforeClosing)
{
    Frame frame(ctx, {});
    ASSERT_EQ(frame.open(), Frame::OpenResult::Open);
    testsupport::FakeClock clock;
    app::ui::WebFrame window(ctx, frame, clock);
    window.setTrayAvailability([] { return false; });
    window.openConsole();
    auto *first = window.console();
    ASSERT_NE(first, nullptr);
    window.openConsole();
    EXPECT_EQ(window.console(), first);
    EXPECT_EQ(first->headerTitle(), QStringLiteral("Web console - https://print.example.com"));

    // No tray yet: a balloon is still remembered, the icon retried after five seconds.
    window.postEvent(config::NewOrders);
    ASSERT_TRUE(window.lastBalloon().has_value());
    EXPECT_TRUE(window.trayRetry().pending());

    // A phrase toolbox request while one runs starts nothing new.
    window.postEvent(config::StartQuotePhrases);
    EXPECT_NE(ctx.glo.phraseToolboxThread, 0);
    EXPECT_TRUE(frame.phraseToolboxFor(config::StartOrderPhrases).isEmpty());

    prompter.answer(2); // No
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(ctx.closeConfirmed);
    EXPECT_EQ(prompter.shown().last().defaultButton, 2);
}

TEST_P(FrameOpening, windows_reportTheirEntryAndExitToTheTraceLog)
{
    config::TraceLog trace;
    ctx.trace = &trace;
    auto running = [&trace] {
        QStringList names;
        for (const config::RunningProcedure &p : trace.runningProcedures())
            names << p.procedure;
        return names;
    };
    Frame frame(ctx, {});
    ASSERT_EQ(frame.open(), Frame::OpenResult::Open);
    testsupport::FakeClock clock;
    {
        app::ui::WebFrame window(ctx, frame, clock);
        window.setTrayAvailability([] { return false; });
        window.openConsole();
        EXPECT_EQ(running(), (QStringList{QStringLiteral("WebFrame"), QStringLiteral("WebConsole")}));
        {
            bizlib::ui::LogonDialog logon(&window, &trace);
            bizlib::ui::CalendarDialog calendar(QStringLiteral("Date"), QDate(2024, 5, 1), &window, &trace);
            quotes::QuoteProcessing::Services quoting;
            quoting.ctx = &ctx;
            quotes::QuoteProcessing processing(
                quoting, bizlib::Table(*ctx.db, QStringLiteral("WebQuotes")).newRecord(), false, false);
            quotes::ui::WebQuoteProcess quoteWindow(processing, {}, &window, &trace);
            quotes::RequestRejection rejection(
                { &ctx }, quotes::RejectionVariant::quote(), processing.request());
            quotes::ui::WebQuoteReject rejectWindow(rejection, nullptr, {}, &window, &trace);
            data::ui::WebPurge::Services purge;
            purge.db = ctx.db;
            purge.trace = &trace;
            data::ui::WebPurge purgeWindow(purge, &window);
            std::unique_ptr<notes::ui::PhraseTools> toolbox(notes::ui::PhraseTools::start(ctx, {}));
            app::ui::ProcedureInfoWindow info(QStringLiteral("Procedure:\tWebFrame"), &trace, &window);
            EXPECT_EQ(running().mid(2),
                (QStringList { QStringLiteral("Logon"), QStringLiteral("Calendar"), QStringLiteral("WebQuoteProcess"),
                    QStringLiteral("WebQuoteReject"), QStringLiteral("WebPurge"), QStringLiteral("PhraseTools"), QStringLiteral("ProcedureInformation") }));
            EXPECT_EQ(trace.currentProcedure()->procedure, QStringLiteral("ProcedureInformation"));
        }
        EXPECT_EQ(running().size(), 2);
    }
    EXPECT_TRUE(running().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, FrameOpening, testing::Values(testsupport::Engine::SQLite), testsupport::engineName);
