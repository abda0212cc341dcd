#include "data/WebTaskPurge.h"

#include "bizlib/Table.h"
#include "support/StoppedProcess.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QThread>
#include <dlfcn.h>
#include <thread>

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

TEST_P(Purge, aDeleteThatFails_stopsTheRun_andOnlyTheTasksGoneAreCounted)
{
    add(QStringLiteral("Completed"), kToday - 300);
    const qint32 refused = add(QStringLiteral("Completed"), kToday - 200);
    const qint32 last = add(QStringLiteral("Completed"), kToday - 100);
    const bool postgres = GetParam() == testsupport::Engine::PostgreSQL;
    if (postgres) {
        ASSERT_TRUE(db().exec(QStringLiteral("CREATE FUNCTION refuse_task() RETURNS trigger LANGUAGE plpgsql AS $$ "
                                             "BEGIN IF OLD.\"webtaskid\" = %1 THEN RAISE EXCEPTION 'kept for "
                                             "the auditors'; END IF; RETURN OLD; END $$")
                                  .arg(refused))
                        .isOk());
        ASSERT_TRUE(db().exec(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON \"webtask\" FOR EACH ROW "
                                             "EXECUTE FUNCTION refuse_task()"))
                        .isOk());
    } else {
        ASSERT_TRUE(db().exec(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON \"webtask\" WHEN "
                                             "OLD.\"webtaskid\" = %1 BEGIN SELECT RAISE(ABORT, 'kept for the "
                                             "auditors'); END")
                                  .arg(refused))
                        .isOk());
    }
    WebTaskPurge purge(db(), kToday);
    purge.pressPause();
    const bizlib::Status st = purge.step();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("kept for the auditors"))) << st.message().toStdString();
    EXPECT_EQ(purge.state(), State::Failed);
    EXPECT_EQ(left(), QList<qint32>({ refused, last }));
    EXPECT_EQ(purge.deleted(), 1);
}

// Lowers the parameters a statement of this thread's SQLite connection may have to `limit`: SQLite's
// own default was 999 for long, and a build may still set it so (Debian's allows far more).
bool limitSqliteParameters(bizlib::Database &db, int limit)
{
    const QVariant handle = db.connection().driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    void *connection = *static_cast<void *const *>(handle.constData());
    void *library = ::dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (!connection || !library)
        return false;
    using Limit = int (*)(void *, int, int);
    const auto setLimit = reinterpret_cast<Limit>(::dlsym(library, "sqlite3_limit"));
    constexpr int kVariableNumber = 9; // SQLITE_LIMIT_VARIABLE_NUMBER
    if (setLimit)
        setLimit(connection, kVariableNumber, limit);
    ::dlclose(library);
    return setLimit != nullptr;
}

TEST_P(Purge, tasksLeftAloneAreWalkedPast_howeverManyThereAre)
{
    if (GetParam() == testsupport::Engine::PostgreSQL)
        GTEST_SKIP() << "the limit that matters is the parameters of one SQLite statement";
    ASSERT_TRUE(limitSqliteParameters(db(), 999));
    // 1,500 completed tasks that another writer keeps: every delete finds its row changed.
    ASSERT_TRUE(db().exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                                         "1500) INSERT INTO \"webtask\" (\"webtaskid\", \"status\", "
                                         "\"priority\", \"taskdate\", \"tasktime\") SELECT i, 'Completed', 1, "
                                         "%1 + i % 7, i % 5 FROM n")
                              .arg(kToday - 400))
                    .isOk());
    ASSERT_TRUE(db().exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON \"webtask\" BEGIN "
                                         "SELECT RAISE(IGNORE); END"))
                    .isOk());
    WebTaskPurge purge(db(), kToday);
    purge.pressPause();
    for (int guard = 0; purge.state() == State::Running && guard < 100; ++guard) {
        const bizlib::Status st = purge.step();
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
    }
    EXPECT_EQ(purge.state(), State::Finished);
    EXPECT_EQ(purge.read(), 1500);
    EXPECT_EQ(purge.deleted(), 0);
    EXPECT_EQ(left().size(), 1500);
}

TEST_P(Purge, aServerThatStopsAnsweringDuringADelete_failsTheRunInTime)
{
    if (GetParam() != testsupport::Engine::PostgreSQL)
        GTEST_SKIP() << "stops a PostgreSQL server process";
    const qint32 task = add(QStringLiteral("Completed"), kToday - 100);
    // Another workstation holds the task, so that the purge's delete waits for it.
    std::unique_ptr<bizlib::Database> other = testDb().openSecond();
    ASSERT_TRUE(other->begin().isOk());
    ASSERT_TRUE(
        other->exec(QStringLiteral("SELECT 1 FROM \"webtask\" WHERE \"webtaskid\" = ? FOR UPDATE"), { task }).isOk());

    bizlib::DatabaseConfig config = testDb().config();
    config.statementTimeout = 3;
    config.lockTimeout = 0;
    bizlib::Database purging(config);
    ASSERT_TRUE(purging.open().isOk());
    QSqlQuery q;
    ASSERT_TRUE(purging.exec(QStringLiteral("SELECT pg_backend_pid()"), {}, &q).isOk() && q.next());
    const qint64 pid = q.value(0).toLongLong();

    // While the delete waits, its server process stops (as a paused server does).
    std::unique_ptr<testsupport::StoppedProcess> stopped;
    std::thread watcher([&] {
        bizlib::Database watch(testDb().config());
        if (!watch.open())
            return;
        for (int i = 0; i < 250 && !stopped; ++i) {
            QSqlQuery w;
            if (watch.exec(QStringLiteral("SELECT 1 FROM pg_stat_activity WHERE pid = ? AND wait_event_type = 'Lock'"),
                    { pid }, &w)
                && w.next())
                stopped = std::make_unique<testsupport::StoppedProcess>(pid);
            else
                QThread::msleep(20);
        }
        watch.close();
    });
    WebTaskPurge purge(purging, kToday);
    purge.pressPause();
    QElapsedTimer clock;
    clock.start();
    const bizlib::Status st = purge.step();
    const qint64 took = clock.elapsed();
    watcher.join();
    ASSERT_TRUE(stopped && stopped->stopped());
    stopped.reset();
    other->rollback();
    EXPECT_LT(took, 9000);
    EXPECT_TRUE(st.isError());
    EXPECT_EQ(purge.state(), State::Failed);
    EXPECT_EQ(purge.deleted(), 0);
    EXPECT_EQ(left(), QList<qint32> { task });
}

INSTANTIATE_TEST_SUITE_P(Engines, Purge, testsupport::allEngines(), testsupport::engineName);

} // namespace
