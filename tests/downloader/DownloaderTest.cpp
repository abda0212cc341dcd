#include "HttpFileServer.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "config/IniFile.h"
#include "downloader/Program.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace bizlib;

namespace {

// A workstation for company 7: its INI file, the web monitor settings file naming the two hot
// folders, and a SQLite business database with the attachments of quotes and orders.
class Downloader : public testing::Test
{
protected:
    void SetUp() override
    {
        m_ini = path("webconsole.ini");
        config::IniFile ini(m_ini);
        ini.write({ { QStringLiteral("Database"), QStringLiteral("File"), QStringLiteral("business.db") },
            { QStringLiteral("General"), QStringLiteral("GlobalPath"), path("global") },
            { QStringLiteral("General"), QStringLiteral("ResourcePath"), path("res") } });
        config::IniFile webmon(path("global/webmon07.ini"));
        webmon.write({ { QStringLiteral("Settings"), QStringLiteral("HotFolder"), hot() },
            { QStringLiteral("Settings"), QStringLiteral("EdocHotFolder"), edoc() } });
        DatabaseConfig cfg;
        cfg.file = path("business.db");
        cfg.create = true;
        m_db = std::make_unique<Database>(cfg);
        ASSERT_TRUE(m_db->open().isOk());
        ASSERT_TRUE(m_db->ensureSchema(Dictionary::instance()).isOk());
        QDir().mkpath(path("src"));
    }

    QString path(const char *relative) const { return m_dir.filePath(QString::fromUtf8(relative)); }
    QString hot() const { return path("hot/in"); }
    QString edoc() const { return path("edoc/in"); }

    QString sourceFile(const char *name, const QByteArray &content) const
    {
        const QString p = path("src/") + QString::fromUtf8(name);
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return p;
    }

    struct Attachment
    {
        QString sourceName;
        QString sourceFile;
        int artwork = 0;
        int output = 0;
        qint32 quoteId = 41;
        qint32 orderId = 0;
    };

    void add(const Attachment &a)
    {
        Table t(*m_db, QStringLiteral("Attachments"));
        Record r;
        ASSERT_TRUE(t.prime(r).isOk());
        r.setLong("QuoteID", a.quoteId);
        r.setLong("OrderID", a.orderId);
        r.setText("SourceName", a.sourceName);
        r.setText("SourceFile", a.sourceFile);
        r.setLong("Artwork", a.artwork);
        r.setLong("Output", a.output);
        ASSERT_TRUE(t.insert(r).isOk());
    }

    int runInProcess(const QStringList &args, QString *errText = nullptr)
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("WEBCONSOLE_INI"), m_ini);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int code
            = downloader::Program::run(QStringList { QStringLiteral("downloader") } + args, env, outStream, errStream);
        errStream.flush();
        if (errText)
            *errText = err;
        return code;
    }

    static QStringList files(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    static QByteArray contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList logLines() const
    {
        return QString::fromUtf8(contents(path("hot/downloader.log"))).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
    QString m_ini;
    std::unique_ptr<Database> m_db;
};

TEST_F(Downloader, startedAsTheConsoleStartsIt_copiesAndDownloadsIntoTheHotFolders_aFailedDownloadFailsTheRun)
{
    HttpFileServer server(
        { { "/files/logo.png", { 200, "PNG-BYTES", {} } }, { "/old/logo.png", { 302, {}, "/files/logo.png" } } });
    add({ sourceFile("brief.txt", "the brief"), QStringLiteral("brief.txt") });
    // Artwork that is not print-ready goes to the pre-flight folder like any other file.
    add({ server.url(QStringLiteral("/old/logo.png")), QStringLiteral("logo.png"), 1, 0 });
    add({ server.url(QStringLiteral("/missing.pdf")), QStringLiteral("missing.pdf") });
    add({ QStringLiteral("file://") + sourceFile("art.pdf", "%PDF-art"), QStringLiteral("art.pdf"), 1, 1 });
    add({ sourceFile("other.txt", "another quote's"), QStringLiteral("other.txt"), 0, 0, 42 });

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WEBCONSOLE_INI"), m_ini);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(DOWNLOADER_PATH),
        { QStringLiteral("company=07"), QStringLiteral("parenttype=quote"), QStringLiteral("parentid=41"),
            QStringLiteral("parentref=1001A") });
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());

    EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("/missing.pdf")) && err.contains(QStringLiteral("404")))
        << err.toStdString();
    EXPECT_EQ(files(hot()), QStringList({ QStringLiteral("1001A_brief.txt"), QStringLiteral("1001A_logo.png") }));
    EXPECT_EQ(contents(hot() + QStringLiteral("/1001A_brief.txt")), "the brief");
    EXPECT_EQ(contents(hot() + QStringLiteral("/1001A_logo.png")), "PNG-BYTES");
    EXPECT_EQ(files(edoc()), QStringList { QStringLiteral("1001A_art.pdf") });
    EXPECT_EQ(contents(edoc() + QStringLiteral("/1001A_art.pdf")), "%PDF-art");

    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 4) << log.join(u'\n').toStdString();
    static const QRegularExpression stamped(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d quote 41 \\(1001A\\): "));
    for (const QString &line : log)
        EXPECT_TRUE(stamped.match(line).hasMatch()) << line.toStdString();
    EXPECT_EQ(log.filter(QStringLiteral("FAILED")).size(), 1);
    EXPECT_TRUE(log.filter(QStringLiteral("FAILED")).value(0).contains(QStringLiteral("missing.pdf")));
}

