#include "auto/AutoService.h"

#include "auto/QuietPrompter.h"
#include "auto/ServiceLogon.h"
#include "auto/ServiceOptions.h"
#include "bizlib/Table.h"
#include "config/AppContext.h"
#include "config/DownloaderReport.h"
#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"
#include "demo/DemoData.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

using autorun::AutoService;
using autorun::QuietPrompter;
using autorun::ServiceOptions;

namespace {

TEST(ServiceOptions, parse)
{
    struct Case
    {
        QStringList args;
        QString ini;
        int company;
        bool once;
        bool error;
    };
    const Case cases[] = {
        { {}, {}, -1, false, false },
        { { "--ini", "/w/a.ini", "--company", "3", "--once" }, "/w/a.ini", 3, true, false },
        { { "--ini=/w/b.ini", "--company=0" }, "/w/b.ini", 0, false, false },
        { { "--company", "x" }, {}, -1, false, true },
        { { "--company", "-2" }, {}, -1, false, true },
        { { "--ini" }, {}, -1, false, true },
        { { "/ForceRun" }, {}, -1, false, true },
    };
    for (const Case &c : cases) {
        const ServiceOptions o = ServiceOptions::parse(QStringList { "webconsole-auto" } + c.args);
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        EXPECT_EQ(!o.error.isEmpty(), c.error) << o.error.toStdString();
        if (c.error)
            continue;
        EXPECT_EQ(o.iniFile, c.ini);
        EXPECT_EQ(o.company, c.company);
        EXPECT_EQ(o.once, c.once);
    }
}

TEST(QuietPrompter, noticesAreReadAndQuestionsTakeTheirSafeAnswerAndAreRemembered)
{
    QStringList said;
    QuietPrompter p([&said](const QString &line) { said << line; });
    EXPECT_EQ(p.alert(QStringLiteral("Saved."), QStringLiteral("Note"), bizlib::Prompter::Icon::Information), 1);
    EXPECT_TRUE(p.takeQuestions().isEmpty());
    // Esc named: that answer; none named: the last button; Yes is never given for a user.
    EXPECT_EQ(p.alert(QStringLiteral("Unlock?"), QStringLiteral("Busy"), bizlib::Prompter::Icon::Exclamation,
                  QStringLiteral("&Cancel|&Unlock"), 1, 1),
        1);
    EXPECT_FALSE(p.askYesNo(QStringLiteral("Copy attachments?"), QStringLiteral("Copy"), true));
    EXPECT_EQ(p.takeQuestions(), QStringList({ "Busy: Unlock?", "Copy: Copy attachments?" }));
    EXPECT_TRUE(p.takeQuestions().isEmpty());
    EXPECT_EQ(said.size(), 3);
}

TEST(ServiceLogon, passwordFileIsReadOnlyWhenNobodyButItsOwnerMayReadIt)
{
    QTemporaryDir dir;
    struct Case
    {
        const char *content;
        QFileDevice::Permissions permissions;
        bool accepted;
    };
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const Case cases[] = {
        { "secret\n", owner, true }, { "secret\r\n", QFileDevice::ReadOwner, true },
        { "secret\n", owner | QFileDevice::ReadGroup, false }, { "secret\n", owner | QFileDevice::ReadOther, false },
        { "\nsecret\n", owner, false }, { nullptr, owner, false }, // no file
    };
    int n = 0;
    for (const Case &c : cases) {
        const QString path = dir.filePath(QStringLiteral("pw%1").arg(n++));
        if (c.content) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.content);
            f.close();
            f.setPermissions(c.permissions);
        }
        QString password;
        const bizlib::Status st = autorun::ServiceLogon::readPassword(path, &password);
        EXPECT_EQ(st.isOk(), c.accepted) << n << ' ' << st.message().toStdString();
        EXPECT_EQ(password, c.accepted ? QStringLiteral("secret") : QString()) << n;
    }
}

