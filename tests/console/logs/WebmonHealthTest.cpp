#include "../WebRows.h"
#include "console/WebmonHealth.h"
#include "console/WebmonWatch.h"
#include "console/logs/ui/HourlyChart.h"
#include "console/logs/ui/LogsPage.h"
#include "console/logs/ui/WebmonPage.h"
#include "console/HistoryListModel.h"
#include "support/TestDatabase.h"

#include <QSignalSpy>
#include <QTabWidget>

using console::WebmonFigures;
using console::WebmonHealth;
using Light = WebmonHealth::Light;

namespace {

// Just after midnight, so that "the last hour" reaches into the day before.
const QDateTime kNow(QDate(2024, 3, 5), QTime(0, 20));

void setStamp(bizlib::Record &r, const char *date, const char *time, const QDateTime &when)
{
    r.setLong(QString::fromLatin1(date), bizlib::DateTime::fromDate(when.date()));
    r.setLong(QString::fromLatin1(time), bizlib::DateTime::fromTime(when.time()));
}

struct Task
{
    const char *status;
    int queuedMinutesAgo;
    int startedMinutesAgo = -1; // -1: never
    int restartedMinutesAgo = -1;
    int endedMinutesAgo = -1;
    const char *comments = "";
};

qint32 addTask(bizlib::Database &db, const Task &t, const QDateTime &now = kNow)
{
    return consoletest::addRow(db, QStringLiteral("WebTask"), [&](bizlib::Record &r) {
        r.setText("Status", QString::fromLatin1(t.status));
        r.setText("TaskType", QStringLiteral("WebQuote"));
        r.setText("TaskRequest", QStringLiteral("Reject"));
        r.setText("Comments", QString::fromLatin1(t.comments));
        setStamp(r, "TaskDate", "TaskTime", now.addSecs(-60 * t.queuedMinutesAgo));
        if (t.startedMinutesAgo >= 0)
            setStamp(r, "StartDate", "StartTime", now.addSecs(-60 * t.startedMinutesAgo));
        if (t.restartedMinutesAgo >= 0)
            setStamp(r, "RestartDate", "RestartTime", now.addSecs(-60 * t.restartedMinutesAgo));
        if (t.endedMinutesAgo >= 0)
            setStamp(r, "EndDate", "EndTime", now.addSecs(-60 * t.endedMinutesAgo));
    });
}

class WebmonHealthTest : public testsupport::DataTest
{ };

TEST_P(WebmonHealthTest, figuresCountTheQueueTheLastHourAcrossMidnightTheLastFailureAndTheNewestArrival)
{
    const qint32 oldest = addTask(db(), { "Pending", 30 });
    addTask(db(), { "pending  ", 5 });
    addTask(db(), { "Active", 25, 20 });
    addTask(db(), { "Active", 3000, 2900, 40 }); // restarted within the hour
    addTask(db(), { "Completed", 200, 140, -1, 50 });
    const qint32 failed = addTask(db(), { "Failed", 300, 250, -1, 180, "Site said no\nsecond line" });
    addTask(db(), { "Completed", 2000, 1530, -1, 1520 }); // ended before the chart's first hour
    consoletest::addQuote(db(), 1019, 0, QStringLiteral("Pending"),
        [](bizlib::Record &r) { setStamp(r, "CreatedOn", "CreatedAt", kNow.addSecs(-600)); });
    consoletest::addOrder(db(), 55, 0, QStringLiteral("Pending"),
        [](bizlib::Record &r) { setStamp(r, "CreatedOn", "CreatedAt", kNow.addSecs(-1500)); });

    WebmonFigures f;
    ASSERT_TRUE(WebmonHealth::read(db(), kNow, &f).isOk());
    EXPECT_EQ(f.pending, 2);
    EXPECT_EQ(f.oldestPending.id, oldest);
    EXPECT_EQ(f.oldestPending.when, kNow.addSecs(-30 * 60));
    EXPECT_EQ(f.startedLastHour, 2);
    EXPECT_EQ(f.finishedLastHour, 1);
    EXPECT_EQ(f.lastStart, kNow.addSecs(-20 * 60));
    EXPECT_EQ(f.lastFailure.id, failed);
    EXPECT_EQ(f.lastFailure.comments, QStringLiteral("Site said no"));
    EXPECT_EQ(f.lastFailure.what, QStringLiteral("WebQuote Reject"));
    EXPECT_EQ(f.newestArrival.what, QStringLiteral("quote request 1019"));
    // The chart's last hour starts at midnight: 23:30 the day before is hour 22 of 24, 21:20 hour 20.
    ASSERT_EQ(f.completedPerHour.size(), 24);
    QList<int> completed(24, 0), failures(24, 0);
    completed[22] = 1;
    failures[20] = 1;
    EXPECT_EQ(f.completedPerHour, completed);
    EXPECT_EQ(f.failedPerHour, failures);
}

TEST_P(WebmonHealthTest, watchReadsInTheBackgroundAndSaysOnceWhenItTurnsRed)
{
    addTask(db(), { "Pending", 120 }, QDateTime::currentDateTime());
    console::WebmonWatch watch(db(), [] { return 10; });
    QSignalSpy red(&watch, &console::WebmonWatch::turnedRed);
    QSignalSpy updated(&watch, &console::WebmonWatch::updated);
    watch.refresh();
    ASSERT_TRUE(updated.wait(10000));
    EXPECT_EQ(watch.light(), Light::Red) << watch.summary().toStdString();
    EXPECT_EQ(red.size(), 1);
    watch.refresh();
    ASSERT_TRUE(updated.wait(10000));
    EXPECT_EQ(red.size(), 1);
    EXPECT_TRUE(watch.summary().contains(QStringLiteral("Waiting: 1 webtask"))) << watch.summary().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, WebmonHealthTest, testsupport::allEngines(), testsupport::engineName);

TEST(WebmonLight, followsHowLongTasksWaitWithNoneStartedAndRecentFailures)
{
    struct Case
    {
        const char *name;
        qint64 pending;
        int oldestMinutes; // how long the oldest has waited
        int lastStartMinutes; // -1: never started
        int failureMinutes; // -1: none
        Light expected;
    };
    const Case cases[] = {
        { "idle queue", 0, 0, 600, -1, Light::Green },
        { "fresh task, none ever started", 1, 2, -1, -1, Light::Green },
        { "waiting past the limit, none started", 3, 12, 11, -1, Light::Red },
        { "waiting past the limit, never started", 1, 10, -1, -1, Light::Red },
        { "behind but moving", 3, 12, 1, -1, Light::Amber },
        { "half the limit with none started", 1, 6, 30, -1, Light::Amber },
        { "failed within the hour", 0, 0, 5, 30, Light::Amber },
        { "failed long ago", 0, 0, 5, 90, Light::Green },
    };
    for (const Case &c : cases) {
        WebmonFigures f;
        f.pending = c.pending;
        if (c.pending)
            f.oldestPending.when = kNow.addSecs(-60 * c.oldestMinutes);
        if (c.lastStartMinutes >= 0)
            f.lastStart = kNow.addSecs(-60 * c.lastStartMinutes);
        if (c.failureMinutes >= 0)
            f.lastFailure.when = kNow.addSecs(-60 * c.failureMinutes);
        EXPECT_EQ(WebmonHealth::light(f, kNow, 10), c.expected) << c.name;
    }
}

TEST(WebmonLight, turnsRedOnceUntilItLeavesRedAndAFailedReadDoesNotCount)
{
    bizlib::Database db(bizlib::DatabaseConfig {});
    console::WebmonWatch watch(db, [] { return 10; });
    QSignalSpy red(&watch, &console::WebmonWatch::turnedRed);
    WebmonFigures stalled;
    stalled.pending = 1;
    stalled.oldestPending.when = kNow.addSecs(-3600);
    const WebmonFigures idle;
    const bizlib::Status ok = bizlib::Status::ok();
    watch.apply(ok, idle, kNow);
    watch.apply(ok, stalled, kNow);
    watch.apply(ok, stalled, kNow);
    watch.apply(bizlib::Status::error(QStringLiteral("no answer")), {}, kNow);
    EXPECT_EQ(watch.light(), Light::Unknown);
    watch.apply(ok, stalled, kNow);
    EXPECT_EQ(red.size(), 1);
    watch.apply(ok, idle, kNow);
    watch.apply(ok, stalled, kNow);
    EXPECT_EQ(red.size(), 2);
}

TEST(WebmonPage, showsTheFiguresAndTheChartOfWhatTheWatchRead)
{
    bizlib::Database db(bizlib::DatabaseConfig {});
    console::WebmonWatch watch(db, [] { return 10; });
    console::ui::WebmonPage page(watch);
    WebmonFigures f;
    f.pending = 2;
    f.oldestPending = { 7, kNow.addSecs(-15 * 60), QStringLiteral("Defaults Update"), {} };
    f.completedPerHour = QList<int>(24, 1);
    f.failedPerHour = QList<int>(24, 0);
    f.failedPerHour[23] = 4;
    watch.apply(bizlib::Status::ok(), f, kNow);
    const QStringList shown = page.shownLines();
    EXPECT_TRUE(shown.at(0).contains(QStringLiteral("15 min"))) << shown.join(u'|').toStdString();
    EXPECT_TRUE(shown.at(1).startsWith(QStringLiteral("2 webtasks"))) << shown.join(u'|').toStdString();
    EXPECT_EQ(page.chart()->highest(), 5);
}

} // namespace
