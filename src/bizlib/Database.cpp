#include "bizlib/Database.h"

#include "bizlib/StatementWatchdog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMutex>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>
#include <QUuid>
#include <atomic>
#include <libpq-fe.h>
#include <memory>

namespace bizlib {

namespace {
quint64 nextEpoch()
{
    static std::atomic<quint64> counter { 0 };
    return ++counter;
}
} // namespace

struct Database::ThreadState
{
    QString connection; // name of the current connection (a new one each time it is opened again)
    QSqlDatabase db; // the current connection, once added
    int opened = 0; // how often the connection was opened again
    int depth = 0; // transaction nesting
    bool doomed = false; // an inner transaction rolled back: the outermost cannot commit
    bool aborted = false; // a statement of the transaction failed: no further statement runs
    bool broken = false; // the connection is lost
    PGconn *pg = nullptr; // PostgreSQL: the client library's connection, for its state and socket
    int socket = -1;
    int limitMs = -1; // statement time limit for this thread while >= 0 (schema upgrades)
    std::atomic<quint64> armed { 0 }; // the watchdog's ticket of the statement running, 0: none
    std::atomic<bool> givenUp { false }; // giveUpThread(): no statement runs any more
    QElapsedTimer failedOpen; // since the last failed attempt to open the connection again
    QHash<QString, std::shared_ptr<QSqlQuery>> statements;
    QHash<QString, QList<std::shared_ptr<QSqlQuery>>> idleReaders; // given back by readers
    qsizetype idleCount = 0;
    quint64 epoch = nextEpoch(); // this connection among all that this process opened
};

// The state of every thread that used one database, owned here and shared between the database
// and the records of those threads, so that whichever of them ends first leaves the rest to the
// other.
struct Database::Threads
{
    QMutex mutex;
    QHash<Qt::HANDLE, ThreadState *> states;
};

namespace {

// Closes a thread's connection and frees its state. The connection goes with its driver before
// its statements do, so that they never reach the server again (a prepared statement frees
// itself through its driver while that exists); no server is asked anything, so a server that
// stopped answering cannot hold this up.
void release(Database::ThreadState *s)
{
    s->db.close();
    s->db = QSqlDatabase();
    QSqlDatabase::removeDatabase(s->connection);
    s->statements.clear();
    s->idleReaders.clear();
    delete s;
}

// What one thread holds of the databases it used, by their serial numbers, each with the
// database's shared part (gone once the database is); the last one used is remembered, because
// nearly every statement asks for it. When the thread ends, the states still held are released
// on the thread itself.
struct ThreadRecord
{
    struct Entry
    {
        std::weak_ptr<Database::Threads> threads;
        Database::ThreadState *state = nullptr;
    };
    QHash<quint64, Entry> entries;
    quint64 lastSerial = 0;
    Database::ThreadState *last = nullptr;
};

// The record is a plain pointer, which stays readable while the thread's other thread-local
// objects are destroyed; the owner below releases it at the thread's end. A database used after
// that (by the destructor of a static object) does without a record: its state is then freed
// with the database.
thread_local ThreadRecord *t_record = nullptr;
thread_local bool t_recordGone = false;

// Releases what this thread holds of the databases it used, as far as they still exist.
void releaseThreadRecord()
{
    ThreadRecord *record = t_record;
    t_record = nullptr;
    if (!record)
        return;
    const Qt::HANDLE me = QThread::currentThreadId();
    for (const ThreadRecord::Entry &e : std::as_const(record->entries)) {
        const std::shared_ptr<Database::Threads> threads = e.threads.lock();
        if (!threads)
            continue; // the database has gone, and with it the state
        {
            QMutexLocker lock(&threads->mutex);
            if (threads->states.value(me) != e.state)
                continue;
            threads->states.remove(me);
        }
        release(e.state);
    }
    delete record;
}

struct ThreadRecordOwner
{
    ~ThreadRecordOwner()
    {
        releaseThreadRecord();
        t_recordGone = true;
    }
};
thread_local ThreadRecordOwner t_recordOwner;

ThreadRecord *threadRecord(bool create)
{
    if (t_recordGone)
        return nullptr;
    if (!t_record && create) {
        t_record = new ThreadRecord;
        (void)&t_recordOwner; // its first use on this thread arranges its destruction at the thread's end
    }
    return t_record;
}

std::atomic<quint64> s_serials { 0 };

// A lost connection is opened again at most this often while the server stays unreachable, so that
// a one-second cycle does not spend its time waiting for connection attempts.
constexpr qint64 kReopenPauseMs = 5000;
constexpr qsizetype kMaxStatements = 256;

PGconn *pgConnection(const QSqlDatabase &db)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    // Qt names the type as declared or as the compiler sees it (the typedef resolved).
    if (!v.isValid() || (qstrcmp(v.typeName(), "PGconn*") != 0 && qstrcmp(v.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(v.constData());
}

bool isDuplicateError(const QSqlError &e)
{
    // 23505 PostgreSQL unique_violation; 2067/1555 SQLite unique/primary key constraint.
    const QString code = e.nativeErrorCode();
    return code == QLatin1String("23505") || code == QLatin1String("2067") || code == QLatin1String("1555")
        || e.databaseText().contains(QLatin1String("UNIQUE constraint failed"));
}

QString withContext(const QString &context, const QString &message)
{
    return context.isEmpty() ? message : context + QStringLiteral(": ") + message;
}

} // namespace

QString DatabaseConfig::describe() const
{
    if (isPostgres())
        return QStringLiteral("PostgreSQL database \"%1\" on %2:%3").arg(name, host).arg(port);
    return QStringLiteral("SQLite database file %1").arg(QDir::toNativeSeparators(file));
}

Database::Database(DatabaseConfig config)
    : m_config(std::move(config))
    , m_baseName(QStringLiteral("bizdb-") + QUuid::createUuid().toString(QUuid::Id128))
    , m_serial(++s_serials)
    , m_threads(std::make_shared<Threads>())
{ }

Database::~Database()
{
    close();
    QHash<Qt::HANDLE, ThreadState *> others;
    {
        QMutexLocker lock(&m_threads->mutex);
        others.swap(m_threads->states);
    }
    // Threads that are still running keep an entry for this database in their record; it names a
    // database that is gone and is dropped when they end.
    for (ThreadState *s : std::as_const(others))
        release(s);
}

Database::ThreadState &Database::state()
{
    ThreadRecord *record = threadRecord(true);
    if (record && record->lastSerial == m_serial && record->last)
        return *record->last;
    const Qt::HANDLE me = QThread::currentThreadId();
    ThreadState *s = nullptr;
    bool made = false;
    {
        QMutexLocker lock(&m_threads->mutex);
        ThreadState *&slot = m_threads->states[me];
        if (!slot) {
            slot = new ThreadState;
            made = true;
        }
        s = slot;
    }
    if (made)
        s->connection = connectionName(*s);
    if (record) {
        if (made)
            record->entries.insert(m_serial, { m_threads, s });
        record->lastSerial = m_serial;
        record->last = s;
    }
    return *s;
}

QString Database::connectionName(const ThreadState &s) const
{
    return m_baseName
        + QStringLiteral("-%1-%2").arg(reinterpret_cast<quintptr>(QThread::currentThreadId())).arg(s.opened);
}

QString Database::errorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (text.isEmpty())
        text = driver;
    else if (!driver.isEmpty() && !text.contains(driver))
        text = driver + QStringLiteral(": ") + text;
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

Status Database::openConnection(QSqlDatabase &db, ThreadState &s)
{
    s.pg = nullptr;
    s.socket = -1;
    if (!QSqlDatabase::isDriverAvailable(m_config.driver))
        return Status::error(QStringLiteral("The database driver %1 is not installed (available: %2).")
                                 .arg(m_config.driver, QSqlDatabase::drivers().join(QStringLiteral(", "))));
    if (m_config.isPostgres()) {
        db.setHostName(m_config.host);
        db.setPort(m_config.port);
        db.setDatabaseName(m_config.name);
        db.setUserName(m_config.user);
        db.setPassword(m_config.password);
        QStringList options;
        if (m_config.connectTimeout > 0)
            options << QStringLiteral("connect_timeout=%1").arg(m_config.connectTimeout);
        if (m_config.keepaliveIdle > 0) {
            options << QStringLiteral("keepalives=1")
                    << QStringLiteral("keepalives_idle=%1").arg(m_config.keepaliveIdle);
            if (m_config.keepaliveInterval > 0)
                options << QStringLiteral("keepalives_interval=%1").arg(m_config.keepaliveInterval);
            if (m_config.keepaliveCount > 0)
                options << QStringLiteral("keepalives_count=%1").arg(m_config.keepaliveCount);
        }
        if (m_config.tcpUserTimeout > 0)
            options << QStringLiteral("tcp_user_timeout=%1").arg(qint64(m_config.tcpUserTimeout) * 1000);
        QString sslProblem;
        options << m_config.sslConnectOptions(&sslProblem);
        if (!sslProblem.isEmpty())
            return Status::error(sslProblem);
        db.setConnectOptions(options.join(u';'));
    } else {
        if (m_config.file.isEmpty())
            return Status::error(QStringLiteral("No database file is configured."));
        const QFileInfo info(m_config.file);
        if (!info.absoluteDir().exists())
            return Status::error(QStringLiteral("The folder of the database file %1 does not exist.")
                                     .arg(QDir::toNativeSeparators(info.absolutePath())));
        if (!m_config.create && !info.exists())
            return Status::error(QStringLiteral("The %1 does not exist.").arg(m_config.describe()));
        db.setDatabaseName(m_config.file);
        // SQLite has no "wait forever": an unlimited lock wait is a very long one.
        const qint64 busy = m_config.lockTimeout > 0 ? qint64(m_config.lockTimeout) * 1000 : qint64(INT_MAX);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busy));
    }
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!db.open())
        return Status::error(
            QStringLiteral("Cannot open the %1: %2").arg(m_config.describe(), errorText(db.lastError())));

