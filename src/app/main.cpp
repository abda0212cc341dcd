#include "app/CommandLine.h"
#include "app/Frame.h"
#include "app/Startup.h"
#include "app/ui/InterfaceStyle.h"
#include "app/ui/WebFrame.h"
#include "app/ui/WidgetPrompter.h"
#include "bizlib/security/Security.h"
#include "bizlib/ui/WidgetLogonPrompter.h"
#include "config/TraceCategory.h"
#include "config/TraceLog.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLoggingCategory>
#include <cstdio>

int main(int argc, char *argv[])
{
    // --help and --version are answered before the window system is touched, so that they work
    // over SSH and in build steps, where there is no display to connect to.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const app::CommandLine commandLine = app::CommandLine::parse(arguments);
    if (commandLine.help || commandLine.version) {
        const QString program = QStringLiteral("webconsole");
        std::fputs(qPrintable(commandLine.help ? app::CommandLine::helpText(program)
                                               : app::CommandLine::versionText(program)),
                   stdout);
        return 0;
    }

    // Qt would abort with a message about platform plugins; say what is really missing.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !arguments.contains(QStringLiteral("-platform"))) {
        std::fputs("webconsole: no graphical desktop to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is "
                   "set).\nStart it from a desktop session; \"webconsole --help\" lists the options.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("webconsole"));
    QApplication::setApplicationVersion(QStringLiteral(WEBCONSOLE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.webconsole.webconsole"));
    Q_INIT_RESOURCE(icons);
    Q_INIT_RESOURCE(listicons);
    // Every window of the program (logon, frame, toolbox, dialogs) shows the program's icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/webconsole.svg")));

    app::ui::WidgetPrompter prompter;
    app::Startup::Environment env;
    env.programPath = QApplication::applicationFilePath();
    env.workingFolder = QDir::currentPath();
    env.prompter = &prompter;
    env.debugLine = [](const QString &line) { qCDebug(config::lcTrace).noquote() << line; };
    env.interfaceFont = &app::ui::InterfaceStyle::applyFont;

    app::Startup startup(commandLine, env, QProcessEnvironment::systemEnvironment());
    return startup.run([&prompter](config::AppContext &ctx) {
        app::Frame frame(ctx, [](config::AppContext &c) {
            bizlib::security::Security security(*c.db);
            if (const bizlib::Status st = security.loadQs(); !st) {
                c.prompter->alert(st.message(), QStringLiteral("Web console"), bizlib::Prompter::Icon::Hand);
                return false;
            }
            bizlib::ui::WidgetLogonPrompter logon(nullptr, c.trace);
            return security.logon(logon, &c.glo.user).isLoggedOn();
        });
        switch (frame.open()) {
        case app::Frame::OpenResult::Refused: return app::FrameResult::Refused;
        case app::Frame::OpenResult::NotConfigured: return app::FrameResult::NotConfigured;
        case app::Frame::OpenResult::Open: break;
        }
        app::ui::InterfaceStyle style(*qApp, ctx.brevix);
        bizlib::SteadyClock clock;
        app::ui::WebFrame window(ctx, frame, clock);
        prompter.setParent(&window);
        window.show();
        window.openConsole();
        QApplication::exec();
        prompter.setParent(nullptr);
        return app::FrameResult::Closed;
    });
}
