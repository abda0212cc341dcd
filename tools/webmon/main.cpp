// webmon-demo: plays the web monitor service against a workspace's business database, so that a
// console beside it sees requests arrive, webtasks move and website users come and go.
// "webmon-demo --help" lists the options; Program.h says what it does.

#include "Program.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("webmon-demo"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return webmon::Program::run(QCoreApplication::arguments(), QProcessEnvironment::systemEnvironment(), out, err);
}
