#include "bizlib/DateText.h"
#include "bizlib/sendto/ListSource.h"
#include "console/HistoryListModel.h"
#include "console/logs/UserListModel.h"
#include "console/logs/WebAccounts.h"
#include "console/WebRows.h"
#include "console/logs/ui/CommentsView.h"
#include "console/logs/ui/HistoryPage.h"
#include "support/ItemModelCheck.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

using namespace console;
using consoletest::addClient;
using consoletest::addRow;
using Action = data::WebTasks::Action;

namespace {

QByteArray account(const QString &name, const QString &status, const QString &active, const QString &client)
{
    return QStringLiteral("<account><id>7</id><name>%1</name><email>a@example.com</email><status>%2</status>"
                          "<username>ignored</username><Active>%3</Active><lastloginip>2001:db8::1</lastloginip>"
                          "<clientid>%4</clientid></account>")
        .arg(name, status, active, client)
        .toUtf8();
}

bool readXml(const QByteArray &xml, QList<WebAccount> *accounts)
{
    QBuffer buffer;
    buffer.setData(xml);
    buffer.open(QIODevice::ReadOnly);
    return WebAccounts::read(buffer, accounts);
}

TEST(WebAccounts, readsEscapedAndUnicodeNamesInFileOrder_andNothingFromABrokenFile)
{
    QList<WebAccount> accounts;
    ASSERT_TRUE(readXml("<?xml version=\"1.0\" encoding=\"UTF-8\"?><accounts>"
            + account(QStringLiteral("O&apos;Brien &amp; Sons &lt;Ltd&gt;"), QStringLiteral("Active"),
                QStringLiteral("true"), QStringLiteral("12"))
            + account(QStringLiteral("Zoë Łukasz 日本"), QStringLiteral("Pending"), QStringLiteral("FALSE"),
                QString(100, u'9'))
            + "</accounts>",
        &accounts));
    ASSERT_EQ(accounts.size(), 2);
    EXPECT_EQ(accounts[0].name, QStringLiteral("O'Brien & Sons <Ltd>"));
    EXPECT_TRUE(accounts[0].isActive());
    EXPECT_EQ(accounts[0].lastLoginIp, QStringLiteral("2001:db8::1"));
    EXPECT_EQ(accounts[1].name, QStringLiteral("Zoë Łukasz 日本"));
    EXPECT_FALSE(accounts[1].isActive());
    EXPECT_EQ(accounts[1].clientId.size(), 20); // cut to its width

    for (const QByteArray &broken : { QByteArray("<accounts>") + account("A", "Active", "TRUE", "1") + "<account>",
             QByteArray("<users/>"), QByteArray() }) {
        EXPECT_FALSE(readXml(broken, &accounts)) << broken.constData();
        EXPECT_TRUE(accounts.isEmpty());
    }
    EXPECT_FALSE(WebAccounts::read(QStringLiteral("/no/such/accounts.xml"), &accounts));
}

class Logs : public testsupport::DataTest
{
protected:
    qint32 task(const QString &status, qint32 day)
    {
        return addRow(db(), QStringLiteral("WebTask"), [&](bizlib::Record &r) {
            r.setText("Status", status);
            r.setLong("TaskDate", day);
            r.setLong("TaskTime", 100);
        });
    }
};

TEST_P(Logs, usersAreNarrowedByTheFilter_withTheirClientsCompanyOrNone)
{
    const qint32 acme = addClient(db(), QStringLiteral("Acme Ltd"), QStringLiteral("JS"));
    const qint32 bolt = addClient(db(), QStringLiteral("Bolt & Co"), QStringLiteral("JS"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("accounts.xml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<accounts>" + account("Ann", "Active", "true", QString::number(acme))
        + account("Ben", " pending ", "FALSE", "99999") + account("Cy", "Suspended", "TRUE", QString::number(bolt))
        + account("Di", "Inactive", "", QString::number(acme)) + "</accounts>");
    file.close();

    UserListModel users(db());
    testsupport::ItemModelCheck check(&users);
    const auto names = [&] {
        QStringList out;
        for (int row = 0; row < users.rowCount(); ++row)
            out << users.row(row).name;
        return out.join(u',');
    };
    const QList<QPair<QString, QString>> cases {
        { QStringLiteral("Active"), QStringLiteral("Ann,Cy") },
        { QStringLiteral("Inactive"), QStringLiteral("Ben,Di") },
        { QStringLiteral("Pending"), QStringLiteral("Ben") },
        { QStringLiteral("Suspended"), QStringLiteral("Cy") },
        { QStringLiteral("All"), QStringLiteral("Ann,Ben,Cy,Di") },
    };
    for (const auto &[filter, expected] : cases) {
        ASSERT_TRUE(users.load(path, filter));
        EXPECT_EQ(names(), expected) << filter.toStdString();
    }
    // Ben's client is unknown: no company, not Ann's.
    EXPECT_EQ(users.row(0).company, QStringLiteral("Acme Ltd"));
    EXPECT_EQ(users.row(1).company, QString());
    EXPECT_EQ(users.row(2).company, QStringLiteral("Bolt & Co"));
    EXPECT_EQ(users.row(0).active, 1);
    EXPECT_EQ(users.row(1).active, 0);
    EXPECT_EQ(users.data(users.index(0, UserListModel::Account), JoinedListModel::IconRole).toString(),
        QStringLiteral("Buddy-Green"));
    EXPECT_EQ(users.data(users.index(1, UserListModel::Active), JoinedListModel::IconRole).toString(),
        QStringLiteral("UnTagOne"));
    QList<QStringList> sent;
    users.rows([&](const QStringList &row) { sent << row; });
    ASSERT_EQ(sent.size(), 4);
    EXPECT_EQ(sent[0].at(UserListModel::Active), QStringLiteral("1"));

    EXPECT_FALSE(users.load(dir.filePath(QStringLiteral("gone.xml")), QStringLiteral("All")));
    EXPECT_EQ(users.rowCount(), 0);
    EXPECT_TRUE(check.problems().isEmpty()) << check.problems().join(u'\n').toStdString();
}

TEST_P(Logs, historyListsNewestFirstWithTheStatusIcons)
{
    task(QStringLiteral("Completed"), 80000);
    task(QStringLiteral("failed"), 80003);
    task(QStringLiteral("Pending"), 80002);
    task(QStringLiteral("Active"), 80001);
    task(QStringLiteral("Queued?"), 79999);
    HistoryListModel history(db());
    testsupport::ItemModelCheck check(&history);
    ASSERT_TRUE(history.reset().isOk());
    QStringList icons;
    for (int row = 0; row < history.rowCount(); ++row)
        icons << history.data(history.index(row, HistoryListModel::TaskDate), JoinedListModel::IconRole).toString();
    EXPECT_EQ(icons, (QStringList { QStringLiteral("Blackdot"), QStringLiteral("YellowDot"), QStringLiteral("GreenDot"),
                         QStringLiteral("RedDot"), QString() }));
    EXPECT_EQ(history.stripeColour(), 0xF7F9FBu);
    EXPECT_TRUE(check.problems().isEmpty()) << check.problems().join(u'\n').toStdString();
}

TEST_P(Logs, theLastLoginAddress_isShownInItsTwentyCharacters)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("accounts.xml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<accounts>"
        + account("Ann", "Active", "TRUE", "0").replace("2001:db8::1", "2001:0db8:85a3:0000:0000:8a2e:0370:7334")
        + "</accounts>");
    file.close();
    UserListModel users(db());
    ASSERT_TRUE(users.load(path, QStringLiteral("All")));
    ASSERT_EQ(users.rowCount(), 1);
    EXPECT_EQ(users.row(0).lastLoginIp, QStringLiteral("2001:0db8:85a3:0000:"));
    EXPECT_EQ(users.data(users.index(0, UserListModel::LoginIp)).toString(), QStringLiteral("2001:0db8:85a3:0000:"));
}

// The web monitor writes ISO dates: they are shown as every other date of the program; a text that
// is no date stays as written rather than being lost.
TEST_P(Logs, accountDates_areShownAsTheProgramsDatesAndUnreadableOnesAsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("accounts.xml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<accounts>"
        + account("Ann", "Active", "TRUE", "0")
              .replace("<clientid>", "<lastlogindate>2026-12-08</lastlogindate><lastlogintime>09:05</lastlogintime>"
                                     "<lastrequestdate>soon</lastrequestdate><lastrequesttime>?</lastrequesttime>"
                                     "<clientid>")
        + "</accounts>");
    file.close();
    UserListModel users(db());
    ASSERT_TRUE(users.load(path, QStringLiteral("All")));
    ASSERT_EQ(users.rowCount(), 1);
    const bizlib::DateText dates;
    const auto shown = [&](int column) { return users.data(users.index(0, column)).toString(); };
    EXPECT_EQ(shown(UserListModel::LoginDate), dates.shortDate(QDate(2026, 12, 8)));
    EXPECT_EQ(shown(UserListModel::LoginTime), dates.shortTime(QTime(9, 5)));
    EXPECT_EQ(shown(UserListModel::RequestDate), QStringLiteral("soon"));
    EXPECT_EQ(shown(UserListModel::RequestTime), QStringLiteral("?"));
    EXPECT_EQ(users.row(0).lastLoginDate, QStringLiteral("2026-12-08")) << "the row keeps the file's text";
}

INSTANTIATE_TEST_SUITE_P(Engines, Logs, testsupport::allEngines(), testsupport::engineName);

class HistoryTab : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isAvailable());
        ctx.db = &data.db();
        ctx.prompter = &prompter;
    }

    testsupport::TestDatabase data { testsupport::Engine::SQLite };
    config::AppContext ctx;
    testsupport::ScriptedPrompter prompter;
};

