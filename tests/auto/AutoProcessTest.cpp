#include "auto/ServiceOptions.h"
#include "auto/AutoWorkspace.h"
#include "demo/DemoData.h"
#include "support/TestDatabase.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// webconsole-auto as cron, systemd and an office run it: separate processes on one database, some
// of them beside the consoles' processing (tests/probe/quote_worker, the console's QuoteProcessing
// in automatic mode).

namespace {

class AutoProcessTest : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(demo::DemoData(db()).fillBusiness().isOk());
        m_firstNumber = value(QStringLiteral("SELECT \"lastquoteno\" FROM \"syconf\"")) + 1;
        m_ini = autotest::writeWorkspace(m_dir.path(), testDb().config());
    }

    void addRequests(int count)
    {
        ASSERT_TRUE(demo::DemoData(db(), 55).addTemplateWebQuotes(count).isOk());
        ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"webcalc\" = 1")).isOk());
    }

    qint64 value(const QString &sql)
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(sql, {}, &q).isOk()) << sql.toStdString();
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    std::unique_ptr<QProcess> startAuto(const QStringList &args)
    {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(WEBCONSOLE_AUTO_PATH), args);
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }

    std::unique_ptr<QProcess> startWorker()
    {
        const bizlib::DatabaseConfig &c = testDb().config();
        QStringList args { QStringLiteral("driver=") + c.driver, QStringLiteral("user=JS"),
            QStringLiteral("data=") + m_dir.filePath(QStringLiteral("data")) };
        if (c.isPostgres())
            args << QStringLiteral("host=") + c.host << QStringLiteral("port=%1").arg(c.port)
                 << QStringLiteral("name=") + c.name << QStringLiteral("dbuser=") + c.user
                 << QStringLiteral("password=") + c.password << QStringLiteral("schema=") + c.schema;
        else
            args << QStringLiteral("file=") + c.file;
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(QUOTE_WORKER_PATH), args);
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }

    static int finish(QProcess &p)
    {
        EXPECT_TRUE(p.waitForFinished(600000));
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QTemporaryDir m_dir;
    QString m_ini;
    qint64 m_firstNumber = 0;
};

TEST_P(AutoProcessTest, whatKeepsItFromStarting_endsWithItsExitCodeAndSaysWhy)
{
    const QString password = m_dir.filePath(QStringLiteral("auto.password"));
    struct Case
    {
        QStringList args;
        QFileDevice::Permissions passwordPermissions;
        int code;
        const char *said;
    };
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const Case cases[] = {
        { { "--ini", m_ini, "--bogus" }, owner, autorun::kExitUsage, "unknown argument" },
        { { "--ini", m_dir.filePath(QStringLiteral("none.ini")), "--once" }, owner, autorun::kExitNotStarted,
            "does not exist" },
        { { "--ini", m_ini, "--once" }, owner | QFileDevice::ReadOther, autorun::kExitNotStarted,
            "may be read by others" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.said);
        QFile::setPermissions(password, c.passwordPermissions);
        const auto p = startAuto(c.args);
        EXPECT_EQ(finish(*p), c.code);
        EXPECT_TRUE(p->readAllStandardError().contains(c.said));
    }
}

TEST_P(AutoProcessTest, onceProcessesWhatWaits_oneLinePerRequest_andEndsWithZero)
{
    addRequests(4);
    const auto p = startAuto({ QStringLiteral("--ini"), m_ini, QStringLiteral("--once") });
    EXPECT_EQ(finish(*p), autorun::kExitOk) << p->readAllStandardError().toStdString();
    const QList<QByteArray> lines = p->readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << lines.join('\n').toStdString();
    for (const QByteArray &l : lines)
        EXPECT_TRUE(l.contains(" processed ") && l.contains(" quote ")) << l.toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\"")), 0);
    // The quote letters are written without a display.
    EXPECT_EQ(QDir(m_dir.filePath(QStringLiteral("data/quotes"))).entryList({ QStringLiteral("*.pdf") }).size(), 4);
}

// SIGTERM while it works: the request in hand is finished, nothing is left claimed, exit code 0.
TEST_P(AutoProcessTest, sigtermLetsTheCurrentRequestFinishAndEndsWithZero)
{
    addRequests(30);
    const auto p = startAuto({ QStringLiteral("--ini"), m_ini });
    ASSERT_TRUE(p->waitForReadyRead(60000)) << p->readAllStandardError().toStdString();
    p->terminate();
    EXPECT_EQ(finish(*p), autorun::kExitOk) << p->readAllStandardError().toStdString();
    const qint64 left = value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\""));
    const qint64 made = value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\" WHERE \"webid\" <> 0"));
    EXPECT_EQ(left + made, 30);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\"")), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\" WHERE \"status\" = 'Processing'")), 0);
}

// Two services and two consoles' processing on one database: every request becomes exactly one
// quote, the numbers run without a gap, and no claim is left.
TEST_P(AutoProcessTest, twoServicesAndTwoConsolesProcessEveryRequestExactlyOnce)
{
    addRequests(200);
    QList<qint32> webIds;
    QSqlQuery q;
    ASSERT_TRUE(db().exec(QStringLiteral("SELECT \"webid\" FROM \"webquotes\""), {}, &q).isOk());
    while (q.next())
        webIds << q.value(0).toInt();
    ASSERT_EQ(webIds.size(), 200);

    std::vector<std::unique_ptr<QProcess>> running;
    running.push_back(startAuto({ QStringLiteral("--ini"), m_ini, QStringLiteral("--once") }));
    running.push_back(startWorker());
    running.push_back(startAuto({ QStringLiteral("--ini"), m_ini, QStringLiteral("--once") }));
    running.push_back(startWorker());
    for (auto &p : running)
        EXPECT_EQ(finish(*p), 0) << p->readAllStandardError().toStdString();

    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\"")), 0);
    for (const qint32 webId : webIds)
        EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\" WHERE \"webid\" = %1").arg(webId)), 1)
            << "web reference " << webId;
    EXPECT_EQ(value(QStringLiteral("SELECT MAX(\"number\") FROM \"quotes\"")), m_firstNumber + 199);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(DISTINCT \"number\") FROM \"quotes\" WHERE \"number\" >= %1")
                        .arg(m_firstNumber)),
        200);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\"")), 0);
    // The services' own lines account for what they did: none failed.
    for (std::size_t i : { 0u, 2u }) {
        const QByteArray out = running[i]->readAllStandardOutput();
        EXPECT_FALSE(out.contains(" failed ")) << out.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, AutoProcessTest, testsupport::allEngines(), testsupport::engineName);

} // namespace
