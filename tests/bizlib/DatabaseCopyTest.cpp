#include "bizlib/DatabaseCopy.h"

#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/DatabaseIni.h"
#include "config/IniFile.h"
#include "demo/DemoData.h"
#include "demo/DemoWorkspace.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QTemporaryDir>

using namespace bizlib;
using testsupport::Engine;
using testsupport::TestDatabase;

namespace {

// Every row of every table as text, and the counters and stamps, for comparing two databases.
QMap<QString, QStringList> contents(Database &db)
{
    QMap<QString, QStringList> all;
    for (const auto &def : Dictionary::instance().tables()) {
        Table table(db, *def);
        TableCursor cursor(table, def->primary().name);
        Record r;
        QStringList &rows = all[def->name];
        while (cursor.next(r)) {
            QStringList values;
            for (int i = 0; i < r.fieldCount(); ++i)
                values << r.text(i);
            rows << values.join(u'|');
        }
    }
    for (const char *sql : {"SELECT \"name\", \"value\" FROM \"wc_counters\" ORDER BY 1",
                            "SELECT \"channel\", \"stamp\" FROM \"wc_netrefresh\" ORDER BY 1"}) {
        QSqlQuery q;
        EXPECT_TRUE(db.exec(QString::fromLatin1(sql), {}, &q).isOk());
        while (q.next())
            all[QString::fromLatin1(sql)] << q.value(0).toString() + u'=' + q.value(1).toString();
    }
    return all;
}

void expectSame(const QMap<QString, QStringList> &actual, const QMap<QString, QStringList> &expected)
{
    EXPECT_EQ(actual.keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(actual.value(it.key()).join(u'\n').toStdString(), it.value().join(u'\n').toStdString())
            << it.key().toStdString();
}

qint64 rowsIn(const QMap<QString, QStringList> &contents)
{
    qint64 n = 0;
    for (const QStringList &rows : contents)
        n += rows.size();
    return n;
}

// The copy works between a SQLite workspace and a PostgreSQL server; it needs the test server.
class DatabaseCopyTest : public testing::Test
{
protected:
    void SetUp() override
    {
        bizlib::DatabaseConfig unused;
        if (!TestDatabase::postgresConfig(&unused) && !TestDatabase::postgresRequired())
            GTEST_SKIP() << "no PostgreSQL server configured";
        m_target = std::make_unique<TestDatabase>(Engine::PostgreSQL);
        ASSERT_TRUE(m_target->isAvailable()) << m_target->skipReason().toStdString();
        demo::DemoData data(m_source.db());
        data.setToday(QDate(2026, 3, 16));
        ASSERT_TRUE(data.fillAll().isOk());
        // A change stamp, so that the stamps have something to copy.
        ASSERT_TRUE(m_source.db()
                        .exec(QStringLiteral("INSERT INTO \"wc_netrefresh\" (\"channel\", \"stamp\") VALUES (?, ?)"),
                              {QStringLiteral("webconsole-00"), 41})
                        .isOk());
    }

    // Empties the target's schema of every table, as a new database on a server is.
    void dropTargetTables()
    {
        DatabaseConfig admin = m_target->config();
        admin.schema.clear();
        Database db(admin);
        ASSERT_TRUE(db.open().isOk());
        const QString schema = m_target->config().schema;
        ASSERT_TRUE(db.exec(QStringLiteral("SET client_min_messages TO warning")).isOk());
        ASSERT_TRUE(db.exec(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(schema)).isOk());
        ASSERT_TRUE(db.exec(QStringLiteral("CREATE SCHEMA \"%1\"").arg(schema)).isOk());
    }

    TestDatabase m_source{Engine::SQLite};
    std::unique_ptr<TestDatabase> m_target;
};

TEST_F(DatabaseCopyTest, demoData_isCopiedWhole_andASecondCopyIsRefused)
{
    dropTargetTables();
    DatabaseCopy copy(m_source.db(), m_target->db(), Dictionary::instance());
    QStringList progress;
    copy.setProgress([&](const DatabaseCopy::TableRows &t) { progress << t.table; });
    DatabaseCopy::Report report;
    const Status st = copy.run(&report);
    ASSERT_TRUE(st.isOk()) << st.message().toStdString();

    const auto source = contents(m_source.db());
    const auto target = contents(m_target->db());
    expectSame(target, source);
    EXPECT_GT(report.rows, 500);
    EXPECT_EQ(report.rows + report.counters + report.stamps, rowsIn(source));
    EXPECT_EQ(report.stamps, 1);
    EXPECT_GT(report.counters, 10);
    EXPECT_EQ(progress.size(), qsizetype(Dictionary::instance().tables().size()));

    // Anything in the target refuses the copy before a row is written.
    DatabaseCopy::Report again;
    const Status refused = copy.run(&again);
    EXPECT_FALSE(refused.isOk());
    EXPECT_TRUE(again.refused);
    EXPECT_TRUE(refused.message().contains(QStringLiteral("already holds data"))) << refused.message().toStdString();
    expectSame(contents(m_target->db()), source);
}

TEST_F(DatabaseCopyTest, failureHalfWay_leavesTheTargetEmpty)
{
    // The last table with demo rows refuses them, after every earlier table was written.
    QString failing;
    for (const auto &def : Dictionary::instance().tables()) {
        qint64 rows = 0;
        ASSERT_TRUE(Table(m_source.db(), *def).count(&rows).isOk());
        if (rows > 0)
            failing = def->name;
    }
    ASSERT_FALSE(failing.isEmpty());
    Database &target = m_target->db();
    ASSERT_TRUE(target
                    .exec(QStringLiteral("CREATE FUNCTION refuse_row() RETURNS trigger LANGUAGE plpgsql AS "
                                         "$$ BEGIN RAISE EXCEPTION 'disk full'; END $$"))
                    .isOk());
    ASSERT_TRUE(target
                    .exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION "
                                         "refuse_row()")
                              .arg(Dictionary::instance().require(failing).sqlTable()))
                    .isOk());

