#include "orders/OrderQuotePreparation.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/report/PdfQuotes.h"
#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"
#include "orders/WebOrderConversion.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QTemporaryDir>
#include <QTemporaryFile>

using bizlib::Decimal;
using bizlib::Record;
using bizlib::Status;
using bizlib::Table;
using orders::OrderQuotePreparation;
using orders::WebOrderConversion;
using Response = bizlib::forms::Response;

namespace {

Decimal dec(const char *text)
{
    return Decimal::fromString(QString::fromLatin1(text));
}

class QuotePreparation : public testsupport::DataTest
{
protected:
    // Every field of every row, as text: "exactly as it was" compares these.
    QStringList dump(const QList<Record> &list)
    {
        QStringList out;
        for (const Record &r : list)
            for (int i = 0; i < r.table().fields.size(); ++i)
                out << r.table().fields.at(i).name + u'=' + r.text(i);
        return out;
    }
    QStringList quoteState(qint32 quoteId)
    {
        return dump({ read(QStringLiteral("Quotes"), quoteId) })
            + dump(rows(QStringLiteral("SpecTexts"), QStringLiteral("QUOTEIDKEY"), { quoteId }))
            + dump(rows(QStringLiteral("TabTexts"), QStringLiteral("QUOTEIDTABIDKEY"), { quoteId }));
    }
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped())
            return;
        insert(QStringLiteral("SYCONF"), [](Record &r) {
            r.setLong("LastJobNo", 700);
            r.setLong("LastQuoteNo", 4100);
        });
        insert(QStringLiteral("DEFAULTS"), [](Record &r) { r.setLong("LeadDays", 5); });
        insert(QStringLiteral("TaxRates"), [](Record &r) {
            r.setText("TaxCode", QStringLiteral("S"));
            r.setText("TaxType", QStringLiteral("Sales"));
            r.setDecimal("GTaxRate", dec("20"));
            r.setDecimal("TaxRate", dec("20"));
        });
        sizeTab = insert(QStringLiteral("Tabs"), [](Record &r) {
            r.setText("Name", QStringLiteral("Size"));
            r.setLong("SpecSection", 1);
        }).toLong("TabID");
        notesTab = insert(QStringLiteral("Tabs"), [](Record &r) {
            r.setText("Name", QStringLiteral("Notes"));
            r.setLong("SpecSection", 1);
        }).toLong("TabID");
    }
    // A quote with two quantities, a specification record (its Size section long) and two tab texts.
    qint32 quote(const std::function<void(Record &)> &more = {})
    {
        const qint32 id = insert(QStringLiteral("Quotes"), [&](Record &r) {
            r.setLong("Number", 4001);
            r.setText("Revision", QStringLiteral("B"));
            r.setText("Title", QStringLiteral("Quote title"));
            r.setText("Status", QStringLiteral("Sent"));
            r.setText("TaxCode", QStringLiteral("S"));
            r.setLong("Quantity1", 100);
            r.setText("QuantityText1", QStringLiteral("100"));
            r.setDecimal("SellingPrice1", dec("50"));
            r.setLong("Quantity2", 500);
            r.setText("QuantityText2", QStringLiteral("500"));
            r.setDecimal("SellingPrice2", dec("150"));
            r.setLong("QuantityIndex", 1);
            if (more)
                more(r);
        }).toLong("QuoteID");
        insert(QStringLiteral("SpecTexts"), [&](Record &r) {
            r.setLong("QuoteID", id);
            r.setText("Size", QString(1000, u'x'));
            r.setText("Notes", QStringLiteral("Old notes"));
        });
        insert(QStringLiteral("TabTexts"), [&](Record &r) {
            r.setLong("QuoteID", id);
            r.setLong("TabID", sizeTab);
            r.setText("Text", QString(1000, u'x'));
        });
        insert(QStringLiteral("TabTexts"), [&](Record &r) {
            r.setLong("QuoteID", id);
            r.setLong("TabID", notesTab);
            r.setText("Text", QStringLiteral("Old notes"));
        });
        return id;
    }
    Record webOrder(qint32 quoteId, const std::function<void(Record &)> &more = {})
    {
        const Record web = insert(QStringLiteral("WebOrders"), [&](Record &r) {
            r.setLong("WebID", 9001);
            r.setText("OrderType", QStringLiteral("Service"));
            r.setText("Quantity", QStringLiteral("250"));
            r.setDecimal("QuotePrice", dec("80"));
            r.setText("Title", QStringLiteral("Web title"));
            r.setText("Status", QStringLiteral("Pending"));
            r.setText("TaxCode", QStringLiteral("S"));
            r.setLong("QuoteID", quoteId);
            r.setText("SpecSize", QStringLiteral("A5 web"));
            if (more)
                more(r);
        });
        insert(QStringLiteral("TabTexts"), [&](Record &r) {
            r.setLong("WebOrderID", web.toLong("OrderID"));
            r.setLong("TabID", sizeTab);
            r.setText("Text", QStringLiteral("A5 web"));
        });
        return web;
    }
    WebOrderConversion conversion(const Record &web, data::RequestClaim *claim, bizlib::forms::RecordForms *forms,
        bizlib::PdfQuotes *documents = nullptr, const QString &globalData = {})
    {
        WebOrderConversion::Services s;
        s.db = &db();
        s.prompter = &prompter;
        s.user.userCode = QStringLiteral("JS");
        s.voucherCode = QStringLiteral("VOUCHER");
        s.dataFolder = dataFolder.path();
        s.claim = claim;
        s.forms = forms;
        s.documents = documents;
        s.globalData = globalData;
        return WebOrderConversion(s, read(QStringLiteral("WebOrders"), web.toLong("OrderID")));
    }
    static WebOrderConversion::Call first()
    {
        WebOrderConversion::Call c;
        c.itemNumber = 1;
        return c;
    }

    testsupport::ScriptedPrompter prompter;
    QTemporaryDir dataFolder;
    qint32 sizeTab = 0;
    qint32 notesTab = 0;
};

