#include "bizlib/Table.h"

#include "bizlib/Dictionary.h"

#include <QSqlError>
#include <stdexcept>

namespace bizlib {

Table::Table(Database &db, const TableDef &def)
    : m_db(db), m_def(&def)
{
}

Table::Table(Database &db, const QString &tableName)
    : Table(db, Dictionary::instance().require(tableName))
{
}

Table::~Table() = default;

const KeyDef &Table::requireKey(const QString &keyName) const
{
    const KeyDef *k = m_def->key(keyName);
    if (!k)
        throw std::logic_error(QStringLiteral("no key %1 in %2").arg(keyName, m_def->name).toStdString());
    return *k;
}

QString Table::selectList(const QString &alias) const
{
    QStringList cols;
    cols.reserve(m_def->fields.size());
    const QString p = alias.isEmpty() ? QString() : alias + u'.';
    for (int i = 0; i < m_def->fields.size(); ++i)
        cols << p + m_def->sqlColumn(i);
    return cols.join(QStringLiteral(", "));
}

QString Table::keyOrder(const KeyDef &key, const QString &alias, bool reverse) const
{
    const QString p = alias.isEmpty() ? QString() : alias + u'.';
    QStringList parts;
    QList<int> used;
    for (int i = 0; i < key.fields.size(); ++i) {
        parts << p + m_def->sqlColumn(key.fields[i]) + ((key.descending[i] != reverse) ? QStringLiteral(" DESC") : QString());
        used << key.fields[i];
    }
    // Rows with equal keys come back in a fixed order: the primary key breaks ties.
    for (const int f : m_def->primary().fields)
        if (!used.contains(f))
            parts << p + m_def->sqlColumn(f) + (reverse ? QStringLiteral(" DESC") : QString());
    return parts.join(QStringLiteral(", "));
}

Record Table::fromQuery(const QSqlQuery &q, int firstColumn, Status *status) const
{
    const int n = static_cast<int>(m_def->fields.size());
    QList<QVariant> values;
    values.reserve(n);
    for (int i = 0; i < n; ++i) {
        const FieldDef &f = m_def->fields[i];
        QVariant v = m_db.fromSql(f, q.value(firstColumn + i), status);
        // A row written by another program may hold a longer text than the field: it is cut as a
        // record would cut it.
        const int max = f.maxChars();
        if (max > 0 && v.typeId() == QMetaType::QString && static_cast<const QString *>(v.constData())->size() > max)
            v = static_cast<const QString *>(v.constData())->left(max);
        values.append(std::move(v));
    }
    return Record::loaded(*m_def, std::move(values));
}

Status Table::run(Database::Statement &statement, const QString &sql, const QVariantList &params, QSqlQuery **out)
{
    if (!statement.status())
        return statement.status();
    Status prepareError;
    QSqlQuery *q = m_db.prepared(sql, &prepareError);
    if (!q) {
        statement.finish(true, QSqlError());
        return Status::error(QStringLiteral("%1: %2 [%3]").arg(m_def->name, prepareError.message(), sql));
    }
    for (int i = 0; i < params.size(); ++i)
        q->bindValue(i, params[i]);
    if (!q->exec())
        return statement.finish(false, q->lastError(), m_def->name);
    if (out)
        *out = q;
    return Status::ok();
}

Status Table::fetch(const QString &keyName, Record &record)
{
    const KeyDef &key = requireKey(keyName);
    QVariantList values;
    for (const int f : key.fields)
        values << record.valueAt(f);
    return fetch(keyName, values, record);
}

Status Table::fetch(const QString &keyName, const QVariantList &values, Record &record)
{
    const KeyDef &key = requireKey(keyName);
    if (values.size() > key.fields.size())
        throw std::logic_error(QStringLiteral("too many values for key %1").arg(key.name).toStdString());
    QVariantList params;
    params.reserve(values.size());
    for (int i = 0; i < values.size(); ++i) {
        const FieldDef &f = m_def->fields[key.fields[i]];
        const QVariant &v = values[i];
        // A text longer than the field cannot be stored there: no row has it (cutting it would
        // find the row of a shorter, different value).
        if (f.maxChars() > 0) {
            QString text = v.toString();
            while (text.endsWith(u' '))
                text.chop(1);
            if (text.size() > f.maxChars())
                return Status::notFound(QStringLiteral("%1: no record for key %2").arg(m_def->name, key.name));
        }
        params << m_db.toSql(f, v);
    }
    QString &sql = m_fetchSql[static_cast<int>(&key - m_def->keys.constData()) * 64 + static_cast<int>(values.size())];
    if (sql.isEmpty()) {
        QStringList where;
        for (int i = 0; i < values.size(); ++i)
            where << m_def->sqlColumn(key.fields[i]) + QStringLiteral(" = ?");
        sql = QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT 1")
                  .arg(selectList(), m_def->sqlTable(),
                       where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")),
                       keyOrder(key));
    }
    Database::Statement statement(m_db);
    QSqlQuery *q = nullptr;
    const Status st = run(statement, sql, params, &q);
    if (!st)
        return st;
    if (!q->next()) {
        const QSqlError error = q->lastError();
        q->finish();
        if (error.isValid())
            return statement.finish(false, error, m_def->name);
        return Status::notFound(QStringLiteral("%1: no record for key %2").arg(m_def->name, key.name));
    }
    Status read;
    Record row = fromQuery(*q, 0, &read);
    q->finish();
    if (!read)
        return Status::error(QStringLiteral("%1: %2").arg(m_def->name, read.message()));
    record = std::move(row);
    return Status::ok();
}

Status Table::prime(Record &record)
{
    record = Record(*m_def);
    if (m_def->autoNumberField < 0)
        return Status::ok();
    const QString col = m_def->sqlColumn(m_def->autoNumberField);
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    // The counter never falls behind the table: rows written by other programs are skipped.
    const QString take = QStringLiteral("UPDATE \"wc_counters\" SET \"value\" = %1 + 1 WHERE \"name\" = ? RETURNING \"value\"")
                             .arg(m_db.greatest(QStringLiteral("\"value\""),
                                 QStringLiteral("(SELECT COALESCE(MAX(%1), 0) FROM %2)").arg(col, m_def->sqlTable())));
    qint64 number = 0;
    // A table's first number makes its counter.
    for (int attempt = 0; attempt < 2 && number == 0; ++attempt) {
        if (attempt == 1) {
            const Status made = m_db.exec(QStringLiteral("INSERT INTO \"wc_counters\" (\"name\", \"value\") VALUES (?, 0) "
                                                         "ON CONFLICT (\"name\") DO NOTHING"),
                {counterName()});
            if (!made)
                return made;
        }
        Database::Statement statement(m_db);
        QSqlQuery *q = nullptr;
        const Status st = run(statement, take, {counterName()}, &q);
        if (!st)
            return Status::error(QStringLiteral("%1: cannot number a new record: %2").arg(m_def->name, st.message()));
        if (q->next()) {
            number = q->value(0).toLongLong();
        } else if (q->lastError().isValid()) {
            const QSqlError error = q->lastError();
            q->finish();
            return statement.finish(false, error, m_def->name);
        }
        q->finish();
    }
    if (number == 0)
        return Status::error(QStringLiteral("%1: the record counter did not answer").arg(m_def->name));
    record.setLong(m_def->autoNumberField, number);
    return tx.commit();
}

void Table::release(const Record &record)
{
    if (m_def->autoNumberField < 0)
        return;
    const qint32 number = record.toLong(m_def->autoNumberField);
    if (number <= 0)
        return;
    // Only the last number handed out can go back; otherwise the gap stays (numbers are never reused
    // while a later record may hold a higher one).
    m_db.exec(QStringLiteral("UPDATE \"wc_counters\" SET \"value\" = \"value\" - 1 WHERE \"name\" = ? AND \"value\" = ?"),
              {counterName(), qint64(number)});
}

Status Table::insert(const Record &record)
{
    if (&record.table() != m_def)
        throw std::logic_error("record of another table");
    QStringList cols;
    QStringList marks;
    QVariantList params;
    for (int i = 0; i < m_def->fields.size(); ++i) {
        if (const Status fits = Database::checkStorable(m_def->fields[i], record.valueAt(i)); !fits)
            return Status::error(QStringLiteral("%1: %2").arg(m_def->name, fits.message()));
        cols << m_def->sqlColumn(i);
        marks << QStringLiteral("?");
        params << m_db.toSql(m_def->fields[i], record.valueAt(i));
    }
    Database::Statement statement(m_db);
    return run(statement,
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(m_def->sqlTable(), cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
        params);
}

Status Table::update(const Record &record)
{
    return write(record, {});
}

Status Table::updateIfUnchanged(const Record &record, const QStringList &unchanged)
{
    if (!record.wasRead())
        throw std::logic_error("a conditional update needs a record read from its table");
    return write(record, unchanged);
}

Status Table::write(const Record &record, const QStringList &unchanged)
{
    if (&record.table() != m_def)
        throw std::logic_error("record of another table");
    const KeyDef &pk = m_def->primary();
    // A record given another primary key stands for another row: all of it is written.
    bool whole = !record.wasRead();
    for (const int f : pk.fields)
        whole = whole || record.isChanged(f);
    QStringList sets;
    QVariantList params;
    for (int i = 0; i < m_def->fields.size(); ++i) {
        if (!whole && !record.isChanged(i))
            continue;
        if (const Status fits = Database::checkStorable(m_def->fields[i], record.valueAt(i)); !fits)
            return Status::error(QStringLiteral("%1: %2").arg(m_def->name, fits.message()));
        sets << m_def->sqlColumn(i) + QStringLiteral(" = ?");
        params << m_db.toSql(m_def->fields[i], record.valueAt(i));
    }
    // Nothing changed: the statement still tells a deleted row apart.
    if (sets.isEmpty())
        sets << m_def->sqlColumn(pk.fields.first()) + QStringLiteral(" = ") + m_def->sqlColumn(pk.fields.first());
    QStringList where;
    for (const int f : pk.fields) {
        where << m_def->sqlColumn(f) + QStringLiteral(" = ?");
        params << m_db.toSql(m_def->fields[f], record.valueAt(f));
    }
    for (const QString &name : unchanged) {
        const int f = record.index(name);
        where << m_def->sqlColumn(f) + QStringLiteral(" = ?");
        params << m_db.toSql(m_def->fields[f], record.readValueAt(f));
    }
    Database::Statement statement(m_db);
    QSqlQuery *q = nullptr;
    const Status st = run(statement,
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(m_def->sqlTable(), sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" AND "))),
        params, &q);
    if (!st)
        return st;
    if (q->numRowsAffected() == 0)
        return Status::notFound(unchanged.isEmpty()
                ? QStringLiteral("%1: the record was deleted by someone else").arg(m_def->name)
                : QStringLiteral("%1: the record was changed or deleted by someone else").arg(m_def->name));
    return Status::ok();
}

