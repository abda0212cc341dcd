// The request lists of the General tab against raw SQL on the same database, with 100,000
// pending web quote requests and 100,000 web orders (a tenth of each being processed): a list
// reset with its count (what a refresh and the status refresh ask of a list) beside a raw SQL
// COUNT plus one page of rows, and opening every list of the tab. Goals: each under 100 ms, the
// process under 200 MB. It runs on a SQLite file, and on PostgreSQL too when WEBCONSOLE_TEST_PG
// names a server ("host:port:database:user:password", as the tests take it), in a schema of its
// own that is dropped afterwards.
// Run: build/bench/bench_request_lists (add --benchmark_filter=... to pick one).
#include "BenchSize.h"
#include "TimesReporter.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "console/general/RequestListSet.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>

using namespace bizlib;

namespace {

const int kRequests = benchSize(100000);
const int kClients = benchSize(500);
constexpr int kPage = 100;

// The server named by WEBCONSOLE_TEST_PG, if any.
bool postgresServer(DatabaseConfig *cfg)
{
    const QStringList parts = qEnvironmentVariable("WEBCONSOLE_TEST_PG").split(u':');
    if (parts.size() < 5)
        return false;
    cfg->driver = QStringLiteral("QPSQL");
    cfg->host = parts[0];
    cfg->port = parts[1].toInt();
    cfg->name = parts[2];
    cfg->user = parts[3];
    cfg->password = parts.mid(4).join(u':');
    return true;
}

struct Fixture
{
    QTemporaryDir dir;
    DatabaseConfig cfg;
    std::unique_ptr<Database> db;

    explicit Fixture(bool postgres)
    {
        if (postgres) {
            postgresServer(&cfg);
            Database admin(cfg);
            cfg.schema = QStringLiteral("bench_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
            if (!admin.open() || !admin.exec(QStringLiteral("CREATE SCHEMA \"%1\"").arg(cfg.schema)))
                std::abort();
        } else {
            cfg.file = dir.filePath(QStringLiteral("bench.db"));
            cfg.create = true;
        }
        db = std::make_unique<Database>(cfg);
        if (!db->open() || !db->ensureSchema(Dictionary::instance()))
            std::abort();
        load();
        // A server's autovacuum would have done this by the time anyone reads the lists.
        if (postgres && !db->exec(QStringLiteral("VACUUM ANALYZE")))
            std::abort();
    }

    ~Fixture()
    {
        db->close();
        if (cfg.schema.isEmpty())
            return;
        DatabaseConfig adminCfg = cfg;
        adminCfg.schema.clear();
        Database admin(adminCfg);
        if (admin.open())
            admin.exec(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(cfg.schema));
    }

    void load()
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

// One fixture per engine, made on first use and dropped before the program ends.
std::map<bool, std::unique_ptr<Fixture>> &fixtures()
{
    static std::map<bool, std::unique_ptr<Fixture>> all;
    return all;
}

Fixture &fixture(bool postgres)
{
    auto &f = fixtures()[postgres];
    if (!f)
        f = std::make_unique<Fixture>(postgres);
    return *f;
}

template<typename Model> void listReset(benchmark::State &state, bool postgres)
{
    Fixture &f = fixture(postgres);
    Model m(*f.db);
    m.setPageSize(kPage);
    for (auto _ : state) {
        qint64 n = 0;
        if (!m.reset() || !m.totalCount(&n))
            state.SkipWithError("list query failed");
        benchmark::DoNotOptimize(n);
    }
}

void rawCountAndPage(benchmark::State &state, bool postgres, const char *table, const char *idField)
{
    Fixture &f = fixture(postgres);
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

// Every list of the General tab made and read, then the counts the status refresh takes.
void generalTabOpen(benchmark::State &state, bool postgres)
{
    Fixture &f = fixture(postgres);
    for (auto _ : state) {
        console::RequestListSet lists(*f.db, QStringLiteral("JS"));
        lists.resetAll();
        benchmark::DoNotOptimize(lists.counts());
    }
}

const char *engineName(bool postgres)
{
    return postgres ? "PostgreSQL" : "SQLite";
}

void registerBenchmarks(bool postgres)
{
    const std::string suffix = std::string("/") + engineName(postgres);
    const auto add = [&](const std::string &name, auto fn) {
        benchmark::RegisterBenchmark((name + suffix).c_str(), fn)->Unit(benchmark::kMillisecond);
    };
    add("BM_QuoteList_Reset", [postgres](benchmark::State &s) { listReset<console::QuoteListModel>(s, postgres); });
    add("BM_QuoteList_RawSql",
        [postgres](benchmark::State &s) { rawCountAndPage(s, postgres, "WebQuotes", "quoteid"); });
    add("BM_OrderList_Reset", [postgres](benchmark::State &s) { listReset<console::OrderListModel>(s, postgres); });
    add("BM_OrderList_RawSql",
        [postgres](benchmark::State &s) { rawCountAndPage(s, postgres, "WebOrders", "orderid"); });
    add("BM_GeneralTab_Open", [postgres](benchmark::State &s) { generalTabOpen(s, postgres); });
}

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

// List reset time over raw SQL time for each list and engine, the opening times and the peak memory.
void summarise(TimesReporter::Times &times)
{
    for (const bool postgres : { false, true }) {
        const std::string suffix = std::string("/") + engineName(postgres);
        for (const char *list : { "QuoteList", "OrderList" }) {
            const double ours = times[std::string("BM_") + list + "_Reset" + suffix];
            const double raw = times[std::string("BM_") + list + "_RawSql" + suffix];
            if (raw > 0)
                std::printf("%-10s %-9s reset %.1f ms, raw SQL count + page %.1f ms, ratio %.2f (goal: ratio <= 1.50, "
                            "reset < 100 ms)\n",
                    engineName(postgres), list, ours, raw, ours / raw);
        }
        if (times.count("BM_GeneralTab_Open" + suffix))
            std::printf("%-10s General tab lists opened in %.1f ms (goal < 100 ms)\n", engineName(postgres),
                times["BM_GeneralTab_Open" + suffix]);
    }
    std::printf("peak memory %.0f MB (goal < 200 MB)\n", peakMegabytes());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    registerBenchmarks(false);
    DatabaseConfig server;
    if (postgresServer(&server))
        registerBenchmarks(true);
    TimesReporter reporter(summarise);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    fixtures().clear();
    benchmark::Shutdown();
    return 0;
}
