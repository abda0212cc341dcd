// webconsole-auto: the console's automatic processing of web quote requests and RFQs as a
// service, without a display. See ServiceOptions::helpText() for its command line, output and
// exit codes.

#include "app/Startup.h"
#include "auto/AutoService.h"
#include "auto/QuietPrompter.h"
#include "auto/ServiceLogon.h"
#include "auto/ServiceOptions.h"
#include "config/TraceCategory.h"

#include <QDir>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void stopSoon(int)
{
    g_stop = 1;
}

void writeLine(std::FILE *to, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const autorun::ServiceOptions options = autorun::ServiceOptions::parse(arguments);
    if (options.help || options.version) {
        std::fputs(
            options.help ? qPrintable(autorun::ServiceOptions::helpText()) : "webconsole-auto " WEBCONSOLE_VERSION "\n",
            stdout);
        return autorun::kExitOk;
    }
    if (!options.error.isEmpty()) {
        writeLine(stderr,
            QStringLiteral("webconsole-auto: %1; \"webconsole-auto --help\" lists the options.").arg(options.error));
        return autorun::kExitUsage;
    }

    // The quote letter is drawn with Qt's fonts and page layout, which need a GUI application;
    // the offscreen platform gives it one with no display at all.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("webconsole-auto"));
    QGuiApplication::setApplicationVersion(QStringLiteral(WEBCONSOLE_VERSION));
    // Each e-mail not sent because e-mail is switched off would be a line of its own; the start
    // says it once instead (QT_LOGGING_RULES still turns the lines back on).
    QLoggingCategory::setFilterRules(QStringLiteral("webconsole.mail.debug=false"));

    struct sigaction action = {};
    action.sa_handler = stopSoon;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // Output to a pipe whose reader went away must not end a run in the middle of a request.
    signal(SIGPIPE, SIG_IGN);
    const auto stopRequested = [] { return g_stop != 0; };

    const auto out = [](const QString &line) { writeLine(stdout, line); };
    const auto err = [](const QString &line) { writeLine(stderr, QStringLiteral("webconsole-auto: ") + line); };
    autorun::QuietPrompter prompter(err);

    app::CommandLine commandLine;
    commandLine.iniFile = options.iniFile;
    commandLine.company = options.company;
    // Several run at once, on one machine as on several: the claims keep them apart.
    commandLine.forceRun = true;
    app::Startup::Environment env;
    env.programPath = QCoreApplication::applicationFilePath();
    env.workingFolder = QDir::currentPath();
    env.prompter = &prompter;
    env.debugLine = [](const QString &line) { qCDebug(config::lcTrace).noquote() << line; };

    int result = autorun::kExitNotStarted;
    bool opened = false;
    app::Startup startup(commandLine, env, QProcessEnvironment::systemEnvironment());
    const int code = startup.run([&](config::AppContext &ctx) {
        opened = true;
        if (const bizlib::Status st = autorun::ServiceLogon::logOn(ctx); !st) {
            err(st.message());
            return app::FrameResult::Refused;
        }
        autorun::AutoService service(ctx, prompter, out, err);
        service.start();
        if (options.once) {
            const autorun::AutoService::Round r = service.round(stopRequested);
            result = r.failed > 0 ? autorun::kExitFailures : autorun::kExitOk;
        } else {
            service.runUntil(stopRequested);
            result = autorun::kExitOk;
        }
        return app::FrameResult::Closed;
    });
    if (!opened) {
        err(QStringLiteral("the workspace could not be opened; nothing was processed."));
        return code != 0 ? code : autorun::kExitNotStarted;
    }
    return result;
}
