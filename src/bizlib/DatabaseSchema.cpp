// The schema of the business database and its version.
//
// The database keeps its schema version in the table wc_schema: a level, raised by hand with
// every change of the tables, fields, keys or indexes (and when stored values must be converted),
// and the dictionary's fingerprint, kept for diagnosis only. The level alone decides: a start-up
// against a database of this level or a newer one only reads that table (two builds of one level
// never upgrade at each other's starts); DDL runs when the level is missing or older, once, in
// one transaction that other workstations starting at the same time wait for.
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"

#include <QScopeGuard>
#include <QSqlQuery>

namespace bizlib {

namespace {

// 1: before the version was kept (SQLite decimals were counts of 10^-places units).
// 2: SQLite decimals hold their value; web status fields have trimmed indexes.
// 3: the claim tables wc_claims and wc_claimitems.
// 4: wc_claimitems.Saved (rows a run deleted, long values a run replaced).
constexpr int kSchemaLevel = 4;
// Schema upgrades may build indexes on large tables: they get longer than ordinary statements.
constexpr int kUpgradeLimitMs = 10 * 60 * 1000;

const QString kLevel = QStringLiteral("level");
const QString kFingerprint = QStringLiteral("fingerprint");

struct Version
{
    int level = 0; // 0: no version kept
    QByteArray fingerprint;
};

Status readVersion(Database &db, Version *v)
{
    QSqlQuery q;
    const Status st = db.exec(QStringLiteral("SELECT \"name\", \"value\" FROM \"wc_schema\""), {}, &q);
    while (st && q.next()) {
        if (q.value(0).toString() == kLevel)
            v->level = q.value(1).toString().toInt();
        else if (q.value(0).toString() == kFingerprint)
            v->fingerprint = q.value(1).toString().toLatin1();
    }
    return st;
}

QString indexName(const TableDef &t, const QString &what)
{
    return QStringLiteral("%1_%2").arg(t.name.toLower(), what.toLower());
}

} // namespace

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
            { table.toLower() }, &q)
        : exec(QStringLiteral("SELECT name FROM pragma_table_info(?)"), { table.toLower() }, &q);
    while (st && q.next())
        names->append(q.value(0).toString().toLower());
    return st;
}

Status Database::ensureSchema(const Dictionary &dictionary)
{
    QStringList tables;
    Status st = tableNames(&tables);
    if (!st)
        return st;
    Version stored;
    if (tables.contains(QStringLiteral("wc_schema"))) {
        st = readVersion(*this, &stored);
        if (!st)
            return st;
        // Current, or written by a newer program that knows better: nothing to do.
        m_newerSchemaLevel = stored.level > kSchemaLevel ? stored.level : 0;
        if (stored.level >= kSchemaLevel)
            return Status::ok();
    }
    bool hadTables = false;
    for (const auto &t : dictionary.tables())
        hadTables = hadTables || tables.contains(t->name.toLower());
    return upgradeSchema(dictionary, stored.level, hadTables);
}

