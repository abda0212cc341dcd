#include "console/setup/SetupEditor.h"

#include "bizlib/Clock.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/AppContext.h"
#include "config/ConsoleSettingsFile.h"
#include "config/IniFile.h"
#include "config/TraceLog.h"
#include "console/ScriptedDesktop.h"
#include "console/SoundPlayer.h"
#include "console/WebRows.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

using namespace console;
using consoletest::addRow;
using Icon = bizlib::Prompter::Icon;

namespace {

class RecordingPlayer : public SoundPlayer
{
public:
    QStringList played;

protected:
    void start(const QString &file) override { played << file; }
};

class SetupTab : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.trace = &trace;
        ctx.glo.user.userCode = QStringLiteral("JS");
        ctx.web.webMonitorIni = dir.filePath(QStringLiteral("webmon.ini"));
        ctx.paths.localIni = dir.filePath(QStringLiteral("webconsole.ini"));
        ctx.settings.hotFolder = ctx.settings.edocHotFolder = dir.path();
        syconf = addRow(db(), QStringLiteral("SYCONF"), {});
        addRow(db(), QStringLiteral("DEFAULTS"), [](bizlib::Record &r) {
            r.setText("WebMarkup", QStringLiteral("STD"));
            r.setText("GatewayType", QStringLiteral("None"));
            r.setText("EmailServer", QStringLiteral("smtp.example.com"));
        });
        editor.load();
    }

    bizlib::Record defaults()
    {
        bizlib::Table t(db(), QStringLiteral("DEFAULTS"));
        bizlib::TableCursor c(t, QStringLiteral("DEFAULTSIDKEY"));
        bizlib::Record r;
        EXPECT_TRUE(c.next(r).isOk());
        return r;
    }
    int taskCount()
    {
        qint64 n = 0;
        EXPECT_TRUE(bizlib::Table(db(), QStringLiteral("WebTask")).count(&n).isOk());
        return static_cast<int>(n);
    }
    QString webmonKey(const char *key)
    {
        return config::IniFile(ctx.web.webMonitorIni).text(QStringLiteral("Settings"), QString::fromLatin1(key));
    }

    QTemporaryDir dir;
    config::AppContext ctx;
    config::TraceLog trace { config::TraceOptions { true } };
    testsupport::ScriptedPrompter prompter;
    testsupport::ScriptedForms forms;
    consoletest::ScriptedDesktop desktop;
    RecordingPlayer player;
    SetupEditor editor { ctx, forms, desktop, player };
    qint32 syconf = 0;
};

TEST_P(SetupTab, onlyTheWebsiteToWebHistoryControlsRaiseTheSaveQuestion)
{
    const QList<std::pair<const char *, QVariant>> quiet { { "INI:POLLSITETIMER", 7 }, { "INI:REFRESHINTERVAL", 45 },
        { "INI:ENQUIRYSOUND", QStringLiteral("/tmp/ding.wav") }, { "INI:QUOTELAYOUT", 3 },
        { "INI:PROXYSERVER", QStringLiteral("proxy") }, { "DEF:GATEWAYMODE", QStringLiteral("Sandbox") } };
    for (const auto &[field, value] : quiet) {
        EXPECT_TRUE(editor.accept(QString::fromLatin1(field), value)) << field;
        EXPECT_FALSE(editor.isChanged()) << field;
    }
    const QList<std::pair<const char *, QVariant>> loud { { "INI:WEBURL", QStringLiteral("https://shop.example") },
        { "INI:AUTOEMAILREP", true }, { "DEF:WEBHISTORY", 80000 }, { "INI:STARTUPWEBCONSOLE", true } };
    for (const auto &[field, value] : loud) {
        editor.load();
        EXPECT_FALSE(editor.accept(QString::fromLatin1(field), editor.value(QString::fromLatin1(field))));
        EXPECT_FALSE(editor.isChanged()) << field; // the same value is no change
        editor.accept(QString::fromLatin1(field), value);
        EXPECT_TRUE(editor.isChanged()) << field;
    }
    // No to the question drops the edits; Yes would have saved them.
    prompter.answer(2);
    EXPECT_TRUE(editor.leave());
    EXPECT_EQ(prompter.shown().last().caption, QStringLiteral("Settings changed"));
    EXPECT_FALSE(editor.isChanged());
    EXPECT_FALSE(editor.values().settings.autoEmailRep);
}