    if (m_config.isPostgres()) {
        s.pg = pgConnection(db);
        s.socket = s.pg ? PQsocket(s.pg) : -1;
        const Status st = sessionSettings(db);
        if (!st)
            db.close();
        return st;
    }
    // SQLite opens anything lazily; the first read tells whether the file really is a database.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL"))
        || !q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return Status::error(
            QStringLiteral("The %1 cannot be read: %2").arg(m_config.describe(), errorText(q.lastError())));
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    return Status::ok();
}

Status Database::sessionSettings(QSqlDatabase &db)
{
    QStringList settings;
    if (!m_config.schema.isEmpty())
        settings << QStringLiteral("SET search_path TO \"%1\"").arg(QString(m_config.schema).remove(u'"'));
    settings << QStringLiteral("SET statement_timeout = %1").arg(qint64(std::max(0, m_config.statementTimeout)) * 1000)
             << QStringLiteral("SET lock_timeout = %1").arg(qint64(std::max(0, m_config.lockTimeout)) * 1000);
    QSqlQuery q(db);
    for (const QString &sql : std::as_const(settings))
        if (!q.exec(sql))
            return Status::error(QStringLiteral("Cannot set up the connection to the %1: %2")
                                     .arg(m_config.describe(), errorText(q.lastError())));
    return Status::ok();
}

