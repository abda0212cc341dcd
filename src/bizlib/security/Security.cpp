#include "bizlib/security/Security.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/security/LogonPrompter.h"

namespace bizlib::security {

namespace {

const QString kUsers = QStringLiteral("Users");
const QString kUserRights = QStringLiteral("UserRights");

} // namespace

Security::Security(Database &db, const PasswordHasher::Cost &cost)
    : m_db(db)
    , m_cost(cost)
{ }

Status Security::loadQs()
{
    m_loaded = false;
    m_rights.clear();
    Table rights(m_db, QStringLiteral("SecurityRights"));
    TableCursor cursor(rights, QStringLiteral("RIGHTNOKEY"));
    Record r;
    Status st;
    while ((st = cursor.next(r)))
        m_rights.insert(r.toLong("RightNo"), r.text("Description"));
    if (st.isError())
        return Status::error(QStringLiteral("Unable to read the security rights: %1").arg(st.message()));
    for (const QString &name : { kUsers, kUserRights }) {
        Table t(m_db, name);
        qint64 count = 0;
        if (const Status c = t.count(&count); !c)
            return Status::error(QStringLiteral("Unable to read the table %1: %2").arg(name, c.message()));
    }
    m_loaded = true;
    return Status::ok();
}

Status Security::findUser(const QString &initials, Record *user)
{
    Table users(m_db, kUsers);
    TableCursor cursor(users, QStringLiteral("USERKEY"));
    const Status f = cursor.setFilter(QStringLiteral("UPPER(USR:Initials) = LOC:Initials"),
        { { QStringLiteral("loc:initials"), initials.trimmed().toUpper() } });
    if (!f)
        return f;
    return cursor.next(*user);
}

Status Security::fetchUser(qint32 userId, Record *user)
{
    Table users(m_db, kUsers);
    *user = users.newRecord();
    return users.fetch(QStringLiteral("USERIDKEY"), { userId }, *user);
}

Status Security::authenticate(const QString &initials, const QString &password, Session *session)
{
    const QString code = initials.trimmed();
    Record user;
    Status found = code.isEmpty() || code.size() > kMaxInitials ? Status::notFound() : findUser(code, &user);
    if (found.isError())
        return found;
    if (found.isNotFound()) {
        // Checked against a hash of the same cost, so that a refusal takes as long either way.
        if (m_decoy.isEmpty())
            m_decoy = PasswordHasher::hash(QStringLiteral("decoy"), m_cost);
        PasswordHasher::verify(password, {}, m_decoy);
        return Status::notFound(refusedText());
    }
    const QString stored = user.text("PasswordHash");
    switch (PasswordHasher::check(password, user.text("PasswordSalt"), stored)) {
    case PasswordHasher::Check::Match:
        break;
    case PasswordHasher::Check::Mismatch:
        return Status::notFound(refusedText());
    case PasswordHasher::Check::BadRecord:
        return Status::notFound(badRecordText());
    }
    if (user.toLong("Active") == 0)
        return Status::notFound(inactiveText());
    if (PasswordHasher::needsRehash(stored, m_cost))
        upgradeHash(user.toLong("UserID"), stored, password);
    if (session) {
        session->userId = user.toLong("UserID");
        session->userCode = user.text("Initials");
        session->userName = user.text("FullName");
        session->email = user.text("Email");
    }
    return Status::ok();
}

void Security::upgradeHash(qint32 userId, const QString &stored, const QString &password)
{
    const QString fresh = PasswordHasher::hash(password, m_cost);
    if (fresh.isEmpty())
        return;
    const Table users(m_db, kUsers);
    const TableDef &def = users.def();
    const QString hashColumn = def.sqlColumn(def.fieldIndex(QStringLiteral("PasswordHash")));
    // Only while the row still holds the hash just checked: a password set meanwhile stays.
    m_db.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ? AND %2 = ?")
                  .arg(def.sqlTable(), hashColumn, def.sqlColumn(def.fieldIndex(QStringLiteral("UserID")))),
        { fresh, userId, stored });
}

