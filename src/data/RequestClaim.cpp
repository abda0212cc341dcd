#include "data/RequestClaim.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "data/ClaimCleanup.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <stdexcept>

namespace data {

namespace {

// A lost race (the status changed between the read and the write) is tried again on the row as
// it then is; more than a few in a row means something rewrites the row all the time.
constexpr int kAttempts = 5;

struct Target
{
    const bizlib::TableDef *def = nullptr;
    int idField = -1;
    int statusField = -1;
};

Target targetOf(const ClaimVariant &variant)
{
    Target t;
    t.def = &bizlib::Dictionary::instance().require(variant.table);
    t.idField = t.def->primary().fields.first();
    t.statusField = t.def->fieldIndex(QStringLiteral("Status"));
    if (t.statusField < 0)
        throw std::logic_error(QStringLiteral("%1 has no status field").arg(variant.table).toStdString());
    return t;
}

// "SET status = ?, field = ?" and its parameters.
void assignments(bizlib::Database &db, const Target &t, const QString &status, const RequestClaim::Assignments &extra,
    QStringList *sets, QVariantList *params)
{
    *sets << t.def->sqlColumn(t.statusField) + QStringLiteral(" = ?");
    *params << db.toSql(t.def->fields[t.statusField], status);
    for (const auto &[name, value] : extra) {
        const int i = t.def->fieldIndex(name);
        if (i < 0)
            throw std::logic_error(QStringLiteral("no field %1 in %2").arg(name, t.def->name).toStdString());
        bizlib::Record scratch(*t.def);
        scratch.setValue(i, value); // cut to the field's width as any write is
        *sets << t.def->sqlColumn(i) + QStringLiteral(" = ?");
        *params << db.toSql(t.def->fields[i], scratch.valueAt(i));
    }
}

const QString kTakenElsewhere
    = QStringLiteral("The web request was processed or released by another workstation meanwhile.");

bool isProcessing(const QString &status, ClaimVariant::Test test)
{
    QString s = status;
    if (test == ClaimVariant::Test::Trimmed) {
        while (s.endsWith(u' '))
            s.chop(1);
    }
    return s == QLatin1String(RequestClaim::kProcessing);
}

} // namespace

RequestClaim::RequestClaim(bizlib::Database &db, const ClaimVariant &variant, qint32 requestId,
    bizlib::Prompter *prompter, std::function<void()> changeNotice, QString userCode, QStringList dataFolders)
    : m_db(db)
    , m_variant(variant)
    , m_requestId(requestId)
    , m_prompter(prompter)
    , m_changeNotice(std::move(changeNotice))
    , m_userCode(std::move(userCode))
    , m_dataFolders(std::move(dataFolders))
    , m_owner(QUuid::createUuid().toString(QUuid::WithoutBraces))
{ }

RequestClaim::~RequestClaim()
{
    if (m_held)
        release();
    end();
}

void RequestClaim::end()
{
    LiveClaims::remove(m_owner);
}

QString RequestClaim::statusTest(const QString &column) const
{
    // A NULL status (another program may write one) is an empty status: free.
    return m_variant.test == ClaimVariant::Test::Trimmed ? QStringLiteral("RTRIM(COALESCE(%1, '')) = ?").arg(column)
                                                         : QStringLiteral("COALESCE(%1, '') = ?").arg(column);
}

void RequestClaim::notice()
{
    if (m_changeNotice)
        m_changeNotice();
}

ClaimHolder RequestClaim::newHolder() const
{
    const ClaimSession &self = ClaimSession::thisProcess();
    ClaimHolder h;
    h.owner = m_owner;
    h.requestTable = m_variant.table;
    h.requestId = m_requestId;
    h.session = self.session;
    h.workstation = self.workstation;
    h.processId = self.processId;
    h.userCode = m_userCode.trimmed().left(3);
    h.startedOn = h.seenOn = bizlib::DateTime::today();
    h.startedAt = h.seenAt = bizlib::DateTime::now();
    h.state = QString::fromLatin1(ClaimHolder::kRunning);
    return h;
}

bizlib::Status RequestClaim::readStatus(QString *status, bool *found)
{
    const Target t = targetOf(m_variant);
    QSqlQuery q;
    const bizlib::Status st
        = m_db.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                        .arg(t.def->sqlColumn(t.statusField), t.def->sqlTable(), t.def->sqlColumn(t.idField)),
            { m_requestId }, &q);
    if (!st)
        return st;
    *found = q.next();
    *status = *found ? q.value(0).toString() : QString();
    if (status->isNull())
        *status = QStringLiteral(""); // a NULL status is read as an empty one
    return bizlib::Status::ok();
}

