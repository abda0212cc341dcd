#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "support/StoppedProcess.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

using namespace bizlib;
using testsupport::Engine;
using testsupport::StoppedProcess;

namespace {

qint64 backendPid(Database &db)
{
    QSqlQuery q;
    if (!db.exec(QStringLiteral("SELECT pg_backend_pid()"), {}, &q) || !q.next())
        return 0;
    return q.value(0).toLongLong();
}

Status insertQuote(Database &db, int id)
{
    Table quotes(db, QStringLiteral("WebQuotes"));
    Record r = quotes.newRecord();
    r.setLong("QuoteID", id);
    r.setLong("Number", id);
    return quotes.insert(r);
}

qint64 quoteCount(Database &db)
{
    qint64 n = -1;
    Table(db, QStringLiteral("WebQuotes")).count(&n);
    return n;
}

} // namespace

// Opening a database that cannot be used says what is wrong and never crashes.
TEST(DatabaseOpen, unusableSqliteFiles_giveAClearMessage)
{
    QTemporaryDir dir;
    DatabaseConfig cfg;
    cfg.file = dir.filePath(QStringLiteral("missing.db"));
    Database missing(cfg);
    Status st = missing.open();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("does not exist"))) << st.message().toStdString();
    EXPECT_FALSE(QFile::exists(cfg.file)); // nothing created behind the user's back

    cfg.file = dir.filePath(QStringLiteral("notes.txt"));
    QFile f(cfg.file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("These are my notes, not a database.\n").repeated(200));
    f.close();
    Database garbage(cfg);
    st = garbage.open();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("not a database"))) << st.message().toStdString();

    cfg.file = dir.filePath(QStringLiteral("no/such/folder/business.db"));
    cfg.create = true;
    Database noFolder(cfg);
    EXPECT_TRUE(noFolder.open().isError());
}

TEST(DatabaseOpen, postgresDownOrRefusing_givesAClearMessage)
{
    DatabaseConfig cfg;
    cfg.driver = QStringLiteral("QPSQL");
    cfg.host = QStringLiteral("127.0.0.1");
    // A port that is certainly closed: take a free one and release it.
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        cfg.port = probe.serverPort();
    }
    cfg.name = QStringLiteral("business");
    cfg.user = QStringLiteral("nobody");
    Database down(cfg);
    Status st = down.open();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("127.0.0.1"))) << st.message().toStdString();

    DatabaseConfig real;
    if (!testsupport::TestDatabase::postgresConfig(&real))
        GTEST_SKIP() << "no PostgreSQL server configured";
    real.password += QStringLiteral("-wrong");
    Database refused(real);
    st = refused.open();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("password"), Qt::CaseInsensitive)) << st.message().toStdString();
}

class SchemaUpgrade : public testsupport::DataTest
{};

