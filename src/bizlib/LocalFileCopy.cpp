#include "bizlib/LocalFileCopy.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace bizlib {

namespace {

bool insideAny(const QString &canonical, const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QString root = QFileInfo(folder.trimmed()).canonicalFilePath();
        if (!root.isEmpty() && (canonical.startsWith(root + u'/') || (root == u'/' && canonical.startsWith(u'/'))))
            return true;
    }
    return false;
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

} // namespace

QString LocalFileCopy::refusal(const QString &source) const
{
    const QFileInfo info(source);
    if (!info.exists() && !info.isSymLink())
        return QStringLiteral("the file %1 does not exist").arg(source);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !insideAny(canonical, allowedFolders))
        return QStringLiteral("%1 is not inside a folder that attachments may be copied from").arg(source);
    const QFileInfo real(canonical);
    if (!real.isFile())
        return QStringLiteral("%1 is not a regular file").arg(source);
    if (maxBytes > 0 && real.size() > maxBytes)
        return QStringLiteral("%1 is larger than %2 MB").arg(source, megabytes(maxBytes));
    return {};
}

Status LocalFileCopy::copy(const QString &source, const QString &target) const
{
    const QString why = refusal(source);
    if (!why.isEmpty())
        return Status::error(QStringLiteral("Not copied: %1.").arg(why));
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Status::error(QStringLiteral("The copy %1 cannot be written: %2").arg(target, out.errorString()));
    Status st = copyTo(source, out);
    if (st && !out.flush())
        st = Status::error(QStringLiteral("%1 was not copied: %2").arg(source, out.errorString()));
    if (!st)
        out.resize(0);
    return st;
}

Status LocalFileCopy::copyTo(const QString &source, QIODevice &out) const
{
    const QString why = refusal(source);
    if (!why.isEmpty())
        return Status::error(QStringLiteral("Not copied: %1.").arg(why));
    const QString canonical = QFileInfo(source).canonicalFilePath();
#ifdef Q_OS_UNIX
    // What is opened is checked, not what was looked at: the name may have changed meanwhile.
    const int fd = ::open(QFile::encodeName(canonical).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return Status::error(QStringLiteral("Not copied: %1 cannot be opened: %2")
                                 .arg(source, QString::fromLocal8Bit(std::strerror(errno))));
    struct stat st
    {
    };
    QString refused;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        refused = QStringLiteral("%1 is not a regular file").arg(source);
    else if (maxBytes > 0 && st.st_size > maxBytes)
        refused = QStringLiteral("%1 is larger than %2 MB").arg(source, megabytes(maxBytes));
    QFile in;
    if (refused.isEmpty() && !in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        refused = QStringLiteral("%1 cannot be read: %2").arg(source, in.errorString());
    if (!refused.isEmpty()) {
        if (!in.isOpen())
            ::close(fd);
        return Status::error(QStringLiteral("Not copied: %1.").arg(refused));
    }
#else
    QFile in(canonical);
    if (!in.open(QIODevice::ReadOnly))
        return Status::error(QStringLiteral("Not copied: %1 cannot be read: %2").arg(source, in.errorString()));
#endif
    qint64 copied = 0;
    QByteArray block;
    while (!(block = in.read(1 << 20)).isEmpty()) {
        copied += block.size();
        if ((maxBytes > 0 && copied > maxBytes) || out.write(block) != block.size()) {
            const QString reason
                = copied > maxBytes ? QStringLiteral("it grew beyond the size limit") : out.errorString();
            return Status::error(QStringLiteral("%1 was not copied: %2").arg(source, reason));
        }
    }
    if (in.error() != QFileDevice::NoError)
        return Status::error(QStringLiteral("%1 was not copied: %2").arg(source, in.errorString()));
    return Status::ok();
}

} // namespace bizlib
