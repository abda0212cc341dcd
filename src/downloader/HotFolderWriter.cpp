#include "downloader/HotFolderWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace downloader {

HotFolderWriter::HotFolderWriter(QString folder)
    : m_folder(QDir::cleanPath(QDir(folder).absolutePath()))
    , m_problem(problem(folder, QStringLiteral("hot folder")))
{ }

QString HotFolderWriter::problem(const QString &folder, const QString &what)
{
    const QString f = folder.trimmed();
    if (f.isEmpty())
        return QStringLiteral("no %1 is set").arg(what);
    if (!QDir::isAbsolutePath(f))
        return QStringLiteral("the %1 \"%2\" is not an absolute path").arg(what, folder);
    return {};
}

bool HotFolderWriter::isPlainName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return true;
}

QString HotFolderWriter::numberedName(const QString &name, int n)
{
    // A leading dot starts a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    const bool hasExtension = dot > 0;
    QString base = hasExtension ? name.left(dot) : name;
    const QString tail = (n > 1 ? u'_' + QString::number(n) : QString()) + (hasExtension ? name.mid(dot) : QString());
    while (!base.isEmpty() && (base + tail).toUtf8().size() > MaxNameBytes)
        base.chop(1);
    return base + tail;
}

bizlib::Status HotFolderWriter::write(const QString &name, const Fill &fill, QString *finalPath)
{
    if (!m_problem.isEmpty())
        return bizlib::Status::error(m_problem);
    if (!isPlainName(name))
        return bizlib::Status::error(QStringLiteral("\"%1\" is not a plain file name").arg(name));
    const QDir dir(m_folder);
    if (!QFileInfo(m_folder).isDir() && !QDir().mkpath(m_folder))
        return bizlib::Status::error(QStringLiteral("the folder %1 does not exist and cannot be made").arg(m_folder));

    QTemporaryFile part(dir.filePath(QStringLiteral(".downloader-XXXXXX.part")));
    if (!part.open())
        return bizlib::Status::error(
            QStringLiteral("cannot write in the folder %1: %2").arg(m_folder, part.errorString()));
    if (const bizlib::Status st = fill(part); !st)
        return st;
    if (!part.flush())
        return bizlib::Status::error(
            QStringLiteral("cannot write in the folder %1: %2").arg(m_folder, part.errorString()));
    part.close();

    for (int n = 1; n <= MaxNameTries; ++n) {
        const QString candidate = dir.filePath(numberedName(name, n));
        QFile claim(candidate);
        if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink())
                continue;
            return bizlib::Status::error(QStringLiteral("cannot create %1: %2").arg(candidate, claim.errorString()));
        }
        // A temporary file is private to its owner; the finished file gets what any new file here gets.
        const QFileDevice::Permissions permissions = claim.permissions();
        claim.close();
        QFile::setPermissions(part.fileName(), permissions);
        // The claimed (empty) file is ours, so replacing it replaces nothing of anyone else's.
        std::error_code ec;
        std::filesystem::rename(
            QFile::encodeName(part.fileName()).toStdString(), QFile::encodeName(candidate).toStdString(), ec);
        if (ec) {
            QFile::remove(candidate);
            return bizlib::Status::error(
                QStringLiteral("cannot create %1: %2").arg(candidate, QString::fromStdString(ec.message())));
        }
        part.setAutoRemove(false);
        *finalPath = candidate;
        return bizlib::Status::ok();
    }
    return bizlib::Status::error(QStringLiteral("no free name for %1 in the folder %2").arg(name, m_folder));
}

} // namespace downloader