TEST_P(SetupTab, enteredNumbers_areKeptWithinWhatTheirKeysHold)
{
    const struct
    {
        const char *field;
        int entered, kept;
    } cases[] = { { "INI:PENDINGINTERVAL", 256, 255 }, { "INI:PENDINGINTERVAL", -1, 0 },
        { "INI:MAXATTEMPTS", 255, 255 }, { "INI:MAXATTEMPTS", 300, 255 }, { "INI:MAXWEBTASKS", 51, 50 },
        { "INI:MAXWEBTASKS", -2, 0 }, { "INI:REFRESHINTERVAL", 0, 1 }, { "INI:PROXYPORT", 65536, 65535 },
        { "INI:PROXYPORT", 65535, 65535 } };
    for (const auto &c : cases) {
        editor.accept(QString::fromLatin1(c.field), c.entered);
        EXPECT_EQ(editor.value(QString::fromLatin1(c.field)).toInt(), c.kept) << c.field << " " << c.entered;
    }
}

TEST_P(SetupTab, dependentControlsFollowTheirSwitches)
{
    EXPECT_FALSE(editor.isEnabled(QStringLiteral("INI:RFQESTIMATOR")));
    ctx.settings.autoProcessRfqs = true;
    editor.load();
    // As the tab opens the estimator's controls simply follow the box ...
    EXPECT_TRUE(editor.isEnabled(QStringLiteral("INI:RFQNOTIFY")));
    // ... once changed, notifying needs an estimator.
    editor.accept(QStringLiteral("INI:RFQESTIMATOR"), QStringLiteral("AB"));
    EXPECT_TRUE(editor.isEnabled(QStringLiteral("INI:RFQNOTIFY")));
    editor.accept(QStringLiteral("INI:RFQESTIMATOR"), QString());
    EXPECT_TRUE(editor.isEnabled(QStringLiteral("INI:RFQESTIMATOR")));
    EXPECT_FALSE(editor.isEnabled(QStringLiteral("INI:RFQNOTIFY")));

    EXPECT_FALSE(editor.isEnabled(QStringLiteral("INI:PENDINGINTERVAL")));
    editor.accept(QStringLiteral("INI:PENDINGREMINDER"), true);
    EXPECT_TRUE(editor.isEnabled(QStringLiteral("INI:PENDINGINTERVAL")));

    // The gateway: "None" clears and disables its fields, "Paypal" fills in its address.
    EXPECT_FALSE(editor.isEnabled(QStringLiteral("DEF:GATEWAYURL")));
    editor.accept(QStringLiteral("DEF:GATEWAYTYPE"), QStringLiteral("Paypal"));
    EXPECT_TRUE(editor.isEnabled(QStringLiteral("DEF:GATEWAYID")));
    EXPECT_TRUE(editor.isRequired(QStringLiteral("DEF:GATEWAYURL")));
    EXPECT_EQ(editor.values().defaults.gatewayUrl, QString::fromLatin1(PaymentGateway::PaypalSite));
    editor.accept(QStringLiteral("DEF:GATEWAYID"), QStringLiteral("shop@example.com"));
    editor.accept(QStringLiteral("DEF:GATEWAYTYPE"), QStringLiteral("NONE"));
    EXPECT_TRUE(editor.values().defaults.gatewayId.isEmpty());
    EXPECT_FALSE(editor.isRequired(QStringLiteral("DEF:GATEWAYURL")));
}

