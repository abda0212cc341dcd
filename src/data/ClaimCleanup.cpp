#include "data/ClaimCleanup.h"

#include "bizlib/NumberCounter.h"
#include "bizlib/order/OrderLibrary.h"
#include "bizlib/quote/QuoteLibrary.h"

#include <optional>

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace data {

using bizlib::Status;

namespace {

QString plural(int n, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

// "quote", "order" ... for the counts shown to the user.
QString rowName(const QString &table, int n)
{
    static const QMap<QString, QPair<QString, QString>> names {
        { QStringLiteral("Quotes"), { QStringLiteral("quote"), QStringLiteral("quotes") } },
        { QStringLiteral("Orders"), { QStringLiteral("order"), QStringLiteral("orders") } },
        { QStringLiteral("Clients"), { QStringLiteral("client"), QStringLiteral("clients") } },
        { QStringLiteral("Contacts"), { QStringLiteral("contact"), QStringLiteral("contacts") } },
        { QStringLiteral("Offices"), { QStringLiteral("office"), QStringLiteral("offices") } },
    };
    const auto it = names.find(table);
    return it != names.end() ? plural(n, it->first, it->second)
                             : plural(n, table + QStringLiteral(" row"), table + QStringLiteral(" rows"));
}

bool inside(const QString &path, const QStringList &folders)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    if (file.isEmpty())
        return false;
    for (const QString &folder : folders) {
        const QString root = QFileInfo(folder).canonicalFilePath();
        if (!root.isEmpty() && file.startsWith(root + u'/'))
            return true;
    }
    return false;
}

// A client the run made that other work now uses (a contact or an office it did not make, the run's
// own having gone before it, as they were made after it): such a client stays, with all of theirs.
Status inUse(bizlib::Database &db, const RunItem &item, bool *used)
{
    *used = false;
    if (item.table != QLatin1String("Clients"))
        return Status::ok();
    for (const char *table : { "Contacts", "Offices" }) {
        const bizlib::TableDef &def = bizlib::Dictionary::instance().require(QLatin1String(table));
        QSqlQuery q;
        const Status st = db.exec(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?")
                                      .arg(def.sqlTable(), def.sqlColumn(def.fieldIndex(QStringLiteral("ClientID")))),
            { item.key }, &q);
        if (!st)
            return st;
        if (q.next()) {
            *used = true;
            return Status::ok();
        }
    }
    return Status::ok();
}

} // namespace

QString ClaimCleanup::Report::summary() const
{
    QStringList parts;
    if (requests > 0)
        parts << plural(requests, QStringLiteral("web request given back"), QStringLiteral("web requests given back"));
    QStringList removed;
    for (auto it = rows.begin(); it != rows.end(); ++it)
        removed << rowName(it.key(), it.value());
    if (files > 0)
        removed << plural(files, QStringLiteral("file"), QStringLiteral("files"));
    if (!removed.isEmpty())
        parts << removed.join(QStringLiteral(", ")) + QStringLiteral(" removed");
    if (restored > 0)
        parts << plural(restored, QStringLiteral("changed value put back"), QStringLiteral("changed values put back"));
    QStringList left;
    for (auto it = kept.begin(); it != kept.end(); ++it)
        left << rowName(it.key(), it.value());
    if (!left.isEmpty())
        parts << left.join(QStringLiteral(", ")) + QStringLiteral(" kept, in use by other work");
    if (moves > 0)
        parts << plural(moves, QStringLiteral("file moved"), QStringLiteral("files moved"))
                + QStringLiteral(" to its name");
    if (parts.isEmpty())
        parts << plural(claims, QStringLiteral("claim ended"), QStringLiteral("claims ended"));
    return parts.join(QStringLiteral("; "));
}

ClaimCleanup::ClaimCleanup(bizlib::Database &db, QStringList dataFolders, int staleMinutes)
    : m_db(db)
    , m_dataFolders(std::move(dataFolders))
    , m_staleMinutes(staleMinutes)
    , m_processAlive(&ClaimCleanup::processRuns)
{ }

bool ClaimCleanup::processRuns(qint64 processId)
{
#ifdef Q_OS_UNIX
    if (processId <= 0)
        return false;
    return ::kill(pid_t(processId), 0) == 0 || errno == EPERM;
#else
    Q_UNUSED(processId);
    return true; // unknown: the time since the claim was last seen decides
#endif
}

bool ClaimCleanup::isStale(const ClaimHolder &h, qint32 today, qint32 now) const
{
    const ClaimSession &self = ClaimSession::thisProcess();
    if (h.session == self.session)
        return !LiveClaims::owners().contains(h.owner);
    if (h.workstation == self.workstation && h.processId > 0 && !m_processAlive(h.processId))
        return true;
    return h.minutesUnseen(today, now) >= m_staleMinutes;
}

Status ClaimCleanup::run(Report *report)
{
    QList<ClaimHolder> holders;
    Status st = ClaimBook(m_db).all(&holders);
    if (!st)
        return st;
    const qint32 today = bizlib::DateTime::today();
    const qint32 now = bizlib::DateTime::now();
    Status first = Status::ok();
    for (const ClaimHolder &h : std::as_const(holders)) {
        if (!isStale(h, today, now))
            continue;
        st = cleanUp(h, report);
        if (st.isError() && first.isOk())
            first = st;
    }
    return first;
}

Status ClaimCleanup::restoreField(bizlib::Database &db, const RunItem &item, Report *report)
{
    const bizlib::TableDef *def = bizlib::Dictionary::instance().table(item.table);
    const int field = def ? def->fieldIndex(item.path) : -1;
    QString was;
    QString now;
    if (!def || field < 0 || !item.setValues(&was, &now))
        return Status::ok(); // nothing this program knows how to put back
    bizlib::Record values(*def);
    values.setValue(field, was);
    const QVariant old = db.toSql(def->fields[field], values.valueAt(field));
    values.setValue(field, now);
    const QVariant written = db.toSql(def->fields[field], values.valueAt(field));
    const QString column = def->sqlColumn(field);
    // Only while the field still holds what the run wrote: a later change by someone else stays.
    QSqlQuery q;
    const Status st = db.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ? AND %2 = ?")
                                  .arg(def->sqlTable(), column, def->sqlColumn(def->primary().fields.first())),
        { old, item.key, written }, &q);
    if (st && report && q.numRowsAffected() == 1)
        report->restored += 1;
    return st;
}

