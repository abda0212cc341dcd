// Runs the program's start-up and shutdown as a real process, for the start-up tests.
// Messages are printed as "MESSAGE <caption>|<text>"; the frame prints "FRAME" and waits until
// the file named by STARTUP_PROBE_RELEASE exists (or 10 seconds), then the libraries' log is
// printed as "LIBS DATA:INIT,...". With STARTUP_PROBE_FRAME=notconfigured the frame ends as a
// start without a website address does.
#include "app/CommandLine.h"
#include "app/Startup.h"
#include "bizlib/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdio>

namespace {
class PrintingPrompter : public bizlib::Prompter
{
public:
    int message(const QString &text, const QString &caption, Icon, const QString &, int defaultButton, int) override
    {
        std::printf("MESSAGE %s|%s\n", qPrintable(caption), qPrintable(text));
        std::fflush(stdout);
        return defaultButton;
    }
    void beep(Icon) override {}
};
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    PrintingPrompter prompter;
    app::Startup::Environment env;
    env.programPath = QCoreApplication::applicationFilePath();
    env.workingFolder = QDir::currentPath();
    env.runtimeFolder = qEnvironmentVariable("STARTUP_PROBE_RUNTIME");
    env.prompter = &prompter;
    env.debugLine = [](const QString &line) { std::printf("DEBUG %s\n", qPrintable(line)); };
    env.interfaceFont = [](const config::SystemConfig &c, const QString &) {
        std::printf("FONT %s %d\n", qPrintable(c.fontName), c.fontSize);
    };
    app::Startup startup(app::CommandLine::parse(QCoreApplication::arguments()), env,
                         QProcessEnvironment::systemEnvironment());
    const int code = startup.run([](config::AppContext &ctx) {
        std::printf("FRAME company=%d name=%s mail=%s:%s\n", ctx.glo.companyNo, qPrintable(ctx.glo.companyName),
                    qPrintable(ctx.brevix.emailServer), qPrintable(ctx.brevix.emailPort));
        std::fflush(stdout);
        if (qEnvironmentVariable("STARTUP_PROBE_FRAME") == QLatin1String("notconfigured"))
            return app::FrameResult::NotConfigured;
        const QString release = qEnvironmentVariable("STARTUP_PROBE_RELEASE");
        QElapsedTimer waited;
        waited.start();
        while (!release.isEmpty() && !QFile::exists(release) && waited.elapsed() < 10000)
            QThread::msleep(20);
        return app::FrameResult::Closed;
    });
    std::printf("LIBS %s\n", qPrintable(startup.libraryLog().join(u',')));
    return code;
}
