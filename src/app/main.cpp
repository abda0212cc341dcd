#include "app/CommandLine.h"
#include "app/Startup.h"
#include "app/ui/RequestListWindow.h"
#include "app/ui/WidgetPrompter.h"
#include "config/TraceCategory.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("webconsole"));

    const app::CommandLine commandLine = app::CommandLine::parse(QApplication::arguments());
    if (commandLine.help) {
        std::fputs(qPrintable(app::CommandLine::helpText(QStringLiteral("webconsole"))), stdout);
        return 0;
    }

    app::ui::WidgetPrompter prompter;
    app::Startup::Environment env;
    env.programPath = QApplication::applicationFilePath();
    env.workingFolder = QDir::currentPath();
    env.prompter = &prompter;
    env.debugLine = [](const QString &line) { qCDebug(config::lcTrace).noquote() << line; };

    app::Startup startup(commandLine, env, QProcessEnvironment::systemEnvironment());
    return startup.run([](config::AppContext &ctx) {
        app::ui::RequestListWindow window(*ctx.db);
        window.show();
        QApplication::exec();
        return app::FrameResult::Closed;
    });
}
