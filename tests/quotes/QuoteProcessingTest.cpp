#include "QuoteFixture.h"
#include "bizlib/Clock.h"
#include "data/ClaimBook.h"
#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"
#include "quotes/RfqNotice.h"

#include <QProcess>

using bizlib::Record;
using bizlib::forms::Response;
using quotetest::QuoteTest;

namespace {

QString pdfText(const QString &file)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), file, QStringLiteral("-") });
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return QStringLiteral("<pdftotext failed: %1>").arg(QString::fromUtf8(tool.readAllStandardError()));
    return QString::fromUtf8(tool.readAllStandardOutput());
}

class Processing : public QuoteTest
{
protected:
    // The rows of every table that hangs off a quote, for quote `quoteId`.
    int rowsOfQuote(qint32 quoteId)
    {
        int n = 0;
        for (const char *table : { "QuoteWorkings", "QuoteQuantities", "SpecTexts", "Notes", "Attachments" })
            n += rows(table, "QUOTEIDKEY", { quoteId }).size();
        return n + rows("TabTexts", "QUOTEIDTABIDKEY", { quoteId }).size();
    }

    // Makes every insert into the quote table fail, as a full disk or a constraint would.
    void refuseQuoteInserts()
    {
        const bool pg = db().isPostgres();
        if (pg) {
            ASSERT_TRUE(db().exec(QStringLiteral("CREATE FUNCTION refuse_quote() RETURNS trigger AS $$ BEGIN RAISE "
                                                 "EXCEPTION 'quotes refused'; END $$ LANGUAGE plpgsql"))
                            .isOk());
        }
        ASSERT_TRUE(db().exec(pg ? QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"quotes\" FOR EACH ROW "
                                                  "EXECUTE FUNCTION refuse_quote()")
                                 : QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"quotes\" BEGIN "
                                                  "SELECT RAISE(ABORT, 'quotes refused'); END"))
                        .isOk());
    }
};