Security::LogonResult Security::logon(LogonPrompter &prompter, Session *session)
{
    LogonPrompter::Attempt attempt;
    attempt.maxTries = kMaxTries;
    for (attempt.number = 1; attempt.number <= kMaxTries; ++attempt.number) {
        QString initials;
        QString password;
        if (!prompter.askCredentials(attempt, &initials, &password))
            return { LogonOutcome::Cancelled, QStringLiteral("The logon was cancelled.") };
        Session user;
        const Status st = authenticate(initials, password, &user);
        if (st.isError())
            return { LogonOutcome::Failed, st.message() };
        if (st) {
            Table users(m_db, kUsers);
            Record r = users.newRecord();
            if (users.fetch(QStringLiteral("USERIDKEY"), { user.userId }, r)) {
                r.setLong("LastLoginDate", DateTime::today());
                r.setLong("LastLoginTime", DateTime::now());
                users.update(r); // only a stamp: the logon stands without it
            }
            if (session)
                *session = user;
            return { LogonOutcome::LoggedOn, {} };
        }
        attempt.message = st.message();
        attempt.initials = initials.trimmed();
    }
    return { LogonOutcome::Refused, attempt.message };
}

Status Security::checkRight(qint32 userId, qint32 rightNo, bool *holds)
{
    *holds = false;
    Record user;
    if (const Status st = fetchUser(userId, &user); !st)
        return st;
    if (user.toLong("Active") == 0)
        return Status::ok();
    if (user.toLong("Administrator") != 0) {
        *holds = true;
        return Status::ok();
    }
    Table rights(m_db, kUserRights);
    Record link = rights.newRecord();
    const Status st = rights.fetch(QStringLiteral("USERRIGHTKEY"), { userId, rightNo }, link);
    if (st.isError())
        return st;
    *holds = st.isOk();
    return Status::ok();
}

bool Security::hasRight(qint32 userId, qint32 rightNo)
{
    bool holds = false;
    return checkRight(userId, rightNo, &holds) && holds;
}

Status Security::setPassword(qint32 userId, const QString &password)
{
    Record user;
    if (const Status st = fetchUser(userId, &user); !st)
        return st;
    const QString hash = PasswordHasher::hash(password, m_cost);
    if (hash.isEmpty())
        return Status::error(QStringLiteral("The password could not be hashed."));
    user.setText("PasswordSalt", QString());
    user.setText("PasswordHash", hash);
    Table users(m_db, kUsers);
    return users.update(user);
}

Status Security::addUser(const NewUser &user, qint32 *userId)
{
    const QString initials = user.initials.trimmed().toUpper();
    if (initials.isEmpty() || initials.size() > kMaxInitials)
        return Status::error(
            QStringLiteral("A user's initials must have one to three characters: \"%1\"").arg(user.initials));
    Record existing;
    const Status found = findUser(initials, &existing);
    if (found.isError())
        return found;
    if (found.isOk())
        return Status::duplicate(QStringLiteral("The initials %1 are taken already.").arg(initials));

    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    Table users(m_db, kUsers);
    Record r = users.newRecord();
    if (const Status st = users.prime(r); !st)
        return st;
    r.setText("Initials", initials);
    r.setText("FullName", user.fullName);
    r.setText("Email", user.email);
    r.setLong("Administrator", user.administrator ? 1 : 0);
    r.setLong("Active", 1);
    if (!user.password.isEmpty()) {
        const QString hash = PasswordHasher::hash(user.password, m_cost);
        if (hash.isEmpty())
            return Status::error(QStringLiteral("The password could not be hashed."));
        r.setText("PasswordHash", hash);
    }
    if (const Status st = users.insert(r); !st) {
        users.release(r);
        return st;
    }
    const qint32 id = r.toLong("UserID");
    for (qint32 right : user.rights) {
        if (const Status st = grantRight(id, right); !st)
            return st;
    }
    if (const Status st = tx.commit(); !st)
        return st;
    if (userId)
        *userId = id;
    return Status::ok();
}

Status Security::grantRight(qint32 userId, qint32 rightNo)
{
    Table rights(m_db, kUserRights);
    Record link = rights.newRecord();
    const Status held = rights.fetch(QStringLiteral("USERRIGHTKEY"), { userId, rightNo }, link);
    if (!held.isNotFound())
        return held;
    if (const Status st = rights.prime(link); !st)
        return st;
    link.setLong("UserID", userId);
    link.setLong("RightNo", rightNo);
    const Status st = rights.insert(link);
    if (!st)
        rights.release(link);
    return st;
}

Status Security::revokeRight(qint32 userId, qint32 rightNo)
{
    Table rights(m_db, kUserRights);
    Record link = rights.newRecord();
    const Status held = rights.fetch(QStringLiteral("USERRIGHTKEY"), { userId, rightNo }, link);
    if (held.isNotFound())
        return Status::ok();
    return held ? rights.remove(link) : held;
}

} // namespace bizlib::security
