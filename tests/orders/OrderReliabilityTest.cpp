#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "demo/DemoData.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

// A workstation (tests/probe/order_worker, a process of its own) dies in the middle of a web
// order of three orders; the next start cleans up after it.

namespace {

class OrderReliability : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        demo::DemoData demo(db());
        bizlib::Status st = demo.fillBusiness();
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
        st = demo.addThreeItemWebOrders(1);
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
        m_webOrder = value(QStringLiteral("SELECT MAX(\"orderid\") FROM \"weborders\""));
        // A note from the website and an attachment whose file the web monitor left in its upload
        // folder, so that a run copies rows and files.
        const QString uploads = m_files.filePath(QStringLiteral("data/uploads"));
        ASSERT_TRUE(QDir().mkpath(uploads));
        QFile art(QDir(uploads).filePath(QStringLiteral("art.pdf")));
        ASSERT_TRUE(art.open(QIODevice::WriteOnly));
        art.write("%PDF-1.4");
        art.close();
        bizlib::Table notes(db(), QStringLiteral("WebNotes"));
        bizlib::Record note;
        ASSERT_TRUE(notes.prime(note).isOk());
        note.setLong("OrderID", m_webOrder);
        note.setText("Subject", QStringLiteral("Message from the website"));
        note.setText("Notes", QStringLiteral("Please deliver before noon."));
        ASSERT_TRUE(notes.insert(note).isOk());
        bizlib::Table attachments(db(), QStringLiteral("WebAttachments"));
        bizlib::Record attachment;
        ASSERT_TRUE(attachments.prime(attachment).isOk());
        attachment.setLong("OrderID", m_webOrder);
        attachment.setText("SourceName", art.fileName());
        attachment.setText("SourceFile", QStringLiteral("art.pdf"));
        attachment.setText("Filename", QStringLiteral("order_art.pdf"));
        ASSERT_TRUE(attachments.insert(attachment).isOk());
        ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"weborders\" SET \"hasattachments\" = 1")).isOk());
    }

    qint64 value(const QString &sql)
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(sql, {}, &q).isOk()) << sql.toStdString();
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    // What a run makes or uses up: rows of the business tables and the job counter.
    QList<qint64> businessState()
    {
        QList<qint64> state;
        for (const char *table : { "orders", "orderitems", "spectexts", "notes", "attachments", "wc_claims" })
            state << value(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QLatin1String(table)));
        state << value(QStringLiteral("SELECT \"lastjobno\" FROM \"syconf\""));
        return state;
    }
    // The web order with its status and web rows.
    QStringList webState()
    {
        QStringList state;
        QSqlQuery q;
        EXPECT_TRUE(
            db().exec(QStringLiteral("SELECT \"status\" FROM \"weborders\" WHERE \"orderid\" = ?"), { m_webOrder }, &q)
                .isOk());
        state << (q.next() ? q.value(0).toString().trimmed() : QStringLiteral("(gone)"));
        for (const char *table : { "weborderitems", "webnotes", "webattachments" })
            state << QString::number(value(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE \"orderid\" = %2")
                                               .arg(QLatin1String(table))
                                               .arg(m_webOrder)));
        return state;
    }
    // Every file under the data folder.
    QStringList files()
    {
        QStringList out;
        QDirIterator it(m_files.filePath(QStringLiteral("data")), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next();
        out.sort();
        return out;
    }

    // Runs one order worker to its end; its exit code (-1: killed).
    int runWorker(int killAtForm, bool cleanupOnly = false)
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
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORDER_WORKER_KILL_AT"), QString::number(killAtForm));
        env.insert(
            QStringLiteral("ORDER_WORKER_CLEANUP_ONLY"), cleanupOnly ? QStringLiteral("1") : QStringLiteral("0"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(ORDER_WORKER_PATH), args);
        EXPECT_TRUE(p.waitForFinished(600000));
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QTemporaryDir m_files;
    qint64 m_webOrder = 0;
};

TEST_P(OrderReliability, aWorkstationKilledBetweenTheOrdersOfAWebOrderIsCleanedUpAtTheNextStart)
{
    const QList<qint64> business = businessState();
    const QStringList web = webState();
    ASSERT_EQ(web,
        (QStringList { QStringLiteral("Pending"), QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("1") }));
    const QStringList filesBefore = files();
    // Killed with the third order form open (two orders saved), then with the first one open.
    for (const int form : { 3, 1 }) {
        SCOPED_TRACE(form);
        ASSERT_EQ(runWorker(form), -1);
        EXPECT_EQ(webState().value(0), QStringLiteral("Processing"));
        // Each order's row is stored before its form opens.
        EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"orders\"")), business.value(0) + form);
        // The next start cleans up.
        ASSERT_EQ(runWorker(0, true), 0);
        EXPECT_EQ(webState(), web);
        EXPECT_EQ(businessState(), business);
        EXPECT_EQ(files(), filesBefore);
    }
    // And the web order is then processed whole: three orders with the next job numbers.
    ASSERT_EQ(runWorker(0), 0);
    EXPECT_EQ(webState().value(0), QStringLiteral("(gone)"));
    const QList<qint64> after = businessState();
    EXPECT_EQ(after.value(0), business.value(0) + 3);
    EXPECT_EQ(after.last(), business.last() + 3);
}

INSTANTIATE_TEST_SUITE_P(Engines, OrderReliability, testsupport::allEngines(), testsupport::engineName);

} // namespace
