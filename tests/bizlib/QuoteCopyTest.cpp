#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/quote/QuoteLibrary.h"
#include "support/TestDatabase.h"

#include <QVariantMap>

using namespace bizlib;
using testsupport::DataTest;

namespace {

class QuoteCopy : public DataTest
{
protected:
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

    QList<Record> rowsOf(const QString &table, qint32 quoteId)
    {
        const QString key
            = table == QLatin1String("TabTexts") ? QStringLiteral("QUOTEIDTABIDKEY") : QStringLiteral("QUOTEIDKEY");
        return rows(table, key, { quoteId });
    }

    // A template quote with two workings lines, two quantities, a specification, two tab texts,
    // a note and an attachment.
    qint32 sourceQuote()
    {
        const Record q = add(QStringLiteral("Quotes"), { { "Number", 24101 }, { "Title", "Leaflets" } });
        const qint32 id = q.toLong("QuoteID");
        add(QStringLiteral("QuoteWorkings"),
            { { "QuoteID", id }, { "Sequence", 10 }, { "Type", "M" }, { "Code", "PAPER" }, { "Quantity", "260" } });
        add(QStringLiteral("QuoteWorkings"),
            { { "QuoteID", id }, { "Sequence", 20 }, { "Type", "L" }, { "Code", "DIGI" }, { "Quantity", "1.5" } });
        add(QStringLiteral("QuoteQuantities"), { { "QuoteID", id }, { "QuantityIndex", 1 }, { "Quantity", 1000 } });
        add(QStringLiteral("QuoteQuantities"), { { "QuoteID", id }, { "QuantityIndex", 2 }, { "Quantity", 2500 } });
        add(QStringLiteral("SpecTexts"),
            { { "QuoteID", id }, { "OrderID", 77 }, { "Size", "A5" }, { "Printing", "4/4" } });
        add(QStringLiteral("TabTexts"), { { "QuoteID", id }, { "TabID", 1 }, { "OrderID", 77 }, { "Text", "A5" } });
        add(QStringLiteral("TabTexts"), { { "QuoteID", id }, { "TabID", 5 }, { "Text", "4/4" } });
        add(QStringLiteral("Notes"),
            { { "QuoteID", id }, { "ParentType", "QTE" }, { "ParentID", id }, { "Notes", "Rush" } });
        add(QStringLiteral("Attachments"),
            { { "QuoteID", id }, { "ParentType", "QTE" }, { "ParentID", id }, { "Filename", "art.pdf" } });
        return id;
    }

    qint32 newQuoteId()
    {
        Table quotes(db(), QStringLiteral("Quotes"));
        Record r;
        EXPECT_TRUE(quotes.prime(r).isOk());
        return r.toLong("QuoteID");
    }

