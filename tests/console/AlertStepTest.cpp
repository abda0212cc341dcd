#include "console/AlertStep.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/mail/MailSender.h"
#include "config/AppContext.h"
#include "config/DownloaderReport.h"
#include "config/FrameEvents.h"
#include "console/AlertWindow.h"
#include "console/AutoProcessing.h"
#include "console/ProcessingProblems.h"
#include "console/RefreshCycle.h"
#include "console/SoundPlayer.h"
#include "console/WebRows.h"
#include "console/general/QuoteListModel.h"
#include "support/FakeClock.h"
#include "support/SmtpSink.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <vector>

using console::AlertStep;
using console::RequestLists;
using Counts = RequestLists::Counts;
using Response = bizlib::forms::Response;

namespace {

class FixedCounts : public RequestLists
{
public:
    Counts now;
    void resetAll() override { }
    void resetForRefresh(Focus) override { }
    Focus focus() const override { return Focus::Quotes; }
    Counts counts() const override { return now; }
};

class RecordingFrame : public config::FrameEvents
{
public:
    QList<int> posted;
    void postEvent(int event) override { posted << event; }
};

class RecordingSounds : public console::SoundPlayer
{
public:
    QStringList played;

protected:
    void start(const QString &file) override { played << file; }
};

// The monitor window as a script: processing runs `process` and reads the quote list again, as the
// real window's status refresh does.
class ScriptedWindow : public console::AlertWindow
{
public:
    explicit ScriptedWindow(console::QuoteListModel &quotes)
        : m_quotes(quotes)
    { }
    std::function<Response(qint32 quoteId)> process;
    std::function<QString(qint32 quoteId)> failure; // what a cancelled run says went wrong
    std::function<QString(qint32 quoteId)> afterwards; // what failed after a completed run stored its quote
    QList<std::pair<qint32, bool>> calls; // request, as an RFQ
    qint32 current = 0;
    qint32 returnedTo = 0;
    int focusGained = 0;

