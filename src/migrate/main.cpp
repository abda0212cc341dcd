// webconsole-migrate: copies a workspace's business database into an empty database named in
// another INI file, normally a PostgreSQL database that several workstations are to share.
//
// Exit code 0 when everything was copied, 1 when nothing was (a failure, or a target that
// already holds data), 2 for a bad command line.

#include "bizlib/DatabaseCopy.h"
#include "bizlib/Dictionary.h"
#include "config/DatabaseIni.h"
#include "config/IniFile.h"
#include "config/LocalIniPath.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTextStream>

namespace {

// The database of an INI file that must exist.
bool databaseOf(const QString &iniPath, bizlib::DatabaseConfig *config, QTextStream &err)
{
    if (!QFileInfo(iniPath).isFile()) {
        err << "webconsole-migrate: the INI file " << iniPath << " does not exist." << Qt::endl;
        return false;
    }
    *config = config::databaseConfigFromIni(config::IniFile(iniPath));
    return true;
}

// "1 row", "2 rows".
QString counted(qint64 n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("webconsole-migrate"));
    QCoreApplication::setApplicationVersion(QStringLiteral(WEBCONSOLE_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Copies a webconsole workspace's business database (normally its SQLite file) into an empty\n"
                       "database named in another INI file (normally a PostgreSQL database that several\n"
                       "workstations are to share): every table, the record counters and the change stamps, in one\n"
                       "transaction. A target that already holds data is refused; the row counts of both\n"
                       "databases are compared before the copy is committed. The source is not changed; a\n"
                       "PostgreSQL source is read as one snapshot, so its workstations may go on working.\n"
                       "\n"
                       "The target INI file needs only a [Database] section, for example:\n"
                       "  [Database]\n"
                       "  Driver=QPSQL\n"
                       "  Host=db.example.com\n"
                       "  Port=5432\n"
                       "  Name=business\n"
                       "  User=webconsole\n"
                       "  Password=secret\n"
                       "Afterwards put that section into each workstation's INI file."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("from-ini"),
                      QStringLiteral("The workstation INI file whose database is copied (default: the one webconsole "
                                     "uses, $WEBCONSOLE_INI or $XDG_CONFIG_HOME/webconsole/webconsole.ini)."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("to-ini"),
                      QStringLiteral("An INI file whose [Database] section names the empty target database."),
                      QStringLiteral("FILE")});
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << Qt::endl;
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << Qt::endl;
        return 0;
    }
    if (!parser.positionalArguments().isEmpty() || !parser.isSet(QStringLiteral("to-ini"))) {
        err << "Usage: webconsole-migrate [--from-ini FILE] --to-ini FILE (--help says more)" << Qt::endl;
        return 2;
    }

    QStringList fromArgs{QCoreApplication::applicationFilePath()};
    if (parser.isSet(QStringLiteral("from-ini")))
        fromArgs << QStringLiteral("--ini") << parser.value(QStringLiteral("from-ini"));
    bizlib::DatabaseConfig from;
    bizlib::DatabaseConfig to;
    if (!databaseOf(config::resolveLocalIniPath(fromArgs, QProcessEnvironment::systemEnvironment()), &from, err)
        || !databaseOf(QFileInfo(parser.value(QStringLiteral("to-ini"))).absoluteFilePath(), &to, err))
        return 1;
    // A new SQLite target file may be made; the source must be there.
    to.create = true;

    bizlib::Database source(from);
    bizlib::Database target(to);
    for (bizlib::Database *db : {&source, &target}) {
        if (const bizlib::Status st = db->open(); !st) {
            err << "webconsole-migrate: " << st.message() << Qt::endl;
            return 1;
        }
    }

    out << "Copying the " << from.describe() << Qt::endl << "   into the " << to.describe() << Qt::endl;
    bizlib::DatabaseCopy copy(source, target, bizlib::Dictionary::instance());
    copy.setProgress([&out](const bizlib::DatabaseCopy::TableRows &rows) {
        if (rows.rows > 0)
            out << "  " << rows.table.leftJustified(24) << ' ' << counted(rows.rows, "row", "rows") << Qt::endl;
    });
    bizlib::DatabaseCopy::Report report;
    if (const bizlib::Status st = copy.run(&report); !st) {
        err << "webconsole-migrate: " << st.message() << Qt::endl;
        if (!report.refused)
            err << "Nothing was written to the target." << Qt::endl;
        return 1;
    }
    out << "Copied " << counted(report.rows, "row", "rows") << " in "
        << counted(report.tables.size(), "table", "tables") << ", "
        << counted(report.counters, "record counter", "record counters") << " and "
        << counted(report.stamps, "change stamp", "change stamps") << "; the row counts of both databases agree."
        << Qt::endl
        << "Point the workstations at the new database: put the [Database] section of "
        << parser.value(QStringLiteral("to-ini")) << " into their INI files." << Qt::endl;
    return 0;
}
