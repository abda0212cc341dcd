#include "support/TestDatabase.h"

#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace testsupport {

std::string engineName(const testing::TestParamInfo<Engine> &info)
{
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

bool TestDatabase::postgresRequired()
{
    return qEnvironmentVariable("WEBCONSOLE_REQUIRE_PG") == QLatin1String("1");
}

bool TestDatabase::postgresConfig(bizlib::DatabaseConfig *config)
{
    const QStringList parts = qEnvironmentVariable("WEBCONSOLE_TEST_PG").split(u':');
    if (parts.size() < 5)
        return false;
    config->driver = QStringLiteral("QPSQL");
    config->host = parts[0];
    config->port = parts[1].toInt();
    config->name = parts[2];
    config->user = parts[3];
    config->password = parts.mid(4).join(u':');
    return true;
}

TestDatabase::TestDatabase(Engine engine)
{
    if (engine == Engine::SQLite) {
        m_config.driver = QStringLiteral("QSQLITE");
        m_config.file = m_dir.filePath(QStringLiteral("business.db"));
        m_config.create = true;
    } else {
        if (!postgresConfig(&m_config)) {
            m_skipReason = QStringLiteral("WEBCONSOLE_TEST_PG is not set");
            return;
        }
        m_config.schema = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
        bizlib::DatabaseConfig admin = m_config;
        admin.schema.clear();
        bizlib::Database adminDb(admin);
        if (const auto st = adminDb.open(); !st) {
            m_skipReason = st.message();
            return;
        }
        if (const auto st = adminDb.exec(QStringLiteral("CREATE SCHEMA \"%1\"").arg(m_config.schema)); !st) {
            m_skipReason = st.message();
            return;
        }
    }
    m_db = std::make_unique<bizlib::Database>(m_config);
    if (const auto st = m_db->open(); !st) {
        m_skipReason = st.message();
        m_db.reset();
        return;
    }
    if (const auto st = m_db->ensureSchema(bizlib::Dictionary::instance()); !st) {
        ADD_FAILURE() << "schema: " << st.message().toStdString();
        m_db.reset();
    }
}

TestDatabase::~TestDatabase()
{
    if (m_db)
        m_db->close();
    m_db.reset();
    if (!m_config.schema.isEmpty()) {
        bizlib::DatabaseConfig admin = m_config;
        admin.schema.clear();
        bizlib::Database adminDb(admin);
        if (adminDb.open())
            adminDb.exec(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(m_config.schema));
    }
}

std::unique_ptr<bizlib::Database> TestDatabase::openSecond() const
{
    auto second = std::make_unique<bizlib::Database>(m_config);
    EXPECT_TRUE(second->open().isOk());
    return second;
}

void DataTest::SetUp()
{
    m_test = std::make_unique<TestDatabase>(GetParam());
    if (!m_test->isAvailable()) {
        bizlib::DatabaseConfig unused;
        if (GetParam() == Engine::PostgreSQL && !TestDatabase::postgresRequired()
            && !TestDatabase::postgresConfig(&unused))
            GTEST_SKIP() << "PostgreSQL not available: " << m_test->skipReason().toStdString();
        FAIL() << "database not available: " << m_test->skipReason().toStdString();
    }
}

bizlib::Record DataTest::insert(const QString &table, const std::function<void(bizlib::Record &)> &fill)
{
    bizlib::Table t(db(), table);
    bizlib::Record r;
    EXPECT_TRUE(t.prime(r).isOk());
    fill(r);
    const bizlib::Status st = t.insert(r);
    EXPECT_TRUE(st.isOk()) << st.message().toStdString();
    return r;
}

bizlib::Record DataTest::read(const QString &table, qint32 id)
{
    bizlib::Table t(db(), table);
    bizlib::Record r = t.newRecord();
    EXPECT_TRUE(t.fetch(t.def().primary().name, { id }, r).isOk()) << table.toStdString() << " " << id;
    return r;
}

QList<bizlib::Record> DataTest::rows(const QString &table, const QString &key, const QVariantList &range)
{
    bizlib::Table t(db(), table);
    bizlib::TableCursor c(t, key);
    c.setRange(range);
    QList<bizlib::Record> out;
    bizlib::Record r;
    while (c.next(r).isOk())
        out << r;
    return out;
}

} // namespace testsupport
