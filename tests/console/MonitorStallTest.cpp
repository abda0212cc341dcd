#include "WebRows.h"
#include "bizlib/DateText.h"
#include "bizlib/Dictionary.h"
#include "config/TraceLog.h"
#include "console/Monitor.h"
#include "console/RefreshWorker.h"
#include "console/StallNotice.h"
#include "console/general/RequestListSet.h"
#include "support/TestDatabase.h"
#include "support/ThrowawayPostgres.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using console::Monitor;
using console::RequestLists;
using consoletest::addOrder;
using consoletest::addQuote;
using consoletest::addSignup;

namespace {

constexpr int kTickMs = 200;
const QString kWaiting = QStringLiteral("Webconsole: waiting for web activity");

// A monitor whose reads run in the background, ticked as the window's timer ticks it (every
// kTickMs here, so that a refresh interval of 2 ticks passes quickly), with the event loop
// running between ticks.
class MonitorStall : public testing::Test
{
protected:
    // Opens `cfg` (with the schema when `schema`), adds requests, and starts the monitor on it.
    void start(const bizlib::DatabaseConfig &cfg, bool schema)
    {
        db = std::make_unique<bizlib::Database>(cfg);
        ASSERT_TRUE(db->open().isOk());
        if (schema) {
            ASSERT_TRUE(db->ensureSchema(bizlib::Dictionary::instance()).isOk());
        }
        for (const qint32 n : { 1, 2, 3 })
            addQuote(*db, n, 0);
        addOrder(*db, 11, 0);
        addSignup(*db, QStringLiteral("Sam Signup"), QStringLiteral("Pending"), QStringLiteral("Web"));
        QFile::remove(traceFile());
        trace.setOptions([this] {
            config::TraceOptions o;
            o.debugOutputOff = true;
            o.plainFileOn = true;
            o.plainFileName = traceFile();
            return o;
        }());
        ctx.db = db.get();
        ctx.trace = &trace;
        ctx.paths.localIni = dir.filePath(QStringLiteral("ws.ini"));
        ctx.settings.refreshInterval = 2;
        lists = std::make_unique<console::RequestListSet>(*db);
        lists->setFocus(RequestLists::Focus::Quotes);
        monitor = std::make_unique<Monitor>(ctx, clock, *lists);
        QObject::connect(monitor.get(), &Monitor::statusShown, [this](const QString &t) { status = t; });
        QObject::connect(monitor.get(), &Monitor::databaseProblemShown, [this](const QString &t) { problem = t; });
        QObject::connect(monitor.get(), &Monitor::countdownShown, [this] { ++countdowns; });
        monitor->open();
        monitor->readInBackground();
        monitor->opened();
    }

    // Ticks for up to `ms` or until `until` holds. Returns the longest time the window's thread
    // was held by a tick or by what came back from the worker between ticks.
    qint64 tickFor(int ms, const std::function<bool()> &until = {})
    {
        QElapsedTimer total;
        total.start();
        qint64 longest = 0;
        while (total.elapsed() < ms) {
            QElapsedTimer held;
            held.start();
            monitor->tick();
            QTest::qWait(kTickMs);
            longest = std::max(longest, held.elapsed() - kTickMs);
            if (until && until())
                break;
        }
        return longest;
    }

    QString traceFile() const { return dir.filePath(QStringLiteral("trace.txt")); }
    int traceLines(const QString &text) const
    {
        QFile f(traceFile());
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        return static_cast<int>(QString::fromUtf8(f.readAll()).count(text));
    }

