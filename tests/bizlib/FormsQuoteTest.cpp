#include "bizlib/Table.h"
#include "bizlib/forms/QuoteUpdate.h"
#include "support/ScriptedForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

using namespace bizlib;
using namespace bizlib::forms;
using bizlib::params::QuoteUpdateParams;
using testsupport::DataTest;
using testsupport::ScriptedForms;

namespace {

class QuoteForm : public DataTest
{
protected:
    // A new quote as the processing windows leave it: numbered from the counter, not stored.
    Record newQuote()
    {
        Table quotes(db(), QStringLiteral("Quotes"));
        Record q;
        EXPECT_TRUE(quotes.prime(q).isOk());
        q.setText("Title", QStringLiteral("Leaflets"));
        q.setLong("Quantity1", 1000);
        return q;
    }

    QuoteUpdateParams params(int forceCalc)
    {
        QuoteUpdateParams p;
        p.setLong("ForceCalc", forceCalc);
        return p;
    }

    qint64 rows(const QString &table)
    {
        Table t(db(), table);
        qint64 n = -1;
        EXPECT_TRUE(t.count(&n).isOk());
        return n;
    }

    Record stored(qint32 quoteId)
    {
        Table quotes(db(), QStringLiteral("Quotes"));
        Record r = quotes.newRecord();
        EXPECT_TRUE(quotes.fetch(QStringLiteral("QUOTEIDKEY"), { quoteId }, r).isOk());
        return r;
    }

    Record storedSpec(qint32 quoteId)
    {
        Table specs(db(), QStringLiteral("SpecTexts"));
        Record r = specs.newRecord();
        EXPECT_TRUE(specs.fetch(QStringLiteral("QUOTEIDKEY"), { quoteId }, r).isOk());
        return r;
    }

