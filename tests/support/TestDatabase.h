#pragma once

#include "bizlib/Database.h"
#include "bizlib/Record.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace testsupport {

// The engines a data test runs on. PostgreSQL is used when WEBCONSOLE_TEST_PG names a server
// ("host:port:database:user:password"); without it the PostgreSQL cases are skipped, unless
// WEBCONSOLE_REQUIRE_PG=1, which turns the absence into a failure (the CI run sets it).
enum class Engine { SQLite, PostgreSQL };

std::string engineName(const testing::TestParamInfo<Engine> &info);
inline auto allEngines()
{
    return testing::Values(Engine::SQLite, Engine::PostgreSQL);
}

// A fresh, empty business database with the whole schema: a file in a temporary folder for
// SQLite, a schema of its own (dropped afterwards) for PostgreSQL.
class TestDatabase
{
public:
    explicit TestDatabase(Engine engine);
    ~TestDatabase();

    // False (with the reason in skipReason()) when the engine is not available.
    bool isAvailable() const { return m_db != nullptr; }
    const QString &skipReason() const { return m_skipReason; }
    bizlib::Database &db() { return *m_db; }
    // A second, independent Database object on the same data (another workstation).
    std::unique_ptr<bizlib::Database> openSecond() const;
    const bizlib::DatabaseConfig &config() const { return m_config; }
    QString tempPath() const { return m_dir.path(); }

    static bool postgresRequired();
    static bool postgresConfig(bizlib::DatabaseConfig *config);

private:
    QTemporaryDir m_dir;
    bizlib::DatabaseConfig m_config;
    std::unique_ptr<bizlib::Database> m_db;
    QString m_skipReason;
};

// Fixture for tests that run once per engine: `db()` is a fresh database.
class DataTest : public testing::TestWithParam<Engine>
{
protected:
    void SetUp() override;
    void TearDown() override { m_test.reset(); }
    bizlib::Database &db() { return m_test->db(); }
    TestDatabase &testDb() { return *m_test; }

    // A new row of `table`, numbered by the table and filled by `fill`; a failed insert fails the test.
    bizlib::Record insert(const QString &table, const std::function<void(bizlib::Record &)> &fill);
    // The row of `table` with primary key `id`; a missing row fails the test.
    bizlib::Record read(const QString &table, qint32 id);
    // The rows of `table` in the order of `key`, within `range`.
    QList<bizlib::Record> rows(const QString &table, const QString &key, const QVariantList &range);

private:
    std::unique_ptr<TestDatabase> m_test;
};

} // namespace testsupport
