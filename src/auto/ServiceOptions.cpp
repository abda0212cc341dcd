#include "auto/ServiceOptions.h"

namespace autorun {

ServiceOptions ServiceOptions::parse(const QStringList &arguments)
{
    ServiceOptions o;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const auto valueOf = [&](const QString &name, QString *value) {
            if (a == name) {
                if (i + 1 >= arguments.size()) {
                    o.error = QStringLiteral("%1 needs a value").arg(name);
                    return true;
                }
                *value = arguments.at(++i);
                return true;
            }
            if (a.startsWith(name + u'=')) {
                *value = a.mid(name.size() + 1);
                return true;
            }
            return false;
        };
        QString value;
        if (a == QLatin1String("--once")) {
            o.once = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (valueOf(QStringLiteral("--ini"), &value)) {
            if (o.error.isEmpty())
                o.iniFile = value;
        } else if (valueOf(QStringLiteral("--company"), &value)) {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (o.error.isEmpty() && (!ok || n < 0))
                o.error = QStringLiteral("--company needs a company number (0 or more), not \"%1\"").arg(value);
            else
                o.company = n;
        } else {
            o.error = QStringLiteral("unknown argument \"%1\"").arg(a);
        }
        if (!o.error.isEmpty())
            break;
    }
    return o;
}

QString ServiceOptions::helpText()
{
    return QStringLiteral(
        "Usage: webconsole-auto [--ini FILE] [--company N] [--once]\n"
        "Processes the waiting web quote requests and requests for quotation of a webconsole workspace\n"
        "automatically, as a console with automatic processing switched on does, without a display.\n"
        "Several may run at once, on one or several machines and beside consoles: the claims keep them\n"
        "apart.\n"
        "\n"
        "  --ini FILE     the workstation INI file (default: $WEBCONSOLE_INI, then\n"
        "                 $XDG_CONFIG_HOME/webconsole/webconsole.ini)\n"
        "  --company N    the company number (default: the INI file's [Multicompany] CompanyNo, else 0)\n"
        "  --once         process what is waiting now, then end (for cron and tests)\n"
        "  --help         this text\n"
        "  --version      the version\n"
        "\n"
        "It logs on as the user named in the INI file's section [AutoProcessing]:\n"
        "  [AutoProcessing]\n"
        "  User=JS                       ; the user's initials\n"
        "  PasswordFile=auto.password    ; the password on its first line (relative to the INI\n"
        "                                ; file's folder); only its owner may read it (chmod 600)\n"
        "The settings AutoProcessQuotes and AutoProcessRFQs of the web monitor settings file say what\n"
        "is processed, RefreshInterval how often (seconds).\n"
        "\n"
        "Output: one line per request processed, declined, failed or left for a person:\n"
        "  TIME request NUMBER RESULT SECONDS DETAIL\n"
        "SIGTERM and SIGINT let the current request finish, then end the program.\n"
        "\n"
        "Exit codes: 0 ended normally (--once done, or stopped by a signal); 1 could not start (the\n"
        "workspace, the database, the logon or the password file); 2 a bad command line; 3 --once:\n"
        "a request failed or needs a person.\n");
}

} // namespace autorun
