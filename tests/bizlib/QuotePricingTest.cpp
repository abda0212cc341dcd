#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/quote/QuoteForm.h"
#include "bizlib/quote/QuoteLibrary.h"
#include "support/ScriptedForms.h"
#include "support/TestDatabase.h"

#include <QVariantMap>

using namespace bizlib;
using testsupport::DataTest;

namespace {

Decimal dec(const char *text)
{
    return Decimal::fromString(QString::fromLatin1(text));
}

// The priced quote every test starts from. Workings, with the first quantity 1000 and the second
// 2500, worked out by hand:
//   paper   (M, run)   260 x 0.1234 = 32.084 -> 32.08, +35% 11.228 -> 11.23 = 43.31
//           at 2500:   32.084 x 2.5 = 80.21,           +35% 28.0735 -> 28.07 = 108.28
//   print   (L, run)   1.5 x 40.00 = 60.00, +40% 24.00 = 84.00;  at 2500: 150.00 + 60.00 = 210.00
//   courier (O, fixed) 1 x 12.50 = 12.50, +25% 3.125 -> 3.13 = 15.63 at both quantities
//   cost totals 104.58 / 242.71, prices 142.94 / 333.91, tax at 20% 28.588 -> 28.59 / 66.782 -> 66.78,
//   commission at 5% 7.147 -> 7.15 / 16.6955 -> 16.70.
class QuotePricing : public DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFailure())
            return;
        add(QStringLiteral("TaxRates"),
            { { "TaxCode", "S" }, { "TaxType", "Sales" }, { "GTaxRate", "20" }, { "TaxRate", "20" } });
        add(QStringLiteral("TaxRates"),
            { { "TaxCode", "US" }, { "TaxType", "Sales" }, { "LTaxRate", "2.5" }, { "GTaxRate", "6.25" },
                { "TaxRate", "8.75" } });
        Table quotes(db(), QStringLiteral("Quotes"));
        ASSERT_TRUE(quotes.prime(m_quote).isOk());
        m_quote.setLong("Quantity1", 1000);
        m_quote.setLong("Quantity2", 2500);
        m_quote.setText("TaxCode", QStringLiteral("S"));
        m_quote.setDecimal("CommissionRate", dec("5"));
        m_quote.setText("MarkupMethod", QStringLiteral("Percent"));
        working(10, "M", "PAPER", "260", "0.1234", "35", false);
        working(20, "L", "DIGI", "1.5", "40.00", "40", false);
        working(30, "O", "DEL", "1", "12.50", "25", true);
    }

    Record add(const QString &table, const QVariantMap &values)
    {
        Table t(db(), table);
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            r.setValue(it.key(), it.value());
        const Status st = t.insert(r);
        EXPECT_TRUE(st.isOk()) << st.message().toStdString();
        return r;
    }

    void working(int sequence, const char *type, const char *code, const char *quantity, const char *unitCost,
        const char *markup, bool fixed, const char *basis = "")
    {
        add(QStringLiteral("QuoteWorkings"),
            { { "QuoteID", m_quote.toLong("QuoteID") }, { "Sequence", sequence }, { "Type", type }, { "Code", code },
                { "Quantity", quantity }, { "UnitCost", unitCost }, { "MarkupPercent", markup },
                { "FixedCharge", fixed ? 1 : 0 }, { "PricingBasis", basis } });
    }

    QList<Record> workings()
    {
        Table t(db(), QStringLiteral("QuoteWorkings"));
        TableCursor c(t, QStringLiteral("QUOTEIDKEY"));
        c.setRange({ m_quote.toLong("QuoteID") });
        QList<Record> out;
        Record r;
        while (c.next(r))
            out << r;
        return out;
    }

    QString amount(const char *field) const { return m_quote.text(QString::fromLatin1(field)); }

    Session m_session;
    Record m_quote;
};

