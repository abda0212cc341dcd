#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace app {

QString SingleInstance::baseText(const QString &programPath, int company)
{
    return (programPath + u'-' + QStringLiteral("%1").arg(company, 2, 10, QChar(u'0'))).toUpper().left(255);
}

QString SingleInstance::name(const QString &baseText)
{
    static const QString alphabet = QStringLiteral("0123456789ABCDE");
    constexpr int maxLength = 63;
    QString out = QStringLiteral("{");
    auto append = [&out](QChar c) {
        if (out.size() < maxLength)
            out += c;
    };
    for (int i = 1; i <= 50; ++i) {
        const int code = i <= baseText.size() ? baseText.at(i - 1).unicode() : 0;
        const int v = (i + code) % 16;
        // Positions count from 1 in a 15-character alphabet, so 0 has no character of its own:
        // it takes "F", the next hexadecimal digit.
        append(v == 0 ? QChar(u'F') : alphabet.at(v - 1));
        if (v == 8 || v == 12)
            append(u'-');
    }
    append(u'}');
    return out;
}

bool SingleInstance::acquire(const QString &name, const QString &folder)
{
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    m_path = QDir(dir).filePath(QStringLiteral("webconsole-") + QString(name).remove(u'{').remove(u'}') + QStringLiteral(".lock"));
    m_lock = std::make_unique<QLockFile>(m_path);
    m_lock->setStaleLockTime(0); // never stale by age: only a dead owner frees it
    if (m_lock->tryLock(0))
        return true;
    m_lock.reset();
    return false;
}

} // namespace app
