#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "kv_Interpretator.h"
#include "platform/dialogs/Dialogs.h"

using Common::Interpretator;
using Common::ParametrMap;
using core::Variant;

namespace {

// The six parameters of a services list, all 0 unless a case gives them.
ParametrMap params(std::initializer_list<std::pair<const char*, Variant>> given = {}) {
    ParametrMap p;
    for (const char* name :
         {"CONTR_SUM", "CONTR_PRICE", "PENALTY_DAYS", "OP_SUM", "PENALTY_DAYS_CUR", "FORSALE_PRICE"}) {
        p[QString::fromLatin1(name)] = 0;
    }
    for (const auto& [name, value] : given) p[QString::fromLatin1(name)] = value;
    return p;
}

class InterpretatorTest : public ::testing::Test {
protected:
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope{&dialogs};
    Interpretator ip;
};

struct Case {
    const char* formula;
    ParametrMap parameters;
    qint32 hundredths;  // the price
    bool box;           // the formula fails: a box and 0
};

TEST_F(InterpretatorTest, FormulasPriceAsTheirValueInHundredths) {
    const std::vector<Case> cases = {
        {"CONTR_SUM*0.02", params({{"CONTR_SUM", 1500}}), 3000, false},
        {"PENALTY_DAYS_CUR-PENALTY_DAYS", params({{"PENALTY_DAYS_CUR", 40}, {"PENALTY_DAYS", 30}}), 1000,
         false},
        {"OP_SUM*0.01+OP_SUM*0", params({{"OP_SUM", 100.0}}), 100, false},
        {"PENALTY_DAYS_CUR*CONTR_SUM*0.001", params({{"PENALTY_DAYS_CUR", 45}, {"CONTR_SUM", 2000.0}}), 9000,
         false},
        {"ROUND(CONTR_PRICE*0.015)", params({{"CONTR_PRICE", 1234.56}}), 1900, false},
        {"(OP_SUM-100)^2/100", params({{"OP_SUM", 110.0}}), 100, false},
        // Exact money: binary floating point would give 1501, 101 and 57.
        {"CONTR_SUM*0.015", params({{"CONTR_SUM", 1001.0}}), 1502, false},
        {"OP_SUM*0.01", params({{"OP_SUM", 100.50}}), 100, false},
        {"CONTR_PRICE*0.5", params({{"CONTR_PRICE", 1.15}}), 58, false},
        // A negative parameter stays one operand.
        {"10-OP_SUM", params({{"OP_SUM", -5.0}}), 1500, false},
        {"OP_SUM^2", params({{"OP_SUM", -5.0}}), 2500, false},
        // Functions in any case; precedence and associativity as documented.
        {"round(2.5)+Round(3.5)+ROUND(-2.5)", params(), 400, false},
        {"int(-2.7)+TRUNC(2.7)+FRAC(-2.75)", params(), -75, false},
        {"-2^2+2^3^2/512+2^-1", params(), -250, false},
        {"LOG(1000)+SQR(3)+ABS(-1)+SIGN(-7)+NOT(0)+NOT(5)", params(), 1300, false},
        {"SQRT(2)^2", params(), 200, false},
        {"10 - 4 - 3 + 6 / 3 / 2", params(), 400, false},
        {"0^0", params(), 100, false},
        {"", params(), 0, false},
        // Failures.
        {"contr_sum*2", params({{"CONTR_SUM", 1000}}), 0, true},
        {"CONTR_SUMM*2", params({{"CONTR_SUM", 1000}}), 0, true},
        {"XOP_SUM", params({{"OP_SUM", 100}}), 0, true},
        {"OP_SUM/0", params({{"OP_SUM", 100}}), 0, true},
        {"0^-1", params(), 0, true},
        {"LN(0)", params(), 0, true},
        {"SQRT(-1)", params(), 0, true},
        {"ARCSIN(2)", params(), 0, true},
        {"(-8)^(1/3)", params(), 0, true},
        {"10^400", params(), 0, true},
        {"EXP(100000)", params(), 0, true},
        {"1+", params(), 0, true},
        {"(1", params(), 0, true},
        {"SIN 1", params(), 0, true},
        {"1.2.3", params(), 0, true},
        {"30000000", params(), 0, true},  // beyond the 32-bit hundredths of a price
        {"OP_SUM", params({{"OP_SUM", Variant::null()}}), 0, true},
        {"OP_SUM", params({{"OP_SUM", QStringLiteral("сто")}}), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        dialogs.shown.clear();
        ip = c.parameters;
        EXPECT_EQ(ip.calcHundredths(QString::fromLatin1(c.formula)), c.hundredths);
        EXPECT_EQ(dialogs.shown.size(), c.box ? 1u : 0u);
        if (!dialogs.shown.empty()) {
            EXPECT_EQ(dialogs.shown[0].type, ui::MsgType::Error);
        }
    }
}

TEST_F(InterpretatorTest, CalcGivesTheValueAndZeroForAnEmptyOrBadFormula) {
    ip = params({{"CONTR_SUM", 1500}, {"OP_SUM", 100.0}});
    EXPECT_EQ(ip.calc(QStringLiteral("CONTR_SUM*0.02")), 30.0L);
    EXPECT_NEAR(static_cast<double>(ip.calc(QStringLiteral("ARCTAN(1)*4"))), M_PI, 1e-15);
    EXPECT_EQ(ip.calc(QString()), 0.0L);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(ip.calc(QStringLiteral("XOP_SUM")), 0.0L);
    EXPECT_EQ(ip.substitute(QStringLiteral("XOP_SUM")), QStringLiteral("X100"));
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(InterpretatorTest, TheBoxShowsTheFormulaTheParametersTheSubstitutionAndWhatWasExpected) {
    ip = params({{"CONTR_SUM", 1000}, {"CONTR_PRICE", 1234.5}});
    EXPECT_EQ(ip.calcHundredths(QStringLiteral("contr_sum*2")), 0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].buttons, ui::Buttons(ui::Button::Ok));
    // Not replaced (case-sensitive): the formula appears as stored and after substitution.
    EXPECT_EQ(
        dialogs.shown[0].text,
        QStringLiteral("Формула содержит ошибки:\ncontr_sum*2\n\nСписок параметров:\n"
                       "PENALTY_DAYS_CUR = 0\nFORSALE_PRICE = 0\nPENALTY_DAYS = 0\nCONTR_PRICE = 1234.5\n"
                       "CONTR_SUM = 1000\nOP_SUM = 0\n\nФормула в результате преобразования:\ncontr_sum*2\n"
                       "Неизвестное имя \"contr_sum\", позиция 1: \"contr_sum*2\""));

    dialogs.shown.clear();
    EXPECT_EQ(ip.calcHundredths(QStringLiteral("CONTR_SUMM*2")), 0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.endsWith(
        QStringLiteral("преобразования:\n1000M*2\nОжидался оператор или конец формулы, позиция 5: \"M*2\"")))
        << dialogs.shown[0].text.toStdString();

    dialogs.shown.clear();
    ip.calcHundredths(QStringLiteral("(CONTR_SUM-1000"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(
        dialogs.shown[0].text.endsWith(QStringLiteral("Ожидалась \")\", позиция 11 (конец формулы)")));

    dialogs.shown.clear();
    ip.calcHundredths(QStringLiteral("CONTR_SUM/(CONTR_SUM-1000)"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(
        dialogs.shown[0].text.endsWith(QStringLiteral("Деление на ноль, позиция 5: \"/(1000-1000)\"")));
}

TEST_F(InterpretatorTest, ValuesAreWrittenAsPlainDecimalsTheParserReadsBack) {
    EXPECT_EQ(Interpretator::valueText(30), QStringLiteral("30"));
    EXPECT_EQ(Interpretator::valueText(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(Interpretator::valueText(-5.0), QStringLiteral("(-5)"));
    EXPECT_EQ(Interpretator::valueText(1e20), QStringLiteral("100000000000000000000"));
    EXPECT_EQ(Interpretator::valueText(0.000012345), QStringLiteral("0.000012345"));
    EXPECT_EQ(Interpretator::valueText(qint64(123456789012345678)), QStringLiteral("123456789012346000"));
}

// Each generated text gives a finite value or a failure line; none crashes or hangs.
void expectSound(const QString& text) {
    const Interpretator::Outcome out = Interpretator::evaluate(text);
    if (out.ok) {
        EXPECT_TRUE(std::isfinite(out.value.toLong())) << text.left(200).toStdString();
        EXPECT_TRUE(out.error.isEmpty());
    } else {
        EXPECT_FALSE(out.error.isEmpty());
        EXPECT_FALSE(out.error.contains(u'\n'));
    }
}

TEST(InterpretatorRobustness, GeneratedFormulasGiveAFiniteValueOrAFailure) {
    std::mt19937 rng(20090305);
    const QStringList tokens = {"1",       "0",
                                "2.5",     "0.001",
                                "-",       "+",
                                "*",       "/",
                                "^",       "(",
                                ")",       ")",
                                "(",       "SIN(",
                                "ln(",     "LOG(",
                                "SQRT(",   "ROUND(",
                                "ARCSIN(", "TAN(",
                                "EXP(",    "NOT(",
                                "X",       ".",
                                " ",       "123456789012345678901234567890",
                                "9^9^9",   "1e5",
                                "Ж",       "\t",
                                "1/0",     "0^-1"};
    const QStringList valid = {"CONTR_SUM*0.02", "(OP_SUM-100)^2/100", "ROUND(CONTR_PRICE*0.015)",
                               "PENALTY_DAYS_CUR*CONTR_SUM*0.001", "ABS(SIN(1)-COS(2))/SQRT(3)"};
    Interpretator ip;
    ip = params(
        {{"CONTR_SUM", 1001.0}, {"OP_SUM", 110.0}, {"CONTR_PRICE", 1234.56}, {"PENALTY_DAYS_CUR", 45}});
    std::uniform_int_distribution<int> pick(0, static_cast<int>(tokens.size()) - 1);
    for (int i = 0; i < 3000; ++i) {
        QString text;
        const int n = 1 + static_cast<int>(rng() % 25);
        for (int k = 0; k < n; ++k) text += tokens[pick(rng)];
        expectSound(text);
    }
    for (const QString& f : valid) {
        const QString base = ip.substitute(f);
        for (int i = 0; i < 300; ++i) {
            QString text = base;
            const int at = static_cast<int>(rng() % text.size());
            switch (rng() % 3) {
                case 0:
                    text.truncate(at);
                    break;
                case 1:
                    text.remove(at, 1);
                    break;
                default:
                    text.insert(at, tokens[pick(rng)]);
                    break;
            }
            expectSound(text);
        }
    }
    // Nesting thousands deep, a run of signs, very long numbers, power towers, bad arguments.
    const int deep = 100000;
    const QString tooDeep = QString(deep, u'(') + u'1' + QString(deep, u')');
    EXPECT_FALSE(Interpretator::evaluate(tooDeep).ok);
    EXPECT_FALSE(Interpretator::evaluate(QStringLiteral("SIN(").repeated(deep) + u'1').ok);
    const QString nested64 =
        QString(Interpretator::kMaxDepth, u'(') + u'7' + QString(Interpretator::kMaxDepth, u')');
    EXPECT_TRUE(Interpretator::evaluate(nested64).ok);
    const Interpretator::Outcome signs =
        Interpretator::evaluate(QStringLiteral("-").repeated(deep + 1) + u'3');
    ASSERT_TRUE(signs.ok);
    EXPECT_EQ(signs.value.toLong(), -3.0L);
    EXPECT_FALSE(Interpretator::evaluate(QStringLiteral("2^").repeated(deep) + u'2').ok);
    const Interpretator::Outcome ones = Interpretator::evaluate(QStringLiteral("1^").repeated(deep) + u'2');
    ASSERT_TRUE(ones.ok);
    EXPECT_EQ(ones.value.toLong(), 1.0L);
    expectSound(QString(200000, u'9'));
    expectSound(QStringLiteral("0.") + QString(200000, u'0') + u'1');
    expectSound(QStringLiteral("1+").repeated(deep) + u'1');
    expectSound(QStringLiteral("0.5^(10^30)"));
    expectSound(QStringLiteral("(-1)^(10^30+1)"));
    for (const char* bad : {"LN(-1)", "LOG(0)", "ARCCOS(-1.0001)", "SQRT(-0.1)", "TAN(1.5707963267948966)",
                            "EXP(12000)", "9^9^9", "ROUND(10^40)", "FRAC(0.1^40)"}) {
        expectSound(QString::fromLatin1(bad));
    }
}

}  // namespace