TEST_P(QuotePreparation, aRepeatCopiesThePreviousQuoteWithTheOrderQuantityMergedOrIsRemovedWhenTheFormIsCancelled)
{
    for (const bool accept : { true, false }) {
        SCOPED_TRACE(accept);
        const qint32 old = quote();
        const QStringList oldState = quoteState(old);
        const Record previous = insert(QStringLiteral("Orders"), [&](Record &r) { r.setLong("QuoteID", old); });
        const Record web = webOrder(old, [&](Record &r) { r.setLong("PreviousID", previous.toLong("OrderID")); });
        testsupport::ScriptedForms forms;
        if (accept)
            forms.answerForm({});
        else
            forms.cancelForm();
        const int quotesBefore = int(rows(QStringLiteral("Quotes"), QStringLiteral("QUOTEIDKEY"), {}).size());
        WebOrderConversion conv = conversion(web, nullptr, &forms);
        const Response response = conv.convert(first());
        // The previous order was quoted: the user is told before the quote is shown.
        ASSERT_FALSE(prompter.shown().isEmpty());
        EXPECT_EQ(prompter.shown().last().caption, OrderQuotePreparation::repeatCaption());
        EXPECT_EQ(prompter.shown().last().text, OrderQuotePreparation::repeatMessage());
        EXPECT_EQ(quoteState(old), oldState); // the previous quote is only read
        if (!accept) {
            EXPECT_EQ(response, Response::Cancelled);
            EXPECT_TRUE(conv.orderRemoved());
            EXPECT_TRUE(rows(QStringLiteral("Orders"), QStringLiteral("ORDERIDKEY"), { conv.order().toLong("OrderID") })
                            .isEmpty());
            EXPECT_EQ(rows(QStringLiteral("Quotes"), QStringLiteral("QUOTEIDKEY"), {}).size(), quotesBefore);
            continue;
        }
        ASSERT_EQ(response, Response::Completed) << conv.lastStatus().message().toStdString();
        const Record order = read(QStringLiteral("Orders"), conv.order().toLong("OrderID"));
        ASSERT_NE(order.toLong("QuoteID"), old);
        const Record made = read(QStringLiteral("Quotes"), order.toLong("QuoteID"));
        EXPECT_EQ(order.toLong("QuoteNo"), made.toLong("Number"));
        EXPECT_GT(made.toLong("Number"), 4100);
        EXPECT_EQ(made.text("Revision"), QString());
        EXPECT_EQ(made.text("Status"), QStringLiteral("Won"));
        EXPECT_EQ(made.toLong("WebID"), 9001);
        // 250 goes between 100 and 500; its place is the index and carries the order's value.
        EXPECT_EQ(made.toLong("Quantity1"), 100);
        EXPECT_EQ(made.toLong("Quantity2"), 250);
        EXPECT_EQ(made.toLong("Quantity3"), 500);
        EXPECT_EQ(made.toLong("QuantityIndex"), 2);
        EXPECT_EQ(made.decimal("TargetPrice2"), dec("80"));
        EXPECT_EQ(made.decimal("TargetPrice1"), Decimal());
        EXPECT_EQ(made.text("MarkupMethod"), QStringLiteral("TP"));
        EXPECT_EQ(order.toLong("QuantityIndex"), 2);
        EXPECT_EQ(order.toLong("QuantityValue"), 250);
        const QList<Record> spec
            = rows(QStringLiteral("SpecTexts"), QStringLiteral("QUOTEIDKEY"), { made.toLong("QuoteID") });
        ASSERT_EQ(spec.size(), 1);
        EXPECT_EQ(spec.first().text("Size"), QStringLiteral("A5 web"));
        EXPECT_EQ(spec.first().text("Notes"), QStringLiteral("Old notes"));
    }
}