// Starting again on an existing database keeps its rows; a column that an older version lacked is
// added. The level alone decides: another build's fingerprint at the same level changes nothing,
// and a newer level is used as it is and said so.
TEST_P(SchemaUpgrade, ensureSchemaAgain_keepsRowsAndAddsMissingColumnsOnlyForAnOlderLevel)
{
    Table notes(db(), QStringLiteral("WebNotes"));
    Record n;
    ASSERT_TRUE(notes.prime(n).isOk());
    n.setText("Subject", QStringLiteral("kept"));
    ASSERT_TRUE(notes.insert(n).isOk());
    ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE \"webnotes\" DROP COLUMN \"alert\"")).isOk());
    const auto hasAlert = [this] {
        QStringList columns;
        EXPECT_TRUE(db().columnNames(QStringLiteral("WebNotes"), &columns).isOk());
        return columns.contains(QStringLiteral("alert"));
    };
    const auto setSchema = [this](const char *name, const QString &value) {
        ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"wc_schema\" SET \"value\" = ? WHERE \"name\" = ?"),
                            { value, QLatin1String(name) })
                        .isOk());
    };
    QSqlQuery q;
    ASSERT_TRUE(db().exec(QStringLiteral("SELECT \"value\" FROM \"wc_schema\" WHERE \"name\" = 'level'"), {}, &q).isOk());
    ASSERT_TRUE(q.next());
    const int level = q.value(0).toInt();

    setSchema("fingerprint", QStringLiteral("another build"));
    ASSERT_TRUE(db().ensureSchema(Dictionary::instance()).isOk());
    EXPECT_FALSE(hasAlert());
    EXPECT_EQ(db().newerSchemaLevel(), 0);
    setSchema("level", QString::number(level + 1));
    ASSERT_TRUE(db().ensureSchema(Dictionary::instance()).isOk());
    EXPECT_FALSE(hasAlert());
    EXPECT_EQ(db().newerSchemaLevel(), level + 1);

    setSchema("level", QString::number(level - 1));
    ASSERT_TRUE(db().ensureSchema(Dictionary::instance()).isOk());
    EXPECT_TRUE(hasAlert());
    Record back;
    ASSERT_TRUE(notes.fetch(QStringLiteral("NOTEIDKEY"), {n.toLong("NoteID")}, back).isOk());
    EXPECT_EQ(back.text("Subject"), QStringLiteral("kept"));
}

// A start-up against a current database touches no web table, so an open insert of the web
// monitor does not hold it up. With a short lock wait, a start-up that ran DDL fails instead of hanging.
TEST_P(SchemaUpgrade, currentSchema_startsWhileAnotherConnectionHoldsAnOpenInsert)
{
    auto webmon = testDb().openSecond();
    ASSERT_TRUE(webmon->begin().isOk());
    ASSERT_TRUE(insertQuote(*webmon, 1).isOk());
    DatabaseConfig cfg = testDb().config();
    cfg.lockTimeout = 1;
    Database starting(cfg);
    ASSERT_TRUE(starting.open().isOk());
    const Status st = starting.ensureSchema(Dictionary::instance());
    EXPECT_TRUE(st.isOk()) << st.message().toStdString();
    webmon->rollback();
}

INSTANTIATE_TEST_SUITE_P(Engines, SchemaUpgrade, testsupport::allEngines(), testsupport::engineName);

// A SQLite file of the version that kept decimals as counts of their smallest unit is converted
// once; a fractional number that another program wrote there stays as written.
TEST(SqliteDecimals, olderFile_isConvertedOnce)
{
    testsupport::TestDatabase t(Engine::SQLite);
    ASSERT_TRUE(t.isAvailable());
    Database &db = t.db();
    ASSERT_TRUE(
        db.exec(QStringLiteral("INSERT INTO \"webquotes\" (\"quoteid\", \"sellingprice1\", \"depth\", \"width\") "
                               "VALUES (1, 1250, 21000, 7.5)"))
            .isOk());
    ASSERT_TRUE(db.exec(QStringLiteral("DROP TABLE \"wc_schema\"")).isOk());
    for (int run = 0; run < 2; ++run)
        ASSERT_TRUE(db.ensureSchema(Dictionary::instance()).isOk());
    Table quotes(db, QStringLiteral("WebQuotes"));
    Record r;
    ASSERT_TRUE(quotes.fetch(QStringLiteral("QUOTEIDKEY"), { 1 }, r).isOk());
    EXPECT_EQ(r.decimal("SellingPrice1").toString(), QStringLiteral("12.50"));
    EXPECT_EQ(r.decimal("Depth").toString(), QStringLiteral("2.1000"));
    EXPECT_EQ(r.decimal("Width").toString(), QStringLiteral("7.5000"));
}

class DatabaseLimits : public testsupport::DataTest
{
};

