#include "config/TraceLog.h"
#include "console/Monitor.h"
#include "console/SetupEditor.h"
#include "console/Synchronisation.h"
#include "console/WebRows.h"
#include "console/ui/SetupSheet.h"
#include "console/ui/SyncPage.h"
#include "console/ui/WebConsole.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

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
    std::unique_ptr<WebConsole> window;
};

TEST_P(ConsoleTabs, leavingSetupAsksOnlyAfterAChangeThatRaisesTheQuestion)
{
    QTabWidget *tabs = window->tabs();
    console::SetupEditor &editor = window->setupSheet()->editor();
    tabs->setCurrentWidget(window->setupSheet());
    EXPECT_TRUE(window->monitor().cycle().isHeld());
    editor.accept(QStringLiteral("INI:WEBTASKTIMER"), 9);
    tabs->setCurrentIndex(0);
    EXPECT_TRUE(prompter.shown().isEmpty());

    tabs->setCurrentWidget(window->setupSheet());
    editor.accept(QStringLiteral("INI:ADMINEMAIL"), QStringLiteral("web@example.com"));
    prompter.answer(2); // No: the edits are dropped
    tabs->setCurrentIndex(0);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].text,
        QStringLiteral("Some settings may have changed, do you want to save the new values?"));
    EXPECT_TRUE(editor.values().settings.adminEmail.isEmpty());
    EXPECT_EQ(tabs->currentIndex(), 0);
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
