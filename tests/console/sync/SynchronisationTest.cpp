#include "console/sync/Synchronisation.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/AppContext.h"
#include "console/Monitor.h"
#include "console/WebRows.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QSqlDriver>
#include <QThread>
#include <atomic>
#include <dlfcn.h>
#include <future>
#include <thread>

using namespace console;
using consoletest::addRow;
using Sync = console::Synchronisation;
using Icon = bizlib::Prompter::Icon;

namespace {

class NoLists : public RequestLists
{
public:
    void resetAll() override { }
    void resetForRefresh(Focus) override { }
    Focus focus() const override { return Focus::Quotes; }
    Counts counts() const override { return {}; }
};

// Runs `cancel` while the web monitor starts task `id` at the worst moment: its "Active" is written
// before the cancel reads the task and committed only once the cancel's delete waits for it, so
// the read still sees "Pending" and only the delete itself can tell. On PostgreSQL the monitor is
// a connection on a thread of its own that commits when this connection waits for its row lock; on
// SQLite it is a second connection that this connection's busy handler commits. True when the
// cancel did wait for the monitor.
bool startedDuring(testsupport::TestDatabase &test, qint32 id, const std::function<void()> &cancel)
{
    const auto start = [id](bizlib::Database &monitor) {
        bizlib::Table t(monitor, QStringLiteral("WebTask"));
        bizlib::Record r;
        EXPECT_TRUE(monitor.begin().isOk());
        EXPECT_TRUE(t.fetch(QStringLiteral("WEBTASKIDKEY"), { id }, r).isOk());
        r.setText("Status", QStringLiteral("Active"));
        EXPECT_TRUE(t.update(r).isOk());
    };
    bizlib::Database &db = test.db();
    if (db.isPostgres()) {
        QSqlQuery q;
        EXPECT_TRUE(db.exec(QStringLiteral("SELECT pg_backend_pid()"), {}, &q).isOk() && q.next());
        const qint64 cancelling = q.value(0).toLongLong();
        std::promise<void> started;
        std::atomic<bool> waited = false;
        std::thread monitor([&] {
            const std::unique_ptr<bizlib::Database> other = test.openSecond();
            start(*other);
            started.set_value();
            for (int i = 0; i < 500 && !waited; ++i) { // 5 seconds at most
                QSqlQuery locks;
                waited = other
                             ->exec(QStringLiteral("SELECT COUNT(*) FROM pg_locks WHERE pid = ? AND NOT granted"),
                                 { cancelling }, &locks)
                             .isOk()
                    && locks.next() && locks.value(0).toLongLong() > 0;
                if (!waited)
                    QThread::msleep(10);
            }
            EXPECT_TRUE(other->commit().isOk());
        });
        started.get_future().wait();
        cancel();
        monitor.join();
        return waited;
    }

    // sqlite3_busy_handler() of the library the Qt driver loaded.
    using SetBusyHandler = int (*)(void *, int (*)(void *, int), void *);
    void *library = dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD);
    const auto setBusyHandler
        = library ? reinterpret_cast<SetBusyHandler>(dlsym(library, "sqlite3_busy_handler")) : nullptr;
    const QVariant handle = db.connection().driver()->handle();
    if (!setBusyHandler || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        ADD_FAILURE() << "no SQLite connection handle";
        return false;
    }
    QSqlQuery q;
    EXPECT_TRUE(db.exec(QStringLiteral("PRAGMA busy_timeout"), {}, &q).isOk() && q.next());
    const int timeout = q.value(0).toInt();
    struct Monitor
    {
        std::unique_ptr<bizlib::Database> db;
        bool waited = false;
    } monitor { test.openSecond() };
    start(*monitor.db);
    setBusyHandler(
        *static_cast<void *const *>(handle.constData()),
        [](void *m, int) {
            auto *monitor = static_cast<Monitor *>(m);
            if (monitor->waited)
                return 0;
            monitor->waited = true;
            return monitor->db->commit().isOk() ? 1 : 0;
        },
        &monitor);
    cancel();
    EXPECT_TRUE(db.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(timeout)).isOk()); // the handler goes
    if (!monitor.waited) {
        EXPECT_TRUE(monitor.db->commit().isOk());
    }
    dlclose(library);
    return monitor.waited;
}

