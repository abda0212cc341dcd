#include "quotes/DetachedDownloader.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

// The downloader's command line names no settings file: a console started on another INI file
// than the default hands it down, or the downloader would read another workstation's settings.
// The folder where it reports how it ended is handed down too (made when missing).
TEST(DetachedDownloader, handsTheWorkstationIniFileAndTheReportsFolderDownInTheEnvironment)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("seen"));
    const QString ini = dir.filePath(QStringLiteral("other place/webconsole.ini"));
    const QString reports = dir.filePath(QStringLiteral("reports/00"));
    quotes::DetachedDownloader downloader(ini, reports);
    ASSERT_TRUE(downloader.start(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"),
            QStringLiteral("printf '%s|%s' \"$WEBCONSOLE_INI\" \"$WEBCONSOLE_DOWNLOADER_REPORTS\" > \"$0.tmp\" && "
                           "mv \"$0.tmp\" \"$0\""),
            out }));
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(out) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile seen(out);
    ASSERT_TRUE(seen.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(seen.readAll()), ini + u'|' + reports);
    EXPECT_TRUE(QDir(reports).exists());
}

// Installed, the downloader is no command: the console starts it by its full path in its own
// folder of helpers; in a build folder it is found beside the console.
TEST(DetachedDownloader, isStartedFromTheProgramsHelperFolderElseFromBesideTheProgram)
{
    struct Case
    {
        bool installed, beside;
        const char *expected; // relative to the prefix
    };
    const Case cases[] = {
        { true, false, "lib/webconsole/downloader" },
        { false, true, "bin/downloader" },
        { true, true, "lib/webconsole/downloader" },
        { false, false, "lib/webconsole/downloader" },
    };
    for (const Case &c : cases) {
        QTemporaryDir prefix;
        QDir(prefix.path()).mkpath(QStringLiteral("bin"));
        QDir(prefix.path()).mkpath(QStringLiteral("lib/webconsole"));
        const auto place = [&](const char *path) {
            QFile f(prefix.filePath(QLatin1String(path)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        };
        if (c.installed)
            place("lib/webconsole/downloader");
        if (c.beside)
            place("bin/downloader");
        EXPECT_EQ(quotes::AttachmentDownloader::program(prefix.filePath(QStringLiteral("bin"))),
            prefix.filePath(QLatin1String(c.expected)))
            << "installed " << c.installed << ", beside " << c.beside;
    }
}
