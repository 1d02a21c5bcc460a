// The functions statements of the program call inside their SQL text.

#include <gtest/gtest.h>

#include "tests/db/SchemaDb.h"

namespace {

using tolvtest::Sql;

class FunctionTest : public tolvtest::DbSuite {};

TEST_F(FunctionTest, RoundToKeepsThePowerOfTenAndRoundsHalvesAwayFromZero) {
    struct Case {
        const char* call;
        double result;
    };
    const Case cases[] = {
        {"ROUNDTO(12.3456, -2)", 12.35}, {"ROUNDTO(-12.3456, -2)", -12.35},
        {"ROUNDTO(0.125, -2)", 0.13},    {"ROUNDTO(-0.125, -2)", -0.13},
        {"ROUNDTO(2.5, 0)", 3},          {"ROUNDTO(-2.5, 0)", -3},
        {"ROUNDTO(1234.5, 2)", 1200},    {"ROUNDTO(1250, 2)", 1300},
        {"ROUNDTO(7, -2)", 7},
    };
    Sql sql(testDb().db());
    for (const Case& c : cases) {
        const core::Variant v =
            sql.value(QStringLiteral("select %1 from rdb$database").arg(QLatin1String(c.call)));
        ASSERT_FALSE(v.isEmpty()) << c.call;
        EXPECT_DOUBLE_EQ(v.toDouble(), c.result) << c.call;
    }
    EXPECT_TRUE(sql.value(QStringLiteral("select ROUNDTO(NULL, -2) from rdb$database")).isNull());
}

TEST_F(FunctionTest, RoundToSumsWeightsOfParcelItems) {
    Sql sql(testDb().db());
    const tolvtest::Params keys = tolvtest::freshKeys(3);
    sql.exec(QStringLiteral("insert into PARSEL_SUBJ_GOLD (ID, ID_PARCEL, WEIGHT) values (:K1, :K0, 3.456)"),
             keys);
    sql.exec(QStringLiteral("insert into PARSEL_SUBJ_GOLD (ID, ID_PARCEL, WEIGHT) values (:K2, :K0, 1.234)"),
             keys);
    EXPECT_DOUBLE_EQ(
        sql.value(
               QStringLiteral("select sum(ROUNDTO(WEIGHT, -2)) from PARSEL_SUBJ_GOLD where ID_PARCEL = :K0"),
               keys)
            .toDouble(),
        4.69);
}

// Searches compare UPCASE of the column with the upper-cased text the user typed, Ukrainian letters
// and apostrophes included.
TEST_F(FunctionTest, UpcaseUpperCasesEveryCyrillicLetter) {
    struct Case {
        const char16_t* text;
        const char16_t* upper;
    };
    const Case cases[] = {
        {u"літвін", u"ЛІТВІН"},
        {u"Іван", u"ІВАН"},
        {u"ґанок, їжак, єнот", u"ҐАНОК, ЇЖАК, ЄНОТ"},
        {u"дем'яненко", u"ДЕМ'ЯНЕНКО"},
        {u"ёжик и щука", u"ЁЖИК И ЩУКА"},
        {u"manager", u"MANAGER"},
    };
    Sql sql(testDb().db());
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(sql.value(QStringLiteral("select UPCASE(:S) from rdb$database"), {{"S", text}}).toText(),
                  QString::fromUtf16(c.upper))
            << text.toStdString();
    }
    EXPECT_TRUE(sql.value(QStringLiteral("select UPCASE(NULL) from rdb$database")).isNull());
    // The login lookup of the program.
    EXPECT_EQ(sql.count(QStringLiteral("select count(*) from AGENTS where UPCASE(AGENT_LOGIN) = UPCASE(:L)"),
                        {{"L", "manager"}}),
              1);
}

}  // namespace