TEST_P(QuotePricing, calcQuote_costsTheWorkingsAndTotalsEachQuantity)
{
    QuoteLibrary lib(db(), m_session);
    m_quote.setLong("Calculate", 1);
    ASSERT_TRUE(lib.calcQuote(m_quote, false, true, 0).isOk());

    EXPECT_EQ(amount("CostTotal1"), QStringLiteral("104.58"));
    EXPECT_EQ(amount("SellingPrice1"), QStringLiteral("142.94"));
    EXPECT_EQ(amount("MarkupTotal1"), QStringLiteral("38.36"));
    EXPECT_EQ(amount("TaxAmount1"), QStringLiteral("28.59"));
    EXPECT_EQ(amount("Commission1"), QStringLiteral("7.15"));
    EXPECT_EQ(amount("CostTotal2"), QStringLiteral("242.71"));
    EXPECT_EQ(amount("SellingPrice2"), QStringLiteral("333.91"));
    EXPECT_EQ(amount("MarkupTotal2"), QStringLiteral("91.20"));
    EXPECT_EQ(amount("TaxAmount2"), QStringLiteral("66.78"));
    EXPECT_EQ(amount("Commission2"), QStringLiteral("16.70"));
    EXPECT_EQ(amount("SellingPrice3"), QStringLiteral("0.00"));
    EXPECT_EQ(amount("TaxRate"), QStringLiteral("20.0000"));
    EXPECT_EQ(m_quote.toLong("Calculate"), 0);
    EXPECT_EQ(m_quote.toLong("PriceCalculated"), 1);

    // The lines were written with their figures at the first quantity.
    const QList<Record> lines = workings();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].text("Cost"), QStringLiteral("32.08"));
    EXPECT_EQ(lines[0].text("SellingPrice"), QStringLiteral("43.31"));
    EXPECT_EQ(lines[0].text("UnitPrice"), QStringLiteral("0.1666")); // 0.1234 x 1.35 = 0.16659
    EXPECT_EQ(lines[2].text("SellingPrice"), QStringLiteral("15.63"));
}

TEST_P(QuotePricing, updateQuoteWithForceCalc_pricesTheQuoteBeforeTheFormShowsIt)
{
    QuoteLibrary lib(db(), m_session);
    testsupport::ScriptedForms forms;
    forms.answerForm({});
    forms::QuoteUpdate update(db(), forms, pricedQuoteHooks(lib));
    params::QuoteUpdateParams p;
    p.setLong("ForceCalc", 1);
    Table quotes(db(), QStringLiteral("Quotes"));
    ASSERT_TRUE(quotes.insert(m_quote).isOk());
    ASSERT_EQ(update.updateQuote(forms::Request::Change, p, m_quote), forms::Response::Completed);
    Record stored = quotes.newRecord();
    ASSERT_TRUE(quotes.fetch(quotes.def().primary().name, {m_quote.toLong("QuoteID")}, stored).isOk());
    EXPECT_EQ(stored.text("SellingPrice1"), QStringLiteral("142.94"));
    EXPECT_EQ(stored.text("TaxAmount2"), QStringLiteral("66.78"));
}

TEST_P(QuotePricing, calcQuoteOfOneQuantity_pricesItAloneWithFixBasisLinesAtTheirOwnCost)
{
    // A set-up charge fixed by its pricing basis alone: 1 x 20.00 +10% = 22.00 at every quantity.
    working(40, "O", "SETUP", "1", "20.00", "10", false, "Fix");
    m_quote.setDecimal("SellingPrice1", dec("999.00"));
    QuoteLibrary lib(db(), m_session);
    ASSERT_TRUE(lib.calcQuote(m_quote, false, false, 2).isOk());
    EXPECT_EQ(amount("SellingPrice1"), QStringLiteral("999.00")) << "only the second quantity is priced";
    EXPECT_EQ(amount("CostTotal1"), QStringLiteral("0.00"));
    EXPECT_EQ(amount("CostTotal2"), QStringLiteral("262.71")); // 242.71 + 20.00
    EXPECT_EQ(amount("SellingPrice2"), QStringLiteral("355.91")); // 333.91 + 22.00
}

TEST_P(QuotePricing, calcQuote_refreshesUnitCostsFromResourcesButNotOrderLines)
{
    const Record paper = add(QStringLiteral("Materials"), { { "Code", "PAPER" }, { "UnitCost", "0.2000" } });
    Table t(db(), QStringLiteral("QuoteWorkings"));
    QList<Record> lines = workings();
    lines[0].setLong("MaterialID", paper.toLong("MaterialID"));
    ASSERT_TRUE(t.update(lines[0]).isOk());
    const Record labour = add(QStringLiteral("Labour"), { { "Code", "DIGI" }, { "CostRate", "50.00" } });
    lines[1].setLong("LabourID", labour.toLong("LabourID"));
    lines[1].setText("CostCode", QStringLiteral("NONE")); // carried over from an order: keeps its cost
    ASSERT_TRUE(t.update(lines[1]).isOk());

    QuoteLibrary lib(db(), m_session);
    ASSERT_TRUE(lib.calcQuote(m_quote, true, true, 0).isOk());
    // paper 260 x 0.20 = 52.00 (+35% 18.20); print still 60.00; courier 12.50.
    EXPECT_EQ(amount("CostTotal1"), QStringLiteral("124.50"));
    EXPECT_EQ(amount("SellingPrice1"), QStringLiteral("169.83")); // 70.20 + 84.00 + 15.63
    EXPECT_EQ(workings()[0].text("UnitCost"), QStringLiteral("0.2000"));
    EXPECT_EQ(workings()[1].text("UnitCost"), QStringLiteral("40.0000"));
}

