#include "bizlib/Clock.h"
#include "bizlib/params/DocumentOutputParams.h"
#include "bizlib/params/EmailLinks.h"
#include "bizlib/params/EmailParams.h"
#include "bizlib/params/OrderUpdateParams.h"
#include "bizlib/params/PackedDecimal.h"
#include "bizlib/params/PriceCalcParams.h"
#include "bizlib/params/PricingExtras.h"
#include "bizlib/params/QuoteUpdateParams.h"
#include "bizlib/params/TaxAmounts.h"
#include "bizlib/params/TaxCodeParams.h"
#include "bizlib/params/WebTaskParams.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace bizlib;
using namespace bizlib::params;

namespace {

// Raw bytes of a record as hex, so failures show what was written.
std::string hex(const ParamRecord &r, int offset, int length)
{
    return r.bytes().mid(offset, length).toHex(' ').toStdString();
}

std::string str(const QString &s)
{
    return s.toStdString();
}

Decimal dec(const char *text)
{
    return Decimal::fromString(QString::fromLatin1(text));
}

} // namespace

TEST(ParamRecordLayout, sizesAndOffsetsArePinned)
{
    WebTaskParams wt;
    EXPECT_EQ(wt.bytes().size(), 743);
    EXPECT_EQ(wt.offset("DomainID"), 0);
    EXPECT_EQ(wt.offset("TaskID"), 104);
    EXPECT_EQ(wt.offset("TaskUser"), 116);
    EXPECT_EQ(wt.offset("Description"), 197);
    EXPECT_EQ(wt.offset("UploadImage"), 710);
    EXPECT_EQ(wt.offset("Status"), 717);
    EXPECT_EQ(wt.offset("CheckedFlag"), 742);

    QuoteUpdateParams qu;
    EXPECT_EQ(qu.bytes().size(), 42);
    EXPECT_EQ(qu.offset("ForceCalc"), 28);
    EXPECT_EQ(qu.offset("TemplateID"), 31);
    EXPECT_EQ(qu.offset("BatchProcess"), 41);

    OrderUpdateParams ou;
    EXPECT_EQ(ou.bytes().size(), 220);
    EXPECT_EQ(ou.offset("OrderForm"), 44);
    EXPECT_EQ(ou.offset("DueDate"), 117);
    EXPECT_EQ(ou.offset("QuantityIndex"), 210);
    EXPECT_EQ(ou.offset("BatchProcess"), 219);

    DocumentOutputParams lo;
    EXPECT_EQ(lo.bytes().size(), 4330);
    EXPECT_EQ(lo.offset("Automated"), 10);
    EXPECT_EQ(lo.offset("EmailFrom"), 3264);
    EXPECT_EQ(lo.offset("DefaultLayout"), 3895);
    EXPECT_EQ(lo.offset("Param3"), 4279);

    EmailParams se;
    EXPECT_EQ(se.bytes().size(), 219318);
    EXPECT_EQ(se.offset("Provider"), 301);
    EXPECT_EQ(se.offset("Custom"), 354);
    EXPECT_EQ(se.offset("BatchQuantity"), 2379);
    EXPECT_EQ(se.offset("EstimatorVOIP"), 219182);
    EXPECT_EQ(se.offset("SendStatus"), 219283);
    EXPECT_EQ(se.offset("SendRecID"), 219314);

    EmailLinks li;
    EXPECT_EQ(li.bytes().size(), 66);
    EXPECT_EQ(li.offset("EMAILQUOTESTATE"), 4);
    EXPECT_EQ(li.offset("EMAILORDERID"), 6);
    EXPECT_EQ(li.offset("EMAILCURRENCYSTATE"), 64);

    PriceCalcParams ca;
    EXPECT_EQ(ca.bytes().size(), 171);
    EXPECT_EQ(ca.offset("TargetPrice"), 19);
    EXPECT_EQ(ca.offset("TargetPrice", 4), 51);
    EXPECT_EQ(ca.count("TargetPrice"), 5);
    EXPECT_EQ(ca.offset("Total"), 59); // after the five 8-byte target prices
    EXPECT_EQ(ca.offset("DisplayQuote"), 94);
    EXPECT_EQ(ca.offset("CommRate"), 130);
    EXPECT_EQ(ca.offset("IncludeTax"), 165);
    EXPECT_EQ(ca.offset("Silent"), 170);

    PricingExtras ex;
    EXPECT_EQ(ex.bytes().size(), 36);
    EXPECT_EQ(ex.offset("Total", 4), 28);
    EXPECT_EQ(ex.offset("DisplayQuote"), 35);

    TaxCodeParams tc;
    EXPECT_EQ(tc.bytes().size(), 43);
    EXPECT_EQ(tc.offset("TaxDistrict"), 11);
    EXPECT_EQ(tc.offset("TaxCodeForce"), 42);

    TaxAmounts ta;
    EXPECT_EQ(ta.bytes().size(), 36);
    EXPECT_EQ(ta.offset("GTaxRate"), 5);
    EXPECT_EQ(ta.offset("LTax"), 15); // after three 5-byte rates
    EXPECT_EQ(ta.offset("Tax"), 29);
}

