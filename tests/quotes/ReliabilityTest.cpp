#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "demo/DemoData.h"
#include "support/TestDatabase.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

// Workstations are separate processes (tests/probe/quote_worker) on one database, as in an office.

namespace {

class Reliability : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        demo::DemoData demo(db());
        const bizlib::Status st = demo.fillBusiness();
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
        m_firstNumber = value(QStringLiteral("SELECT \"lastquoteno\" FROM \"syconf\"")) + 1;
    }

    // The demo numbers new requests after the waiting ones only; each batch gets web references
    // of its own, so that a quote tells which request it came from.
    bizlib::Status addRequests(int count)
    {
        const bizlib::Status st = demo::DemoData(db(), 99 + m_added).addTemplateWebQuotes(count);
        ++m_added;
        return st
            ? db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"webid\" = \"webid\" + %1 WHERE \"webid\" < 100000")
                            .arg(m_added * 100000))
            : st;
    }

    qint64 value(const QString &sql)
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(sql, {}, &q).isOk()) << sql.toStdString();
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    QStringList workerArguments()
    {
        const bizlib::DatabaseConfig &c = testDb().config();
        QStringList args { QStringLiteral("driver=") + c.driver, QStringLiteral("user=AB"),
            QStringLiteral("data=") + m_files.filePath(QStringLiteral("data")) };
        if (c.isPostgres()) {
            args << QStringLiteral("host=") + c.host << QStringLiteral("port=%1").arg(c.port)
                 << QStringLiteral("name=") + c.name << QStringLiteral("dbuser=") + c.user
                 << QStringLiteral("password=") + c.password << QStringLiteral("schema=") + c.schema;
        } else {
            args << QStringLiteral("file=") + c.file;
        }
        return args;
    }

    // Runs `count` workers at once until all have ended; their exit codes (-1: killed).
    QList<int> runWorkers(int count, const QByteArray &killAt = {})
    {
        std::vector<std::unique_ptr<QProcess>> workers;
        for (int i = 0; i < count; ++i) {
            auto p = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            if (!killAt.isEmpty())
                env.insert(QStringLiteral("QUOTE_WORKER_KILL_AT"), QString::fromLatin1(killAt));
            p->setProcessEnvironment(env);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QStringLiteral(QUOTE_WORKER_PATH), workerArguments());
            workers.push_back(std::move(p));
        }
        QList<int> codes;
        for (auto &p : workers) {
            EXPECT_TRUE(p->waitForFinished(600000));
            codes << (p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1);
        }
        return codes;
    }

    // Every web quote request given is either still waiting or has become exactly one quote,
    // never both and never neither; no rows of quotes that were never stored are left.
    void expectRequestOrQuote(const QList<qint32> &webIds)
    {
        for (const qint32 webId : webIds) {
            const qint64 requests
                = value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\" WHERE \"webid\" = %1").arg(webId));
            const qint64 quotes
                = value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\" WHERE \"webid\" = %1").arg(webId));
            EXPECT_EQ(requests + quotes, 1) << "web reference " << webId;
        }
        for (const char *table : { "quoteworkings", "quotequantities", "spectexts", "notes", "attachments" }) {
            EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"%1\" t WHERE t.\"quoteid\" <> 0 AND NOT EXISTS "
                                           "(SELECT 1 FROM \"quotes\" q WHERE q.\"quoteid\" = t.\"quoteid\")")
                                .arg(QLatin1String(table))),
                0)
                << table;
        }
    }

    // The quotes made so far carry the numbers after the last one issued before, without a gap.
    void expectNumbersWithoutGaps(int made)
    {
        EXPECT_EQ(value(QStringLiteral("SELECT COUNT(DISTINCT \"number\") FROM \"quotes\" WHERE \"number\" >= %1")
                            .arg(m_firstNumber)),
            made);
        EXPECT_EQ(
            value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\" WHERE \"number\" >= %1").arg(m_firstNumber)), made);
        EXPECT_EQ(value(QStringLiteral("SELECT MAX(\"number\") FROM \"quotes\"")), m_firstNumber + made - 1);
        EXPECT_EQ(value(QStringLiteral("SELECT \"lastquoteno\" FROM \"syconf\"")), m_firstNumber + made - 1);
    }

    QList<qint32> pendingWebIds()
    {
        QList<qint32> ids;
        QSqlQuery q;
        EXPECT_TRUE(db().exec(QStringLiteral("SELECT \"webid\" FROM \"webquotes\""), {}, &q).isOk());
        while (q.next())
            ids << q.value(0).toInt();
        return ids;
    }

    QTemporaryDir m_files;
    qint64 m_firstNumber = 0;
    int m_added = 0;
};

TEST_P(Reliability, fourWorkstationsTurnTwoHundredRequestsIntoExactlyOneQuoteEach)
{
    ASSERT_TRUE(addRequests(200).isOk());
    const QList<qint32> webIds = pendingWebIds();
    ASSERT_EQ(webIds.size(), 200);
    EXPECT_EQ(runWorkers(4), QList<int>({ 0, 0, 0, 0 }));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\"")), 0);
    expectRequestOrQuote(webIds);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\" WHERE \"webid\" <> 0")), 200);
    expectNumbersWithoutGaps(200);
}

TEST_P(Reliability, aWorkstationKilledAnywhereLeavesTheRequestOrTheQuoteAndAnUnlockFinishesIt)
{
    int made = 0;
    for (const char *point : { "converted", "numbered", "stored", "deleted", "committed" }) {
        SCOPED_TRACE(point);
        ASSERT_TRUE(addRequests(2).isOk());
        const QList<qint32> webIds = pendingWebIds();
        EXPECT_EQ(runWorkers(1, point), QList<int> { -1 });
        expectRequestOrQuote(webIds);
        const bool stored = QByteArray(point) == "committed";
        EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\"")), stored ? 1 : 2);
        // The killed workstation's claim stays until a user unlocks the request.
        EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\" WHERE \"status\" = 'Processing'")),
            stored ? 0 : 1);
        ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"status\" = 'Pending'")).isOk());
        EXPECT_EQ(runWorkers(1), QList<int> { 0 });
        made += 2;
        expectRequestOrQuote(webIds);
        EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\"")), 0);
        expectNumbersWithoutGaps(made);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, Reliability, testsupport::allEngines(), testsupport::engineName);

} // namespace