// Time limits end a statement with a message that says which limit it ran into.
TEST_P(DatabaseLimits, lockWaitAndSlowStatement_failWithTheLimitNamed)
{
    auto webmon = testDb().openSecond();
    ASSERT_TRUE(webmon->begin().isOk());
    ASSERT_TRUE(insertQuote(*webmon, 1).isOk());
    DatabaseConfig cfg = testDb().config();
    cfg.lockTimeout = 1;
    cfg.statementTimeout = 2;
    Database db(cfg);
    ASSERT_TRUE(db.open().isOk());
    QElapsedTimer clock;
    clock.start();
    Status st = insertQuote(db, 1); // waits for the other insert of the same key
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("LockTimeout"))) << st.message().toStdString();
    EXPECT_LT(clock.elapsed(), 5000);
    webmon->rollback();
    if (GetParam() == Engine::PostgreSQL) {
        st = db.exec(QStringLiteral("SELECT pg_sleep(5)"));
        EXPECT_TRUE(st.message().contains(QStringLiteral("StatementTimeout"))) << st.message().toStdString();
    }
    EXPECT_TRUE(insertQuote(db, 2).isOk());
}

// Once a statement of a transaction fails, the rest of it fails too and nothing of it is kept.
TEST_P(DatabaseLimits, failedStatementInTransaction_failsTheRestAndKeepsNothing)
{
    {
        Transaction tx(db());
        ASSERT_TRUE(insertQuote(db(), 1).isOk());
        EXPECT_TRUE(insertQuote(db(), 1).isDuplicate());
        EXPECT_TRUE(insertQuote(db(), 2).isError());
        EXPECT_TRUE(tx.commit().isError());
    }
    EXPECT_EQ(quoteCount(db()), 0);
    EXPECT_TRUE(insertQuote(db(), 3).isOk());
    EXPECT_EQ(quoteCount(db()), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, DatabaseLimits, testsupport::allEngines(), testsupport::engineName);

// The server process of this test's own connection is stopped or ended (never the server itself:
// other programs share it).
class ServerLoss : public testsupport::DataTest
{
};

TEST_P(ServerLoss, stoppedServerProcess_failsInTimeAndTheNextUseReconnects)
{
    DatabaseConfig cfg = testDb().config();
    cfg.statementTimeout = 1;
    Database db(cfg);
    ASSERT_TRUE(db.open().isOk());
    const qint64 pid = backendPid(db);
    ASSERT_GT(pid, 0);
    StoppedProcess server(pid);
    ASSERT_TRUE(server.stopped());
    QElapsedTimer clock;
    clock.start();
    qint64 n = 0;
    const Status st = Table(db, QStringLiteral("WebQuotes")).count(&n);
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("did not answer"))) << st.message().toStdString();
    server.resume();
    EXPECT_EQ(quoteCount(db), 0);
    EXPECT_NE(backendPid(db), pid);
}

TEST_P(ServerLoss, connectionEndedInsideTransaction_isNotReopenedAndNothingCommits)
{
    DatabaseConfig cfg = testDb().config();
    Database db(cfg);
    ASSERT_TRUE(db.open().isOk());
    const qint64 pid = backendPid(db);
    auto admin = testDb().openSecond();
    {
        Transaction tx(db);
        ASSERT_TRUE(insertQuote(db, 1).isOk());
        ASSERT_TRUE(admin->exec(QStringLiteral("SELECT pg_terminate_backend(?)"), { pid }).isOk());
        for (int i = 0; i < 100; ++i) { // until the server process has gone
            QSqlQuery q;
            if (!admin->exec(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = ?"), { pid }, &q)
                || !q.next() || q.value(0).toInt() == 0)
                break;
            QThread::msleep(20);
        }
        for (const int id : { 2, 3, 4 })
            EXPECT_TRUE(insertQuote(db, id).isError()) << id;
        EXPECT_TRUE(tx.commit().isError());
    }
    EXPECT_EQ(quoteCount(db), 0);
    EXPECT_EQ(quoteCount(*admin), 0);
    EXPECT_NE(backendPid(db), pid);
}

INSTANTIATE_TEST_SUITE_P(PostgreSQL, ServerLoss, testing::Values(Engine::PostgreSQL), testsupport::engineName);
