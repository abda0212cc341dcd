#pragma once

#include "bizlib/Status.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QRandomGenerator>

namespace bizlib {
class Database;
}

namespace webmon {

// The website's user accounts as the web monitor reports them in "accounts.xml", made up from the
// business database: every contact with an e-mail address (account 10000 + its contact ID), a
// shared "accounts & purchasing" login for every third client (20000 + client ID) and every web
// sign-up (50000 + sign-up ID: "Pending" while it waits, "Active" once accepted or for a
// consumer, "Suspended" when rejected). Logins are played: each round some users of active
// accounts log in or make a request; a user counts as active (flag "TRUE") while the last request
// is less than a quarter of an hour old. The sessions live in this object from round to round.
class AccountList
{
public:
    struct Account
    {
        qint32 id = 0;
        QString name;
        QString email;
        QString status; // "Active", "Inactive", "Pending", "Suspended"
        qint32 clientId = 0; // 0: no business client yet
        QDateTime lastLogin; // invalid: never logged in
        QDateTime lastRequest;
        QString lastLoginIp;
        bool active = false;
    };

    explicit AccountList(QRandomGenerator &rng);

    // Reads the accounts again and plays the logins up to `now`.
    bizlib::Status refresh(bizlib::Database &db, const QDateTime &now);
    const QList<Account> &accounts() const { return m_accounts; }

    // Writes the file: root "accounts", one "account" per user with the elements "id", "name",
    // "email", "status", "username", "active" ("TRUE"/"FALSE"), "lastrequestdate",
    // "lastrequesttime", "lastlogindate", "lastlogintime" (ISO date, "HH:mm"; empty when never),
    // "lastloginip" and "clientid", in that order. The file is replaced in one step, so that a
    // console reading it never sees half of it.
    bool write(const QString &path, QString *error) const;

private:
    struct Session
    {
        QDateTime lastLogin;
        QDateTime lastRequest;
        QString ip;
    };

    void play(Account &account, const QDateTime &now);
    QString randomAddress();

    QRandomGenerator &m_rng;
    QList<Account> m_accounts;
    QHash<qint32, Session> m_sessions; // by account
};

} // namespace webmon
