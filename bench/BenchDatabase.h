#pragma once

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

// A business database of its own for a benchmark: a SQLite file with the whole schema in a
// temporary folder, removed with the object. A database that cannot be made ends the program.
struct BenchDatabase
{
    QTemporaryDir dir;
    std::unique_ptr<bizlib::Database> db;

    BenchDatabase()
    {
        bizlib::DatabaseConfig cfg;
        cfg.file = dir.filePath(QStringLiteral("bench.db"));
        cfg.create = true;
        db = std::make_unique<bizlib::Database>(cfg);
        if (!db->open() || !db->ensureSchema(bizlib::Dictionary::instance()))
            std::abort();
    }
};