Status ClaimCleanup::restoreRow(bizlib::Database &db, const RunItem &item, Report *report)
{
    const bizlib::TableDef *def = bizlib::Dictionary::instance().table(item.table);
    QList<QPair<QString, QString>> fields;
    if (!def || !item.goneFields(&fields))
        return Status::ok(); // nothing this program knows how to put back
    bizlib::Table table(db, *def);
    bizlib::Record row(*def);
    for (const auto &f : std::as_const(fields)) {
        if (const int i = def->fieldIndex(f.first); i >= 0)
            row.setValue(i, f.second);
    }
    row.setLong(def->primary().fields.first(), item.key);
    bizlib::Record existing = row;
    Status st = table.fetch(def->primary().name, { item.key }, existing);
    // A row that took the key meanwhile stays; the old one is not forced back over it.
    if (st)
        return Status::ok();
    if (!st.isNotFound())
        return st;
    if (st = table.insert(row); !st)
        return st;
    if (report)
        report->restored += 1;
    return Status::ok();
}

Status ClaimCleanup::removeRows(bizlib::Database &db, const QList<RunItem> &items, Report *report, QStringList *files)
{
    // The latest first: what was made last may belong to what was made before it.
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->kind == RunItem::Kind::Set || it->kind == RunItem::Kind::Gone) {
            const Status st
                = it->kind == RunItem::Kind::Set ? restoreField(db, *it, report) : restoreRow(db, *it, report);
            if (!st)
                return st;
            continue;
        }
        if (it->kind != RunItem::Kind::Row) {
            files->append(it->path);
            continue;
        }
        bool used = false;
        if (const Status st = inUse(db, *it, &used); !st)
            return st;
        if (used) {
            if (report)
                report->kept[it->table] += 1;
            continue;
        }
        bizlib::Table table(db, it->table);
        bizlib::Record row = table.newRecord();
        row.setLong(table.def().primary().fields.first(), it->key);
        // A numbered quote or order gives its number back while it is still the last one issued.
        std::optional<bizlib::NumberCounter> counter;
        if (it->table == QLatin1String("Quotes"))
            counter.emplace(bizlib::QuoteLibrary::quoteNumbers(db));
        else if (it->table == QLatin1String("Orders"))
            counter.emplace(bizlib::OrderLibrary::jobNumbers(db));
        qint32 number = 0;
        if (counter) {
            bizlib::Record stored = row;
            const Status read = table.fetch(table.def().primary().name, { it->key }, stored);
            if (read.isError())
                return read;
            if (read)
                number = stored.toLong(it->table == QLatin1String("Quotes") ? "Number" : "JobNo");
        }
        // The row itself may never have been stored (a quote whose form was still open): the rows
        // that belong to it go all the same.
        Status st = table.removeRelatedRows(row);
        if (st) {
            st = table.remove(row);
            if (st.isNotFound())
                st = Status::ok();
        }
        if (st && counter)
            st = counter->release(number);
        if (!st)
            return st;
        table.release(row);
        if (report)
            report->rows[it->table] += 1;
    }
    return Status::ok();
}