TEST_P(Processing, automaticRunStoresTheNumberedQuoteDeletesTheRequestThenWritesTheLetterAndTells)
{
    ctx.glo.companyNo = 7;
    const qint32 id = addRequest({}, true);
    quotes::QuoteProcessing p(services(true), fetch("WebQuotes", "QUOTEIDKEY", id), true, false);
    ASSERT_TRUE(p.open());
    ASSERT_EQ(p.run(), Response::Completed) << p.lastStatus().message().toStdString();
    EXPECT_TRUE(p.lastStatus().isOk()) << p.lastStatus().message().toStdString();

    const qint32 quoteId = p.quote().toLong("QuoteID");
    const Record quote = fetch("Quotes", "QUOTEIDKEY", quoteId);
    ASSERT_TRUE(quote.isValid());
    EXPECT_EQ(quote.toLong("Number"), 24101);
    EXPECT_EQ(quote.toLong("WebID"), 58001);
    EXPECT_EQ(quote.text("Status"), QStringLiteral("New"));
    EXPECT_EQ(quote.toLong("IsTemplate"), 0);
    EXPECT_EQ(quote.toLong("HasAttachments"), 1);
    EXPECT_EQ(quote.text("Signatory"), QStringLiteral("Jane Smith"));
    EXPECT_EQ(quote.text("Name"), QStringLiteral("Harbour Lights"));
    EXPECT_EQ(quote.text("QuantityText1"), QStringLiteral("2500")); // not the template's "1,000 leaflets"
    EXPECT_EQ(quote.text("Address"), QStringLiteral("1 Dock Road\nScarborough")); // the office's, from the claim
    EXPECT_TRUE(quote.text("Spec").contains(QStringLiteral("Repro: Plates")));
    EXPECT_FALSE(quote.decimal("SellingPrice1").isZero());
    EXPECT_EQ(rows("QuoteWorkings", "QUOTEIDKEY", { quoteId }).size(), 2);
    EXPECT_EQ(rows("Notes", "QUOTEIDKEY", { quoteId }).size(), 1);
    EXPECT_EQ(fetch("Clients", "CLIENTIDKEY", client).toLong("ActivityDate"), bizlib::DateTime::today());

    // The request and its web records are gone.
    EXPECT_FALSE(fetch("WebQuotes", "QUOTEIDKEY", id).isValid());
    EXPECT_TRUE(rows("WebNotes", "QUOTEIDKEY", { id }).isEmpty());
    EXPECT_TRUE(rows("WebAttachments", "QUOTEIDKEY", { id }).isEmpty());
    EXPECT_TRUE(rows("TabTexts", "WEBQUOTEIDTABIDKEY", { id }).isEmpty());

    // The copy the conversion wrote now carries the quote number; the address stays uncopied.
    QHash<QString, Record> attachments;
    for (const Record &a : rows("Attachments", "QUOTEIDKEY", { quoteId }))
        attachments.insert(a.text("SourceFile"), a);
    EXPECT_EQ(attachments.value("art.pdf").text("Filename"), QStringLiteral("24101_art.pdf"));
    EXPECT_EQ(attachments.value("art.pdf").text("LocalPath"), dataFile(QStringLiteral("24101_art.pdf")));
    EXPECT_TRUE(QFile::exists(dataFile(QStringLiteral("24101_art.pdf"))));
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("58001_art.pdf"))));
    EXPECT_EQ(attachments.value("logo.png").toLong("Copied"), 0);
    EXPECT_EQ(attachments.value("logo.png").text("Filename"), QStringLiteral("58001_logo.png"));

    EXPECT_EQ(p.documentFile(), dataFile(QStringLiteral("24101.pdf")));
    const QString letter = pdfText(p.documentFile());
    EXPECT_TRUE(letter.contains(QStringLiteral("Quote 24101"))) << letter.toStdString();
    EXPECT_TRUE(letter.contains(QStringLiteral("Repro              Plates"))) << letter.toStdString();

    const QList<testsupport::SmtpSink::Message> sent = sink.messages();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].recipients, QStringList { QStringLiteral("ab@print.example") });
    EXPECT_EQ(sent[0].header("Subject"), QStringLiteral("Webconsole: Web quote processed"));
    EXPECT_TRUE(sent[0].body().contains("Client: Harbour Lights - Jo Marsh\r\nWeb-ref: 58001\r\nQuote-ref: 24101\r\n"));

    const QStringList expected { QStringLiteral("company=07"), QStringLiteral("parenttype=quote"),
        QStringLiteral("parentid=%1").arg(quoteId), QStringLiteral("parentref=24101") };
    EXPECT_EQ(downloader.started, QList<QStringList> { expected });
}

TEST_P(Processing, aFailedAutomaticInsertKeepsTheRequestAndLeavesNothingOfTheConversion)
{
    const qint32 id = addRequest({}, true);
    refuseQuoteInserts();
    quotes::QuoteProcessing p(services(true), fetch("WebQuotes", "QUOTEIDKEY", id), true, false);
    ASSERT_TRUE(p.open());
    EXPECT_EQ(p.run(), Response::Cancelled);
    EXPECT_TRUE(p.lastStatus().message().contains(QStringLiteral("quotes refused")))
        << p.lastStatus().message().toStdString();

    const Record request = fetch("WebQuotes", "QUOTEIDKEY", id);
    ASSERT_TRUE(request.isValid());
    EXPECT_EQ(request.text("Status"), QStringLiteral("Pending"));
    EXPECT_EQ(request.toLong("TemplateID"), templateId);
    EXPECT_EQ(rows("WebAttachments", "QUOTEIDKEY", { id }).size(), 2);
    EXPECT_EQ(rows("TabTexts", "WEBQUOTEIDTABIDKEY", { id }).size(), 2);
    ASSERT_NE(p.quote().toLong("QuoteID"), 0);
    EXPECT_EQ(rowsOfQuote(p.quote().toLong("QuoteID")), 0);
    EXPECT_EQ(fetch("SYCONF", "SYCONFIDKEY", 1).toLong("LastQuoteNo"), 24100);
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("58001_art.pdf"))));
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("24101_art.pdf"))));
    EXPECT_TRUE(QFile::exists(uploadedFile()));
    EXPECT_TRUE(p.documentFile().isEmpty());
    EXPECT_TRUE(sink.messages().isEmpty());
    EXPECT_TRUE(downloader.started.isEmpty());
}

