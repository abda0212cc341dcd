#include "bizlib/Clock.h"
#include "bizlib/DateText.h"

#include <gtest/gtest.h>

using bizlib::DateText;

namespace {

const QDate kDay(2026, 12, 8);

struct LocaleCase
{
    const char *locale;
    const char *shortDate;
    const char *longDate;
    const char *shortTime; // 14:05
};

// Every locale shows a four-digit year (the locale's own two-digit one could not be typed back) and
// a long date without its weekday.
const LocaleCase kLocales[] = {
    { "C", "8 Dec 2026", "8 December 2026", "14:05" },
    { "en_US", "12/8/2026", "December 8, 2026", "2:05\u202fPM" },
    { "en_GB", "08/12/2026", "8 December 2026", "14:05" },
    { "de_DE", "08.12.2026", "8. Dezember 2026", "14:05" },
    { "ja_JP", "2026/12/08", "2026\u5e7412\u67088\u65e5", "14:05" },
};

class DateTextLocales : public testing::TestWithParam<LocaleCase>
{ };

} // namespace

TEST_P(DateTextLocales, showsTheLocalesShortAndLongDateAndShortTimeAndReadsThemBack)
{
    const LocaleCase &c = GetParam();
    const DateText text { QLocale(QString::fromLatin1(c.locale)) };
    const QString shortDate = text.shortDate(kDay);
    const QString longDate = text.longDate(kDay);
    // The time format's blank before AM/PM differs between CLDR versions.
    const QString time = text.shortTime(QTime(14, 5, 30)).replace(u' ', u'\u202f');
    EXPECT_EQ(shortDate, QString::fromUtf8(c.shortDate));
    EXPECT_EQ(longDate, QString::fromUtf8(c.longDate));
    EXPECT_EQ(time, QString::fromUtf8(c.shortTime));
    EXPECT_EQ(text.parseDate(shortDate), kDay);
    EXPECT_EQ(text.parseDate(longDate), kDay);
    EXPECT_EQ(text.parseDate(QStringLiteral(" 2026-12-08 ")), kDay) << "ISO is read in every locale";
    EXPECT_EQ(text.parseTime(text.shortTime(QTime(14, 5))), QTime(14, 5));
    EXPECT_EQ(text.dateTime(QDateTime(kDay, QTime(14, 5))), shortDate + u' ' + text.shortTime(QTime(14, 5)));
    EXPECT_EQ(text.day(bizlib::DateTime::fromDate(kDay)), shortDate);
    EXPECT_EQ(text.time(bizlib::DateTime::fromTime(QTime(14, 5))), text.shortTime(QTime(14, 5)));
}

INSTANTIATE_TEST_SUITE_P(Locales, DateTextLocales, testing::ValuesIn(kLocales),
    [](const testing::TestParamInfo<LocaleCase> &info) { return std::string(info.param.locale); });

// Texts another program wrote: ISO with or without a time, the locale's own two-digit year (taken as
// 20xx, not 19xx), and nothing usable.
TEST(DateText, readsDatesAndTimesAsOtherProgramsWriteThemAndRefusesTheRest)
{
    const DateText us { QLocale(QStringLiteral("en_US")) };
    struct DateCase
    {
        const char *text;
        QDate expected;
    };
    const DateCase dates[] = {
        { "2026-12-08", kDay },
        { "2026-12-08T10:15:00", kDay },
        { "2026-12-08 10:15", kDay },
        { "12/8/26", kDay },
        { "Tuesday, December 8, 2026", kDay },
        { "", QDate() },
        { "2026-12-08x", QDate() },
        { "8th of December", QDate() },
        { "2026-13-01", QDate() },
    };
    for (const DateCase &c : dates)
        EXPECT_EQ(us.parseDate(QString::fromLatin1(c.text)), c.expected) << c.text;

    struct TimeCase
    {
        const char *text;
        QTime expected;
    };
    const TimeCase times[] = {
        { "09:30", QTime(9, 30) },
        { "9:30", QTime(9, 30) },
        { "23:59:58", QTime(23, 59, 58) },
        { "", QTime() },
        { "25:00", QTime() },
        { "half past nine", QTime() },
    };
    for (const TimeCase &c : times)
        EXPECT_EQ(us.parseTime(QString::fromLatin1(c.text)), c.expected) << c.text;

    EXPECT_TRUE(us.shortDate(QDate()).isEmpty());
    EXPECT_TRUE(us.day(0).isEmpty());
    EXPECT_TRUE(us.time(0).isEmpty());
    EXPECT_TRUE(us.dateTime(QDateTime()).isEmpty());
}
