#include "bizlib/DataLibrary.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "data/WebTaskRequests.h"
#include "data/WebTasks.h"
#include "support/TestDatabase.h"

using namespace bizlib;
using data::WebTasks;

namespace {

class WebTaskQueue : public testsupport::DataTest
{
protected:
    Record raise(const QString &description = QStringLiteral("0% complete"))
    {
        Session session;
        session.userCode = QStringLiteral("JS");
        DataLibrary lib(db(), session);
        Record task;
        const Status st = lib.webTask(data::WebTaskRequests::synchronise(QStringLiteral("Material"),
                                                                         QStringLiteral("complete"), 80000),
                                      &task);
        EXPECT_TRUE(st.isOk()) << st.message().toStdString();
        if (description != QLatin1String("0% complete")) {
            task.setText("Description", description);
            Table(db(), QStringLiteral("WebTask")).update(task);
        }
        return task;
    }

    Record reread(const Record &task)
    {
        Record r;
        EXPECT_TRUE(Table(db(), QStringLiteral("WebTask")).fetch(QStringLiteral("WEBTASKIDKEY"), {task.toLong("WebTaskID")}, r).isOk());
        return r;
    }

    void setStatus(Record task, const QString &status, int attempts = 0)
    {
        task.setText("Status", status);
        task.setLong("Attempts", attempts);
        ASSERT_TRUE(Table(db(), QStringLiteral("WebTask")).update(task).isOk());
    }
};

TEST_P(WebTaskQueue, webTask_insertsAPendingTaskStampedByTheLibrary)
{
    const Record task = raise();
    ASSERT_GT(task.toLong("WebTaskID"), 0);
    const Record stored = reread(task);
    EXPECT_EQ(stored.text("TaskType"), QStringLiteral("Material"));
    EXPECT_EQ(stored.text("TaskRequest"), QStringLiteral("Syncall"));
    EXPECT_EQ(stored.text("Description"), QStringLiteral("0% complete"));
    EXPECT_EQ(stored.text("Status"), QStringLiteral("Pending"));
    EXPECT_EQ(stored.text("TaskUser"), QStringLiteral("JS"));
    EXPECT_EQ(stored.toLong("WebHistory"), 80000);
    EXPECT_GT(stored.toLong("TaskDate"), 0);
    EXPECT_GT(stored.toLong("TaskTime"), 0);
    EXPECT_GT(raise().toLong("WebTaskID"), task.toLong("WebTaskID"));
}

TEST_P(WebTaskQueue, manualStatusChange_keepsAttemptsAndSkipsMissingTasks)
{
    const Record task = raise();
    setStatus(task, QStringLiteral("Failed"), 3);
    WebTasks tasks(db());
    ASSERT_TRUE(tasks.setStatus(task.toLong("WebTaskID"), WebTasks::Action::Retry).isOk());
    Record back = reread(task);
    EXPECT_EQ(back.text("Status"), QStringLiteral("Pending"));
    EXPECT_EQ(back.toLong("Attempts"), 3);
    ASSERT_TRUE(tasks.setStatus(task.toLong("WebTaskID"), WebTasks::Action::Complete).isOk());
    EXPECT_EQ(reread(task).text("Status"), QStringLiteral("Completed"));
    EXPECT_TRUE(tasks.setStatus(999999, WebTasks::Action::Fail).isNotFound());
}

TEST_P(WebTaskQueue, progress_readsThePercentBeforeTheFirstPercentSign)
{
    WebTasks tasks(db());
    const Record task = raise(QStringLiteral("45% complete (materials 90 of 200, 3% skipped)"));
    setStatus(task, QStringLiteral("Active"));
    WebTasks::Progress p;
    p.percent = 10;
    ASSERT_TRUE(tasks.progress(task.toLong("WebTaskID"), &p).isOk());
    EXPECT_EQ(p.percent, 45);
    EXPECT_EQ(p.text, QStringLiteral("45% complete (materials 90 of 200, 3% skipped)"));

    setStatus(reread(task), QStringLiteral("Failed"));
    ASSERT_TRUE(tasks.progress(task.toLong("WebTaskID"), &p).isOk());
    EXPECT_EQ(p.text, QStringLiteral("Synchronisation failed"));
    EXPECT_EQ(p.percent, 45); // left as it was
    EXPECT_TRUE(p.failed);

    const Record longText = raise(QString(120, u'x'));
    ASSERT_TRUE(tasks.progress(longText.toLong("WebTaskID"), &p).isOk());
    EXPECT_EQ(p.text.size(), 80);
    EXPECT_EQ(WebTasks::percentOf(QStringLiteral("no number %"), 7), 7);
}

TEST_P(WebTaskQueue, cancel_deletesOnlyATaskThatHasNotStarted)
{
    WebTasks tasks(db());
    Record pending = raise();
    ASSERT_TRUE(tasks.cancelPending(&pending).isOk());
    EXPECT_EQ(pending.toLong("WebTaskID"), 0);

    Record active = raise();
    setStatus(active, QStringLiteral("Active"));
    ASSERT_TRUE(tasks.cancelPending(&active).isOk());
    EXPECT_GT(active.toLong("WebTaskID"), 0);
    EXPECT_EQ(reread(active).text("Status"), QStringLiteral("Active"));

    Record lower = raise();
    setStatus(lower, QStringLiteral("pending"));
    ASSERT_TRUE(tasks.cancelPending(&lower).isOk());
    EXPECT_EQ(lower.toLong("WebTaskID"), 0);
}

TEST(WebTaskRequestRows, eachKindFillsItsFieldsFromACleanRecord)
{
    const Dictionary &dict = Dictionary::instance();
    Record quote(dict.require(QStringLiteral("WebQuotes")));
    quote.setLong("WebID", 5123);
    quote.setLong("ClientID", 77);
    auto p = data::WebTaskRequests::quoteRejected(quote, QString(600, u'r'), 81234);
    EXPECT_EQ(p.text("TaskType"), QStringLiteral("WebQuote"));
    EXPECT_EQ(p.text("TaskRequest"), QStringLiteral("Reject"));
    EXPECT_EQ(p.toLong("TaskID"), 5123);
    EXPECT_EQ(p.toLong("ParentID"), 77);
    EXPECT_EQ(p.text("Description").size(), 512);
    EXPECT_EQ(p.toLong("WebHistory"), 81234);
    EXPECT_EQ(p.toLong("Notify"), 0);
    EXPECT_EQ(p.text("Status"), QString());

    Record contact(dict.require(QStringLiteral("Contacts")));
    contact.setLong("ContactID", 9);
    contact.setLong("ClientID", 3);
    contact.setText("Email", QStringLiteral("ann@example.com"));
    p = data::WebTaskRequests::contactAccess(contact, false, 70000);
    EXPECT_EQ(p.text("TaskRequest"), QStringLiteral("Disable"));
    EXPECT_EQ(p.text("Description"), QStringLiteral("ann@example.com"));
    EXPECT_EQ(p.toLong("ParentID"), 3);

    p = data::WebTaskRequests::defaultsUpdated(1, 0);
    EXPECT_EQ(p.text("Description"), QStringLiteral("Syconf/defaults updated"));
    EXPECT_EQ(data::WebTaskRequests::synchronise(QStringLiteral("All"), QStringLiteral("fertig"), 0).text("Description"),
              QStringLiteral("0% fertig"));
}

INSTANTIATE_TEST_SUITE_P(Engines, WebTaskQueue, testsupport::allEngines(), testsupport::engineName);

} // namespace
