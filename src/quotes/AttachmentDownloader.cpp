#include "quotes/AttachmentDownloader.h"

#include <QCoreApplication>
#include <QDir>

namespace quotes {

QStringList AttachmentDownloader::quoteArguments(
    qint32 companyNo, qint32 quoteId, const QString &number, const QString &revision)
{
    return { QStringLiteral("company=%1").arg(companyNo, 2, 10, QChar(u'0')), QStringLiteral("parenttype=quote"),
        QStringLiteral("parentid=%1").arg(quoteId),
        QStringLiteral("parentref=") + number.trimmed() + revision.trimmed() };
}

QString AttachmentDownloader::program()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("downloader"));
}

bool AttachmentDownloader::startForQuote(
    qint32 companyNo, qint32 quoteId, const QString &number, const QString &revision)
{
    return start(program(), quoteArguments(companyNo, quoteId, number, revision));
}

} // namespace quotes
