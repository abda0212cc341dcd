#include "config/ConsoleSettingsFile.h"
#include "config/IniFile.h"
#include "config/SystemConfigFile.h"
#include "config/SystemTables.h"
#include "config/TraceLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
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

// Every key of the workstation's system configuration, by section.
const QList<QPair<QString, QStringList>> kAllKeys = {
    { "General",
        { "GlobalPath", "GlobalData", "ConfigData", "LocalData", "NetPath", "LocalPath", "ResourcePath",
            "ReportFilename", "LayoutFilename", "QueryWizard", "ReportWizard", "ViewWizard", "Version", "ValidLogout",
            "Wallpaper", "PhraseTools", "ChatWidget", "Locale", "LanguageFile", "LanguageDict", "LanguageCode",
            "UseWindowsLocale", "UseWindowsCurrency", "UseBackup", "SupportURL", "WebsiteURL", "LogonURL", "NoInternet",
            "DialMethod", "DialURL" } },
    { "Interface",
        { "SkinDisable", "SkinFile", "ThemeColour", "FontName", "FontSize", "FontColour", "FontStyle", "FontCharset",
            "RaisedButtons", "RoundCorners", "HandCursor", "WhiteTheme", "ListHeight", "ListColours", "HeaderColour",
            "ToolbarColour", "TitleColour", "PanelColour", "ButtonColour", "ToolTips", "AutoEntry", "ToolbarIconSize",
            "ToolbarIconsAbove" } },
    { "Multicompany", { "CompanyNo", "CompanyName" } },
    { "Security", { "LastLoginID", "LastLoginDate", "LastLoginTime" } },
    { "Printing", { "WordQuote", "WordLetter", "SaveLayout" } },
    { "Faxing",
        { "FaxDisable", "FaxDevice", "FaxDriver", "FaxDomain", "FaxAccount", "FaxPassword", "FaxURL", "FaxPrefix",
            "FaxNumber", "FaxDefaultTemplate" } },
    { "Email",
        { "EmailDisable", "EmailCustom", "EmailProfile", "EmailTransport", "EmailProvider", "EmailFormat",
            "EmailEditor", "EmailBrevixDialog", "EmailBCCSelf", "EmailNotify", "EmailReadReceipt",
            "EmailDeliveryReceipt", "EmailServer", "EmailPort", "EmailHelo", "EmailFrom", "EmailEncryption",
            "EmailServerTimeout", "EmailUsername", "EmailPassword", "EmailSecret", "EmailDefaultTemplate",
            "EmailUnsubscribeEmail" } },
    { "SMS",
        { "SMSEnable", "SMSCustom", "SMSProvider", "SMSOriginator", "SMSPort", "SMSAccount", "SMSPassword",
            "SMSSetupURL", "SMSAccountURL", "SMSDefaultTemplate" } },
    { "Utilities",
        { "SpellDisable", "MessagerEnable", "ClientNotepad", "SupplierNotepad", "RFQNotepad", "QuoteNotepad",
            "OrderNotepad", "ProofNotepad", "DeliveryNotepad", "InvoiceNotepad", "POrderNotepad", "PInvoiceNotepad",
            "ActivityNotepad", "OpportunityNotepad", "MaterialNotepad", "TicketNotepad", "PopupNotepad" } },
    { "Startup",
        { "StartupViewQuotes", "StartupViewRFQs", "StartupViewQuoteChecking", "StartupViewQuoteFollowups",
            "StartupViewLibrary", "StartupQuoteQuery", "StartupViewOrders", "StartupViewOrderStatus",
            "StartupViewOrderChecking", "StartupViewPendingProofs", "StartupViewSchedule", "StartupViewPressWorkToList",
            "StartupOrderQuery", "StartupViewClients", "StartupClientQuery", "StartupViewSuppliers",
            "StartupSupplierQuery", "StartupViewCostOrders", "StartupViewApprovals", "StartupViewDeptTracking",
            "StartupViewWIP", "StartupCostSummary", "StartupCostQuery", "StartupViewInvoices", "StartupInvoiceQuery",
            "StartupViewPOrders", "StartupViewPOrderChecking", "StartupPOrderQuery", "StartupViewPInvoices",
            "StartupPInvoiceQuery", "StartupCRMProspects", "StartupCRMActivities", "StartupCRMQuery",
            "StartupCRMSchedule", "StartupCRMDiary", "StartupCRMList", "StartupCRMTickets", "StartupViewStock",
            "StartupStockQuery", "StartupStockReOrders", "StartupStockIssues", "StartupStockReturns",
            "StartupStockAllocations", "StartupViewGoods", "StartupGoodsQuery", "StartupGoodsIssues",
            "StartupGoodsTransfer", "StartupGoodsReturns", "StartupWebConsole", "StartupMessenger" } },
    { "Web", { "WebMonitorStart" } },
    { "CRM",
        { "SyncSuite", "SyncContacts", "SyncCalendar", "SyncTasks", "SyncAddAppts", "SyncAddTasks", "SyncAddEmail",
            "SyncUsername", "SyncPassword", "SyncAPIKey", "SyncRemoveEmailOnReply", "SyncEmailInterval",
            "SyncTaskInterval" } },
    { "Marlin", { "MarlinIntegration", "MarlinDSN", "MarlinUsername", "MarlinPassword" } },
    { "VOIP", { "VOIPEnable", "VOIPProvider", "VOIPAccount", "VOIPPassword", "VOIPAPIKey" } },
};