TEST(ParamRecordLayout, namesTakeThePrefixAndMisuseThrows)
{
    WebTaskParams wt;
    EXPECT_EQ(wt.offset("WTSKV:Description"), 197);
    EXPECT_EQ(wt.offset(u"wtskv:description"), 197);
    EXPECT_EQ(wt.offset(QStringLiteral("DESCRIPTION")), 197);
    EXPECT_THROW(wt.offset("WTSK:Description"), std::logic_error); // another record's prefix
    EXPECT_THROW(wt.toLong("NoSuchField"), std::logic_error);
    EXPECT_THROW(wt.toLong("Description"), std::logic_error); // text read as a number
    EXPECT_THROW(wt.setText("TaskID", QStringLiteral("1")), std::logic_error);
    EXPECT_THROW(wt.decimal("Priority"), std::logic_error);
    EXPECT_THROW(wt.toLong("TaskID", 1), std::logic_error); // not an array

    PriceCalcParams ca;
    EXPECT_THROW(ca.setDecimal("CommRate", dec("1"), 5), std::logic_error);
    EXPECT_THROW(ca.decimal("CommRate", -1), std::logic_error);

    EmailLinks li;
    EXPECT_EQ(li.offset("emailofficeid"), 48);
    EXPECT_THROW(li.offset("SEND:EMAILOFFICEID"), std::logic_error);
}

TEST(ParamRecordClear, numbersZeroTextEmptyStringsBlank)
{
    DocumentOutputParams lo;
    // A new record is already cleared: STRING fields blank, everything else zero bytes.
    EXPECT_EQ(hex(lo, 0, 11), "20 20 20 20 20 20 20 20 20 20 00");
    EXPECT_EQ(lo.text("Originator"), QString());

    ASSERT_EQ(lo.setText("Originator", QStringLiteral("WEBCONSOLE")), 10);
    ASSERT_TRUE(lo.setLong("Automated", 1));
    lo.setText("EmailFrom", QStringLiteral("SALES"));
    ASSERT_TRUE(lo.setLong("Ending", 99));
    lo.setText("Param3", QString(60, u'p'));
    EXPECT_FALSE(lo == DocumentOutputParams());
    lo.clear();
    EXPECT_TRUE(lo == DocumentOutputParams());
    EXPECT_EQ(lo.toLong("Ending"), 0);
    EXPECT_EQ(lo.text("EmailFrom"), QString());

    PriceCalcParams ca;
    ASSERT_TRUE(ca.setDecimal("CommRate", dec("-12.5"), 2));
    ASSERT_TRUE(ca.setLong("Qty", 500));
    ca.clear();
    EXPECT_EQ(ca.bytes(), QByteArray(171, '\0'));
    bool ok = false;
    EXPECT_TRUE(ca.decimal("CommRate", 2, &ok).isZero());
    EXPECT_TRUE(ok);
    EXPECT_EQ(ca.decimal("CommRate", 2).scale(), 4);

    EmailParams se; // the large STRING fields are blank-filled too
    EXPECT_EQ(se.bytes().count(' '), 301 + 512 + 64000 + 128000);
    EXPECT_EQ(se.text("MessageHTML"), QString());
}

