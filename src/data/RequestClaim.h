#pragma once

#include "bizlib/Status.h"
#include "data/ClaimBook.h"
#include "data/ClaimVariant.h"

#include <QList>
#include <QPair>
#include <QVariant>
#include <functional>

namespace bizlib {
class Database;
class Prompter;
} // namespace bizlib

namespace data {

// The claim that keeps two workstations from working on one web request: the request's status
// word is "Processing" while a window holds it, and the console's own table wc_claims says who
// (an owner token of this object, the workstation, user and process, since when, last seen),
// written in the same transaction. Every step is one conditional statement on the row as it is in
// the database at that moment, so two workstations that claim one request at the same instant
// cannot both win; every later write of the claim (release, hand-on, delete of the request, the
// run's record) first confirms that this object still holds it, so a window whose claim was taken
// over (Unlock elsewhere) or cleaned up writes nothing and says who took it.
//
// Lifecycle: claim() takes the request (or declines); the holder then either releases it
// (cancel: what the run recorded is removed and the saved status goes back), or removes the
// request within its own final transaction and calls settle() once that has committed, or hands
// it on (a rejection queued for the web monitor) with settle(). A claim still held when the object
// goes away is released: a window that closes before its work is done never leaves the request
// hidden on every console. A release that fails keeps the claim held (isHeld()) so that it can be
// tried again; one that still fails when the object goes away leaves a claim that no live window
// holds, which this process's next cleanup gives back (ClaimCleanup). A claim that was never taken
// writes nothing.
//
// After every write of the status the change notice (if given) tells the other workstations.
class RequestClaim
{
public:
    enum class Outcome {
        Claimed, // the status was free and is now "Processing"
        Unlocked, // claimed elsewhere; the user chose Unlock and this window took the claim over
        Declined, // claimed elsewhere; the user chose Cancel, or automatic mode gave up silently
        Gone, // the request is no longer in the table
        Failed, // the database failed (lastStatus() says why)
    };
    // Further fields written together with the status ("Address" of a quote request ...).
    using Assignments = QList<QPair<QString, QVariant>>;

    static constexpr const char *kProcessing = "Processing";
    static constexpr const char *kPending = "Pending";
    static QString caption() { return QStringLiteral("Already being processed"); }
    static QString buttons() { return QStringLiteral("&Cancel|&Unlock"); }

    // `requestId` is the request's identifier (its table's primary key). `prompter` asks the user
    // in manual mode (without one, a request claimed elsewhere is declined).
    // `userCode`: the logged-on user, recorded as the holder. `dataFolders`: where the run's files
    // may be removed (a release, or the cleanup of a stale claim met on the way).
    RequestClaim(bizlib::Database &db, const ClaimVariant &variant, qint32 requestId,
        bizlib::Prompter *prompter = nullptr, std::function<void()> changeNotice = {}, QString userCode = {},
        QStringList dataFolders = {});
    ~RequestClaim();
    RequestClaim(const RequestClaim &) = delete;
    RequestClaim &operator=(const RequestClaim &) = delete;

    // Takes the request. A free request (its status, read now, is not "Processing" by the
    // variant's test; an empty or NULL status is free) gets "Processing" and `alsoSet` in one
    // UPDATE that changes the row only while its status is still the one read, and the claim row
    // in the same transaction: exactly one row, or the claim was lost and is tried again on the row
    // as it then is. The status replaced is the saved status. A request held by a stale claim
    // (ClaimCleanup) is cleaned up first and then claimed.
    // Claimed elsewhere: automatic mode of a Silent variant declines without a message; otherwise
    // the exclamation beep and the warning with "&Cancel|&Unlock" (Cancel the default), with a line
    // below it that names the holder where it is known. Unlock takes the claim over: the holder's
    // token is replaced (only while it is still the one seen; what its run made is removed), the
    // status stays "Processing", the change notice goes out, and the saved status becomes the
    // holder's saved status (else "Pending"), so that a later release frees the request.
    // A second call while held changes nothing and answers as the first.
    // `statusAsRead`: the status as the caller has just read it (null: unknown). The first UPDATE
    // then expects that status without reading the row first; it still changes the row only while
    // its status is that one.
    Outcome claim(bool automatic, const Assignments &alsoSet = {}, const QString &statusAsRead = QString());