    DatabaseCopy::Report report;
    const Status st = DatabaseCopy(m_source.db(), target, Dictionary::instance()).run(&report);
    EXPECT_FALSE(st.isOk());
    EXPECT_FALSE(report.refused);
    EXPECT_TRUE(st.message().contains(failing) && st.message().contains(QStringLiteral("disk full")))
        << st.message().toStdString();
    EXPECT_EQ(rowsIn(contents(target)), 0);
}

TEST_F(DatabaseCopyTest, demoWorkspace_fillsThePostgresDatabaseOfAnIniFile_onlyWhenEmpty)
{
    QTemporaryDir dir;
    const QString iniPath = dir.filePath(QStringLiteral("server.ini"));
    const DatabaseConfig &pg = m_target->config();
    config::IniFile ini(iniPath);
    const QString section = QStringLiteral("Database");
    ASSERT_TRUE(ini.write({{section, QStringLiteral("Driver"), QStringLiteral("QPSQL")},
                           {section, QStringLiteral("Host"), pg.host},
                           {section, QStringLiteral("Port"), QString::number(pg.port)},
                           {section, QStringLiteral("Name"), pg.name},
                           {section, QStringLiteral("User"), pg.user},
                           {section, QStringLiteral("Password"), pg.password},
                           {section, QStringLiteral("Schema"), pg.schema}}));
    demo::WorkspaceOptions options;
    options.databaseIni = iniPath;
    QString error;
    ASSERT_TRUE(demo::createWorkspace(dir.filePath(QStringLiteral("one")), options, &error)) << error.toStdString();

    const config::IniFile workstation(demo::workstationIniPath(dir.filePath(QStringLiteral("one"))));
    const DatabaseConfig written = config::databaseConfigFromIni(workstation);
    EXPECT_TRUE(written.isPostgres());
    EXPECT_EQ(written.schema, pg.schema);
    EXPECT_EQ(written.password, pg.password);
    qint64 users = 0;
    ASSERT_TRUE(Table(m_target->db(), QStringLiteral("Users")).count(&users).isOk());
    EXPECT_EQ(users, 6);

    EXPECT_FALSE(demo::createWorkspace(dir.filePath(QStringLiteral("two")), options, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("already holds data"))) << error.toStdString();
    ASSERT_TRUE(Table(m_target->db(), QStringLiteral("Users")).count(&users).isOk());
    EXPECT_EQ(users, 6);
}

// A PostgreSQL source that its workstations go on writing to while it is copied.
TEST(DatabaseCopyFromPostgres, readsOneSnapshot_readOnly)
{
    bizlib::DatabaseConfig unused;
    if (!TestDatabase::postgresConfig(&unused) && !TestDatabase::postgresRequired())
        GTEST_SKIP() << "no PostgreSQL server configured";
    TestDatabase source(Engine::PostgreSQL);
    ASSERT_TRUE(source.isAvailable()) << source.skipReason().toStdString();
    TestDatabase target(Engine::SQLite);
    Table requests(source.db(), QStringLiteral("WebQuotes"));
    Record request;
    ASSERT_TRUE(requests.prime(request).isOk());
    request.setLong("Number", 1001);
    ASSERT_TRUE(requests.insert(request).isOk());
    const QMap<QString, QStringList> before = contents(source.db());

    // After the first table, another workstation stores a row in the last one.
    const TableDef &last = *Dictionary::instance().tables().back();
    std::unique_ptr<Database> workstation = source.openSecond();
    QStringList seen;
    DatabaseCopy copy(source.db(), target.db(), Dictionary::instance());
    copy.setProgress([&](const DatabaseCopy::TableRows &) {
        if (!seen.isEmpty())
            return;
        for (const char *setting : { "transaction_isolation", "transaction_read_only" }) {
            QSqlQuery q;
            EXPECT_TRUE(source.db().exec(QStringLiteral("SHOW %1").arg(QLatin1String(setting)), {}, &q).isOk());
            seen << (q.next() ? q.value(0).toString() : QString());
        }
        Table other(*workstation, last);
        Record row;
        EXPECT_TRUE(other.prime(row).isOk());
        EXPECT_TRUE(other.insert(row).isOk());
    });
    DatabaseCopy::Report report;
    const Status st = copy.run(&report);
    ASSERT_TRUE(st.isOk()) << st.message().toStdString();
    EXPECT_EQ(seen, (QStringList { QStringLiteral("repeatable read"), QStringLiteral("on") }));
    expectSame(contents(target.db()), before);
    qint64 rows = 0;
    ASSERT_TRUE(Table(source.db(), last).count(&rows).isOk());
    EXPECT_EQ(rows, 1); // the workstation's row is there, only not in the copy
}

} // namespace
