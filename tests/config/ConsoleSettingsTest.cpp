#include "config/ConsoleFilters.h"
#include "config/ConsoleSettingsFile.h"
#include "config/IniFile.h"
#include "config/TraceLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace config;

namespace {

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ConsoleSettingsTest : public testing::Test
{
protected:
    ConsoleSettingsTest()
    {
        m_files.webMonitorIni = m_dir.filePath("global/webmon.ini");
        m_files.localIni = m_dir.filePath("home/webconsole.ini");
        m_resource = m_dir.filePath("resource");
        m_work = m_dir.filePath("work");
        QDir().mkpath(m_dir.filePath("global"));
        QDir().mkpath(m_dir.filePath("home"));
    }

    ConsoleSettings read() { return getIniSettings(m_files, m_resource, m_trace, m_work); }
    bool put(ConsoleSettings &s) { return putIniSettings(s, m_files, m_trace); }
    QString webmonValue(const char *section, const char *key) const
    {
        return IniFile(m_files.webMonitorIni).text(section, key, "<absent>");
    }

    // Every setting changed from its default.
    ConsoleSettings changedSettings()
    {
        ConsoleSettings s = read();
        s.webUrl = "https://print.example.com";
        s.webVersion = bizlib::Decimal(712, 2);
        s.adminEmail = "admin@example.com";
        s.apiToken = "token-123";
        s.useProxy = true;
        s.proxyServer = "proxy.example.com";
        s.proxyPort = 3128;
        s.proxyUser = "proxyuser";
        s.proxyPassword = "secret pass";
        s.pollsiteTimer = 5;
        s.webtaskTimer = 7;
        s.maxWebtasks = 12;
        s.maxAttempts = 4;
        s.userTimer = 60;
        s.refreshInterval = 15;
        s.sessionCleanerTimer = 1200;
        s.useSsl = true;
        s.hotFolder = m_dir.filePath("hot");
        s.edocHotFolder = m_dir.filePath("edoc");
        s.autoSaveAttachments = false;
        s.disableLog = false;
        s.localDelivery = "VAN";
        s.courierDelivery = "COURIER";
        s.freeDelivery = true;
        s.voucherCode = "VOUCHER";
        s.uploadOrderPdf = false;
        s.uploadProofPdf = false;
        s.uploadDeliveryPdf = false;
        s.uploadInvoicePdf = false;
        s.downloader = "Standard";
        s.autoProcessQuotes = true;
        s.autoProcessRfqs = true;
        s.autoProcessOrders = true;
        s.rfqEstimator = "JB";
        s.rfqNotify = true;
        s.addressNotify = true;
        s.autoEmailRep = true;
        s.autoEmailManager = true;
        s.skipProductOrder = true;
        s.signupProcess = "Existing";
        s.signupAccount = "WEBCO";
        s.quoteLayout = 1;
        s.serviceOrderLayout = 2;
        s.productOrderLayout = 3;
        s.proofLayout = 4;
        s.deliveryLayout = 5;
        s.invoiceLayout = 6;
        s.enquiryAlert = false;
        s.enquirySound = "/sounds/ding.wav";
        s.signupAlert = false;
        s.signupSound = "/sounds/dong.wav";
        s.syncDateTime = true;
        s.minimizeToTray = false;
        s.pendingReminder = true;
        s.pendingInterval = 10;
        s.quotePhrases = false;
        s.orderPhrases = false;
        s.webmonStallMinutes = 25;
        return s;
    }

    QTemporaryDir m_dir;
    SettingsFiles m_files;
    QString m_resource;
    QString m_work;
    TraceLog m_trace { [] {
        TraceOptions o;
        o.debugOutputOff = true;
        return o;
    }() };
};

TEST_F(ConsoleSettingsTest, noSettingsFile_givesEveryDefault_andCreatesTheHotFolders)
{
    const ConsoleSettings s = read();

    EXPECT_EQ(s.hotFolder, m_resource + "/preflight");
    EXPECT_EQ(s.edocHotFolder, m_resource + "/artwork");
    EXPECT_TRUE(QFileInfo(s.hotFolder).isDir());
    EXPECT_TRUE(QFileInfo(s.edocHotFolder).isDir());
    EXPECT_EQ(s.enquirySound, m_work + "/enquiry.wav");
    EXPECT_EQ(s.signupSound, m_work + "/signup.wav");
    EXPECT_EQ(s.webVersion.toString(), "6.30");
    EXPECT_EQ(s.sessionCleanerTimer, 600);
    EXPECT_EQ(s.maxWebtasks, 1);
    EXPECT_EQ(s.refreshInterval, 30);
    EXPECT_EQ(s.downloader, ".NET");
    EXPECT_EQ(s.signupProcess, "Manual");
    EXPECT_TRUE(s.disableLog);
    EXPECT_TRUE(s.uploadInvoicePdf);
    EXPECT_EQ(s.pendingInterval, 3);
    EXPECT_TRUE(s.minimizeToTray);
    // Reading alone does not create the settings files.
    EXPECT_FALSE(QFile::exists(m_files.webMonitorIni));
    EXPECT_FALSE(QFile::exists(m_files.localIni));
}

TEST_F(ConsoleSettingsTest, websiteAddress_losesTrailingSlashesOnSave_andReadsBackUnchanged)
{
    ConsoleSettings s = read();
    s.webUrl = "https://shop.example.com//";
    ASSERT_TRUE(put(s));
    EXPECT_EQ(s.webUrl, "https://shop.example.com");
    EXPECT_EQ(webmonValue("Settings", "WebURL"), "https://shop.example.com");
    EXPECT_EQ(read().webUrl, "https://shop.example.com");

    // At most three go on saving; reading takes one more.
    s.webUrl = "https://shop.example.com/////";
    ASSERT_TRUE(put(s));
    EXPECT_EQ(webmonValue("Settings", "WebURL"), "https://shop.example.com//");
    EXPECT_EQ(read().webUrl, "https://shop.example.com/");
}

TEST_F(ConsoleSettingsTest, emptyEdocHotFolder_takesHotFolder_andIsWrittenAtOnce)
{
    const QString hot = m_dir.filePath("spool/preflight");
    writeAll(m_files.webMonitorIni, ("[Settings]\r\nHotFolder=" + hot + "\r\nEdocHotFolder=\r\nUseSSL=1\r\n").toUtf8());
    const ConsoleSettings s = read();
    EXPECT_EQ(s.hotFolder, hot);
    EXPECT_EQ(s.edocHotFolder, hot);
    EXPECT_TRUE(QFileInfo(hot).isDir());
    EXPECT_EQ(webmonValue("Settings", "EdocHotFolder"), hot);
    EXPECT_TRUE(readAll(m_files.webMonitorIni).contains("UseSSL=1\r\n"));
}

TEST_F(ConsoleSettingsTest, sessionCleanerTimer_belowSixHundred_isRaised_andSavedRaised)
{
    for (const QByteArray &file : { QByteArray("[Settings]\nSessionCleanerTimer=0\n"), QByteArray("[Settings]\n"),
             QByteArray("[Settings]\nSessionCleanerTimer=599\n") }) {
        writeAll(m_files.webMonitorIni, file);
        ConsoleSettings s = read();
        EXPECT_EQ(s.sessionCleanerTimer, 600) << file.constData();
        ASSERT_TRUE(put(s));
        EXPECT_EQ(webmonValue("Settings", "SessionCleanerTimer"), "600");
    }
    writeAll(m_files.webMonitorIni, "[Settings]\nSessionCleanerTimer=900\n");
    EXPECT_EQ(read().sessionCleanerTimer, 900);
}

TEST_F(ConsoleSettingsTest, webVersion_isHeldAndSavedWithTwoDecimals)
{
    writeAll(m_files.webMonitorIni, "[Settings]\nWebVersion=6.3\n");
    ConsoleSettings s = read();
    EXPECT_EQ(s.webVersion.toString(), "6.30");
    ASSERT_TRUE(put(s));
    EXPECT_EQ(webmonValue("Settings", "WebVersion"), "6.30");

    writeAll(m_files.webMonitorIni, "[Settings]\nWebVersion=7.125\n");
    EXPECT_EQ(read().webVersion.toString(), "7.13");
    writeAll(m_files.webMonitorIni, "[Settings]\nWebVersion=latest\n");
    EXPECT_EQ(read().webVersion.toString(), "0.00");
}

TEST_F(ConsoleSettingsTest, maxWebtasks_isReadFromTheFile_andKeptAtFiftyAtMost)
{
    ConsoleSettings s = read();
    EXPECT_EQ(s.maxWebtasks, 1);
    s.maxWebtasks = 20;
    ASSERT_TRUE(put(s));
    EXPECT_EQ(read().maxWebtasks, 20);

    writeAll(m_files.webMonitorIni, "[Settings]\nMaxWebtasks=80\n");
    EXPECT_EQ(read().maxWebtasks, 50);
    writeAll(m_files.webMonitorIni, "[Settings]\nMaxWebtasks=-3\n");
    EXPECT_EQ(read().maxWebtasks, 0);
}

TEST_F(ConsoleSettingsTest, everySetting_survivesASaveAndARead)
{
    ConsoleSettings s = changedSettings();
    ASSERT_TRUE(put(s));

    EXPECT_EQ(read(), s);
    // The workstation's own preferences are in the workstation file, not in the shared one.
    EXPECT_EQ(IniFile(m_files.localIni).text("Web", "EnquirySound"), "/sounds/ding.wav");
    EXPECT_EQ(webmonValue("Web", "EnquirySound"), "<absent>");
    EXPECT_EQ(webmonValue("Settings", "ProxyPassword"), "secret pass");
    EXPECT_EQ(webmonValue("Layouts", "InvoiceLayout"), "6");
    EXPECT_EQ(webmonValue("Settings", "UseProxy"), "1");
}

// The lines of one section of an INI text, as written.
QList<QByteArray> sectionLines(const QByteArray &text, const QByteArray &section)
{
    QList<QByteArray> lines;
    bool inside = false;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('['))
            inside = line == '[' + section + ']';
        else if (inside)
            lines << line;
    }
    return lines;
}

