#include "bizlib/Clock.h"
#include "bizlib/DateText.h"
#include "config/IniFile.h"
#include "config/TraceLog.h"
#include "console/Monitor.h"
#include "console/setup/SetupEditor.h"
#include "console/sync/Synchronisation.h"
#include "console/WebRows.h"
#include "console/setup/ui/SetupSheet.h"
#include "console/sync/ui/SyncPage.h"
#include "console/ui/WebConsole.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

static void initListIcons()
{
    Q_INIT_RESOURCE(listicons);
}

using console::Synchronisation;
using console::ui::WebConsole;

namespace {

class ConsoleTabs : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        initListIcons();
        DataTest::SetUp();
        if (IsSkipped())
            return;
        for (const char *table : { "SYCONF", "DEFAULTS" })
            consoletest::addRow(db(), QString::fromLatin1(table), {});
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.trace = &trace;
        ctx.closeConfirmed = true;
        ctx.paths.localIni = dir.filePath(QStringLiteral("ws.ini"));
        ctx.web.webMonitorIni = dir.filePath(QStringLiteral("webmon.ini"));
        window = std::make_unique<WebConsole>(ctx, clock);
        window->show();
    }

    QStringList visibleHeaders() const
    {
        QStringList shown;
        QTreeWidget *nav = window->navigation();
        for (int i = 0; i < nav->topLevelItemCount(); ++i) {
            if (!nav->topLevelItem(i)->isHidden())
                shown << nav->topLevelItem(i)->text(0);
        }
        return shown;
    }

    QTemporaryDir dir;
    config::AppContext ctx;
    config::TraceLog trace { config::TraceOptions { true } };
    testsupport::ScriptedPrompter prompter;
    testsupport::FakeClock clock;
    // The window goes before the database: its background reads use it.
    void TearDown() override
    {
        window.reset();
        DataTest::TearDown();
    }

    std::unique_ptr<WebConsole> window;
};

TEST_P(ConsoleTabs, leavingSetupAsksAfterAnyEdit_noDropsIt_yesMakesItTakeEffect)
{
    QTabWidget *tabs = window->tabs();
    console::SetupEditor &editor = window->setupSheet()->editor();
    tabs->setCurrentWidget(window->setupSheet());
    EXPECT_TRUE(window->monitor().cycle().isHeld());
    tabs->setCurrentIndex(0);
    EXPECT_TRUE(prompter.shown().isEmpty()); // nothing edited, nothing asked

    // A timer does not set the settings-changed flag, but an edit that is kept on the screen
    // without taking effect is asked about all the same.
    const int timer = ctx.settings.webtaskTimer;
    tabs->setCurrentWidget(window->setupSheet());
    editor.accept(QStringLiteral("INI:WEBTASKTIMER"), timer + 9);
    prompter.answer(2); // No: the edit is dropped
    tabs->setCurrentIndex(0);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].text,
        QStringLiteral("Some settings may have changed, do you want to save the new values?"));
    EXPECT_EQ(editor.values().settings.webtaskTimer, timer);
    EXPECT_EQ(ctx.settings.webtaskTimer, timer);
    EXPECT_EQ(tabs->currentIndex(), 0);

    tabs->setCurrentWidget(window->setupSheet());
    EXPECT_EQ(editor.values().settings.webtaskTimer, timer);
    editor.accept(QStringLiteral("INI:WEBTASKTIMER"), timer + 9);
    editor.accept(QStringLiteral("INI:PROXYSERVER"), QStringLiteral("proxy.example"));
    prompter.answer(1); // Yes: saved, and the running console has it
    tabs->setCurrentIndex(0);
    EXPECT_EQ(ctx.settings.webtaskTimer, timer + 9);
    EXPECT_EQ(ctx.settings.proxyServer, QStringLiteral("proxy.example"));
    EXPECT_EQ(config::IniFile(ctx.web.webMonitorIni).number(QStringLiteral("Settings"), QStringLiteral("WebtaskTimer")),
        timer + 9);
    EXPECT_EQ(tabs->currentIndex(), 0);
}

// The setup's date shows as every date of the program, and what it shows can be typed back (and
// ISO too); a text that is no date leaves the value as it was.
TEST_P(ConsoleTabs, theSetupDate_showsAndTakesTheProgramsShortDate)
{
    window->tabs()->setCurrentWidget(window->setupSheet());
    console::SetupEditor &editor = window->setupSheet()->editor();
    auto *entry = window->setupSheet()->findChild<QLineEdit *>(QStringLiteral("DEF:WEBHISTORY"));
    ASSERT_TRUE(entry);
    const bizlib::DateText dates;
    const auto type = [&](const QString &text) {
        entry->setText(text);
        Q_EMIT entry->editingFinished();
        return editor.value(QStringLiteral("DEF:WEBHISTORY")).toInt();
    };
    EXPECT_EQ(type(dates.shortDate(QDate(2025, 12, 8))), bizlib::DateTime::fromDate(QDate(2025, 12, 8)));
    EXPECT_EQ(entry->text(), dates.shortDate(QDate(2025, 12, 8)));
    EXPECT_EQ(type(QStringLiteral("2024-02-29")), bizlib::DateTime::fromDate(QDate(2024, 2, 29)));
    EXPECT_EQ(entry->text(), dates.shortDate(QDate(2024, 2, 29)));
    EXPECT_EQ(type(QStringLiteral("next week")), bizlib::DateTime::fromDate(QDate(2024, 2, 29)));
    EXPECT_EQ(entry->text(), dates.shortDate(QDate(2024, 2, 29)));
}

TEST_P(ConsoleTabs, theWebsiteButtonOfSetup_isTippedWithItsOwnText)
{
    auto *open = window->setupSheet()->findChild<QPushButton *>(QStringLiteral("openWebsite"));
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text(), QStringLiteral("Open website url"));
    EXPECT_EQ(open->toolTip(), QStringLiteral("Open website url"));
}

TEST_P(ConsoleTabs, whileSynchronisingOnlyTheSynchroniseHeaderIsOffered)
{
    Synchronisation &sync = window->synchronisation();
    EXPECT_EQ(visibleHeaders().size(), 5);
    window->tabs()->setCurrentWidget(window->syncPage());
    sync.setOption(Synchronisation::Sizes, true);
    EXPECT_TRUE(window->syncPage()->runButton()->isEnabled());
    EXPECT_FALSE(window->syncPage()->cancelButton()->isEnabled());
    window->syncPage()->runButton()->click();
    ASSERT_TRUE(sync.isSynchronising());
    EXPECT_EQ(visibleHeaders(), QStringList { QStringLiteral("Synchronise") });
    EXPECT_FALSE(window->tabs()->isTabEnabled(0));
    EXPECT_FALSE(window->syncPage()->runButton()->isEnabled());
    window->syncPage()->cancelButton()->click();
    EXPECT_EQ(visibleHeaders().size(), 5);
    EXPECT_TRUE(window->tabs()->isTabEnabled(0));
}

INSTANTIATE_TEST_SUITE_P(Engines, ConsoleTabs, testing::Values(testsupport::Engine::SQLite), testsupport::engineName);

} // namespace