    bool isHeld() const { return m_held; }
    // What the last claim() came to.
    Outcome outcome() const { return m_outcome; }
    bool wasUnlocked() const { return m_unlocked; }
    const QString &savedStatus() const { return m_saved; }
    qint32 requestId() const { return m_requestId; }
    const ClaimVariant &variant() const { return m_variant; }
    const bizlib::Status &lastStatus() const { return m_lastStatus; }
    const QString &owner() const { return m_owner; }
    // The holder seen when the request was claimed elsewhere, or that took it over (invalid: unknown).
    const ClaimHolder &otherHolder() const { return m_other; }

    // Records in the caller's transaction something the run made: a release removes it, and so
    // does the cleanup when this window's process is gone. Fails (writes nothing) when the claim
    // is no longer this object's.
    bizlib::Status record(const RunItem &item);
    // In the caller's transaction: Ok while this object still holds the claim; NotFound (saying
    // who took it) otherwise. A write of the run that depends on the claim comes after it.
    bizlib::Status confirmHeld();
    // The same in a transaction of its own, committed before the thing is made (a file).
    bizlib::Status recordNow(const RunItem &item);

    // Cancel: in one transaction, removes the rows the run recorded and writes the saved status
    // back, with `alsoSet`, only while the request is still "Processing" and this object still
    // holds the claim; then removes the run's recorded files. A request that is gone, or that
    // another workstation took meanwhile, is left alone (NotFound says who took it). The claim
    // ends, except on a database failure (returned): then it stays held to be tried again.
    bizlib::Status release(const Assignments &alsoSet = {});

    // Deletes the claimed request with its related web records (following the dictionary's
    // relations) and ends the claim's record, inside the caller's transaction when there is one:
    // only while this object still holds the claim and the request is "Processing"; otherwise
    // NotFound (saying who took it, or "processed elsewhere") and nothing deleted. With `moves`,
    // the claim stays recorded as stored with those file moves to do: finishMoves() does them
    // after the commit, or the cleanup does when this process is gone first. The claim stays held
    // until settle(): if the caller's transaction rolls back, the request is there again and
    // release() still applies.
    bizlib::Status removeRequest(const QList<RunItem> &moves = {});
    // After a committed removeRequest() with moves: renames each file that is still at its first
    // name and whose final name is free, and ends the claim's record. Moves that could not be
    // done are returned in *notMoved (their files stay where they are).
    bizlib::Status finishMoves(QList<RunItem> *notMoved);

    // Hands the claimed request on (a rejection): inside the caller's transaction when there is
    // one, writes `status` ("Processing" keeps the claim word for the web monitor, "Rejected" ...)
    // with `alsoSet`, only while this object holds the claim and the request is "Processing";
    // otherwise NotFound (who took it, or "released or processed elsewhere") and nothing written.
    // The claim's record ends in the same transaction. The claim stays held until settle().
    bizlib::Status handOn(const QString &status, const Assignments &alsoSet = {});

    // The request is gone or handed on: the claim ends without writing anything.
    void settle();

private:
    QString statusTest(const QString &column) const;
    // NotFound with the reason when this object no longer holds the claim (in the caller's transaction).
    bizlib::Status confirm();
    bizlib::Status lostClaim();
    Outcome tryClaim(const QString &current, const Assignments &alsoSet, bool *lost);
    bool cleanUpStale(const ClaimHolder &holder);
    Outcome takeOver();
    ClaimHolder newHolder() const;
    void end();
    bizlib::Status readStatus(QString *status, bool *found);
    // One UPDATE of the status (and `alsoSet`) while the request is "Processing"; *rows changed.
    bizlib::Status writeWhileProcessing(const QString &status, const Assignments &alsoSet, int *rows);
    void notice();

    bizlib::Database &m_db;
    ClaimVariant m_variant;
    qint32 m_requestId;
    bizlib::Prompter *m_prompter;
    std::function<void()> m_changeNotice;
    QString m_saved;
    bool m_held = false;
    bool m_unlocked = false;
    bool m_tried = false;
    QString m_userCode;
    QStringList m_dataFolders;
    QString m_owner;
    ClaimHolder m_other;
    QList<RunItem> m_moves;
    int m_seq = 0;
    Outcome m_outcome = Outcome::Declined;
    bizlib::Status m_lastStatus;
};

} // namespace data