TEST(ParamRecordText, cutsToTheWidthAndFillsTheRest)
{
    WebTaskParams wt;
    QString description;
    for (int i = 0; i < 600; ++i)
        description += QChar(u'a' + i % 26);
    EXPECT_EQ(wt.setText("Description", description), 512);
    EXPECT_EQ(str(wt.text("Description")), str(description.left(512)));
    EXPECT_EQ(wt.bytes().at(197 + 511), description.at(511).toLatin1());
    EXPECT_EQ(wt.bytes().at(197 + 512), '\0');
    EXPECT_EQ(wt.toLong("UploadImage"), 0); // the next field is untouched

    // Exactly full: 19 characters in a CSTRING(20), its last byte the NUL.
    EXPECT_EQ(wt.setText("Status", QStringLiteral("PendingPendingPendi")), 19);
    EXPECT_EQ(str(wt.text("Status")), "PendingPendingPendi");
    EXPECT_EQ(wt.bytes().at(717 + 19), '\0');
    EXPECT_EQ(wt.toLong("Notify"), 0);

    // A shorter text leaves no trace of the longer one.
    wt.setText("Status", QStringLiteral("Pending"));
    EXPECT_EQ(hex(wt, 717, 20), "50 65 6e 64 69 6e 67 00 00 00 00 00 00 00 00 00 00 00 00 00");

    // UTF-8 is cut before a character that would not fit whole.
    TaxCodeParams tc;
    EXPECT_EQ(tc.setText("TaxCode", QStringLiteral("ab\u00e9\u00e9\u00e9\u00e9\u20ac")), 6); // 2 + 4*2 bytes of 10
    EXPECT_EQ(str(tc.text("TaxCode")), str(QStringLiteral("ab\u00e9\u00e9\u00e9\u00e9")));
    EXPECT_EQ(tc.setText("TaxCode", QStringLiteral("abcdefghi\u00e9")), 9);
    EXPECT_EQ(str(tc.text("TaxCode")), "abcdefghi");
    EXPECT_EQ(hex(tc, 8, 4), "69 00 00 00"); // the last letter, NULs, then the next field still empty
}

TEST(ParamRecordText, stringFieldsArePaddedWithBlanks)
{
    DocumentOutputParams lo;
    EXPECT_EQ(lo.setText("Originator", QStringLiteral("QUOTE")), 5);
    EXPECT_EQ(hex(lo, 0, 11), "51 55 4f 54 45 20 20 20 20 20 00");
    EXPECT_EQ(str(lo.text("Originator")), "QUOTE");
    // Exactly full: a STRING has no terminator.
    EXPECT_EQ(lo.setText("Originator", QStringLiteral("ABCDEFGHIJKLM")), 10);
    EXPECT_EQ(hex(lo, 0, 11), "41 42 43 44 45 46 47 48 49 4a 00");
    // Leading blanks stay, a NUL ends the text.
    lo.setText("Originator", QStringLiteral("  X"));
    EXPECT_EQ(str(lo.text("Originator")), "  X");
    lo.setText("Description", QString(QStringLiteral("one")) + QChar(u'\0') + QStringLiteral("two"));
    EXPECT_EQ(str(lo.text("Description")), "one");
}