class SyncTab : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped())
            return;
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.glo.user.userCode = QStringLiteral("JS");
        ctx.web.webVersion = bizlib::Decimal(1060, 2);
        ctx.closeConfirmed = false;
        monitor = std::make_unique<Monitor>(ctx, clock, lists);
        sync = std::make_unique<Sync>(ctx, *monitor);
        QObject::connect(sync.get(), &Sync::busyChanged, [this](bool busy) { busyShown << busy; });
    }

    // The first refresh has run: the web monitor answers.
    void opened() { monitor->opened(); }

    struct Task
    {
        qint32 id;
        QString type;
        QString status;
    };
    QList<Task> tasks()
    {
        bizlib::Table t(db(), QStringLiteral("WebTask"));
        bizlib::TableCursor c(t, QStringLiteral("WEBTASKIDKEY"));
        bizlib::Record r;
        QList<Task> out;
        while (c.next(r))
            out << Task { r.toLong("WebTaskID"), r.text("TaskType"), r.text("Status") };
        return out;
    }
    QStringList taskTypes()
    {
        QStringList types;
        for (const Task &t : tasks())
            types << t.type;
        return types;
    }

    // What the web monitor does with a task.
    void webmon(qint32 id, const QString &status, const QString &description = {})
    {
        bizlib::Table t(db(), QStringLiteral("WebTask"));
        bizlib::Record r;
        ASSERT_TRUE(t.fetch(QStringLiteral("WEBTASKIDKEY"), { id }, r).isOk());
        r.setText("Status", status);
        if (!description.isEmpty())
            r.setText("Description", description);
        ASSERT_TRUE(t.update(r).isOk());
    }

    void second()
    {
        clock.advance(1000);
        monitor->tick();
    }

    config::AppContext ctx;
    testsupport::ScriptedPrompter prompter;
    testsupport::FakeClock clock;
    NoLists lists;
    std::unique_ptr<Monitor> monitor;
    std::unique_ptr<Sync> sync;
    QList<bool> busyShown;
};

TEST_P(SyncTab, optionRules_dependenciesAndTownsByWebsiteVersion)
{
    sync->setOption(Sync::Clients, true);
    EXPECT_TRUE(sync->isSet(Sync::Transactions));
    EXPECT_FALSE(sync->isEnabled(Sync::Transactions));
    sync->setOption(Sync::Clients, false);
    EXPECT_TRUE(sync->isEnabled(Sync::Transactions));
    EXPECT_TRUE(sync->isSet(Sync::Transactions)); // its tick stays
    sync->setOption(Sync::Materials, true);
    EXPECT_TRUE(sync->isSet(Sync::Templates));
    EXPECT_TRUE(sync->isEnabled(Sync::Templates));
    sync->setOption(Sync::JobTypes, true);
    EXPECT_FALSE(sync->isEnabled(Sync::Templates));

    sync->setOption(Sync::Towns, true);
    ctx.web.webVersion = bizlib::Decimal(1059, 2);
    sync->applyWebVersion();
    EXPECT_FALSE(sync->isSet(Sync::Towns));
    EXPECT_FALSE(sync->isEnabled(Sync::Towns));
    sync->selectAll();
    EXPECT_FALSE(sync->isSet(Sync::Towns));
    EXPECT_TRUE(sync->isSet(Sync::Sizes));
    sync->clearAll();
    EXPECT_FALSE(sync->runEnabled());
}

TEST_P(SyncTab, run_refusesUntilTheFirstRefreshAndAsksFirst)
{
    sync->setOption(Sync::Sizes, true);
    sync->run();
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].caption, QStringLiteral("Web monitor not responding"));
    EXPECT_EQ(prompter.shown()[0].icon, Icon::Exclamation);

    opened();
    prompter.answer(2); // No
    sync->run();
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown()[1].caption, QStringLiteral("Confirm synchronisation"));
    EXPECT_EQ(prompter.shown()[1].defaultButton, 1);
    EXPECT_TRUE(tasks().isEmpty());
    EXPECT_FALSE(sync->isSynchronising());
}

