#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "demo/DemoData.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
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

    // Gives every waiting request an attachment whose file the web monitor left in its upload
    // folder (inside the data folder), so that runs copy and rename files.
    void addLocalAttachments()
    {
        const QString uploads = m_files.filePath(QStringLiteral("data/uploads"));
        ASSERT_TRUE(QDir().mkpath(uploads));
        QSqlQuery q;
        ASSERT_TRUE(db().exec(QStringLiteral("SELECT \"quoteid\", \"webid\" FROM \"webquotes\" WHERE \"hasattachments\" = 0"),
                            {}, &q)
                        .isOk());
        QList<QPair<qint32, qint32>> requests;
        while (q.next())
            requests.append({ q.value(0).toInt(), q.value(1).toInt() });
        bizlib::Table attachments(db(), QStringLiteral("WebAttachments"));
        for (const auto &[id, webId] : requests) {
            const QString source = QDir(uploads).filePath(QStringLiteral("%1.pdf").arg(webId));
            QFile f(source);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("%PDF-1.4");
            bizlib::Record r;
            ASSERT_TRUE(attachments.prime(r).isOk());
            r.setLong("QuoteID", id);
            r.setText("SourceName", source);
            r.setText("SourceFile", QStringLiteral("art.pdf"));
            r.setText("Filename", QStringLiteral("%1_art.pdf").arg(webId));
            ASSERT_TRUE(attachments.insert(r).isOk());
            ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"hasattachments\" = 1 WHERE \"quoteid\" = ?"),
                                { id })
                            .isOk());
        }
    }

    // Every file in the quotes folder belongs to a stored attachment, and every copied
    // attachment's file is there: nothing of an interrupted run is left on disk.
    void expectFilesAccountedFor()
    {
        QSet<QString> named;
        QSqlQuery q;
        ASSERT_TRUE(db().exec(QStringLiteral("SELECT \"localpath\" FROM \"attachments\" WHERE \"copied\" = 1"), {}, &q)
                        .isOk());
        while (q.next()) {
            named.insert(q.value(0).toString());
            EXPECT_TRUE(QFile::exists(q.value(0).toString())) << q.value(0).toString().toStdString();
        }
        const QDir quotes(m_files.filePath(QStringLiteral("data/quotes")));
        for (const QString &name : quotes.entryList(QDir::Files))
            EXPECT_TRUE(named.contains(quotes.filePath(name))) << "left behind: " << name.toStdString();
        EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\"")), 0);
    }

    // Runs `count` workers at once until all have ended; their exit codes (-1: killed).
    QList<int> runWorkers(int count, const QByteArray &killAt = {}, bool manual = false)
    {
        std::vector<std::unique_ptr<QProcess>> workers;
        for (int i = 0; i < count; ++i) {
            auto p = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            if (!killAt.isEmpty())
                env.insert(QStringLiteral("QUOTE_WORKER_KILL_AT"), QString::fromLatin1(killAt));
            if (manual)
                env.insert(QStringLiteral("QUOTE_WORKER_MANUAL"), QStringLiteral("1"));
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

// A workstation killed at any write of the automatic path, or while a user has the quote form
// open: the next start cleans up what the run made and gives the request back, which is then
// processed; or the run's result is complete and the request is gone. Never both, never neither,
// and no file or claim of the run is left.
TEST_P(Reliability, aWorkstationKilledAnywhereIsCleanedUpAtTheNextStart)
{
    int made = 0;
    struct Kill
    {
        const char *point; // empty: killed with the quote form open
        bool manual;
    };
    const Kill kills[] = { { "staged", false }, { "converted", false }, { "numbered", false }, { "stored", false },
        { "deleted", false }, { "committed", false }, { "", true } };
    for (const Kill &kill : kills) {
        SCOPED_TRACE(kill.manual ? "form open" : kill.point);
        ASSERT_TRUE(addRequests(2).isOk());
        addLocalAttachments();
        const QList<qint32> webIds = pendingWebIds();
        EXPECT_EQ(runWorkers(1, kill.point, kill.manual), QList<int> { -1 });
        const bool stored = QByteArray(kill.point) == "committed";
        EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\"")), stored ? 1 : 2);

        EXPECT_EQ(runWorkers(1), QList<int> { 0 });
        made += 2;
        expectRequestOrQuote(webIds);
        EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\"")), 0);
        expectNumbersWithoutGaps(made);
        expectFilesAccountedFor();
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, Reliability, testsupport::allEngines(), testsupport::engineName);

} // namespace
