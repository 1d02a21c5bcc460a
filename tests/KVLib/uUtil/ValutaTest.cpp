#include <gtest/gtest.h>

#include "kv_Valuta.h"

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

}  // namespace
