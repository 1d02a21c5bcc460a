#include <gtest/gtest.h>

#include <QObject>
#include <limits>

#include "kv_Valuta.h"
#include "platform/core/Exception.h"

// Stand-ins known to the Core-only unit by their class name and properties, as the widgets are.
class QLabel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString text MEMBER text)

public:
    QString text;
};

class CurrencyEditStandIn : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString displayFormat MEMBER displayFormat)
    Q_PROPERTY(QString text MEMBER text)

public:
    QString displayFormat;
    QString text;
};

namespace {

namespace Valuta = utl::Valuta;

// The settings are process-wide: every test puts back the values the program starts with.
class ValutaTest : public ::testing::Test {
protected:
    void TearDown() override { Valuta::setValuta(QStringLiteral("грн"), QStringLiteral("коп"), 0, 0); }
};

TEST_F(ValutaTest, StartsWithHryvniaAndKopecksFeminineRussian) {
    EXPECT_EQ(Valuta::getValutaName(), QStringLiteral("грн"));
    EXPECT_EQ(Valuta::getValutaKopName(), QStringLiteral("коп"));
    EXPECT_EQ(Valuta::getValutaGender(), 0);
    EXPECT_EQ(Valuta::getValutaLanguage(), 0);
}

TEST_F(ValutaTest, SetValutaReplacesAllFourSettings) {
    struct Case {
        QString name;
        QString kopName;
        quint8 gender;
        quint8 language;
    };
    const Case cases[] = {
        {QStringLiteral("руб"), QStringLiteral("коп"), 1, 0},
        {QStringLiteral("USD"), QStringLiteral("ц"), 1, 1},
        {QStringLiteral("євр"), QStringLiteral("цнт"), 2, 1},
        // Missing settings rows come in as empty names, gender 0 and language 0.
        {QString(), QString(), 0, 0},
    };
    for (const Case& c : cases) {
        Valuta::setValuta(c.name, c.kopName, c.gender, c.language);
        EXPECT_EQ(Valuta::getValutaName(), c.name);
        EXPECT_EQ(Valuta::getValutaKopName(), c.kopName);
        EXPECT_EQ(Valuta::getValutaGender(), c.gender);
        EXPECT_EQ(Valuta::getValutaLanguage(), c.language);
    }
}

constexpr quint8 kRu = 0;
constexpr quint8 kUa = 1;

struct WordsCase {
    quint8 language;
    qint64 value;
    quint8 gender;
    const char* words;
};

TEST_F(ValutaTest, NumberToWordsFollowsTheWordTables) {
    const WordsCase cases[] = {
        {kRu, 0, 0, "ноль "},
        {kUa, 0, 0, "нуль "},
        {kRu, 1, 0, "одна "},
        {kRu, 1, 1, "один "},
        {kRu, 1, 2, "одно "},
        {kUa, 1, 0, "одна "},
        {kUa, 2, 0, "дві "},
        {kUa, 1, 2, "одне "},
        {kRu, 21, 1, "двадцать один "},
        {kUa, 21, 1, "двадцять один "},
        {kRu, 2001, 1, "две тысячи один "},
        {kRu, 21000, 1, "двадцать одна тысяча "},
        {kRu, 21000, 0, "двадцать одна тысяча "},
        {kRu, 2000005, 1, "два миллиона пять "},
        {kRu, 11000, 0, "одиннадцать тысяч "},
        {kRu, 100000, 0, "сто тысяч "},
        {kRu, 1000000000, 0, "один миллиард "},
        {kRu, 2000000000, 0, "два миллиарда "},
        {kRu, 5000000000, 0, "пять миллиардов "},
        {kRu, 1000001, 0, "один миллион одна "},
        {kRu, -5, 0, "минус пять "},
        {kRu, 45000000, 0, "сорок пять миллионов "},
        {kUa, 45000000, 0, "сорок п'ять мільйонів "},
        {kRu, std::numeric_limits<qint64>::max(), 1,
         "девять квинтиллионов двести двадцать три квадриллиона триста семьдесят два триллиона "
         "тридцать шесть миллиардов восемьсот пятьдесят четыре миллиона семьсот семьдесят пять тысяч "
         "восемьсот семь "},
        // The Ukrainian teen of one, spelt as the language writes it.
        {kUa, 11, 0, "одинадцять "},
        {kUa, 111, 0, "сто одинадцять "},
        {kUa, 11000, 0, "одинадцять тисяч "},
        // A language without a table of its own writes Russian.
        {7, 2, 0, "две "},
    };
    for (const WordsCase& c : cases) {
        Valuta::setValuta(QStringLiteral("грн"), QStringLiteral("коп"), 0, c.language);
        EXPECT_EQ(Valuta::numberToWords(c.value, c.gender, 0), QString::fromUtf8(c.words))
            << c.value << " language " << int(c.language) << " gender " << int(c.gender);
    }
}

TEST_F(ValutaTest, NumberToWordsRefusesAnUnknownGenderAndTheMostNegativeValue) {
    try {
        Valuta::numberToWords(5, 3, 0);
        FAIL() << "gender 3 accepted";
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Неизвестный род валюты"));
    }
    EXPECT_THROW(Valuta::numberToWords(std::numeric_limits<qint64>::min(), 0, 0), core::Exception);
    Valuta::setValuta(QStringLiteral("грн"), QStringLiteral("коп"), 3, 0);
    EXPECT_THROW(Valuta::sumToText(1.0, 0), core::Exception);
}

struct SumCase {
    quint8 language;
    double amount;
    const char* text;
};

TEST_F(ValutaTest, SumToTextWritesHryvniasAndKopecks) {
    const SumCase cases[] = {
        {kRu, 1, "одна грн 00 коп"},
        {kRu, 2, "две грн 00 коп"},
        {kRu, 11, "одиннадцать грн 00 коп"},
        {kRu, 21, "двадцать одна грн 00 коп"},
        {kRu, 101, "сто одна грн 00 коп"},
        {kRu, 1000, "одна тысяча грн 00 коп"},
        {kRu, 2001, "две тысячи одна грн 00 коп"},
        {kRu, 22000, "двадцать две тысячи грн 00 коп"},
        {kRu, 999999, "девятьсот девяносто девять тысяч девятьсот девяносто девять грн 00 коп"},
        {kRu, 0.5, "ноль грн 50 коп"},
        {kRu, 1000000.01, "один миллион грн 01 коп"},
        {kRu, 1234.56, "одна тысяча двести тридцать четыре грн 56 коп"},
        {kRu, 0.05, "ноль грн 05 коп"},
        {kRu, 0, "ноль грн 00 коп"},
        {kRu, 7.05, "семь грн 05 коп"},
        {kRu, 7.5, "семь грн 50 коп"},
        {kRu, -5.25, "минус пять грн 25 коп"},
        {kRu, 2.999, "три грн 00 коп"},
        {kUa, 2, "дві грн 00 коп"},
        {kUa, 5, "п'ять грн 00 коп"},
        {kUa, 11, "одинадцять грн 00 коп"},
        {kUa, 1000, "одна тисяча грн 00 коп"},
        {kUa, 2001, "дві тисячі одна грн 00 коп"},
        {kUa, 3000000, "три мільйони грн 00 коп"},
        {kUa, 1234.56, "одна тисяча двісті тридцять чотири грн 56 коп"},
        {kUa, 1011.11, "одна тисяча одинадцять грн 11 коп"},
    };
    for (const SumCase& c : cases) {
        Valuta::setValuta(QStringLiteral("грн"), QStringLiteral("коп"), 0, c.language);
        EXPECT_EQ(Valuta::sumToText(c.amount, 0), QString::fromUtf8(c.text)) << c.amount;
    }
}

TEST_F(ValutaTest, SplitAmountGivesWholeUnitsAndHundredths) {
    const struct {
        double amount;
        qint32 whole;
        qint32 hundredths;
    } cases[] = {{7.05, 7, 5}, {7.5, 7, 50}, {7.999, 8, 0}, {0, 0, 0}, {1234.56, 1234, 56}, {-0.25, -1, 75}};
    for (const auto& c : cases) {
        const auto [whole, hundredths] = Valuta::splitAmount(c.amount);
        EXPECT_EQ(whole, c.whole) << c.amount;
        EXPECT_EQ(hundredths, c.hundredths) << c.amount;
    }
}

TEST_F(ValutaTest, ApplyMoneyFormatShowsTheCurrencyName) {
    QLabel label;
    Valuta::applyMoneyFormat(&label, QStringLiteral("Сумма"));
    EXPECT_EQ(label.text, QStringLiteral("Сумма, грн."));

    CurrencyEditStandIn edit;
    edit.text = QStringLiteral("12.50");
    Valuta::applyMoneyFormat(&edit, QStringLiteral("Сумма"));
    EXPECT_EQ(edit.displayFormat, QStringLiteral(",0.00 грн'.';-,0.00 грн'.'"));
    EXPECT_EQ(edit.text, QStringLiteral("12.50"));

    QObject other;
    other.setObjectName(QStringLiteral("other"));
    Valuta::applyMoneyFormat(&other, QStringLiteral("Сумма"));
    EXPECT_EQ(other.objectName(), QStringLiteral("other"));
    EXPECT_TRUE(other.dynamicPropertyNames().isEmpty());
}

}  // namespace

#include "ValutaTest.moc"
