#pragma once

#include "bizlib/Status.h"
#include "data/ClaimBook.h"

#include <QString>

namespace bizlib {
class Database;
}

namespace signups {

// Keeps two sign-ups of one e-mail address from being processed at the same time, so that two
// workstations (or a workstation and automatic B2C processing) never make two accounts for one
// person: the one that comes second finds the first's contact by its e-mail once the first is done.
//
// The guard is a row of the claim table (request table "SignupEmail", the request number made from
// the lower-cased e-mail) held beside the sign-up's own claim. A guard whose holder is gone is
// cleaned up like any stale claim; a guard left by the holder of the same sign-up that this window
// took over (Unlock) passes to this window.
class EmailGuard
{
public:
    static constexpr const char *kTable = "SignupEmail";

    EmailGuard(bizlib::Database &db, QString email, QString owner, QString userCode);
    ~EmailGuard();
    EmailGuard(const EmailGuard &) = delete;
    EmailGuard &operator=(const EmailGuard &) = delete;

    // Ok when taken (or when there is no e-mail to guard); NotFound when another sign-up of the
    // address is being processed (other() says by whom); an error when the database failed.
    // `replacedOwner`: the token of a sign-up claim this window took over (its guard passes here).
    bizlib::Status take(const QString &replacedOwner = {});
    void release();

    bool isHeld() const { return m_held; }
    const data::ClaimHolder &other() const { return m_other; }
    // The request number of an address.
    static qint32 keyOf(const QString &email);

private:
    bizlib::Database &m_db;
    QString m_email;
    QString m_owner;
    QString m_userCode;
    bool m_held = false;
    data::ClaimHolder m_other;
};

} // namespace signups