TEST_P(QuotePricing, calcPrice_takesTargetPricesExtrasAndCommissionFromTheParameters)
{
    QuoteLibrary lib(db(), m_session);
    params::PriceCalcParams p;
    p.setLong("FileRequest", 1);
    p.setText("MarkupMethod", QStringLiteral("TP"));
    ASSERT_TRUE(p.setDecimal("TargetPrice", dec("150.00"), 0)); // only the first quantity has a target
    ASSERT_TRUE(p.setDecimal("Total", dec("10.00"), 1)); // an extra on the second
    p.setLong("CalcComm", 1);
    p.setLong("CalcTotals", 1);
    ASSERT_TRUE(lib.calcPrice(p, m_quote).isOk());

    EXPECT_EQ(amount("SellingPrice1"), QStringLiteral("150.00"));
    EXPECT_EQ(amount("MarkupTotal1"), QStringLiteral("45.42")); // 150.00 - 104.58
    EXPECT_EQ(amount("TaxAmount1"), QStringLiteral("30.00"));
    EXPECT_EQ(amount("SellingPrice2"), QStringLiteral("343.91")); // 333.91 + 10.00
    EXPECT_EQ(amount("MarkupTotal2"), QStringLiteral("101.20"));
    EXPECT_EQ(amount("TaxAmount2"), QStringLiteral("68.78")); // 68.782
    EXPECT_EQ(amount("TargetPrice1"), QStringLiteral("150.00"));
    EXPECT_EQ(m_quote.text("MarkupMethod"), QStringLiteral("TP"));
    EXPECT_EQ(m_quote.toLong("PriceCalculated"), 0);
    EXPECT_EQ(p.decimal("CommBasis", 0).toString(), QStringLiteral("150.00"));
    EXPECT_EQ(p.decimal("CommRate", 1).toString(), QStringLiteral("5.0000"));
    EXPECT_EQ(amount("Commission1"), QStringLiteral("7.50"));
    EXPECT_EQ(amount("Commission2"), QStringLiteral("17.20")); // 343.91 x 5% = 17.1955

    // Only one quantity asked for: the other keeps its price.
    params::PriceCalcParams second;
    second.setLong("Qty", 2);
    second.setText("MarkupMethod", QStringLiteral("Percent"));
    ASSERT_TRUE(lib.calcPrice(second, m_quote).isOk());
    EXPECT_EQ(amount("SellingPrice1"), QStringLiteral("150.00"));
    EXPECT_EQ(amount("SellingPrice2"), QStringLiteral("333.91"));
}

TEST_P(QuotePricing, taxInclusivePrices_carryTheTaxTheyContain)
{
    QuoteLibrary lib(db(), m_session);
    m_quote.setLong("IncludeTax", 1);
    ASSERT_TRUE(lib.calcQuote(m_quote, false, false, 0).isOk());
    // 142.94 + 28.59 = 171.53 gross; back out: 171.53 / 1.2 = 142.94 net, tax 28.59.
    EXPECT_EQ(amount("SellingPrice1"), QStringLiteral("171.53"));
    EXPECT_EQ(amount("TaxAmount1"), QStringLiteral("28.59"));
    EXPECT_EQ(amount("MarkupTotal1"), QStringLiteral("38.36"));
    EXPECT_EQ(amount("Commission1"), QStringLiteral("7.15")); // on the net price

    // Local and general rates: 2.5% + 6.25% on a gross 217.49 -> net 199.99, local 5.00, general 12.50.
    m_quote.setText("TaxCode", QStringLiteral("US"));
    m_quote.setDecimal("SellingPrice1", dec("217.49"));
    ASSERT_TRUE(lib.calcTotals(m_quote).isOk());
    EXPECT_EQ(amount("TaxAmount1"), QStringLiteral("17.50"));
    EXPECT_EQ(amount("TaxRate"), QStringLiteral("8.7500"));

    // The general tax is what the gross leaves: 100.05 / 1.2 = 83.375 -> 83.38 net, so 16.67 tax
    // (20% of the net would be 16.68, one penny more than the gross holds).
    m_quote.setText("TaxCode", QStringLiteral("S"));
    m_quote.setDecimal("SellingPrice1", dec("100.05"));
    ASSERT_TRUE(lib.calcTotals(m_quote).isOk());
    EXPECT_EQ(amount("TaxAmount1"), QStringLiteral("16.67"));
    const PricingModel::TaxSplit split = PricingModel::taxInGross(dec("100.05"), dec("0"), dec("20"));
    EXPECT_EQ((split.net + split.tax).toString(), QStringLiteral("100.05"));
}

