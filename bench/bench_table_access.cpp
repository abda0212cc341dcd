// Table access against plain QSqlQuery on the same SQLite file: a scan of 100,000 web quote
// requests in key order and 10,000 fetches by key. Goals: the scan within 1.5 times raw SQL, the
// fetches within 1.25 times.
// Run: build/bench/bench_table_access (add --benchmark_filter=... to pick one).
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include "BenchDatabase.h"
#include "BenchSize.h"
#include "TimesReporter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

using namespace bizlib;

namespace {

const int kRows = benchSize(100000);
const int kFetches = benchSize(10000);

struct Fixture : BenchDatabase
{
    QList<int> ids;

    Fixture()
    {
        Table t(*db, QStringLiteral("WebQuotes"));
        Transaction tx(*db);
        Record r = t.newRecord();
        for (int i = 1; i <= kRows; ++i) {
            r.setLong("QuoteID", i);
            r.setLong("Number", kRows - i + 1);
            r.setText("Status", i % 10 ? QStringLiteral("Pending") : QStringLiteral("Processing"));
            r.setText("Title", QStringLiteral("Leaflets A5 job %1").arg(i));
            r.setText("Contact", QStringLiteral("Contact %1").arg(i % 500));
            r.setText("SellingPrice1", QStringLiteral("%1.%2").arg(i % 9000).arg(i % 100));
            if (!t.insert(r))
                std::abort();
        }
        if (!tx.commit())
            std::abort();
        auto *rng = QRandomGenerator::global();
        for (int i = 0; i < kFetches; ++i)
            ids << static_cast<int>(rng->bounded(1, kRows + 1));
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_Scan_TableAccess(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        Table t(*f.db, QStringLiteral("WebQuotes"));
        TableCursor c(t, QStringLiteral("NUMBERKEY"));
        Record r;
        qint64 sum = 0;
        while (c.next(r))
            sum += r.toLong(1);
        benchmark::DoNotOptimize(sum);
    }
}

void BM_Scan_RawSql(benchmark::State &state)
{
    Fixture &f = fixture();
    Table t(*f.db, QStringLiteral("WebQuotes"));
    const QString sql = QStringLiteral("SELECT %1 FROM \"webquotes\" ORDER BY \"number\", \"quoteid\"").arg(t.selectList());
    const int columns = static_cast<int>(t.def().fields.size());
    for (auto _ : state) {
        QSqlQuery q(f.db->connection());
        q.setForwardOnly(true);
        q.exec(sql);
        qint64 sum = 0;
        QList<QVariant> row(columns);
        while (q.next()) {
            for (int i = 0; i < columns; ++i)
                row[i] = q.value(i);
            sum += row[1].toInt();
        }
        benchmark::DoNotOptimize(sum);
    }
}

void BM_Fetch_TableAccess(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        Table t(*f.db, QStringLiteral("WebQuotes"));
        Record r = t.newRecord();
        qint64 sum = 0;
        for (int id : f.ids) {
            if (t.fetch(QStringLiteral("QUOTEIDKEY"), {id}, r))
                sum += r.toLong(1);
        }
        benchmark::DoNotOptimize(sum);
    }
}

void BM_Fetch_RawSql(benchmark::State &state)
{
    Fixture &f = fixture();
    Table t(*f.db, QStringLiteral("WebQuotes"));
    const QString sql = QStringLiteral("SELECT %1 FROM \"webquotes\" WHERE \"quoteid\" = ? LIMIT 1").arg(t.selectList());
    const int columns = static_cast<int>(t.def().fields.size());
    for (auto _ : state) {
        QSqlQuery q(f.db->connection());
        q.setForwardOnly(true);
        q.prepare(sql);
        qint64 sum = 0;
        QList<QVariant> row(columns);
        for (int id : f.ids) {
            q.bindValue(0, id);
            q.exec();
            if (q.next()) {
                for (int i = 0; i < columns; ++i)
                    row[i] = q.value(i);
                sum += row[1].toInt();
            }
            q.finish();
        }
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK(BM_Scan_TableAccess)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan_RawSql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fetch_TableAccess)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fetch_RawSql)->Unit(benchmark::kMillisecond);

// Table access time over raw SQL time for each pair.
void summarise(TimesReporter::Times &times)
{
    for (const auto &[pair, goal] : {std::pair{"Scan", 1.50}, std::pair{"Fetch", 1.25}}) {
        const double ours = times[std::string("BM_") + pair + "_TableAccess"];
        const double raw = times[std::string("BM_") + pair + "_RawSql"];
        if (raw > 0)
            std::printf("%-6s table access / raw SQL = %.2f (goal <= %.2f)\n", pair, ours / raw, goal);
    }
}

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks(argc, argv, summarise);
}
