#include "signups/RunWrites.h"

#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "data/ClaimBook.h"
#include "data/RequestClaim.h"

#include <QSet>
#include <QSqlQuery>

namespace signups {

using bizlib::Status;

namespace {

qint32 primaryKey(const bizlib::Record &record)
{
    return record.toLong(record.table().primary().fields.first());
}

} // namespace

RunWrites::RunWrites(bizlib::Database &db, data::RequestClaim *claim)
    : m_db(db)
    , m_claim(claim)
{ }

QString RunWrites::keyOf(const QString &table, qint32 key)
{
    return table.toLower() + QLatin1Char('#') + QString::number(key);
}

bool RunWrites::madeByRun(const QString &table, qint32 key) const
{
    return m_made.contains(keyOf(table, key));
}

Status RunWrites::insert(bizlib::Record &record)
{
    bizlib::Table table(m_db, record.table());
    const QString name = record.table().name;
    const qint32 key = primaryKey(record);
    bizlib::Transaction tx(m_db);
    Status st = tx.status();
    if (st && m_claim)
        st = m_claim->record(data::RunItem::row(name, key));
    if (st)
        st = table.insert(record);
    if (st)
        st = tx.commit();
    if (!st) {
        tx.rollback();
        table.release(record);
        return st;
    }
    m_made.insert(keyOf(name, key));
    bizlib::Record stored = table.newRecord();
    if (table.fetch(record.table().primary().name, { key }, stored))
        record = stored;
    return st;
}

Status RunWrites::update(bizlib::Record &record)
{
    bizlib::Table table(m_db, record.table());
    const bizlib::TableDef &def = record.table();
    const qint32 key = primaryKey(record);
    bizlib::Transaction tx(m_db);
    Status st = tx.status();
    if (st)
        st = recordChangedFields(record);
    // Only the fields this run changed are written, onto the row as it is now, and only while
    // none of them was changed elsewhere since the run read it.
    bizlib::Record current = table.newRecord();
    QStringList changed;
    if (st && record.wasRead()) {
        st = table.fetch(def.primary().name, { key }, current);
        if (st.isNotFound())
            st = Status::notFound(QStringLiteral("The %1 row was deleted by another workstation meanwhile.").arg(def.name));
        if (st)
            st = carryChanges(record, current, &changed);
        if (st && !changed.isEmpty()) {
            st = table.updateIfUnchanged(current, changed);
            if (st.isNotFound())
                st = Status::notFound(
                    QStringLiteral("The %1 row was changed by another workstation meanwhile.").arg(def.name));
        }
    } else if (st) {
        st = table.update(record);
    }
    if (st)
        st = tx.commit();
    if (!st)
        return st;
    bizlib::Record stored = table.newRecord();
    if (table.fetch(def.primary().name, { key }, stored))
        record = stored;
    return st;
}

Status RunWrites::carryChanges(const bizlib::Record &edited, bizlib::Record &current, QStringList *changed)
{
    const bizlib::TableDef &def = edited.table();
    QList<int> fields;
    for (int i = 0; i < def.fields.size(); ++i) {
        if (!edited.wasRead() || !edited.isChanged(i))
            continue;
        if (current.text(i) == edited.text(i))
            continue; // already so (written by this window's earlier step)
        bizlib::Record before(def);
        before.assignLoaded(i, edited.readValueAt(i));
        if (before.text(i) != current.text(i))
            return Status::notFound(QStringLiteral("%1 of the %2 row was changed by another workstation meanwhile.")
                                        .arg(def.fields.at(i).name, def.name));
        fields << i;
    }
    for (const int i : std::as_const(fields)) {
        current.setValue(i, edited.valueAt(i));
        changed->append(def.fields.at(i).name);
    }
    return Status::ok();
}

Status RunWrites::recordChangedFields(const bizlib::Record &record)
{
    if (!m_claim)
        return Status::ok();
    const bizlib::TableDef &def = record.table();
    const qint32 key = primaryKey(record);
    // Nothing to put back for a row the run made (the cancel removes it), but the claim must
    // still be this run's.
    if (madeByRun(def.name, key))
        return m_claim->confirmHeld();
    Status st = m_claim->confirmHeld();
    for (int i = 0; st && i < def.fields.size(); ++i) {
        if (!record.wasRead() || !record.isChanged(i))
            continue;
        // What another run of this program must put back: the value as this run read it.
        bizlib::Record before(def);
        before.assignLoaded(i, record.readValueAt(i));
        st = m_claim->record(data::RunItem::set(def.name, key, def.fields.at(i).name, before.text(i), record.text(i)));
    }
    return st;
}

Status RunWrites::recordChanges(const bizlib::Record &written)
{
    if (!written.wasRead())
        return Status::error(QStringLiteral("%1: a changed row must have been read first").arg(written.table().name));
    return recordChangedFields(written);
}

Status RunWrites::removeMadeClient(const bizlib::Record &client, bool *kept)
{
    *kept = false;
    bizlib::Table clients(m_db, client.table());
    const qint32 clientId = primaryKey(client);
    bizlib::Transaction tx(m_db);
    Status st = tx.status();
    // What is the run's is what its claim still records, read with the claim confirmed.
    QSet<QString> own;
    if (st && m_claim) {
        st = m_claim->confirmHeld();
        QList<data::RunItem> items;
        if (st)
            st = data::ClaimBook(m_db).items(m_claim->owner(), &items);
        for (const data::RunItem &item : std::as_const(items))
            if (item.kind == data::RunItem::Kind::Row)
                own.insert(keyOf(item.table, item.key));
    }
    const auto isOwn = [&](const QString &table, qint32 key) {
        return m_claim ? own.contains(keyOf(table, key)) : madeByRun(table, key);
    };
    if (st && !isOwn(client.table().name, clientId))
        *kept = true;
    for (const char *name : { "Contacts", "Offices" }) {
        if (!st || *kept)
            break;
        bizlib::Table table(m_db, QLatin1String(name));
        const bizlib::TableDef &def = table.def();
        const int idField = def.primary().fields.first();
        QSqlQuery q;
        st = m_db.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                           .arg(def.sqlColumn(idField), def.sqlTable(),
                               def.sqlColumn(def.fieldIndex(QStringLiteral("ClientID")))),
            { clientId }, &q);
        QList<qint32> ids;
        while (st && q.next())
            ids << q.value(0).toInt();
        for (const qint32 id : std::as_const(ids)) {
            if (!st)
                break;
            if (!isOwn(def.name, id)) {
                *kept = true;
                continue;
            }
            bizlib::Record row = table.newRecord();
            row.setLong(idField, id);
            st = table.removeWithRelated(row);
            if (st.isNotFound())
                st = Status::ok();
        }
    }
    if (st && !*kept) {
        st = clients.removeWithRelated(client);
        if (st.isNotFound())
            st = Status::ok();
    }
    return st ? tx.commit() : st;
}

} // namespace signups