// Company defaults and BREVIX table steps with a record of what was asked.
class FakeSystemTables : public SystemTables
{
public:
    std::optional<CompanyMailDefaults> defaults = CompanyMailDefaults {};
    QStringList calls;

    std::optional<CompanyMailDefaults> readCompanyDefaults() override
    {
        calls << "DEFAULTS";
        return defaults;
    }
    void readBrevixRecord() override { calls << "BREVIX"; }
};

class SystemConfigTest : public testing::Test
{
protected:
    SystemConfigTest()
    {
        m_files.localIni = m_dir.filePath("webconsole.ini");
        m_files.webMonitorIni = m_dir.filePath("webmon.ini");
        m_options.debugOutputOff = true;
        m_trace.setOptions(m_options);
    }

    SystemConfig readFile(qint32 company = 0, const CompanyMailDefaults &mail = {}) const
    {
        return readSystemConfig(IniFile(m_files.localIni), mail, company);
    }

    QTemporaryDir m_dir;
    SettingsFiles m_files;
    TraceOptions m_options;
    TraceLog m_trace;
};

TEST_F(SystemConfigTest, absentKeys_takeTheirDefaults_filesFromGlobalData)
{
    writeAll(m_files.localIni, "[General]\r\nGlobalData=/srv/brevix/data\r\n");
    const SystemConfig c = readFile(3);
    EXPECT_EQ(c.configData, "/srv/brevix/data");
    EXPECT_EQ(c.reportFilename, "/srv/brevix/data/report.tps");
    EXPECT_EQ(c.layoutFilename, "/srv/brevix/data/layout.tps");
    EXPECT_EQ(c.queryWizard, "/srv/brevix/data/queries.tps");
    EXPECT_EQ(c.reportWizard, "/srv/brevix/data/Wizrept.tps");
    EXPECT_EQ(c.viewWizard, "/srv/brevix/data/Wizview.tps");
    EXPECT_EQ(c.headerColour, 6710886);
    EXPECT_EQ(c.toolbarColour, 0xC0C0C0);
    EXPECT_EQ(c.titleColour, 0xFFFFFF);
    EXPECT_EQ(c.panelColour, 0x998877);
    EXPECT_EQ(c.listHeight, 13);
    EXPECT_EQ(c.companyNo, 3);
    EXPECT_EQ(c.companyName, "Default company");
    EXPECT_EQ(c.languageCode, "eng");
    EXPECT_EQ(c.emailTransport, "MAPI");
    EXPECT_EQ(c.smsAccount, "demo");
    EXPECT_EQ(c.materialNotepad, "Never");
    EXPECT_EQ(c.activityNotepad, 0);
    EXPECT_EQ(c.clientNotepad, 1);
    EXPECT_EQ(c.faxDisable, 1);
    EXPECT_EQ(c.dialUrl, "callto:");
    EXPECT_EQ(c.startupWebConsole, 0);
}

