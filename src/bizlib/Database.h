#pragma once

#include "bizlib/DatabaseConfig.h"
#include "bizlib/Decimal.h"
#include "bizlib/FieldType.h"
#include "bizlib/Status.h"

#include <QMutex>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

namespace bizlib {

class Dictionary;

// The business database. Holds the connection settings and hands each thread its own
// connection (Qt connections may only be used on the thread that opened them).
// The schema (tables, key indexes, counters, change stamps) is created from the dictionary
// by ensureSchema(); creating it again is harmless.
class Database
{
public:
    explicit Database(DatabaseConfig config);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens this thread's connection and checks that the database answers.
    // Errors say what failed: missing driver, not a database, server down, login refused.
    Status open();
    void close();
    bool isOpen() const;
    const DatabaseConfig &config() const { return m_config; }
    bool isPostgres() const { return m_config.isPostgres(); }

    // This thread's connection, opened on first use.
    QSqlDatabase connection();

    Status ensureSchema(const Dictionary &dictionary);
    // Lower-case names of the tables, and of one table's columns, in this connection's schema.
    Status tableNames(QStringList *names);
    Status columnNames(const QString &table, QStringList *names);

    // Runs one statement with positional '?' parameters. On success `query` (if given) holds
    // the result, positioned before the first row. Without `query`, a statement with parameters
    // runs as execPrepared() does.
    Status exec(const QString &sql, const QVariantList &params = {}, QSqlQuery *query = nullptr);

    // Runs one statement through the prepared statement that this thread's connection keeps for
    // its text, so that a statement run again is not prepared again (on PostgreSQL each prepare is
    // a round trip to the server). On success *result (if given) is that statement, positioned
    // before its first row: read it before the same text runs again on this thread, which starts a
    // new result. A statement that fails is dropped (a broken connection leaves it unusable).
    Status execPrepared(const QString &sql, const QVariantList &params, QSqlQuery **result = nullptr);

    // The outcome of a failed statement: Duplicate for a unique key that is taken, else Error.
    static Status failure(const QSqlError &error, const QString &context = {});

    // Nested transactions: only the outermost begin/commit reach the database; a rollback at
    // any depth rolls back the whole outermost transaction.
    Status begin();
    Status commit();
    void rollback();

    // Value conversions between record values and what the driver stores.
    QVariant toSql(const FieldDef &field, const QVariant &value) const;
    QVariant decimalToSql(const Decimal &value) const;
    QVariant fromSql(const FieldDef &field, const QVariant &value) const;
    QString columnType(const FieldDef &field) const;
    // SQL for "greatest of two expressions" in this dialect.
    QString greatest(const QString &a, const QString &b) const;

    // The connection's last error as one readable line.
    static QString errorText(const QSqlError &error);

    struct ThreadState; // per-thread connection and transaction depth (internal)

private:
    ThreadState &state();
    QString connectionName() const;
    Status openConnection(QSqlDatabase &db);

    DatabaseConfig m_config;
    QString m_baseName;
    mutable QMutex m_mutex;
    QList<QString> m_connections;
};

// Commits on commit(); rolls back when it goes out of scope without a commit.
class Transaction
{
public:
    explicit Transaction(Database &db) : m_db(db), m_status(db.begin()) {}
    ~Transaction()
    {
        if (m_status.isOk() && !m_done)
            m_db.rollback();
    }
    const Status &status() const { return m_status; }
    Status commit()
    {
        m_done = true;
        return m_status.isOk() ? m_db.commit() : m_status;
    }

private:
    Database &m_db;
    Status m_status;
    bool m_done = false;
};

} // namespace bizlib
