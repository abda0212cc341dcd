#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The program's command line. Switches are matched without regard to letter case and count by
// their presence alone; each is accepted in its Windows form ("/ForceRun") and the form Linux
// users type ("--forcerun", "-forcerun").
struct CommandLine
{
    bool forceRun = false;        // "/ForceRun": no single-instance check
    bool setup = false;           // "/SETUP": open even without a website address
    bool netNoLog = false;        // "/netnolog"
    bool netTalkLog = false;      // "/nettalklog"
    bool netTalkLogErrors = false; // "/nettalklogerrors"
    bool netErrors = false;       // "/neterrors"
    bool netAll = false;          // "/netall"
    bool help = false;            // "--help", "-h", "/?"
    bool version = false;         // "--version"
    QString iniFile;              // "--ini FILE" or "--ini=FILE": the workstation INI file
    int company = -1;             // "--company N": the company number (-1: not given)
    QStringList unknown;          // arguments that are none of the above

    static CommandLine parse(const QStringList &arguments); // arguments[0] is the program
    // The network library's banner lines are written when any network switch but "/netnolog" is given.
    bool writesNetBanner() const { return !netNoLog && (netTalkLog || netTalkLogErrors || netErrors || netAll); }
    static QString helpText(const QString &program);
    static QString versionText(const QString &program);
};

} // namespace app
