#include "quotes/AttachmentNames.h"

#include <QRegularExpression>

namespace quotes {

std::optional<QString> AttachmentNames::safeName(const QString &nameOrPath)
{
    const qsizetype cut = std::max(nameOrPath.lastIndexOf(u'/'), nameOrPath.lastIndexOf(u'\\'));
    const QString name = nameOrPath.mid(cut + 1).trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(u':'))
        return std::nullopt;
    return name;
}

bool AttachmentNames::isUrl(const QString &path)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return scheme.match(path.trimmed()).hasMatch();
}

bool AttachmentNames::isOnLocalDrive(const QString &path)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]"));
    const QString p = path.trimmed();
    if (drive.match(p).hasMatch())
        return true;
    // "//server/share" is a network path, not a local drive.
    return p.startsWith(u'/') && !p.startsWith(QLatin1String("//"));
}

bool AttachmentNames::isFilePath(const QString &path)
{
    const QString p = path.trimmed();
    return !isUrl(p) && (p.contains(u'\\') || p.contains(u'/'));
}

} // namespace quotes
