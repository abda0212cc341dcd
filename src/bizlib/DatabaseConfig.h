#pragma once

#include <QString>
#include <QStringList>

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
    // PostgreSQL over TLS: libpq's sslmode ("disable", "allow", "prefer", "require", "verify-ca" or
    // "verify-full", any letter case; empty: libpq's own choice, "prefer" unless PGSSLMODE says
    // otherwise, which someone on the network path can turn into no TLS at all) and sslrootcert
    // (the CA certificates the server's certificate is checked against by verify-ca and
    // verify-full; empty: libpq's default, ~/.postgresql/root.crt).
    QString sslMode;
    QString sslRootCert;
    // SQLite: create the file when it does not exist (otherwise a missing file is an error).
    bool create = false;

    // Time limits in seconds; 0 turns a limit off. They keep a server that stops answering from
    // freezing the program: a statement fails with a clear message instead, and the connection
    // is opened again on a later use.
    // - connectTimeout: opening a PostgreSQL connection.
    // - statementTimeout: the server cancels a statement that runs longer. A server that does not
    //   answer at all is given up kClientGraceSeconds later by the program itself.
    // - lockTimeout: how long a statement waits for a row or table that someone else holds
    //   (SQLite: for the other writer of the file).
    // - keepaliveIdle, keepaliveInterval, keepaliveCount, tcpUserTimeout: TCP keepalives and the
    //   user timeout, which notice a server host that has gone away.
    int connectTimeout = 5;
    int statementTimeout = 10;
    int lockTimeout = 5;
    int keepaliveIdle = 5;
    int keepaliveInterval = 2;
    int keepaliveCount = 3;
    int tcpUserTimeout = 10;
    static constexpr int kClientGraceSeconds = 2;
    // Minutes after which a claimed web request whose holder (on another workstation) has not been
    // seen counts as abandoned, and what its run made is cleaned up. A running console marks its
    // claims seen every minute.
    int claimTimeout = 10;

    // The connection options for sslMode and sslRootCert as the PostgreSQL driver takes them
    // ("sslmode=verify-full", "sslrootcert='/etc/ssl/db ca.pem'"); none for empty values. An
    // unknown mode, or a certificate path the driver cannot pass on (it holds ";"), gives no
    // options and the reason in *problem.
    QStringList sslConnectOptions(QString *problem) const;

    bool isPostgres() const { return driver.compare(QStringLiteral("QPSQL"), Qt::CaseInsensitive) == 0; }
    // For messages: "SQLite file /x/y.db" or "PostgreSQL database biz on 127.0.0.1:5432".
    QString describe() const;
};

} // namespace bizlib
