#include "quotes/AttachmentDownloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quotes {

QStringList AttachmentDownloader::quoteArguments(
    qint32 companyNo, qint32 quoteId, const QString &number, const QString &revision)
{
    return { QStringLiteral("company=%1").arg(companyNo, 2, 10, QChar(u'0')), QStringLiteral("parenttype=quote"),
        QStringLiteral("parentid=%1").arg(quoteId),
        QStringLiteral("parentref=") + number.trimmed() + revision.trimmed() };
}

#ifndef WEBCONSOLE_HELPERS_FROM_BIN
#define WEBCONSOLE_HELPERS_FROM_BIN "../lib/webconsole"
#endif

QString AttachmentDownloader::program()
{
    return program(QCoreApplication::applicationDirPath());
}

QString AttachmentDownloader::program(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString installed
        = QDir::cleanPath(folder.absoluteFilePath(QStringLiteral(WEBCONSOLE_HELPERS_FROM_BIN "/downloader")));
    const QString beside = folder.absoluteFilePath(QStringLiteral("downloader"));
    if (!QFileInfo(installed).isExecutable() && QFileInfo(beside).isExecutable())
        return beside;
    return installed;
}

bool AttachmentDownloader::startForQuote(
    qint32 companyNo, qint32 quoteId, const QString &number, const QString &revision)
{
    return start(program(), quoteArguments(companyNo, quoteId, number, revision));
}

} // namespace quotes