TEST_P(QuotePricing, calcTotals_refusesAnUnknownTaxCodeAndLeavesTheQuote)
{
    QuoteLibrary lib(db(), m_session);
    ASSERT_TRUE(lib.calcQuote(m_quote, false, false, 0).isOk());
    m_quote.setText("TaxCode", QStringLiteral("NOPE"));
    m_quote.setDecimal("SellingPrice1", dec("200.00"));
    const Record before = m_quote;
    const Status st = lib.calcTotals(m_quote);
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("NOPE")));
    EXPECT_TRUE(m_quote == before);

    // An empty code: no tax at all.
    m_quote.setText("TaxCode", QString());
    ASSERT_TRUE(lib.calcTotals(m_quote).isOk());
    EXPECT_EQ(amount("TaxAmount1"), QStringLiteral("0.00"));
}

TEST_P(QuotePricing, assignMarkups_takesTheClientsProfileValidToday)
{
    add(QStringLiteral("Markups"),
        { { "Markup", "TRADE" }, { "ValidFrom", 1 }, { "ValidTo", 2 }, { "MaterialPercent", "99" },
            { "LabourPercent", "99" }, { "OutworkPercent", "99" } });
    add(QStringLiteral("Markups"),
        { { "Markup", "TRADE" }, { "ValidFrom", 10 }, { "ValidTo", 0 }, { "MaterialPercent", "20" },
            { "LabourPercent", "30" }, { "OutworkPercent", "10" } });
    const Record client = add(QStringLiteral("Clients"), { { "Code", "ACME" }, { "Markup", "TRADE" } });
    m_quote.setLong("ClientID", client.toLong("ClientID"));
    m_quote.setText("Markup", QStringLiteral("STD"));

    QuoteLibrary lib(db(), m_session);
    ASSERT_TRUE(lib.assignMarkups(m_quote, true, true, false, 0).isOk());
    EXPECT_EQ(m_quote.text("Markup"), QStringLiteral("TRADE"));
    EXPECT_EQ(m_quote.toLong("Calculate"), 1);
    const QList<Record> lines = workings();
    EXPECT_EQ(lines[0].text("MarkupPercent"), QStringLiteral("20.0000"));
    EXPECT_EQ(lines[1].text("MarkupPercent"), QStringLiteral("30.0000"));
    EXPECT_EQ(lines[2].text("MarkupPercent"), QStringLiteral("10.0000"));

    EXPECT_TRUE(lib.checkMarkup(QStringLiteral("TRADE"), 5).isNotFound()); // between the two periods
    Record onLastDay;
    ASSERT_TRUE(lib.checkMarkup(QStringLiteral("TRADE"), 2, &onLastDay).isOk()) << "valid on its last day";
    EXPECT_EQ(onLastDay.text("MaterialPercent"), QStringLiteral("99.0000"));
    EXPECT_TRUE(lib.checkMarkup(QStringLiteral("TRADE"), 3).isNotFound());
    EXPECT_TRUE(lib.checkMarkup(QStringLiteral("TRADE"), 0).isOk());
    EXPECT_TRUE(lib.checkMarkup(QStringLiteral("NONE"), 0).isNotFound());
}

TEST_P(QuotePricing, calcQuoteAuto_pricesNumbersAndSavesTheQuote)
{
    add(QStringLiteral("SYCONF"), { { "LastQuoteNo", 24100 } });
    params::PricingExtras extras;
    ASSERT_TRUE(extras.setDecimal("Total", dec("7.06"), 0));
    QuoteLibrary lib(db(), m_session);
    ASSERT_TRUE(lib.calcQuoteAuto(extras, m_quote, true, true, true).isOk());
    EXPECT_EQ(m_quote.toLong("Number"), 24101);
    EXPECT_EQ(amount("SellingPrice1"), QStringLiteral("150.00")); // 142.94 + 7.06
    EXPECT_EQ(amount("TaxAmount1"), QStringLiteral("30.00"));

    Table quotes(db(), QStringLiteral("Quotes"));
    Record stored = quotes.newRecord();
    ASSERT_TRUE(quotes.fetch(QStringLiteral("QUOTEIDKEY"), { m_quote.toLong("QuoteID") }, stored).isOk());
    EXPECT_EQ(stored.text("SellingPrice1"), QStringLiteral("150.00"));
    EXPECT_EQ(stored.toLong("Number"), 24101);
}

