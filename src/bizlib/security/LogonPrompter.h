#pragma once

#include <QString>

namespace bizlib::security {

// Asks the user for initials and password: the logon dialog in the program, scripted answers in
// the tests. Security::logon() calls it once per try.
class LogonPrompter
{
public:
    struct Attempt
    {
        int number = 1; // this try, from 1
        int maxTries = 3; // tries allowed in all
        QString message; // why the previous try was refused; empty on the first try
        QString initials; // the initials of the previous try, offered again
    };

    virtual ~LogonPrompter() = default;

    // Shows the request; false when the user cancels (the logon is then refused).
    virtual bool askCredentials(const Attempt &attempt, QString *initials, QString *password) = 0;
};

} // namespace bizlib::security