bool RequestClaim::cleanUpStale(const ClaimHolder &holder)
{
    ClaimCleanup cleanup(m_db, m_dataFolders, m_db.config().claimTimeout);
    if (!cleanup.isStale(holder, bizlib::DateTime::today(), bizlib::DateTime::now()))
        return false;
    const bizlib::Status st = cleanup.cleanUp(holder, nullptr);
    // NotFound: another console cleaned it up first; either way the row is looked at again.
    return st.isOk() || st.isNotFound();
}

RequestClaim::Outcome RequestClaim::tryClaim(const QString &current, const Assignments &alsoSet, bool *lost)
{
    *lost = false;
    const Target t = targetOf(m_variant);
    const QString statusColumn = t.def->sqlColumn(t.statusField);
    const QString processing = QString::fromLatin1(kProcessing);
    QStringList sets;
    QVariantList params;
    assignments(m_db, t, processing, alsoSet, &sets, &params);
    params << m_requestId << current << processing;
    // Listed as live before the claim row exists: a cleanup of this process never takes it for
    // one that a window left behind.
    LiveClaims::add(m_owner);
    bizlib::Transaction tx(m_db);
    m_lastStatus = tx.status();
    int affected = 0;
    if (m_lastStatus)
        m_lastStatus
            = m_db.execCounted(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? AND COALESCE(%4, '') = ? AND NOT (%5)")
                                   .arg(t.def->sqlTable(), sets.join(QStringLiteral(", ")), t.def->sqlColumn(t.idField),
                                       statusColumn, statusTest(statusColumn)),
                params, &affected);
    if (m_lastStatus && affected != 1) {
        // Another workstation changed the row between the read and the write: look again.
        end();
        *lost = true;
        return Outcome::Failed;
    }
    ClaimHolder mine = newHolder();
    mine.savedStatus = current;
    if (m_lastStatus)
        m_lastStatus = ClaimBook(m_db).insert(mine);
    if (m_lastStatus.isDuplicate()) {
        // A claim row of an earlier holder whose request was freed meanwhile (by hand, or by the
        // web monitor): what its run made is cleaned up when the holder is gone, else the request
        // counts as held.
        tx.rollback();
        end();
        ClaimHolder earlier;
        if (ClaimBook(m_db).holderOf(m_variant.table, m_requestId, &earlier) && !cleanUpStale(earlier)) {
            m_other = earlier;
            return Outcome::Declined;
        }
        *lost = true;
        return Outcome::Failed;
    }
    if (m_lastStatus)
        m_lastStatus = tx.commit();
    if (!m_lastStatus) {
        end();
        return Outcome::Failed;
    }
    m_tried = m_held = true;
    m_saved = current;
    notice();
    return Outcome::Claimed;
}

RequestClaim::Outcome RequestClaim::claim(bool automatic, const Assignments &alsoSet, const QString &statusAsRead)
{
    if (m_tried)
        return m_outcome;
    bool claimedElsewhere = false;
    for (int attempt = 0; attempt < kAttempts && !claimedElsewhere; ++attempt) {
        QString current;
        bool found = false;
        if (attempt == 0 && !statusAsRead.isNull() && !isProcessing(statusAsRead, m_variant.test)) {
            current = statusAsRead;
            found = true;
        } else {
            m_lastStatus = readStatus(&current, &found);
            if (!m_lastStatus)
                return m_outcome = Outcome::Failed;
        }
        if (!found) {
            m_tried = true;
            return m_outcome = Outcome::Gone;
        }
        if (isProcessing(current, m_variant.test)) {
            ClaimHolder holder;
            const bizlib::Status st = ClaimBook(m_db).holderOf(m_variant.table, m_requestId, &holder);
            if (st.isError())
                return m_lastStatus = st, m_outcome = Outcome::Failed;
            m_other = st ? holder : ClaimHolder();
            // A holder that is gone: what its run made goes, the request comes back, and it is claimed.
            if (!(st && cleanUpStale(holder)))
                claimedElsewhere = true;
            continue;
        }
        bool lost = false;
        const Outcome outcome = tryClaim(current, alsoSet, &lost);
        if (lost)
            continue;
        if (outcome == Outcome::Declined) {
            claimedElsewhere = true;
            continue;
        }
        if (outcome == Outcome::Failed)
            return m_outcome = Outcome::Failed;
        return m_outcome = outcome;
    }

    m_tried = true;
    if (automatic && m_variant.whenAutomatic == ClaimVariant::WhenAutomatic::Silent)
        return m_outcome = Outcome::Declined;
    QString text = m_variant.message;
    if (m_other.isValid())
        text += QStringLiteral("\n\nHeld by %1.").arg(m_other.describe());
    // Esc means Cancel: taking over another workstation's claim needs the button itself.
    if (!m_prompter || m_prompter->alert(text, caption(), bizlib::Prompter::Icon::Exclamation, buttons(), 1, 1) != 2)
        return m_outcome = Outcome::Declined;
    return m_outcome = takeOver();
}

