// The request lists of the General tab against raw SQL on the same SQLite file, with 100,000
// pending web quote requests and 100,000 web orders (a tenth of each being processed): a list
// reset with its count (what a refresh and the status refresh ask of a list) beside a raw SQL
// COUNT plus one page of rows, and opening every list of the tab. Goals: each under 100 ms, the
// process under 200 MB.
// Run: build/bench/bench_request_lists (add --benchmark_filter=... to pick one).
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "console/RequestListSet.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include "BenchDatabase.h"
#include "TimesReporter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>

using namespace bizlib;

namespace {

constexpr int kRequests = 100000;
constexpr int kClients = 500;
constexpr int kPage = 100;

struct Fixture : BenchDatabase
{
    Fixture()
    {
        Transaction tx(*db);
        Table domains(*db, QStringLiteral("Domains"));
        Record d = domains.newRecord();
        d.setLong("DomainID", 1);
        d.setText("Description", QStringLiteral("Trade portal"));
        Table clients(*db, QStringLiteral("Clients"));
        Record c = clients.newRecord();
        Table quotes(*db, QStringLiteral("WebQuotes"));
        Record q = quotes.newRecord();
        Table orders(*db, QStringLiteral("WebOrders"));
        Record o = orders.newRecord();
        bool ok = domains.insert(d).isOk();
        for (int i = 1; ok && i <= kClients; ++i) {
            c.setLong("ClientID", i);
            c.setText("Code", QStringLiteral("C%1").arg(i));
            c.setText("Name", QStringLiteral("Client %1").arg(i));
            c.setText("Manager", i % 7 ? QStringLiteral("JS") : QStringLiteral("AB"));
            c.setLong("DomainID", 1);
            ok = clients.insert(c).isOk();
        }
        for (int i = 1; ok && i <= kRequests; ++i) {
            const QString status = i % 10 ? QStringLiteral("Pending") : QStringLiteral("Processing");
            q.setLong("QuoteID", i);
            q.setLong("Number", kRequests - i + 1);
            q.setLong("WebID", 50000 + i);
            q.setLong("ClientID", 1 + i % kClients);
            q.setText("Status", status);
            q.setText("Title", QStringLiteral("Leaflets A5 job %1").arg(i));
            q.setText("Spec", QStringLiteral("Size: A5\r\n4 pages, 170gsm silk, full colour both sides"));
            q.setLong("Quantity1", 1000 + i % 5000);
            ok = quotes.insert(q).isOk();
            o.setLong("OrderID", i);
            o.setLong("Number", kRequests - i + 1);
            o.setLong("WebID", 70000 + i);
            o.setLong("ClientID", 1 + i % kClients);
            o.setLong("WebSignupID", i % 13 ? 0 : i);
            o.setText("Status", status);
            o.setText("OrderType", i % 3 ? QStringLiteral("Product") : QStringLiteral("Service"));
            o.setText("Name", QStringLiteral("Client %1").arg(1 + i % kClients));
            o.setText("Title", QStringLiteral("Business cards order %1").arg(i));
            ok = ok && orders.insert(o).isOk();
        }
        if (!ok || !tx.commit())
            std::abort();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

template<typename Model> void listReset(benchmark::State &state)
{
    Fixture &f = fixture();
    Model m(*f.db);
    m.setPageSize(kPage);
    for (auto _ : state) {
        qint64 n = 0;
        if (!m.reset() || !m.totalCount(&n))
            state.SkipWithError("list query failed");
        benchmark::DoNotOptimize(n);
    }
}

void rawCountAndPage(benchmark::State &state, const char *table, const char *idField)
{
    Fixture &f = fixture();
    Table t(*f.db, QString::fromLatin1(table));
    const QString count
        = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE \"status\" <> 'Processing'").arg(t.def().sqlTable());
    const QString page
        = QStringLiteral("SELECT %1 FROM %2 WHERE \"status\" <> 'Processing' ORDER BY \"number\", \"%3\" "
                         "LIMIT %4")
              .arg(t.selectList(), t.def().sqlTable(), QString::fromLatin1(idField))
              .arg(kPage);
    const int columns = static_cast<int>(t.def().fields.size());
    for (auto _ : state) {
        QSqlQuery q(f.db->connection());
        q.setForwardOnly(true);
        q.exec(count);
        qint64 n = q.next() ? q.value(0).toLongLong() : 0;
        q.exec(page);
        QList<QVariant> row(columns);
        while (q.next())
            for (int i = 0; i < columns; ++i)
                row[i] = q.value(i);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(row);
    }
}

void BM_QuoteList_Reset(benchmark::State &state)
{
    listReset<console::QuoteListModel>(state);
}
void BM_QuoteList_RawSql(benchmark::State &state)
{
    rawCountAndPage(state, "WebQuotes", "quoteid");
}
void BM_OrderList_Reset(benchmark::State &state)
{
    listReset<console::OrderListModel>(state);
}
void BM_OrderList_RawSql(benchmark::State &state)
{
    rawCountAndPage(state, "WebOrders", "orderid");
}

// Every list of the General tab made and read, then the counts the status refresh takes.
void BM_GeneralTab_Open(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        console::RequestListSet lists(*f.db, QStringLiteral("JS"));
        lists.resetAll();
        benchmark::DoNotOptimize(lists.counts());
    }
}

BENCHMARK(BM_QuoteList_Reset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuoteList_RawSql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrderList_Reset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrderList_RawSql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeneralTab_Open)->Unit(benchmark::kMillisecond);

// Peak resident memory of the process in MB (Linux), 0 when unknown.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// List reset time over raw SQL time for each list, the opening time and the peak memory.
void summarise(TimesReporter::Times &times)
{
    for (const char *list : { "QuoteList", "OrderList" }) {
        const double ours = times[std::string("BM_") + list + "_Reset"];
        const double raw = times[std::string("BM_") + list + "_RawSql"];
        if (raw > 0)
            std::printf("%-9s reset %.1f ms, raw SQL count + page %.1f ms, ratio %.2f (goal: reset < 100 ms)\n", list,
                ours, raw, ours / raw);
    }
    if (times.count("BM_GeneralTab_Open"))
        std::printf("General tab lists opened in %.1f ms (goal < 100 ms)\n", times["BM_GeneralTab_Open"]);
    std::printf("peak memory %.0f MB (goal < 200 MB)\n", peakMegabytes());
}

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks(argc, argv, summarise);
}
