// webconsole-demo: creates a demo workspace (INI files, folders, a SQLite business database with
// demo data) for trying out and testing webconsole.
//
//   webconsole-demo --workspace DIR [--force] [--quotes N] [--orders N] [--database-ini FILE]
//
// Exit code 0 on success (also when DIR already holds a demo workspace and --force is not given:
// nothing is done then), 1 with a message on stderr on failure. A workspace that webconsole-demo
// did not make (no marker file) is never touched, with --force neither.

#include "DemoData.h"
#include "DemoWorkspace.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

bool readCount(const QCommandLineParser &parser, const QString &option, int *count, QString *error)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const int value = parser.value(option).trimmed().toInt(&ok);
    if (!ok || value < 0) {
        *error
            = QStringLiteral("--%1 wants a whole number of 0 or more, not \"%2\".").arg(option, parser.value(option));
        return false;
    }
    *count = value;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("webconsole-demo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(WEBCONSOLE_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Creates a webconsole demo workspace with a SQLite business "
                                                    "database full of demo data (or fills an empty PostgreSQL "
                                                    "database with it)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({ QStringLiteral("workspace"), QStringLiteral("Folder of the workspace (created when missing)."),
        QStringLiteral("DIR") });
    parser.addOption({ QStringLiteral("force"),
        QStringLiteral("Make an existing workspace anew (its database and INI files are replaced).") });
    parser.addOption({ QStringLiteral("quotes"),
        QStringLiteral("Add N further pending web quote requests (for speed tests)."), QStringLiteral("N") });
    parser.addOption({ QStringLiteral("orders"), QStringLiteral("Add N further pending web orders (for speed tests)."),
        QStringLiteral("N") });
    parser.addOption({ QStringLiteral("database-ini"),
        QStringLiteral("Fill the empty PostgreSQL database named in the [Database] section of FILE (Driver=QPSQL, "
                       "Host, Port, Name, User, Password) instead of business.db; the workspace's INI file gets "
                       "that section."),
        QStringLiteral("FILE") });
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << Qt::endl << parser.helpText();
        return 1;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << Qt::endl;
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "Unexpected argument: " << parser.positionalArguments().constFirst() << Qt::endl;
        return 1;
    }
    const QString folder = parser.value(QStringLiteral("workspace")).trimmed();
    if (folder.isEmpty()) {
        err << "Give the workspace folder with --workspace DIR." << Qt::endl;
        return 1;
    }

    demo::WorkspaceOptions options;
    options.force = parser.isSet(QStringLiteral("force"));
    options.databaseIni = parser.value(QStringLiteral("database-ini")).trimmed();
    QString error;
    if (!readCount(parser, QStringLiteral("quotes"), &options.extraQuotes, &error)
        || !readCount(parser, QStringLiteral("orders"), &options.extraOrders, &error)) {
        err << error << Qt::endl;
        return 1;
    }

    if (demo::workspaceExists(folder) && !demo::isDemoWorkspace(folder)) {
        err << "webconsole-demo: " << demo::notADemoWorkspace(folder) << Qt::endl;
        return 1;
    }
    if (!options.force && demo::workspaceExists(folder)) {
        out << "A demo workspace is already there: " << demo::workstationIniPath(folder) << Qt::endl
            << "Nothing done (use --force to make it anew)." << Qt::endl;
        return 0;
    }
    if (!demo::createWorkspace(folder, options, &error)) {
        err << "webconsole-demo: " << error << Qt::endl;
        return 1;
    }
    out << "Demo workspace created: " << demo::workstationIniPath(folder) << Qt::endl
        << "Business database: "
        << (options.databaseIni.isEmpty() ? demo::businessDatabasePath(folder)
                                          : QStringLiteral("the one named in ") + options.databaseIni)
        << Qt::endl;
    if (options.extraQuotes > 0 || options.extraOrders > 0)
        out << "Extra pending requests: " << options.extraQuotes << " web quote requests, " << options.extraOrders
            << " web orders." << Qt::endl;
    out << "Log on with a user's initials (JS, AB, MK, RP, LP, TD) and the password \"" << demo::DemoData::kDemoPassword
        << "\"." << Qt::endl;
    return 0;
}
