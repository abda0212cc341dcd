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
    static QString baseText(const QString &programPath, int company);
    // "{" then, for positions 1..50 of the base text, one character of "0123456789ABCDE" chosen
    // by (position + character code) mod 16 ("F" for a remainder of 0), with "-" after the 8th
    // and 12th alphabet characters; then "}". Capped at 63 characters.
    static QString name(const QString &baseText);

    // Tries to take the lock named `name` in `folder` (default: the user's runtime folder).
    // Returns false when another live process holds it.
    bool acquire(const QString &name, const QString &folder = {});
    QString lockPath() const { return m_path; }

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_path;
};

} // namespace app