QSqlDatabase Database::connection()
{
    ThreadState &s = state();
    if (s.givenUp)
        return s.db; // as it is: nothing is opened again for work that was given up
    if (s.broken && s.depth == 0)
        reopen(s);
    if (!s.db.isValid()) {
        s.db = QSqlDatabase::addDatabase(m_config.driver, s.connection);
        openConnection(s.db, s);
    } else if (!s.db.isOpen() && !s.broken) {
        openConnection(s.db, s);
    }
    return s.db;
}

int Database::connectionGeneration()
{
    return state().opened;
}

Status Database::reopen(ThreadState &s)
{
    if (s.givenUp)
        return Status::error(QStringLiteral("The work with the %1 was given up.").arg(m_config.describe()));
    if (s.failedOpen.isValid() && !s.failedOpen.hasExpired(kReopenPauseMs))
        return Status::error(
            QStringLiteral("The connection to the %1 was lost; it is opened again shortly.").arg(m_config.describe()));
    // The old connection goes with its driver before its statements do, so that they never reach
    // the new connection (a prepared statement frees itself through its driver).
    s.db.close();
    s.db = QSqlDatabase();
    QSqlDatabase::removeDatabase(s.connection);
    dropStatements(s);
    ++s.opened;
    s.epoch = nextEpoch();
    s.connection = connectionName(s);
    s.db = QSqlDatabase::addDatabase(m_config.driver, s.connection);
    const Status st = openConnection(s.db, s);
    if (!st) {
        s.db.close();
        s.failedOpen.start();
        return st;
    }
    s.broken = false;
    s.failedOpen.invalidate();
    return st;
}