class AutoServiceTest : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(demo::DemoData(db()).fillBusiness().isOk());
        ASSERT_TRUE(demo::DemoData(db(), 77).addTemplateWebQuotes(3).isOk());
        ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"webcalc\" = 1")).isOk());
        m_ctx.db = &db();
        m_ctx.prompter = &m_prompter;
        m_ctx.brevix.globalData = m_files.filePath(QStringLiteral("data"));
        m_ctx.settings.autoProcessQuotes = true;
        m_ctx.settings.autoProcessRfqs = true;
        m_ctx.glo.user.userCode = QStringLiteral("AB");
    }

    qint64 value(const QString &sql)
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(sql, {}, &q).isOk()) << sql.toStdString();
        return q.next() ? q.value(0).toLongLong() : -1;
    }
    qint32 firstRequest() { return qint32(value(QStringLiteral("SELECT MIN(\"quoteid\") FROM \"webquotes\""))); }

    AutoService::Round round()
    {
        m_lines.clear();
        return m_service->round();
    }
    void makeService()
    {
        m_service = std::make_unique<AutoService>(
            m_ctx, m_prompter, [this](const QString &l) { m_lines << l; }, [this](const QString &l) { m_errors << l; });
    }

    QTemporaryDir m_files;
    QuietPrompter m_prompter;
    config::AppContext m_ctx;
    std::unique_ptr<AutoService> m_service;
    QStringList m_lines;
    QStringList m_errors;
};

TEST_P(AutoServiceTest, roundProcessesEachQualifyingRequestOnce_andTellsARequestLeftToUsersOnlyOnce)
{
    const qint32 notPriced = firstRequest();
    ASSERT_TRUE(
        db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"webcalc\" = 0 WHERE \"quoteid\" = ?"), { notPriced })
            .isOk());
    makeService();
    const AutoService::Round r = round();
    EXPECT_EQ(r.processed, 2);
    EXPECT_EQ(r.failed, 0);
    ASSERT_EQ(m_lines.size(), 3) << m_lines.join(u'\n').toStdString();
    EXPECT_TRUE(m_lines[0].contains(QStringLiteral(" left ")) && m_lines[0].contains(QStringLiteral("not priced")))
        << m_lines[0].toStdString();
    EXPECT_TRUE(m_lines[1].contains(QStringLiteral(" processed ")) && m_lines[1].contains(QStringLiteral(" quote ")))
        << m_lines[1].toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\"")), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\"")), 0);
    EXPECT_EQ(round().processed, 0);
    EXPECT_TRUE(m_lines.isEmpty()) << m_lines.join(u'\n').toStdString();
}

// Another workstation claimed a request between the list and the claim: the service declines it,
// names the holder, and leaves the request and the other's claim as they are.
TEST_P(AutoServiceTest, requestClaimedElsewhereMeanwhile_isDeclinedNamingTheHolder_andLeftAlone)
{
    const qint32 held = firstRequest();
    const std::unique_ptr<bizlib::Database> other = testDb().openSecond();
    data::RequestClaim claim(*other, data::ClaimVariant::quoteProcessing(), held, nullptr, {}, QStringLiteral("JS"));
    makeService();
    // The claim comes after the service read its list: the walk meets it at its own claim.
    bool claimed = false;
    AutoService::Round r = m_service->round([&] {
        if (!claimed)
            claimed = claim.claim(true) == data::RequestClaim::Outcome::Claimed;
        return false;
    });
    ASSERT_TRUE(claimed);
    EXPECT_EQ(r.declined, 1);
    EXPECT_EQ(r.processed, 2);
    const QString line = m_lines.filter(QStringLiteral(" declined ")).value(0);
    EXPECT_TRUE(line.contains(QStringLiteral("held by JS"))) << m_lines.join(u'\n').toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\" WHERE \"status\" = 'Processing'")), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\" WHERE \"usercode\" = 'JS'")), 1);
}

// Requests that cannot be read are never passed over in silence: a list that cannot be read, or a
// request that cannot be read again, makes the round a failed one (and --once end with 3).
TEST_P(AutoServiceTest, requestsThatCannotBeRead_failTheRoundAndAreSaid)
{
    const QString away = QStringLiteral("ALTER TABLE \"webquotes\" RENAME TO \"webquotes_away\"");
    const QString back = QStringLiteral("ALTER TABLE \"webquotes_away\" RENAME TO \"webquotes\"");
    makeService();
    bool gone = false;
    AutoService::Round r = m_service->round([&] {
        if (!gone)
            gone = db().exec(away).isOk();
        return false;
    });
    ASSERT_TRUE(gone);
    EXPECT_EQ(r.processed, 0);
    EXPECT_EQ(r.failed, 3);
    EXPECT_EQ(m_lines.filter(QStringLiteral("cannot be read")).size(), 3) << m_lines.join(u'\n').toStdString();
    m_lines.clear();
    r = m_service->round();
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(m_errors.filter(QStringLiteral("cannot be read")).size(), 1) << m_errors.join(u'\n').toStdString();
    ASSERT_TRUE(db().exec(back).isOk());
    EXPECT_EQ(round().processed, 3);
}