TEST(ParamRecordIntegers, littleEndianAndRangeChecked)
{
    WebTaskParams wt;
    ASSERT_TRUE(wt.setLong("TaskID", 0x01020304));
    EXPECT_EQ(hex(wt, 104, 4), "04 03 02 01");
    EXPECT_EQ(wt.toLong("TaskID"), 0x01020304);
    ASSERT_TRUE(wt.setLong("Priority", -2));
    EXPECT_EQ(hex(wt, 713, 4), "fe ff ff ff");
    EXPECT_EQ(wt.toLong("Priority"), -2);

    EXPECT_FALSE(wt.setLong("Priority", qint64(1) << 31));
    EXPECT_FALSE(wt.setLong("UploadPDF", 256));
    EXPECT_FALSE(wt.setLong("UploadPDF", -1));
    EXPECT_FALSE(wt.setLong("TaskTime", 8640002));
    ASSERT_TRUE(wt.setLong("TaskTime", 8640001)); // the last hundredth of a day
    EXPECT_EQ(wt.toLong("TaskTime"), 8640001);
    EXPECT_FALSE(wt.setLong("TaskDate", -1));
    EXPECT_EQ(wt.toLong("Priority"), -2); // a refused value leaves the field as it was
    ASSERT_TRUE(wt.setLong("UploadPDF", 255));
    EXPECT_EQ(wt.toLong("UploadPDF"), 255);

    wt.setDate("TaskDate", QDate(2026, 3, 14));
    wt.setTime("TaskTime", QTime(9, 30, 15, 250));
    EXPECT_EQ(wt.date("TaskDate"), QDate(2026, 3, 14));
    EXPECT_EQ(wt.time("TaskTime"), QTime(9, 30, 15, 250));
    EXPECT_EQ(wt.toLong("TaskDate"), DateTime::fromDate(QDate(2026, 3, 14)));
    wt.setDate("TaskDate", QDate());
    EXPECT_EQ(wt.toLong("TaskDate"), 0);

    EmailLinks li;
    ASSERT_TRUE(li.setLong("EMAILQUOTESTATE", 0xBEEF));
    EXPECT_EQ(hex(li, 4, 2), "ef be");
    EXPECT_EQ(li.toLong("EMAILQUOTESTATE"), 0xBEEF);
    EXPECT_FALSE(li.setLong("EMAILQUOTESTATE", 0x10000));
    EXPECT_EQ(li.toLong("EMAILORDERID"), 0);
}

TEST(ParamRecordDecimal, packedRoundTripAndOverflowRefused)
{
    TaxAmounts ta;
    ASSERT_TRUE(ta.setDecimal("LTax", dec("-12.34")));
    EXPECT_EQ(hex(ta, 15, 7), "00 00 00 00 01 23 4d");
    EXPECT_EQ(str(ta.decimal("LTax").toString()), "-12.34");
    ASSERT_TRUE(ta.setDecimal("GTaxRate", dec("7.5")));
    EXPECT_EQ(hex(ta, 5, 5), "00 00 75 00 00");
    EXPECT_EQ(str(ta.decimal("GTaxRate").toString()), "7.5000");
    ASSERT_TRUE(ta.setDecimal("Tax", dec("1.005"))); // rounded half away from zero
    EXPECT_EQ(str(ta.decimal("Tax").toString()), "1.01");
    ASSERT_TRUE(ta.setDecimal("Tax", dec("-0.001"))); // rounds to zero: stored without a sign
    EXPECT_EQ(hex(ta, 29, 7), "00 00 00 00 00 00 00");

    // The largest values a DECIMAL(15,2) and a DECIMAL(9,4) hold, both signs.
    PriceCalcParams ca;
    ASSERT_TRUE(ca.setDecimal("TargetPrice", dec("9999999999999.99"), 1));
    EXPECT_EQ(hex(ca, 27, 8), "99 99 99 99 99 99 99 90");
    EXPECT_EQ(str(ca.decimal("TargetPrice", 1).toString()), "9999999999999.99");
    ASSERT_TRUE(ca.setDecimal("TargetPrice", dec("-9999999999999.99"), 4));
    EXPECT_EQ(str(ca.decimal("TargetPrice", 4).toString()), "-9999999999999.99");
    EXPECT_TRUE(ca.decimal("TargetPrice", 0).isZero()); // neighbours untouched
    EXPECT_TRUE(ca.decimal("TargetPrice", 2).isZero());
    ASSERT_TRUE(ta.setDecimal("TaxRate", dec("-99999.9999")));
    EXPECT_EQ(str(ta.decimal("TaxRate").toString()), "-99999.9999");

    // Too many digits, also after rounding: refused, the field keeps its value.
    EXPECT_FALSE(ca.setDecimal("TargetPrice", dec("10000000000000.00"), 1));
    EXPECT_FALSE(ca.setDecimal("TargetPrice", dec("9999999999999.995"), 1));
    EXPECT_EQ(str(ca.decimal("TargetPrice", 1).toString()), "9999999999999.99");
    EXPECT_FALSE(ta.setDecimal("TaxRate", dec("100000")));
    EXPECT_EQ(str(ta.decimal("TaxRate").toString()), "-99999.9999");

    // CommRate is DECIMAL(13,4): four places kept.
    ASSERT_TRUE(ca.setDecimal("CommRate", dec("2.125"), 3));
    EXPECT_EQ(str(ca.decimal("CommRate", 3).toString()), "2.1250");
}

