#pragma once

#include <QString>

namespace bizlib {

// Who is logged on to the business system on this workstation: what the libraries stamp on
// the records they create.
struct Session
{
    qint32 userId = 0;
    QString userCode; // the user's initials, at most three characters
    QString userName; // full name
    QString email;
};

} // namespace bizlib