// Another workstation unlocks the request while this one is in its final writes (PostgreSQL: inside
// its final transaction; SQLite, whose writers take turns: just before it). This run stores
// nothing and says who took the request; processed again, it becomes exactly one quote.
TEST_P(Processing, aTakeoverDuringTheFinalWritesMakesExactlyOneQuoteAndTheLoserIsTold)
{
    const qint32 id = addRequest();
    const auto other = testDb().openSecond();
    testsupport::ScriptedPrompter unlock;
    unlock.answer(2);
    std::unique_ptr<data::RequestClaim> takeover;
    quotes::QuoteProcessing::Services s = services();
    const QByteArray when = db().isPostgres() ? "stored" : "staged";
    s.checkpoint = [&](const char *point) {
        if (when != point || takeover)
            return;
        takeover = std::make_unique<data::RequestClaim>(
            *other, data::ClaimVariant::quoteProcessing(), id, &unlock, std::function<void()> {}, QStringLiteral("AB"));
        EXPECT_EQ(takeover->claim(false), data::RequestClaim::Outcome::Unlocked);
    };
    {
        quotes::QuoteProcessing first(s, fetch("WebQuotes", "QUOTEIDKEY", id), true, false);
        ASSERT_TRUE(first.open());
        EXPECT_EQ(first.run(), Response::Cancelled);
        EXPECT_TRUE(first.told().contains(QStringLiteral("taken over by AB"))) << first.told().toStdString();
    }
    ASSERT_TRUE(takeover);
    EXPECT_TRUE(rows("Quotes", "NUMBERKEY", { 24101 }).isEmpty());
    EXPECT_EQ(fetch("WebQuotes", "QUOTEIDKEY", id).text("Status"), QStringLiteral("Processing"));
    EXPECT_TRUE(sink.messages().isEmpty());

    takeover.reset(); // they give it back, and it is processed once
    EXPECT_EQ(process(id, true), Response::Completed);
    EXPECT_EQ(rows("Quotes", "NUMBERKEY", { 24101 }).size(), 1);
    EXPECT_TRUE(rows("Quotes", "NUMBERKEY", { 24102 }).isEmpty());
}

// A run whose steps take long keeps its claim seen between them, so another workstation does not
// take it for a dead run's; with keeping off, the same run looks dead to them.
TEST_P(Processing, aClaimHeldThroughLongStepsIsKeptSeen_notTakenForADeadRun)
{
    const auto other = testDb().openSecond();
    for (const int keepSeenMs : { 0, -1 }) {
        SCOPED_TRACE(keepSeenMs);
        const qint32 id = addRequest({ { "Number", 1001 - keepSeenMs }, { "WebID", 58001 - keepSeenMs } });
        quotes::QuoteProcessing::Services s = services();
        s.keepSeenMs = keepSeenMs;
        std::optional<qint32> unseen;
        s.checkpoint = [&](const char *point) {
            const QByteArray at(point);
            if (at == "claimed") { // the step before took a day
                EXPECT_TRUE(db().exec(QStringLiteral("UPDATE \"wc_claims\" SET \"seenon\" = \"seenon\" - 1 "
                                                     "WHERE \"requestid\" = ?"),
                                    { id })
                                .isOk());
            } else if (at == "converted") { // inside the final transaction: others see what was committed
                data::ClaimHolder holder;
                ASSERT_TRUE(data::ClaimBook(*other).holderOf(QStringLiteral("WebQuotes"), id, &holder).isOk());
                unseen = holder.minutesUnseen(bizlib::DateTime::today(), bizlib::DateTime::now());
            }
        };
        quotes::QuoteProcessing p(s, fetch("WebQuotes", "QUOTEIDKEY", id), true, false);
        ASSERT_TRUE(p.open());
        EXPECT_EQ(p.run(), Response::Completed) << p.told().toStdString();
        ASSERT_TRUE(unseen.has_value());
        if (keepSeenMs == 0)
            EXPECT_LT(*unseen, 2);
        else
            EXPECT_GE(*unseen, 24 * 60);
    }
}

