#include "quotes/DetachedDownloader.h"

#include "config/DownloaderReport.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

namespace quotes {

bool DetachedDownloader::start(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!m_workstationIni.isEmpty())
        env.insert(QStringLiteral("WEBCONSOLE_INI"), m_workstationIni);
    // A folder that cannot be made leaves the downloader without one: it still does its work.
    if (!m_reportsFolder.isEmpty() && QDir().mkpath(m_reportsFolder))
        env.insert(QString::fromLatin1(config::DownloaderReport::kFolderVariable), m_reportsFolder);
    else
        env.remove(QString::fromLatin1(config::DownloaderReport::kFolderVariable));
    process.setProcessEnvironment(env);
    return process.startDetached();
}

} // namespace quotes