    QTemporaryDir dir;
    config::TraceLog trace;
    config::AppContext ctx;
    bizlib::SteadyClock clock;
    // The database (and its server) outlive the monitor that reads it.
    std::unique_ptr<testsupport::ThrowawayPostgres> server;
    std::unique_ptr<bizlib::Database> db;
    std::unique_ptr<console::RequestListSet> lists;
    std::unique_ptr<Monitor> monitor;
    QString status;
    QString problem;
    int countdowns = 0;
};

// Holds the read locks of a SQLite file's log from another process, as a program does while it
// recovers the log: every read of the file waits and then fails, whatever its lock limit.
class LockedLog
{
public:
    explicit LockedLog(const QString &databaseFile)
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        const QByteArray shm = QFile::encodeName(databaseFile + QStringLiteral("-shm"));
        m_child = ::fork();
        if (m_child == 0) {
            // Only async-signal-safe calls in the child of a threaded process.
            const int fd = ::open(shm.constData(), O_RDWR);
            struct flock lock = {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            lock.l_start = 123; // the five read locks of the log's index
            lock.l_len = 5;
            const char ok = fd >= 0 && ::fcntl(fd, F_SETLKW, &lock) == 0 ? 1 : 0;
            (void)!::write(ready[1], &ok, 1);
            ::alarm(60); // ends by itself should the test not end it
            for (;;)
                ::pause();
        }
        char ok = 0;
        m_locked = m_child > 0 && ::read(ready[0], &ok, 1) == 1 && ok == 1;
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockedLog() { release(); }
    bool isLocked() const { return m_locked; }
    void release()
    {
        if (m_child <= 0)
            return;
        ::kill(m_child, SIGKILL);
        ::waitpid(m_child, nullptr, 0);
        m_child = -1;
    }

private:
    pid_t m_child = -1;
    bool m_locked = false;
};

} // namespace

// The whole server stops answering (every process of it stopped) while the monitor runs.
TEST_F(MonitorStall, postgresServerStopped_ticksGoOnTheListsKeepTheirRowsAndTheStallShowsUntilItAnswers)
{
    server = std::make_unique<testsupport::ThrowawayPostgres>();
    if (!server->isRunning()) {
        if (testsupport::TestDatabase::postgresRequired())
            FAIL() << server->failure().toStdString();
        GTEST_SKIP() << server->failure().toStdString();
    }
    bizlib::DatabaseConfig cfg = server->config();
    cfg.statementTimeout = 1;
    cfg.connectTimeout = 2;
    start(cfg, true);
    if (HasFatalFailure())
        return;
    tickFor(1000);
    ASSERT_EQ(status, kWaiting);
    ASSERT_EQ(lists->quotes().rowCount(), 3);

    ASSERT_TRUE(server->pause());
    qint64 longest = tickFor(20000, [this] { return !monitor->stall().isAnswering(); });
    ASSERT_FALSE(monitor->stall().isAnswering()) << "the stall was never noticed";
    const int countdownsBefore = countdowns;
    longest = std::max(longest, tickFor(3000));
    EXPECT_LT(longest, 1000) << "the window waited on the database";
    EXPECT_GE(countdowns - countdownsBefore, 10) << "the ticks did not go on";
    EXPECT_EQ(lists->quotes().rowCount(), 3);
    EXPECT_EQ(lists->orders().rowCount(), 1);
    EXPECT_EQ(lists->signups().rowCount(), 1);
    EXPECT_TRUE(status.startsWith(QStringLiteral("Webconsole: the database is not answering (since ")))
        << status.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("did not answer"))) << problem.toStdString();

    server->resume();
    bizlib::Database other(cfg);
    addQuote(other, 4, 0);
    tickFor(30000, [this] { return monitor->stall().isAnswering() && lists->quotes().rowCount() == 4; });
    EXPECT_TRUE(monitor->stall().isAnswering());
    EXPECT_EQ(lists->quotes().rowCount(), 4) << "the next refresh did not read again";
    EXPECT_EQ(lists->counts().quotes, 4);
    EXPECT_EQ(status, kWaiting);
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_EQ(traceLines(QStringLiteral("The database is not answering")), 1);
    EXPECT_EQ(traceLines(QStringLiteral("The database answers again")), 1);
}

// Another program keeps the SQLite file locked past the lock limit. A writer's lock never holds up
// the monitor's reads (the file keeps a write-ahead log, whose readers do not wait for the writer);
// locks that readers wait for make the stall show until they are released.
TEST_F(MonitorStall, sqliteFileLockedByAnotherProgram_ticksGoOnAndTheListsKeepTheirRows)
{
    testsupport::TestDatabase t(testsupport::Engine::SQLite);
    ASSERT_TRUE(t.isAvailable());
    bizlib::DatabaseConfig cfg = t.config();
    cfg.lockTimeout = 1;
    start(cfg, false);
    if (HasFatalFailure())
        return;
    tickFor(600);

    auto writer = t.openSecond();
    ASSERT_TRUE(writer->begin().isOk());
    addQuote(*writer, 4, 0);
    const int countdownsBefore = countdowns;
    qint64 longest = tickFor(2000);
    EXPECT_GE(countdowns - countdownsBefore, 6);
    EXPECT_TRUE(monitor->stall().isAnswering()) << "a writer's lock is no stall for a reader";
    EXPECT_EQ(lists->quotes().rowCount(), 3);
    ASSERT_TRUE(writer->commit().isOk());
    tickFor(3000, [this] { return lists->quotes().rowCount() == 4; });
    EXPECT_EQ(lists->quotes().rowCount(), 4);

    LockedLog locked(cfg.file);
    ASSERT_TRUE(locked.isLocked());
    longest = std::max(longest, tickFor(20000, [this] { return !monitor->stall().isAnswering(); }));
    EXPECT_FALSE(monitor->stall().isAnswering());
    EXPECT_TRUE(status.startsWith(QStringLiteral("Webconsole: the database is not answering"))) << status.toStdString();
    EXPECT_EQ(lists->quotes().rowCount(), 4);
    EXPECT_EQ(lists->orders().rowCount(), 1);
    locked.release();
    addQuote(*writer, 5, 0);
    tickFor(20000, [this] { return monitor->stall().isAnswering() && lists->quotes().rowCount() == 5; });
    EXPECT_TRUE(monitor->stall().isAnswering());
    EXPECT_EQ(lists->quotes().rowCount(), 5);
    EXPECT_EQ(status, kWaiting);
    EXPECT_LT(longest, 1000) << "the window waited on the database";
    EXPECT_EQ(traceLines(QStringLiteral("The database is not answering")), 1);
}

