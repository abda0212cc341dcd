#pragma once

#include "bizlib/Status.h"

#include <QList>
#include <QPair>
#include <QSet>
#include <QString>

namespace bizlib {
class Database;
}

namespace data {

// This process as a claim holder: the workstation's name, the process id, and a token made once
// per process, so that a claim of a process that ended is told from one of a running process that
// happens to have the same number.
struct ClaimSession
{
    QString session;
    QString workstation;
    qint64 processId = 0;

    static const ClaimSession &thisProcess();
};

// One row of wc_claims: who holds a claimed web request since when, and what its status was.
struct ClaimHolder
{
    QString owner; // the token of the window or run that holds the request
    QString requestTable; // "WebQuotes", "WebOrders", "WebSignup"
    qint32 requestId = 0;
    QString savedStatus;
    qint32 savedTemplate = 0;
    qint32 savedPrevious = 0;
    QString session;
    QString workstation;
    QString userCode;
    qint64 processId = 0;
    qint32 startedOn = 0;
    qint32 startedAt = 0;
    qint32 seenOn = 0;
    qint32 seenAt = 0;
    QString state; // kRunning or kStored

    static constexpr const char *kRunning = "Running";
    static constexpr const char *kStored = "Stored";

    bool isValid() const { return !owner.isEmpty(); }
    // "JS on WS-04 since 08/12/2026 10:15" (the user and workstation that are known).
    QString describe() const;
    // Minutes since the holder was last seen at `today`/`now` (DATE and TIME values).
    qint64 minutesUnseen(qint32 today, qint32 now) const;
};

// One thing a run made, in wc_claimitems.
struct RunItem
{
    enum class Kind {
        Row, // the row of `table` with primary key `key`, and the rows that belong to it
        File, // a file the run wrote at `path`
        Move, // `path` is to be renamed to `target` once the run's result is stored
        // The run changed field `path` of an existing row of `table` (primary key `key`); `target`
        // holds the value it had and the value written (setValues()): an undo writes the old value
        // back while the field still holds the one written.
        Set,
        // The run deleted the row of `table` with primary key `key`; `target` holds its fields
        // (gone()): an undo inserts it again while no row has that key.
        Gone,
    };
    Kind kind = Kind::Row;
    QString table;
    qint32 key = 0;
    QString path;
    QString target;

    static RunItem row(const QString &table, qint32 key) { return { Kind::Row, table, key, {}, {} }; }
    static RunItem file(const QString &path) { return { Kind::File, {}, 0, path, {} }; }
    static RunItem move(const QString &from, const QString &to) { return { Kind::Move, {}, 0, from, to }; }
    // `was` and `now` as texts of the field's type (Record::text()).
    static RunItem set(const QString &table, qint32 key, const QString &field, const QString &was, const QString &now);
    // The two values of a Set item; false when `target` does not hold them.
    bool setValues(QString *was, QString *now) const;
    // `fields`: each field's name with its value as text (Record::text()).
    static RunItem gone(const QString &table, qint32 key, const QList<QPair<QString, QString>> &fields);
    // The fields of a Gone item; false when `target` does not hold them.
    bool goneFields(QList<QPair<QString, QString>> *fields) const;
};

// Access to the claim tables. Each call is one statement on the caller's connection, inside the
// caller's transaction when there is one.
class ClaimBook
{
public:
    explicit ClaimBook(bizlib::Database &db);

    bizlib::Status insert(const ClaimHolder &holder);
    // The claim of one request; NotFound when nobody is recorded as holding it.
    bizlib::Status holderOf(const QString &requestTable, qint32 requestId, ClaimHolder *holder);
    bizlib::Status byOwner(const QString &owner, ClaimHolder *holder);
    bizlib::Status all(QList<ClaimHolder> *holders);

    // Confirms that `owner` still holds its claim (and marks it seen): one UPDATE, which on
    // PostgreSQL also keeps another workstation's takeover waiting until the caller's transaction
    // ends. NotFound when the claim was taken over or cleaned up meanwhile.
    bizlib::Status confirm(const QString &owner);
    // Replaces the holder `oldOwner` with `holder` (its owner, session, workstation, user, process
    // and times), only while `oldOwner` still holds the claim: NotFound otherwise.
    bizlib::Status takeOver(const QString &oldOwner, const ClaimHolder &holder);
    bizlib::Status setState(const QString &owner, const QString &state);
    // Locks the claim row of `owner` for the caller's transaction without changing it (an UPDATE
    // that writes each value back): a transaction of the holder still in flight ends first.
    // NotFound when the claim is gone.
    bizlib::Status lock(const QString &owner);
    // Hands the claim of `seen.owner` with its items to `newOwner`, only while it is still as seen:
    // the same owner, not seen since (SeenOn, SeenAt). Its holder, should it be alive after all,
    // then finds its claim gone and writes nothing more. NotFound when it was seen again, taken
    // over or is gone. Two statements: call it inside a transaction.
    bizlib::Status fence(const ClaimHolder &seen, const QString &newOwner);
    // The row `table`/`key` now belongs to the work of `owner` (an accepted request refers to it):
    // what other runs recorded of it (the row as theirs to remove, a field to put back) is
    // forgotten, so that their cancel or cleanup leaves it as it is. In the caller's transaction.
    bizlib::Status adopt(const QString &owner, const QString &table, qint32 key);
    // Deletes the claim and its items (NotFound when the claim row was gone already).
    bizlib::Status close(const QString &owner);

    // What a run made, in the order recorded.
    bizlib::Status record(const QString &owner, int seq, const RunItem &item);
    bizlib::Status items(const QString &owner, QList<RunItem> *items);
    bizlib::Status removeItems(const QString &owner);

    // Marks the claims of `owners` seen now.
    bizlib::Status heartbeat(const QSet<QString> &owners);

private:
    bizlib::Database &m_db;
};

// The claims held by live objects of this process (RequestClaim registers its owner token while
// it holds a request). A claim recorded with this process's session that is not listed here was
// left behind by a window that could not give it back: it is as stale as a dead process's.
namespace LiveClaims {
void add(const QString &owner);
void remove(const QString &owner);
QSet<QString> owners();
} // namespace LiveClaims

} // namespace data
