#pragma once

#include <QString>
#include <QStringList>

namespace autorun {

// The command line of webconsole-auto:
//   webconsole-auto [--ini FILE] [--company N] [--once] [--help] [--version]
struct ServiceOptions
{
    QString iniFile; // "--ini FILE" or "--ini=FILE" (empty: WEBCONSOLE_INI, then the XDG default)
    int company = -1; // "--company N" (-1: the INI file's)
    bool once = false; // process what is waiting, then end
    bool help = false;
    bool version = false;
    QString error; // what was wrong with the command line (empty: nothing)

    static ServiceOptions parse(const QStringList &arguments); // arguments[0] is the program
    static QString helpText();
};

// Exit codes of webconsole-auto.
enum ExitCode {
    kExitOk = 0, // ended normally: --once done, or stopped by SIGTERM / SIGINT
    kExitNotStarted = 1, // the workspace, the database or the logon could not be used
    kExitUsage = 2, // a bad command line
    kExitFailures = 3, // --once: at least one request failed or needs a person
};

} // namespace autorun