Status Table::remove(const Record &record)
{
    const KeyDef &pk = m_def->primary();
    QStringList where;
    QVariantList params;
    for (const int f : pk.fields) {
        where << m_def->sqlColumn(f) + QStringLiteral(" = ?");
        params << m_db.toSql(m_def->fields[f], record.valueAt(f));
    }
    Database::Statement statement(m_db);
    QSqlQuery *q = nullptr;
    const Status st = run(statement,
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_def->sqlTable(), where.join(QStringLiteral(" AND "))), params,
        &q);
    if (!st)
        return st;
    if (q->numRowsAffected() == 0)
        return Status::notFound(QStringLiteral("%1: the record was already deleted").arg(m_def->name));
    return Status::ok();
}

Status Table::removeRelated(const TableDef &def, const Record &record)
{
    const Dictionary &dict = Dictionary::instance();
    for (const RelationDef &rel : def.relations) {
        const TableDef &child = dict.require(rel.childTable);
        QStringList where;
        QVariantList params;
        bool emptyLink = true;
        for (const auto &[parentField, childField] : rel.links) {
            const int ci = child.fieldIndex(childField);
            const QVariant v = record.value(parentField);
            // A link of 0 or blank means "no parent": such rows belong to nobody and are left alone.
            if (!(v.toString().trimmed().isEmpty() || v.toString() == QLatin1String("0")))
                emptyLink = false;
            where << child.sqlColumn(ci) + QStringLiteral(" = ?");
            params << m_db.toSql(child.fields[ci], v);
        }
        if (emptyLink)
            continue;
        const QString cond = where.join(QStringLiteral(" AND "));
        Status st;
        if (rel.rule == RelationRule::Clear) {
            QStringList sets;
            QVariantList setParams;
            for (const auto &link : rel.links) {
                const int ci = child.fieldIndex(link.second);
                sets << child.sqlColumn(ci) + QStringLiteral(" = ?");
                setParams << m_db.toSql(child.fields[ci], Record(child).valueAt(ci));
            }
            st = m_db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(child.sqlTable(), sets.join(QStringLiteral(", ")), cond),
                           setParams + params);
        } else {
            if (!child.relations.isEmpty()) {
                // Grandchildren first: read the children, then follow their own relations.
                // On one of the connection's kept readers: a run deletes the same kinds of rows again
                // and again.
                Table childTable(m_db, child);
                const QString sql
                    = QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(childTable.selectList(), child.sqlTable(), cond);
                std::shared_ptr<QSqlQuery> q;
                st = m_db.query(sql, params, &q);
                const quint64 epoch = m_db.connectionEpoch();
                QList<Record> rows;
                while (st && q->next())
                    rows << childTable.fromQuery(*q);
                if (q)
                    m_db.giveBack(sql, std::move(q), epoch);
                for (const Record &row : std::as_const(rows))
                    if (st)
                        st = removeRelated(child, row);
            }
            if (st)
                st = m_db.exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(child.sqlTable(), cond), params);
        }
        if (!st)
            return st;
    }
    return Status::ok();
}

Status Table::removeWithRelated(const Record &record)
{
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    Status st = removeRelated(*m_def, record);
    if (st)
        st = remove(record);
    if (!st)
        return st; // the transaction rolls back: nothing half-deleted
    return tx.commit();
}

Status Table::removeRelatedRows(const Record &record)
{
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    const Status st = removeRelated(*m_def, record);
    return st ? tx.commit() : st;
}

Status Table::count(qint64 *result, const QString &where, const QVariantList &params)
{
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM %1%2")
                            .arg(m_def->sqlTable(), where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
    if (params.isEmpty()) {
        QSqlQuery q;
        const Status st = m_db.exec(sql, {}, &q);
        if (!st)
            return st;
        *result = q.next() ? q.value(0).toLongLong() : 0;
        return Status::ok();
    }
    // With parameters on one of the connection's kept readers, prepared once per connection.
    std::shared_ptr<QSqlQuery> q;
    const Status st = m_db.query(sql, params, &q);
    if (!st)
        return st;
    *result = q->next() ? q->value(0).toLongLong() : 0;
    m_db.giveBack(sql, std::move(q), m_db.connectionEpoch());
    return Status::ok();
}

} // namespace bizlib
