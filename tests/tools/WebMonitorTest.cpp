#include "webmon/WebMonitor.h"

#include "bizlib/DataLibrary.h"
#include "bizlib/NetRefresh.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "console/general/RequestListSet.h"
#include "data/WebTaskRequests.h"
#include "data/WebTasks.h"
#include "demo/DemoData.h"
#include "demo/DemoWorkspace.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace bizlib;
using testsupport::DataTest;

namespace {

const QDateTime kNow(QDate(2026, 3, 16), QTime(10, 30));

QList<Record> tasksWhere(Database &db, const QString &filter)
{
    Table table(db, QStringLiteral("WebTask"));
    TableCursor cursor(table, QStringLiteral("WEBTASKIDKEY"));
    EXPECT_TRUE(cursor.setFilter(filter).isOk());
    QList<Record> rows;
    Record r;
    while (cursor.next(r))
        rows << r;
    return rows;
}

const QString kOpen = QStringLiteral("UPPER(CLIP(WTSK:Status)) = 'PENDING' OR UPPER(CLIP(WTSK:Status)) = 'ACTIVE'");

class WebMonitorTest : public DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped())
            return;
        demo::DemoData data(db(), 7);
        data.setToday(kNow.date());
        const Status st = data.fillAll();
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
    }

    webmon::WebMonitor::Setup setup(const webmon::WebTaskWorker::Options &tasks)
    {
        webmon::WebMonitor::Setup s;
        s.uploadFolder = m_dir.filePath(QStringLiteral("uploads"));
        s.accountsFile = m_dir.filePath(QStringLiteral("accounts.xml"));
        s.tasks = tasks;
        s.seed = 11;
        return s;
    }

    // Rounds a minute apart until no webtask is pending or active (at most `limit`).
    void runUntilQuiet(webmon::WebMonitor &monitor, int limit = 60)
    {
        QDateTime now = kNow;
        for (int i = 0; i < limit && !tasksWhere(db(), kOpen).isEmpty(); ++i) {
            webmon::WebMonitor::Report report;
            const Status st = monitor.round(now = now.addSecs(60), &report);
            ASSERT_TRUE(st.isOk()) << st.message().toStdString();
        }
    }

    QTemporaryDir m_dir;
};

TEST_P(WebMonitorTest, rounds_carryEveryWebtaskToCompletedOrFailed_retryingUpToMaxAttempts)
{
    const QList<Record> open = tasksWhere(db(), kOpen);
    ASSERT_FALSE(open.isEmpty());
    {
        webmon::WebMonitor monitor(db(), setup({ 2, 2, 0.0 }));
        runUntilQuiet(monitor);
    }
    for (const Record &before : open) {
        const Record after
            = tasksWhere(db(), QStringLiteral("WTSK:WebTaskID = %1").arg(before.toLong("WebTaskID"))).value(0);
        SCOPED_TRACE(after.text("TaskType").toStdString());
        EXPECT_EQ(after.text("Status"), QStringLiteral("Completed"));
        EXPECT_GT(after.toLong("EndDate"), 0);
        EXPECT_GT(after.toLong("StartDate"), 0);
        EXPECT_EQ(after.toLong("Attempts"), std::max(1, before.toLong("Attempts")));
        if (after.text("TaskRequest") == QLatin1String("Syncall"))
            EXPECT_EQ(after.text("Description"), QStringLiteral("100% complete"));
        else
            EXPECT_EQ(after.text("Description"), before.text("Description"));
    }

    // A task the console raises now, on a website that keeps failing: two retries, then Failed.
    Session session;
    session.userCode = QStringLiteral("JS");
    Record raised;
    ASSERT_TRUE(
        DataLibrary(db(), session)
            .webTask(
                data::WebTaskRequests::synchronise(QStringLiteral("Client"), QStringLiteral("complete"), 0), &raised)
            .isOk());
    {
        webmon::WebMonitor monitor(db(), setup({ 2, 2, 1.0 }));
        runUntilQuiet(monitor);
    }
    const Record failed
        = tasksWhere(db(), QStringLiteral("WTSK:WebTaskID = %1").arg(raised.toLong("WebTaskID"))).value(0);
    EXPECT_EQ(failed.text("Status"), QStringLiteral("Failed"));
    EXPECT_EQ(failed.toLong("Attempts"), 3);
    EXPECT_GT(failed.toLong("RestartDate"), 0);
    EXPECT_GT(failed.toLong("EndDate"), 0);
    EXPECT_FALSE(failed.text("Comments").isEmpty());
}

