#include "downloader/AttachmentSource.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace downloader {

namespace {

AttachmentSource refused(const QString &reason)
{
    AttachmentSource s;
    s.reason = reason;
    return s;
}

QString lastPart(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

AttachmentSource localFile(const QString &path)
{
    if (!path.startsWith(u'/'))
        return refused(QStringLiteral("is neither an http(s) address nor an absolute file path"));
    if (path.split(u'/').contains(QStringLiteral("..")))
        return refused(QStringLiteral("has \"..\" in its path"));
    AttachmentSource s;
    s.kind = AttachmentSource::Kind::LocalFile;
    s.location = QDir::cleanPath(path);
    s.fileName = lastPart(s.location);
    return s;
}

} // namespace

AttachmentSource AttachmentSource::classify(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return refused(QStringLiteral("names no file or address"));
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]"));
    if (drive.match(t).hasMatch() || t.startsWith(QLatin1String("\\\\")))
        return refused(QStringLiteral("is a Windows drive or network path, which this computer cannot reach"));
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch m = scheme.match(t);
    if (!m.hasMatch())
        return localFile(t);

    const QString name = m.captured(1).toLower();
    const QUrl url(t, QUrl::StrictMode);
    if (name == QLatin1String("http") || name == QLatin1String("https")) {
        if (!url.isValid() || url.host().isEmpty())
            return refused(QStringLiteral("is not a valid web address"));
        AttachmentSource s;
        s.kind = Kind::Web;
        s.location = url.toString(QUrl::FullyEncoded);
        s.fileName = lastPart(url.path(QUrl::FullyDecoded));
        return s;
    }
    if (name == QLatin1String("file")) {
        const QString host = url.host();
        if (!url.isValid() || !(host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0))
            return refused(QStringLiteral("is not a file address of this computer"));
        return localFile(url.path(QUrl::FullyDecoded));
    }
    return refused(
        QStringLiteral("has the address scheme %1:, only http, https and local files are fetched").arg(name));
}

} // namespace downloader
