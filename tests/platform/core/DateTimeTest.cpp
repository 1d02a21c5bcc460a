#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

#include "platform/core/DateTime.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/core/Variant.h"

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

TEST(DateTimeTest, DayNumbersOutsideTheCalendarAreRefused) {
    setProcessFormats();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::function<QString(DateTime)>> texts = {
        [](DateTime v) { return core::dateToStr(v); },
        [](DateTime v) { return core::timeToStr(v); },
        [](DateTime v) { return core::dateTimeToStr(v); },
        [](DateTime v) { return core::formatDateTime(QStringLiteral("yyyymmdd hh:nn"), v); },
        [](DateTime v) { return core::Variant(v).toText(); },
    };
    for (const double day : {nan, inf, -inf, 1e12, -1e12, 1e300, 9.3e18}) {
        for (size_t i = 0; i < texts.size(); ++i) {
            try {
                const QString text = texts[i](DateTime(day));
                ADD_FAILURE() << day << " #" << i << " gave " << text.toStdString();
            } catch (const core::Exception& e) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("outside the calendar"))) << e.what();
            }
        }
    }
    // The far ends the calendar has still print.
    EXPECT_EQ(core::dateToStr(DateTime::fromDate(QDate(9999, 12, 31))), QStringLiteral("31.12.9999"));
    EXPECT_EQ(core::dateToStr(DateTime::fromDate(QDate(1, 1, 1))), QStringLiteral("01.01.0001"));
}

TEST(NumberFormatTest, NotANumberAndInfinityAreRefused) {
    setProcessFormats();
    const std::vector<std::function<QString(double)>> texts = {
        [](double v) { return core::floatToStr(v); },
        [](double v) { return core::formatFixed(v, 2); },
        [](double v) { return core::formatFloat(QStringLiteral("0.00"), v); },
        [](double v) { return core::formatFloat(QStringLiteral(",0.00;-,0.00;'zero'"), v); },
        [](double v) { return core::Variant(v).toText(); },
    };
    const double inf = std::numeric_limits<double>::infinity();
    for (const double value : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
        for (size_t i = 0; i < texts.size(); ++i) {
            try {
                const QString text = texts[i](value);
                ADD_FAILURE() << value << " #" << i << " gave " << text.toStdString();
            } catch (const core::Exception& e) {
                EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot format"))) << e.what();
            }
        }
    }
}
