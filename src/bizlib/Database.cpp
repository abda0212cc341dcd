#include "bizlib/Database.h"

#include "bizlib/Dictionary.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>
#include <QUuid>

namespace bizlib {

struct Database::ThreadState
{
    QString connection;
    int depth = 0;
    bool failed = false;
    QHash<QString, std::shared_ptr<QSqlQuery>> statements; // execPrepared(): by SQL text
};

namespace {
// Per-thread state of every open Database, keyed by the database's base name.
thread_local QHash<QString, Database::ThreadState *> *t_states = nullptr;
} // namespace

QString DatabaseConfig::describe() const
{
    if (isPostgres())
        return QStringLiteral("PostgreSQL database \"%1\" on %2:%3").arg(name, host).arg(port);
    return QStringLiteral("SQLite database file %1").arg(QDir::toNativeSeparators(file));
}

Database::Database(DatabaseConfig config)
    : m_config(std::move(config)), m_baseName(QStringLiteral("bizdb-") + QUuid::createUuid().toString(QUuid::Id128))
{
}

Database::~Database()
{
    close();
}

Database::ThreadState &Database::state()
{
    if (!t_states)
        t_states = new QHash<QString, ThreadState *>(); // lives as long as the thread
    ThreadState *&s = (*t_states)[m_baseName];
    if (!s) {
        s = new ThreadState;
        s->connection = m_baseName + QStringLiteral("-%1").arg(reinterpret_cast<quintptr>(QThread::currentThread()));
    }
    return *s;
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

Status Database::openConnection(QSqlDatabase &db)
{
    if (!QSqlDatabase::isDriverAvailable(m_config.driver))
        return Status::error(QStringLiteral("The database driver %1 is not installed (available: %2).")
                                 .arg(m_config.driver, QSqlDatabase::drivers().join(QStringLiteral(", "))));
    if (m_config.isPostgres()) {
        db.setHostName(m_config.host);
        db.setPort(m_config.port);
        db.setDatabaseName(m_config.name);
        db.setUserName(m_config.user);
        db.setPassword(m_config.password);
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
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
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    }
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!db.open())
        return Status::error(QStringLiteral("Cannot open the %1: %2").arg(m_config.describe(), errorText(db.lastError())));

    QSqlQuery q(db);
    if (m_config.isPostgres()) {
        if (!m_config.schema.isEmpty()
            && !q.exec(QStringLiteral("SET search_path TO \"%1\"").arg(QString(m_config.schema).remove(u'"'))))
            return Status::error(QStringLiteral("Cannot select schema %1: %2").arg(m_config.schema, errorText(q.lastError())));
        return Status::ok();
    }
    // SQLite opens anything lazily; the first read tells whether the file really is a database.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return Status::error(
            QStringLiteral("The %1 cannot be read: %2").arg(m_config.describe(), errorText(q.lastError())));
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    return Status::ok();
}

QSqlDatabase Database::connection()
{
    ThreadState &s = state();
    if (QSqlDatabase::contains(s.connection)) {
        QSqlDatabase db = QSqlDatabase::database(s.connection, false);
        if (db.isOpen())
            return db;
    }
    QSqlDatabase db = QSqlDatabase::contains(s.connection) ? QSqlDatabase::database(s.connection, false)
                                                           : QSqlDatabase::addDatabase(m_config.driver, s.connection);
    {
        QMutexLocker lock(&m_mutex);
        if (!m_connections.contains(s.connection))
            m_connections.append(s.connection);
    }
    openConnection(db);
    return db;
}

Status Database::open()
{
    ThreadState &s = state();
    QSqlDatabase db = QSqlDatabase::contains(s.connection) ? QSqlDatabase::database(s.connection, false)
                                                           : QSqlDatabase::addDatabase(m_config.driver, s.connection);
    {
        QMutexLocker lock(&m_mutex);
        if (!m_connections.contains(s.connection))
            m_connections.append(s.connection);
    }
    if (db.isOpen())
        return Status::ok();
    const Status st = openConnection(db);
    if (!st)
        db.close();
    return st;
}

bool Database::isOpen() const
{
    QMutexLocker lock(&m_mutex);
    for (const QString &c : m_connections)
        if (QSqlDatabase::contains(c) && QSqlDatabase::database(c, false).isOpen())
            return true;
    return false;
}

void Database::close()
{
    // This thread's kept statements go first: a connection is removed only when no query uses it.
    if (t_states)
        if (ThreadState *s = t_states->take(m_baseName))
            delete s;
    QMutexLocker lock(&m_mutex);
    for (const QString &c : std::as_const(m_connections)) {
        {
            QSqlDatabase db = QSqlDatabase::database(c, false);
            if (db.isValid())
                db.close();
        }
        QSqlDatabase::removeDatabase(c);
    }
    m_connections.clear();
}

