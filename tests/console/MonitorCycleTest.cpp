#include "bizlib/NetRefresh.h"
#include "console/Monitor.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using console::Monitor;
using console::RequestLists;

namespace {

// Request lists that count what the monitor asks of them.
class CountingLists : public RequestLists
{
public:
    int resets = 0;
    int refreshResets = 0;
    Counts now;
    std::function<void()> onReset;
    void resetAll() override
    {
        ++resets;
        if (onReset)
            onReset();
    }
    void resetForRefresh(Focus) override { ++refreshResets; }
    Focus focus() const override { return Focus::Quotes; }
    Counts counts() const override { return now; }
};

class MonitorCycle : public testing::Test
{
protected:
    MonitorCycle()
    {
        ctx.settings.refreshInterval = 30;
        ctx.prompter = &prompter;
        ctx.paths.localIni = dir.filePath(QStringLiteral("ws.ini"));
        monitor.setAlertStep([this](const RequestLists::Counts &seen) {
            ++alerts;
            lastSeen = seen;
        });
    }

    QTemporaryDir dir;
    config::AppContext ctx;
    testsupport::ScriptedPrompter prompter;
    testsupport::FakeClock clock;
    CountingLists lists;
    Monitor monitor{ctx, clock, lists};
    int alerts = 0;
    RequestLists::Counts lastSeen;
};

TEST_F(MonitorCycle, countsDownFrom29AndRefreshesOnTheTickThatReachesZero)
{
    monitor.opened();
    const int afterOpen = lists.refreshResets;
    QStringList shown;
    QObject::connect(&monitor, &Monitor::countdownShown, [&](const QString &t) { shown << t; });
    for (int i = 0; i < 29; ++i) {
        clock.advance(1000);
        monitor.tick();
    }
    EXPECT_EQ(shown.first(), QStringLiteral("Refresh in: 29 secs."));
    EXPECT_EQ(shown.last(), QStringLiteral("Refresh in: 1 secs."));
    EXPECT_EQ(lists.refreshResets, afterOpen);
    clock.advance(1000);
    monitor.tick(); // reaches 0: shown, then the refresh, then the count starts again
    EXPECT_EQ(shown.last(), QStringLiteral("Refresh in: 0 secs."));
    EXPECT_EQ(lists.refreshResets, afterOpen + 1);
    EXPECT_EQ(alerts, 2);
    EXPECT_EQ(monitor.cycle().countdown(), 30);
    clock.advance(1000);
    monitor.tick();
    EXPECT_EQ(shown.last(), QStringLiteral("Refresh in: 29 secs."));
}

TEST_F(MonitorCycle, tickBeforeOpeningDoesNothingAndTheFirstTickAfterRunsAStatusRefresh)
{
    monitor.tick();
    EXPECT_FALSE(monitor.cycle().hasRefreshed());
    monitor.cycle().setOpened();
    monitor.tick();
    EXPECT_TRUE(monitor.cycle().hasRefreshed());
    EXPECT_EQ(monitor.cycle().countdown(), 30);
}

TEST_F(MonitorCycle, processingHoldsTheCountdownUntilTheStatusRefreshAfterIt)
{
    monitor.opened();
    lists.now = {5, 2, 1};
    bool heldDuring = false;
    int ticksDuring = -1;
    const int result = monitor.runProcessing([&] {
        heldDuring = monitor.cycle().isHeld();
        const int before = monitor.cycle().countdown();
        monitor.tick(); // the window is modal: the tick does nothing
        ticksDuring = before - monitor.cycle().countdown();
        return 1;
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(heldDuring);
    EXPECT_EQ(ticksDuring, 0);
    EXPECT_FALSE(monitor.cycle().isHeld());
    EXPECT_EQ(monitor.seenCounts().quotes, 5);
    EXPECT_GE(lists.resets, 1);

    monitor.cycle().setHold(true);
    const int held = monitor.cycle().countdown();
    monitor.tick();
    EXPECT_EQ(monitor.cycle().countdown(), held);
}

TEST_F(MonitorCycle, synchronisingKeepsCountingButNeverRefreshesAndPollsOncePerSecond)
{
    monitor.opened();
    int polls = 0;
    monitor.setProgressPoll([&] { ++polls; });
    monitor.setSynchronising(true);
    const int resets = lists.refreshResets;
    for (int i = 0; i < 40; ++i) {
        clock.advance(500);
        monitor.tick();
    }
    EXPECT_EQ(lists.refreshResets, resets);
    EXPECT_LT(monitor.cycle().countdown(), 0);
    EXPECT_EQ(polls, 20);
    monitor.setSynchronising(false);
    monitor.tick();
    EXPECT_EQ(lists.refreshResets, resets + 1);
}

TEST_F(MonitorCycle, afterTheCloseIsConfirmedTheCountdownRunsOnButNothingIsRefreshed)
{
    monitor.opened();
    ctx.closeConfirmed = true;
    const int resets = lists.refreshResets;
    const int alertsBefore = alerts;
    for (int i = 0; i < 40; ++i) {
        clock.advance(1000);
        monitor.tick();
    }
    EXPECT_EQ(monitor.cycle().countdown(), -10);
    EXPECT_EQ(lists.refreshResets, resets);
    EXPECT_EQ(lists.resets, 0);
    EXPECT_EQ(alerts, alertsBefore);
}

TEST_F(MonitorCycle, f5ReadsEveryListAgainRunsTheAlertStepAndTakesTheCountsAsSeen)
{
    monitor.opened();
    const int alertsBefore = alerts;
    lists.now.quotes = 3;
    monitor.fullRefresh();
    EXPECT_EQ(lists.resets, 1);
    EXPECT_EQ(alerts, alertsBefore + 1);
    EXPECT_EQ(lastSeen.quotes, 0);
    monitor.refresh(); // the requests F5 announced are not news any more
    EXPECT_EQ(lastSeen.quotes, 3);
}

TEST_F(MonitorCycle, closeAsksUnlessConfirmedAndClearsTheConsoleThread)
{
    prompter.answer(2); // No
    EXPECT_FALSE(monitor.requestClose());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].caption, QStringLiteral("Confirm close WebConsole"));
    EXPECT_EQ(prompter.shown()[0].defaultButton, 2);

    ctx.closeConfirmed = true;
    ctx.web.consoleThread = 5;
    EXPECT_TRUE(monitor.requestClose());
    EXPECT_EQ(prompter.shown().size(), 1); // not asked again
    EXPECT_EQ(ctx.web.consoleThread, 0);
    bool closed = false;
    QObject::connect(&monitor, &Monitor::closeRequested, [&] { closed = true; });
    ctx.closeConfirmed = false;
    monitor.closeWithoutAsking();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(ctx.closeConfirmed);
}

// Change notices between two workstations, each with its own connection.
class MonitorNotices : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        other = testDb().openSecond();
        theirs = std::make_unique<bizlib::NetRefresh>(*other, QStringLiteral("NetRefreshwebconsole00"));
        ctx.db = &db();
        ctx.settings.refreshInterval = 30;
        monitor = std::make_unique<Monitor>(ctx, clock, lists);
        monitor->open();
        monitor->opened();
    }

    config::AppContext ctx;
    testsupport::FakeClock clock;
    CountingLists lists;
    std::unique_ptr<bizlib::Database> other;
    std::unique_ptr<bizlib::NetRefresh> theirs;
    std::unique_ptr<Monitor> monitor;
};