TEST_F(ConsoleSettingsTest, everyKeyName_isReadAndWrittenAsTheServiceSpellsIt)
{
    const ConsoleSettings changed = changedSettings();
    struct Key
    {
        bool shared; // the web monitor's file, else the workstation's
        QByteArray section, key, text;
    };
    const QList<Key> keys = { { true, "Settings", "WebURL", "https://print.example.com" },
        { true, "Settings", "WebVersion", "7.12" }, { true, "Settings", "AdminEmail", "admin@example.com" },
        { true, "Settings", "APIToken", "token-123" }, { true, "Settings", "UseProxy", "1" },
        { true, "Settings", "ProxyServer", "proxy.example.com" }, { true, "Settings", "ProxyPort", "3128" },
        { true, "Settings", "ProxyUser", "proxyuser" }, { true, "Settings", "ProxyPassword", "secret pass" },
        { true, "Settings", "PollsiteTimer", "5" }, { true, "Settings", "WebtaskTimer", "7" },
        { true, "Settings", "MaxWebtasks", "12" }, { true, "Settings", "MaxAttempts", "4" },
        { true, "Settings", "UserTimer", "60" }, { true, "Settings", "RefreshInterval", "15" },
        { true, "Settings", "SessionCleanerTimer", "1200" }, { true, "Settings", "UseSSL", "1" },
        { true, "Settings", "HotFolder", changed.hotFolder.toUtf8() },
        { true, "Settings", "EdocHotFolder", changed.edocHotFolder.toUtf8() },
        { true, "Settings", "AutoSaveAttachments", "0" }, { true, "Settings", "DisableLog", "0" },
        { true, "Settings", "LocalDelivery", "VAN" }, { true, "Settings", "CourierDelivery", "COURIER" },
        { true, "Settings", "FreeDelivery", "1" }, { true, "Settings", "VoucherCode", "VOUCHER" },
        { true, "Settings", "UploadOrderPDF", "0" }, { true, "Settings", "UploadProofPDF", "0" },
        { true, "Settings", "UploadDeliveryPDF", "0" }, { true, "Settings", "UploadInvoicePDF", "0" },
        { true, "Settings", "Downloader", "Standard" }, { true, "Settings", "AutoProcessQuotes", "1" },
        { true, "Settings", "AutoProcessRFQs", "1" }, { true, "Settings", "AutoProcessOrders", "1" },
        { true, "Settings", "RFQEstimator", "JB" }, { true, "Settings", "RFQNotify", "1" },
        { true, "Settings", "AddressNotify", "1" }, { true, "Settings", "AutoEmailRep", "1" },
        { true, "Settings", "AutoEmailManager", "1" }, { true, "Settings", "SkipProductOrder", "1" },
        { true, "Settings", "SignupProcess", "Existing" }, { true, "Settings", "SignupAccount", "WEBCO" },
        { true, "Layouts", "QuoteLayout", "1" },
        { true, "Layouts", "ServiceOrderLayout", "2" }, { true, "Layouts", "ProductOrderLayout", "3" },
        { true, "Layouts", "ProofLayout", "4" }, { true, "Layouts", "DeliveryLayout", "5" },
        { true, "Layouts", "InvoiceLayout", "6" }, { false, "Web", "EnquiryAlert", "0" },
        { false, "Web", "EnquirySound", "/sounds/ding.wav" }, { false, "Web", "SignupAlert", "0" },
        { false, "Web", "SignupSound", "/sounds/dong.wav" }, { false, "Web", "SyncDateTime", "1" },
        { false, "Web", "MinimizeToTray", "0" }, { false, "Web", "PendingReminder", "1" },
        { false, "Web", "PendingInterval", "10" }, { false, "Web", "QuotePhrases", "0" },
        { false, "Web", "OrderPhrases", "0" }, { false, "Web", "WebmonStallMinutes", "25" } };

    // Written: each key in its file and section, spelt exactly so.
    ConsoleSettings s = changed;
    ASSERT_TRUE(put(s));
    const QByteArray shared = readAll(m_files.webMonitorIni);
    const QByteArray local = readAll(m_files.localIni);
    for (const Key &k : keys) {
        EXPECT_TRUE(sectionLines(k.shared ? shared : local, k.section).contains(k.key + '=' + k.text))
            << k.section.constData() << " " << k.key.constData();
    }

    // Read: files made of exactly these lines give the same settings.
    QByteArray sharedText;
    QByteArray localText;
    for (const Key &k : keys) {
        QByteArray &text = k.shared ? sharedText : localText;
        if (!text.contains('[' + k.section + ']'))
            text += '[' + k.section + "]\n";
        text += k.key + '=' + k.text + '\n';
    }
    writeAll(m_files.webMonitorIni, sharedText);
    writeAll(m_files.localIni, localText);
    EXPECT_EQ(read(), changed);
}