RequestClaim::Outcome RequestClaim::takeOver()
{
    ClaimBook book(m_db);
    ClaimHolder mine = newHolder();
    QStringList files;
    LiveClaims::add(m_owner);
    {
        bizlib::Transaction tx(m_db);
        m_lastStatus = tx.status();
        if (m_lastStatus && m_other.isValid()) {
            // The holder it replaces is the one the user was shown; what its run made goes with it.
            // The claim row is taken first: a transaction of the holder still in flight then
            // commits before this one reads the run's items, so that nothing it recorded is missed.
            QList<RunItem> items;
            m_lastStatus = book.takeOver(m_other.owner, mine);
            if (m_lastStatus)
                m_lastStatus = book.items(m_other.owner, &items);
            if (m_lastStatus)
                m_lastStatus = ClaimCleanup::removeRows(m_db, items, nullptr, &files);
            if (m_lastStatus)
                m_lastStatus = book.removeItems(m_other.owner);
        } else if (m_lastStatus) {
            mine.savedStatus = QString::fromLatin1(kPending);
            m_lastStatus = book.insert(mine);
            if (m_lastStatus.isDuplicate())
                m_lastStatus = bizlib::Status::notFound();
        }
        if (m_lastStatus)
            m_lastStatus = tx.commit();
    }
    if (!m_lastStatus) {
        end();
        if (m_lastStatus.isNotFound())
            m_lastStatus = bizlib::Status::error(
                QStringLiteral("The web request was taken over or finished by another workstation meanwhile."));
        return Outcome::Failed;
    }
    ClaimCleanup::removeFiles(files, m_dataFolders);
    m_held = m_unlocked = true;
    const QString earlier = m_other.savedStatus;
    m_saved = m_other.isValid() && !earlier.isEmpty() && !isProcessing(earlier, m_variant.test)
        ? earlier
        : QString::fromLatin1(kPending);
    notice();
    return Outcome::Unlocked;
}

bizlib::Status RequestClaim::lostClaim()
{
    ClaimHolder holder;
    if (ClaimBook(m_db).holderOf(m_variant.table, m_requestId, &holder) && holder.owner != m_owner) {
        m_other = holder;
        return bizlib::Status::notFound(
            QStringLiteral("The web request was taken over by %1; nothing was written.").arg(holder.describe()));
    }
    return bizlib::Status::notFound(kTakenElsewhere);
}

bizlib::Status RequestClaim::confirm()
{
    const bizlib::Status st = ClaimBook(m_db).confirm(m_owner);
    return st.isNotFound() ? lostClaim() : st;
}

bizlib::Status RequestClaim::writeWhileProcessing(const QString &status, const Assignments &alsoSet, int *rows)
{
    const Target t = targetOf(m_variant);
    QStringList sets;
    QVariantList params;
    assignments(m_db, t, status, alsoSet, &sets, &params);
    params << m_requestId << QString::fromLatin1(kProcessing);
    int affected = 0;
    m_lastStatus = m_db.execCounted(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? AND %4")
                                        .arg(t.def->sqlTable(), sets.join(QStringLiteral(", ")),
                                            t.def->sqlColumn(t.idField), statusTest(t.def->sqlColumn(t.statusField))),
        params, &affected);
    *rows = m_lastStatus ? affected : 0;
    return m_lastStatus;
}

bizlib::Status RequestClaim::record(const RunItem &item)
{
    if (!(m_lastStatus = confirmHeld()))
        return m_lastStatus;
    return m_lastStatus = ClaimBook(m_db).record(m_owner, ++m_seq, item);
}

bizlib::Status RequestClaim::confirmHeld()
{
    if (!m_held)
        return m_lastStatus = bizlib::Status::error(QStringLiteral("The request is not claimed by this window."));
    return m_lastStatus = confirm();
}

bizlib::Status RequestClaim::recordNow(const RunItem &item)
{
    bizlib::Transaction tx(m_db);
    if (!tx.status())
        return m_lastStatus = tx.status();
    if (!record(item))
        return m_lastStatus;
    return m_lastStatus = tx.commit();
}

