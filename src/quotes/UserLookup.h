#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

namespace bizlib {
class Database;
}

namespace quotes {

// Users of the business system by their initials (the user key), for the e-mails of processing.
class UserLookup
{
public:
    // NotFound for empty initials and for initials that no user has; Error when the table fails.
    static bizlib::Status fetch(bizlib::Database &db, const QString &initials, bizlib::Record *user);
    // The user's e-mail address, trimmed; empty when the user is missing or has none.
    static QString email(bizlib::Database &db, const QString &initials);
};

} // namespace quotes