TEST_F(ConsoleSettingsTest, rangedNumbers_areKeptWithinTheirLimits)
{
    struct Case
    {
        bool shared;
        QByteArray line;
        qint32 ConsoleSettings::*member;
        qint32 expected;
    };
    for (const Case &c : { Case { false, "PendingInterval=255", &ConsoleSettings::pendingInterval, 255 },
             Case { false, "PendingInterval=256", &ConsoleSettings::pendingInterval, 255 },
             Case { false, "PendingInterval=-1", &ConsoleSettings::pendingInterval, 0 },
             Case { false, "WebmonStallMinutes=0", &ConsoleSettings::webmonStallMinutes, 1 },
             Case { false, "WebmonStallMinutes=5000", &ConsoleSettings::webmonStallMinutes, 1440 },
             Case { true, "MaxAttempts=255", &ConsoleSettings::maxAttempts, 255 },
             Case { true, "MaxAttempts=1000", &ConsoleSettings::maxAttempts, 255 },
             Case { true, "MaxAttempts=-5", &ConsoleSettings::maxAttempts, 0 } }) {
        writeAll(m_files.webMonitorIni, c.shared ? "[Settings]\n" + c.line + '\n' : QByteArray());
        writeAll(m_files.localIni, c.shared ? QByteArray() : "[Web]\n" + c.line + '\n');
        EXPECT_EQ(read().*c.member, c.expected) << c.line.constData();
    }
}