TEST_P(SyncTab, everyBoxTickedByHandQueuesOneTaskPerOptionWhileSelectAllQueuesOneAllTask)
{
    opened();
    for (int o = 0; o < Sync::OptionCount; ++o)
        sync->setOption(static_cast<Sync::Option>(o), true);
    sync->run();
    EXPECT_EQ(taskTypes(),
        (QStringList { "Size", "Defaults", "Currency", "ListOption", "Reason", "Material", "Product", "Client",
            "JobType", "Template", "Town", "Transactions" }));
    EXPECT_TRUE(sync->isSynchronising());
    EXPECT_TRUE(monitor->isSynchronising());
    EXPECT_EQ(busyShown, QList<bool> { true });
    EXPECT_FALSE(sync->runEnabled());
    EXPECT_TRUE(sync->cancelEnabled());
    EXPECT_TRUE(sync->optionBar(Sync::Sizes).visible);

    sync->cancel(); // all still "Pending": every task goes
    EXPECT_TRUE(tasks().isEmpty());
    EXPECT_FALSE(sync->isSynchronising());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("Synchronisation was cancelled by the user."));
    EXPECT_EQ(busyShown, (QList<bool> { true, false }));

    sync->selectAll();
    sync->run();
    ASSERT_EQ(taskTypes(), QStringList { "All" });
    bizlib::Record all;
    ASSERT_TRUE(bizlib::Table(db(), QStringLiteral("WebTask"))
                    .fetch(QStringLiteral("WEBTASKIDKEY"), { sync->allTaskId() }, all)
                    .isOk());
    EXPECT_EQ(all.text("TaskRequest"), QStringLiteral("Syncall"));
    EXPECT_EQ(all.text("Description"), QStringLiteral("0% complete"));
    EXPECT_EQ(sync->overallText(), QStringLiteral("0% complete"));
}

TEST_P(SyncTab, transactionsResetTheWebFlagsOfWebEnabledClientsAndEmptyTheQueueFirst)
{
    const qint32 today = bizlib::DateTime::today();
    const auto client = [&](int web) {
        return addRow(db(), QStringLiteral("Clients"), [&](bizlib::Record &r) {
            r.setText("Code", QStringLiteral("C%1").arg(r.toLong("ClientID")));
            r.setLong("WebEnable", web);
        });
    };
    const qint32 web = client(1);
    const qint32 offline = client(0);
    const auto row = [&](const char *table, qint32 clientId, const std::function<void(bizlib::Record &)> &more) {
        return addRow(db(), QString::fromLatin1(table), [&](bizlib::Record &r) {
            r.setLong("ClientID", clientId);
            r.setLong("Website", 1);
            more(r);
        });
    };
    const auto quote = [&](qint32 c, const char *type, qint32 created) {
        return row("Quotes", c, [&](bizlib::Record &r) {
            r.setText("QuoteType", QString::fromLatin1(type));
            r.setLong("CreatedOn", created);
        });
    };
    const auto header = [&](qint32 c, const char *type) {
        return row("InvoiceHeaders", c, [&](bizlib::Record &r) {
            r.setText("HeaderType", QString::fromLatin1(type));
            r.setLong("InvoiceDate", today);
        });
    };
    // Reset: the web client's quote, order and pro-forma. Kept: its RFQ, a quote dated beyond a
    // year ahead, its invoice, and everything of the client who is not web-enabled.
    const QList<std::pair<QString, qint32>> reset { { "Quotes", quote(web, "Quote", today) },
        { "Orders", row("Orders", web, [&](bizlib::Record &r) { r.setLong("CreatedOn", today - 30); }) },
        { "InvoiceHeaders", header(web, "PF") } };
    const QList<std::pair<QString, qint32>> kept { { "Quotes", quote(web, "RFQ", today) },
        { "Quotes", quote(web, "Quote", today + 400) }, { "InvoiceHeaders", header(web, "IN") },
        { "Quotes", quote(offline, "Quote", today) }, { "InvoiceHeaders", header(offline, "PF") } };
    const qint32 otherWorkstation = addRow(db(), QStringLiteral("WebTask"), [](bizlib::Record &r) {
        r.setText("TaskType", QStringLiteral("Material"));
        r.setText("Status", QStringLiteral("Active"));
    });

    opened();
    QStringList texts;
    QObject::connect(sync.get(), &Sync::changed, [&] {
        if (texts.isEmpty() || texts.last() != sync->overallText())
            texts << sync->overallText();
    });
    sync->setOption(Sync::Transactions, true);
    sync->run();

    const auto website = [&](const QString &table, qint32 id) {
        bizlib::Table t(db(), table);
        bizlib::Record r;
        EXPECT_TRUE(t.fetch(t.def().primary().name, { id }, r).isOk());
        return r.toLong("Website");
    };
    for (const auto &[table, id] : reset)
        EXPECT_EQ(website(table, id), 0) << table.toStdString() << " " << id;
    for (const auto &[table, id] : kept)
        EXPECT_EQ(website(table, id), 1) << table.toStdString() << " " << id;
    const QList<Task> now = tasks();
    ASSERT_EQ(now.size(), 1);
    EXPECT_NE(now[0].id, otherWorkstation);
    EXPECT_EQ(now[0].type, QStringLiteral("Transactions"));
    for (const char *step : { "Preparing to synchronise", "Gathering quote data for synchronisation",
             "Gathering order data for synchronisation", "Gathering header data for synchronisation",
             "Resetting transaction data for synchronisation", "Resetting all webtasks" })
        EXPECT_TRUE(texts.contains(QString::fromLatin1(step))) << step;
}