// Keeping the claim seen marks this run's own claim only: a claim another workstation took over
// meanwhile is not made to look alive by the run that lost it.
TEST_P(Processing, keepingTheClaimSeenLeavesAClaimTakenOverElsewhereAsItIs)
{
    const qint32 id = addRequest();
    const auto other = testDb().openSecond();
    testsupport::ScriptedPrompter unlock;
    unlock.answer(2);
    std::unique_ptr<data::RequestClaim> takeover;
    quotes::QuoteProcessing::Services s = services();
    s.keepSeenMs = 0;
    s.checkpoint = [&](const char *point) {
        if (QByteArray(point) != "claimed")
            return;
        takeover = std::make_unique<data::RequestClaim>(
            *other, data::ClaimVariant::quoteProcessing(), id, &unlock, std::function<void()> {}, QStringLiteral("AB"));
        EXPECT_EQ(takeover->claim(false), data::RequestClaim::Outcome::Unlocked);
        EXPECT_TRUE(
            other
                ->exec(QStringLiteral("UPDATE \"wc_claims\" SET \"seenon\" = \"seenon\" - 1 WHERE \"owner\" = ?"),
                    { takeover->owner() })
                .isOk());
    };
    quotes::QuoteProcessing p(s, fetch("WebQuotes", "QUOTEIDKEY", id), true, false);
    ASSERT_TRUE(p.open());
    EXPECT_EQ(p.run(), Response::Cancelled);
    ASSERT_TRUE(takeover);
    data::ClaimHolder holder;
    ASSERT_TRUE(data::ClaimBook(*other).byOwner(takeover->owner(), &holder).isOk());
    EXPECT_GE(holder.minutesUnseen(bizlib::DateTime::today(), bizlib::DateTime::now()), 24 * 60);
    EXPECT_TRUE(rows("Quotes", "NUMBERKEY", { 24101 }).isEmpty());
}

// A tab text that cannot be stored is skipped: inside the conversion's one transaction only its
// own insert is undone (a savepoint), and the quote is made with the rest.
TEST_P(Processing, aTabTextThatCannotBeStoredIsSkippedAndTheQuoteIsStillMade)
{
    const qint32 id = addRequest();
    add("TabTexts", { { "WebQuoteID", id }, { "TabID", tabs.value("Size") }, { "Text", "A4" } });
    ASSERT_TRUE(
        db().exec(QStringLiteral("CREATE UNIQUE INDEX \"one_text_per_tab\" ON \"tabtexts\" (\"quoteid\", \"tabid\") "
                                 "WHERE \"quoteid\" <> 0"))
            .isOk());
    quotes::QuoteProcessing p(services(), fetch("WebQuotes", "QUOTEIDKEY", id), true, false);
    ASSERT_TRUE(p.open());
    ASSERT_EQ(p.run(), Response::Completed) << p.lastStatus().message().toStdString();
    const QList<Record> texts = rows("TabTexts", "QUOTEIDTABIDKEY", { p.quote().toLong("QuoteID") });
    EXPECT_EQ(texts.size(), 2); // Size once, Prepress
    EXPECT_FALSE(fetch("WebQuotes", "QUOTEIDKEY", id).isValid());
}

