#include "quotes/UserLookup.h"

#include "bizlib/Table.h"

namespace quotes {

bizlib::Status UserLookup::fetch(bizlib::Database &db, const QString &initials, bizlib::Record *user)
{
    bizlib::Table users(db, QStringLiteral("Users"));
    *user = users.newRecord();
    const QString code = initials.trimmed();
    if (code.isEmpty())
        return bizlib::Status::notFound();
    return users.fetch(QStringLiteral("USERKEY"), { code }, *user);
}

QString UserLookup::email(bizlib::Database &db, const QString &initials)
{
    bizlib::Record user;
    return fetch(db, initials, &user) ? user.text("Email").trimmed() : QString();
}

} // namespace quotes