TEST_P(SyncTab, aSynchronisationIsFollowedToItsEndAsTheWebMonitorWorks)
{
    opened();
    sync->setOption(Sync::Sizes, true);
    sync->setOption(Sync::Currencies, true);
    sync->run();
    const qint32 sizes = sync->taskId(Sync::Sizes);
    const qint32 currencies = sync->taskId(Sync::Currencies);
    ASSERT_GT(sizes, 0);

    webmon(sizes, QStringLiteral("Active"), QStringLiteral("45% complete"));
    second();
    EXPECT_EQ(sync->optionBar(Sync::Sizes).value, 45);
    webmon(sizes, QStringLiteral("Completed"), QStringLiteral("100% complete"));
    webmon(currencies, QStringLiteral("Active"), QStringLiteral("10% complete"));
    second();
    EXPECT_FALSE(sync->isSet(Sync::Sizes));
    EXPECT_TRUE(sync->isSynchronising());
    EXPECT_EQ(monitor->cycle().countdown(), ctx.settings.refreshInterval - 2); // counts on, no refresh

    webmon(currencies, QStringLiteral("Failed"));
    second();
    EXPECT_FALSE(sync->isSynchronising());
    EXPECT_FALSE(monitor->isSynchronising());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("Synchronisation complete, unless errors reported."));
    EXPECT_EQ(prompter.shown().last().icon, Icon::Information);
    EXPECT_FALSE(sync->optionBar(Sync::Currencies).visible);
    EXPECT_EQ(busyShown, (QList<bool> { true, false }));

    // The "All" task's progress is the overall bar's.
    sync->selectAll();
    sync->run();
    webmon(sync->allTaskId(), QStringLiteral("Active"), QStringLiteral("60% complete - Materials"));
    second();
    EXPECT_EQ(sync->overallBar().value, 60);
    EXPECT_EQ(sync->overallText(), QStringLiteral("60% complete - Materials"));
    webmon(sync->allTaskId(), QStringLiteral("Completed"), QStringLiteral("100% complete"));
    second();
    EXPECT_FALSE(sync->isSynchronising());
    EXPECT_FALSE(sync->isSet(Sync::Clients));
}

// Synchronisation tasks queued elsewhere (another workstation, or this one before it started
// again) are shown with their progress while they wait or run; other tasks, ended ones and the
// window's own are not, and those shown go once the web monitor ends them.
TEST_P(SyncTab, tasksRunningElsewhereAreShownWithTheirProgressUntilTheyEnd)
{
    const auto queued = [&](const char *type, const char *request, const char *status, const char *description) {
        return addRow(db(), QStringLiteral("WebTask"), [&](bizlib::Record &r) {
            r.setText("TaskType", QString::fromLatin1(type));
            r.setText("TaskRequest", QString::fromLatin1(request));
            r.setText("Status", QString::fromLatin1(status));
            r.setText("Description", QString::fromLatin1(description));
            r.setText("TaskUser", QStringLiteral("MK"));
        });
    };
    const qint32 clients = queued("Client", "Syncall", "Active", "38% complete");
    const qint32 transactions = queued("Transactions", "SYNCALL ", "active", "42% complete");
    const qint32 currencies = queued("Currency", "Syncall", "Pending", "0% complete");
    queued("Material", "Syncall", "Failed", "60% complete");
    queued("Template", "Syncall", "Completed", "100% complete");
    queued("WebSignup", "Reject", "Pending", "");
    queued("Gadget", "Syncall", "Active", "5% complete"); // a kind this console does not offer
    opened();
    sync->setOption(Sync::Sizes, true);
    sync->run(); // the window's own task is its own bar's

    int changes = 0;
    QObject::connect(sync.get(), &Sync::changed, [&] { ++changes; });
    ASSERT_TRUE(sync->readRunning().isOk());
    struct Shown
    {
        qint32 id;
        int option;
        bool active;
        int percent;
        QString user;
        bool operator==(const Shown &) const = default;
    };
    const auto shown = [&] {
        QList<Shown> out;
        for (const Sync::RunningTask &r : sync->running())
            out << Shown { r.id, r.option, r.active, r.percent, r.user };
        return out;
    };
    EXPECT_EQ(shown(), (QList<Shown> { { clients, Sync::Clients, true, 38, QStringLiteral("MK") },
                           { transactions, Sync::Transactions, true, 42, QStringLiteral("MK") },
                           { currencies, Sync::Currencies, false, 0, QStringLiteral("MK") } }));
    EXPECT_EQ(changes, 1);
    ASSERT_TRUE(sync->runningFor(Sync::Transactions));
    EXPECT_EQ(sync->runningFor(Sync::Transactions)->text, QStringLiteral("42% complete"));
    EXPECT_FALSE(sync->runningFor(Sync::Sizes));
    EXPECT_FALSE(sync->runningFor(Sync::OptionCount));

    ASSERT_TRUE(sync->readRunning().isOk());
    EXPECT_EQ(changes, 1) << "nothing new, nothing to show again";

    webmon(clients, QStringLiteral("Completed"), QStringLiteral("100% complete"));
    webmon(transactions, QStringLiteral("Active"), QStringLiteral("77% complete"));
    const qint32 all = queued("All", "Syncall", "Active", "5% complete");
    ASSERT_TRUE(sync->readRunning().isOk());
    EXPECT_EQ(shown(), (QList<Shown> { { transactions, Sync::Transactions, true, 77, QStringLiteral("MK") },
                           { currencies, Sync::Currencies, false, 0, QStringLiteral("MK") },
                           { all, Sync::OptionCount, true, 5, QStringLiteral("MK") } }));
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(sync->isSynchronising()) << "only its own task makes the window synchronise";
}