    Session m_session;
};

TEST_P(QuoteCopy, copyQuote_bringsWorkingsQuantitiesSpecAndTabTextsOntoTheNewQuote)
{
    const qint32 source = sourceQuote();
    const qint32 target = newQuoteId();
    QuoteLibrary lib(db(), m_session);
    ASSERT_TRUE(lib.copyQuote(source, target).isOk());

    const QList<Record> workings = rowsOf(QStringLiteral("QuoteWorkings"), target);
    ASSERT_EQ(workings.size(), 2);
    EXPECT_EQ(workings[0].text("Code"), QStringLiteral("PAPER"));
    EXPECT_EQ(workings[1].text("Quantity"), QStringLiteral("1.500000"));
    const QList<Record> originals = rowsOf(QStringLiteral("QuoteWorkings"), source);
    ASSERT_EQ(originals.size(), 2); // the source keeps its own
    EXPECT_NE(workings[0].toLong("WorkingID"), originals[0].toLong("WorkingID"));

    EXPECT_EQ(rowsOf(QStringLiteral("QuoteQuantities"), target).size(), 2);
    const QList<Record> spec = rowsOf(QStringLiteral("SpecTexts"), target);
    ASSERT_EQ(spec.size(), 1);
    EXPECT_EQ(spec[0].text("Size"), QStringLiteral("A5"));
    EXPECT_EQ(spec[0].toLong("OrderID"), 0); // the source's order link is not the copy's
    const QList<Record> tabs = rowsOf(QStringLiteral("TabTexts"), target);
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_EQ(tabs[0].text("Text"), QStringLiteral("A5"));
    EXPECT_EQ(tabs[0].toLong("OrderID"), 0);
    // Notes and attachments only when asked.
    EXPECT_TRUE(rowsOf(QStringLiteral("Notes"), target).isEmpty());
    EXPECT_TRUE(rowsOf(QStringLiteral("Attachments"), target).isEmpty());

    // Copying again replaces rather than doubles.
    QuoteLibrary::CopyOptions all;
    all.notes = true;
    all.attachments = true;
    ASSERT_TRUE(lib.copyQuote(source, target, all).isOk());
    EXPECT_EQ(rowsOf(QStringLiteral("QuoteWorkings"), target).size(), 2);
    EXPECT_EQ(rowsOf(QStringLiteral("TabTexts"), target).size(), 2);
    const QList<Record> notes = rowsOf(QStringLiteral("Notes"), target);
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(notes[0].toLong("ParentID"), target);
    EXPECT_EQ(notes[0].text("Notes"), QStringLiteral("Rush"));
    EXPECT_EQ(rowsOf(QStringLiteral("Attachments"), target).value(0).toLong("ParentID"), target);
}

TEST_P(QuoteCopy, copyQuote_refusesWhatItCannotCopyAndCopiesNothing)
{
    const qint32 source = sourceQuote();
    const qint32 target = newQuoteId();
    QuoteLibrary lib(db(), m_session);
    EXPECT_TRUE(lib.copyQuote(999999, target).isNotFound());
    EXPECT_TRUE(lib.copyQuote(source, source).isError());
    EXPECT_TRUE(lib.copyQuote(source, 0).isError());
    QuoteLibrary::CopyOptions other;
    other.mode = QStringLiteral("A");
    EXPECT_TRUE(lib.copyQuote(source, target, other).isError());
    EXPECT_TRUE(rowsOf(QStringLiteral("QuoteWorkings"), target).isEmpty());
    EXPECT_TRUE(rowsOf(QStringLiteral("SpecTexts"), target).isEmpty());
}

TEST_P(QuoteCopy, assignQuantities_keepsRowsAndWorkingsInStepWithTheList)
{
    const qint32 source = sourceQuote();
    Table quotes(db(), QStringLiteral("Quotes"));
    Record quote = quotes.newRecord();
    quote.setLong("QuoteID", newQuoteId());
    QuoteLibrary lib(db(), m_session);
    ASSERT_TRUE(lib.copyQuote(source, quote.toLong("QuoteID")).isOk());
    // The workings describe 1000 copies; the new quote asks 2000 and 3000 (the 0 ends the list).
    quote.setLong("Quantity1", 2000);
    quote.setLong("Quantity2", 3000);
    quote.setLong("Quantity3", 0);
    quote.setLong("Quantity4", 4000);
    quote.setText("QuantityText4", QStringLiteral("4000 leaflets"));
    quote.setLong("QuantityIndex", 4);
    add(QStringLiteral("QuoteWorkings"),
        { { "QuoteID", quote.toLong("QuoteID") }, { "Sequence", 30 }, { "Type", "O" }, { "Code", "DEL" },
            { "Quantity", "1" }, { "FixedCharge", 1 } });
    ASSERT_TRUE(lib.assignQuantities(quote).isOk());

    EXPECT_EQ(quote.toLong("Quantity4"), 0);
    EXPECT_TRUE(quote.text("QuantityText4").isEmpty());
    EXPECT_EQ(quote.text("QuantityText1"), QStringLiteral("2000"));
    EXPECT_EQ(quote.toLong("QuantityIndex"), 0);
    EXPECT_EQ(quote.toLong("Calculate"), 1);
    const QList<Record> qty = rowsOf(QStringLiteral("QuoteQuantities"), quote.toLong("QuoteID"));
    ASSERT_EQ(qty.size(), 2);
    EXPECT_EQ(qty[0].toLong("Quantity"), 2000);
    EXPECT_EQ(qty[1].toLong("Quantity"), 3000);
    EXPECT_EQ(qty[1].text("PriceQuantity"), QStringLiteral("3000.00"));
    const QList<Record> lines = rowsOf(QStringLiteral("QuoteWorkings"), quote.toLong("QuoteID"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].text("Quantity"), QStringLiteral("520.000000")); // 260 for 1000 -> 520 for 2000
    EXPECT_EQ(lines[1].text("Quantity"), QStringLiteral("3.000000"));
    EXPECT_EQ(lines[2].text("Quantity"), QStringLiteral("1.000000")); // a fixed charge stays

    // One quantity fewer: its row goes.
    quote.setLong("Quantity2", 0);
    ASSERT_TRUE(lib.assignQuantities(quote).isOk());
    EXPECT_EQ(rowsOf(QStringLiteral("QuoteQuantities"), quote.toLong("QuoteID")).size(), 1);

    // A quantity listed twice keeps its first place; the ones after it move up with their texts
    // and amounts.
    quote.setLong("Quantity2", 2000);
    quote.setLong("Quantity3", 5000);
    quote.setText("QuantityText3", QStringLiteral("5000 leaflets"));
    quote.setDecimal("SellingPrice3", bizlib::Decimal::fromInt(900));
    ASSERT_TRUE(lib.assignQuantities(quote).isOk());
    EXPECT_EQ(QuoteLibrary::quantities(quote), (QList<qint64> { 2000, 5000 }));
    EXPECT_EQ(quote.text("QuantityText2"), QStringLiteral("5000 leaflets"));
    EXPECT_EQ(quote.text("SellingPrice2"), QStringLiteral("900.00"));
    EXPECT_TRUE(quote.text("QuantityText3").isEmpty());
    EXPECT_TRUE(quote.decimal("SellingPrice3").isZero());
    const QList<Record> twice = rowsOf(QStringLiteral("QuoteQuantities"), quote.toLong("QuoteID"));
    ASSERT_EQ(twice.size(), 2);
    EXPECT_EQ(twice[1].toLong("Quantity"), 5000);
}

TEST_P(QuoteCopy, syncQuoteSpec_keepsSpecTabTextsInStepWithTheSections)
{
    const Record size = add(QStringLiteral("Tabs"), { { "Name", "Size" }, { "SpecSection", 1 } });
    const Record prepress = add(QStringLiteral("Tabs"), { { "Name", "prepress " }, { "SpecSection", 1 } });
    const Record notes = add(QStringLiteral("Tabs"), { { "Name", "NOTES" }, { "SpecSection", 1 } });
    const Record colours = add(QStringLiteral("Tabs"), { { "Name", "Colours" }, { "SpecSection", 1 } });
    const Record briefOff = add(QStringLiteral("Tabs"), { { "Name", "Brief" }, { "SpecSection", 0 } });
    const qint32 id = newQuoteId();
    add(QStringLiteral("SpecTexts"),
        { { "QuoteID", id }, { "Size", "A4" }, { "Repro", "PDF supplied" }, { "Brief", "Annual report" },
            { "Private", "Margin is thin" } });
    add(QStringLiteral("TabTexts"), { { "QuoteID", id }, { "TabID", size.toLong("TabID") }, { "Text", "A3" } });
    add(QStringLiteral("TabTexts"), { { "QuoteID", id }, { "TabID", size.toLong("TabID") }, { "Text", "A3 again" } });
    add(QStringLiteral("TabTexts"), { { "QuoteID", id }, { "TabID", notes.toLong("TabID") }, { "Text", "old note" } });
    add(QStringLiteral("TabTexts"), { { "QuoteID", id }, { "TabID", colours.toLong("TabID") }, { "Text", "CMYK" } });
    add(QStringLiteral("TabTexts"), { { "QuoteID", id }, { "TabID", briefOff.toLong("TabID") }, { "Text", "keep" } });

    Table quotes(db(), QStringLiteral("Quotes"));
    Record quote = quotes.newRecord();
    quote.setLong("QuoteID", id);
    QuoteLibrary lib(db(), m_session);
    ASSERT_TRUE(lib.syncQuoteSpec(quote).isOk());

    const auto texts = [&](const Record &tab) {
        QStringList out;
        for (const Record &r :
            rows(QStringLiteral("TabTexts"), QStringLiteral("QUOTEIDTABIDKEY"), { id, tab.toLong("TabID") }))
            out << r.text("Text");
        return out;
    };
    EXPECT_EQ(texts(size), QStringList { QStringLiteral("A4") });
    EXPECT_EQ(texts(prepress), QStringList { QStringLiteral("PDF supplied") });
    EXPECT_TRUE(texts(notes).isEmpty());
    EXPECT_EQ(texts(colours), QStringList { QStringLiteral("CMYK") }); // not a section's tab
    EXPECT_EQ(texts(briefOff), QStringList { QStringLiteral("keep") }); // not a specification tab

    ASSERT_TRUE(lib.assignQuoteSpec(quote).isOk());
    EXPECT_EQ(quote.text("Spec"), QStringLiteral("Size: A4\nBrief: Annual report\nRepro: PDF supplied"));
}

INSTANTIATE_TEST_SUITE_P(Engines, QuoteCopy, testsupport::allEngines(), testsupport::engineName);

} // namespace