TEST_P(QuotePricing, assignCommission_followsTheRep)
{
    add(QStringLiteral("Users"), { { "Initials", "MK" }, { "RepCode", "REP01" }, { "IsRep", 1 } });
    add(QStringLiteral("Users"), { { "Initials", "AB" }, { "RepCode", "X" }, { "IsRep", 0 } });
    QuoteLibrary lib(db(), m_session);
    ASSERT_TRUE(lib.calcQuote(m_quote, false, false, 0).isOk());

    m_quote.setText("Rep", QStringLiteral("MK"));
    ASSERT_TRUE(lib.assignCommission(QStringLiteral("QTE"), m_quote).isOk());
    EXPECT_EQ(m_quote.text("RepCode"), QStringLiteral("REP01"));
    EXPECT_EQ(amount("Commission1"), QStringLiteral("7.15"));

    m_quote.setText("Rep", QStringLiteral("AB")); // not a sales rep
    ASSERT_TRUE(lib.assignCommission(QStringLiteral("QTE"), m_quote).isOk());
    EXPECT_EQ(amount("CommissionRate"), QStringLiteral("0.0000"));
    EXPECT_EQ(amount("Commission1"), QStringLiteral("0.00"));
    EXPECT_TRUE(lib.assignCommission(QStringLiteral("ORD"), m_quote).isError());
}

TEST_P(QuotePricing, mainLibraryCalcTax_splitsLocalAndGeneralTax)
{
    MainLibrary main(db());
    params::TaxAmounts tax;
    ASSERT_TRUE(main.calcTax(QStringLiteral("US"), dec("199.99"), false, &tax).isOk());
    // 199.99 x 2.5% = 4.99975 -> 5.00; x 6.25% = 12.499375 -> 12.50.
    EXPECT_EQ(tax.decimal("LTax").toString(), QStringLiteral("5.00"));
    EXPECT_EQ(tax.decimal("GTax").toString(), QStringLiteral("12.50"));
    EXPECT_EQ(tax.decimal("Tax").toString(), QStringLiteral("17.50"));
    EXPECT_EQ(tax.decimal("TaxRate").toString(), QStringLiteral("8.7500"));

    ASSERT_TRUE(main.calcTax(QStringLiteral("S"), dec("100.01"), true, &tax).isOk());
    // 100.01 / 1.2 = 83.341666 -> 83.34 net, so 16.67 tax.
    EXPECT_EQ(tax.decimal("Tax").toString(), QStringLiteral("16.67"));

    EXPECT_TRUE(main.calcTax(QStringLiteral("NOPE"), dec("10"), false, &tax).isNotFound());
    EXPECT_TRUE(tax.decimal("Tax").isZero());
    EXPECT_TRUE(main.calcTax(QString(), dec("10"), false, &tax).isOk());
    EXPECT_TRUE(tax.decimal("TaxRate").isZero());
}

TEST(PricingModelArithmetic, largeRunsStayExactAndRoundOnceHalfAwayFromZero)
{
    // 13000 sheets x 0.5000 for 1000 copies, at a million copies: 6,500,000.00, which a 64-bit
    // product of the unscaled values could not hold.
    EXPECT_EQ(PricingModel::lineAt(dec("13000"), dec("0.5000"), dec("0"), false, 1000000, 1000).cost.toString(),
              QStringLiteral("6500000.00"));
    // 1 x 0.0050 is exactly half a cent: up, and down for a negative amount.
    EXPECT_EQ(PricingModel::mulDiv(dec("1"), dec("0.0050"), 1, 1, 2).toString(), QStringLiteral("0.01"));
    EXPECT_EQ(PricingModel::mulDiv(dec("-1"), dec("0.0050"), 1, 1, 2).toString(), QStringLiteral("-0.01"));
    // 0.004999... stays below the half: a single rounding, no creeping up through a second one.
    EXPECT_EQ(PricingModel::mulDiv(dec("0.0049999"), dec("1"), 1, 1, 2).toString(), QStringLiteral("0.00"));
    // A fixed line ignores the quantity.
    EXPECT_EQ(PricingModel::lineAt(dec("1"), dec("12.50"), dec("25"), true, 5000, 1000).selling.toString(),
              QStringLiteral("15.63"));
    EXPECT_TRUE(PricingModel::mulDiv(dec("5"), dec("5"), 1, 0, 2).isZero());
}

INSTANTIATE_TEST_SUITE_P(Engines, QuotePricing, testsupport::allEngines(), testsupport::engineName);

} // namespace