Status Database::upgradeSchema(const Dictionary &dictionary, int storedLevel, bool hadTables)
{
    setStatementLimit(kUpgradeLimitMs);
    const auto resetLimit = qScopeGuard([this] { setStatementLimit(-1); });
    Transaction tx(*this);
    if (!tx.status())
        return tx.status();
    const QString bigint = isPostgres() ? QStringLiteral("BIGINT") : QStringLiteral("INTEGER");
    Status st = Status::ok();
    if (isPostgres()) {
        // Workstations starting together upgrade one after the other; the later ones find the
        // work done. (SQLite's write transaction already excludes the others.)
        st = exec(QStringLiteral("SET LOCAL statement_timeout = %1").arg(kUpgradeLimitMs));
        if (st)
            st = exec(QStringLiteral("SELECT pg_advisory_xact_lock(7470214563)"));
    }
    if (st)
        st = exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"wc_schema\" (\"name\" VARCHAR(64) PRIMARY KEY, "
                                 "\"value\" VARCHAR(200) NOT NULL DEFAULT '')"));
    Version now;
    if (st)
        st = readVersion(*this, &now);
    if (!st)
        return st;
    if (now.level >= kSchemaLevel)
        return tx.commit();
    if (now.level > 0)
        storedLevel = now.level;

    st = exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"wc_counters\" (\"name\" VARCHAR(64) PRIMARY KEY, "
                             "\"value\" %1 NOT NULL DEFAULT 0)")
                  .arg(bigint));
    if (st)
        st = exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"wc_netrefresh\" (\"channel\" VARCHAR(128) PRIMARY KEY, "
                                 "\"stamp\" %1 NOT NULL DEFAULT 0)")
                      .arg(bigint));
    QStringList existing;
    QStringList indexes;
    if (st)
        st = tableNames(&existing);
    if (st) {
        QSqlQuery q;
        st = exec(isPostgres() ? QStringLiteral("SELECT indexname FROM pg_indexes WHERE schemaname = current_schema()")
                               : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index'"),
            {}, &q);
        while (st && q.next())
            indexes << q.value(0).toString().toLower();
    }
    if (!st)
        return st;
    // Values stored before the level that made SQLite decimals hold their value were counts of
    // 10^-places units: whole numbers. A fractional value or a text there came from another
    // program, written the ordinary way, and stays.
    const bool unitDecimals = !isPostgres() && hadTables && storedLevel < 2;
    for (const auto &t : dictionary.tables()) {
        const QString bare = t->name.toLower();
        QStringList have;
        if (existing.contains(bare)) {
            // A table from an older version: add the columns it lacks, keep everything else.
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
        for (int i = 0; st && unitDecimals && i < t->fields.size(); ++i) {
            const FieldDef &f = t->fields[i];
            if (f.type == FieldType::Decimal && f.places > 0 && have.contains(f.name.toLower()))
                st = exec(QStringLiteral("UPDATE %1 SET %2 = %2 / %3.0 WHERE typeof(%2) = 'integer'")
                              .arg(t->sqlTable(), t->sqlColumn(i), u'1' + QString(f.places, u'0')));
        }
        for (const KeyDef &k : t->keys) {
            if (!st || indexes.contains(indexName(*t, k.name)))
                continue;
            QStringList parts;
            for (int i = 0; i < k.fields.size(); ++i)
                parts << t->sqlColumn(k.fields[i]) + (k.descending[i] ? QStringLiteral(" DESC") : QString());
            st = exec(QStringLiteral("CREATE %1INDEX IF NOT EXISTS \"%2\" ON %3 (%4)")
                          .arg(k.unique ? QStringLiteral("UNIQUE ") : QString(), indexName(*t, k.name), t->sqlTable(),
                              parts.join(QStringLiteral(", "))));
        }
        for (const int i : t->trimmedIndexes) {
            const QString name = indexName(*t, t->fields[i].name + QStringLiteral("_trimmed"));
            if (st && !indexes.contains(name))
                st = exec(QStringLiteral("CREATE INDEX IF NOT EXISTS \"%1\" ON %2 (RTRIM(%3), %3)")
                              .arg(name, t->sqlTable(), t->sqlColumn(i)));
        }
        if (!st)
            return Status::error(QStringLiteral("Cannot create table %1: %2").arg(t->name, st.message()));
    }
    const QString upsert = QStringLiteral("INSERT INTO \"wc_schema\" (\"name\", \"value\") VALUES (?, ?) "
                                          "ON CONFLICT (\"name\") DO UPDATE SET \"value\" = excluded.\"value\"");
    st = exec(upsert, { kLevel, QString::number(kSchemaLevel) });
    if (st)
        st = exec(upsert, { kFingerprint, QString::fromLatin1(dictionary.fingerprint()) });
    if (!st)
        return st;
    return tx.commit();
}

} // namespace bizlib
