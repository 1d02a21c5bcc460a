#include <gtest/gtest.h>

#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/core/Variant.h"

using core::DateTime;
using core::Variant;
using core::VarType;

namespace {

class VariantTest : public ::testing::Test {
protected:
    void SetUp() override { setProcessFormats(); }
    void TearDown() override { setProcessFormats(); }
};

TEST_F(VariantTest, UnassignedIsNotNull) {
    Variant unassigned;
    Variant null = Variant::null();
    EXPECT_TRUE(unassigned.isUnassigned());
    EXPECT_FALSE(unassigned.isNull());
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(null.isUnassigned());
    EXPECT_TRUE(unassigned.isEmpty() && null.isEmpty());
    EXPECT_FALSE(unassigned == null);
    EXPECT_EQ(unassigned.toInt(), 0);
    EXPECT_EQ(null.toText(), QString());
    EXPECT_THROW(null.toInt(), core::Exception);
    EXPECT_THROW(null.toDouble(), core::Exception);
    EXPECT_FALSE(Variant(QString()).isNull());
}

TEST_F(VariantTest, TextsFollowProcessFormats) {
    struct Case {
        Variant value;
        const char16_t* text;
    };
    const Case cases[] = {
        {Variant(100.0), u"100"},
        {Variant(0.1 + 0.2), u"0.3"},
        {Variant(-12.5), u"-12.5"},
        {Variant(1e20), u"1E20"},
        {Variant(1.5e-7), u"1.5E-7"},
        {Variant(0.0001), u"0.0001"},
        {Variant(123456789012345.0), u"123456789012345"},
        {Variant(42), u"42"},
        {Variant(qint64(-9000000000)), u"-9000000000"},
        {Variant(core::Currency{125000}), u"12.5"},
        {Variant(DateTime::encode(2009, 5, 25)), u"25.05.2009"},
        {Variant(DateTime::encode(2009, 5, 25, 14, 3, 7)), u"25.05.2009 14:03:07"},
        {Variant(true), u"True"},
        {Variant(u"м'ясо"), u"м'ясо"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.value.toText(), QString::fromUtf16(c.text));
}

TEST_F(VariantTest, CommaSeparatorAppliesAndRestores) {
    {
        core::ScopedDecimalSeparator comma(u',');
        EXPECT_EQ(Variant(12.5).toText(), QStringLiteral("12,5"));
        EXPECT_DOUBLE_EQ(Variant(QStringLiteral("12,5")).toDouble(), 12.5);
        EXPECT_THROW(Variant(QStringLiteral("12.5")).toDouble(), core::Exception);
    }
    EXPECT_EQ(Variant(12.5).toText(), QStringLiteral("12.5"));
}

TEST_F(VariantTest, Conversions) {
    EXPECT_EQ(Variant(QStringLiteral(" 17 ")).toInt(), 17);
    EXPECT_EQ(Variant(QStringLiteral("0x10")).toInt(), 16);
    EXPECT_EQ(Variant(12.5).toInt(), 12);  // halves go to the even neighbour
    EXPECT_EQ(Variant(13.5).toInt(), 14);
    EXPECT_EQ(Variant(QStringLiteral("25.05.2009")).toDateTime(), DateTime::encode(2009, 5, 25));
    EXPECT_EQ(Variant(QStringLiteral("25.05.2009 14:03:07")).toDateTime(),
              DateTime::encode(2009, 5, 25, 14, 3, 7));
    EXPECT_THROW(Variant(QStringLiteral("abc")).toInt(), core::Exception);
    EXPECT_THROW(Variant(qint64(1) << 40).toInt(), core::Exception);
    EXPECT_TRUE(Variant(QStringLiteral("1")).toBool());
    EXPECT_EQ(Variant(2.675).toCurrency().tenThousandths, 26750);
    EXPECT_TRUE(Variant(3) == Variant(3.0));
    EXPECT_TRUE(Variant(qint64(3)) == Variant(3));
    EXPECT_FALSE(Variant(3) == Variant(QStringLiteral("3")));
}

}  // namespace