TEST_P(SetupTab, automatedSignupsNeedAnAdminAddressOrANotifiedRepOrManager)
{
    ctx.settings.adminEmail.clear();
    editor.load();
    editor.accept(QStringLiteral("INI:SIGNUPPROCESS"), QStringLiteral("Auto"));
    EXPECT_TRUE(editor.values().settings.autoEmailRep);
    EXPECT_TRUE(editor.values().settings.autoEmailManager);
    EXPECT_TRUE(editor.save());

    editor.accept(QStringLiteral("INI:AUTOEMAILREP"), false);
    editor.accept(QStringLiteral("INI:AUTOEMAILMANAGER"), false);
    QString focus;
    QObject::connect(&editor, &SetupEditor::focusRequested, [&](const QString &f) { focus = f; });
    const int tasks = taskCount();
    EXPECT_FALSE(editor.save());
    EXPECT_EQ(prompter.shown().last().caption, QStringLiteral("No sign-up emails"));
    EXPECT_EQ(focus, QStringLiteral("INI:ADMINEMAIL"));
    EXPECT_EQ(taskCount(), tasks);
    EXPECT_TRUE(editor.isChanged());
}

TEST_P(SetupTab, saveWritesTheFilesAndTheDefaultsThenTellsTheWebsite)
{
    QString title;
    QObject::connect(&editor, &SetupEditor::titleChanged, [&](const QString &t) { title = t; });
    editor.accept(QStringLiteral("INI:WEBURL"), QStringLiteral("https://Shop.Example//"));
    editor.accept(QStringLiteral("INI:STARTUPWEBCONSOLE"), true);
    editor.accept(QStringLiteral("DEF:WEBEXPIRY"), 90);
    editor.accept(QStringLiteral("DEF:WEBHISTORY"), 80000);
    ASSERT_TRUE(editor.save());

    EXPECT_EQ(webmonKey("WebURL"), QStringLiteral("https://Shop.Example"));
    EXPECT_EQ(
        config::IniFile(ctx.paths.localIni).number(QStringLiteral("Startup"), QStringLiteral("StartupWebConsole")), 1);
    EXPECT_EQ(ctx.settings.webUrl, QStringLiteral("https://Shop.Example"));
    EXPECT_EQ(defaults().toLong("WebExpiry"), 90);
    EXPECT_EQ(defaults().text("EmailServer"), QStringLiteral("smtp.example.com"));
    bizlib::Table t(db(), QStringLiteral("WebTask"));
    bizlib::TableCursor c(t, QStringLiteral("WEBTASKIDKEY"));
    bizlib::Record task;
    ASSERT_TRUE(c.next(task).isOk());
    EXPECT_EQ(task.text("TaskType"), QStringLiteral("Defaults"));
    EXPECT_EQ(task.text("TaskRequest"), QStringLiteral("Update"));
    EXPECT_EQ(task.toLong("TaskID"), syconf);
    EXPECT_EQ(task.text("Description"), QStringLiteral("Syconf/defaults updated"));
    EXPECT_EQ(task.toLong("WebHistory"), 80000);
    EXPECT_EQ(title, QStringLiteral("Web console - https://shop.example"));
    EXPECT_FALSE(editor.isChanged());
    EXPECT_EQ(prompter.shown().last().caption, QStringLiteral("Settings modified"));
    EXPECT_EQ(prompter.beeps().last(), Icon::Information);
}

TEST_P(SetupTab, aDefaultsRecordThatCannotBeSavedIsReportedAndQueuesNothing)
{
    editor.accept(QStringLiteral("INI:ADMINEMAIL"), QStringLiteral("web@example.com"));
    editor.accept(QStringLiteral("DEF:WEBMARKUP"), QStringLiteral("WEB"));
    const QString table = bizlib::Dictionary::instance().require(QStringLiteral("DEFAULTS")).sqlTable();
    QSqlQuery q;
    ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE %1 RENAME TO defaults_gone").arg(table), {}, &q).isOk());

    ASSERT_TRUE(editor.save());
    EXPECT_EQ(webmonKey("AdminEmail"), QStringLiteral("web@example.com")); // the files are written
    EXPECT_EQ(taskCount(), 0);
    EXPECT_EQ(prompter.shown().last().icon, Icon::Exclamation);
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("company defaults could not be saved")));
    EXPECT_TRUE(editor.isChanged());
    EXPECT_EQ(editor.values().defaults.webMarkup, QStringLiteral("WEB"));
    ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE defaults_gone RENAME TO %1").arg(table), {}, &q).isOk());
}

