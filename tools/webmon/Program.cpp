#include "Program.h"

#include "WebMonitor.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "config/ConsoleSettingsFile.h"
#include "config/DatabaseIni.h"
#include "config/IniFile.h"
#include "config/LocalIniPath.h"
#include "config/SystemConfigFile.h"
#include "config/TraceLog.h"
#include "demo/DemoWorkspace.h"

#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace webmon {

namespace {

// SIGINT and SIGTERM end the monitor between rounds: the handler only writes a byte to a socket
// that the event loop watches (nothing else is safe inside a signal handler).
int g_signalSocket[2] = { -1, -1 };

void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[1], &byte, 1);
}

class StopSignals
{
public:
    explicit StopSignals(QEventLoop &loop)
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSocket) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(g_signalSocket[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &loop, [&loop] {
            char byte = 0;
            [[maybe_unused]] const ssize_t got = ::read(g_signalSocket[0], &byte, 1);
            loop.quit();
        });
        struct sigaction action = {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, &m_oldInt);
        ::sigaction(SIGTERM, &action, &m_oldTerm);
    }
    ~StopSignals()
    {
        if (!m_notifier)
            return;
        ::sigaction(SIGINT, &m_oldInt, nullptr);
        ::sigaction(SIGTERM, &m_oldTerm, nullptr);
        m_notifier.reset();
        ::close(g_signalSocket[0]);
        ::close(g_signalSocket[1]);
        g_signalSocket[0] = g_signalSocket[1] = -1;
    }

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_oldInt = {};
    struct sigaction m_oldTerm = {};
};

// A number option; false with a message when it is given but not a whole number in range.
bool readNumber(const QCommandLineParser &parser, const QString &option, int low, int high, int *value, QString *error)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const qint64 n = parser.value(option).trimmed().toLongLong(&ok);
    if (!ok || n < low || n > high) {
        *error = QStringLiteral("--%1 wants a whole number from %2 to %3, not \"%4\".")
                     .arg(option)
                     .arg(low)
                     .arg(high)
                     .arg(parser.value(option));
        return false;
    }
    *value = int(n);
    return true;
}

void log(QTextStream &out, const QDateTime &now, int round, const WebMonitor::Report &report)
{
    out << now.time().toString(QStringLiteral("HH:mm:ss")) << " round " << round << ": " << report.arrived.size()
        << " arrived, " << report.tasks.size() << " webtask steps, " << report.accounts << " website users\n";
    for (const QString &line : report.arrived)
        out << "  arrived: " << line << '\n';
    for (const QString &line : report.tasks)
        out << "  webtask " << line << '\n';
    if (report.tasksLeft > 0)
        out << "  " << report.tasksLeft << " webtask(s) changed by someone else meanwhile, left as they are\n";
    out.flush();
}

} // namespace