    // A stand-in for the quote calculation: price = quantity x 0.05.
    static Status price(Record &quote)
    {
        quote.setDecimal("SellingPrice1", Decimal(quote.toLong("Quantity1") * 5, 2));
        return Status::ok();
    }
};

TEST_P(QuoteForm, insertWithForceCalcShowsTheRecalculatedQuoteAndStoresItWithItsSpecification)
{
    ScriptedForms forms;
    QuoteUpdate update(db(), forms, { &QuoteForm::price, {} });
    Record quote = newQuote();
    forms.answerForm({ { QStringLiteral("QTE:Title"), QStringLiteral("Leaflets A5, 4pp") },
        { QStringLiteral("SPTXT:Printing"), QStringLiteral("Four colours both sides") },
        { QStringLiteral("QTE:QuoteID"), QStringLiteral("77") } });

    ASSERT_EQ(update.updateQuote(Request::Insert, params(1), quote), Response::Completed)
        << update.lastStatus().message().toStdString();
    const ScriptedForms::FormShown &shown = forms.formsShown().at(0);
    EXPECT_EQ(shown.values.value(QStringLiteral("QTE:SellingPrice1")), QStringLiteral("50.00"));
    EXPECT_EQ(shown.maxLengths.value(QStringLiteral("SPTXT:Printing")), 1000);
    EXPECT_FALSE(shown.readOnly);
    EXPECT_EQ(shown.refused, QStringList { QStringLiteral("QTE:QuoteID") }); // not on the form

    EXPECT_EQ(quote.text("Title"), QStringLiteral("Leaflets A5, 4pp"));
    const Record row = stored(quote.toLong("QuoteID"));
    EXPECT_EQ(row.text("Title"), QStringLiteral("Leaflets A5, 4pp"));
    EXPECT_EQ(row.decimal("SellingPrice1"), Decimal(5000, 2));
    EXPECT_EQ(storedSpec(quote.toLong("QuoteID")).text("Printing"), QStringLiteral("Four colours both sides"));
}

TEST_P(QuoteForm, forceCalcWithoutACalculationOrWithAFailingOneDoesNotOpenTheForm)
{
    ScriptedForms forms;
    testsupport::ScriptedPrompter prompter;
    Record quote = newQuote();
    const Record before = quote;

    QuoteUpdate noHook(db(), forms, {}, &prompter);
    EXPECT_EQ(noHook.updateQuote(Request::Insert, params(1), quote), Response::Cancelled);
    EXPECT_TRUE(noHook.lastStatus().isError());

    QuoteUpdate failing(
        db(), forms, { [](Record &) { return Status::error(QStringLiteral("no markup")); }, {} }, &prompter);
    EXPECT_EQ(failing.updateQuote(Request::Insert, params(1), quote), Response::Cancelled);
    EXPECT_TRUE(failing.lastStatus().message().contains(QStringLiteral("no markup")));

    EXPECT_TRUE(forms.formsShown().isEmpty());
    EXPECT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(quote, before);
    EXPECT_EQ(rows(QStringLiteral("Quotes")), 0);
}

TEST_P(QuoteForm, cancelAndViewWriteNothing)
{
    ScriptedForms forms;
    int calculations = 0;
    QuoteUpdate update(db(), forms,
        { [&](Record &q) {
             ++calculations;
             return price(q);
         },
            {} });
    Record quote = newQuote();
    const Record before = quote;

    forms.answerForm({ { QStringLiteral("QTE:Title"), QStringLiteral("Typed") } }, false);
    EXPECT_EQ(update.updateQuote(Request::Insert, params(1), quote), Response::Cancelled);
    EXPECT_EQ(quote, before);

    forms.answerForm({ { QStringLiteral("QTE:Title"), QStringLiteral("Typed") } });
    EXPECT_EQ(update.updateQuote(Request::View, params(1), quote), Response::Completed);
    EXPECT_TRUE(forms.formsShown().at(1).readOnly);
    EXPECT_EQ(quote, before);
    EXPECT_EQ(calculations, 1); // not for View
    EXPECT_EQ(rows(QStringLiteral("Quotes")), 0);
    EXPECT_EQ(rows(QStringLiteral("SpecTexts")), 0);
}

TEST_P(QuoteForm, aQuoteStoredAlreadyIsUpdatedAndAFailedSaveUndoesEverything)
{
    Table quotes(db(), QStringLiteral("Quotes"));
    Record quote = newQuote();
    ASSERT_TRUE(quotes.insert(quote).isOk());
    Table specs(db(), QStringLiteral("SpecTexts"));
    Record spec;
    ASSERT_TRUE(specs.prime(spec).isOk());
    spec.setLong("QuoteID", quote.toLong("QuoteID"));
    spec.setText("Size", QStringLiteral("A5"));
    ASSERT_TRUE(specs.insert(spec).isOk());

    ScriptedForms forms;
    bool refuse = true;
    QuoteUpdate update(db(), forms, { {}, [&](Record &q) {
                                         // The save hook writes (as numbering does) and then may refuse.
                                         q.setLong("Number", 5001);
                                         Table t(db(), QStringLiteral("Quotes"));
                                         Record other;
                                         EXPECT_TRUE(t.prime(other).isOk());
                                         EXPECT_TRUE(t.insert(other).isOk());
                                         return refuse ? Status::error(QStringLiteral("Totals do not add up."))
                                                       : Status::ok();
                                     } });
    forms.answerForm({ { QStringLiteral("SPTXT:Size"), QStringLiteral("A4") } });
    EXPECT_EQ(update.updateQuote(Request::Insert, params(0), quote), Response::Cancelled);
    EXPECT_EQ(forms.formsShown().at(0).error, QStringLiteral("Totals do not add up."));
    EXPECT_EQ(forms.formsShown().at(0).values.value(QStringLiteral("SPTXT:Size")), QStringLiteral("A5"));
    EXPECT_EQ(rows(QStringLiteral("Quotes")), 1);
    EXPECT_EQ(storedSpec(quote.toLong("QuoteID")).text("Size"), QStringLiteral("A5"));

    refuse = false;
    forms.answerForm({ { QStringLiteral("SPTXT:Size"), QStringLiteral("A4") } });
    ASSERT_EQ(update.updateQuote(Request::Insert, params(0), quote), Response::Completed)
        << update.lastStatus().message().toStdString();
    EXPECT_EQ(quote.toLong("Number"), 5001);
    EXPECT_EQ(stored(quote.toLong("QuoteID")).toLong("Number"), 5001);
    EXPECT_EQ(storedSpec(quote.toLong("QuoteID")).text("Size"), QStringLiteral("A4"));
    EXPECT_EQ(rows(QStringLiteral("Quotes")), 2); // the quote once, and the hook's own row
    EXPECT_EQ(rows(QStringLiteral("SpecTexts")), 1);
}

// A quote not numbered yet and its empty quantity places show blank, not "0" / "0.00"; a blank
// left as it is stays zero, and the totals the pricing works out cannot be typed over.
TEST_P(QuoteForm, anEmptyNumberAndEmptySlotsShowBlankAndTheTotalsAreReadOnly)
{
    ScriptedForms forms;
    QuoteUpdate update(db(), forms, { &QuoteForm::price, {} });
    Record quote = newQuote();
    quote.setDecimal("TaxAmount1", Decimal(1000, 2));
    forms.answerForm({ { QStringLiteral("QTE:Quantity2"), QStringLiteral("2000") },
        { QStringLiteral("QTE:TaxAmount1"), QStringLiteral("99.00") } });
    ASSERT_EQ(update.updateQuote(Request::Insert, params(1), quote), Response::Completed)
        << update.lastStatus().message().toStdString();

    const ScriptedForms::FormShown &shown = forms.formsShown().at(0);
    for (const char *blank :
        { "QTE:Number", "QTE:Quantity2", "QTE:SellingPrice2", "QTE:TargetPrice1", "QTE:TaxAmount5" })
        EXPECT_EQ(shown.values.value(QLatin1String(blank)), QString()) << blank;
    EXPECT_EQ(shown.values.value(QStringLiteral("QTE:Quantity1")), QStringLiteral("1000"));
    EXPECT_EQ(shown.values.value(QStringLiteral("QTE:TaxAmount1")), QStringLiteral("10.00"));
    EXPECT_EQ(shown.refused, QStringList { QStringLiteral("QTE:TaxAmount1") });
    const Record row = stored(quote.toLong("QuoteID"));
    EXPECT_EQ(row.toLong("Quantity2"), 2000);
    EXPECT_TRUE(row.decimal("TargetPrice1").isZero());
    EXPECT_EQ(row.decimal("TaxAmount1"), Decimal(1000, 2));
}

INSTANTIATE_TEST_SUITE_P(Engines, QuoteForm, testsupport::allEngines(), testsupport::engineName);

} // namespace
