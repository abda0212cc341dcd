#include "SignupFixture.h"

#include "data/ClaimCleanup.h"

#include <QProcess>

// A workstation (tests/probe/signup_worker) killed at each step of the wizard leaves nothing that
// the next console's cleanup does not take away, and an accepted sign-up stays accepted.

namespace {

class KilledWizard : public signuptest::SignupTest
{
protected:
    int runWorker(qint32 signupId, const QByteArray &killAt)
    {
        const bizlib::DatabaseConfig &c = testDb().config();
        QStringList args { QStringLiteral("driver=") + c.driver, QStringLiteral("user=JS"),
            QStringLiteral("data=") + files.path(), QStringLiteral("signup=%1").arg(signupId) };
        if (c.isPostgres())
            args << QStringLiteral("host=") + c.host << QStringLiteral("port=%1").arg(c.port)
                 << QStringLiteral("name=") + c.name << QStringLiteral("dbuser=") + c.user
                 << QStringLiteral("password=") + c.password << QStringLiteral("schema=") + c.schema;
        else
            args << QStringLiteral("file=") + c.file;
        QProcess worker;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SIGNUP_WORKER_KILL_AT"), QString::fromLatin1(killAt));
        worker.setProcessEnvironment(env);
        worker.start(QStringLiteral(SIGNUP_WORKER_PATH), args);
        EXPECT_TRUE(worker.waitForFinished(60000));
        return worker.exitStatus() == QProcess::CrashExit ? -1 : worker.exitCode();
    }

    // What the next console does at its start.
    void cleanUp()
    {
        data::ClaimCleanup cleanup(db(), { files.path() }, 10);
        data::ClaimCleanup::Report report;
        ASSERT_TRUE(cleanup.run(&report).isOk());
        // Told as the sign-up and its e-mail address, never as some other kind of request.
        for (const QString &line : std::as_const(report.lines))
            EXPECT_TRUE(line.startsWith(QStringLiteral("Web sign-up with identifier"))
                || line.startsWith(QStringLiteral("The e-mail address of a web sign-up")))
                << line.toStdString();
    }
};

TEST_P(KilledWizard, atEveryStep_leavesTheSignupAsBefore_orAccepted)
{
    struct Case
    {
        const char *point;
        bool matched; // the e-mail matches Jo Marsh, who has no web access yet
    };
    const Case cases[] = { { "claimed", false }, { "completed", false }, { "written", false }, { "accepted", false },
        { "matched", true }, { "written", true }, { "accepted", true } };
    // Names the company-name search never takes for one another.
    static const char *const kNames[] = { "", "Ashworth", "Birchall", "Cedarwood", "Damsonfield", "Elmstead" };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.point) + (c.matched ? " (matched)" : " (new)"));
        update("Contacts", contact, { { "WebEnable", 0 }, { "WebPassword", "old" } });
        update("Clients", client, { { "WebEnable", 0 } });
        const qint64 clients = count("Clients");
        const qint64 contacts = count("Contacts");
        const qint64 offices = count("Offices");
        const qint64 towns = count("Towns");
        const qint32 id = c.matched ? addSignup({ { "Email", "jo@harbour.example" }, { "FullName", "Jo Marsh" } })
                                    : addSignup({ { "Email", QStringLiteral("k%1@example.com").arg(++n) },
                                          { "Company", kNames[n] }, { "Town", kNames[n] } });
        EXPECT_EQ(runWorker(id, c.point), -1) << "the worker was killed there";
        cleanUp();
        EXPECT_EQ(count("wc_claims"), 0);
        EXPECT_EQ(count("wc_claimitems"), 0);
        const bizlib::Record s = fetch("WebSignup", id);
        if (QByteArray(c.point) == "accepted") {
            EXPECT_EQ(s.text("Status"), "Accepted");
            EXPECT_EQ(count("Clients"), clients + (c.matched ? 0 : 1));
            EXPECT_EQ(fetch("Contacts", s.toLong("ContactID")).toLong("WebEnable"), 1);
            continue;
        }
        EXPECT_EQ(s.text("Status"), "Pending");
        EXPECT_EQ(count("Clients"), clients);
        EXPECT_EQ(count("Contacts"), contacts);
        EXPECT_EQ(count("Offices"), offices);
        EXPECT_EQ(count("Towns"), towns);
        const bizlib::Record jo = fetch("Contacts", contact);
        EXPECT_EQ(jo.toLong("WebEnable"), 0);
        EXPECT_EQ(jo.text("WebPassword"), "old");
        EXPECT_EQ(fetch("Clients", client).toLong("WebEnable"), 0);
        // The sign-up can be processed again, to the end.
        EXPECT_EQ(runWorker(id, {}), 0);
        EXPECT_EQ(fetch("WebSignup", id).text("Status"), "Accepted");
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, KilledWizard, testsupport::allEngines(), testsupport::engineName);

} // namespace