TEST_P(QuotePreparation, anAutomaticQuoteIsPricedNumberedAndSavedWithoutAUser)
{
    const qint32 old = quote([](Record &r) { r.setLong("AutoWebQuote", 1); });
    const Record web = webOrder(old);
    WebOrderConversion conv = conversion(web, nullptr, nullptr); // no form: nobody to ask
    ASSERT_EQ(conv.convert(first()), Response::Completed) << conv.lastStatus().message().toStdString();
    EXPECT_TRUE(prompter.shown().isEmpty());
    const Record order = read(QStringLiteral("Orders"), conv.order().toLong("OrderID"));
    const Record made = read(QStringLiteral("Quotes"), order.toLong("QuoteID"));
    EXPECT_NE(made.toLong("QuoteID"), old);
    EXPECT_GT(made.toLong("Number"), 4100);
    EXPECT_EQ(made.toLong("Quantity1"), 250);
    EXPECT_EQ(made.toLong("Quantity2"), 0);
    EXPECT_EQ(made.toLong("QuantityIndex"), 1);
    EXPECT_EQ(made.decimal("SellingPrice1"), dec("80")); // the order's value as the target price
    EXPECT_EQ(made.decimal("TaxAmount1"), dec("16"));
    EXPECT_EQ(made.toLong("OrderID"), order.toLong("OrderID"));
    EXPECT_EQ(order.toLong("QuoteNo"), made.toLong("Number"));
}

TEST_P(QuotePreparation, anAutomaticQuoteWhoseLetterCannotBeWrittenGoesWithItsOrderAndGivesItsNumberBack)
{
    const qint32 old = quote([](Record &r) { r.setLong("AutoWebQuote", 1); });
    const Record web = webOrder(old);
    QTemporaryFile notAFolder; // the letters' folder cannot be made where a file is
    ASSERT_TRUE(notAFolder.open());
    bizlib::PdfQuotes documents(db());
    const int quotesBefore = int(rows(QStringLiteral("Quotes"), QStringLiteral("QUOTEIDKEY"), {}).size());
    WebOrderConversion conv = conversion(web, nullptr, nullptr, &documents, notAFolder.fileName());
    EXPECT_EQ(conv.convert(first()), Response::Cancelled);
    EXPECT_TRUE(conv.lastStatus().message().contains(QStringLiteral("letter")))
        << conv.lastStatus().message().toStdString();
    EXPECT_TRUE(conv.orderRemoved());
    EXPECT_TRUE(
        rows(QStringLiteral("Orders"), QStringLiteral("ORDERIDKEY"), { conv.order().toLong("OrderID") }).isEmpty());
    EXPECT_EQ(rows(QStringLiteral("Quotes"), QStringLiteral("QUOTEIDKEY"), {}).size(), quotesBefore);
    EXPECT_EQ(rows(QStringLiteral("SYCONF"), QStringLiteral("SYCONFIDKEY"), {}).first().toLong("LastQuoteNo"), 4100);
}

