#pragma once

#include "bizlib/DatabaseConfig.h"
#include "bizlib/Decimal.h"
#include "bizlib/FieldType.h"
#include "bizlib/Status.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>
#include <memory>

namespace bizlib {

class Dictionary;

// The business database. Holds the connection settings and hands each thread its own
// connection (Qt connections may only be used on the thread that opened them).
//
// The object may be destroyed on any thread and at any time, also after the threads that used
// it have ended or while the thread-local storage of the destroying thread is already gone (a
// static object destroyed at exit): a thread's connection is closed when the thread ends or
// calls close(), and whatever is left when the object goes. No other thread may be running a
// statement on it then.
//
// A connection that broke (the server went away, or did not answer within the time limits of
// DatabaseConfig) is opened again on its next use, but never inside a transaction: once a
// statement of a transaction has failed, every further statement of it fails until it is rolled
// back, on both engines, so that a transaction is all or nothing.
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
    // Closes this thread's connection (a later use opens it again). The connections of other
    // threads close when their thread ends or when the object is destroyed.
    void close();
    // Whether this thread's connection is open.
    bool isOpen() const;
    // Gives up on what `thread` (a thread's QThread::currentThreadId()) is doing with this
    // database: a statement of it waiting on the server ends now as if its time limit had passed,
    // and every later statement of that thread fails at once without opening a connection. For
    // a thread that is about to end while its work is no longer wanted (a window closing during
    // a stall). Safe from any thread.
    void giveUpThread(Qt::HANDLE thread);
    // Closes the connections this thread holds of every database and frees their state now
    // rather than when the thread's own storage goes (after QThread::wait() has already
    // returned, possibly while the program ends). Call on a worker thread as it finishes.
    static void releaseThisThread();
    const DatabaseConfig &config() const { return m_config; }
    bool isPostgres() const { return m_config.isPostgres(); }

    // This thread's connection, opened on first use (see above for a broken one).
    QSqlDatabase connection();
    // Counts how often this thread's connection was opened again: a query of an earlier
    // connection cannot be read on.
    int connectionGeneration();

    // Brings the schema (tables, key indexes, counters, change stamps) up to this program's
    // version, which the database keeps. Against a database whose version is current it only
    // reads that version: no DDL, and no lock on any table. Older versions get the missing
    // tables, columns and indexes, and their stored values are converted once (DatabaseSchema.cpp).
    Status ensureSchema(const Dictionary &dictionary);
    // The level of a database written by a newer program, which ensureSchema() left as it was
    // (0: not newer). Worth a line in the trace log: this program may not know all its columns.
    int newerSchemaLevel() const { return m_newerSchemaLevel; }
    // Lower-case names of the tables, and of one table's columns, in this connection's schema.
    Status tableNames(QStringList *names);
    Status columnNames(const QString &table, QStringList *names);

    // Runs one statement with positional '?' parameters. On success `query` (if given) holds
    // the result, positioned before the first row.
    Status exec(const QString &sql, const QVariantList &params = {}, QSqlQuery *query = nullptr);
    // Runs a writing statement with parameters on the thread's kept statement, as exec() without
    // a query does; `affected` receives how many rows it changed.
    Status execCounted(const QString &sql, const QVariantList &params, int *affected);

    // A prepared statement of this thread's connection, kept for reuse by every table object of
    // the thread; nullptr with `error` set when it cannot be prepared. The statements are dropped
    // when the connection is opened again.
    QSqlQuery *prepared(const QString &sql, Status *error);

    // Runs a reading statement with parameters on a prepared statement that the caller holds
    // while it walks the rows (readers may nest, so each has its own); one given back with
    // giveBack() serves the next reader of the same statement without preparing it again.
    Status query(const QString &sql, const QVariantList &params, std::shared_ptr<QSqlQuery> *out);
    void giveBack(const QString &sql, std::shared_ptr<QSqlQuery> query, quint64 epoch);
    // Tells this thread's connection apart from every other this process opened, also after it
    // was closed and opened again.
    quint64 connectionEpoch();
    // Expires when this database object is destroyed: for objects that may outlive it.
    std::weak_ptr<void> lifetime() const { return m_threads; }

