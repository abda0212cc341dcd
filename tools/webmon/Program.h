#pragma once

#include <QProcessEnvironment>
#include <QStringList>

class QTextStream;

namespace webmon {

// The webmon-demo program from its command line to its exit status: finds the workstation INI
// file like the console does (--ini, WEBCONSOLE_INI, the XDG folder), refuses it unless it lies
// in a demo workspace (the marker file of webconsole-demo beside it), reads the company's web
// monitor settings ("MaxWebtasks", "MaxAttempts") and the GlobalData folder, opens the business
// database and plays the web monitor's rounds (WebMonitor), one at once with --once, otherwise
// every --interval seconds until SIGINT or SIGTERM, which end it after the round in hand. Each
// round is logged to `out`; problems go to `err`. A failed round of a running monitor is
// reported and the next round tries again.
class Program
{
public:
    enum ExitCode {
        Done = 0,
        RoundFailed = 1, // --once: the round did not finish
        BadArguments = 2,
        NoWorkstation = 3, // no workstation INI file, or the database cannot be used
        NotADemo = 4 // the INI file is not in a folder that webconsole-demo made: nothing is touched
    };

    static int run(
        const QStringList &arguments, const QProcessEnvironment &environment, QTextStream &out, QTextStream &err);
};

} // namespace webmon