TEST_P(QuotePreparation, aCancelGivesALinkedQuoteBackAsItWasExceptWhatAnotherWorkstationChangedMeanwhile)
{
    enum class Then { Cancel, CancelAfterTheirTitle, TakenOverElsewhere };
    for (const Then then : { Then::Cancel, Then::CancelAfterTheirTitle, Then::TakenOverElsewhere }) {
        SCOPED_TRACE(int(then));
        const qint32 linked = quote();
        const QStringList before = quoteState(linked);
        const Record web = webOrder(linked);
        data::RequestClaim claim(db(), data::ClaimVariant::orderProcessing(), web.toLong("OrderID"));
        ASSERT_EQ(claim.claim(true), data::RequestClaim::Outcome::Claimed);
        WebOrderConversion conv = conversion(web, &claim, nullptr);
        ASSERT_EQ(conv.convert(first()), Response::Completed) << conv.lastStatus().message().toStdString();

        // The link took the web order's title and specification onto the quote.
        const Record changed = read(QStringLiteral("Quotes"), linked);
        EXPECT_EQ(changed.text("Title"), QStringLiteral("Web title"));
        EXPECT_EQ(read(QStringLiteral("Orders"), conv.order().toLong("OrderID")).toLong("QuoteNo"), 4001);
        const QList<Record> tabs = rows(QStringLiteral("TabTexts"), QStringLiteral("QUOTEIDTABIDKEY"), { linked });
        ASSERT_EQ(tabs.size(), 2);
        EXPECT_EQ(tabs[0].toLong("TabID"), sizeTab);
        EXPECT_EQ(tabs[0].text("Text"), QStringLiteral("A5 web"));

        // Another workstation: its own connection.
        auto other = testDb().openSecond();
        QStringList expected = before;
        if (then == Then::TakenOverElsewhere) {
            // Unlock there undoes this run, the quote included.
            testsupport::ScriptedPrompter elsewhere;
            elsewhere.answer(2);
            data::RequestClaim taker(*other, data::ClaimVariant::orderProcessing(), web.toLong("OrderID"), &elsewhere);
            ASSERT_EQ(taker.claim(false), data::RequestClaim::Outcome::Unlocked);
            EXPECT_EQ(quoteState(linked), expected);
            EXPECT_FALSE(claim.release().isOk()) << "the run's claim is gone: its cancel writes nothing";
            ASSERT_TRUE(taker.release().isOk());
            EXPECT_EQ(quoteState(linked), expected);
            continue;
        }
        if (then == Then::CancelAfterTheirTitle) {
            Record theirs = Table(*other, QStringLiteral("Quotes")).newRecord();
            ASSERT_TRUE(
                Table(*other, QStringLiteral("Quotes")).fetch(QStringLiteral("QUOTEIDKEY"), { linked }, theirs).isOk());
            theirs.setText("Title", QStringLiteral("Their title"));
            ASSERT_TRUE(Table(*other, QStringLiteral("Quotes")).update(theirs).isOk());
            expected.replace(
                expected.indexOf(QStringLiteral("Title=Quote title")), QStringLiteral("Title=Their title"));
        }
        ASSERT_TRUE(claim.release().isOk());
        EXPECT_EQ(quoteState(linked), expected);
    }
}

