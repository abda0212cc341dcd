// The Logs tab and the purge against raw SQL on the same SQLite file, with 200,000 webtasks (half
// of them completed before the purge date, the rest pending, active, failed or completed later):
// a reset of the History list (what showing the page and every reset of the window's lists ask)
// beside a raw SQL read of one page newest first, and the purge of the 100,000 completed tasks in
// the window's batches beside one raw DELETE. Goals: the reset under 50 ms, the purge under 10 s.
// Run: build/bench/bench_logs (add --benchmark_filter=... to pick one).
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "console/HistoryListModel.h"
#include "data/WebTaskPurge.h"

#include <QSqlQuery>
#include "BenchDatabase.h"
#include "BenchSize.h"
#include "TimesReporter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

using namespace bizlib;

namespace {

const int kTasks = benchSize(200000);
constexpr qint32 kToday = 82000;
constexpr qint32 kPurgeDate = kToday - 60;
constexpr int kPage = 50;

struct Fixture : BenchDatabase
{
    Fixture()
    {
        Transaction tx(*db);
        Table tasks(*db, QStringLiteral("WebTask"));
        Record t = tasks.newRecord();
        static const char *const others[] = { "Pending", "Active", "Failed", "Completed" };
        bool ok = true;
        for (int i = 1; ok && i <= kTasks; ++i) {
            const bool purged = i % 2 == 0;
            t.setLong("WebTaskID", i);
            t.setText("Status", QString::fromLatin1(purged ? "Completed" : others[i % 4 == 1 ? (i / 4) % 4 : 3]));
            // Purged tasks lie before the purge date; the others after it (a completed one stays).
            t.setLong("TaskDate", purged ? kPurgeDate - 1 - (i % 3000) : kPurgeDate + 1 + (i % 59));
            t.setLong("TaskTime", 100 + (i % 8000000));
            t.setLong("Priority", 1);
            t.setText("TaskUser", QStringLiteral("JS"));
            t.setText("TaskType", QStringLiteral("Material"));
            t.setText("TaskRequest", QStringLiteral("Syncall"));
            t.setText("Description", QStringLiteral("%1% complete").arg(i % 100));
            t.setText("Comments", i % 10 ? QString() : QStringLiteral("<h1>Bad Gateway</h1>"));
            ok = tasks.insert(t).isOk();
        }
        ok = ok
            && db->exec(QStringLiteral("CREATE TABLE \"purged_copy\" AS SELECT * FROM \"webtask\" WHERE \"status\" = "
                                       "'Completed' AND \"taskdate\" <= ?"),
                       { kPurgeDate })
                   .isOk();
        if (!ok || !tx.commit())
            std::abort();
    }

    // Puts the purged tasks back (outside the timing).
    void restore()
    {
        if (!db->exec(QStringLiteral("INSERT INTO \"webtask\" SELECT * FROM \"purged_copy\"")).isOk())
            std::abort();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_History_Reset(benchmark::State &state)
{
    Fixture &f = fixture();
    console::HistoryListModel history(*f.db);
    history.setPageSize(kPage);
    for (auto _ : state) {
        if (!history.reset())
            state.SkipWithError("history query failed");
        benchmark::DoNotOptimize(history.rowCount());
    }
}

void BM_History_RawSql(benchmark::State &state)
{
    Fixture &f = fixture();
    Table t(*f.db, QStringLiteral("WebTask"));
    const QString page = QStringLiteral("SELECT %1 FROM %2 ORDER BY \"taskdate\" DESC, \"tasktime\" DESC, "
                                        "\"webtaskid\" DESC LIMIT %3")
                             .arg(t.selectList(), t.def().sqlTable())
                             .arg(kPage);
    const int columns = static_cast<int>(t.def().fields.size());
    for (auto _ : state) {
        QSqlQuery q(f.db->connection());
        q.setForwardOnly(true);
        q.exec(page);
        QList<QVariant> row(columns);
        while (q.next())
            for (int i = 0; i < columns; ++i)
                row[i] = q.value(i);
        benchmark::DoNotOptimize(row);
    }
}

void BM_Purge_100k(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        data::WebTaskPurge purge(*f.db, kToday);
        purge.pressPause();
        while (purge.state() == data::WebTaskPurge::State::Running)
            if (!purge.step())
                state.SkipWithError("purge failed");
        if (purge.deleted() != kTasks / 2)
            state.SkipWithError("the purge did not delete every completed task up to the date");
        state.PauseTiming();
        f.restore();
        state.ResumeTiming();
    }
}

void BM_Purge_RawSql(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        QSqlQuery q(f.db->connection());
        q.prepare(QStringLiteral("DELETE FROM \"webtask\" WHERE \"status\" = 'Completed' AND \"taskdate\" < ?"));
        q.addBindValue(kPurgeDate + 1);
        q.exec();
        if (q.numRowsAffected() != kTasks / 2)
            state.SkipWithError("the raw delete did not delete every completed task up to the date");
        state.PauseTiming();
        f.restore();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_History_Reset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_History_RawSql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Purge_100k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Purge_RawSql)->Unit(benchmark::kMillisecond)->Iterations(3);

void summarise(TimesReporter::Times &times)
{
    const auto line = [&](const char *what, const char *ours, const char *raw, const char *goal) {
        if (times.count(ours) && times.count(raw) && times[raw] > 0)
            std::printf("%-14s %.1f ms, raw SQL %.1f ms, ratio %.2f (goal: %s)\n", what, times[ours], times[raw],
                times[ours] / times[raw], goal);
    };
    line("History reset", "BM_History_Reset", "BM_History_RawSql", "< 50 ms");
    line("Purge of 100k", "BM_Purge_100k/iterations:3", "BM_Purge_RawSql/iterations:3", "< 10,000 ms");
}

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks(argc, argv, summarise);
}