// A cancelled run gives the request back its status, and its template and previous quote as the
// conversion left them: identifiers of quotes that no longer exist are cleared.
TEST_P(Processing, aCancelWritesBackTheTemplateAndPreviousQuoteTheConversionCleared)
{
    struct Case
    {
        qint32 templateId;
        qint32 previousId;
    };
    for (const Case c : { Case { 999999, 0 }, Case { 0, 888888 }, Case { 999999, 888888 } }) {
        SCOPED_TRACE(c.templateId + c.previousId);
        const qint32 id
            = addRequest({ { "TemplateID", c.templateId }, { "PreviousID", c.previousId }, { "Status", "Waiting" } });
        forms.cancelForm();
        EXPECT_EQ(process(id, false), Response::Cancelled);
        const Record request = fetch("WebQuotes", "QUOTEIDKEY", id);
        EXPECT_EQ(request.text("Status"), QStringLiteral("Waiting"));
        EXPECT_EQ(request.toLong("TemplateID"), 0);
        EXPECT_EQ(request.toLong("PreviousID"), 0);
    }
}

TEST_P(Processing, aClaimedRequestIsLeftAloneAutomaticallyAndUnlockThenCancelFreesIt)
{
    const qint32 id = addRequest({ { "Status", "Processing" } });
    {
        quotes::QuoteProcessing p(services(), fetch("WebQuotes", "QUOTEIDKEY", id), true, false);
        EXPECT_FALSE(p.open());
        EXPECT_EQ(p.response(), Response::Cancelled);
    }
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(fetch("WebQuotes", "QUOTEIDKEY", id).text("Status"), QStringLiteral("Processing"));
    EXPECT_EQ(notices, 0);

    prompter.answer(2); // Unlock
    forms.cancelForm();
    EXPECT_EQ(process(id, false), Response::Cancelled);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown()[0].text, data::ClaimVariant::processingMessage());
    EXPECT_EQ(forms.formsShown().size(), 1);
    EXPECT_EQ(fetch("WebQuotes", "QUOTEIDKEY", id).text("Status"), QStringLiteral("Pending"));
    EXPECT_TRUE(rows("Quotes", "NUMBERKEY", { 24101 }).isEmpty());
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_P(Processing, manualRunStoresTheFormsQuoteAndACancelledFormRemovesItsRowsAndFiles)
{
    const qint32 first = addRequest({}, true);
    forms.answerForm({ { QStringLiteral("QTE:Title"), QStringLiteral("A5 flyers, silk") } });
    ASSERT_EQ(process(first, false), Response::Completed);
    const QList<Record> stored = rows("Quotes", "NUMBERKEY", { 24101 });
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].text("Title"), QStringLiteral("A5 flyers, silk"));
    EXPECT_FALSE(fetch("WebQuotes", "QUOTEIDKEY", first).isValid());
    ASSERT_EQ(sink.messages().size(), 1);
    EXPECT_EQ(sink.messages()[0].recipients, QStringList { QStringLiteral("ab@print.example") });

    const qint32 second = addRequest({ { "Number", 1002 }, { "WebID", 58002 }, { "Status", "Waiting" } }, true);
    forms.cancelForm();
    quotes::QuoteProcessing p(services(), fetch("WebQuotes", "QUOTEIDKEY", second), false, false);
    ASSERT_TRUE(p.open());
    EXPECT_EQ(p.run(), Response::Cancelled);
    EXPECT_EQ(rowsOfQuote(p.quote().toLong("QuoteID")), 0);
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("58002_art.pdf"))));
    EXPECT_EQ(fetch("WebQuotes", "QUOTEIDKEY", second).text("Status"), QStringLiteral("Waiting"));
    EXPECT_EQ(sink.messages().size(), 1);
}

