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
