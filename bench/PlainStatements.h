#pragma once

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <memory>

// What the plain side of a processing benchmark writes with: one prepared statement per kind of
// read, insert and delete, kept for the whole run, with the transaction statements, record
// numbers from the counters table and whole-row inserts. A failed statement says why on stderr.
class PlainStatements
{
public:
    explicit PlainStatements(bizlib::Database &db)
        : m_db(db)
    { }

protected:
    // The counters of `tables` start after the tables' highest numbers (the demo data writes
    // numbers of its own).
    void startCountersAfterRows(std::initializer_list<const char *> tables)
    {
        for (const char *table : tables) {
            const bizlib::TableDef &def = bizlib::Dictionary::instance().require(QString::fromLatin1(table));
            m_db.exec(QStringLiteral("INSERT INTO \"wc_counters\" (\"name\", \"value\") VALUES (?, 0) "
                                     "ON CONFLICT (\"name\") DO NOTHING"),
                { QString::fromLatin1(table) });
            const bizlib::Status st = m_db.exec(
                QStringLiteral("UPDATE \"wc_counters\" SET \"value\" = (SELECT COALESCE(MAX(\"%1\"), 0) FROM \"%2\") "
                               "WHERE \"name\" = ?")
                    .arg(def.fields.at(def.autoNumberField).name.toLower(), QLatin1String(table)),
                { QString::fromLatin1(table) });
            if (!st)
                std::fprintf(stderr, "%s\n", qPrintable(st.message()));
        }
    }

    bool begin()
    {
        return m_db.isPostgres() ? m_db.connection().transaction()
                                 : exec("begin", QStringLiteral("BEGIN IMMEDIATE"), {});
    }
    bool commit()
    {
        return m_db.isPostgres() ? m_db.connection().commit() : exec("commit", QStringLiteral("COMMIT"), {});
    }
    void rollback()
    {
        m_db.isPostgres() ? m_db.connection().rollback() : exec("rollback", QStringLiteral("ROLLBACK"), {});
    }

    QSqlQuery &statement(const QByteArray &name, const QString &sql)
    {
        auto &slot = m_statements[name];
        if (!slot) {
            slot = std::make_unique<QSqlQuery>(m_db.connection());
            slot->setForwardOnly(true);
            slot->prepare(sql);
        }
        return *slot;
    }

    bool exec(const QByteArray &name, const QString &sql, const QVariantList &params)
    {
        QSqlQuery &q = statement(name, sql);
        for (int i = 0; i < params.size(); ++i)
            q.bindValue(i, params[i]);
        const bool ok = q.exec();
        if (!ok)
            std::fprintf(stderr, "%s: %s\n", name.constData(), qPrintable(q.lastError().text()));
        q.finish();
        return ok;
    }

    // The first row `sql` reads with `key` (none: no parameter); an empty record when there is none.
    QSqlRecord one(const QByteArray &name, const QString &sql, const QVariant &key)
    {
        QSqlQuery &q = statement(name, sql);
        if (key.isValid())
            q.bindValue(0, key);
        QSqlRecord r;
        if (q.exec() && q.next())
            r = q.record();
        q.finish();
        return r;
    }

    // The next number of counter `name`.
    qint32 counter(const QString &name)
    {
        QSqlQuery &q = statement("counter",
            QStringLiteral(
                "UPDATE \"wc_counters\" SET \"value\" = \"value\" + 1 WHERE \"name\" = ? RETURNING \"value\""));
        q.bindValue(0, name);
        const qint32 value = q.exec() && q.next() ? q.value(0).toInt() : 0;
        q.finish();
        return value;
    }

    bool insert(const QByteArray &table, const QSqlRecord &row)
    {
        QStringList columns;
        QStringList marks;
        for (int i = 0; i < row.count(); ++i) {
            columns << u'"' + row.fieldName(i) + u'"';
            marks << QStringLiteral("?");
        }
        QSqlQuery &q = statement("insert " + table,
            QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                .arg(QLatin1String(table), columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
        for (int i = 0; i < row.count(); ++i)
            q.bindValue(i, row.value(i));
        const bool ok = q.exec();
        if (!ok)
            std::fprintf(stderr, "insert %s: %s\n", table.constData(), qPrintable(q.lastError().text()));
        q.finish();
        return ok;
    }

    bizlib::Database &m_db;

private:
    std::map<QByteArray, std::unique_ptr<QSqlQuery>> m_statements;
};