TEST_F(HistoryTab, buttonsSetTheStatusByHand_andSendToSendsEveryRow)
{
    HistoryListModel history(data.db());
    history.setPageSize(20);
    ui::HistoryPage page(ctx, history);
    QList<qint32> sentRows;
    qint64 sentCount = 0;
    page.setSender([&](const bizlib::sendto::ListSource &list, qint64 rows) {
        sentCount = rows;
        list.rows([&](const QStringList &row) { sentRows << row.at(HistoryListModel::Attempts).toInt(); });
    });
    page.show();
    EXPECT_FALSE(page.sendToButton()->isEnabled());
    EXPECT_FALSE(page.button(Action::Retry)->isEnabled());

    // The newest task's comments are HTML that names a picture on this machine.
    QTemporaryDir dir;
    const QUrl picture = QUrl::fromLocalFile(dir.filePath(QStringLiteral("tracker.png")));
    QImage(2, 2, QImage::Format_RGB32).save(picture.toLocalFile());
    for (int i = 0; i < 24; ++i)
        addRow(data.db(), QStringLiteral("WebTask"), [&](bizlib::Record &r) {
            r.setText("Status", QStringLiteral("Failed"));
            r.setLong("TaskDate", 80000 + i);
            r.setLong("Attempts", i);
            if (i == 23)
                r.setText("Comments", QStringLiteral("<h1>Bad Gateway</h1><img src=\"%1\">").arg(picture.toString()));
        });
    page.reload();
    ASSERT_EQ(history.rowCount(), 20);
    ASSERT_EQ(page.view()->currentIndex().row(), 0);
    EXPECT_TRUE(page.comments()->toPlainText().startsWith(QStringLiteral("Bad Gateway")));
    EXPECT_FALSE(page.comments()->toHtml().contains(QStringLiteral("&lt;h1&gt;")));
    EXPECT_TRUE(page.comments()->document()->resource(QTextDocument::ImageResource, picture).toByteArray().isEmpty());

    page.button(Action::Retry)->click();
    EXPECT_EQ(history.record(0).text("Status"), QStringLiteral("Pending"));
    EXPECT_EQ(history.record(0).toLong("Attempts"), 23);
    EXPECT_EQ(page.view()->currentIndex().row(), 0);

    ASSERT_TRUE(page.sendToButton()->isEnabled());
    page.sendToButton()->click();
    EXPECT_EQ(sentCount, 24);
    ASSERT_EQ(sentRows.size(), 24); // beyond the rows the list has loaded
    EXPECT_EQ(sentRows.first(), 23);
    EXPECT_EQ(sentRows.last(), 0);

    // A task that has gone meanwhile is passed over without a message.
    ASSERT_TRUE(data.db().exec(QStringLiteral("DELETE FROM \"webtask\"")).isOk());
    page.button(Action::Complete)->click();
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(history.rowCount(), 0);
    EXPECT_FALSE(page.sendToButton()->isEnabled());
}