int Program::run(
    const QStringList &arguments, const QProcessEnvironment &environment, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the web monitor service for demos and tests: new web quote requests, web orders and sign-ups "
        "arrive, webtasks are carried out, the website's users are written to accounts.xml, and the consoles "
        "are told."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({ QStringLiteral("ini"), QStringLiteral("The workstation INI file (as for webconsole)."),
        QStringLiteral("FILE") });
    parser.addOption({ QStringLiteral("company"),
        QStringLiteral("Company number (default: CompanyNo of the INI file)."), QStringLiteral("N") });
    parser.addOption({ QStringLiteral("interval"), QStringLiteral("Seconds between rounds (default 20)."),
        QStringLiteral("SECONDS") });
    parser.addOption({ QStringLiteral("once"), QStringLiteral("Make one round and exit.") });
    parser.addOption({ QStringLiteral("seed"), QStringLiteral("Seed of the random choices (default: the time)."),
        QStringLiteral("N") });
    parser.addOption({ QStringLiteral("uploads"),
        QStringLiteral("Folder for the files of arriving attachments (default: uploads in the GlobalData folder)."),
        QStringLiteral("DIR") });
    if (!parser.parse(arguments)) {
        err << "webmon-demo: " << parser.errorText() << "\nTry \"webmon-demo --help\".\n";
        return BadArguments;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return Done;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << "webmon-demo " << WEBCONSOLE_VERSION << '\n';
        return Done;
    }
    int interval = 20;
    int company = -1;
    int seed = int(QDateTime::currentMSecsSinceEpoch() % 1000000);
    QString error;
    if (!parser.positionalArguments().isEmpty())
        error = QStringLiteral("unexpected argument \"%1\".").arg(parser.positionalArguments().constFirst());
    if (!error.isEmpty() || !readNumber(parser, QStringLiteral("interval"), 1, 86400, &interval, &error)
        || !readNumber(parser, QStringLiteral("company"), 0, 99, &company, &error)
        || !readNumber(parser, QStringLiteral("seed"), 0, std::numeric_limits<int>::max(), &seed, &error)) {
        err << "webmon-demo: " << error << '\n';
        return BadArguments;
    }

    QStringList iniArgs { arguments.value(0) };
    if (parser.isSet(QStringLiteral("ini")))
        iniArgs << QStringLiteral("--ini") << parser.value(QStringLiteral("ini"));
    const QString localIni = config::resolveLocalIniPath(iniArgs, environment);
    const config::IniFile local(localIni);
    if (!local.exists()) {
        err << "webmon-demo: the workstation settings file " << QDir::toNativeSeparators(localIni)
            << " does not exist (create a demo workspace with webconsole-demo)\n";
        return NoWorkstation;
    }
    const QString iniFolder = QFileInfo(localIni).absolutePath();
    if (!demo::isDemoWorkspace(iniFolder)) {
        // It would mark real webtasks done, add invented requests and overwrite the website's
        // account list.
        err << "webmon-demo: refused: " << QDir::toNativeSeparators(localIni)
            << " is not the workstation settings file of a demo workspace. " << demo::notADemoWorkspace(iniFolder)
            << '\n';
        return NotADemo;
    }
    if (company < 0)
        company = int(local.number(QStringLiteral("Multicompany"), QStringLiteral("CompanyNo"), 0));
    const config::SystemConfig system = config::readSystemConfig(local, {}, company);
    config::TraceOptions quiet;
    quiet.debugOutputOff = true;
    config::TraceLog trace(quiet);
    const QString webmonIni = config::webMonitorIniPath(system.globalPath, company);
    const config::ConsoleSettings settings
        = config::getIniSettings({ webmonIni, localIni }, system.resourcePath, trace);

    const QString globalData = system.globalData.trimmed();
    WebMonitor::Setup setup;
    setup.companyNo = company;
    setup.seed = quint32(seed);
    setup.accountsFile
        = QDir(globalData.isEmpty() ? QDir::currentPath() : globalData).filePath(QStringLiteral("accounts.xml"));
    setup.uploadFolder = parser.isSet(QStringLiteral("uploads"))
        ? QFileInfo(parser.value(QStringLiteral("uploads"))).absoluteFilePath()
        : globalData.isEmpty() ? demo::uploadFolder(iniFolder)
                               : QDir(globalData).filePath(QStringLiteral("uploads"));
    setup.tasks.maxWebtasks = settings.maxWebtasks; // 0 is taken as 1
    setup.tasks.maxAttempts = settings.maxAttempts;

    bizlib::Database db(config::databaseConfigFromIni(local));
    bizlib::Status st = db.open();
    if (st)
        st = db.ensureSchema(bizlib::Dictionary::instance());
    if (!st) {
        err << "webmon-demo: the business database cannot be used: " << st.message() << '\n';
        return NoWorkstation;
    }

    WebMonitor monitor(db, setup);
    int round = 0;
    const auto once = [&] {
        const QDateTime now = QDateTime::currentDateTime();
        WebMonitor::Report report;
        const bizlib::Status done = monitor.round(now, &report);
        log(out, now, ++round, report);
        if (!done) {
            err << "webmon-demo: round " << round << " did not finish: " << done.message() << '\n';
            err.flush();
        }
        return done.isOk();
    };
    if (parser.isSet(QStringLiteral("once"))) {
        const bool ok = once();
        db.close();
        return ok ? Done : RoundFailed;
    }

    out << "webmon-demo: company " << company << ", a round every " << interval << " s; accounts in "
        << QDir::toNativeSeparators(setup.accountsFile) << ", uploads in "
        << QDir::toNativeSeparators(setup.uploadFolder) << ". Stop with Ctrl+C.\n";
    out.flush();
    QEventLoop loop;
    StopSignals stop(loop);
    QTimer timer;
    timer.setInterval(interval * 1000);
    QObject::connect(&timer, &QTimer::timeout, &loop, once);
    timer.start();
    loop.exec();
    out << "webmon-demo: stopped after " << round << " rounds.\n";
    db.close();
    return Done;
}

} // namespace webmon