void Database::dropStatements(ThreadState &s)
{
    s.statements.clear();
    s.idleReaders.clear();
    s.idleCount = 0;
}

Status Database::open()
{
    ThreadState &s = state();
    if (s.broken && s.depth == 0) {
        s.failedOpen.invalidate(); // an explicit open always tries
        return reopen(s);
    }
    if (!s.db.isValid())
        s.db = QSqlDatabase::addDatabase(m_config.driver, s.connection);
    if (s.db.isOpen())
        return Status::ok();
    const Status st = openConnection(s.db, s);
    if (!st)
        s.db.close();
    return st;
}

bool Database::isOpen() const
{
    QMutexLocker lock(&m_threads->mutex);
    const ThreadState *s = m_threads->states.value(QThread::currentThreadId());
    return s && s->db.isOpen();
}

void Database::close()
{
    ThreadState *s = nullptr;
    {
        QMutexLocker lock(&m_threads->mutex);
        s = m_threads->states.take(QThread::currentThreadId());
    }
    if (ThreadRecord *record = threadRecord(false)) {
        record->entries.remove(m_serial);
        if (record->lastSerial == m_serial) {
            record->lastSerial = 0;
            record->last = nullptr;
        }
    }
    if (s)
        release(s);
}

void Database::giveUpThread(Qt::HANDLE thread)
{
    QMutexLocker lock(&m_threads->mutex);
    ThreadState *s = m_threads->states.value(thread);
    if (!s)
        return;
    s->givenUp = true;
    if (const quint64 ticket = s->armed.load())
        StatementWatchdog::instance().expire(ticket);
}

void Database::releaseThisThread()
{
    releaseThreadRecord();
}

Database::Statement::Statement(Database &db)
    : m_db(db)
    , m_state(&db.state())
{
    ThreadState &s = *m_state;
    if (s.givenUp) {
        m_status = Status::error(QStringLiteral("The work with the %1 was given up.").arg(db.m_config.describe()));
        return;
    }
    if (s.depth > 0 && (s.aborted || s.broken)) {
        m_status = Status::error(
            QStringLiteral("The transaction was broken off by an earlier failure; nothing more of it is done."));
        return;
    }
    if (s.broken) {
        m_status = db.reopen(s);
        if (!m_status)
            return;
    }
    if (s.socket >= 0) {
        const qint64 limit = s.limitMs >= 0 ? s.limitMs
            : db.m_config.statementTimeout > 0
            ? (qint64(db.m_config.statementTimeout) + DatabaseConfig::kClientGraceSeconds) * 1000
            : 0;
        if (limit > 0) {
            m_ticket = StatementWatchdog::instance().arm(s.socket, static_cast<int>(limit));
            s.armed = m_ticket;
            // Given up between the check above and the arming: this statement does not wait either.
            if (s.givenUp)
                StatementWatchdog::instance().expire(m_ticket);
        }
    }
}

Database::Statement::~Statement()
{
    if (!m_finished)
        finish(true, QSqlError());
}