TEST_P(SetupTab, aWorkstationFileThatCannotBeReadInFullIsLeftAsItIs_andTheRefusalIsShownAndLogged)
{
    config::TraceOptions options;
    options.plainFileOn = true;
    options.plainFileName = dir.filePath(QStringLiteral("DebugLog.txt"));
    trace.setOptions(options);
    QByteArray damaged = "[Web]\nEnquiryAlert=0\n";
    damaged += '\0';
    damaged += "\n[Startup]\nStartupWebConsole=0\n";
    QFile file(ctx.paths.localIni);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();

    editor.accept(QStringLiteral("INI:STARTUPWEBCONSOLE"), true);
    ASSERT_TRUE(editor.save());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);
    EXPECT_EQ(prompter.shown().last().caption, QStringLiteral("Settings not saved"));
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("workstation settings could not be written")));
    QFile log(options.plainFileName);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray expected = "System configuration not saved: "
        + QDir::toNativeSeparators(ctx.paths.localIni).toUtf8()
        + " was not written: it could not be read in full (line 3 holds a NUL byte)";
    EXPECT_TRUE(log.readAll().contains(expected));
}

TEST_P(SetupTab, cancelDropsEditsOfTheDefaultsAsWellAsOfTheFiles)
{
    ctx.settings.webUrl = QStringLiteral("https://saved.example");
    config::putIniSettings(ctx.settings, ctx.settingsFiles(), trace);
    editor.load();
    editor.accept(QStringLiteral("INI:WEBURL"), QStringLiteral("https://typed.example"));
    editor.accept(QStringLiteral("DEF:WEBMARKUP"), QStringLiteral("ABANDON"));
    editor.accept(QStringLiteral("DEF:GATEWAYTYPE"), QStringLiteral("Paypal"));
    editor.cancel();
    EXPECT_EQ(editor.values().settings.webUrl, QStringLiteral("https://saved.example"));
    EXPECT_EQ(editor.values().defaults.webMarkup, QStringLiteral("STD"));
    EXPECT_EQ(editor.values().defaults.gatewayType, QStringLiteral("None"));

    editor.accept(QStringLiteral("INI:ADMINEMAIL"), QStringLiteral("web@example.com"));
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(defaults().text("WebMarkup"), QStringLiteral("STD"));
    EXPECT_EQ(defaults().text("GatewayURL"), QString());
}

