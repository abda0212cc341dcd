#include "console/sync/TransactionReset.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

namespace console {

// One kind of transaction record: its table, the key over client and web flag, and what is
// passed over while walking it.
struct TransactionReset::Kind
{
    const char *table;
    const char *idField;
    const char *dateField; // the key's descending date, walked from a year ahead
    const char *gathering; // the progress text
    QVariantList extraRange; // key components after client and flag ("PF")
    std::function<bool(const bizlib::Record &)> skip;
};

namespace {

constexpr int kYieldEvery = 10;

// The identifiers of the rows of `table` in the order of `key`, within `range`.
bizlib::Status identifiers(
    bizlib::Database &db, const QString &table, const QString &key, const QVariantList &range, QList<qint32> *ids)
{
    bizlib::Table t(db, table);
    bizlib::TableCursor cursor(t, key.isEmpty() ? t.def().primary().name : key);
    cursor.setRange(range);
    const QString field = t.def().fields.at(t.def().autoNumberField).name;
    bizlib::Record r;
    bizlib::Status st;
    while ((st = cursor.next(r)))
        ids->append(r.toLong(field));
    return st.isNotFound() ? bizlib::Status::ok() : st;
}

} // namespace

TransactionReset::TransactionReset(
    bizlib::Database &db, Show show, std::function<void()> yield, std::function<QString(const QString &)> translate)
    : m_db(db)
    , m_show(std::move(show))
    , m_yield(std::move(yield))
    , m_translate(std::move(translate))
{ }

void TransactionReset::step(int done)
{
    if (m_yield && done > 0 && done % kYieldEvery == 0)
        m_yield();
}

bizlib::Status TransactionReset::gather(const Kind &kind, qint32 clientId, qint32 today, QList<qint32> *ids)
{
    bizlib::Table table(m_db, QString::fromLatin1(kind.table));
    const bizlib::TableDef &def = table.def();
    QVariantList range { clientId, 1 };
    range += kind.extraRange;

    qint64 total = 0;
    QString where = QStringLiteral("%1 = ? AND %2 = ?")
                        .arg(def.sqlColumn(def.fieldIndex(QStringLiteral("ClientID"))),
                            def.sqlColumn(def.fieldIndex(QStringLiteral("Website"))));
    if (!kind.extraRange.isEmpty())
        where += QStringLiteral(" AND %1 = ?").arg(def.sqlColumn(def.fieldIndex(QStringLiteral("HeaderType"))));
    if (const bizlib::Status st = table.count(&total, where, range); !st)
        return st;
    m_show(tr(QString::fromLatin1(kind.gathering)), 0, static_cast<int>(total));

    bizlib::TableCursor cursor(table, QStringLiteral("CLIENTWEBKEY"));
    cursor.setRange(range);
    bizlib::Record start = table.newRecord();
    start.setLong("ClientID", clientId);
    start.setLong("Website", 1);
    if (!kind.extraRange.isEmpty())
        start.setText("HeaderType", kind.extraRange.first().toString());
    start.setLong(QString::fromLatin1(kind.dateField), today + 365);
    cursor.setStart(start);

    bizlib::Record r;
    bizlib::Status st;
    int seen = 0;
    while ((st = cursor.next(r))) {
        ++seen;
        if (!kind.skip || !kind.skip(r))
            ids->append(r.toLong(QString::fromLatin1(kind.idField)));
        m_show(tr(QString::fromLatin1(kind.gathering)), seen, static_cast<int>(std::max<qint64>(total, seen)));
        step(seen);
    }
    return st.isNotFound() ? bizlib::Status::ok() : st;
}

bizlib::Status TransactionReset::clearFlags(const Kind &kind, const QList<qint32> &ids, int *done, int total)
{
    bizlib::Table table(m_db, QString::fromLatin1(kind.table));
    const QString key = table.def().primary().name;
    const QString text = tr(QStringLiteral("Resetting transaction data for synchronisation"));
    for (const qint32 id : ids) {
        // Read afresh: the record may have changed since it was gathered.
        bizlib::Record r;
        bizlib::Status st = table.fetch(key, { id }, r);
        if (st.isOk() && r.toLong("Website") != 0) {
            r.setLong("Website", 0);
            st = table.update(r);
        }
        if (st.isError())
            return st;
        ++*done;
        m_show(text, *done, total);
        step(*done);
    }
    return bizlib::Status::ok();
}

bizlib::Status TransactionReset::deleteTasks()
{
    bizlib::Table tasks(m_db, QStringLiteral("WebTask"));
    QList<qint32> ids;
    if (const bizlib::Status st = identifiers(m_db, QStringLiteral("WebTask"), {}, {}, &ids); !st)
        return st;
    const QString text = tr(QStringLiteral("Resetting all webtasks"));
    m_show(text, 0, static_cast<int>(ids.size()));
    int done = 0;
    for (const qint32 id : ids) {
        bizlib::Record r = tasks.newRecord();
        r.setLong("WebTaskID", id);
        const bizlib::Status st = tasks.remove(r);
        if (st.isError())
            return st;
        if (st.isOk())
            ++m_tasksDeleted;
        m_show(text, ++done, static_cast<int>(ids.size()));
        step(done);
    }
    return bizlib::Status::ok();
}

bizlib::Status TransactionReset::run(qint32 today)
{
    m_counts[0] = m_counts[1] = m_counts[2] = 0;
    m_tasksDeleted = 0;
    const Kind kinds[3] = {
        { "Quotes", "QuoteID", "CreatedOn", "Gathering quote data for synchronisation", {},
            [](const bizlib::Record &q) {
                return q.text("QuoteType").trimmed().compare(QLatin1String("RFQ"), Qt::CaseInsensitive) == 0;
            } },
        { "Orders", "OrderID", "CreatedOn", "Gathering order data for synchronisation", {}, {} },
        { "InvoiceHeaders", "HeaderID", "InvoiceDate", "Gathering header data for synchronisation",
            { QStringLiteral("PF") }, {} },
    };

    QList<qint32> clients;
    if (const bizlib::Status st
        = identifiers(m_db, QStringLiteral("Clients"), QStringLiteral("WEBENABLEKEY"), { 1 }, &clients);
        !st)
        return st;
    QList<qint32> ids[3];
    for (const qint32 client : clients) {
        for (int k = 0; k < 3; ++k) {
            if (const bizlib::Status st = gather(kinds[k], client, today, &ids[k]); !st)
                return st;
        }
    }
    const int total = static_cast<int>(ids[0].size() + ids[1].size() + ids[2].size());
    m_show(tr(QStringLiteral("Resetting transaction data for synchronisation")), 0, total);
    int done = 0;
    for (int k = 0; k < 3; ++k) {
        const int before = done;
        if (const bizlib::Status st = clearFlags(kinds[k], ids[k], &done, total); !st)
            return st;
        m_counts[k] = done - before;
    }
    if (const bizlib::Status st = deleteTasks(); !st)
        return st;
    m_show(QStringLiteral("0% ") + tr(QStringLiteral("complete")), 100, 100);
    return bizlib::Status::ok();
}

} // namespace console
