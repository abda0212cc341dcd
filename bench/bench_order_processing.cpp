// Automatic processing of web orders of three stock products (claim, one business order per
// product with its item and specification, job numbers, the order saved without showing its form,
// the web order deleted with its items) against the same reads, inserts and deletes done with
// plain prepared SQL statements, on SQLite and on PostgreSQL (when WEBCONSOLE_TEST_PG names a server). Both keep
// the claim's holder in wc_claims and record what the run makes in wc_claimitems as the program
// does. Prints web orders per second of both and their ratio; goal: the program within 3 times the
// plain statements.
// Run: build/bench/bench_order_processing (add --benchmark_filter=... to pick one).
#include "BenchSize.h"
#include "EngineDatabase.h"
#include "PlainStatements.h"
#include "TimesReporter.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/forms/RecordForms.h"
#include "config/AppContext.h"
#include "demo/DemoData.h"
#include "orders/OrderProcessing.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>

using namespace bizlib;

namespace {

const int kPerRun = benchSize(150); // web orders processed by each benchmark

// One business database per engine, with demo data and enough web orders for both benchmarks: the
// program takes the first half, the plain statements the second.
struct Fixture : EngineDatabase
{
    QList<qint32> program;
    QList<qint32> raw;

    explicit Fixture(bool postgres)
        : EngineDatabase(postgres)
    {
        if (!skip.isEmpty())
            return;
        // Only the orders made here: the samples are of other kinds.
        QSqlQuery q;
        db->exec(QStringLiteral("SELECT COALESCE(MAX(\"orderid\"), 0) FROM \"weborders\""), {}, &q);
        const qint32 before = q.next() ? q.value(0).toInt() : 0;
        if (!demo::DemoData(*db).addThreeItemWebOrders(2 * kPerRun)) {
            skip = QStringLiteral("the web orders could not be written");
            return;
        }
        db->exec(QStringLiteral("SELECT \"orderid\" FROM \"weborders\" WHERE \"orderid\" > ? ORDER BY \"orderid\""),
            { before }, &q);
        while (q.next())
            (program.size() < kPerRun ? program : raw) << q.value(0).toInt();
    }
};

Fixture &fixture(bool postgres)
{
    if (postgres) {
        static Fixture pg(true);
        return pg;
    }
    static Fixture sqlite(false);
    return sqlite;
}

// An automatic run saves its order forms without showing them; one shown is a fault of the run.
class NoForms : public forms::RecordForms
{
public:
    void runForm(forms::FormModel &) override { ++shown; }
    void runList(forms::SelectionList &) override { ++shown; }
    std::optional<QDate> pickDate(const QString &, const QDate &) override
    {
        ++shown;
        return std::nullopt;
    }
    int shown = 0;
};

void BM_Order_Program(benchmark::State &state)
{
    Fixture &f = fixture(state.range(0) != 0);
    if (!f.skip.isEmpty()) {
        state.SkipWithError(qPrintable(f.skip));
        return;
    }
    config::AppContext ctx;
    ctx.db = f.db.get();
    ctx.brevix.globalData = f.dir.filePath(QStringLiteral("data"));
    ctx.settings.orderPhrases = false;
    ctx.glo.user.userCode = QStringLiteral("AB");
    NoForms forms;
    orders::OrderProcessing::Services services;
    services.ctx = &ctx;
    services.forms = &forms;
    services.changeNotice = [] {};
    Table webOrders(*f.db, QStringLiteral("WebOrders"));
    int next = 0;
    for (auto _ : state) {
        Record webOrder = webOrders.newRecord();
        webOrders.fetch(QStringLiteral("ORDERIDKEY"), { f.program.value(next++) }, webOrder);
        orders::OrderProcessing p(services, webOrder, true);
        if (!p.open() || p.run() != forms::Response::Completed || p.createdOrders().size() != 3 || forms.shown != 0) {
            state.SkipWithError(qPrintable(p.lastStatus().message() + p.told()));
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

// The plain statements: one prepared statement per kind of read, insert and delete, kept for the
// whole run.
class RawProcessing : public PlainStatements
{
public:
    using PlainStatements::PlainStatements;

    bool process(qint32 webOrderId)
    {
        QSqlDatabase c = m_db.connection();
        // The claim: the status and its holder in one transaction.
        const QString owner = QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (!begin()
            || !exec("claim",
                QStringLiteral("UPDATE \"weborders\" SET \"status\" = 'Processing' WHERE \"orderid\" = ? "
                               "AND RTRIM(\"status\") <> 'Processing'"),
                { webOrderId })
            || !exec("holder",
                QStringLiteral(
                    "INSERT INTO \"wc_claims\" (\"owner\", \"requesttable\", \"requestid\", \"savedstatus\", "
                    "\"session\", \"workstation\", \"usercode\", \"processid\", \"startedon\", "
                    "\"startedat\", \"seenon\", \"seenat\", \"state\") VALUES (?, 'WebOrders', ?, "
                    "'Pending', 's', 'w', 'AB', 1, 1, 1, 1, 1, 'Running')"),
                { owner, webOrderId })
            || !commit())
            return false;
        const QSqlRecord web
            = one("web order", QStringLiteral("SELECT * FROM \"weborders\" WHERE \"orderid\" = ?"), webOrderId);
        const qint32 clientId = web.value(QStringLiteral("clientid")).toInt();
        one("client", QStringLiteral("SELECT * FROM \"clients\" WHERE \"clientid\" = ?"), clientId);
        one("contact", QStringLiteral("SELECT * FROM \"contacts\" WHERE \"contactid\" = ?"),
            web.value(QStringLiteral("dcontactid")));
        one("office", QStringLiteral("SELECT * FROM \"offices\" WHERE \"officeid\" = ?"),
            web.value(QStringLiteral("dofficeid")));
        one("tax", QStringLiteral("SELECT * FROM \"taxrates\" WHERE \"taxcode\" = ?"), QStringLiteral("S"));
        QList<QSqlRecord> items;
        {
            QSqlQuery &q = statement(
                "items", QStringLiteral("SELECT * FROM \"weborderitems\" WHERE \"orderid\" = ? ORDER BY \"sequence\""));
            q.bindValue(0, webOrderId);
            if (!q.exec())
                return false;
            while (q.next())
                items << q.record();
            q.finish();
        }
        int seq = 0;
        bool ok = true;
        // One order per item, each saved in a transaction of its own; the last one deletes the web
        // order with its web rows and ends the claim.
        for (int n = 0; ok && n < items.size(); ++n) {
            const QSqlRecord &item = items.at(n);
            one("material", QStringLiteral("SELECT * FROM \"materials\" WHERE \"materialid\" = ?"),
                item.value(QStringLiteral("materialid")));
            ok = begin();
            const qint32 orderId = counter(QStringLiteral("orders"));
            QSqlQuery &job = statement("job",
                QStringLiteral("UPDATE \"syconf\" SET \"lastjobno\" = \"lastjobno\" + 1 RETURNING \"lastjobno\""));
            ok = ok && orderId > 0 && job.exec() && job.next();
            const QVariant jobNo = ok ? job.value(0) : QVariant(0);
            job.finish();
            QSqlRecord order = row("orders", web);
            order.setValue(QStringLiteral("orderid"), orderId);
            order.setValue(QStringLiteral("jobno"), jobNo);
            order.setValue(QStringLiteral("status"), QStringLiteral("Live"));
            QSqlRecord line = row("orderitems", item);
            const qint32 lineId = counter(QStringLiteral("orderitems"));
            line.setValue(QStringLiteral("orderitemid"), lineId);
            line.setValue(QStringLiteral("orderid"), orderId);
            // Every order has its specification row.
            QSqlRecord spec = row("spectexts", QSqlRecord());
            const qint32 specId = counter(QStringLiteral("spectexts"));
            spec.setValue(QStringLiteral("spectextid"), specId);
            spec.setValue(QStringLiteral("orderid"), orderId);
            ok = ok && insert("orders", order) && claimItem(owner, ++seq, "Orders", orderId)
                && insert("orderitems", line) && claimItem(owner, ++seq, "OrderItems", lineId)
                && insert("spectexts", spec) && claimItem(owner, ++seq, "SpecTexts", specId);
            if (n + 1 < items.size()) {
                ok = ok
                    && exec("confirm", QStringLiteral("UPDATE \"wc_claims\" SET \"seenon\" = 2 WHERE \"owner\" = ?"),
                        { owner });
            } else {
                for (const auto &[table, field] :
                    { std::pair { "weborderitems", "orderid" }, std::pair { "webnotes", "orderid" },
                        std::pair { "webattachments", "orderid" }, std::pair { "weborders", "orderid" } }) {
                    ok = ok
                        && exec(QByteArray("delete ") + table,
                            QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\" = ?")
                                .arg(QLatin1String(table), QLatin1String(field)),
                            { webOrderId });
                }
                ok = ok && exec("release", QStringLiteral("DELETE FROM \"wc_claims\" WHERE \"owner\" = ?"), { owner })
                    && exec("release items", QStringLiteral("DELETE FROM \"wc_claimitems\" WHERE \"owner\" = ?"),
                        { owner });
            }
            if (!ok) {
                rollback();
                return false;
            }
            ok = commit();
        }
        return ok;
    }

    void prepareCounters() { startCountersAfterRows({ "orders", "orderitems", "spectexts" }); }

private:
    // A whole row of `table`: the values of `from` whose column names it shares, the rest empty.
    static QSqlRecord row(const char *table, const QSqlRecord &from)
    {
        const TableDef &def = Dictionary::instance().require(QString::fromLatin1(table));
        QSqlRecord r;
        for (const FieldDef &fd : def.fields) {
            const QString name = fd.name.toLower();
            QSqlField field(name);
            field.setValue(from.contains(name) ? from.value(name)
                    : fd.isText()              ? QVariant(QStringLiteral(""))
                                               : QVariant(0));
            r.append(field);
        }
        return r;
    }

    bool claimItem(const QString &owner, int seq, const char *table, qint32 key)
    {
        return exec("claim item",
            QStringLiteral("INSERT INTO \"wc_claimitems\" (\"owner\", \"seq\", \"kind\", \"itemtable\", \"itemkey\", "
                           "\"path\", \"target\", \"saved\") VALUES (?, ?, 'Row', ?, ?, '', '', '')"),
            { owner, seq, QString::fromLatin1(table), key });
    }
};

void BM_Order_RawSql(benchmark::State &state)
{
    Fixture &f = fixture(state.range(0) != 0);
    if (!f.skip.isEmpty()) {
        state.SkipWithError(qPrintable(f.skip));
        return;
    }
    RawProcessing raw(*f.db);
    raw.prepareCounters();
    int next = 0;
    for (auto _ : state) {
        if (!raw.process(f.raw.value(next++))) {
            state.SkipWithError("a plain statement failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_Order_Program)->Arg(0)->Arg(1)->Iterations(kPerRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Order_RawSql)->Arg(0)->Arg(1)->Iterations(kPerRun)->Unit(benchmark::kMillisecond);

void summarise(TimesReporter::Times &times)
{
    for (const auto &[arg, engine] : { std::pair { "0", "SQLite" }, std::pair { "1", "PostgreSQL" } }) {
        const auto find = [&times, arg](const char *name) {
            for (const auto &[key, ms] : times) {
                if (key.rfind(std::string(name) + "/" + arg, 0) == 0)
                    return ms;
            }
            return 0.0;
        };
        const double ours = find("BM_Order_Program");
        const double raw = find("BM_Order_RawSql");
        if (ours > 0 && raw > 0)
            std::printf("%-10s program %.1f web orders/s, plain statements %.1f web orders/s, program / plain = %.2f "
                        "(goal <= 3.00)\n",
                engine, 1000.0 / ours, 1000.0 / raw, ours / raw);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimesReporter reporter(summarise);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
