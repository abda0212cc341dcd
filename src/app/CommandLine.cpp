#include "app/CommandLine.h"

namespace app {

namespace {
// "/ForceRun", "--forcerun", "-FORCERUN" all give "forcerun"; other arguments give "".
QString switchWord(const QString &arg)
{
    if (arg.startsWith(QLatin1String("--")))
        return arg.mid(2).toLower();
    if (arg.startsWith(u'/') || arg.startsWith(u'-'))
        return arg.mid(1).toLower();
    return {};
}
} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine cl;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        QString word = switchWord(arg);
        QString value;
        if (const qsizetype eq = word.indexOf(u'='); eq > 0) {
            value = arg.mid(arg.indexOf(u'=') + 1);
            word = word.left(eq);
        }
        auto takeValue = [&]() -> QString {
            if (!value.isEmpty())
                return value;
            return i + 1 < arguments.size() ? arguments.at(++i) : QString();
        };
        if (word == QLatin1String("forcerun"))
            cl.forceRun = true;
        else if (word == QLatin1String("setup"))
            cl.setup = true;
        else if (word == QLatin1String("netnolog"))
            cl.netNoLog = true;
        else if (word == QLatin1String("nettalklog"))
            cl.netTalkLog = true;
        else if (word == QLatin1String("nettalklogerrors"))
            cl.netTalkLogErrors = true;
        else if (word == QLatin1String("neterrors"))
            cl.netErrors = true;
        else if (word == QLatin1String("netall"))
            cl.netAll = true;
        else if (word == QLatin1String("help") || word == QLatin1String("h") || word == QLatin1String("?"))
            cl.help = true;
        else if (word == QLatin1String("version"))
            cl.version = true;
        else if (word == QLatin1String("ini"))
            cl.iniFile = takeValue();
        else if (word == QLatin1String("company")) {
            bool ok = false;
            const int n = takeValue().toInt(&ok);
            if (ok && n >= 0)
                cl.company = n;
            else
                cl.unknown << arg;
        } else
            cl.unknown << arg;
    }
    return cl;
}

QString CommandLine::helpText(const QString &program)
{
    return QStringLiteral(
               "Usage: %1 [options]\n"
               "\n"
               "Lists and processes what the website sends: web quote requests, web orders and sign-ups.\n"
               "\n"
               "Options (letter case does not matter; /Word, -word and --word are the same):\n"
               "  --ini FILE          the workstation INI file (default: $WEBCONSOLE_INI, else\n"
               "                      $XDG_CONFIG_HOME/webconsole/webconsole.ini)\n"
               "  --company N         the company number (default: the INI file's [Multicompany] CompanyNo, else 0)\n"
               "  /ForceRun           run even when a copy for the same program and company runs already\n"
               "  /SETUP              open even though no website address is configured\n"
               "  /netnolog           no network library banner lines\n"
               "  /nettalklog, /nettalklogerrors, /neterrors, /netall\n"
               "                      write the network library banner lines to the debug output\n"
               "  --help              this text\n"
               "  --version           the program's version\n"
               "\n"
               "The business database is named in the [Database] section of the INI file:\n"
               "  Driver=QSQLITE with File=business.db (relative to the INI file's folder), or\n"
               "  Driver=QPSQL with Host, Port, Name, User and Password.\n"
               "\n"
               "No INI file yet? \"webconsole-demo --workspace DIR\" makes a demo workspace to start with\n"
               "(\"%1 --ini DIR/webconsole.ini\"); \"webconsole-migrate\" moves a workspace's database to\n"
               "a PostgreSQL server.\n")
        .arg(program);
}

QString CommandLine::versionText(const QString &program)
{
    return QStringLiteral("%1 %2\n").arg(program, QStringLiteral(WEBCONSOLE_VERSION));
}

} // namespace app
