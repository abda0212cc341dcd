#include "downloader/Arguments.h"

#include "downloader/HotFolderWriter.h"

namespace downloader {

namespace {

bool isHelp(const QString &arg)
{
    const QString a = arg.toLower();
    return a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("/?");
}

} // namespace

Arguments Arguments::parse(const QStringList &arguments)
{
    Arguments a;
    QStringList problems;
    QStringList seen;
    const QString ini = QStringLiteral("--ini");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (isHelp(arg)) {
            a.help = true;
            continue;
        }
        if (arg.compare(QLatin1String("--version"), Qt::CaseInsensitive) == 0) {
            a.version = true;
            continue;
        }
        if (arg == ini) {
            if (i + 1 < arguments.size())
                a.iniFile = arguments.at(++i);
            else
                problems << QStringLiteral("--ini needs a file name");
            continue;
        }
        if (arg.startsWith(ini + u'=')) {
            a.iniFile = arg.mid(ini.size() + 1);
            continue;
        }
        const qsizetype eq = arg.indexOf(u'=');
        const QString key = arg.left(eq).toLower();
        const QString value = eq < 0 ? QString() : arg.mid(eq + 1).trimmed();
        bool ok = false;
        seen << key;
        if (eq < 0) {
            problems << QStringLiteral("unknown argument \"%1\"").arg(arg);
        } else if (key == QLatin1String("company")) {
            a.company = value.toInt(&ok);
            if (!ok || a.company < 0) {
                a.company = -1;
                problems << QStringLiteral("company must be a company number, not \"%1\"").arg(value);
            }
        } else if (key == QLatin1String("parenttype")) {
            if (value.compare(QLatin1String("quote"), Qt::CaseInsensitive) == 0)
                a.parentType = ParentType::Quote;
            else if (value.compare(QLatin1String("order"), Qt::CaseInsensitive) == 0)
                a.parentType = ParentType::Order;
            else
                problems << QStringLiteral("parenttype must be \"quote\" or \"order\", not \"%1\"").arg(value);
        } else if (key == QLatin1String("parentid")) {
            a.parentId = value.toInt(&ok);
            if (!ok || a.parentId <= 0) {
                a.parentId = 0;
                problems << QStringLiteral("parentid must be a record identifier, not \"%1\"").arg(value);
            }
        } else if (key == QLatin1String("parentref")) {
            // The reference starts every file name written, so it must not lead out of the folder.
            if (HotFolderWriter::isPlainName(value))
                a.parentRef = value;
            else
                problems << QStringLiteral("parentref \"%1\" cannot start a file name").arg(value);
        } else {
            problems << QStringLiteral("unknown argument \"%1\"").arg(arg);
        }
    }
    if (a.help || a.version)
        return a;
    for (const char *name : { "company", "parenttype", "parentid", "parentref" })
        if (!seen.contains(QLatin1String(name)))
            problems << QStringLiteral("%1= is missing").arg(QLatin1String(name));
    a.error = problems.join(QStringLiteral("; "));
    return a;
}

QString Arguments::helpText()
{
    return QStringLiteral("Usage: downloader company=NN parenttype=quote|order parentid=ID parentref=REF [--ini FILE]\n"
                          "\n"
                          "Puts the attachments of one quote or order into the hot folders: files on this computer\n"
                          "are copied, http and https addresses are downloaded. Print-ready artwork (attachments\n"
                          "marked as artwork and output) goes to the \"EdocHotFolder\", everything else to the\n"
                          "\"HotFolder\" of the company's web monitor settings. Each file is named REF_name; a name\n"
                          "already in use gets _2, _3 ... before its extension, so no file is ever replaced.\n"
                          "Every file is logged with date and time to downloader.log in the folder that holds the\n"
                          "\"HotFolder\". Addresses are logged without their user name, password and query.\n"
                          "\n"
                          "  company=NN          the company number (the web monitor settings file webmonNN.ini)\n"
                          "  parenttype=TYPE     quote or order\n"
                          "  parentid=ID         the identifier of the quote or order\n"
                          "  parentref=REF       its number and revision letter, which starts every file name\n"
                          "  --ini FILE          the workstation INI file (default: $WEBCONSOLE_INI, else\n"
                          "                      $XDG_CONFIG_HOME/webconsole/webconsole.ini)\n"
                          "  --help              this text\n"
                          "  --version           the program's version\n"
                          "\n"
                          "With $WEBCONSOLE_DOWNLOADER_REPORTS naming a folder, a report of how the run ended is\n"
                          "left there for the console that started it, which lists a run that failed.\n"
                          "\n"
                          "Exit status: 0 when every attachment arrived, 1 when one or more could not be copied,\n"
                          "downloaded or were refused (the others still arrive), 2 for an unusable command line,\n"
                          "3 when the workstation's hot folder is not set or not an absolute path, or its\n"
                          "database or attachments cannot be read.\n");
}

} // namespace downloader