TEST_P(Processing, aManualWindowWaitsForThePhraseToolboxAndClosingItFirstReleasesTheClaim)
{
    ctx.settings.quotePhrases = true;
    const qint32 id = addRequest();
    {
        quotes::QuoteProcessing p(services(), fetch("WebQuotes", "QUOTEIDKEY", id), false, false);
        ASSERT_TRUE(p.open());
        EXPECT_EQ(frame.posted, QList<int> { 6034 });
        EXPECT_FALSE(p.mayStart());
        EXPECT_EQ(fetch("WebQuotes", "QUOTEIDKEY", id).text("Status"), QStringLiteral("Processing"));
        p.close();
        EXPECT_EQ(fetch("WebQuotes", "QUOTEIDKEY", id).text("Status"), QStringLiteral("Pending"));
    }
    frame.startsToolbox = true;
    quotes::QuoteProcessing p(services(), fetch("WebQuotes", "QUOTEIDKEY", id), false, false);
    ASSERT_TRUE(p.open());
    EXPECT_TRUE(p.mayStart());
    p.close();
    EXPECT_EQ(ctx.glo.phraseToolbox, nullptr);
    EXPECT_EQ(ctx.glo.phraseToolboxThread, 0);
}

TEST_P(Processing, anAutomaticRfqGoesToTheEstimatorsQueueAndTellsTheEstimator)
{
    ctx.settings.rfqEstimator = QStringLiteral("AB");
    ctx.settings.rfqNotify = true;
    ctx.settings.autoEmailRep = false;
    ctx.settings.adminEmail = QStringLiteral("admin@print.example");
    const qint32 id = addRequest({ { "TemplateID", 0 }, { "Title", "Swing tags" } });
    ASSERT_EQ(process(id, true, true), Response::Completed);

    const QList<Record> stored = rows("Quotes", "NUMBERKEY", { 24101 });
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].text("QuoteType"), QStringLiteral("RFQ"));
    EXPECT_EQ(stored[0].text("Revision"), QStringLiteral("#"));
    EXPECT_EQ(stored[0].text("Status"), QStringLiteral("Incomplete"));
    EXPECT_EQ(stored[0].toLong("SignatoryID"), 99999999);
    EXPECT_EQ(stored[0].text("Estimator"), QStringLiteral("AB"));
    EXPECT_EQ(stored[0].toLong("RFQ"), 1);
    EXPECT_EQ(fetch("Clients", "CLIENTIDKEY", client).toLong("ActivityDate"), 0);

    const QList<testsupport::SmtpSink::Message> sent = sink.messages();
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0].recipients, QStringList { QStringLiteral("ab@print.example") });
    EXPECT_EQ(sent[0].header("Subject"), QStringLiteral("Web Console RFQ notification: 24101"));
    EXPECT_TRUE(sent[0].body().startsWith("An RFQ was auto-generated by Web Console using reference no: 24101\r\n"
                                          "Client: Harbour Lights\r\nTitle: Swing tags\r\nQuantity: 2500\r\n"
                                          "Specification: "));
    EXPECT_EQ(sent[1].recipients, QStringList { QStringLiteral("admin@print.example") });
    EXPECT_EQ(sent[1].header("Subject"), QStringLiteral("Webconsole: Web RFQ received"));
}

INSTANTIATE_TEST_SUITE_P(Engines, Processing, testsupport::allEngines(), testsupport::engineName);

TEST(RfqNotice, isDueOnlyForAnotherEstimatorWhenNotifying)
{
    struct Case
    {
        bool isRfq;
        bool notify;
        const char *estimator;
        bool due;
    };
    const Case cases[] = { { true, true, "AB", true }, { true, true, "js ", false }, { true, true, "", false },
        { true, false, "AB", false }, { false, true, "AB", false } };
    for (const Case &c : cases) {
        config::ConsoleSettings settings;
        settings.rfqNotify = c.notify;
        settings.rfqEstimator = QLatin1String(c.estimator);
        EXPECT_EQ(quotes::RfqNotice::isDue(settings, QStringLiteral("JS"), c.isRfq), c.due) << c.estimator;
    }
}

} // namespace
