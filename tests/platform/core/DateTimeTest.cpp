#include <gtest/gtest.h>

#include "platform/core/DateTime.h"
#include "platform/core/Formats.h"

using core::DateTime;

TEST(DateTimeTest, DayNumbersCountFromTheZeroDate) {
    EXPECT_EQ(DateTime::fromDate(QDate(1899, 12, 30)).value(), 0.0);
    EXPECT_EQ(DateTime::fromDate(QDate(1900, 1, 1)).value(), 2.0);
    EXPECT_EQ(DateTime::fromDate(QDate(2009, 5, 25)).value(), 39958.0);
    EXPECT_EQ(DateTime(39958.0).date(), QDate(2009, 5, 25));
    EXPECT_EQ(DateTime().date(), QDate(1899, 12, 30));
    EXPECT_TRUE(DateTime().isZero());
}

TEST(DateTimeTest, TimeOfDayIsTheFraction) {
    const DateTime dt = DateTime::encode(2009, 5, 25, 18, 0, 0);
    EXPECT_DOUBLE_EQ(dt.value(), 39958.75);
    EXPECT_EQ(dt.dayNumber(), 39958);
    EXPECT_EQ(dt.time(), QTime(18, 0));
    EXPECT_EQ(dt.toQDateTime(), QDateTime(QDate(2009, 5, 25), QTime(18, 0)));
    // Before the zero date the fraction still counts forward from midnight.
    const DateTime early(-1.25);
    EXPECT_EQ(early.date(), QDate(1899, 12, 29));
    EXPECT_EQ(early.time(), QTime(6, 0));
    EXPECT_EQ(DateTime::fromDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))).value(), -1.25);
    // A time that rounds up to the next millisecond-midnight carries into the next day.
    EXPECT_EQ(DateTime(1.9999999999).date(), QDate(1900, 1, 1));
}

TEST(DateTimeTest, Formatting) {
    setProcessFormats();
    const DateTime dt = DateTime::encode(2009, 5, 5, 4, 3, 7, 9);
    EXPECT_EQ(core::formatDateTime(QStringLiteral("dd.mm.yyyy hh:nn:ss"), dt),
              QStringLiteral("05.05.2009 04:03:07"));
    EXPECT_EQ(core::formatDateTime(QStringLiteral("d/m/yy h:mm zzz"), dt), QStringLiteral("5.5.09 4:03 009"));
    EXPECT_EQ(core::formatDateTime(QStringLiteral("yyyymmdd'_'hhnn"), dt), QStringLiteral("20090505_0403"));
    EXPECT_EQ(core::dateTimeToStr(DateTime::encode(2009, 5, 25)), QStringLiteral("25.05.2009"));
}

TEST(NumberFormatTest, FixedAndPatternTexts) {
    setProcessFormats();
    struct Case {
        const char* pattern;  // empty: formatFixed with 2 decimals
        double value;
        const char16_t* text;
    };
    const Case cases[] = {
        {"", 12.5, u"12.50"},       {"", 0.125, u"0.13"},       {"", -0.125, u"-0.13"},
        {"", 2.675, u"2.67"},       {"", 0.0, u"0.00"},         {"", -0.001, u"0.00"},
        {"", 999.995, u"1000.00"},  {"0.00", 1234.5, u"1234.50"}, {"0.0000", 41.25, u"41.2500"},
        {",0.00;-,0.00", -1234567.891, u"-1 234 567.89"}, {",0.00;-,0.00", 12.5, u"12.50"},
        {",0;-,0", 1500.0, u"1 500"}, {"0.##", 2.5, u"2.5"}, {"0.", 7.6, u"8"}, {"0.00 'грн'", 3.0, u"3.00 грн"},
    };
    for (const Case& c : cases) {
        const QString pattern = QString::fromUtf8(c.pattern);
        const QString got = pattern.isEmpty() ? core::formatFixed(c.value, 2) : core::formatFloat(pattern, c.value);
        EXPECT_EQ(got, QString::fromUtf16(c.text)) << c.pattern << " " << c.value;
    }
    core::ScopedDecimalSeparator comma(u',');
    EXPECT_EQ(core::formatFixed(12.5, 2), QStringLiteral("12,50"));
}
