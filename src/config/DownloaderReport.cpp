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

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace config {

namespace {
const QString kSuffix = QStringLiteral(".report");
const QString kRunning = QStringLiteral(".running");

// Whether process `pid` still runs. Where that cannot be asked, a mark counts as a running
// process for a day.
bool stillRuns(qint64 pid, const QFileInfo &mark)
{
#ifdef Q_OS_UNIX
    Q_UNUSED(mark);
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
#else
    Q_UNUSED(pid);
    return mark.lastModified().secsTo(QDateTime::currentDateTime()) < 24 * 3600;
#endif
}

// The runs that ended without their report: their marks are removed and each is told as a
// failed run (a mark whose process also left a report is only removed).
QList<DownloaderReport> endedWithoutReport(const QDir &dir, const QSet<QString> &pidsReported)
{
    QList<DownloaderReport> ended;
    const QStringList marks = dir.entryList({ QStringLiteral("*") + kRunning }, QDir::Files, QDir::Name);
    for (const QString &name : marks) {
        const QString pidText = name.section(u'-', 0, 0);
        const qint64 pid = pidText.toLongLong();
        if (stillRuns(pid, QFileInfo(dir.filePath(name))))
            continue;
        QFile file(dir.filePath(name));
        const QJsonDocument doc
            = file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()) : QJsonDocument();
        file.close();
        // Its report may have come after the reports were listed: then it is collected next time.
        const bool reported = pidsReported.contains(pidText)
            || !dir.entryList({ QStringLiteral("*-") + pidText + QStringLiteral("-*") + kSuffix }, QDir::Files)
                    .isEmpty();
        const bool removed = QFile::remove(file.fileName());
        if (!removed && !file.exists())
            continue; // the run removed it itself meanwhile
        if (reported)
            continue;
        static QSet<QString> toldButKept;
        if (!removed && toldButKept.contains(file.fileName()))
            continue;
        DownloaderReport r;
        r.subject = doc.object().value(QStringLiteral("subject")).toString();
        if (r.subject.isEmpty())
            r.subject = QStringLiteral("Attachment downloader");
        r.exitCode = -1;
        r.messages << QStringLiteral("The attachment downloader (process %1) ended without saying how: it was "
                                     "stopped or crashed. Its log in the hot folder may say more.")
                          .arg(pid);
        if (!removed) {
            toldButKept.insert(file.fileName());
            r.messages << QStringLiteral("Its mark %1 cannot be removed: %2")
                              .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
        }
        ended << r;
    }
    return ended;
}
} // namespace

QString DownloaderReport::markRunning(const QString &folder, const QString &subject, QString *error)
{
    const QString name = QString::number(QCoreApplication::applicationPid()) + u'-'
        + QUuid::createUuid().toString(QUuid::Id128).left(8) + kRunning;
    QSaveFile file(QDir(folder).filePath(name));
    QJsonObject json;
    json.insert(QStringLiteral("subject"), subject);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(json).toJson()) < 0 || !file.commit()) {
        *error = QStringLiteral("The mark %1 cannot be written: %2")
                     .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
        return {};
    }
    return file.fileName();
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
    QSet<QString> pidsReported; // report names run time-pid-tag
    for (const QString &name : names) {
        pidsReported.insert(name.section(u'-', 1, 1));
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
            r.messages
                << QStringLiteral("Its report %1 cannot be read.").arg(QDir::toNativeSeparators(file.fileName()));
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
    reports << endedWithoutReport(dir, pidsReported);
    return reports;
}

} // namespace config
