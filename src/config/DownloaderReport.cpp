#include "config/DownloaderReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QUuid>

namespace config {

namespace {
const QString kSuffix = QStringLiteral(".report");
}

bool DownloaderReport::write(const QString &folder, const DownloaderReport &report, QString *error)
{
    // Time first, so that the names sort as the runs ended; the rest keeps two runs apart.
    const QString name = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")) + u'-'
        + QString::number(QCoreApplication::applicationPid()) + u'-'
        + QUuid::createUuid().toString(QUuid::Id128).left(8) + kSuffix;
    QSaveFile file(QDir(folder).filePath(name));
    QJsonObject json;
    json.insert(QStringLiteral("subject"), report.subject);
    json.insert(QStringLiteral("exitCode"), report.exitCode);
    json.insert(QStringLiteral("messages"), QJsonArray::fromStringList(report.messages));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(json).toJson()) < 0 || !file.commit()) {
        *error = QStringLiteral("The report %1 cannot be written: %2")
                     .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
        return false;
    }
    return true;
}

QList<DownloaderReport> DownloaderReport::collect(const QString &folder)
{
    QList<DownloaderReport> reports;
    if (folder.isEmpty())
        return reports;
    const QDir dir(folder);
    const QStringList names = dir.entryList({ QStringLiteral("*") + kSuffix }, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        DownloaderReport r;
        QJsonParseError parse {};
        const QJsonDocument doc
            = file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll(), &parse) : QJsonDocument();
        file.close();
        if (doc.isObject()) {
            const QJsonObject json = doc.object();
            r.subject = json.value(QStringLiteral("subject")).toString();
            r.exitCode = json.value(QStringLiteral("exitCode")).toInt();
            for (const QJsonValue &m : json.value(QStringLiteral("messages")).toArray())
                r.messages << m.toString();
        } else {
            r.subject = QStringLiteral("Attachment downloader");
            r.exitCode = -1;
            r.messages << QStringLiteral("Its report %1 cannot be read.").arg(QDir::toNativeSeparators(file.fileName()));
        }
        if (!QFile::remove(file.fileName())) {
            // Told once all the same; the file stays, and later looks pass it over.
            static QSet<QString> toldButKept;
            if (toldButKept.contains(file.fileName()))
                continue;
            toldButKept.insert(file.fileName());
            r.messages << QStringLiteral("Its report %1 cannot be removed: %2")
                              .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
        }
        reports << r;
    }
    return reports;
}

} // namespace config
