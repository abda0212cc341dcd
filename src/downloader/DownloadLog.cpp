#include "downloader/DownloadLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace downloader {

DownloadLog::DownloadLog(QString path)
    : m_path(std::move(path))
{ }

QString DownloadLog::besideHotFolder(const QString &hotFolder)
{
    const QString folder = QFileInfo(QDir::cleanPath(QDir(hotFolder).absolutePath())).path();
    return QDir(folder).filePath(QLatin1String(FileName));
}

bool DownloadLog::write(const QString &text)
{
    QString line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + text;
    for (QChar &c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    line += u'\n';
    const QByteArray bytes = line.toUtf8();
    const QByteArray name = QFile::encodeName(m_path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        m_error = QStringLiteral("cannot write the log %1: %2")
                      .arg(m_path,
                          error == ELOOP ? QStringLiteral("it is a symbolic link, which is not followed")
                                         : QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    // One write call per line: O_APPEND puts it whole at the end, whoever else writes.
    const ssize_t written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    const int error = errno;
    ::close(fd);
    if (written != bytes.size()) {
        m_error = QStringLiteral("cannot write the log %1: %2")
                      .arg(m_path,
                          written < 0 ? QString::fromLocal8Bit(std::strerror(error))
                                      : QStringLiteral("the line was cut short"));
        return false;
    }
    return true;
}

QString DownloadLog::shownAddress(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^\\s*[A-Za-z][A-Za-z0-9+.-]*://"));
    if (!scheme.match(text).hasMatch())
        return text;
    const QString trimmed = text.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    if (url.isValid() && !url.host().isEmpty())
        return url.toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment);
    // Too broken to parse: cut by hand, and rather too much than too little (a user name or
    // password may hold "/" in such an address).
    const qsizetype start = trimmed.indexOf(QLatin1String("://")) + 3;
    QString rest = trimmed.mid(start);
    const qsizetype end = rest.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (end >= 0)
        rest.truncate(end);
    const qsizetype at = rest.lastIndexOf(u'@');
    if (at >= 0)
        rest.remove(0, at + 1);
    return trimmed.left(start) + rest;
}

} // namespace downloader
