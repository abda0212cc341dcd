#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "demo/DemoData.h"
#include "downloader/AttachmentSource.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

// The demo's attachments are files that the console's automatic processing copies with the quote
// and that the downloader then fetches, as an office's uploads are.

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class DemoAttachments : public testsupport::DataTest
{
protected:
    QString data() const { return m_files.filePath(QStringLiteral("data")); }

    QTemporaryDir m_files;
};

TEST_P(DemoAttachments, ofAutomaticallyProcessedRequests_areCopiedWithTheQuote_andFetchableByTheDownloader)
{
    // The demo's files go where a workspace's data folder has them: "uploads" in it.
    demo::DemoData demo(db());
    demo.setUploadFolder(QDir(data()).filePath(QStringLiteral("uploads")));
    bizlib::Status st = demo.fillAll();
    ASSERT_TRUE(st.isOk()) << st.message().toStdString();

    const bizlib::DatabaseConfig &c = testDb().config();
    QStringList args { QStringLiteral("driver=") + c.driver, QStringLiteral("user=AB"),
        QStringLiteral("data=") + data() };
    if (c.isPostgres())
        args << QStringLiteral("host=") + c.host << QStringLiteral("port=%1").arg(c.port)
             << QStringLiteral("name=") + c.name << QStringLiteral("dbuser=") + c.user
             << QStringLiteral("password=") + c.password << QStringLiteral("schema=") + c.schema;
    else
        args << QStringLiteral("file=") + c.file;
    QProcess worker;
    worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    worker.start(QStringLiteral(QUOTE_WORKER_PATH), args);
    ASSERT_TRUE(worker.waitForFinished(300000));
    EXPECT_EQ(worker.exitCode(), 0);

    // Every attachment of a quote made from a request: copied into the data folder, whole.
    bizlib::Table attachments(db(), QStringLiteral("Attachments"));
    bizlib::TableCursor cursor(attachments, QStringLiteral("ATTACHMENTIDKEY"));
    ASSERT_TRUE(cursor.setFilter(QStringLiteral("ATT:QuoteID <> 0 AND ATT:Website = 1")).isOk());
    int copied = 0;
    bizlib::Record a;
    while (cursor.next(a)) {
        const QString source = a.text("SourceName").trimmed();
        const QString copy = a.text("LocalPath").trimmed();
        SCOPED_TRACE(source.toStdString());
        const downloader::AttachmentSource original = downloader::AttachmentSource::classify(source);
        EXPECT_EQ(original.kind, downloader::AttachmentSource::Kind::LocalFile) << original.reason.toStdString();
        EXPECT_EQ(a.toLong("Copied"), 1);
        EXPECT_TRUE(copy.startsWith(data() + u'/')) << copy.toStdString();
        EXPECT_EQ(downloader::AttachmentSource::classify(copy).kind, downloader::AttachmentSource::Kind::LocalFile);
        EXPECT_TRUE(QFileInfo(copy).isFile());
        EXPECT_FALSE(contents(copy).isEmpty());
        EXPECT_EQ(contents(copy), contents(source));
        ++copied;
    }
    EXPECT_GE(copied, 3);
}

INSTANTIATE_TEST_SUITE_P(Engines, DemoAttachments, testsupport::allEngines(), testsupport::engineName);

} // namespace
