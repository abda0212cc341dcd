#include "bizlib/Table.h"
#include "config/TraceLog.h"
#include "console/HistoryListModel.h"
#include "console/logs/ui/HistoryPage.h"
#include "console/logs/ui/LogsPage.h"
#include "console/ui/WebConsole.h"
#include "data/ui/WebPurge.h"
#include "demo/DemoData.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QDateEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

// Outside any namespace, as the resource macro wants.
static void initListIcons()
{
    Q_INIT_RESOURCE(listicons);
}

using console::ui::WebConsole;
using data::ui::WebPurge;

namespace {

// The console on the demo database, as a user sees it.
class PurgeWindow : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        initListIcons();
        DataTest::SetUp();
        if (IsSkipped())
            return;
        const bizlib::Status st = demo::DemoData(db()).fillAll();
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.trace = &trace;
        ctx.closeConfirmed = true;
        ctx.paths.localIni = dir.filePath(QStringLiteral("ws.ini"));
        ctx.paths.windowIni = dir.filePath(QStringLiteral("windows.ini"));
        ctx.web.webMonitorIni = dir.filePath(QStringLiteral("webmon.ini"));
        window = std::make_unique<WebConsole>(ctx, clock);
        window->show();
    }

    qint64 tasks(const QString &where = {}, const QVariantList &params = {})
    {
        qint64 n = -1;
        EXPECT_TRUE(bizlib::Table(db(), QStringLiteral("WebTask")).count(&n, where, params).isOk());
        return n;
    }

    QTreeWidgetItem *navigationItem(const QString &text) const
    {
        const QList<QTreeWidgetItem *> found
            = window->navigation()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    // Runs `step` on the purge window once it is open (it is modal: the click that opens it
    // returns only when it has closed).
    static void whenOpen(const std::function<void(WebPurge *)> &step, int tries = 200)
    {
        QTimer::singleShot(10, [step, tries] {
            auto *purge = qobject_cast<WebPurge *>(QApplication::activeModalWidget());
            if (purge && purge->isVisible())
                step(purge);
            else if (tries > 0)
                whenOpen(step, tries - 1);
        });
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

TEST_P(PurgeWindow, fromTheNavigation_purgesTheCompletedTasksUpToTheDate_andTheHistoryShowsTheRest)
{
    const QString completed = QStringLiteral("\"status\" = 'Completed'");
    const qint64 all = tasks();
    const qint64 done = tasks(completed);
    ASSERT_GT(done, 1);
    ASSERT_GT(all, done);

    QTreeWidgetItem *item = navigationItem(QStringLiteral("Delete completed web log history"));
    ASSERT_NE(item, nullptr);
    QStringList seen;
    whenOpen([&seen](WebPurge *purge) {
        seen << purge->windowTitle() << purge->pauseButton()->text();
        // The demo's tasks are of the last two weeks: today takes every completed one.
        purge->dateEdit()->setFocus();
        purge->dateEdit()->setDate(QDate::currentDate());
        QTest::mouseClick(purge->pauseButton(), Qt::LeftButton);
        seen << purge->pauseButton()->text();
    });
    QTreeWidget *nav = window->navigation();
    QTest::mouseClick(nav->viewport(), Qt::LeftButton, {}, nav->visualItemRect(item).center());

    // The window ran to its end and closed by itself; the console shows the history without them.
    EXPECT_EQ(
        seen, (QStringList { QStringLiteral("Processing Records"), QStringLiteral("Start"), QStringLiteral("Pause") }));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(tasks(completed), 0);
    EXPECT_EQ(tasks(), all - done);
    EXPECT_EQ(window->tabs()->currentWidget(), window->logs());
    QAbstractItemModel *history = window->logs()->history()->view()->model();
    EXPECT_EQ(history->rowCount(), all - done);
    for (int row = 0; row < history->rowCount(); ++row)
        EXPECT_NE(history->index(row, console::HistoryListModel::Status).data().toString().trimmed(),
            QStringLiteral("Completed"));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(PurgeWindow, cancelledBeforeItStarts_deletesNothing)
{
    const qint64 all = tasks();
    QTreeWidgetItem *item = navigationItem(QStringLiteral("Delete completed web log history"));
    ASSERT_NE(item, nullptr);
    bool closed = false;
    whenOpen([&closed](WebPurge *purge) {
        purge->dateEdit()->setDate(QDate::currentDate());
        QTest::keyClick(purge, Qt::Key_Escape);
        closed = !purge->isVisible();
    });
    QTreeWidget *nav = window->navigation();
    QTest::mouseClick(nav->viewport(), Qt::LeftButton, {}, nav->visualItemRect(item).center());
    EXPECT_TRUE(closed);
    EXPECT_EQ(tasks(), all);
}

INSTANTIATE_TEST_SUITE_P(Engines, PurgeWindow, testing::Values(testsupport::Engine::SQLite), testsupport::engineName);

} // namespace
