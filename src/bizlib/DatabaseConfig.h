#pragma once

#include <QString>

namespace bizlib {

// Where the business database is. Driver "QSQLITE" uses `file`; "QPSQL" uses host, port,
// name, user and password, and optionally a schema that every connection selects.
struct DatabaseConfig
{
    QString driver = QStringLiteral("QSQLITE");
    QString file;
    QString host = QStringLiteral("127.0.0.1");
    int port = 5432;
    QString name;
    QString user;
    QString password;
    QString schema;
    // SQLite: create the file when it does not exist (otherwise a missing file is an error).
    bool create = false;

    bool isPostgres() const { return driver.compare(QStringLiteral("QPSQL"), Qt::CaseInsensitive) == 0; }
    // For messages: "SQLite file /x/y.db" or "PostgreSQL database biz on 127.0.0.1:5432".
    QString describe() const;
};

} // namespace bizlib