TEST(ParamRecordDecimal, readsOtherSignsAndRejectsBadBytes)
{
    char bytes[3] = { 0x01, 0x23, 0x4B };
    EXPECT_EQ(str(PackedDecimal::decode(bytes, 5, 2)->toString()), "-12.34");
    bytes[2] = 0x4C;
    EXPECT_EQ(str(PackedDecimal::decode(bytes, 5, 2)->toString()), "12.34");
    bytes[2] = 0x43; // a digit where the sign belongs
    EXPECT_FALSE(PackedDecimal::decode(bytes, 5, 2).has_value());
    bytes[2] = 0x4D;
    bytes[1] = 0x2A; // not a digit
    EXPECT_FALSE(PackedDecimal::decode(bytes, 5, 2).has_value());
    // An even digit count leaves one spare half-byte; a value using it is too long.
    char even[3] = { 0x10, 0x00, 0x00 };
    EXPECT_FALSE(PackedDecimal::decode(even, 4, 0).has_value());
    even[0] = 0x09;
    EXPECT_EQ(PackedDecimal::decode(even, 4, 0)->units(), 9000);

    // Corrupt bytes in a record read as zero and say so.
    TaxAmounts ta;
    QByteArray block(TaxAmounts::kSize, '\0');
    block[0] = char(0xFF);
    ASSERT_TRUE(ta.assign(block));
    bool ok = true;
    EXPECT_TRUE(ta.decimal("LTaxRate", 0, &ok).isZero());
    EXPECT_FALSE(ok);
}

TEST(ParamRecordBlocks, assignKeepsTheSizeAndGroupsCopy)
{
    QuoteUpdateParams qu;
    EXPECT_FALSE(qu.assign(QByteArray(41, '\0')));
    EXPECT_EQ(qu.bytes().size(), 42);
    QByteArray block(42, '\0');
    block[37] = 7; // ThreadNo
    ASSERT_TRUE(qu.assign(block));
    EXPECT_EQ(qu.toLong("QUPDP:ThreadNo"), 7);

    // The ExtrasToAdd group of CALCP: is an EXTG: record.
    PricingExtras extras;
    ASSERT_TRUE(extras.setDecimal("Total", dec("150.25"), 0));
    ASSERT_TRUE(extras.setDecimal("Total", dec("-3"), 4));
    ASSERT_TRUE(extras.setLong("DisplayQuote", 1));
    PriceCalcParams ca;
    ASSERT_TRUE(ca.setDecimal("TargetPrice", dec("1"), 4));
    ASSERT_TRUE(ca.setDecimal("CommBasis", dec("2"), 0));
    ca.setExtrasToAdd(extras);
    EXPECT_EQ(str(ca.decimal("Total", 0).toString()), "150.25");
    EXPECT_EQ(str(ca.decimal("Total", 4).toString()), "-3.00");
    EXPECT_EQ(ca.toLong("DisplayQuote"), 1);
    EXPECT_EQ(str(ca.decimal("TargetPrice", 4).toString()), "1.00");
    EXPECT_EQ(str(ca.decimal("CommBasis", 0).toString()), "2.00");
    EXPECT_TRUE(ca.extrasToAdd() == extras);
}
