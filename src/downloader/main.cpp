#include "downloader/Program.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("downloader"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return downloader::Program::run(QCoreApplication::arguments(), QProcessEnvironment::systemEnvironment(), out, err);
}
