#include "orders/ui/WebOrderProcess.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/ui/RecordFormDialog.h"
#include "config/AppContext.h"
#include "config/FrameEvents.h"
#include "config/WindowEvents.h"
#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"
#include "demo/DemoData.h"
#include "orders/OrderProcessing.h"
#include "support/ModalSteps.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The processing window as the console runs it (WebOrderProcess::run with the program's own
// dialogs): the order form comes up by itself once the phrase toolbox runs, and closing the window
// while it waits gives the web order back.

using bizlib::Record;
using bizlib::Table;
using bizlib::forms::Response;
using bizlib::ui::RecordFormDialog;
using orders::ui::WebOrderProcess;
using testsupport::whenModal;

namespace {

class Frame : public config::FrameEvents
{
public:
    void postEvent(int event) override { posted << event; }
    QList<int> posted;
};

class OrderWindow : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped())
            return;
        add("SYCONF", [](Record &r) { r.setLong("LastJobNo", 700); });
        m_web = add("WebOrders", [](Record &r) {
            r.setLong("Number", 5);
            r.setLong("WebID", 9001);
            r.setText("OrderType", QStringLiteral("Service"));
            r.setText("Status", QStringLiteral("Pending"));
            r.setLong("DContactID", -1);
            r.setLong("DOfficeID", -1);
        });
        add("WebOrderItems", [this](Record &r) {
            r.setLong("OrderID", m_web.toLong("OrderID"));
            r.setLong("Sequence", 1);
            r.setText("Type", QStringLiteral("L"));
        });
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.frame = &frame;
        ctx.glo.user.userCode = QStringLiteral("JS");
        ctx.brevix.globalData = files.path();
        ctx.paths.windowIni = files.filePath(QStringLiteral("windows.ini"));
        ctx.settings.orderPhrases = true;
    }
    Record add(const char *table, const std::function<void(Record &)> &fill)
    {
        Table t(db(), QLatin1String(table));
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        fill(r);
        EXPECT_TRUE(t.insert(r).isOk()) << table;
        return r;
    }
    QString status()
    {
        Table t(db(), QStringLiteral("WebOrders"));
        Record r = t.newRecord();
        return t.fetch(QStringLiteral("ORDERIDKEY"), { m_web.toLong("OrderID") }, r) ? r.text("Status") : QString();
    }

    Record m_web;
    QTemporaryDir files;
    testsupport::ScriptedPrompter prompter;
    Frame frame;
    config::AppContext ctx;
};

TEST_P(OrderWindow, theOrderFormComesUpOnceThePhraseToolboxRuns_andItsOkMakesTheOrder)
{
    QString caption;
    bool formBeforeToolbox = false;
    whenModal<WebOrderProcess>(
        [&](WebOrderProcess *window) {
            caption = window->findChild<QLabel *>(QStringLiteral("caption"))->text();
            whenModal<RecordFormDialog>([&](RecordFormDialog *form) {
                formBeforeToolbox = ctx.glo.phraseToolboxThread == 0;
                QTest::mouseClick(form->okButton(), Qt::LeftButton);
            });
            QTimer::singleShot(5 * WebOrderProcess::kTimerMsecs, window, [this] { ctx.glo.phraseToolboxThread = 42; });
        },
        [this](WebOrderProcess *) { return status() == QStringLiteral("Processing"); });
    EXPECT_EQ(WebOrderProcess::run(ctx, m_web, false), Response::Completed);
    EXPECT_EQ(caption, QStringLiteral("Processing web order 5 (web reference 9001)..."));
    EXPECT_FALSE(formBeforeToolbox) << "the routine started before the toolbox ran";
    EXPECT_EQ(frame.posted, QList<int> { config::StartOrderPhrases });
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the window closed by itself";
    EXPECT_TRUE(status().isEmpty()) << "the web order is gone";
}

TEST_P(OrderWindow, closingTheWaitingWindowGivesTheWebOrderBack)
{
    whenModal<WebOrderProcess>(
        [&](WebOrderProcess *window) {
            QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("close")), Qt::LeftButton);
        },
        [this](WebOrderProcess *) { return status() == QStringLiteral("Processing"); });
    EXPECT_EQ(WebOrderProcess::run(ctx, m_web, false), Response::Cancelled);
    EXPECT_EQ(status(), QStringLiteral("Pending"));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

// Every web order of the demo data goes through without a user: the orders are made and the web
// orders deleted, whatever their kind.
TEST_P(OrderWindow, everyDemoWebOrderIsProcessedAutomatically)
{
    ASSERT_TRUE(demo::DemoData(db()).fillAll().isOk());
    testsupport::ScriptedForms forms; // automatic runs save without showing the form
    ctx.settings.orderPhrases = false;
    QList<Record> orders;
    {
        Table t(db(), QStringLiteral("WebOrders"));
        bizlib::TableCursor c(t, QStringLiteral("ORDERIDKEY"));
        Record r;
        while (c.next(r).isOk())
            orders << r;
    }
    ASSERT_GT(orders.size(), 2);
    for (const Record &web : std::as_const(orders)) {
        SCOPED_TRACE(web.toLong("OrderID"));
        orders::OrderProcessing::Services s;
        s.ctx = &ctx;
        s.changeNotice = [] {};
        s.forms = &forms;
        orders::OrderProcessing p(s, web, true);
        if (web.text("Status").trimmed() == QLatin1String("Processing"))
            continue; // held by someone in the demo
        ASSERT_TRUE(p.open()) << p.told().toStdString();
        const Response r = p.run();
        if (web.toLong("WebSignupID") != 0 && r == Response::Cancelled) {
            EXPECT_TRUE(p.told().contains(QStringLiteral("sign-up"))) << p.told().toStdString();
            continue;
        }
        EXPECT_EQ(r, Response::Completed) << p.told().toStdString();
        EXPECT_FALSE(p.createdOrders().isEmpty());
        Table t(db(), QStringLiteral("WebOrders"));
        Record gone = t.newRecord();
        EXPECT_TRUE(t.fetch(QStringLiteral("ORDERIDKEY"), { web.toLong("OrderID") }, gone).isNotFound());
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, OrderWindow, testsupport::allEngines(), testsupport::engineName);

} // namespace