TEST_P(QuotePreparation, theWebOrdersTabTextsReplaceTheQuotesAsTheTransferAndItsDefaultSay)
{
    const qint32 otherTab = insert(QStringLiteral("Tabs"), [](Record &r) {
        r.setText("Name", QStringLiteral("Other"));
        r.setLong("SpecSection", 1);
    }).toLong("TabID");
    struct Case
    {
        const char *platform;
        const char *xmlSpec;
        const char *orderType;
        QStringList tabTexts; // the quote's afterwards, "tab:text" in key order
        const char *size; // its Size section afterwards
    };
    const QString W = QStringLiteral("W size");
    const Case cases[] = {
        { "WEB", "", "Service", { "other:Q other", "size:W size", "notes:W notes" }, "A5 web" },
        { "WEB", "", "Product", { "size:Q size", "notes:", "other:Q other", "size:W size", "notes:W notes" },
            "A5 web" },
        { "XMLTFR", "po", "Service", { "size:W size", "notes:W notes" }, "W size" },
        { "XMLTFR", "MERGE", "Service", { "notes:", "other:Q other", "size:W size", "notes:W notes" }, "W size" },
        { "XMLTFR", "", "Service", { "other:Q other", "size:W size", "notes:W notes" }, "Q size" },
    };
    const QHash<qint32, QString> tabName { { sizeTab, QStringLiteral("size") }, { notesTab, QStringLiteral("notes") },
        { otherTab, QStringLiteral("other") } };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.platform) + " " + c.xmlSpec + " " + c.orderType);
        Record defaults = rows(QStringLiteral("DEFAULTS"), QStringLiteral("DEFAULTSIDKEY"), {}).first();
        defaults.setText("XMLSpec", QString::fromLatin1(c.xmlSpec));
        ASSERT_TRUE(Table(db(), QStringLiteral("DEFAULTS")).update(defaults).isOk());
        Record quoteRow = insert(QStringLiteral("Quotes"), [](Record &) {});
        const qint32 id = quoteRow.toLong("QuoteID");
        insert(QStringLiteral("SpecTexts"), [&](Record &r) {
            r.setLong("QuoteID", id);
            r.setText("Size", QStringLiteral("Q size"));
        });
        // Added in tab order, so that key order (tab, then text) lists them as added.
        for (const auto &[tab, text] : { std::pair { sizeTab, "Q size" }, { notesTab, "" }, { otherTab, "Q other" } })
            insert(QStringLiteral("TabTexts"), [&](Record &r) {
                r.setLong("QuoteID", id);
                r.setLong("TabID", tab);
                r.setText("Text", QString::fromLatin1(text));
            });
        const Record web = webOrder(id, [&](Record &r) { r.setText("Platform", QString::fromLatin1(c.platform)); });
        EXPECT_TRUE(Table(db(), QStringLiteral("TabTexts"))
                        .update([&] {
                            Record r = rows(QStringLiteral("TabTexts"), QStringLiteral("WEBORDERIDTABIDKEY"),
                                { web.toLong("OrderID") })
                                           .first();
                            r.setText("Text", W);
                            return r;
                        }())
                        .isOk());
        insert(QStringLiteral("TabTexts"), [&](Record &r) {
            r.setLong("WebOrderID", web.toLong("OrderID"));
            r.setLong("TabID", notesTab);
            r.setText("Text", QStringLiteral("W notes"));
        });
        OrderQuotePreparation::Services s;
        s.db = &db();
        OrderQuotePreparation preparation(s, web, false);
        ASSERT_TRUE(preparation.fillSpecification(quoteRow, QString::fromLatin1(c.orderType)).isOk());
        QStringList after;
        for (const Record &r : rows(QStringLiteral("TabTexts"), QStringLiteral("QUOTEIDTABIDKEY"), { id }))
            after << tabName.value(r.toLong("TabID")) + u':' + r.text("Text");
        QStringList expected = c.tabTexts;
        // Key order is tab, then identifier: sort both by tab the same way.
        const auto byTab = [&](const QString &a, const QString &b) {
            const QStringList order { QStringLiteral("size"), QStringLiteral("notes"), QStringLiteral("other") };
            return order.indexOf(a.section(u':', 0, 0)) < order.indexOf(b.section(u':', 0, 0));
        };
        std::stable_sort(expected.begin(), expected.end(), byTab);
        EXPECT_EQ(after, expected);
        EXPECT_EQ(rows(QStringLiteral("SpecTexts"), QStringLiteral("QUOTEIDKEY"), { id }).first().text("Size"),
            QString::fromLatin1(c.size));
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, QuotePreparation, testsupport::allEngines(), testsupport::engineName);

} // namespace