int ClaimCleanup::removeFiles(const QStringList &files, const QStringList &dataFolders)
{
    int removed = 0;
    for (const QString &path : files) {
        const QFileInfo info(path);
        if (info.isFile() && !info.isSymLink() && inside(path, dataFolders) && QFile::remove(path))
            ++removed;
    }
    return removed;
}

Status ClaimCleanup::cleanUp(const ClaimHolder &h, Report *report, bool giveBack)
{
    ClaimBook book(m_db);
    QList<RunItem> items;
    Status st;
    Report mine;
    QStringList files;
    if (h.state == QLatin1String(ClaimHolder::kStored)) {
        if (!(st = book.items(h.owner, &items)))
            return st;
        // The run's result is in the database; only its files were not yet at their names.
        for (const RunItem &item : std::as_const(items)) {
            if (item.kind == RunItem::Kind::Move && QFileInfo(item.path).isFile() && !QFileInfo::exists(item.target)
                && QFile::rename(item.path, item.target))
                ++mine.moves;
        }
        st = book.close(h.owner);
    } else {
        bizlib::Transaction tx(m_db);
        st = tx.status();
        // The claim row is locked before the run's items are read: a transaction of the holder
        // still in flight commits first, and what it recorded is read and removed with the rest.
        if (st)
            st = book.lock(h.owner);
        if (st)
            st = book.items(h.owner, &items);
        if (st)
            st = book.close(h.owner);
        if (st)
            st = removeRows(m_db, items, &mine, &files);
        if (st && giveBack && h.requestId > 0) {
            const bizlib::TableDef *def = bizlib::Dictionary::instance().table(h.requestTable);
            const int statusField = def ? def->fieldIndex(QStringLiteral("Status")) : -1;
            if (def && statusField >= 0) {
                const QString status = def->sqlColumn(statusField);
                QSqlQuery q;
                st = m_db.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ? AND RTRIM(%2) = 'Processing'")
                                   .arg(def->sqlTable(), status, def->sqlColumn(def->primary().fields.first())),
                    { h.savedStatus.isNull() ? QStringLiteral("") : h.savedStatus, h.requestId }, &q);
                if (st && q.numRowsAffected() == 1)
                    ++mine.requests;
            }
        }
        if (st)
            st = tx.commit();
    }
    if (st.isNotFound())
        return st; // another console cleaned it up first
    if (!st)
        return st;
    mine.files = removeFiles(files, m_dataFolders);
    mine.claims = 1;
    // A sign-up's hold on its e-mail address is numbered by the address, not by a request.
    const QString what = h.requestTable == QLatin1String("SignupEmail")
        ? QStringLiteral("The e-mail address of a web sign-up")
        : QStringLiteral("%1 with identifier %2")
              .arg(h.requestTable == QLatin1String("WebOrders") ? QStringLiteral("Web order")
                      : h.requestTable == QLatin1String("WebSignup") ? QStringLiteral("Web sign-up")
                                                                     : QStringLiteral("Web quote request"))
              .arg(h.requestId);
    const QString line = QStringLiteral("%1, held by %2, cleaned up: %3").arg(what, h.describe(), mine.summary());
    if (report) {
        report->claims += mine.claims;
        report->requests += mine.requests;
        for (auto it = mine.rows.begin(); it != mine.rows.end(); ++it)
            report->rows[it.key()] += it.value();
        report->files += mine.files;
        report->moves += mine.moves;
        report->restored += mine.restored;
        for (auto it = mine.kept.begin(); it != mine.kept.end(); ++it)
            report->kept[it.key()] += it.value();
        report->lines << line;
    }
    return Status::ok();
}

} // namespace data