TEST_P(SyncTab, cancelLeavesAStartedTaskRunningAndFollowsItToItsEnd)
{
    opened();
    sync->setOption(Sync::Sizes, true);
    sync->setOption(Sync::Products, true);
    sync->run();
    webmon(sync->taskId(Sync::Products), QStringLiteral("Active"));
    sync->cancel();
    EXPECT_EQ(taskTypes(), QStringList { "Product" });
    EXPECT_TRUE(sync->isSynchronising());
    EXPECT_EQ(sync->overallText(), QStringLiteral("Cancelling... please wait"));
    webmon(tasks()[0].id, QStringLiteral("Completed"));
    second();
    EXPECT_FALSE(sync->isSynchronising());
    EXPECT_EQ(prompter.shown().last().caption, QStringLiteral("Synchronisation cancelled"));
}

TEST_P(SyncTab, cancelKeepsATaskThatTheWebMonitorStartsWhileItIsBeingDeleted)
{
    opened();
    sync->setOption(Sync::Sizes, true);
    sync->setOption(Sync::Products, true);
    sync->run();
    const qint32 products = sync->taskId(Sync::Products);
    EXPECT_TRUE(startedDuring(testDb(), products, [&] { sync->cancel(); })) << "the cancel never met the monitor";
    const QList<Task> left = tasks();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].id, products);
    EXPECT_EQ(left[0].status, QStringLiteral("Active"));
    EXPECT_TRUE(sync->isSynchronising()); // followed to its end
    EXPECT_TRUE(sync->isSet(Sync::Products));
    EXPECT_FALSE(sync->isSet(Sync::Sizes));
}

TEST_P(SyncTab, aTaskThatNoLongerExistsCountsAsEnded)
{
    // Deleted by another workstation's transaction reset: the poll ends the synchronisation, and so
    // does Cancel, also when it runs because the window closes; for the "All" task and for a task
    // of one option alike.
    struct Case
    {
        const char *name;
        bool all;
        bool closing;
    };
    const Case cases[] = {
        { "All task, poll", true, false },
        { "option task, poll", false, false },
        { "All task, window closes", true, true },
        { "option task, window closes", false, true },
    };
    opened();
    bizlib::Table t(db(), QStringLiteral("WebTask"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.all)
            sync->selectAll();
        else
            sync->setOption(Sync::Sizes, true);
        sync->run();
        bizlib::Record gone = t.newRecord();
        gone.setLong("WebTaskID", c.all ? sync->allTaskId() : sync->taskId(Sync::Sizes));
        ASSERT_GT(gone.toLong("WebTaskID"), 0);
        ASSERT_TRUE(t.remove(gone).isOk());
        if (c.closing) {
            prompter.answer(1); // Yes, close
            EXPECT_TRUE(monitor->requestClose());
        } else {
            second();
        }
        EXPECT_FALSE(sync->isSynchronising());
        EXPECT_TRUE(sync->isEnabled(Sync::Clients));
        EXPECT_EQ(prompter.lastText(),
            c.closing ? QStringLiteral("Synchronisation was cancelled by the user.")
                      : QStringLiteral("Synchronisation complete, unless errors reported."));
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, SyncTab, testsupport::allEngines(), testsupport::engineName);

} // namespace