TEST_P(WebMonitorTest, taskChangedElsewhereMeanwhile_isLeftAsTheOtherWriterLeftIt)
{
    QRandomGenerator rng(3);
    webmon::WebTaskWorker worker(db(), { 10, 0, 0.0 }, rng);
    QList<webmon::WebTaskWorker::Step> steps;
    ASSERT_TRUE(worker.plan(kNow, &steps).isOk());
    const auto stepOf = [&](const char *status) {
        for (const auto &s : steps) {
            if (s.read.text("Status") == QLatin1String(status))
                return s;
        }
        ADD_FAILURE() << "no " << status << " task";
        return webmon::WebTaskWorker::Step {};
    };
    const webmon::WebTaskWorker::Step active = stepOf("Active");
    const webmon::WebTaskWorker::Step pending = stepOf("Pending");
    ASSERT_TRUE(active.read.isValid() && pending.read.isValid());

    // Another workstation fails the running task and cancels the waiting one before the writes.
    std::unique_ptr<Database> other = testDb().openSecond();
    ASSERT_TRUE(data::WebTasks(*other).setStatus(active.read.toLong("WebTaskID"), data::WebTasks::Action::Fail).isOk());
    Record cancelled = pending.read;
    ASSERT_TRUE(data::WebTasks(*other).cancelPending(&cancelled).isOk());
    ASSERT_EQ(cancelled.toLong("WebTaskID"), 0);

    int applied = 0;
    for (const auto &step : steps) {
        bool done = false;
        ASSERT_TRUE(worker.apply(step, &done).isOk());
        const qint32 id = step.read.toLong("WebTaskID");
        EXPECT_EQ(done, id != active.read.toLong("WebTaskID") && id != pending.read.toLong("WebTaskID")) << id;
        applied += done ? 1 : 0;
    }
    EXPECT_EQ(applied, steps.size() - 2);
    const Record failed
        = tasksWhere(db(), QStringLiteral("WTSK:WebTaskID = %1").arg(active.read.toLong("WebTaskID"))).value(0);
    EXPECT_EQ(failed.text("Status"), QStringLiteral("Failed"));
    EXPECT_EQ(failed.text("Description"), active.read.text("Description"));
    EXPECT_EQ(failed.toLong("Attempts"), active.read.toLong("Attempts"));
    EXPECT_TRUE(
        tasksWhere(db(), QStringLiteral("WTSK:WebTaskID = %1").arg(pending.read.toLong("WebTaskID"))).isEmpty());
}

TEST_P(WebMonitorTest, arrivingAttachments_areRealFilesOfTheirKind)
{
    Table attachments(db(), QStringLiteral("WebAttachments"));
    qint64 before = 0;
    ASSERT_TRUE(attachments.count(&before).isOk());
    webmon::WebMonitor monitor(db(), setup({}));
    QDateTime now = kNow;
    for (qint64 n = before; n == before && now < kNow.addSecs(40 * 60); now = now.addSecs(60)) {
        webmon::WebMonitor::Report report;
        ASSERT_TRUE(monitor.round(now, &report).isOk());
        ASSERT_TRUE(attachments.count(&n).isOk());
    }
    TableCursor cursor(attachments, QStringLiteral("ATTACHMENTIDKEY"));
    cursor.setStart([&] {
        Record r = attachments.newRecord();
        r.setLong("AttachmentID", before + 1);
        return r;
    }());
    int files = 0;
    Record a;
    while (cursor.next(a)) {
        SCOPED_TRACE(a.text("SourceName").toStdString());
        QFile file(a.text("SourceName"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(8);
        const QString suffix = QFileInfo(a.text("SourceFile")).suffix();
        if (suffix == QLatin1String("pdf"))
            EXPECT_TRUE(head.startsWith("%PDF-1."));
        else if (suffix == QLatin1String("jpg"))
            EXPECT_TRUE(head.startsWith("\xFF\xD8\xFF"));
        else
            EXPECT_EQ(suffix, QStringLiteral("csv"));
        EXPECT_TRUE(a.text("Filename").endsWith(u'_' + a.text("SourceFile")));
        ++files;
    }
    EXPECT_GT(files, 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, WebMonitorTest, testsupport::allEngines(), testsupport::engineName);

console::RequestLists::Counts countsIn(Database &db)
{
    console::RequestListSet lists(db);
    lists.resetAll();
    return lists.counts();
}

TEST(WebmonDemo, aWorkspaceThatWebconsoleDemoDidNotMake_isRefusedAndLeftAlone)
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("ws"));
    QString error;
    ASSERT_TRUE(demo::createWorkspace(root, false, &error)) << error.toStdString();
    // Without the demo's marker it is a real workspace, as far as anyone can tell.
    ASSERT_TRUE(QFile::remove(root + QStringLiteral("/.webconsole-demo")));
    DatabaseConfig cfg;
    cfg.file = demo::businessDatabasePath(root);
    Database db(cfg);
    ASSERT_TRUE(db.open().isOk());
    const console::RequestLists::Counts before = countsIn(db);
    const QList<Record> open = tasksWhere(db, kOpen);

    QProcess program;
    program.start(QStringLiteral(WEBMON_DEMO_PATH),
        { QStringLiteral("--once"), QStringLiteral("--ini"), demo::workstationIniPath(root) });
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 4);
    EXPECT_TRUE(program.readAllStandardError().contains("webconsole-demo did not make"));

    EXPECT_EQ(countsIn(db).quotes, before.quotes);
    EXPECT_EQ(countsIn(db).orders, before.orders);
    EXPECT_EQ(tasksWhere(db, kOpen).size(), open.size());
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("/data/accounts.xml")));
    db.close();
}