TEST_P(MonitorNotices, aNoticeSentWhileTheListsAreReadIsNotLost)
{
    // The other workstation notifies again while this one reads its lists after a notice.
    int bumps = 0;
    lists.onReset = [&] {
        if (bumps++ == 0) {
            ASSERT_TRUE(theirs->notify().isOk());
        }
    };
    ASSERT_TRUE(theirs->notify().isOk());
    EXPECT_TRUE(monitor->checkOtherWorkstations());
    EXPECT_TRUE(monitor->checkOtherWorkstations()) << "the notice sent during the reload";
    EXPECT_FALSE(monitor->checkOtherWorkstations());

    // The same when this workstation reads its lists and notifies (Refresh, after processing):
    // its own notice is not news to itself, the other's is.
    monitor->refreshAndNotify();
    EXPECT_FALSE(monitor->checkOtherWorkstations());
    bumps = 0;
    monitor->refreshAndNotify();
    EXPECT_TRUE(monitor->checkOtherWorkstations());
    EXPECT_EQ(lists.resets, 5);
}

TEST_P(MonitorNotices, theTickLeavesTheListsAloneUnderAModalWindowAndOnceTheCloseIsConfirmed)
{
    const int before = monitor->cycle().countdown();
    ASSERT_TRUE(theirs->notify().isOk());
    {
        const config::ModalWindows::Scope noteEditor(&ctx.modalWindows);
        clock.advance(1000);
        monitor->tick();
        EXPECT_EQ(lists.resets, 0) << "no reset under the window";
        EXPECT_EQ(monitor->cycle().countdown(), before);
    }
    monitor->tick();
    EXPECT_EQ(lists.resets, 1);
    EXPECT_EQ(monitor->cycle().countdown(), before - 1);

    // The program is ending: another workstation's notice no longer reads the lists again.
    ctx.closeConfirmed = true;
    ASSERT_TRUE(theirs->notify().isOk());
    clock.advance(1000);
    monitor->tick();
    EXPECT_EQ(lists.resets, 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, MonitorNotices, testsupport::allEngines(), testsupport::engineName);

} // namespace
