#include "bizlib/Table.h"
#include "data/WebTaskPurge.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>

using namespace bizlib;
using data::WebTaskPurge;
using State = WebTaskPurge::State;

namespace {

constexpr qint32 kToday = 82000;

class Purge : public testsupport::DataTest
{
protected:
    qint32 add(const QString &status, qint32 day)
    {
        Table tasks(db(), QStringLiteral("WebTask"));
        Record r;
        EXPECT_TRUE(tasks.prime(r).isOk());
        r.setText("Status", status);
        r.setLong("TaskDate", day);
        r.setLong("TaskTime", 360000);
        r.setLong("Priority", 1);
        EXPECT_TRUE(tasks.insert(r).isOk());
        return r.toLong("WebTaskID");
    }

    QList<qint32> left()
    {
        QList<qint32> ids;
        QSqlQuery q;
        EXPECT_TRUE(db().exec(QStringLiteral("SELECT \"webtaskid\" FROM \"webtask\" ORDER BY 1"), {}, &q).isOk());
        while (q.next())
            ids << q.value(0).toInt();
        return ids;
    }

    // Runs a started purge to its end in batches of `batch`.
    void finish(WebTaskPurge &purge, int batch = WebTaskPurge::kBatch)
    {
        for (int guard = 0; purge.state() == State::Running && guard < 100; ++guard)
            ASSERT_TRUE(purge.step(batch).isOk());
    }
};

TEST_P(Purge, deletesCompletedTasksUpToTheDate_andNothingElse)
{
    const qint32 kept[] = { add(QStringLiteral("Pending"), kToday), add(QStringLiteral("Active"), kToday - 5),
        add(QStringLiteral("Failed"), kToday - 400), add(QStringLiteral("Completed"), kToday) };
    add(QStringLiteral("Completed"), kToday - 1);
    add(QStringLiteral("Completed"), kToday - 3000);
    WebTaskPurge purge(db(), kToday);
    EXPECT_EQ(purge.purgeDate(), kToday - 60);
    ASSERT_TRUE(purge.setPurgeDate(kToday - 1)); // the task a day after it stays
    purge.pressPause();
    finish(purge);
    EXPECT_EQ(purge.state(), State::Finished);
    EXPECT_EQ(purge.deleted(), 2);
    EXPECT_EQ(purge.percent(), 100);
    EXPECT_EQ(left(), QList<qint32>(std::begin(kept), std::end(kept)));

    // Purge date today: the completed task of today goes too.
    WebTaskPurge again(db(), kToday);
    ASSERT_TRUE(again.setPurgeDate(kToday));
    again.pressPause();
    finish(again);
    EXPECT_EQ(left(), QList<qint32>(std::begin(kept), std::end(kept) - 1));
}

TEST_P(Purge, startPauseRestart_goesOnWhereItStopped_andCancelKeepsWhatWasDone)
{
    for (int i = 0; i < 5; ++i)
        add(QStringLiteral("Completed"), kToday - 100 - i);
    WebTaskPurge purge(db(), kToday);
    EXPECT_EQ(purge.pauseButtonText(), QStringLiteral("Start"));
    EXPECT_TRUE(purge.step(2).isOk()); // paused: nothing happens
    EXPECT_EQ(left().size(), 5);

    purge.pressPause();
    EXPECT_EQ(purge.pauseButtonText(), QStringLiteral("Pause"));
    EXPECT_FALSE(purge.setPurgeDate(kToday - 10)); // the read has started with its date
    ASSERT_TRUE(purge.step(2).isOk());
    EXPECT_EQ(purge.percent(), 40);
    purge.pressPause();
    EXPECT_EQ(purge.pauseButtonText(), QStringLiteral("Restart"));
    ASSERT_TRUE(purge.step(2).isOk());
    EXPECT_EQ(left().size(), 3);
    purge.pressPause();
    ASSERT_TRUE(purge.step(2).isOk());
    purge.cancel();
    EXPECT_EQ(purge.state(), State::Cancelled);
    ASSERT_TRUE(purge.step(2).isOk());
    EXPECT_EQ(left().size(), 1);
    EXPECT_EQ(purge.deleted(), 4);
}

TEST_P(Purge, cancelBeforeStartDeletesNothing_andTheDateStaysWithinItsBounds)
{
    add(QStringLiteral("Completed"), kToday - 100);
    WebTaskPurge purge(db(), kToday);
    EXPECT_FALSE(purge.setPurgeDate(kToday + 1));
    EXPECT_FALSE(purge.setPurgeDate(kToday - 3651));
    EXPECT_TRUE(purge.setPurgeDate(kToday - 3650));
    purge.cancel();
    purge.pressPause();
    EXPECT_EQ(purge.state(), State::Cancelled);
    EXPECT_TRUE(purge.step().isOk());
    EXPECT_EQ(left().size(), 1);
}

TEST_P(Purge, anEmptySelectionFinishesAtOnce)
{
    add(QStringLiteral("Pending"), kToday - 100);
    WebTaskPurge purge(db(), kToday);
    purge.pressPause();
    EXPECT_TRUE(purge.step().isOk());
    EXPECT_EQ(purge.state(), State::Finished);
    EXPECT_EQ(purge.deleted(), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, Purge, testsupport::allEngines(), testsupport::engineName);

} // namespace