void Database::disarm(ThreadState &s, quint64 ticket, bool *fired)
{
    s.armed = 0;
    *fired = ticket != 0 && StatementWatchdog::instance().disarm(ticket);
    if (*fired) {
        s.broken = true;
        if (s.depth > 0)
            s.aborted = true;
    }
}

Status Database::Statement::finish(bool ok, const QSqlError &error, const QString &context)
{
    m_finished = true;
    bool timedOut = false;
    m_db.disarm(*m_state, m_ticket, &timedOut);
    m_ticket = 0;
    if (ok)
        return Status::ok();
    return m_db.failure(*m_state, error, timedOut, context);
}

Status Database::failure(ThreadState &s, const QSqlError &e, bool timedOut, const QString &context)
{
    if (s.pg && PQstatus(s.pg) == CONNECTION_BAD)
        s.broken = true;
    if (s.depth > 0)
        s.aborted = true;
    if (isDuplicateError(e))
        return Status::duplicate(withContext(context, errorText(e)));
    const QString code = e.nativeErrorCode();
    QString message;
    if (timedOut) {
        message
            = QStringLiteral("The %1 did not answer within %2 seconds; the connection is opened again on its next use.")
                  .arg(m_config.describe())
                  .arg(s.limitMs >= 0 ? s.limitMs / 1000
                                      : m_config.statementTimeout + DatabaseConfig::kClientGraceSeconds);
    } else if (code == QLatin1String("57014") && e.databaseText().contains(QLatin1String("statement timeout"))) {
        message = QStringLiteral("The database server cancelled a statement that took longer than %1 seconds "
                                 "(StatementTimeout in the \"Database\" section): %2")
                      .arg(m_config.statementTimeout)
                      .arg(errorText(e));
    } else if (code == QLatin1String("55P03") || code == QLatin1String("5")
        || e.databaseText().contains(QLatin1String("database is locked"))) {
        message = QStringLiteral("Another workstation or program kept the data locked for longer than %1 seconds "
                                 "(LockTimeout in the \"Database\" section): %2")
                      .arg(m_config.lockTimeout)
                      .arg(errorText(e));
    } else if (s.broken) {
        message = QStringLiteral("The connection to the %1 was lost: %2").arg(m_config.describe(), errorText(e));
    } else {
        message = errorText(e);
    }
    return Status::error(withContext(context, message));
}

QSqlQuery *Database::prepared(const QString &sql, Status *error)
{
    ThreadState &s = state();
    if (!s.broken) {
        const auto it = s.statements.constFind(sql);
        if (it != s.statements.constEnd())
            return it->get();
    }
    QSqlDatabase db = connection();
    Statement guard(*this);
    if (!guard.status()) {
        *error = guard.status();
        return nullptr;
    }
    auto q = std::make_shared<QSqlQuery>(db);
    q->setForwardOnly(true);
    const bool ok = q->prepare(sql);
    *error = guard.finish(ok, q->lastError());
    if (!ok)
        return nullptr;
    // Every statement a thread ever ran stays prepared on the server; a program that builds many
    // different ones starts afresh now and then.
    if (s.statements.size() >= kMaxStatements)
        s.statements.clear();
    QSqlQuery *raw = q.get();
    s.statements.insert(sql, std::move(q));
    return raw;
}

Status Database::query(const QString &sql, const QVariantList &params, std::shared_ptr<QSqlQuery> *out)
{
    ThreadState &s = state();
    out->reset();
    std::shared_ptr<QSqlQuery> q;
    if (!s.broken) {
        auto it = s.idleReaders.find(sql);
        if (it != s.idleReaders.end() && !it->isEmpty()) {
            q = it->takeLast();
            --s.idleCount;
        }
    }
    QSqlDatabase db = connection();
    Statement guard(*this);
    if (!guard.status())
        return guard.status();
    if (!db.isOpen())
        return Status::error(
            QStringLiteral("The %1 is not open: %2").arg(m_config.describe(), errorText(db.lastError())));
    if (!q) {
        q = std::make_shared<QSqlQuery>(db);
        q->setForwardOnly(true);
        if (!q->prepare(sql)) {
            const Status st = guard.finish(false, q->lastError());
            return Status::error(st.message() + QStringLiteral(" [") + sql + u']');
        }
    }
    for (int i = 0; i < params.size(); ++i)
        q->bindValue(i, params[i]);
    const bool done = q->exec();
    const Status st = guard.finish(done, q->lastError());
    if (st)
        *out = std::move(q);
    return st;
}