bizlib::Status RequestClaim::release(const Assignments &alsoSet)
{
    if (!m_held)
        return bizlib::Status::ok();
    ClaimBook book(m_db);
    QStringList files;
    int rows = 0;
    {
        bizlib::Transaction tx(m_db);
        m_lastStatus = tx.status();
        if (m_lastStatus)
            m_lastStatus = confirm();
        if (m_lastStatus.isNotFound()) {
            // Taken over or cleaned up: nothing of it is this window's to write any more.
            m_held = false;
            end();
            return m_lastStatus;
        }
        QList<RunItem> items;
        if (m_lastStatus)
            m_lastStatus = book.items(m_owner, &items);
        if (m_lastStatus)
            m_lastStatus = ClaimCleanup::removeRows(m_db, items, nullptr, &files);
        if (m_lastStatus)
            writeWhileProcessing(m_saved, alsoSet, &rows);
        if (m_lastStatus)
            m_lastStatus = book.close(m_owner);
        if (m_lastStatus)
            m_lastStatus = tx.commit();
    }
    if (!m_lastStatus)
        return m_lastStatus; // still held: tried again later
    ClaimCleanup::removeFiles(files, m_dataFolders);
    m_held = false;
    end();
    if (rows > 0)
        notice();
    return m_lastStatus;
}

bizlib::Status RequestClaim::removeRequest(const QList<RunItem> &moves)
{
    if (!m_held)
        return m_lastStatus = bizlib::Status::error(QStringLiteral("The request is not claimed by this window."));
    const Target t = targetOf(m_variant);
    bizlib::Transaction tx(m_db);
    if (!tx.status())
        return m_lastStatus = tx.status();
    if (!(m_lastStatus = confirm()))
        return m_lastStatus;
    int affected = 0;
    m_lastStatus = m_db.execCounted(
        QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3")
            .arg(t.def->sqlTable(), t.def->sqlColumn(t.idField), statusTest(t.def->sqlColumn(t.statusField))),
        { m_requestId, QString::fromLatin1(kProcessing) }, &affected);
    if (!m_lastStatus)
        return m_lastStatus;
    if (affected != 1)
        return m_lastStatus = bizlib::Status::notFound(kTakenElsewhere);
    bizlib::Table table(m_db, *t.def);
    bizlib::Record request = table.newRecord();
    request.setLong(t.idField, m_requestId);
    m_lastStatus = table.removeRelatedRows(request);
    if (!m_lastStatus)
        return m_lastStatus;
    ClaimBook book(m_db);
    if (moves.isEmpty()) {
        m_lastStatus = book.close(m_owner);
    } else {
        // The run's result is stored with this commit; the claim stays recorded with the moves
        // still to do, so that they are done even if this process ends before finishMoves().
        m_lastStatus = book.removeItems(m_owner);
        for (int i = 0; m_lastStatus && i < moves.size(); ++i)
            m_lastStatus = book.record(m_owner, ++m_seq, moves.at(i));
        if (m_lastStatus)
            m_lastStatus = book.setState(m_owner, QString::fromLatin1(ClaimHolder::kStored));
        m_moves = moves;
    }
    if (!m_lastStatus)
        return m_lastStatus;
    return m_lastStatus = tx.commit();
}

bizlib::Status RequestClaim::finishMoves(QList<RunItem> *notMoved)
{
    for (const RunItem &move : std::as_const(m_moves)) {
        if (!QFileInfo(move.path).isFile() || QFileInfo::exists(move.target) || !QFile::rename(move.path, move.target))
            notMoved->append(move);
    }
    m_moves.clear();
    const bizlib::Status st = ClaimBook(m_db).close(m_owner);
    return st.isNotFound() ? bizlib::Status::ok() : st;
}

bizlib::Status RequestClaim::handOn(const QString &status, const Assignments &alsoSet)
{
    if (!m_held)
        return m_lastStatus = bizlib::Status::error(QStringLiteral("The request is not claimed by this window."));
    bizlib::Transaction tx(m_db);
    if (!tx.status())
        return m_lastStatus = tx.status();
    if (!(m_lastStatus = confirm()))
        return m_lastStatus;
    int rows = 0;
    if (!writeWhileProcessing(status, alsoSet, &rows))
        return m_lastStatus;
    if (rows != 1)
        return m_lastStatus = bizlib::Status::notFound(
                   QStringLiteral("The web request was processed or released by another workstation meanwhile."));
    m_lastStatus = ClaimBook(m_db).close(m_owner);
    if (!m_lastStatus)
        return m_lastStatus;
    return m_lastStatus = tx.commit();
}

void RequestClaim::settle()
{
    m_held = false;
    end();
}

} // namespace data
