#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace app {

// One running copy per program file and company.
// The base text is the upper-cased program path, "-" and the company number (two digits at
// least); the name derived from it is what the lock is called. A lock held by a live process
// means another copy runs; a lock left by a process that died is taken over.
class SingleInstance
{
public:
    enum class Result {
        Acquired,
        HeldElsewhere, // another copy runs
        Failed, // the lock could not be made at all (errorString() says why)
    };

    static QString baseText(const QString &programPath, int company);
    // "{" then, for positions 1..50 of the base text, one character of "0123456789ABCDE" chosen
    // by (position + character code) mod 16 ("F" for a remainder of 0), with "-" after the 8th
    // and 12th alphabet characters; then "}". Capped at 63 characters.
    // A base text longer than 50 characters folds its further characters in: the code at each
    // position is the sum of the codes at that position, 50 further, 100 further ...; and a dash
    // is left out where it would push a position or the brace beyond 63 characters. Two texts of
    // one length that differ in one or two neighbouring digits (the company number) therefore
    // always get different names. Texts of up to 50 characters keep the name given above.
    static QString name(const QString &baseText);

    // The name of the lock of `programPath` and `company`: name() of their base text and the
    // company number. name() alone gives some companies one name (its 50 positions count
    // character codes modulo 16, in which the "0" that makes company 120 of company 12 counts
    // nothing); the number makes every company's lock its own.
    static QString lockName(const QString &programPath, int company);

    // Where the locks live by default: the session's runtime folder (XDG_RUNTIME_DIR, which Qt
    // accepts only when it is the user's own, mode 0700); without one, "webconsole-locks-" and
    // the host name in the user's cache folder (~/.cache), made for the user alone. Never a
    // shared folder such as /tmp, where another user could take the lock's name first. Empty
    // when neither can be found.
    static QString defaultFolder();

    // Tries to take the lock named `name` in `folder` (default: defaultFolder()).
    Result acquire(const QString &name, const QString &folder = {});
    QString lockPath() const { return m_path; }
    QString errorString() const { return m_error; }

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_path;
    QString m_error;
};

} // namespace app