    // Nested transactions: only the outermost begin/commit reach the database; a rollback at
    // any depth rolls back the whole outermost transaction.
    Status begin();
    Status commit();
    void rollback();
    // Savepoints (see Savepoint); outside a transaction they do nothing.
    Status savepoint(const QString &name, bool *doomedBefore);
    Status releaseSavepoint(const QString &name);
    Status rollbackToSavepoint(const QString &name, bool doomedBefore);

    // Value conversions between record values and what the driver stores. fromSql() refuses a
    // stored value that the field cannot hold (a LONG beyond 32 bits, a decimal with more digits
    // than the field has, a text where a number belongs) with an error in `status`, never
    // wrapping or cutting it; the value is then the field's empty value.
    QVariant toSql(const FieldDef &field, const QVariant &value) const;
    QVariant decimalToSql(const Decimal &value) const;
    QVariant fromSql(const FieldDef &field, const QVariant &value, Status *status = nullptr) const;
    // Error when a value of a record cannot be stored in its field (a LONG beyond 32 bits).
    static Status checkStorable(const FieldDef &field, const QVariant &value);
    QString columnType(const FieldDef &field) const;
    // SQL for "greatest of two expressions" in this dialect.
    QString greatest(const QString &a, const QString &b) const;

    // The connection's last error as one readable line.
    static QString errorText(const QSqlError &error);

    struct ThreadState; // per-thread connection and transaction state (internal)
    struct Threads; // every thread's state, shared with the threads' own records (internal)

    // One statement on this thread's connection, from start to end. It refuses to start inside a
    // transaction that has already failed, opens a broken connection again outside a transaction,
    // and gives a server the statement time limit to answer. Tables and cursors that run their
    // own QSqlQuery objects wrap each statement in one.
    class Statement
    {
    public:
        explicit Statement(Database &db);
        ~Statement();
        Statement(const Statement &) = delete;
        Statement &operator=(const Statement &) = delete;
        // An error when the statement must not run.
        const Status &status() const { return m_status; }
        // The outcome: Ok, or the failure told apart (duplicate key, timeout, lock wait, lost
        // connection) with `context` ahead of the message. Records the failure in the transaction.
        Status finish(bool ok, const QSqlError &error, const QString &context = {});

    private:
        Database &m_db;
        ThreadState *m_state = nullptr;
        Status m_status;
        quint64 m_ticket = 0;
        bool m_finished = false;
    };

private:
    ThreadState &state();
    QString connectionName(const ThreadState &s) const;
    Status openConnection(QSqlDatabase &db, ThreadState &s);
    Status reopen(ThreadState &s);
    void dropStatements(ThreadState &s);
    void disarm(ThreadState &s, quint64 ticket, bool *fired);
    Status failure(ThreadState &s, const QSqlError &error, bool timedOut, const QString &context);
    Status sessionSettings(QSqlDatabase &db);
    // A time limit for this thread's statements other than the configured one (-1: back to it).
    void setStatementLimit(int milliseconds);
    Status upgradeSchema(const Dictionary &dictionary, int storedLevel, bool hadTables);

    DatabaseConfig m_config;
    QString m_baseName;
    quint64 m_serial;
    std::shared_ptr<Threads> m_threads;
    int m_newerSchemaLevel = 0;
};

// Commits on commit(); rolls back when it goes out of scope without a commit.
class Transaction
{
public:
    explicit Transaction(Database &db)
        : m_db(db)
        , m_status(db.begin())
    { }
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
    // Rolls back now (the whole outermost transaction, as any rollback does).
    void rollback()
    {
        if (m_status.isOk() && !m_done)
            m_db.rollback();
        m_done = true;
    }

private:
    Database &m_db;
    Status m_status;
    bool m_done = false;
};

// A part of a transaction that may fail on its own (a write that is skipped when it fails): a
// rollback() undoes only what was written since the savepoint, clears the failure, and the
// transaction goes on. Leaving the scope without release() rolls back to the savepoint. Outside a
// transaction it does nothing.
class Savepoint
{
public:
    explicit Savepoint(Database &db);
    ~Savepoint();
    Savepoint(const Savepoint &) = delete;
    Savepoint &operator=(const Savepoint &) = delete;
    const Status &status() const { return m_status; }
    Status release();
    Status rollback();

private:
    Database &m_db;
    QString m_name;
    Status m_status;
    bool m_doomedBefore = false;
    bool m_done = false;
    static inline thread_local quint64 m_counter = 0;
};

} // namespace bizlib
