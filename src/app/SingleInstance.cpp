#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

namespace app {

QString SingleInstance::baseText(const QString &programPath, int company)
{
    return (programPath + u'-' + QStringLiteral("%1").arg(company, 2, 10, QChar(u'0'))).toUpper().left(255);
}

QString SingleInstance::name(const QString &baseText)
{
    static const QString alphabet = QStringLiteral("0123456789ABCDE");
    constexpr int positions = 50;
    constexpr int maxLength = 63;
    // Characters beyond the 50th add their codes to the position they fold onto, so that two
    // long texts that differ only at the end (the company number) still differ in the name.
    const bool longText = baseText.size() > positions;
    int codes[positions + 1] = {};
    for (int i = 1; i <= baseText.size(); ++i)
        codes[(i - 1) % positions + 1] += baseText.at(i - 1).unicode();

    QString out = QStringLiteral("{");
    auto append = [&out](QChar c) {
        if (out.size() < maxLength)
            out += c;
    };
    for (int i = 1; i <= positions; ++i) {
        const int v = (i + codes[i]) % 16;
        // Positions count from 1 in a 15-character alphabet, so 0 has no character of its own:
        // it takes "F", the next hexadecimal digit.
        append(v == 0 ? QChar(u'F') : alphabet.at(v - 1));
        // A short text keeps its name as it always was, even when dashes push its end past the
        // limit; in a long one a dash gives way, so that every position and the brace fit.
        const bool room = !longText || out.size() + 1 + (positions - i) + 1 <= maxLength;
        if ((v == 8 || v == 12) && room)
            append(u'-');
    }
    append(u'}');
    return out;
}

QString SingleInstance::lockName(const QString &programPath, int company)
{
    return name(baseText(programPath, company)) + u'-' + QString::number(company);
}

QString SingleInstance::defaultFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt falls back to a folder of its own in /tmp when the variable names an unfit folder.
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty() && QFileInfo(runtime) == QFileInfo(qEnvironmentVariable("XDG_RUNTIME_DIR")))
            return runtime;
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return {};
    // One folder per host: a home folder shared by several computers must not let a copy on one
    // of them keep the program from starting on another.
    return QDir(cache).filePath(QStringLiteral("webconsole-locks-") + QSysInfo::machineHostName());
}

SingleInstance::Result SingleInstance::acquire(const QString &name, const QString &folder)
{
    m_error.clear();
    const QString dir = folder.isEmpty() ? defaultFolder() : folder;
    if (dir.isEmpty()) {
        m_error = QStringLiteral("neither a runtime folder (XDG_RUNTIME_DIR) nor a home folder is known");
        return Result::Failed;
    }
    m_path = QDir(dir).filePath(
        QStringLiteral("webconsole-") + QString(name).remove(u'{').remove(u'}') + QStringLiteral(".lock"));
    if (!QFileInfo(dir).isDir()) {
        // Made for this user alone.
        if (!QDir().mkpath(dir)
            || !QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
            m_error = QStringLiteral("the lock folder %1 cannot be created").arg(QDir::toNativeSeparators(dir));
            return Result::Failed;
        }
    }
    m_lock = std::make_unique<QLockFile>(m_path);
    m_lock->setStaleLockTime(0); // never stale by age: only a dead owner frees it
    if (m_lock->tryLock(0))
        return Result::Acquired;
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    if (error == QLockFile::LockFailedError)
        return Result::HeldElsewhere;
    m_error = error == QLockFile::PermissionError
                  ? QStringLiteral("the lock folder %1 cannot be written").arg(QDir::toNativeSeparators(dir))
                  : QStringLiteral("the lock file %1 cannot be created").arg(QDir::toNativeSeparators(m_path));
    return Result::Failed;
}

} // namespace app
