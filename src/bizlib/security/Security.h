#pragma once

#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/security/PasswordHasher.h"

#include <QList>
#include <QMap>
#include <QString>

namespace bizlib {
class Database;
class Record;
} // namespace bizlib

namespace bizlib::security {

class LogonPrompter;

// The business system's security object: users, their rights and the logon.
//
// Users (`USR:`) are known by their initials (one to three characters, unique, letter case
// ignored at logon), with a full name, an e-mail address and a salted password hash
// (PasswordHasher.h). A user whose Active flag is 0 or who has no password hash cannot log on.
// Rights are numbered (`SRT:RightNo`); a user holds a right when a `UserRights` row links them,
// or always when the user's Administrator flag is 1. An inactive user holds no right.
class Security
{
public:
    static constexpr int kMaxTries = 3;
    static constexpr int kMaxInitials = 3;
    // May mark orders as paid.
    static constexpr qint32 kRightMarkOrdersPaid = 44;

    enum class LogonOutcome {
        LoggedOn,
        Cancelled, // the user cancelled the logon dialog
        Refused, // three tries with wrong initials or password
        Failed, // the database could not be read
    };

    struct LogonResult
    {
        LogonOutcome outcome = LogonOutcome::Failed;
        QString message; // the last refusal or the database error
        bool isLoggedOn() const { return outcome == LogonOutcome::LoggedOn; }
    };

    struct NewUser
    {
        QString initials;
        QString fullName;
        QString email;
        QString password; // empty: the user gets no credential and cannot log on yet
        bool administrator = false;
        QList<qint32> rights;
    };

    // Text of a refused try: the same for unknown initials and a wrong password, so that the
    // dialog does not tell which initials exist.
    static QString refusedText() { return QStringLiteral("The initials or the password are not correct."); }
    static QString inactiveText() { return QStringLiteral("This user may not log on."); }
    static QString badRecordText()
    {
        return QStringLiteral("The stored password of this user cannot be checked. An administrator must set it again.");
    }

    // `cost`: the work of the password hashes this object writes (tests pass a small one).
    explicit Security(Database &db, const PasswordHasher::Cost &cost = PasswordHasher::Cost::interactive());

    // LOADQS: reads the catalogue of numbered rights and checks that the user tables can be read.
    // An error says which table failed; the logon cannot run then.
    Status loadQs();
    bool isLoaded() const { return m_loaded; }
    // The rights known after loadQs(): number -> description.
    const QMap<qint32, QString> &rightCatalogue() const { return m_rights; }

    // LOGON: asks for initials and password up to kMaxTries times. On success `session` holds the
    // user (number, initials, full name, e-mail) and the user's last-login stamp is set (a failure
    // to write the stamp does not refuse the logon). `session` is left as it was otherwise.
    LogonResult logon(LogonPrompter &prompter, Session *session);

    // One check of initials and password, without asking. Ok with `session` filled; NotFound with
    // refusedText(), inactiveText() or badRecordText() (a stored hash that is damaged or names a
    // cost beyond the ceilings: refused without computing it) as the message when refused; Error
    // when the database failed. Initials longer than kMaxInitials are refused (they are never cut
    // to fit). Unknown initials take as long as a wrong password.
    // After a successful check, a hash of the older scheme (or of another cost) is replaced by
    // the current scheme's: one conditional update of USR:PasswordHash alone, which changes
    // nothing when the hash was changed meanwhile; its failure does not refuse the logon.
    Status authenticate(const QString &initials, const QString &password, Session *session);

    // Whether the user holds the right; errors give false.
    bool hasRight(qint32 userId, qint32 rightNo);
    Status checkRight(qint32 userId, qint32 rightNo, bool *holds);

    // Stores the hash of `password` for the user (and clears the older scheme's salt). NotFound
    // when there is no such user.
    Status setPassword(qint32 userId, const QString &password);
    // Adds a user with the rights listed. Error for initials that are empty or longer than three
    // characters; Duplicate when the initials (any letter case) are taken. On success *userId
    // (if given) holds the new `USR:UserID`. All or nothing.
    Status addUser(const NewUser &user, qint32 *userId = nullptr);
    // Gives or takes one right; granting a right held already is harmless.
    Status grantRight(qint32 userId, qint32 rightNo);
    Status revokeRight(qint32 userId, qint32 rightNo);

private:
    Status findUser(const QString &initials, Record *user);
    Status fetchUser(qint32 userId, Record *user);
    void upgradeHash(qint32 userId, const QString &stored, const QString &password);

    Database &m_db;
    PasswordHasher::Cost m_cost;
    QString m_decoy; // a hash of m_cost, checked when the initials are unknown
    bool m_loaded = false;
    QMap<qint32, QString> m_rights;
};

} // namespace bizlib::security
