#pragma once

#include <QProcessEnvironment>
#include <QStringList>

class QTextStream;

namespace downloader {

// The downloader program from its command line to its exit status: reads the arguments, finds
// the workstation INI file like the console does (--ini, WEBCONSOLE_INI, the XDG folder), reads
// the system configuration and the company's console settings (hot folders, proxy), opens the
// business database and runs AttachmentDownloader. Messages go to `err` and, once the hot folder
// is known, to the log; "--help" and "--version" write to `out` and need no workstation.
class Program
{
public:
    enum ExitCode {
        Done = 0, // every attachment arrived (or there were none)
        SomeFailed = 1, // at least one attachment failed or was refused
        BadArguments = 2, // the command line cannot be used
        NoWorkstation = 3 // no usable hot folder, or the database or the attachments cannot be read
    };

    // With WEBCONSOLE_DOWNLOADER_REPORTS in the environment, a run for a record also leaves its
    // end in that folder for the console (config::DownloaderReport): the exit status and what went
    // wrong.
    static int run(
        const QStringList &arguments, const QProcessEnvironment &environment, QTextStream &out, QTextStream &err);

private:
    static int runOnce(
        const QStringList &arguments, const QProcessEnvironment &environment, QTextStream &out, QTextStream &err);
};

} // namespace downloader