TEST_F(SystemConfigTest, presentKeys_winOverDefaults_andAreCutAndRanged)
{
    writeAll(m_files.localIni,
        "[general]\nglobaldata=/data\nReportFilename=/elsewhere/r.tps\nLanguageCode=english\n"
        "[Interface]\nHeaderColour=0\nRoundCorners=70000\nWhiteTheme=300\n"
        "[Multicompany]\nCompanyNo=9\n"
        "[Email]\nEmailServer=smtp.local.example.com\nEmailServerTimeout=abc\n");
    CompanyMailDefaults mail;
    mail.emailServer = "smtp.company.example.com";
    mail.emailPort = "587";
    mail.emailFrom = "office@example.com";
    mail.emailServerTimeout = 30;
    const SystemConfig c = readFile(3, mail);
    EXPECT_EQ(c.reportFilename, "/elsewhere/r.tps");
    EXPECT_EQ(c.layoutFilename, "/data/layout.tps");
    EXPECT_EQ(c.languageCode, "engl");
    EXPECT_EQ(c.headerColour, 0);
    EXPECT_EQ(c.roundCorners, 32767);
    EXPECT_EQ(c.whiteTheme, 255);
    EXPECT_EQ(c.companyNo, 9);
    EXPECT_EQ(c.emailServer, "smtp.local.example.com");
    EXPECT_EQ(c.emailPort, "587");
    EXPECT_EQ(c.emailFrom, "office@example.com");
    EXPECT_EQ(c.emailServerTimeout, 0); // present but not a number
}

TEST_F(SystemConfigTest, everyMailServerKey_absentFromTheFile_isTheCompanys)
{
    CompanyMailDefaults mail;
    mail.emailServer = "smtp.company.example.com";
    mail.emailPort = "587";
    mail.emailHelo = "company.example.com";
    mail.emailFrom = "office@example.com";
    mail.emailEncryption = "TLS";
    mail.emailServerTimeout = 45;
    mail.emailUsername = "office";
    mail.emailPassword = "company-secret";
    struct Key
    {
        QByteArray name;
        QString company, own;
        std::function<QString(const SystemConfig &)> value;
    };
    const QList<Key> keys = {
        { "EmailServer", mail.emailServer, "smtp.own.example.com", [](const SystemConfig &c) { return c.emailServer; } },
        { "EmailPort", "587", "465", [](const SystemConfig &c) { return c.emailPort; } },
        { "EmailHelo", mail.emailHelo, "own.example.com", [](const SystemConfig &c) { return c.emailHelo; } },
        { "EmailFrom", mail.emailFrom, "me@example.com", [](const SystemConfig &c) { return c.emailFrom; } },
        { "EmailEncryption", "TLS", "SSL", [](const SystemConfig &c) { return c.emailEncryption; } },
        { "EmailServerTimeout", "45", "90",
            [](const SystemConfig &c) { return QString::number(c.emailServerTimeout); } },
        { "EmailUsername", "office", "me", [](const SystemConfig &c) { return c.emailUsername; } },
        { "EmailPassword", mail.emailPassword, "own-secret", [](const SystemConfig &c) { return c.emailPassword; } },
    };
    QByteArray own = "[Email]\nEmailCustom=1\n";
    for (const Key &k : keys)
        own += k.name + '=' + k.own.toUtf8() + '\n';

    // Both the reload and start-up's reading of the server keys alone.
    auto serverKeysOnly = [&] {
        SystemConfig c;
        readMailServerKeys(c, IniFile(m_files.localIni), mail);
        return c;
    };
    writeAll(m_files.localIni, "[Email]\nEmailCustom=1\n");
    const SystemConfig absent = readFile(0, mail);
    const SystemConfig absentAlone = serverKeysOnly();
    writeAll(m_files.localIni, own);
    const SystemConfig present = readFile(0, mail);
    const SystemConfig presentAlone = serverKeysOnly();
    for (const Key &k : keys) {
        EXPECT_EQ(k.value(absent), k.company) << k.name.constData();
        EXPECT_EQ(k.value(absentAlone), k.company) << k.name.constData();
        EXPECT_EQ(k.value(present), k.own) << k.name.constData();
        EXPECT_EQ(k.value(presentAlone), k.own) << k.name.constData();
    }
}

