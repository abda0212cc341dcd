#include "bizlib/mail/MailSender.h"
#include "config/AppContext.h"
#include "console/AlertStep.h"
#include "console/RefreshCycle.h"
#include "console/WebRows.h"
#include "support/FakeClock.h"
#include "support/SmtpSink.h"
#include "support/TestDatabase.h"

#include <QTemporaryDir>

using console::AlertStep;
using Counts = console::RequestLists::Counts;

namespace {

class PendingCounts : public console::RequestLists
{
public:
    Counts now;
    void resetAll() override { }
    void resetForRefresh(Focus) override { }
    Focus focus() const override { return Focus::Quotes; }
    Counts counts() const override { return now; }
};

TEST(PendingReminder, goesOutExactlyAtItsIntervalAndOnlyWhileSomethingIsPending)
{
    testsupport::TestDatabase data(testsupport::Engine::SQLite);
    ASSERT_TRUE(data.isAvailable());
    testsupport::SmtpSink sink;
    ASSERT_TRUE(sink.start());
    QTemporaryDir dir;
    bizlib::mail::MailSettings mail;
    mail.transport = QStringLiteral("SMTP");
    mail.server = QStringLiteral("127.0.0.1");
    mail.port = QString::number(sink.port());
    mail.outboxFolder = dir.filePath(QStringLiteral("outbox"));
    bizlib::mail::MailSender sender(mail);
    consoletest::addRow(data.db(), QStringLiteral("SYCONF"),
        [](bizlib::Record &r) { r.setText("Email", QStringLiteral("console@print.example")); });
    config::AppContext ctx;
    ctx.db = &data.db();
    ctx.glo.user.email = QStringLiteral("js@print.example");
    testsupport::FakeClock clock;
    console::RefreshCycle cycle { clock, {} };
    PendingCounts lists;
    AlertStep step { { &ctx, &lists, nullptr, &cycle, nullptr, nullptr, &sender } };

    const qint64 minute = 60 * 1000;
    struct Case
    {
        const char *name;
        bool reminder; // "PendingReminder"
        int interval; // minutes
        qint64 elapsed; // since the last reminder
        Counts pending;
        bool sent;
    };
    const Case cases[] = {
        { "a moment short of the interval", true, 3, 3 * minute - 1, { 1, 0, 0 }, false },
        { "exactly the interval", true, 3, 3 * minute, { 1, 0, 0 }, true },
        { "exactly, orders only", true, 3, 3 * minute, { 0, 2, 0 }, true },
        { "exactly, sign-ups only", true, 3, 3 * minute, { 0, 0, 1 }, true },
        { "long past, nothing pending", true, 3, 60 * minute, { 0, 0, 0 }, false },
        { "long past, reminder off", false, 3, 60 * minute, { 1, 1, 1 }, false },
        { "long past, no interval", true, 0, 60 * minute, { 1, 1, 1 }, false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ctx.settings.pendingReminder = c.reminder;
        ctx.settings.pendingInterval = c.interval;
        lists.now = c.pending;
        cycle.setLastReminder(clock.msecs());
        clock.advance(c.elapsed);
        const qsizetype before = sink.messages().size();
        step.run(c.pending); // nothing new since the last refresh: no alert
        EXPECT_EQ(sink.messages().size() - before, c.sent ? 1 : 0);
    }
}

} // namespace