// The stall is dated from the read that failed first, and the day is named once it is not today.
TEST(StallNotice, datesTheStallFromTheFirstFailedReadUntilOneSucceeds)
{
    QDateTime now(QDate(2026, 3, 14), QTime(10, 0, 30));
    console::StallNotice notice(nullptr, [&] { return now; });
    EXPECT_TRUE(notice.statusText().isEmpty());
    EXPECT_TRUE(
        notice.report(bizlib::Status::error(QStringLiteral("no answer")), QDateTime(now.date(), QTime(10, 0, 18))));
    EXPECT_FALSE(notice.report(bizlib::Status::error(QStringLiteral("connection lost"))));
    EXPECT_EQ(notice.statusText(), QStringLiteral("Webconsole: the database is not answering (since 10:00:18)"));
    EXPECT_EQ(notice.problemText(), QStringLiteral("The database is not answering since 10:00:18: connection lost"));
    now = QDateTime(QDate(2026, 3, 15), QTime(0, 0, 5));
    EXPECT_EQ(notice.statusText(),
        QStringLiteral("Webconsole: the database is not answering (since %1 10:00:18)")
            .arg(bizlib::DateText().shortDate(QDate(2026, 3, 14))));
    EXPECT_TRUE(notice.report(bizlib::Status::ok()));
    EXPECT_TRUE(notice.statusText().isEmpty());
    EXPECT_FALSE(notice.report(bizlib::Status::ok()));
}

// A window closing while its background read waits on a server that stopped answering: the read
// is given up at once, also what it would still do afterwards, instead of holding the window's
// thread for the statement time limit.
TEST_F(MonitorStall, aReadWaitingOnAStoppedServerIsGivenUpWhenItsWorkerGoes)
{
    server = std::make_unique<testsupport::ThrowawayPostgres>();
    if (!server->isRunning()) {
        if (testsupport::TestDatabase::postgresRequired())
            FAIL() << server->failure().toStdString();
        GTEST_SKIP() << server->failure().toStdString();
    }
    bizlib::DatabaseConfig cfg = server->config();
    cfg.statementTimeout = 60; // far beyond what the test waits
    bizlib::Database reads(cfg);
    std::atomic<int> started { 0 };
    bizlib::Status first, second;
    qint64 secondMs = -1;
    auto worker = std::make_unique<console::RefreshWorker>(&reads);
    ASSERT_TRUE(worker->start(
        [&] {
            ASSERT_TRUE(reads.exec(QStringLiteral("SELECT 1")).isOk());
            started = 1;
            while (started == 1)
                QThread::msleep(5); // until the server is stopped
            first = reads.exec(QStringLiteral("SELECT 2"));
            QElapsedTimer t;
            t.start();
            second = reads.exec(QStringLiteral("SELECT 3"));
            secondMs = t.elapsed();
        },
        [] {}));
    QElapsedTimer wait;
    wait.start();
    while (started == 0 && wait.elapsed() < 20000)
        QThread::msleep(5);
    ASSERT_EQ(started, 1) << "the first read did not run";
    ASSERT_TRUE(server->pause());
    started = 2;
    QThread::msleep(300); // the second statement is on its way to the stopped server
    QElapsedTimer closing;
    closing.start();
    worker.reset();
    EXPECT_LT(closing.elapsed(), 15000) << "the worker waited for the statement time limit";
    EXPECT_FALSE(first.isOk());
    EXPECT_TRUE(second.message().contains(QStringLiteral("given up"))) << second.message().toStdString();
    EXPECT_LT(secondMs, 2000) << "a statement after giving up tried the server again";
    server->resume();
    // The window's own connection is not affected.
    EXPECT_TRUE(reads.exec(QStringLiteral("SELECT 4")).isOk());
}

// The worker's connections are closed by the time the worker is gone, not some time later on
// its thread's way out (when the program may be ending and closing them would crash).
TEST(RefreshWorker, itsConnectionsAreClosedWhenItIsGone)
{
    testsupport::TestDatabase data(testsupport::Engine::SQLite);
    ASSERT_TRUE(data.isAvailable());
    const QStringList before = QSqlDatabase::connectionNames();
    for (int round = 0; round < 5; ++round) {
        bool done = false;
        {
            console::RefreshWorker worker(&data.db());
            ASSERT_TRUE(worker.start(
                [&] { EXPECT_TRUE(data.db().exec(QStringLiteral("SELECT 1")).isOk()); }, [&] { done = true; }));
            QElapsedTimer t;
            t.start();
            while (!done && t.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            ASSERT_TRUE(done);
        }
        EXPECT_EQ(QSqlDatabase::connectionNames(), before) << "round " << round;
    }
}