Status Database::failure(const QSqlError &e, const QString &context)
{
    const QString code = e.nativeErrorCode();
    const QString text = context.isEmpty() ? errorText(e) : context + QStringLiteral(": ") + errorText(e);
    // 23505 PostgreSQL unique_violation; 2067/1555 SQLite unique/primary key constraint.
    if (code == QLatin1String("23505") || code == QLatin1String("2067") || code == QLatin1String("1555")
        || e.databaseText().contains(QLatin1String("UNIQUE constraint failed")))
        return Status::duplicate(text);
    return Status::error(text);
}

Status Database::execPrepared(const QString &sql, const QVariantList &params, QSqlQuery **result)
{
    QSqlDatabase db = connection();
    if (!db.isOpen())
        return Status::error(QStringLiteral("The %1 is not open: %2").arg(m_config.describe(), errorText(db.lastError())));
    ThreadState &s = state();
    std::shared_ptr<QSqlQuery> &slot = s.statements[sql];
    if (!slot) {
        auto q = std::make_shared<QSqlQuery>(db);
        q->setForwardOnly(true);
        if (!q->prepare(sql)) {
            const QSqlError e = q->lastError();
            s.statements.remove(sql);
            return Status::error(errorText(e) + QStringLiteral(" [") + sql + u']');
        }
        slot = std::move(q);
    }
    std::shared_ptr<QSqlQuery> q = slot;
    for (int i = 0; i < params.size(); ++i)
        q->bindValue(i, params[i]);
    if (!q->exec()) {
        const QSqlError e = q->lastError();
        s.statements.remove(sql);
        return failure(e);
    }
    if (result)
        *result = q.get();
    else
        q->finish();
    return Status::ok();
}

Status Database::exec(const QString &sql, const QVariantList &params, QSqlQuery *query)
{
    if (!query && !params.isEmpty())
        return execPrepared(sql, params);
    QSqlDatabase db = connection();
    if (!db.isOpen())
        return Status::error(QStringLiteral("The %1 is not open: %2").arg(m_config.describe(), errorText(db.lastError())));
    QSqlQuery local(db);
    QSqlQuery &q = query ? *query : local;
    if (query)
        q = QSqlQuery(db);
    q.setForwardOnly(true);
    bool done = false;
    if (params.isEmpty()) {
        // Statements without parameters run directly: PostgreSQL cannot prepare DDL.
        done = q.exec(sql);
    } else {
        if (!q.prepare(sql))
            return Status::error(errorText(q.lastError()) + QStringLiteral(" [") + sql + u']');
        for (const QVariant &p : params)
            q.addBindValue(p);
        done = q.exec();
    }
    if (!done)
        return failure(q.lastError());
    return Status::ok();
}

Status Database::begin()
{
    ThreadState &s = state();
    if (s.depth++ > 0)
        return Status::ok();
    s.failed = false;
    QSqlDatabase db = connection();
    const Status st = m_config.isPostgres() ? (db.transaction() ? Status::ok() : Status::error(errorText(db.lastError())))
                                            : exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (!st)
        s.depth = 0;
    return st;
}

Status Database::commit()
{
    ThreadState &s = state();
    if (s.depth == 0)
        return Status::error(QStringLiteral("commit without a transaction"));
    if (--s.depth > 0)
        return Status::ok();
    if (s.failed) {
        rollback();
        return Status::error(QStringLiteral("the transaction was rolled back by an inner failure"));
    }
    QSqlDatabase db = connection();
    if (m_config.isPostgres())
        return db.commit() ? Status::ok() : Status::error(errorText(db.lastError()));
    return exec(QStringLiteral("COMMIT"));
}

void Database::rollback()
{
    ThreadState &s = state();
    if (s.depth > 1) {
        --s.depth;
        s.failed = true;
        return;
    }
    s.depth = 0;
    s.failed = false;
    QSqlDatabase db = connection();
    if (m_config.isPostgres())
        db.rollback();
    else
        exec(QStringLiteral("ROLLBACK"));
}

QString Database::columnType(const FieldDef &f) const
{
    const bool pg = isPostgres();
    switch (f.type) {
    case FieldType::Long:
    case FieldType::UShort:
    case FieldType::Date:
    case FieldType::Time: return QStringLiteral("INTEGER NOT NULL DEFAULT 0");
    case FieldType::Byte: return pg ? QStringLiteral("SMALLINT NOT NULL DEFAULT 0") : QStringLiteral("INTEGER NOT NULL DEFAULT 0");
    case FieldType::CString:
    case FieldType::String:
        return pg ? QStringLiteral("VARCHAR(%1) NOT NULL DEFAULT ''").arg(std::max(1, f.maxChars()))
                  : QStringLiteral("TEXT NOT NULL DEFAULT ''");
    case FieldType::Text: return QStringLiteral("TEXT NOT NULL DEFAULT ''");
    case FieldType::Decimal:
        // SQLite has no exact decimal type: the value is kept as a count of 10^-places units.
        return pg ? QStringLiteral("NUMERIC(%1,%2) NOT NULL DEFAULT 0").arg(f.digits).arg(f.places)
                  : QStringLiteral("INTEGER NOT NULL DEFAULT 0");
    }
    return {};
}

