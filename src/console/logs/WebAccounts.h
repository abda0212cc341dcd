#pragma once

#include <QList>
#include <QString>

class QIODevice;

namespace console {

// One website account as the web monitor reports it in "accounts.xml", each text cut to its
// field's width: identifier 20, name 100, e-mail 200, status 20, active flag 20 ("TRUE" when
// active), the last request's and last login's date and time 20 each, the last login's address 40,
// the client's identifier 20.
struct WebAccount
{
    QString accountId;
    QString name;
    QString email;
    QString status;
    QString active;
    QString lastRequestDate;
    QString lastRequestTime;
    QString lastLoginDate;
    QString lastLoginTime;
    QString lastLoginIp;
    QString clientId;

    // The active flag upper-cased (blanks removed) is "TRUE".
    bool isActive() const;
};

// The account list file the web monitor writes: root element "accounts", one element "account"
// per website user, whose child elements carry the fields (names compared without regard to
// case): "id", "name", "email", "status", "active", "lastrequestdate", "lastrequesttime",
// "lastlogindate", "lastlogintime", "lastloginip", "clientid". Other elements are passed over.
class WebAccounts
{
public:
    // The accounts in file order. False, with no accounts, when the file is missing, unreadable or
    // not well-formed XML.
    static bool read(const QString &path, QList<WebAccount> *accounts);
    static bool read(QIODevice &device, QList<WebAccount> *accounts);
};

} // namespace console