// One long user name and company among many tasks without them, and long descriptions: the
// status still shows in a page of ordinary width, and the cut texts are tipped whole.
TEST_F(HistoryTab, theStatusStaysInViewBesideMostlyEmptyAndLongColumns)
{
    const QString longName = QStringLiteral("owen.pickles.the.longest.user.name@castlegate-homes.example");
    const QString longText = QString(200, u'x');
    for (int i = 0; i < 12; ++i)
        addRow(data.db(), QStringLiteral("WebTask"), [&](bizlib::Record &r) {
            r.setText("Status", QStringLiteral("Completed"));
            r.setText("TaskType", QStringLiteral("Transactions"));
            r.setText("TaskRequest", QStringLiteral("Syncall"));
            r.setText("Description", longText);
            r.setLong("TaskDate", 80000 + i);
            if (i == 3) {
                r.setText("UserName", longName);
                r.setText("Company", QStringLiteral("Castlegate Estate Agents and Lettings"));
            }
        });
    HistoryListModel history(data.db());
    ui::HistoryPage page(ctx, history);
    page.resize(900, 500);
    page.show();
    QTableView *view = page.view();
    ASSERT_EQ(history.rowCount(), 12);
    const int statusRight = view->columnViewportPosition(HistoryListModel::Status)
        + view->columnWidth(HistoryListModel::Status);
    EXPECT_LE(statusRight, view->viewport()->width());
    const int row = history.rowOfId(history.idAt(8)); // the task with the user name, newest first
    EXPECT_EQ(history.data(history.index(row, HistoryListModel::UserName), Qt::ToolTipRole).toString(), longName);
    EXPECT_EQ(history.data(history.index(0, HistoryListModel::Description), Qt::ToolTipRole).toString(), longText);
}

} // namespace