QString Database::greatest(const QString &a, const QString &b) const
{
    return isPostgres() ? QStringLiteral("GREATEST(%1, %2)").arg(a, b) : QStringLiteral("MAX(%1, %2)").arg(a, b);
}

QVariant Database::decimalToSql(const Decimal &value) const
{
    return isPostgres() ? QVariant(value.toString()) : QVariant(value.units());
}

QVariant Database::toSql(const FieldDef &f, const QVariant &value) const
{
    switch (f.type) {
    case FieldType::Decimal: {
        const Decimal d = value.metaType() == QMetaType::fromType<Decimal>() ? value.value<Decimal>()
                                                                              : Decimal::fromString(value.toString());
        return decimalToSql(d.rescaled(f.places));
    }
    case FieldType::CString:
    case FieldType::String:
    case FieldType::Text: {
        // A null QString would be bound as SQL NULL; the columns hold empty texts instead.
        const QString text = value.toString();
        return text.isNull() ? QStringLiteral("") : text;
    }
    default: return value.toInt();
    }
}

QVariant Database::fromSql(const FieldDef &f, const QVariant &value) const
{
    switch (f.type) {
    case FieldType::Decimal:
        if (value.isNull())
            return QVariant::fromValue(Decimal(0, f.places));
        if (isPostgres())
            return QVariant::fromValue(Decimal::fromString(value.toString()).rescaled(f.places));
        return QVariant::fromValue(Decimal(value.toLongLong(), f.places));
    case FieldType::CString:
    case FieldType::String:
    case FieldType::Text: return value.isNull() ? QString() : value.toString();
    default: return value.isNull() ? 0 : value.toInt();
    }
}

Status Database::tableNames(QStringList *names)
{
    QSqlQuery q;
    const Status st = exec(isPostgres() ? QStringLiteral("SELECT table_name FROM information_schema.tables "
                                                         "WHERE table_schema = current_schema()")
                                        : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"),
                           {}, &q);
    while (st && q.next())
        names->append(q.value(0).toString().toLower());
    return st;
}

Status Database::columnNames(const QString &table, QStringList *names)
{
    QSqlQuery q;
    const Status st = isPostgres()
                          ? exec(QStringLiteral("SELECT column_name FROM information_schema.columns "
                                                "WHERE table_schema = current_schema() AND table_name = ?"),
                                 {table.toLower()}, &q)
                          : exec(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table.toLower()}, &q);
    while (st && q.next())
        names->append(q.value(0).toString().toLower());
    return st;
}

Status Database::ensureSchema(const Dictionary &dictionary)
{
    Transaction tx(*this);
    if (!tx.status())
        return tx.status();
    const QString bigint = isPostgres() ? QStringLiteral("BIGINT") : QStringLiteral("INTEGER");
    Status st = exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"wc_counters\" (\"name\" VARCHAR(64) PRIMARY KEY, "
                                    "\"value\" %1 NOT NULL DEFAULT 0)").arg(bigint));
    if (st)
        st = exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"wc_netrefresh\" (\"channel\" VARCHAR(128) PRIMARY KEY, "
                                 "\"stamp\" %1 NOT NULL DEFAULT 0)").arg(bigint));
    if (!st)
        return st;
    QStringList existing;
    st = tableNames(&existing);
    if (!st)
        return st;
    for (const auto &t : dictionary.tables()) {
        const QString bare = t->name.toLower();
        if (existing.contains(bare, Qt::CaseInsensitive)) {
            // A table from an older version: add the columns it lacks, keep everything else.
            QStringList have;
            st = columnNames(bare, &have);
            for (int i = 0; i < t->fields.size(); ++i)
                if (st && !have.contains(t->fields[i].name.toLower()))
                    st = exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                  .arg(t->sqlTable(), t->sqlColumn(i), columnType(t->fields[i])));
        } else {
            QStringList cols;
            for (int i = 0; i < t->fields.size(); ++i)
                cols << t->sqlColumn(i) + u' ' + columnType(t->fields[i]);
            st = exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(t->sqlTable(), cols.join(QStringLiteral(", "))));
        }
        for (const KeyDef &k : t->keys) {
            if (!st)
                break;
            QStringList parts;
            for (int i = 0; i < k.fields.size(); ++i)
                parts << t->sqlColumn(k.fields[i]) + (k.descending[i] ? QStringLiteral(" DESC") : QString());
            st = exec(QStringLiteral("CREATE %1INDEX IF NOT EXISTS \"%2_%3\" ON %4 (%5)")
                          .arg(k.unique ? QStringLiteral("UNIQUE ") : QString(), bare, k.name.toLower(), t->sqlTable(),
                               parts.join(QStringLiteral(", "))));
        }
        if (!st)
            return Status::error(QStringLiteral("Cannot create table %1: %2").arg(t->name, st.message()));
    }
    return tx.commit();
}

} // namespace bizlib
