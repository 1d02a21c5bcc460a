// The register's code page, frames and fields, and the plain values of the driver, without a device.
#include <gtest/gtest.h>

#include "kv_fiscalRegister.h"

namespace {

using namespace KassRegister;

TEST(CodecTest, FramesByteForByte) {
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const std::vector<Case> cases{
        {QStringLiteral("SYNC"), QByteArray::fromHex("FD53594E4305FE")},
        {QStringLiteral("NALGБ12000"), QByteArray::fromHex("FD4E414C478131323030300BFE")},
        {QStringLiteral("KASS"), QByteArray::fromHex("FD4B41535305FE")},
    };
    for (const Case& c : cases) EXPECT_EQ(frcodec::frame(c.text), c.bytes) << c.text.toStdString();
    EXPECT_TRUE(frcodec::frame(QStringLiteral("FINFДог.N A-17 ПОВКРЕДИТ"))
                    .startsWith(QByteArray::fromHex("FD46494E4684AEA32E")));
}

TEST(CodecTest, LettersTheCodePageLacksGoAsTheNearestOnesOrAsQuestionMarks) {
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const std::vector<Case> cases{
        {QStringLiteral("ЗБЕРІГАННЯ"), QByteArray::fromHex("878185904983808D8D9F")},
        {QStringLiteral("іҐґ"), QByteArray::fromHex("6983A3")},
        {QStringLiteral("ЇїЄє"), QByteArray::fromHex("F4F5F2F3")},
        {QStringLiteral("€x"), QByteArray("?x")},
    };
    EXPECT_EQ(frcodec::encode(cases[0].text), cases[0].bytes);
    EXPECT_EQ(frcodec::encode(cases[1].text), cases[1].bytes);
    // Ї, ї, Є, є are in the code page and come back as they went.
    EXPECT_EQ(frcodec::encode(cases[2].text), cases[2].bytes);
    EXPECT_EQ(frcodec::decode(cases[2].bytes), cases[2].text);
    EXPECT_EQ(frcodec::encode(cases[3].text), cases[3].bytes);
}

TEST(CodecTest, FieldsPadAndNumbersThatDoNotFitAreRefused) {
    EXPECT_EQ(frcodec::textField(QStringLiteral("12345"), 10), QStringLiteral("12345     "));
    EXPECT_EQ(frcodec::textField(QStringLiteral("ВIДСОТКИ ДОВГІ"), 12), QStringLiteral("ВIДСОТКИ ДОВ"));
    EXPECT_EQ(frcodec::numberField(15025, 10), QStringLiteral("0000015025"));
    EXPECT_EQ(frcodec::numberField(999999999, 9), QStringLiteral("999999999"));
    // 10 000 000.00 in hundredths has ten digits: cutting it to nine would print 1 000 000.00.
    EXPECT_THROW(frcodec::numberField(1000000000, 9), core::Exception);
    EXPECT_THROW(frcodec::numberField(-1, 9), core::Exception);
}

TEST(CodecTest, SchemesAndConfiguration) {
    const NalogsSettings fresh;
    EXPECT_EQ(fresh.type, 255);
    EXPECT_EQ(fresh.rate, -1);
    EXPECT_TRUE(fresh == NalogsSettings{});
    EXPECT_TRUE((NalogsSettings{QStringLiteral("20260101"), 0, 2000} == NalogsSettings{QString(), 0, 2000}));
    EXPECT_EQ((NalogsSettings{QStringLiteral("20260101"), 0, 2000}.toStr()),
              QStringLiteral("20260101 0 2000"));

    // Field 12 holds twelve digits, beyond 32 bits.
    QString packet = QStringLiteral("CONf") + QString(64, QLatin1Char('x'));
    packet.replace(4 + 56, 8, QStringLiteral("20260315"));
    packet += QStringLiteral("120000") + QStringLiteral("123") + QStringLiteral("ABCD") + QStringLiteral("4");
    packet += QString(12, QLatin1Char('t')) + QStringLiteral("123456789012") + QString(16, QLatin1Char('u'));
    packet +=
        QStringLiteral("ЛОМБАРД").leftJustified(18) + QString(8, QLatin1Char('v')) + QStringLiteral("2ГРН");
    ASSERT_EQ(packet.size(), 152);
    const ConfInfo conf = ConfInfo::parse(packet);
    EXPECT_EQ(conf.numbers, (std::vector<qint64>{1, 2, 3, 4, 123456789012LL, 2}));
    EXPECT_EQ(conf.getDate(), core::DateTime::encode(2026, 3, 15));
    EXPECT_EQ(conf.header(), QStringLiteral("ЛОМБАРД           "));
    EXPECT_EQ(conf.currencyDecimals(), 2);
    EXPECT_EQ(conf.currencyName(), QStringLiteral("ГРН"));
    packet[4 + 70] = QLatin1Char('x');
    EXPECT_THROW(ConfInfo::parse(packet), core::Exception);
}

TEST(CodecTest, TheFactoryMakesTheOneModelOnly) {
    EXPECT_THROW(
        {
            try {
                FiscalRegister::scCreateFR(1);
            } catch (const core::Exception& e) {
                EXPECT_EQ(e.message(), QStringLiteral("Неизвестный тип фискального регистратора"));
                throw;
            }
        },
        core::Exception);
    auto fr = FiscalRegister::scCreateFR(0);
    auto* model = dynamic_cast<FRMariya*>(fr.get());
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->timeOut(), 2000);
    EXPECT_FALSE(model->isConnected());
    EXPECT_THROW(model->setTimeOut(0), core::Exception);
    EXPECT_THROW(model->setTimeOut(-5), core::Exception);
    EXPECT_EQ(model->timeOut(), 2000);
    // close when not connected does nothing; the forms, uninstalled, fail naming the operation.
    model->close();
    try {
        model->showSettings();
        FAIL();
    } catch (const core::Exception& e) {
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("showSettings")));
    }
}

TEST(CodecTest, ThePasswordIsKeptEnciphered) {
    const QString stored = FiscalRegister::scCryptPassword(QStringLiteral("4072958316"), true);
    EXPECT_NE(stored, QStringLiteral("4072958316"));
    EXPECT_EQ(stored.size(), 20);
    EXPECT_EQ(FiscalRegister::scCryptPassword(stored, false), QStringLiteral("4072958316"));
}

}  // namespace