TEST_F(ConsoleSettingsTest, saveWithWhatWasRead_writesOnlyTheChangedKeys_andTheKeysTheFilesLack)
{
    ConsoleSettings asRead = read();
    ConsoleSettings full = asRead;
    ASSERT_TRUE(put(full));
    const ConsoleSettings before = read();

    // Another workstation changes two keys and removes one since this one read the files.
    writeAll(m_files.webMonitorIni,
        readAll(m_files.webMonitorIni)
            .replace("PollsiteTimer=" + QByteArray::number(before.pollsiteTimer), "PollsiteTimer=99")
            .replace("ProxyServer=", "ProxyServer=theirs.example")
            .replace("UseSSL=" + QByteArray(before.useSsl ? "1" : "0") + "\n", ""));
    ASSERT_EQ(read().pollsiteTimer, 99);

    ConsoleSettings ours = before;
    ours.webUrl = QStringLiteral("https://ours.example/");
    ours.enquiryAlert = !before.enquiryAlert;
    ASSERT_TRUE(putIniSettings(ours, m_files, m_trace, &before));
    const ConsoleSettings now = read();
    EXPECT_EQ(now.webUrl, QStringLiteral("https://ours.example"));
    EXPECT_EQ(now.enquiryAlert, !before.enquiryAlert);
    EXPECT_EQ(now.pollsiteTimer, 99);
    EXPECT_EQ(now.proxyServer, QStringLiteral("theirs.example"));
    EXPECT_EQ(webmonValue("Settings", "UseSSL"), before.useSsl ? "1" : "0"); // missing: written again

    // Without what was read, every key is written, as before.
    ASSERT_TRUE(putIniSettings(ours, m_files, m_trace));
    EXPECT_EQ(read().pollsiteTimer, before.pollsiteTimer);
}

