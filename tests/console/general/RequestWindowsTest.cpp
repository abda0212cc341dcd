#include "console/general/ui/RequestWindows.h"

#include "bizlib/Table.h"
#include "bizlib/ui/RecordFormDialog.h"
#include "config/TraceLog.h"
#include "console/general/QuoteListModel.h"
#include "console/general/ui/GeneralPage.h"
#include "console/ui/WebConsole.h"
#include "demo/DemoData.h"
#include "notes/ui/PhraseTextEdit.h"
#include "quotes/ui/WebQuoteProcess.h"
#include "quotes/ui/WebQuoteReject.h"
#include "support/FakeClock.h"
#include "support/ModalSteps.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

static void initListIcons()
{
    Q_INIT_RESOURCE(listicons);
}

using bizlib::ui::RecordFormDialog;
using console::QuoteListModel;
using console::RequestAction;
using console::ui::GeneralPage;
using quotes::ui::WebQuoteProcess;
using quotes::ui::WebQuoteReject;
using testsupport::whenModal;

namespace {

// The console on the demo database with the real processing and rejection windows behind the
// General tab's buttons, used as a user uses them: a click on the request, a click on the button,
// and the windows that open answered by keyboard and mouse.
class GeneralTabWindows : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        initListIcons();
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
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
        ctx.brevix.globalData = dir.filePath(QStringLiteral("data"));
        ctx.glo.user.userId
            = static_cast<qint32>(value(QStringLiteral("SELECT \"userid\" FROM \"users\" WHERE \"initials\" = 'JS'")));
        ctx.glo.user.userCode = QStringLiteral("JS");
        // No phrase toolbox (it needs the frame) and no downloader process.
        ctx.settings.quotePhrases = false;
        ctx.settings.autoSaveAttachments = false;
        window = std::make_unique<console::ui::WebConsole>(ctx, clock);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        page = window->findChild<GeneralPage *>();
        ASSERT_NE(page, nullptr);
    }

    qint64 value(const QString &sql, const QVariantList &params = {})
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(sql, params, &q).isOk()) << sql.toStdString();
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    // The quote list's row of the request with this title (-1: not listed).
    int listedRow(const QString &title) const
    {
        const QAbstractItemModel *m = page->quoteView()->model();
        for (int row = 0; row < m->rowCount(); ++row) {
            if (m->index(row, QuoteListModel::Title).data().toString().trimmed() == title)
                return row;
        }
        return -1;
    }
    void clickRequest(const QString &title)
    {
        const int row = listedRow(title);
        ASSERT_GE(row, 0) << title.toStdString();
        QTableView *view = page->quoteView();
        const QModelIndex cell = view->model()->index(row, QuoteListModel::Title);
        view->scrollTo(cell);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
    }
    qint32 requestId(const QString &title)
    {
        return static_cast<qint32>(
            value(QStringLiteral("SELECT \"quoteid\" FROM \"webquotes\" WHERE \"title\" = ?"), { title }));
    }

    QTemporaryDir dir;
    config::AppContext ctx;
    config::TraceLog trace;
    testsupport::ScriptedPrompter prompter;
    testsupport::FakeClock clock;
    // The window goes before the database: its background reads use it.
    void TearDown() override
    {
        window.reset();
        testsupport::DataTest::TearDown();
    }

    std::unique_ptr<console::ui::WebConsole> window;
    GeneralPage *page = nullptr;
};

// Process on a template request: the processing window opens on it and brings up the quote form
// of the new quote; OK there stores the quote and the request leaves the list. Reject on another:
// the rejection window takes the typed reason and OK queues the rejection for the web monitor;
// the request, claimed until the web monitor has carried it out, leaves the list as well.
TEST_P(GeneralTabWindows, processAndRejectOpenTheirWindowsAndTheRequestsLeaveTheList)
{
    const QString processed = QStringLiteral("A5 flyers - Summer Gala");
    const qint32 processedId = requestId(processed);
    const qint64 quotesBefore = value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\""));
    clickRequest(processed);
    bool formOfTheWindow = false;
    bool claimedWhileOpen = false;
    whenModal<RecordFormDialog>([&](RecordFormDialog *form) {
        formOfTheWindow = qobject_cast<WebQuoteProcess *>(form->parentWidget()) != nullptr;
        claimedWhileOpen
            = value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\" WHERE \"requestid\" = ?"), { processedId }) == 1;
        QTest::mouseClick(form->okButton(), Qt::LeftButton);
    });
    QTest::mouseClick(page->button(RequestAction::ProcessQuote), Qt::LeftButton);

    EXPECT_TRUE(formOfTheWindow) << "the quote form came from the processing window";
    EXPECT_TRUE(claimedWhileOpen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\"")), quotesBefore + 1);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\" WHERE \"title\" = ?"), { processed }), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\" WHERE \"quoteid\" = ?"), { processedId }), 0);
    EXPECT_EQ(listedRow(processed), -1);

    const QString rejected = QStringLiteral("Letterheads and compliment slips");
    const qint32 rejectedId = requestId(rejected);
    const qint64 webId
        = value(QStringLiteral("SELECT \"webid\" FROM \"webquotes\" WHERE \"quoteid\" = ?"), { rejectedId });
    clickRequest(rejected);
    const QString reason = QStringLiteral("We do not print on uncoated stock.");
    bool rejectOpened = false;
    whenModal<WebQuoteReject>([&](WebQuoteReject *reject) {
        rejectOpened = true;
        QTest::mouseClick(reject->commentsEdit()->viewport(), Qt::LeftButton);
        QTest::keyClicks(reject->commentsEdit(), reason);
        QTest::mouseClick(reject->okButton(), Qt::LeftButton);
    });
    QTest::mouseClick(page->button(RequestAction::RejectQuote), Qt::LeftButton);

    EXPECT_TRUE(rejectOpened);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QSqlQuery task;
    ASSERT_TRUE(db().exec(QStringLiteral("SELECT \"tasktype\", \"taskrequest\", \"description\", \"taskuser\" FROM "
                                         "\"webtask\" WHERE \"taskid\" = ? AND \"taskrequest\" = 'Reject'"),
                        { webId }, &task)
                    .isOk());
    ASSERT_TRUE(task.next()) << "no rejection webtask";
    EXPECT_EQ(task.value(0).toString().trimmed(), QStringLiteral("WebQuote"));
    EXPECT_EQ(task.value(2).toString(), reason);
    EXPECT_EQ(task.value(3).toString().trimmed(), QStringLiteral("JS"));
    EXPECT_FALSE(task.next()) << "one task only";
    bizlib::Table requests(db(), QStringLiteral("WebQuotes"));
    bizlib::Record request = requests.newRecord();
    ASSERT_TRUE(requests.fetch(QStringLiteral("QUOTEIDKEY"), { rejectedId }, request).isOk());
    EXPECT_EQ(request.text("Status"), QStringLiteral("Processing"));
    EXPECT_EQ(listedRow(rejected), -1);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\"")), 0);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.lastText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, GeneralTabWindows, testsupport::allEngines(), testsupport::engineName);

} // namespace
