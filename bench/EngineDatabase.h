#pragma once

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "demo/DemoData.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>
#include <memory>

// A business database of its own for a processing benchmark, with the demo's business data: a
// SQLite file in a temporary folder, or a schema of its own on the PostgreSQL server that
// WEBCONSOLE_TEST_PG names, dropped with the object. `skip` says why there is none.
struct EngineDatabase
{
    QTemporaryDir dir;
    bizlib::DatabaseConfig config;
    std::unique_ptr<bizlib::Database> db;
    QString skip;

    explicit EngineDatabase(bool postgres)
    {
        if (postgres) {
            const QStringList parts = qEnvironmentVariable("WEBCONSOLE_TEST_PG").split(u':');
            if (parts.size() < 5) {
                skip = QStringLiteral("WEBCONSOLE_TEST_PG is not set");
                return;
            }
            config.driver = QStringLiteral("QPSQL");
            config.host = parts[0];
            config.port = parts[1].toInt();
            config.name = parts[2];
            config.user = parts[3];
            config.password = parts.mid(4).join(u':');
            bizlib::Database admin(config);
            config.schema = QStringLiteral("bench_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
            if (!admin.open() || !admin.exec(QStringLiteral("CREATE SCHEMA \"%1\"").arg(config.schema))) {
                skip = QStringLiteral("the PostgreSQL server cannot be used");
                return;
            }
        } else {
            config.file = dir.filePath(QStringLiteral("bench.db"));
            config.create = true;
        }
        db = std::make_unique<bizlib::Database>(config);
        if (!db->open() || !db->ensureSchema(bizlib::Dictionary::instance()) || !demo::DemoData(*db).fillBusiness())
            skip = QStringLiteral("the demo data could not be written");
    }
    ~EngineDatabase()
    {
        if (db)
            db->close();
        if (!config.schema.isEmpty()) {
            bizlib::DatabaseConfig admin = config;
            admin.schema.clear();
            bizlib::Database a(admin);
            if (a.open())
                a.exec(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(config.schema));
        }
    }
    EngineDatabase(const EngineDatabase &) = delete;
    EngineDatabase &operator=(const EngineDatabase &) = delete;
};
