#include "downloader/DownloadLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    QFile file(m_path);
    const QByteArray bytes = line.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)
        || file.write(bytes) != bytes.size()) {
        m_error = QStringLiteral("cannot write the log %1: %2").arg(m_path, file.errorString());
        return false;
    }
    return true;
}

} // namespace downloader
