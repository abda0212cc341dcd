#include "console/logs/ui/UsersPage.h"

#include "bizlib/Table.h"
#include "config/TraceLog.h"
#include "console/logs/UserListModel.h"
#include "console/logs/ui/LogsPage.h"
#include "console/ui/WebConsole.h"
#include "demo/DemoData.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"
#include "webmon/AccountList.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

static void initListIcons()
{
    Q_INIT_RESOURCE(listicons);
}

using console::UserListModel;
using console::ui::UsersPage;
using webmon::AccountList;

namespace {

// The whole console window on the demo database, with the accounts file the demo web monitor
// writes for it: the Users page is reached, filtered and sent as a user does it, by mouse.
class UsersOnTheDemo : public testing::Test
{
protected:
    void SetUp() override
    {
        initListIcons();
        ASSERT_TRUE(data.isAvailable());
        demo::DemoData demo(data.db());
        demo.setToday(kNow.date());
        const bizlib::Status filled = demo.fillAll();
        ASSERT_TRUE(filled.isOk()) << filled.message().toStdString();
        // A few rounds of the web monitor, so that some users are online.
        for (int minute = 0; minute < 30; minute += 5)
            ASSERT_TRUE(accounts.refresh(data.db(), kNow.addSecs(minute * 60)).isOk());
        ctx.paths.accountsFile = dir.filePath(QStringLiteral("accounts.xml"));
        QString error;
        ASSERT_TRUE(accounts.write(ctx.paths.accountsFile, &error)) << error.toStdString();

        ctx.db = &data.db();
        ctx.prompter = &prompter;
        ctx.trace = &trace;
        ctx.closeConfirmed = true;
        ctx.paths.localIni = dir.filePath(QStringLiteral("ws.ini"));
        ctx.web.webMonitorIni = dir.filePath(QStringLiteral("webmon.ini"));
        window = std::make_unique<console::ui::WebConsole>(ctx, clock);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // Clicks the navigation bar's entry with this text.
    void navigate(const QString &text)
    {
        QTreeWidget *nav = window->navigation();
        const QList<QTreeWidgetItem *> found = nav->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        nav->scrollToItem(found.first());
        QTest::mouseClick(nav->viewport(), Qt::LeftButton, {}, nav->visualItemRect(found.first()).center());
    }
    UsersPage *page() const { return window->logs()->users(); }
    void clickFilter(const char *name)
    {
        auto *button = page()->findChild<QRadioButton *>(QString::fromLatin1(name));
        ASSERT_TRUE(button) << name;
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(button->isChecked()) << name;
    }
    // The accounts a filter takes, as the demo web monitor wrote them: "name" in file order.
    QStringList expected(const std::function<bool(const AccountList::Account &)> &takes) const
    {
        QStringList names;
        for (const AccountList::Account &a : accounts.accounts())
            if (takes(a))
                names << a.name.left(50);
        return names;
    }
    QStringList shown() const
    {
        QStringList names;
        const QAbstractItemModel *m = page()->view()->model();
        for (int row = 0; row < m->rowCount(); ++row)
            names << m->index(row, UserListModel::Account).data().toString();
        return names;
    }

    const QDateTime kNow { QDate(2026, 3, 16), QTime(10, 30) };
    testsupport::TestDatabase data { testsupport::Engine::SQLite };
    QRandomGenerator rng { 7 };
    AccountList accounts { rng };
    QTemporaryDir dir;
    config::AppContext ctx;
    config::TraceLog trace { config::TraceOptions { true } };
    testsupport::ScriptedPrompter prompter;
    testsupport::FakeClock clock;
    std::unique_ptr<console::ui::WebConsole> window;
};

// An empty list says why: no file from the web monitor yet, or one that cannot be read.
TEST_F(UsersOnTheDemo, theLineBelowTheListSaysWhereItComesFrom)
{
    navigate(QStringLiteral("Display active/inactive users"));
    EXPECT_TRUE(page()->sourceText().startsWith(QStringLiteral("As the web monitor reported them on ")))
        << page()->sourceText().toStdString();
    ASSERT_TRUE(QFile::remove(ctx.paths.accountsFile));
    clickFilter("All");
    EXPECT_EQ(page()->model().rowCount(), 0);
    EXPECT_TRUE(page()->sourceText().contains(QStringLiteral("has not reported the website's users yet")))
        << page()->sourceText().toStdString();
    QFile junk(ctx.paths.accountsFile);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("<accounts><account>");
    junk.close();
    clickFilter("Active");
    EXPECT_TRUE(page()->sourceText().contains(QStringLiteral("cannot be read"))) << page()->sourceText().toStdString();
}

TEST_F(UsersOnTheDemo, theNavigationBarOpensTheUsers_andEachFilterClickedNarrowsThemAsTheFileSays)
{
    navigate(QStringLiteral("Display active/inactive users"));
    ASSERT_EQ(window->tabs()->currentWidget(), window->logs());
    ASSERT_EQ(window->logs()->pages()->currentWidget(), page());
    EXPECT_EQ(page()->statusFilter(), QStringLiteral("Active"));

    const QStringList active = expected([](const AccountList::Account &a) { return a.active; });
    ASSERT_FALSE(active.isEmpty()) << "the demo has users online";
    EXPECT_EQ(shown(), active);

    clickFilter("Inactive");
    EXPECT_EQ(shown(), expected([](const AccountList::Account &a) { return !a.active; }));
    clickFilter("Pending");
    const QStringList pending
        = expected([](const AccountList::Account &a) { return a.status == QLatin1String("Pending"); });
    ASSERT_FALSE(pending.isEmpty()) << "the demo has sign-ups waiting";
    EXPECT_EQ(shown(), pending);
    clickFilter("All");
    EXPECT_EQ(shown(), expected([](const AccountList::Account &) { return true; }));

    // Every row shows its client's company as the business database has it, and the last
    // login's address within its 20 characters.
    bizlib::Table clients(data.db(), QStringLiteral("Clients"));
    int withCompany = 0;
    for (int row = 0; row < page()->model().rowCount(); ++row) {
        const UserListModel::Row &r = page()->model().row(row);
        EXPECT_LE(r.lastLoginIp.size(), 20);
        bizlib::Record client = clients.newRecord();
        if (r.clientId != 0 && clients.fetch(QStringLiteral("CLIENTIDKEY"), { r.clientId }, client)) {
            EXPECT_EQ(r.company, client.text("Name").left(50)) << r.name.toStdString();
            ++withCompany;
        }
    }
    EXPECT_GT(withCompany, 0);
}

TEST_F(UsersOnTheDemo, sendTo_isOfferedWithOrWithoutRows_andSendsTheListAsShown)
{
    qint64 sentCount = -1;
    QList<QStringList> sentRows;
    page()->setSender([&](const bizlib::sendto::ListSource &list, qint64 rows) {
        sentCount = rows;
        sentRows.clear();
        list.rows([&](const QStringList &row) { sentRows << row; });
    });
    navigate(QStringLiteral("Display active/inactive users"));
    clickFilter("Inactive");
    const QStringList inactive = shown();
    ASSERT_FALSE(inactive.isEmpty());

    ASSERT_TRUE(page()->sendToButton()->isEnabled());
    QTest::mouseClick(page()->sendToButton(), Qt::LeftButton);
    EXPECT_EQ(sentCount, inactive.size());
    ASSERT_EQ(sentRows.size(), inactive.size());
    for (qsizetype i = 0; i < inactive.size(); ++i)
        EXPECT_EQ(sentRows.at(i).at(UserListModel::Account), inactive.at(i));

    // Without the accounts file the list is empty, and Send To is still there to use.
    QFile::remove(ctx.paths.accountsFile);
    clickFilter("All");
    ASSERT_EQ(page()->model().rowCount(), 0);
    EXPECT_TRUE(page()->sendToButton()->isEnabled());
    QTest::mouseClick(page()->sendToButton(), Qt::LeftButton);
    EXPECT_EQ(sentCount, 0);
}

} // namespace
