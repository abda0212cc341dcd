#include "console/Monitor.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"

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
    void resetAll() override { ++resets; }
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
        monitor.setAlertStep([this](const RequestLists::Counts &) { ++alerts; });
    }

    QTemporaryDir dir;
    config::AppContext ctx;
    testsupport::ScriptedPrompter prompter;
    testsupport::FakeClock clock;
    CountingLists lists;
    Monitor monitor{ctx, clock, lists};
    int alerts = 0;
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
    monitor.tick(); // reaches 0: refresh, then the count starts again
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

} // namespace