TEST_P(SetupTab, lookupsTakeATypedCodeOrOfferTheirList)
{
    addRow(db(), QStringLiteral("Users"), [](bizlib::Record &r) {
        r.setText("Initials", QStringLiteral("AB"));
        r.setLong("Active", 1);
    });
    const auto client = [&](const char *code, int web) {
        addRow(db(), QStringLiteral("Clients"), [&](bizlib::Record &r) {
            r.setText("Code", QString::fromLatin1(code));
            r.setText("NameCaps", QString::fromLatin1(code));
            r.setLong("WebEnable", web);
        });
    };
    client("WEBCO", 1);
    client("SHOPCO", 0);
    addRow(db(), QStringLiteral("Markups"), [](bizlib::Record &r) {
        r.setText("Markup", QStringLiteral("OLD"));
        r.setLong("ValidFrom", 1000);
        r.setLong("ValidTo", 2000);
    });

    editor.acceptCode(QStringLiteral("INI:RFQESTIMATOR"), QStringLiteral("ab"));
    EXPECT_EQ(editor.value(QStringLiteral("INI:RFQESTIMATOR")).toString(), QStringLiteral("AB"));
    EXPECT_TRUE(forms.listsShown().isEmpty());

    forms.locateAndSelect(QStringLiteral("WEB"));
    editor.acceptCode(QStringLiteral("INI:SIGNUPACCOUNT"), QStringLiteral("NOSUCH"));
    EXPECT_EQ(editor.value(QStringLiteral("INI:SIGNUPACCOUNT")).toString(), QStringLiteral("WEBCO"));
    ASSERT_EQ(forms.listsShown().size(), 1);

    forms.cancelList();
    editor.acceptCode(QStringLiteral("INI:VOUCHERCODE"), QStringLiteral("NOSUCH"));
    EXPECT_TRUE(editor.value(QStringLiteral("INI:VOUCHERCODE")).toString().isEmpty());

    editor.acceptCode(QStringLiteral("INI:SIGNUPACCOUNT"), QStringLiteral("SHOPCO"));
    EXPECT_EQ(prompter.shown().last().caption, QStringLiteral("Invalid client selected"));
    EXPECT_TRUE(editor.value(QStringLiteral("INI:SIGNUPACCOUNT")).toString().isEmpty());

    editor.acceptCode(QStringLiteral("DEF:WEBMARKUP"), QStringLiteral("OLD")); // not valid today
    EXPECT_TRUE(editor.value(QStringLiteral("DEF:WEBMARKUP")).toString().isEmpty());
}

TEST_P(SetupTab, playFoldersAndWebsiteAddress)
{
    const QString sound = dir.filePath(QStringLiteral("ding.wav"));
    QFile f(sound);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    for (const QString &file : { QString(), QStringLiteral("   "), dir.filePath(QStringLiteral("gone.wav")), sound }) {
        editor.accept(QStringLiteral("INI:SIGNUPSOUND"), file);
        editor.play(QStringLiteral("INI:SIGNUPSOUND"));
    }
    EXPECT_EQ(player.played, QStringList { sound });

    EXPECT_FALSE(editor.acceptFolder(QStringLiteral("INI:HOTFOLDER"), dir.filePath(QStringLiteral("nowhere"))));
    EXPECT_EQ(prompter.beeps().last(), Icon::Exclamation);
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_TRUE(editor.acceptFolder(QStringLiteral("INI:HOTFOLDER"), dir.path()));

    editor.accept(QStringLiteral("INI:WEBURL"), QStringLiteral("https://shop.example   "));
    editor.openWebsite();
    EXPECT_EQ(desktop.opened(), QStringList { QStringLiteral("https://shop.example") });
}

TEST_P(SetupTab, anEditOnAnyPage_isAskedAboutOnLeaving_noGivesTheLoadedValuesBack)
{
    const QList<std::pair<const char *, QVariant>> edits { { "INI:POLLSITETIMER", 7 },
        { "INI:ENQUIRYSOUND", QStringLiteral("/tmp/ding.wav") }, { "INI:QUOTELAYOUT", 3 },
        { "INI:PROXYSERVER", QStringLiteral("proxy") }, { "DEF:GATEWAYMODE", QStringLiteral("Sandbox") } };
    for (const auto &[field, value] : edits) {
        const QVariant before = editor.value(QString::fromLatin1(field));
        EXPECT_TRUE(editor.leave()) << field; // nothing edited yet: nothing asked
        const qsizetype asked = prompter.shown().size();
        ASSERT_TRUE(editor.accept(QString::fromLatin1(field), value)) << field;
        EXPECT_FALSE(editor.isChanged()) << field;
        EXPECT_TRUE(editor.hasEdits()) << field;
        prompter.answer(2); // No
        EXPECT_TRUE(editor.leave()) << field;
        ASSERT_EQ(prompter.shown().size(), asked + 1) << field;
        EXPECT_EQ(prompter.shown().last().caption, QStringLiteral("Settings changed"));
        EXPECT_EQ(editor.value(QString::fromLatin1(field)), before) << field;
        EXPECT_FALSE(editor.hasEdits()) << field;
    }
    // Yes saves: the running console and the files have the edit.
    editor.accept(QStringLiteral("INI:USERTIMER"), 77);
    prompter.answer(1);
    EXPECT_TRUE(editor.leave());
    EXPECT_EQ(ctx.settings.userTimer, 77);
    EXPECT_EQ(webmonKey("UserTimer"), QStringLiteral("77"));
    EXPECT_FALSE(editor.hasEdits());
}