TEST_F(ConsoleSettingsTest, newSettingsFiles_areReadableByTheirOwnerOnly)
{
    ConsoleSettings s = changedSettings();
    ASSERT_TRUE(put(s));
    for (const QString &path : { m_files.webMonitorIni, m_files.localIni })
        EXPECT_EQ(QFileInfo(path).permissions(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser)
            << path.toStdString();
}

TEST_F(ConsoleSettingsTest, save_refusesASettingsFileItCouldNotReadInFull_andSaysSoInTheTraceLog)
{
    TraceOptions options;
    options.plainFileOn = true;
    options.plainFileName = m_dir.filePath("DebugLog.txt");
    m_trace.setOptions(options);
    QByteArray damaged = "[Settings]\nWebURL=https://a.example.com\n";
    damaged += '\0';
    damaged += "\n[Layouts]\nQuoteLayout=4\n";
    writeAll(m_files.webMonitorIni, damaged);

    ConsoleSettings s = read();
    s.refreshInterval = 20;
    EXPECT_FALSE(put(s));
    EXPECT_EQ(readAll(m_files.webMonitorIni), damaged);
    const QByteArray log = readAll(options.plainFileName);
    EXPECT_TRUE(log.contains("webmon.ini was not written: it could not be read in full (line 3 holds a NUL byte)"))
        << log.constData();
}

TEST_F(ConsoleSettingsTest, windowsSettingsFile_isRead_andKeepsItsOwnKeysAndCommentsOnSave)
{
    writeAll(m_files.webMonitorIni,
        "; shared with the web monitor\r\n"
        "[SETTINGS]\r\n"
        "weburl=https://shop.example.com/\r\n"
        "rfqestimator=ABCD\r\n"
        "autoprocessquotes=1\r\n"
        "ServiceOnlyKey=keep me\r\n"
        "# layouts\r\n"
        "[LAYOUTS]\r\n"
        "QUOTELAYOUT=3\r\n");
    ConsoleSettings s = read();
    EXPECT_EQ(s.webUrl, "https://shop.example.com");
    EXPECT_EQ(s.rfqEstimator, "ABC"); // cut to its width
    EXPECT_TRUE(s.autoProcessQuotes);
    EXPECT_EQ(s.quoteLayout, 3);

    s.refreshInterval = 20;
    ASSERT_TRUE(put(s));
    const QByteArray after = readAll(m_files.webMonitorIni);
    EXPECT_TRUE(after.contains("ServiceOnlyKey=keep me\r\n"));
    EXPECT_TRUE(after.contains("; shared with the web monitor\r\n"));
    EXPECT_TRUE(after.contains("# layouts\r\n"));
    EXPECT_TRUE(after.contains("RefreshInterval=20\r\n"));
    EXPECT_EQ(after.count("\n"), after.count("\r\n"));
}

TEST_F(ConsoleSettingsTest, bothOperations_reportEntryAndExitToTheTraceLog)
{
    TraceOptions options;
    options.plainFileOn = true;
    options.plainFileName = m_dir.filePath("DebugLog.txt");
    m_trace.setOptions(options);

    ConsoleSettings s = read();
    put(s);
    const QByteArray log = readAll(options.plainFileName);
    EXPECT_TRUE(log.contains(">>,M GetINISettings_webconsole,A webconsole.EXE")) << log.constData();
    EXPECT_TRUE(log.contains("<<,MT GetINISettings_webconsole"));
    EXPECT_TRUE(log.contains(">>,M PutINISettings_webconsole"));
    EXPECT_TRUE(log.contains("<<,MT PutINISettings_webconsole"));
}

TEST(WebMonitorIniPath, isNamedAfterTheCompany)
{
    EXPECT_EQ(webMonitorIniPath("/srv/brevix", 0), "/srv/brevix/webmon.ini");
    EXPECT_EQ(webMonitorIniPath("/srv/brevix/  ", 7), "/srv/brevix/webmon07.ini");
    EXPECT_EQ(webMonitorIniPath("/srv/brevix", 42), "/srv/brevix/webmon42.ini");
    EXPECT_EQ(webMonitorIniPath("/srv/brevix", 123), "/srv/brevix/webmon123.ini");
    EXPECT_EQ(webMonitorIniPath("", 0), "webmon.ini");
}

TEST(ConsoleFilters, areReadAndWrittenInTheirOwnSection_leavingTheRestOfTheFile)
{
    QTemporaryDir dir;
    TraceLog trace;
    const QString path = dir.filePath("webconsole.ini");
    ConsoleFilters absent = readConsoleFilters(path, trace);
    EXPECT_FALSE(absent.accManager);
    EXPECT_FALSE(absent.b2cOnly);

    writeAll(path, "[Web]\nEnquiryAlert=0\n[WebConsole]\nB2COnly=1\n");
    ConsoleFilters f = readConsoleFilters(path, trace);
    EXPECT_FALSE(f.accManager);
    EXPECT_TRUE(f.b2cOnly);

    f.accManager = true;
    f.b2cOnly = false;
    ASSERT_TRUE(writeConsoleFilters(path, f, trace));
    const IniFile ini(path);
    EXPECT_EQ(ini.text("WebConsole", "AccManager"), "1");
    EXPECT_EQ(ini.text("WebConsole", "B2COnly"), "0");
    EXPECT_EQ(ini.text("Web", "EnquiryAlert"), "0");
}

} // namespace
