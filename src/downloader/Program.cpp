#include "downloader/Program.h"

#include "bizlib/Database.h"
#include "config/AttachmentCopyRules.h"
#include "config/ConsoleSettingsFile.h"
#include "config/DatabaseIni.h"
#include "config/DownloaderReport.h"
#include "config/IniFile.h"
#include "config/LocalIniPath.h"
#include "config/SystemConfigFile.h"
#include "config/TraceLog.h"
#include "downloader/Arguments.h"
#include "downloader/AttachmentDownloader.h"
#include "downloader/DownloadLog.h"
#include "downloader/HotFolderWriter.h"
#include "downloader/HttpFetch.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#ifndef WEBCONSOLE_VERSION
#define WEBCONSOLE_VERSION "unknown"
#endif

namespace downloader {

namespace {

// The web monitor's proxy, which is how this site reaches the website.
HttpFetch::Options fetchOptions(const config::ConsoleSettings &settings)
{
    HttpFetch::Options options;
    if (settings.useProxy && !settings.proxyServer.trimmed().isEmpty()) {
        options.proxy = settings.proxyServer.trimmed();
        if (settings.proxyPort > 0)
            options.proxy += u':' + QString::number(settings.proxyPort);
        options.proxyUser = settings.proxyUser.trimmed();
        options.proxyPassword = settings.proxyPassword;
    }
    return options;
}

} // namespace

int Program::run(
    const QStringList &arguments, const QProcessEnvironment &environment, QTextStream &out, QTextStream &err)
{
    const QString reports = environment.value(QString::fromLatin1(config::DownloaderReport::kFolderVariable));
    const Arguments args = Arguments::parse(arguments);
    if (reports.isEmpty() || args.help || args.version || args.parentRef.isEmpty())
        return runOnce(arguments, environment, out, err);

    config::DownloaderReport report;
    report.subject
        = (args.parentType == Arguments::ParentType::Quote ? QStringLiteral("Quote ") : QStringLiteral("Order "))
        + args.parentRef;
    // The messages go to `err` as ever, and into the report.
    QString said;
    QTextStream capture(&said);
    QString error;
    const QString mark = config::DownloaderReport::markRunning(reports, report.subject, &error);
    if (mark.isEmpty())
        capture << "downloader: " << error << '\n';
    const int code = runOnce(arguments, environment, out, capture);
    capture.flush();
    err << said;
    report.exitCode = code;
    const QString prefix = QStringLiteral("downloader: ")
        + AttachmentDownloader::logPrefix(args.parentType, args.parentId, args.parentRef);
    for (QString line : said.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(prefix))
            line.remove(0, prefix.size());
        else if (line.startsWith(QLatin1String("downloader: ")))
            line.remove(0, 12);
        report.messages << line;
    }
    if (!config::DownloaderReport::write(reports, report, &error))
        err << "downloader: " << error << '\n';
    else if (!mark.isEmpty())
        QFile::remove(mark); // left when no report could be written: the run is then told as one without
    return code;
}

int Program::runOnce(
    const QStringList &arguments, const QProcessEnvironment &environment, QTextStream &out, QTextStream &err)
{
    const Arguments args = Arguments::parse(arguments);
    if (args.help) {
        out << Arguments::helpText();
        return Done;
    }
    if (args.version) {
        out << "downloader " << WEBCONSOLE_VERSION << '\n';
        return Done;
    }
    if (!args.error.isEmpty()) {
        err << "downloader: " << args.error << "\nTry \"downloader --help\".\n";
        return BadArguments;
    }

    QStringList iniArgs { arguments.value(0) };
    if (!args.iniFile.isEmpty())
        iniArgs << QStringLiteral("--ini") << args.iniFile;
    const QString localIni = config::resolveLocalIniPath(iniArgs, environment);
    const QString prefix = AttachmentDownloader::logPrefix(args.parentType, args.parentId, args.parentRef);
    const config::IniFile local(localIni);
    if (!local.exists()) {
        // Without the workstation there is no hot folder to log beside either.
        err << "downloader: " << prefix << "the workstation settings file " << QDir::toNativeSeparators(localIni)
            << " does not exist\n";
        return NoWorkstation;
    }
    const config::SystemConfig system = config::readSystemConfig(local, {}, args.company);
    config::TraceOptions quiet;
    quiet.debugOutputOff = true;
    config::TraceLog trace(quiet);
    const config::SettingsFiles files { config::webMonitorIniPath(system.globalPath, args.company), localIni };
    const config::ConsoleSettings settings = config::getIniSettings(files, system.resourcePath, trace);

    // An empty or relative hot folder would put the files (and the log) wherever this program
    // happened to be started.
    const QString hotProblem = HotFolderWriter::problem(settings.hotFolder,
        QStringLiteral("hot folder (\"HotFolder\" in %1)").arg(QDir::toNativeSeparators(files.webMonitorIni)));
    if (!hotProblem.isEmpty()) {
        err << "downloader: " << prefix << hotProblem << '\n';
        return NoWorkstation;
    }

    DownloadLog log(DownloadLog::besideHotFolder(settings.hotFolder));
    const auto complain = [&](const QString &text) {
        err << "downloader: " << prefix << text << '\n';
        if (!log.write(prefix + text))
            err << "downloader: " << log.lastError() << '\n';
    };

    bizlib::Database db(config::databaseConfigFromIni(local));
    if (const bizlib::Status st = db.open(); !st) {
        complain(QStringLiteral("the business database cannot be used: %1").arg(st.message()));
        return NoWorkstation;
    }

    const HttpFetch fetch(fetchOptions(settings));
    AttachmentDownloader downloader(db,
        { settings.hotFolder, settings.edocHotFolder,
            config::attachmentCopyRules(local, system.globalData, system.localData) },
        fetch, log);
    const AttachmentDownloader::Outcome outcome = downloader.run(args.parentType, args.parentId, args.parentRef);
    db.close();
    if (!outcome.readError.isEmpty()) {
        err << "downloader: " << prefix << outcome.readError << '\n';
        return NoWorkstation;
    }
    for (const QString &failure : outcome.failures)
        err << "downloader: " << prefix << failure << '\n';
    if (!log.lastError().isEmpty())
        err << "downloader: " << log.lastError() << '\n';
    if (!outcome.ok()) {
        err << "downloader: " << outcome.failures.size() << " of " << outcome.attachments
            << " attachments did not arrive; see " << QDir::toNativeSeparators(log.path()) << '\n';
        return SomeFailed;
    }
    return Done;
}

} // namespace downloader
