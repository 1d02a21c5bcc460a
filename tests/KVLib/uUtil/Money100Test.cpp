#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kv_Money100.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"

namespace {

struct ToCase {
    double value;
    qint32 expected;
};

TEST(Money100Test, ToHundredthsRoundsTheDoubleProductHalfToEven) {
    const std::vector<ToCase> cases = {
        {12.345, 1234},  // the product is exactly 1234.5: the even neighbour
        {0.015, 2},
        {0.025, 2},
        {0.045, 4},
        {2.675, 268},
        {-0.125, -12},
        {0.125, 12},
        {0.375, 38},
        {1.005, 100},  // 100.49999999999999 as a double
        {0.035, 4},    // 3.5000000000000004 as a double
        {12.34, 1234},
        {-12.34, -1234},
        {0.0, 0},
        {-0.004, 0},
        {21474836.47, 2147483647},
        {-21474836.48, -2147483647 - 1},
    };
    for (const ToCase& c : cases) EXPECT_EQ(Money100::toHundredths(c.value), c.expected) << c.value;
}

TEST(Money100Test, ToTenThousandths) {
    const std::vector<ToCase> cases = {
        {26.37525, 263752},  // exactly 263752.5: the even neighbour
        {1.23455, 12346},    // exactly 12345.5: the even neighbour upwards
        {0.00005, 0},       {0.00025, 2},
        {0.00015, 1},        // 1.4999999999999998 as a double
        {-1.00005, -10001},  // -10000.500000000002 as a double
        {26.3752, 263752},  {214748.3647, 2147483647},
    };
    for (const ToCase& c : cases) EXPECT_EQ(Money100::toTenThousandths(c.value), c.expected) << c.value;
}

TEST(Money100Test, FromCountsRoundBeforeDividing) {
    struct Case {
        double count;
        double hundredths;
        double tenThousandths;
    };
    const std::vector<Case> cases = {
        {1234.5, 12.34, 0.1234},    {1235.5, 12.36, 0.1236}, {250, 2.5, 0.025},
        {1234.51, 12.35, 0.1235},   {-12.5, -0.12, -0.0012}, {1234, 12.34, 0.1234},
        {263752, 2637.52, 26.3752},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Money100::fromHundredths(c.count), c.hundredths) << c.count;
        EXPECT_EQ(Money100::fromTenThousandths(c.count), c.tenThousandths) << c.count;
    }
}

TEST(Money100Test, OutOfRangeIsRefusedNotWrapped) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> refused = {21474836.48, -21474836.49, 1e12,
                                         inf,         -inf,         std::numeric_limits<double>::quiet_NaN()};
    for (double v : refused) {
        try {
            Money100::toHundredths(v);
            ADD_FAILURE() << "accepted " << v;
        } catch (const core::Exception& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Сумма вне допустимого диапазона: ")))
                << e.what();
            EXPECT_TRUE(e.message().endsWith(QStringLiteral("(-21474836.48 .. 21474836.47)"))) << e.what();
        }
    }
    EXPECT_THROW(Money100::toTenThousandths(214748.3648), core::Exception);
    EXPECT_THROW(Money100::toTenThousandths(std::nan("")), core::Exception);
    for (double v : {inf, -inf, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_THROW(Money100::toStr(v, 2), core::Exception) << v;  // no "NAN" or "INF" as an amount
}

TEST(Money100Test, ToStrFixedDecimals) {
    setProcessFormats();
    struct Case {
        double value;
        int decimals;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {12.5, 2, "12.50"},
        {2.5, 2, "2.50"},
        {1234.5, 2, "1234.50"},
        {0.125, 2, "0.13"},  // half away from zero on the decimal digits
        {-0.125, 2, "-0.13"},
        {2.675, 2, "2.67"},  // the double lies just below the half
        {1.005, 2, "1.00"},
        {0.005, 2, "0.01"},
        {9.995, 2, "9.99"},
        {99.999, 2, "100.00"},
        {-0.001, 2, "0.00"},  // no sign on a zero
        {-0.0, 2, "0.00"},
        {0.0, 0, "0"},
        {0.5, 0, "1"},
        {2.5, 0, "3"},
        {-1234.5678, 0, "-1235"},
        {26.3752, 4, "26.3752"},
        {0.0001, 2, "0.00"},
        {123456789012.345, 4, "123456789012.3450"},  // at most 15 significant digits, zeros after
        {0.1 + 0.2, 18, "0.300000000000000000"},
        {999999999999999.0, 2, "999999999999999.00"},
        {21474836.47, 2, "21474836.47"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Money100::toStr(c.value, c.decimals), QString::fromUtf8(c.expected))
            << c.value << " with " << c.decimals;

    core::ScopedDecimalSeparator comma(u',');
    EXPECT_EQ(Money100::toStr(1234.5, 2), QStringLiteral("1234,50"));
}

TEST(Money100Test, ToStrOfHugeValuesFallsBackToGeneralNotation) {
    setProcessFormats();
    EXPECT_EQ(Money100::toStr(1e15, 2), core::floatToStr(1e15));
    EXPECT_EQ(Money100::toStr(-2.5e20, 2), core::floatToStr(-2.5e20));
}

}  // namespace

namespace {

TEST(Money100Test, ExactDivisionRoundsHalvesToEven) {
    struct Case {
        qint64 num, den, expected;
    };
    for (const Case& c : {Case{5, 2, 2}, Case{7, 2, 4}, Case{-5, 2, -2}, Case{-7, 2, -4}, Case{5, -2, -2},
                          Case{86419 * 100, 100 * 100, 864}, Case{1, 3, 0}, Case{2, 3, 1}, Case{-2, 3, -1},
                          Case{0, 7, 0}}) {
        EXPECT_EQ(Money100::divRoundHalfEven(c.num, c.den), c.expected) << c.num << "/" << c.den;
    }
}

}  // namespace