quint64 Database::connectionEpoch()
{
    return state().epoch;
}

void Database::giveBack(const QString &sql, std::shared_ptr<QSqlQuery> query, quint64 epoch)
{
    if (!query)
        return;
    ThreadState &s = state();
    // A statement of an earlier connection goes with it.
    if (s.broken || epoch != s.epoch)
        return;
    query->finish();
    if (s.idleCount >= kMaxStatements) {
        s.idleReaders.clear();
        s.idleCount = 0;
    }
    s.idleReaders[sql].append(std::move(query));
    ++s.idleCount;
}

Status Database::execCounted(const QString &sql, const QVariantList &params, int *affected)
{
    if (affected)
        *affected = 0;
    // Nothing is read from the result: the thread's kept statement serves, prepared once. The
    // connection is opened first, so that the time limit watches its socket.
    QSqlDatabase db = connection();
    Statement guard(*this);
    if (!guard.status())
        return guard.status();
    if (!db.isOpen())
        return Status::error(
            QStringLiteral("The %1 is not open: %2").arg(m_config.describe(), errorText(db.lastError())));
    Status prepareError;
    QSqlQuery *q = prepared(sql, &prepareError);
    if (!q)
        return Status::error(prepareError.message() + QStringLiteral(" [") + sql + u']');
    for (int i = 0; i < params.size(); ++i)
        q->bindValue(i, params[i]);
    const bool done = q->exec();
    if (done && affected)
        *affected = q->numRowsAffected();
    const Status st = guard.finish(done, q->lastError());
    q->finish();
    return st;
}

Status Database::exec(const QString &sql, const QVariantList &params, QSqlQuery *query)
{
    if (!query && !params.isEmpty())
        return execCounted(sql, params, nullptr);
    QSqlDatabase db = connection();
    Statement guard(*this);
    if (!guard.status())
        return guard.status();
    if (!db.isOpen())
        return Status::error(
            QStringLiteral("The %1 is not open: %2").arg(m_config.describe(), errorText(db.lastError())));
    QSqlQuery local(db);
    QSqlQuery &q = query ? *query : local;
    if (query)
        q = QSqlQuery(db);
    q.setForwardOnly(true);
    if (params.isEmpty()) {
        // Statements without parameters run directly: PostgreSQL cannot prepare DDL.
        const bool done = q.exec(sql);
        return guard.finish(done, q.lastError());
    }
    if (!q.prepare(sql)) {
        const Status st = guard.finish(false, q.lastError());
        return Status::error(st.message() + QStringLiteral(" [") + sql + u']');
    }
    for (const QVariant &p : params)
        q.addBindValue(p);
    const bool done = q.exec();
    return guard.finish(done, q.lastError());
}

Status Database::begin()
{
    ThreadState &s = state();
    if (s.depth > 0) {
        ++s.depth;
        return Status::ok();
    }
    // Outside a transaction a lost connection may be opened again; inside one it never is.
    QSqlDatabase db = connection();
    if (s.broken || !db.isOpen())
        return Status::error(QStringLiteral("Cannot begin a transaction: the %1 is not open: %2")
                                 .arg(m_config.describe(), errorText(db.lastError())));
    s.depth = 1;
    s.doomed = false;
    s.aborted = false;
    Statement guard(*this);
    bool ok = false;
    QSqlError error;
    if (isPostgres()) {
        ok = db.transaction();
        error = db.lastError();
    } else {
        QSqlQuery q(db);
        ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
        error = q.lastError();
    }
    const Status st = guard.finish(ok, error);
    if (!st) {
        s.depth = 0;
        s.aborted = false;
    }
    return st;
}

