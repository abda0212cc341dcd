#include "quotes/DetachedDownloader.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

// The downloader's command line names no settings file: a console started on another INI file
// than the default hands it down, or the downloader would read another workstation's settings.
TEST(DetachedDownloader, handsTheWorkstationIniFileDownInTheEnvironment)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("seen"));
    const QString ini = dir.filePath(QStringLiteral("other place/webconsole.ini"));
    quotes::DetachedDownloader downloader(ini);
    ASSERT_TRUE(downloader.start(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"), QStringLiteral("printf %s \"$WEBCONSOLE_INI\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0\""), out }));
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(out) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile seen(out);
    ASSERT_TRUE(seen.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(seen.readAll()), ini);
}