TEST_F(SystemConfigTest, writeBack_putsEveryKeyInTheFile_andKeepsForeignKeys)
{
    writeAll(m_files.localIni,
        "; workstation settings\n[General]\nGlobalData=/data\nForeignKey=stays\n"
        "[Other program]\nSetting=1\n");
    SystemConfig c = readFile();
    c.startupWebConsole = 1;
    c.companyName = "Print & Co";
    ASSERT_TRUE(writeSystemConfig(c, m_files.localIni));

    const IniFile ini(m_files.localIni);
    int count = 0;
    for (const auto &[section, keys] : kAllKeys) {
        for (const QString &key : keys) {
            EXPECT_TRUE(ini.contains(section, key)) << qPrintable(section) << " " << qPrintable(key);
            ++count;
        }
    }
    EXPECT_EQ(count, 194);
    EXPECT_EQ(ini.text("General", "ForeignKey"), "stays");
    EXPECT_EQ(ini.number("Other program", "Setting"), 1);
    EXPECT_EQ(ini.text("General", "ReportFilename"), "/data/report.tps");
    EXPECT_EQ(ini.text("Interface", "HeaderColour"), "6710886");
    EXPECT_TRUE(readAll(m_files.localIni).startsWith("; workstation settings\n"));
    EXPECT_EQ(readFile(), c);
}

TEST_F(SystemConfigTest, fileEditedByAnotherProgram_betweenReloadAndWriteBack_keepsItsOtherChanges)
{
    writeAll(m_files.localIni, "[General]\r\nGlobalData=/data\r\n[Security]\r\nLastLoginID=12\r\n");
    FakeSystemTables tables;
    SystemConfig c;
    ConsoleSettings settings;
    ASSERT_TRUE(reloadSystemConfig(c, settings, m_files, tables, 0, m_trace, m_dir.path()));
    c.startupWebConsole = 1;

    writeAll(m_files.localIni,
        "[General]\r\nGlobalData=/data\r\nAddedByOther=1\r\n; note by the other program\r\n"
        "[Security]\r\nLastLoginID=34\r\n[Backup]\r\nLastRun=2024-05-01\r\n");
    ASSERT_TRUE(writeSystemConfig(c, m_files.localIni));

    const IniFile ini(m_files.localIni);
    EXPECT_EQ(ini.number("General", "AddedByOther"), 1);
    EXPECT_EQ(ini.text("Backup", "LastRun"), "2024-05-01");
    EXPECT_TRUE(readAll(m_files.localIni).contains("; note by the other program\r\n"));
    EXPECT_EQ(ini.number("Startup", "StartupWebConsole"), 1);
    // The keys of the record are written from the record.
    EXPECT_EQ(ini.number("Security", "LastLoginID"), 12);
}

TEST_F(SystemConfigTest, reload_readsSettingsFirst_thenDefaults_thenBrevix_thenEveryKey)
{
    writeAll(m_files.localIni, "[General]\nGlobalData=/data\n[Web]\nQuotePhrases=0\n");
    writeAll(m_files.webMonitorIni, "[Settings]\nRefreshInterval=12\n");
    FakeSystemTables tables;
    tables.defaults->emailServer = "smtp.example.com";
    SystemConfig c;
    c.resourcePath = m_dir.filePath("res");
    ConsoleSettings settings;
    ASSERT_TRUE(reloadSystemConfig(c, settings, m_files, tables, 5, m_trace, m_dir.path()));

    EXPECT_EQ(tables.calls, (QStringList { "DEFAULTS", "BREVIX" }));
    EXPECT_EQ(settings.refreshInterval, 12);
    EXPECT_FALSE(settings.quotePhrases);
    // The settings were read with the resource folder the record held before the reload.
    EXPECT_EQ(settings.hotFolder, m_dir.filePath("res") + "/preflight");
    EXPECT_EQ(c.globalData, "/data");
    EXPECT_EQ(c.resourcePath, "");
    EXPECT_EQ(c.companyNo, 5);
    EXPECT_EQ(c.emailServer, "smtp.example.com");
}

TEST_F(SystemConfigTest, reload_withoutCompanyDefaults_rereadsOnlyTheSettings)
{
    writeAll(m_files.localIni, "[General]\nGlobalData=/new\n");
    writeAll(m_files.webMonitorIni, "[Settings]\nRefreshInterval=12\n");
    FakeSystemTables tables;
    tables.defaults.reset();
    SystemConfig c;
    c.globalData = "/old";
    const SystemConfig before = c;
    ConsoleSettings settings;
    EXPECT_FALSE(reloadSystemConfig(c, settings, m_files, tables, 0, m_trace, m_dir.path()));
    EXPECT_EQ(settings.refreshInterval, 12);
    EXPECT_EQ(c, before);
    EXPECT_EQ(tables.calls, QStringList { "DEFAULTS" });
}

} // namespace