TEST(WebmonDemo, once_addsRequestsTheConsoleListsShow_andWritesAReadableAccountList)
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("ws"));
    QString error;
    ASSERT_TRUE(demo::createWorkspace(root, false, &error)) << error.toStdString();
    DatabaseConfig cfg;
    cfg.file = demo::businessDatabasePath(root);
    Database db(cfg);
    ASSERT_TRUE(db.open().isOk());
    const console::RequestLists::Counts before = countsIn(db);

    QProcess program;
    program.start(QStringLiteral(WEBMON_DEMO_PATH),
        { QStringLiteral("--once"), QStringLiteral("--seed"), QStringLiteral("5"), QStringLiteral("--ini"),
            demo::workstationIniPath(root) });
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    console::RequestListSet lists(db);
    lists.resetAll();
    // The new attachments' files are in the data folder, from where the console copies them.
    QSqlQuery q;
    ASSERT_TRUE(db.exec(QStringLiteral("SELECT \"sourcename\" FROM \"webattachments\""), {}, &q).isOk());
    while (q.next())
        EXPECT_TRUE(q.value(0).toString().startsWith(root + QStringLiteral("/data/uploads/")))
            << q.value(0).toString().toStdString();
    EXPECT_EQ(lists.counts().quotes, before.quotes + 1);
    EXPECT_EQ(lists.counts().orders, before.orders + 1);
    EXPECT_EQ(lists.counts().signups, before.signups + 1);
    qint32 newest = 0;
    for (int row = 0; row < lists.orders().rowCount(); ++row)
        newest = std::max(newest, lists.orders().idAt(row));
    lists.setCurrentOrder(newest);
    EXPECT_GT(lists.items().rowCount(), 0);
    qint64 stamp = 0;
    ASSERT_TRUE(NetRefresh(db, QStringLiteral("NetRefreshwebconsole00")).stamp(&stamp).isOk());
    EXPECT_GT(stamp, 0);

    // The account list: well-formed, every account with its fields, names with "&" and beyond ASCII.
    QFile file(root + QStringLiteral("/data/accounts.xml"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QStringLiteral("accounts"));
    QStringList names;
    while (xml.readNextStartElement()) {
        EXPECT_EQ(xml.name(), QStringLiteral("account"));
        QHash<QString, QString> fields;
        while (xml.readNextStartElement())
            fields.insert(xml.name().toString(), xml.readElementText());
        EXPECT_FALSE(fields.value("id").isEmpty());
        EXPECT_TRUE(fields.value("active") == "TRUE" || fields.value("active") == "FALSE");
        EXPECT_TRUE(fields.contains("clientid") && fields.contains("lastloginip"));
        names << fields.value("name");
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    Table clients(db, QStringLiteral("Clients"));
    Record first;
    ASSERT_TRUE(TableCursor(clients, QStringLiteral("CLIENTIDKEY")).next(first).isOk());
    EXPECT_TRUE(names.contains(first.text("Name") + QStringLiteral(" \u2013 accounts & purchasing")))
        << names.join(u'|').toStdString();
    db.close();
}

} // namespace