Status Database::commit()
{
    ThreadState &s = state();
    if (s.depth == 0)
        return Status::error(QStringLiteral("commit without a transaction"));
    if (s.depth > 1) {
        --s.depth;
        return Status::ok();
    }
    if (s.doomed || s.aborted || s.broken) {
        const bool failedStatement = s.aborted || s.broken;
        rollback();
        return Status::error(failedStatement
                ? QStringLiteral("the transaction was rolled back after a failed statement")
                : QStringLiteral("the transaction was rolled back by an inner failure"));
    }
    QSqlDatabase db = s.db;
    bool ok = false;
    QSqlError error;
    {
        Statement guard(*this);
        if (isPostgres()) {
            ok = db.commit();
            error = db.lastError();
        } else {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("COMMIT"));
            error = q.lastError();
        }
        const Status st = guard.finish(ok, error);
        if (st) {
            s.depth = 0;
            s.aborted = false;
            return st;
        }
    }
    // A commit that failed leaves nothing half-done behind: the transaction is rolled back.
    rollback();
    return Status::error(
        QStringLiteral("The transaction could not be committed and was rolled back: %1").arg(errorText(error)));
}

void Database::rollback()
{
    ThreadState &s = state();
    if (s.depth > 1) {
        --s.depth;
        s.doomed = true;
        return;
    }
    const bool open = s.depth == 1;
    s.depth = 0;
    s.doomed = false;
    s.aborted = false;
    // A lost connection took its transaction with it on the server.
    if (!open || s.broken)
        return;
    QSqlDatabase db = s.db;
    Statement guard(*this);
    bool ok = false;
    QSqlError error;
    if (isPostgres()) {
        ok = db.rollback();
        error = db.lastError();
    } else {
        QSqlQuery q(db);
        ok = q.exec(QStringLiteral("ROLLBACK"));
        error = q.lastError();
    }
    guard.finish(ok, error);
}

void Database::setStatementLimit(int milliseconds)
{
    state().limitMs = milliseconds;
}

QString Database::greatest(const QString &a, const QString &b) const
{
    return isPostgres() ? QStringLiteral("GREATEST(%1, %2)").arg(a, b) : QStringLiteral("MAX(%1, %2)").arg(a, b);
}

Status Database::savepoint(const QString &name, bool *doomedBefore)
{
    ThreadState &s = state();
    *doomedBefore = s.doomed;
    if (s.depth == 0)
        return Status::ok();
    return exec(QStringLiteral("SAVEPOINT %1").arg(name));
}

Status Database::releaseSavepoint(const QString &name)
{
    if (state().depth == 0)
        return Status::ok();
    return exec(QStringLiteral("RELEASE SAVEPOINT %1").arg(name));
}

Status Database::rollbackToSavepoint(const QString &name, bool doomedBefore)
{
    ThreadState &s = state();
    if (s.depth == 0)
        return Status::ok();
    if (s.broken)
        return Status::error(QStringLiteral("The connection was lost; the transaction is gone."));
    // The failure being undone no longer stands in the way of the transaction's next statement.
    s.aborted = false;
    Status st = exec(QStringLiteral("ROLLBACK TO SAVEPOINT %1").arg(name));
    if (st)
        st = exec(QStringLiteral("RELEASE SAVEPOINT %1").arg(name));
    if (st)
        s.doomed = doomedBefore;
    else
        s.aborted = true;
    return st;
}

Savepoint::Savepoint(Database &db)
    : m_db(db)
    , m_name(QStringLiteral("wc_sp_%1").arg(++m_counter))
{
    m_status = m_db.savepoint(m_name, &m_doomedBefore);
}

Status Savepoint::release()
{
    if (m_done || !m_status)
        return m_status;
    m_done = true;
    return m_db.releaseSavepoint(m_name);
}

Status Savepoint::rollback()
{
    if (m_done || !m_status)
        return m_status;
    m_done = true;
    return m_db.rollbackToSavepoint(m_name, m_doomedBefore);
}

Savepoint::~Savepoint()
{
    if (!m_done && m_status)
        rollback();
}

} // namespace bizlib
