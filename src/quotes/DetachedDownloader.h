#pragma once

#include "quotes/AttachmentDownloader.h"

#include <QString>

namespace quotes {

// The downloader as a detached process: the console does not wait for it. Its fixed command line
// names no settings file, so the workstation INI file the console runs on is handed down in
// WEBCONSOLE_INI: a console started with --ini gets a downloader that reads the same file.
// With a reports folder, the downloader is told (config::DownloaderReport) to leave word there
// of how it ended, which the console picks up later.
class DetachedDownloader : public AttachmentDownloader
{
public:
    explicit DetachedDownloader(QString workstationIni = {}, QString reportsFolder = {})
        : m_workstationIni(std::move(workstationIni))
        , m_reportsFolder(std::move(reportsFolder))
    { }
    bool start(const QString &program, const QStringList &arguments) override;

private:
    QString m_workstationIni;
    QString m_reportsFolder;
};

} // namespace quotes
