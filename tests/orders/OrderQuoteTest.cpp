#include "orders/OrderNotice.h"
#include "orders/OrderQuoteMerge.h"

#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using bizlib::Decimal;
using bizlib::Record;
using orders::OrderNotice;
using orders::OrderQuoteMerge;

namespace {

Record recordOf(const char *table)
{
    return Record(bizlib::Dictionary::instance().require(QString::fromLatin1(table)));
}

Decimal dec(const char *text)
{
    return Decimal::fromString(QString::fromLatin1(text));
}

TEST(OrderQuoteMerge, theOrderQuantityTakesItsPlaceInTheListAndTheIndexFollowsIt)
{
    struct Case
    {
        QList<qint64> before;
        qint64 ordered;
        QList<qint64> after;
        int place;
        bool changed;
    };
    const Case cases[] = {
        { { 1000, 5000 }, 5000, { 1000, 5000 }, 2, false },
        { { 1000, 5000 }, 2500, { 1000, 2500, 5000 }, 2, true },
        { { 100, 200, 300, 400, 500 }, 250, { 100, 200, 250, 300, 400 }, 3, true },
        { { 100, 200, 300, 400, 500 }, 900, { 100, 200, 300, 400, 900 }, 5, true },
        { {}, 750, { 750 }, 1, true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ordered);
        Record quote = recordOf("Quotes");
        for (int i = 0; i < c.before.size(); ++i) {
            quote.setLong(QStringLiteral("Quantity%1").arg(i + 1), c.before[i]);
            quote.setDecimal(QStringLiteral("TargetPrice%1").arg(i + 1), Decimal::fromInt(c.before[i] / 10));
        }
        bool changed = false;
        EXPECT_EQ(OrderQuoteMerge::mergeQuantity(quote, c.ordered, QStringLiteral("ordered"), &changed), c.place);
        EXPECT_EQ(changed, c.changed);
        EXPECT_EQ(quote.toLong("QuantityIndex"), c.place);
        for (int i = 1; i <= 5; ++i) {
            const qint64 expected = i <= c.after.size() ? c.after[i - 1] : 0;
            EXPECT_EQ(quote.toLong(QStringLiteral("Quantity%1").arg(i)), expected) << i;
            // Each quantity keeps its own price; the new one has none yet.
            const qint64 price = expected == c.ordered && c.changed ? 0 : expected / 10;
            EXPECT_EQ(quote.decimal(QStringLiteral("TargetPrice%1").arg(i)), Decimal::fromInt(price)) << i;
        }
        if (c.changed)
            EXPECT_EQ(quote.text(QStringLiteral("QuantityText%1").arg(c.place)), QStringLiteral("ordered"));
    }
}

TEST(OrderQuoteMerge, anExtraWithoutAPriceHasNoMarkup)
{
    EXPECT_EQ(OrderQuoteMerge::extraMarkup(dec("15"), dec("10")), dec("50"));
    EXPECT_EQ(OrderQuoteMerge::extraMarkup(dec("15"), dec("0")), dec("0"));
}

TEST(OrderNotice, theTextNamesTheOrderAndListsProductLinesUpTo2048Characters)
{
    Record order = recordOf("Orders");
    order.setText("OrderType", QStringLiteral("Product"));
    order.setText("Contact", QStringLiteral("Ann Lee"));
    order.setLong("WebID", 9001);
    order.setLong("JobNo", 701);
    order.setText("OrderNo", QStringLiteral("PO-7"));
    order.setLong("QuoteNo", 42);
    order.setText("QuoteRevision", QStringLiteral("B"));
    order.setText("Quantity", QStringLiteral("250"));
    order.setText("Title", QStringLiteral("Cards"));
    Record client = recordOf("Clients");
    client.setText("Name", QStringLiteral("Acme  "));
    Record item = recordOf("OrderItems");
    item.setDecimal("Quantity", dec("2.5"));
    item.setText("Code", QStringLiteral("CARD"));
    item.setText("Description", QStringLiteral("Business card"));
    const QString text = OrderNotice::text(order, client, { item });
    EXPECT_EQ(text,
        QStringLiteral("Notification of web order processing: \r\n\r\nClient: Acme - Ann Lee\r\nWeb-ref: 9001\r\n"
                       "Job-ref: 701\r\nOrder-no: PO-7\r\nQuote-no: 42B\r\nQuantity: 250\r\nTitle: Cards\r\n"
                       "\r\n2.5\t x CARD - Business card"));
    order.setText("OrderType", QStringLiteral("Service"));
    EXPECT_FALSE(OrderNotice::text(order, client, { item }).contains(QStringLiteral("CARD")));
    order.setText("OrderType", QStringLiteral("Product"));
    item.setText("Description", QString(400, u'x'));
    EXPECT_EQ(OrderNotice::text(order, client, QList<Record>(10, item)).size(), OrderNotice::kMaxLength);
}

class Extras : public testsupport::DataTest
{ };

TEST_P(Extras, fixedChargesAndValuedVouchersMoveIntoTheWorkings)
{
    bizlib::Table items(db(), QStringLiteral("OrderItems"));
    struct Case
    {
        const char *code;
        int fixed2;
        const char *net;
        const char *cost;
        bool carried;
    };
    const Case cases[] = { { "DELIVERY", 1, "15", "10", true }, { "VOUCHER", 0, "-5", "0", true },
        { "VOUCHER", 0, "0", "0", false }, { "PAPER", 0, "40", "20", false } };
    int seq = 0;
    for (const Case &c : cases) {
        Record r;
        ASSERT_TRUE(items.prime(r).isOk());
        r.setLong("OrderID", 5);
        r.setLong("Sequence", ++seq);
        r.setText("Type", QStringLiteral("O"));
        r.setText("Code", QString::fromLatin1(c.code));
        r.setLong("FixedCharge2", c.fixed2);
        r.setDecimal("Net", dec(c.net));
        r.setDecimal("Cost", dec(c.cost));
        ASSERT_TRUE(items.insert(r).isOk());
    }
    int carried = 0;
    ASSERT_TRUE(OrderQuoteMerge::carryExtras(db(), 5, 9, QStringLiteral("VOUCHER"), &carried).isOk());
    EXPECT_EQ(carried, 2);
    bizlib::Table workings(db(), QStringLiteral("QuoteWorkings"));
    bizlib::TableCursor c(workings, QStringLiteral("QUOTEIDKEY"));
    c.setRange({ 9 });
    QList<Record> lines;
    Record line;
    while (c.next(line).isOk())
        lines << line;
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].text("Code"), QStringLiteral("DELIVERY"));
    EXPECT_EQ(lines[0].decimal("MarkupPercent"), dec("50"));
    EXPECT_EQ(lines[0].text("Category"), QStringLiteral("Adhoc"));
    EXPECT_EQ(lines[0].text("CostCode"), QStringLiteral("NONE"));
    EXPECT_EQ(lines[1].decimal("MarkupPercent"), dec("0"));
    qint64 left = 0;
    ASSERT_TRUE(items.count(&left).isOk());
    EXPECT_EQ(left, 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, Extras, testsupport::allEngines(), testsupport::engineName);

} // namespace
