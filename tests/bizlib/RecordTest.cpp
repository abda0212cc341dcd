#include "bizlib/Clock.h"
#include "bizlib/Decimal.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Record.h"

#include <gtest/gtest.h>

using namespace bizlib;

TEST(DecimalArithmetic, parsesRoundsAndComparesExactly)
{
    EXPECT_FALSE(Decimal::parse(QStringLiteral("1e5")).has_value());
    EXPECT_FALSE(Decimal::parse(QStringLiteral("")).has_value());
    EXPECT_FALSE(Decimal::parse(QStringLiteral("-")).has_value());
    EXPECT_EQ(Decimal::parse(QStringLiteral(" -0.50 "))->toString(), QStringLiteral("-0.50"));
    EXPECT_EQ(Decimal::fromString(QStringLiteral("2.345")).rescaled(2).toString(), QStringLiteral("2.35"));
    EXPECT_EQ(Decimal::fromString(QStringLiteral("-2.345")).rescaled(2).toString(), QStringLiteral("-2.35"));
    EXPECT_EQ(Decimal::fromString(QStringLiteral("1.10")), Decimal::fromString(QStringLiteral("1.1")));
    EXPECT_LT(Decimal::fromString(QStringLiteral("-3")), Decimal::fromString(QStringLiteral("0.001")));
    EXPECT_EQ((Decimal::fromString(QStringLiteral("19.99")) * Decimal::fromString(QStringLiteral("3"))).toString(),
              QStringLiteral("59.97"));
    EXPECT_EQ(Decimal::fromString(QStringLiteral("10")).divided(Decimal::fromString(QStringLiteral("3")), 4).toString(),
              QStringLiteral("3.3333"));
    EXPECT_TRUE(Decimal::fromString(QStringLiteral("0")).divided(Decimal(), 2).isZero());
    EXPECT_TRUE(Decimal::fromString(QStringLiteral("9999999999999.99")).fits(15, 2));
    EXPECT_FALSE(Decimal::fromString(QStringLiteral("10000000000000.00")).fits(15, 2));
}

TEST(DecimalArithmetic, eighteenPlacesAreKeptExactly)
{
    const struct
    {
        const char *text;
        const char *expected;
    } cases[] = {
        { "0.123456789012345678", "0.123456789012345678" }, { "-9.000000000000000001", "-9.000000000000000001" },
        { "0.1234567890123456789", "0.123456789012345678" }, // a 19th place is dropped
    };
    for (const auto &c : cases)
        EXPECT_EQ(Decimal::fromString(QString::fromLatin1(c.text)).toString(), QString::fromLatin1(c.expected))
            << c.text;
    EXPECT_EQ(Decimal(1, 18).toString(), QStringLiteral("0.000000000000000001"));
    EXPECT_EQ(
        Decimal::fromString(QStringLiteral("1.5")).rescaled(18).toString(), QStringLiteral("1.500000000000000000"));
    EXPECT_EQ(Decimal(5, 18).rescaled(17).toString(), QStringLiteral("0.00000000000000001"));
}

TEST(DateTimeValues, dayNumbersAndHundredthsRoundTrip)
{
    EXPECT_EQ(DateTime::fromDate(QDate(1801, 1, 1)), 4);
    EXPECT_EQ(DateTime::toDate(DateTime::fromDate(QDate(2026, 12, 7))), QDate(2026, 12, 7));
    EXPECT_EQ(DateTime::fromDate(QDate()), 0);
    EXPECT_FALSE(DateTime::toDate(0).isValid());
    EXPECT_EQ(DateTime::fromTime(QTime(0, 0)), 1); // midnight is a time, not "none"
    EXPECT_EQ(DateTime::toTime(DateTime::fromTime(QTime(13, 45, 7, 120))), QTime(13, 45, 7, 120));
    EXPECT_EQ(DateTime::timeText(0), QString());
}

TEST(RecordValues, cutsWidthsClampsFlagsAndCopiesByName)
{
    const Dictionary &dict = Dictionary::instance();
    Record q(dict.require(QStringLiteral("WebQuotes")));
    q.setText("WQTE:Rep", QStringLiteral("ABCDEF")); // CSTRING(4) keeps 3
    EXPECT_EQ(q.text("Rep"), QStringLiteral("ABC"));
    q.setLong("WebCalc", 256 + 1); // a BYTE keeps its low byte
    EXPECT_EQ(q.toLong("WebCalc"), 1);
    q.setText("Depth", QStringLiteral("12.34567")); // DECIMAL(11,4)
    EXPECT_EQ(q.decimal("Depth").toString(), QStringLiteral("12.3457"));
    q.setText("Number", QStringLiteral("not a number"));
    EXPECT_EQ(q.toLong("Number"), 0);
    EXPECT_THROW(q.text("NoSuchField"), std::logic_error);

    // Copying a web order into a web quote takes the fields whose names match, nothing else.
    Record o(dict.require(QStringLiteral("WebOrders")));
    o.setLong("ClientID", 12);
    o.setText("Title", QString(600, u't'));
    o.setText("Status", QStringLiteral("Pending"));
    o.setLong("Revision", 7); // LONG in orders, CSTRING(2) in quotes
    o.setLong("QuoteID", 9);
    q.setText("Depth", QStringLiteral("4.5")); // quotes only: stays
    EXPECT_GT(q.copyMatching(o), 3);
    EXPECT_EQ(q.toLong("ClientID"), 12);
    EXPECT_EQ(q.text("Title").size(), 500);
    EXPECT_EQ(q.text("Status"), QStringLiteral("Pending"));
    EXPECT_EQ(q.text("Revision"), QStringLiteral("7"));
    EXPECT_EQ(q.toLong("QuoteID"), 9);
    EXPECT_EQ(q.decimal("Depth").toString(), QStringLiteral("4.5000"));
}