TEST_F(Downloader, sourcesThatAreNeitherWebAddressesNorLocalFiles_areRefused_andNamesKeepOnlyTheirLastPart)
{
    const QString brief = sourceFile("brief.txt", "the brief");
    const QStringList refused { QStringLiteral("ftp://example.com/a.pdf"), QStringLiteral("javascript:alert(1)"),
        QStringLiteral("data:text/plain,hello"), QStringLiteral("src/brief.txt"), path("src/../src/brief.txt"),
        QStringLiteral("C:\\jobs\\a.pdf"), QStringLiteral("file://elsewhere/tmp/a.pdf") };
    for (const QString &source : refused)
        add({ source, QStringLiteral("a.pdf") });
    add({ brief, QStringLiteral("..") });
    add({ brief, QStringLiteral("..\\..\\outside.txt") });

    QString err;
    EXPECT_EQ(runInProcess({ QStringLiteral("company=7"), QStringLiteral("parenttype=quote"),
                               QStringLiteral("parentid=41"), QStringLiteral("parentref=1001A") },
                  &err),
        downloader::Program::SomeFailed);
    EXPECT_EQ(files(hot()), QStringList { QStringLiteral("1001A_outside.txt") });
    EXPECT_TRUE(files(edoc()).isEmpty());
    // Nothing beside the hot folder but the log, nothing anywhere else.
    EXPECT_EQ(files(path("hot")), QStringList { QStringLiteral("downloader.log") });
    QStringList elsewhere = files(m_dir.path());
    elsewhere.removeIf([](const QString &name) { return name.startsWith(QLatin1String("business.db")); });
    EXPECT_EQ(elsewhere, QStringList { QStringLiteral("webconsole.ini") });
    EXPECT_EQ(logLines().filter(QStringLiteral("REFUSED")).size(), refused.size() + 1) << err.toStdString();
}

TEST_F(Downloader, nameInUse_getsTheNextFreeName_andTheExistingFileStays)
{
    QDir().mkpath(hot());
    QFile existing(hot() + QStringLiteral("/9001_brief.txt"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("earlier");
    existing.close();
    add({ sourceFile("brief.txt", "the brief"), QStringLiteral("brief.txt"), 0, 0, 0, 77 });

    const QStringList args { QStringLiteral("company=7"), QStringLiteral("parenttype=order"),
        QStringLiteral("parentid=77"), QStringLiteral("parentref=9001") };
    EXPECT_EQ(runInProcess(args), downloader::Program::Done);
    EXPECT_EQ(runInProcess(args), downloader::Program::Done);
    EXPECT_EQ(files(hot()),
        QStringList({ QStringLiteral("9001_brief.txt"), QStringLiteral("9001_brief_2.txt"),
            QStringLiteral("9001_brief_3.txt") }));
    EXPECT_EQ(contents(hot() + QStringLiteral("/9001_brief.txt")), "earlier");
    EXPECT_EQ(contents(hot() + QStringLiteral("/9001_brief_3.txt")), "the brief");
}

TEST(DownloaderCommandLine, helpAndVersionNeedNoWorkstation_badArgumentsAreRefusedWithAMessage)
{
    struct Case
    {
        QStringList args;
        int exitCode;
        const char *text;
    };
    const QStringList good { QStringLiteral("company=7"), QStringLiteral("parentid=5"),
        QStringLiteral("parentref=1001A") };
    const QList<Case> cases {
        { { QStringLiteral("--help") }, downloader::Program::Done, "Usage: downloader company=NN" },
        { { QStringLiteral("--version") }, downloader::Program::Done, "downloader " WEBCONSOLE_VERSION },
        { good + QStringList { QStringLiteral("parenttype=invoice") }, downloader::Program::BadArguments,
            "parenttype must be \"quote\" or \"order\", not \"invoice\"" },
        { { QStringLiteral("company=7"), QStringLiteral("parenttype=quote"), QStringLiteral("parentid=5") },
            downloader::Program::BadArguments, "parentref= is missing" },
        { { QStringLiteral("company=7"), QStringLiteral("parenttype=quote"), QStringLiteral("parentid=x5"),
              QStringLiteral("parentref=1001A") },
            downloader::Program::BadArguments, "parentid must be a record identifier" },
        { { QStringLiteral("company=7"), QStringLiteral("parenttype=quote"), QStringLiteral("parentid=5"),
              QStringLiteral("parentref=../1001A") },
            downloader::Program::BadArguments, "cannot start a file name" },
        { good + QStringList { QStringLiteral("parenttype=Order") }, downloader::Program::NoWorkstation,
            "does not exist" },
    };
    QTemporaryDir dir;
    QProcessEnvironment env;
    env.insert(QStringLiteral("WEBCONSOLE_INI"), dir.filePath(QStringLiteral("none.ini")));
    for (const Case &c : cases) {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        EXPECT_EQ(
            downloader::Program::run(QStringList { QStringLiteral("downloader") } + c.args, env, outStream, errStream),
            c.exitCode)
            << c.args.join(u' ').toStdString();
        outStream.flush();
        errStream.flush();
        EXPECT_TRUE((out + err).contains(QString::fromUtf8(c.text))) << (out + err).toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "nothing is written without a workstation";
}

} // namespace
