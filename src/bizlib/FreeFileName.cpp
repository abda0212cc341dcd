#include "bizlib/FreeFileName.h"

#include <QFile>
#include <QFileInfo>

namespace bizlib {

QString FreeFileName::numbered(const QString &path, int n)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const qsizetype cut = path.size() - info.fileName().size();
    return path.left(cut) + info.completeBaseName() + u'_' + QString::number(n) + suffix;
}

Status FreeFileName::claim(const QString &wanted, QString *claimed)
{
    return claim(wanted, claimed, Options());
}

Status FreeFileName::claim(const QString &wanted, QString *claimed, const Options &options)
{
    claimed->clear();
    for (int n = 1; n <= kMaxTries; ++n) {
        const QString candidate = n == 1 ? wanted : numbered(wanted, n);
        if (options.maxChars > 0 && candidate.size() > options.maxChars)
            break;
        bool taken = false;
        if (options.taken) {
            const Status st = options.taken(candidate, &taken);
            if (!st)
                return st;
        }
        if (taken)
            continue;
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            *claimed = candidate;
            return Status::ok();
        }
        // Taken by a file (or a link, even a dangling one): try the next name. Anything else
        // (no folder, no permission) would fail for every name.
        if (!QFileInfo(candidate).exists() && !QFileInfo(candidate).isSymLink())
            return Status::error(
                QStringLiteral("The file %1 cannot be created: %2").arg(candidate, file.errorString()));
    }
    return Status::notFound(QStringLiteral("No free name is left for %1.").arg(wanted));
}

} // namespace bizlib
