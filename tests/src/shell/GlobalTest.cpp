// The start-up globals and the shared helpers: formats, the guard against negative currency values,
// the currency naming and the copy of window texts into the translator.

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>
#include <QTest>
#include <clocale>

#include "kv_FbDbIni.h"
#include "kv_FbUtil.h"
#include "kv_Translator.h"
#include "kv_Valuta.h"
#include "platform/core/Formats.h"
#include "platform/fb/Transaction.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/Translations.h"
#include "tests/support/TestDatabase.h"
#include "u_TolvGlobal.h"

namespace {

TEST(TolvGlobalTest, FormatsIgnoreTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Ukrainian, QLocale::Ukraine));
    std::setlocale(LC_ALL, "uk_UA.UTF-8");
    core::formats().decimalSeparator = u',';
    core::formats().shortDateFormat = QStringLiteral("yyyy-mm-dd");
    TolvGlobal::setFormats();
    EXPECT_EQ(core::dateToStr(core::DateTime::fromDate(QDate(2009, 12, 31))), QStringLiteral("31.12.2009"));
    EXPECT_EQ(core::floatToStr(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(core::formats().dateTimeFormat, QStringLiteral("dd.mm.yyyy hh:nn:ss"));
    EXPECT_EQ(core::formats().shortTimeFormat, QStringLiteral("hh:mm"));
    EXPECT_EQ(core::formats().longTimeFormat, QStringLiteral("hh:mm:ss"));
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(saved);
}

TEST(TolvGlobalTest, BlockCurrEditMinusTurnsATypedNegativeValuePositive) {
    ui::CurrencyEdit edit;
    QObject::connect(&edit, &ui::CurrencyEdit::valueChanged, &edit,
                     [&edit] { TolvGlobal::blockCurrEditMinus(&edit); });
    edit.show();
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, QStringLiteral("-5"));
    EXPECT_DOUBLE_EQ(edit.value(), 5.0);
    EXPECT_EQ(edit.hundredths(), 500);
    edit.setValue(-12.5);
    EXPECT_DOUBLE_EQ(edit.value(), 12.5);
    // The currency naming reaches it as to any currency edit.
    utl::Valuta::setValuta(QStringLiteral("грн"), QStringLiteral("коп"), 0, 0);
    utl::Valuta::applyMoneyFormat(&edit, QString());
    EXPECT_EQ(edit.displayFormat(), QStringLiteral(",0.00 грн'.';-,0.00 грн'.'"));
    edit.setValue(1234.5);
    EXPECT_EQ(edit.text(), QStringLiteral("1 234.50 грн."));
    // Other senders are left alone.
    QObject plain;
    TolvGlobal::blockCurrEditMinus(&plain);
    TolvGlobal::blockCurrEditMinus(nullptr);
}

TEST(TolvGlobalTest, CurrencyNamingComesFromTheDatabaseSettings) {
    tolvtest::TestDatabase db;
    udb::dbIniDropCache();
    TolvGlobal::setCurrencyNaming();
    EXPECT_EQ(utl::Valuta::getValutaName(), QStringLiteral("грн"));
    EXPECT_EQ(utl::Valuta::getValutaKopName(), QStringLiteral("коп"));
    EXPECT_EQ(utl::Valuta::getValutaGender(), 0);
    EXPECT_EQ(utl::Valuta::getValutaLanguage(), 0);

    fb::Transaction t(&db.db());
    t.start();
    udb::execSql(QStringLiteral("delete from INI where SECTION = 'DEFAULTS' and NAME starting with 'Valuta'"),
                 &t);
    t.commit();
    udb::dbIniDropCache();
    utl::Valuta::setValuta(QStringLiteral("x"), QStringLiteral("y"), 2, 1);
    TolvGlobal::setCurrencyNaming();
    EXPECT_EQ(utl::Valuta::getValutaName(), QString());
    EXPECT_EQ(utl::Valuta::getValutaKopName(), QString());
    EXPECT_EQ(utl::Valuta::getValutaGender(), 0);
    EXPECT_EQ(utl::Valuta::getValutaLanguage(), 0);
    udb::dbIniDropCache();
    utl::Valuta::setValuta(QStringLiteral("грн"), QStringLiteral("коп"), 0, 0);
}

TEST(TolvGlobalTest, CopyTextToTranslatorTakesTheActiveLanguage) {
    ui::Translations texts;
    texts.addMessage(QStringLiteral("IDS_77"), QStringLiteral("Да\\nнет"), QStringLiteral("Так\\nні"));
    ui::Translations::setLanguage(ui::kLanguageUkrainian);
    TolvGlobal::copyTextToTranslator(texts, QStringLiteral("IDS_77"));
    EXPECT_EQ(KVLibTranslator::instance().translate(QStringLiteral("IDS_77"), QString()),
              QStringLiteral("Так\nні"));
    ui::Translations::setLanguage(ui::kLanguageRussian);
    TolvGlobal::copyTextToTranslator(texts, QStringLiteral("IDS_77"));
    EXPECT_EQ(KVLibTranslator::instance().translate(QStringLiteral("IDS_77"), QString()),
              QStringLiteral("Да\nнет"));
}

}  // namespace
