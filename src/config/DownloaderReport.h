#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace config {

// How one run of the attachment downloader ended, left for the console that started it: the
// console names a folder in the downloader's environment (kFolderVariable), the downloader writes
// one small file there when it ends, and the console collects the files and shows the failures in
// its processing list. A report file appears whole or not at all.
struct DownloaderReport
{
    static constexpr const char *kFolderVariable = "WEBCONSOLE_DOWNLOADER_REPORTS";

    QString subject; // what the run was for: "Quote 24108"
    int exitCode = 0; // the downloader's exit status: 0 when every attachment arrived
    QStringList messages; // what went wrong, one line each

    bool failed() const { return exitCode != 0; }

    // Writes the report as a new file in `folder`. False, with the reason in *error, when it cannot.
    static bool write(const QString &folder, const DownloaderReport &report, QString *error);
    // Leaves a mark in `folder` that this process runs for `subject`, so that a run that ends
    // without its report (killed, crashed) is still heard of. Returns the mark's path, to be
    // removed once the report is written; empty, with the reason in *error, when it cannot.
    static QString markRunning(const QString &folder, const QString &subject, QString *error);
    // The reports in `folder`, oldest first; each file is removed once read. A file that is not a
    // report is read as a failed run that says so, and removed too, so nothing is collected twice
    // (a file that cannot be removed is collected once, saying so). A run whose process has ended
    // without a report is collected as a failed run of its subject. Call from one thread only.
    static QList<DownloaderReport> collect(const QString &folder);
};

} // namespace config
