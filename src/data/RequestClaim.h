#pragma once

#include "bizlib/Status.h"
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
// word is "Processing" while a window holds it. There is no lock table and no lock held across
// user interaction; every step is one conditional statement on the row as it is in the database
// at that moment, so two workstations that claim one request at the same instant cannot both
// win.
//
// Lifecycle: claim() takes the request (or declines); the holder then either releases it
// (cancel: the saved status goes back), or removes the request within its own final transaction
// and calls settle() once that has committed, or hands it on (a rejection queued for the web
// monitor) with settle(). A claim still held when the object goes away is released: a window
// that closes before its work is done never leaves the request hidden on every console. A claim
// that was never taken writes nothing.
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
    RequestClaim(bizlib::Database &db, const ClaimVariant &variant, qint32 requestId,
        bizlib::Prompter *prompter = nullptr, std::function<void()> changeNotice = {});
    ~RequestClaim();
    RequestClaim(const RequestClaim &) = delete;
    RequestClaim &operator=(const RequestClaim &) = delete;

    // Takes the request. A free request (its status, read now, is not "Processing" by the
    // variant's test) gets "Processing" and `alsoSet` in one UPDATE that changes the row only
    // while its status is still the one read: exactly one row, or the claim was lost and is tried
    // again on the row as it then is. The status replaced is the saved status.
    // Claimed elsewhere: automatic mode of a Silent variant declines without a message; otherwise
    // the exclamation beep and the warning with "&Cancel|&Unlock" (Cancel the default). Unlock
    // takes the claim over: the status stays "Processing" (nothing is written), the change notice
    // goes out, and the saved status becomes "Pending", so that a later release frees the request.
    // A second call while held changes nothing and answers as the first.
    // `statusAsRead`: the status as the caller has just read it (null: unknown). The first UPDATE
    // then expects that status without reading the row first; it still changes the row only while
    // its status is that one.
    Outcome claim(bool automatic, const Assignments &alsoSet = {}, const QString &statusAsRead = QString());

    bool isHeld() const { return m_held; }
    bool wasUnlocked() const { return m_unlocked; }
    const QString &savedStatus() const { return m_saved; }
    qint32 requestId() const { return m_requestId; }
    const ClaimVariant &variant() const { return m_variant; }
    const bizlib::Status &lastStatus() const { return m_lastStatus; }

    // Cancel: writes the saved status back, with `alsoSet`, only while the request is still
    // "Processing"; a request that is gone or that another workstation took meanwhile is left
    // alone. The claim ends either way (also on a database failure, which is returned).
    bizlib::Status release(const Assignments &alsoSet = {});

    // Deletes the claimed request with its related web records (following the dictionary's
    // relations), inside the caller's transaction when there is one: exactly one request row, and
    // only while it is still "Processing"; otherwise NotFound ("processed elsewhere") and nothing
    // deleted. The claim stays held until settle(): if the caller's transaction rolls back, the
    // request is there again and release() still applies.
    bizlib::Status removeRequest();

    // Hands the claimed request on (a rejection): inside the caller's transaction when there is
    // one, writes `status` ("Processing" keeps the claim word for the web monitor, "Rejected" ...)
    // with `alsoSet`, only while the request is still "Processing"; otherwise NotFound ("released
    // or processed elsewhere") and nothing written. The row stays locked until the caller's
    // transaction ends; the claim stays held until settle().
    bizlib::Status handOn(const QString &status, const Assignments &alsoSet = {});

    // The request is gone or handed on: the claim ends without writing anything.
    void settle();

private:
    QString statusTest(const QString &column) const;
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
    Outcome m_outcome = Outcome::Declined;
    bizlib::Status m_lastStatus;
};

} // namespace data