TEST_P(SetupTab, choosingExistingOrAutoAgain_ticksTheNotificationBoxesAgain)
{
    for (const char *process : { "Auto", "Existing" }) {
        editor.load();
        editor.accept(QStringLiteral("INI:SIGNUPPROCESS"), QString::fromLatin1(process));
        editor.accept(QStringLiteral("INI:AUTOEMAILREP"), false);
        editor.accept(QStringLiteral("INI:AUTOEMAILMANAGER"), false);
        EXPECT_FALSE(editor.accept(QStringLiteral("INI:SIGNUPPROCESS"), QString::fromLatin1(process))) << process;
        EXPECT_TRUE(editor.values().settings.autoEmailRep) << process;
        EXPECT_TRUE(editor.values().settings.autoEmailManager) << process;
    }
    // Any other choice leaves the boxes as they are.
    editor.accept(QStringLiteral("INI:AUTOEMAILREP"), false);
    editor.accept(QStringLiteral("INI:SIGNUPPROCESS"), QStringLiteral("Manual"));
    editor.accept(QStringLiteral("INI:SIGNUPPROCESS"), QStringLiteral("Manual"));
    EXPECT_FALSE(editor.values().settings.autoEmailRep);
}

TEST_P(SetupTab, save_writesOnlyWhatThisWorkstationChanged_keepingAnotherWorkstationsLaterChanges)
{
    // Both files hold every key, as after any earlier Save.
    ctx.settings.pollsiteTimer = 5;
    ctx.settings.proxyServer = QStringLiteral("old-proxy");
    ASSERT_TRUE(config::putIniSettings(ctx.settings, ctx.settingsFiles(), trace));
    editor.load();

    // Meanwhile another workstation saves its own changes to the shared file, and the service
    // (or a second console of this user) changes the workstation file.
    ASSERT_TRUE(config::IniFile(ctx.web.webMonitorIni)
                    .write({ { QStringLiteral("Settings"), QStringLiteral("PollsiteTimer"), QStringLiteral("42") },
                        { QStringLiteral("Settings"), QStringLiteral("ProxyServer"), QStringLiteral("new-proxy") },
                        { QStringLiteral("Settings"), QStringLiteral("AdminEmail"), QStringLiteral("theirs@x") } }));
    ASSERT_TRUE(config::IniFile(ctx.paths.localIni)
                    .writeText(QStringLiteral("Web"), QStringLiteral("PendingInterval"), QStringLiteral("30")));

    editor.accept(QStringLiteral("INI:WEBURL"), QStringLiteral("https://ours.example"));
    editor.accept(QStringLiteral("INI:ADMINEMAIL"), QStringLiteral("ours@x"));
    editor.accept(QStringLiteral("INI:ENQUIRYALERT"), !ctx.settings.enquiryAlert);
    ASSERT_TRUE(editor.save());

    EXPECT_EQ(webmonKey("WebURL"), QStringLiteral("https://ours.example"));
    EXPECT_EQ(webmonKey("AdminEmail"), QStringLiteral("ours@x")); // changed by both: ours, the later save
    EXPECT_EQ(webmonKey("PollsiteTimer"), QStringLiteral("42"));
    EXPECT_EQ(webmonKey("ProxyServer"), QStringLiteral("new-proxy"));
    const config::IniFile local(ctx.paths.localIni);
    EXPECT_EQ(local.number(QStringLiteral("Web"), QStringLiteral("PendingInterval")), 30);
    EXPECT_EQ(local.number(QStringLiteral("Web"), QStringLiteral("EnquiryAlert")), ctx.settings.enquiryAlert ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, SetupTab, testsupport::allEngines(), testsupport::engineName);

} // namespace