    qint32 currentQuote() const override { return current; }
    void returnToQuote(qint32 quoteId) override { returnedTo = quoteId; }
    Response processQuote(const bizlib::Record &request, bool isRfq, quotes::QuoteOutcome *outcome) override
    {
        calls << std::pair { request.toLong("QuoteID"), isRfq };
        const Response r = process ? process(request.toLong("QuoteID")) : Response::Cancelled;
        outcome->response = r;
        outcome->rfq = isRfq;
        if (r == Response::Cancelled && failure)
            outcome->failure = failure(request.toLong("QuoteID"));
        if (r == Response::Completed) {
            outcome->quoteRef = QString::number(24000 + request.toLong("Number"));
            if (afterwards)
                outcome->afterwards = afterwards(request.toLong("QuoteID"));
        }
        m_quotes.reset();
        return r;
    }
    void gainFocus() override { ++focusGained; }

private:
    console::QuoteListModel &m_quotes;
};

class AlertStepTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isAvailable());
        ctx.db = &data.db();
        ctx.frame = &frame;
        ctx.glo.user.userCode = QStringLiteral("JS");
        for (const char *name : { "enquiry.wav", "signup.wav" }) {
            QFile f(dir.filePath(QLatin1String(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        cycle.statusRefreshed(); // the reminder clock starts with the first status refresh
    }

    void run(const Counts &now, const Counts &seen)
    {
        counts.now = now;
        step.run(seen);
    }

    bizlib::Database &db() { return data.db(); }

    testsupport::TestDatabase data { testsupport::Engine::SQLite };
    QTemporaryDir dir;
    config::AppContext ctx;
    testsupport::FakeClock clock;
    console::RefreshCycle cycle { clock, {} };
    FixedCounts counts;
    console::QuoteListModel quotes { data.db() };
    ScriptedWindow window { quotes };
    RecordingFrame frame;
    RecordingSounds sounds;
    AlertStep step { { &ctx, &counts, &quotes, &cycle, &window, &sounds, nullptr } };
};

TEST_F(AlertStepTest, countsThatGrewRaiseTheirEventsSoundsAndFocusAndNothingElse)
{
    struct Case
    {
        const char *name;
        Counts now;
        Counts seen;
        bool automation;
        const char *enquirySound; // file name in the test folder; "" none
        const char *signupSound;
        bool enquiryAlert;
        bool signupAlert;
        QList<int> events;
        QStringList played;
        int focus;
    };
    const QList<Case> cases {
        { "new quotes, a sound", { 2, 0, 0 }, { 1, 0, 0 }, false, "enquiry.wav", "", true, true, { 1524 },
            { "enquiry.wav" }, 1 },
        { "new orders, no sound, no alert", { 0, 3, 0 }, { 0, 1, 0 }, false, "", "", false, true, { 1527 }, {}, 0 },
        { "quotes and orders, a sound file that is missing", { 1, 1, 0 }, { 0, 0, 0 }, false, "gone.wav", "", false,
            false, { 1524, 1526 }, {}, 0 },
        { "quotes went while orders came", { 1, 2, 0 }, { 3, 1, 0 }, false, "", "", false, false, { 1527 }, {}, 0 },
        { "counts that fell or stayed", { 1, 1, 1 }, { 2, 1, 4 }, false, "enquiry.wav", "signup.wav", true, true, {},
            {}, 0 },
        { "new sign-ups, a sound", { 0, 0, 2 }, { 0, 0, 1 }, false, "", "signup.wav", false, true, { 1624 },
            { "signup.wav" }, 1 },
        { "new sign-ups, no sound, no alert", { 0, 0, 1 }, { 0, 0, 0 }, false, "", "", true, false, { 1625 }, {}, 0 },
        { "automation: quotes and orders say nothing, sign-ups still do", { 4, 4, 1 }, { 0, 0, 0 }, true, "enquiry.wav",
            "signup.wav", true, true, { 1624 }, { "signup.wav" }, 1 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        frame.posted.clear();
        sounds.played.clear();
        window.focusGained = 0;
        const auto file = [this](const char *name) { return *name ? dir.filePath(QLatin1String(name)) : QString(); };
        ctx.settings.autoProcessQuotes = c.automation;
        ctx.settings.enquirySound = file(c.enquirySound);
        ctx.settings.signupSound = file(c.signupSound);
        ctx.settings.enquiryAlert = c.enquiryAlert;
        ctx.settings.signupAlert = c.signupAlert;
        run(c.now, c.seen);
        // As vectors: comparing two empty QLists hands memcmp a null pointer in Qt's own header.
        EXPECT_EQ(std::vector<int>(frame.posted.cbegin(), frame.posted.cend()),
            std::vector<int>(c.events.cbegin(), c.events.cend()));
        QStringList expected;
        for (const QString &name : c.played)
            expected << dir.filePath(name);
        EXPECT_EQ(sounds.played, expected);
        EXPECT_EQ(window.focusGained, c.focus);
    }
}

TEST_F(AlertStepTest, qualifyingRequests)
{
    struct Case
    {
        bool quotes, rfqs;
        qint32 templateId, previousId, webCalc;
        bool qualifies;
    };
    const QList<Case> cases {
        { true, false, 7, 0, 1, true }, // a template priced by the website
        { true, false, 0, 7, 1, true }, // a previous quote priced by the website
        { true, false, 7, 0, 0, false }, // not priced by the website
        { true, false, 0, 0, 1, false }, // an RFQ while only quotes are automatic
        { false, true, 0, 0, 0, true }, // an RFQ
        { false, true, 7, 0, 1, false }, // a template while only RFQs are automatic
        { false, false, 7, 0, 1, false }, // automation off
    };
    for (const Case &c : cases) {
        config::ConsoleSettings s;
        s.autoProcessQuotes = c.quotes;
        s.autoProcessRfqs = c.rfqs;
        bizlib::Table t(db(), QStringLiteral("WebQuotes"));
        bizlib::Record r = t.newRecord();
        r.setLong("TemplateID", c.templateId);
        r.setLong("PreviousID", c.previousId);
        r.setLong("WebCalc", c.webCalc);
        EXPECT_EQ(AlertStep::qualifies(s, r), c.qualifies)
            << c.quotes << c.rfqs << ' ' << c.templateId << ' ' << c.previousId << ' ' << c.webCalc;
    }
}

// What a run made is said (the status bar's text after a run by hand, the processing list's entry
// after an automatic one); what failed after the quote was stored, and a downloader that failed
// later, are problems in the list.
TEST_F(AlertStepTest, aRunSaysWhatItMadeAndWhatFailedAfterwardsIsAProblem)
{
    ctx.settings.autoProcessQuotes = true;
    console::ProcessingProblems problems;
    AlertStep withProblems { { &ctx, &counts, &quotes, &cycle, &window, &sounds, nullptr, &problems } };
    const qint32 client = consoletest::addClient(db(), QStringLiteral("Acme"), QStringLiteral("JS"));
    consoletest::addQuote(db(), 19, client, QStringLiteral("Pending"), [](bizlib::Record &r) {
        r.setLong("TemplateID", 7);
        r.setLong("WebCalc", 1);
    });
    ASSERT_TRUE(quotes.reset().isOk());
    window.process = [&](qint32 id) {
        bizlib::Table t(db(), QStringLiteral("WebQuotes"));
        bizlib::Record r = t.newRecord();
        EXPECT_TRUE(t.fetch(QStringLiteral("QUOTEIDKEY"), { id }, r).isOk());
        EXPECT_TRUE(t.remove(r).isOk());
        return Response::Completed;
    };
    window.afterwards = [](qint32) { return QStringLiteral("The attachment downloader could not be started."); };
    ASSERT_EQ(withProblems.processAutomatically().size(), 1);
    ASSERT_EQ(problems.count(), 1);
    EXPECT_TRUE(problems.entries()[0].problem);
    EXPECT_EQ(problems.entries()[0].request, QStringLiteral("Web quote request 19"));
    EXPECT_EQ(problems.entries()[0].reason,
        QStringLiteral("Quote 24019 made automatically; The attachment downloader could not be started."));

    quotes::QuoteOutcome made;
    made.response = Response::Completed;
    made.quoteRef = QStringLiteral("24108");
    EXPECT_EQ(
        console::ProcessingProblems::madeText(1019, made), QStringLiteral("Quote 24108 made from web request 1019"));
    made.rfq = true;
    made.afterwards = QStringLiteral("The quote letter could not be written.");
    EXPECT_EQ(console::ProcessingProblems::madeText(1019, made),
        QStringLiteral("Quote 24108 (request for quotation) made from web request 1019; The quote letter could not be "
                       "written."));

    config::DownloaderReport download;
    download.subject = QStringLiteral("Quote 24108");
    EXPECT_FALSE(problems.addDownload(download, QDateTime::currentDateTime())) << "a download that worked";
    download.exitCode = 1;
    download.messages = QStringList { QStringLiteral("art.pdf: HTTP 404"), QStringLiteral("1 of 2 did not arrive") };
    EXPECT_TRUE(problems.addDownload(download, QDateTime::currentDateTime()));
    EXPECT_EQ(problems.entries()[0].request, QStringLiteral("Attachments of Quote 24108"));
    EXPECT_EQ(problems.entries()[0].reason, QStringLiteral("art.pdf: HTTP 404\n1 of 2 did not arrive"));
    EXPECT_EQ(problems.problemCount(), 2);
}

TEST_F(AlertStepTest, walkProcessesEachQualifyingRequestAtMostOnceAndReturnsToTheSelectedRow)
{
    ctx.settings.autoProcessQuotes = true;
    ctx.settings.autoProcessRfqs = true;
    const qint32 client = consoletest::addClient(db(), QStringLiteral("Acme"), QStringLiteral("JS"));
    const auto add = [&](qint32 number, qint32 templateId, qint32 previousId, qint32 webCalc) {
        return consoletest::addQuote(db(), number, client, QStringLiteral("Pending"), [&](bizlib::Record &r) {
            r.setLong("TemplateID", templateId);
            r.setLong("PreviousID", previousId);
            r.setLong("WebCalc", webCalc);
        });
    };
    const qint32 priced = add(1, 7, 0, 1);
    const qint32 unpriced = add(2, 7, 0, 0);
    const qint32 cancelled = add(3, 0, 0, 0);
    const qint32 putBack = add(4, 0, 0, 0); // reported done, still listed
    const qint32 previous = add(5, 0, 9, 1);
    ASSERT_TRUE(quotes.reset().isOk());
    window.current = unpriced;
    window.process = [&](qint32 id) {
        if (id == cancelled || window.calls.size() > 10) // the latter: a walk that would never end
            return Response::Cancelled;
        if (id != putBack) {
            bizlib::Table t(db(), QStringLiteral("WebQuotes"));
            bizlib::Record r = t.newRecord();
            EXPECT_TRUE(t.fetch(QStringLiteral("QUOTEIDKEY"), { id }, r).isOk());
            EXPECT_TRUE(t.remove(r).isOk());
        }
        return Response::Completed;
    };
    clock.advance(5000);

    const QList<qint32> done = step.processAutomatically();

    const QList<std::pair<qint32, bool>> calls { { priced, false }, { cancelled, true }, { putBack, true },
        { previous, false } };
    EXPECT_EQ(window.calls, calls);
    EXPECT_EQ(done, (QList<qint32> { priced, putBack, previous }));
    EXPECT_EQ(quotes.rowCount(), 3); // the unpriced, the cancelled and the put-back request wait
    EXPECT_EQ(window.returnedTo, unpriced);
    EXPECT_EQ(cycle.lastReminder(), clock.msecs());
}

// webconsole-auto walks a list read once: after a processed request it goes on with the next row
// instead of walking all the rows before it again (which made a long queue quadratic), and still
// processes every request once, in list order.
TEST_F(AlertStepTest, aWalkOverAListReadOnceVisitsEachRowOnce)
{
    ctx.settings.autoProcessRfqs = true;
    const qint32 client = consoletest::addClient(db(), QStringLiteral("Acme"), QStringLiteral("JS"));
    QList<bizlib::Record> rows;
    bizlib::Table requests(db(), QStringLiteral("WebQuotes"));
    for (int number = 1; number <= 3; ++number) {
        bizlib::Record r = requests.newRecord();
        const qint32 id = consoletest::addQuote(db(), number, client, QStringLiteral("Pending"));
        ASSERT_TRUE(requests.fetch(QStringLiteral("QUOTEIDKEY"), { id }, r).isOk());
        rows << r;
    }
    console::AutoProcessing::Services s;
    s.db = &db();
    s.settings = &ctx.settings;
    s.listReadOnce = true;
    int asked = 0;
    const console::AutoProcessing::RowAt rowAt = [&](int row) -> std::optional<bizlib::Record> {
        ++asked;
        return row < rows.size() ? std::optional(rows.at(row)) : std::nullopt;
    };
    QList<qint32> order;
    const QList<qint32> done = console::AutoProcessing(s).run(rowAt, [&](const bizlib::Record &request, bool isRfq) {
        EXPECT_TRUE(isRfq);
        order << request.toLong("QuoteID");
        console::AutoProcessing::Attempt attempt;
        attempt.response = Response::Completed;
        return attempt;
    });
    const QList<qint32> listed { rows[0].toLong("QuoteID"), rows[1].toLong("QuoteID"), rows[2].toLong("QuoteID") };
    EXPECT_EQ(order, listed);
    EXPECT_EQ(done, listed);
    EXPECT_EQ(asked, 4); // three rows and the end of the list
}

// A run that fails is listed with its reason and its request waits (1, 2, 4 ... minutes) instead of
// being tried at every refresh, unless its row changes or the user asks (F5). After a processed
// request the walk starts again at the top: a request that arrived above it is processed too.
TEST_F(AlertStepTest, aFailedRequestIsListedAndWaitsAndTheWalkRestartsAtTheTopAfterEachProcessedOne)
{
    ctx.settings.autoProcessRfqs = true;
    console::ProcessingProblems problems;
    AlertStep withProblems { { &ctx, &counts, &quotes, &cycle, &window, &sounds, nullptr, &problems } };
    const qint32 client = consoletest::addClient(db(), QStringLiteral("Acme"), QStringLiteral("JS"));
    const qint32 failing = consoletest::addQuote(db(), 5, client, QStringLiteral("Pending"));
    const qint32 first = consoletest::addQuote(db(), 7, client, QStringLiteral("Pending"));
    ASSERT_TRUE(quotes.reset().isOk());
    qint32 arrived = 0;
    window.failure = [](qint32) { return QStringLiteral("The database is not answering."); };
    window.process = [&](qint32 id) {
        if (id == failing)
            return Response::Cancelled;
        bizlib::Table t(db(), QStringLiteral("WebQuotes"));
        bizlib::Record r = t.newRecord();
        EXPECT_TRUE(t.fetch(QStringLiteral("QUOTEIDKEY"), { id }, r).isOk());
        EXPECT_TRUE(t.remove(r).isOk());
        if (arrived == 0) // a request listed first arrives while this one is processed
            arrived = consoletest::addQuote(db(), 1, client, QStringLiteral("Pending"));
        return Response::Completed;
    };

    const QList<qint32> done = withProblems.processAutomatically();
    EXPECT_EQ(done, (QList<qint32> { first, arrived }));
    ASSERT_EQ(problems.problemCount(), 1);
    const auto &entries = problems.entries(); // the newest first, the runs that worked too
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[2].request, QStringLiteral("Web quote request 5"));
    EXPECT_EQ(entries[2].reason, QStringLiteral("The database is not answering."));
    EXPECT_TRUE(entries[2].problem);
    EXPECT_EQ(entries[1].request, QStringLiteral("Web quote request 7"));
    EXPECT_EQ(entries[1].reason, QStringLiteral("Quote 24007 made automatically (request for quotation)"));
    EXPECT_FALSE(entries[1].problem);
    EXPECT_EQ(entries[0].request, QStringLiteral("Web quote request 1"));
    EXPECT_EQ(problems.waitMinutes(failing), 1);

    window.calls.clear();
    EXPECT_TRUE(withProblems.processAutomatically().isEmpty());
    EXPECT_TRUE(window.calls.isEmpty()) << "a failed request is not tried again at once";

    ASSERT_TRUE(
        db().exec(QStringLiteral("UPDATE \"webquotes\" SET \"title\" = 'changed' WHERE \"quoteid\" = ?"), { failing })
            .isOk());
    ASSERT_TRUE(quotes.reset().isOk());
    withProblems.processAutomatically();
    EXPECT_EQ(window.calls.size(), 1) << "a changed row is tried again";
    EXPECT_EQ(problems.waitMinutes(failing), 1);
    withProblems.processAutomatically();
    EXPECT_EQ(window.calls.size(), 1);
    problems.forgetWaits();
    withProblems.processAutomatically();
    EXPECT_EQ(window.calls.size(), 2) << "F5 tries it again";
    EXPECT_EQ(problems.problemCount(), 3);

    // Each further failure of an unchanged row doubles the wait, up to an hour.
    const QByteArray same = "row";
    QList<int> waits;
    for (int i = 0; i < 8; ++i) {
        problems.failed(99, same, QDateTime::currentDateTime());
        waits << problems.waitMinutes(99);
    }
    EXPECT_EQ(waits, (QList<int> { 1, 2, 4, 8, 16, 32, 60, 60 }));
    EXPECT_FALSE(problems.mayTry(99, same, QDateTime::currentDateTime().addSecs(59 * 60)));
    EXPECT_TRUE(problems.mayTry(99, same, QDateTime::currentDateTime().addSecs(61 * 60)));
}

TEST_F(AlertStepTest, reminderGoesToTheUserAndAdminOnceTheIntervalHasPassedOnTheMonotonicClock)
{
    testsupport::SmtpSink sink;
    ASSERT_TRUE(sink.start());
    bizlib::mail::MailSettings settings;
    settings.transport = QStringLiteral("SMTP");
    settings.server = QStringLiteral("127.0.0.1");
    settings.port = QString::number(sink.port());
    settings.outboxFolder = dir.filePath(QStringLiteral("outbox"));
    bizlib::mail::MailSender sender(settings);
    AlertStep withMail { { &ctx, &counts, &quotes, &cycle, &window, &sounds, &sender } };
    consoletest::addRow(db(), QStringLiteral("Users"), [](bizlib::Record &r) {
        r.setText("Initials", QStringLiteral("JS"));
        r.setText("Email", QStringLiteral("js@print.example"));
    });
    consoletest::addRow(db(), QStringLiteral("SYCONF"),
        [](bizlib::Record &r) { r.setText("Email", QStringLiteral("console@print.example")); });
    ctx.settings.pendingReminder = true;
    ctx.settings.pendingInterval = 3;
    ctx.settings.adminEmail = QStringLiteral("admin@print.example");
    counts.now = { 2, 0, 1 };

    // The reminder clock started at the status refresh, say at 23:58:30; the time of day plays
    // no part, so the reminder is due three minutes later, past midnight.
    clock.advance(3 * 60 * 1000 - 1);
    withMail.run(counts.now);
    EXPECT_TRUE(sink.messages().isEmpty());
    clock.advance(1);
    withMail.run(counts.now);
    clock.advance(60 * 1000);
    withMail.run(counts.now); // the interval starts again with the reminder

    const QList<testsupport::SmtpSink::Message> sent = sink.messages();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].from, QStringLiteral("console@print.example"));
    EXPECT_EQ(sent[0].recipients, (QStringList { "js@print.example", "admin@print.example" }));
    EXPECT_EQ(sent[0].header("Subject"), QStringLiteral("Webconsole notification - requests pending"));
    EXPECT_EQ(AlertStep::reminderBody(3, counts.now),
        QStringLiteral("This message is automatically generated by the running instance of Web Console on your "
                       "workstation. The following web console requests are still pending after 3 minutes or more: "
                       "\r\n\r\n2 quote requests\r\n1 signup requests\r\n\r\nPlease open web console to process these "
                       "requests."));
    EXPECT_TRUE(sent[0].body().contains("2 quote requests\r\n1 signup requests"));
}

} // namespace