// What keeps the service from doing all its work is said once at the start, not once per request.
TEST_P(AutoServiceTest, theStartSaysWhatIsSwitchedOff)
{
    m_ctx.brevix.emailDisable = 1;
    m_ctx.settings.autoProcessQuotes = false;
    m_ctx.settings.autoProcessRfqs = false;
    makeService();
    m_service->start();
    EXPECT_EQ(m_errors.filter(QStringLiteral("E-mail is switched off")).size(), 1)
        << m_errors.join(u'\n').toStdString();
    EXPECT_EQ(m_errors.filter(QStringLiteral("Automatic processing is switched off")).size(), 1);
    m_errors.clear();
    m_ctx.brevix.emailDisable = 0;
    m_ctx.settings.autoProcessQuotes = true;
    makeService();
    m_service->start();
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join(u'\n').toStdString();
}

// The downloaders the service starts run on their own: how one failed is heard at the next round,
// on the error output, in the trace log and among the problems, and only once.
TEST_P(AutoServiceTest, aDownloaderThatFailedIsToldAtTheNextRound)
{
    m_ctx.paths.downloaderReports = m_files.filePath(QStringLiteral("reports"));
    ASSERT_TRUE(QDir().mkpath(m_ctx.paths.downloaderReports));
    config::DownloaderReport failed;
    failed.subject = QStringLiteral("Quote 24108");
    failed.exitCode = 1;
    failed.messages << QStringLiteral("https://print.example.com/a.pdf: HTTP 404");
    config::DownloaderReport fine;
    fine.subject = QStringLiteral("Quote 24109");
    QString error;
    ASSERT_TRUE(config::DownloaderReport::write(m_ctx.paths.downloaderReports, failed, &error)) << error.toStdString();
    ASSERT_TRUE(config::DownloaderReport::write(m_ctx.paths.downloaderReports, fine, &error)) << error.toStdString();
    makeService();
    round();
    const QStringList told = m_errors.filter(QStringLiteral("attachments of"));
    ASSERT_EQ(told.size(), 1) << m_errors.join(u'\n').toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("Quote 24108")) && told[0].contains(QStringLiteral("HTTP 404")));
    EXPECT_EQ(m_service->problems().problemCount(), 1);
    round();
    EXPECT_EQ(m_errors.filter(QStringLiteral("attachments of")).size(), 1) << "told once";
}

// A run that fails is told, given back "Pending", and not tried again at the next round; once its
// row changes it is tried at once.
TEST_P(AutoServiceTest, failedRequestIsToldGivenBackAndWaits_untilItsRowChanges)
{
    const qint32 failing = firstRequest();
    ASSERT_TRUE(db().exec(QStringLiteral("DELETE FROM \"webquotes\" WHERE \"quoteid\" <> ?"), { failing }).isOk());
    // Its attachment's copy cannot be made: the quotes folder is a file.
    const QString uploads = m_files.filePath(QStringLiteral("data/uploads"));
    ASSERT_TRUE(QDir().mkpath(uploads));
    QFile source(QDir(uploads).filePath(QStringLiteral("art.pdf")));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("%PDF-1.4");
    source.close();
    QFile blocker(m_files.filePath(QStringLiteral("data/quotes")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    bizlib::Table attachments(db(), QStringLiteral("WebAttachments"));
    bizlib::Record a;
    ASSERT_TRUE(attachments.prime(a).isOk());
    a.setLong("QuoteID", failing);
    a.setText("SourceName", source.fileName());
    a.setText("SourceFile", QStringLiteral("art.pdf"));
    a.setText("Filename", QStringLiteral("1_art.pdf"));
    ASSERT_TRUE(attachments.insert(a).isOk());
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"hasattachments\" = 1")).isOk());
    makeService();

    EXPECT_EQ(round().failed, 1);
    ASSERT_EQ(m_lines.size(), 1);
    EXPECT_TRUE(m_lines[0].contains(QStringLiteral(" failed "))) << m_lines[0].toStdString();
    EXPECT_EQ(m_service->problems().count(), 1);
    EXPECT_EQ(m_service->problems().waitMinutes(failing), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\" WHERE \"status\" = 'Pending'")), 1);
    EXPECT_EQ(round().failed, 0);
    EXPECT_TRUE(m_lines.isEmpty());

    ASSERT_TRUE(blocker.remove());
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"title\" = 'Leaflets again'")).isOk());
    EXPECT_EQ(round().processed, 1);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\"")), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, AutoServiceTest, testsupport::allEngines(), testsupport::engineName);

} // namespace
