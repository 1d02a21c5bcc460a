#include <gtest/gtest.h>

#include <QStringEncoder>

#include "TPasswordEncryptDecrypt.h"
#include "tests/support/ErrorText.h"

namespace {

// PC1 with its 256-bit key as the published program writes it (register swaps and all), with the
// characters taken as signed bytes: an independent reading of the algorithm to hold ours against.
struct ReferencePc1 {
    unsigned short ax = 0, bx = 0, cx = 0, dx = 0, si = 0, tmp = 0, x1a2 = 0, x1a0[16] = {}, res = 0, i = 0,
                   inter = 0, cfc = 0, cfd = 0;
    signed char cle[32] = {};

    // clang-format off
    void code() {
        dx = x1a2 + i;
        ax = x1a0[i];
        cx = 0x015a;
        bx = 0x4e35;
        tmp = ax; ax = si; si = tmp;
        tmp = ax; ax = dx; dx = tmp;
        if (ax != 0) ax = ax * bx;
        tmp = ax; ax = cx; cx = tmp;
        if (ax != 0) {
            ax = ax * si;
            cx = ax + cx;
        }
        tmp = ax; ax = si; si = tmp;
        ax = ax * bx;
        dx = cx + dx;
        ax = ax + 1;
        x1a2 = dx;
        x1a0[i] = ax;
        res = ax ^ dx;
        i = i + 1;
    }
    // clang-format on
    void assemble() {
        x1a0[0] = (cle[0] * 256) + cle[1];
        code();
        inter = res;
        for (int k = 1; k < 16; ++k) {
            x1a0[k] = x1a0[k - 1] ^ ((cle[2 * k] * 256) + cle[2 * k + 1]);
            code();
            inter = inter ^ res;
        }
        i = 0;
    }
    void setKey(const QByteArray& key) {
        const char* filler = "q7mzwk3tpv9rhx2cnj5blf8gyd4suae6";
        for (int k = 0; k < 32; ++k) cle[k] = static_cast<signed char>(k < key.size() ? key[k] : filler[k]);
    }
    QByteArray encrypt(const QByteArray& text, const QByteArray& key) {
        setKey(key);
        QByteArray out;
        for (char ch : text) {
            short c = static_cast<signed char>(ch);
            assemble();
            cfc = inter >> 8;
            cfd = inter & 255;
            for (signed char& k : cle) k = static_cast<signed char>(k ^ c);
            c = static_cast<short>(c ^ (cfc ^ cfd));
            const short d = static_cast<short>(c >> 4);
            const short e = static_cast<short>(c & 15);
            out += static_cast<char>(0x61 + d);
            out += static_cast<char>(0x61 + e);
        }
        return out;
    }
};

QByteArray cp1251(const QString& s) {
    QStringEncoder encode("windows-1251");
    return encode(s);
}

const QString kDriverKey = QStringLiteral("QWNhum57t8163e");

TEST(PasswordCipherTest, EmptyTextStaysEmpty) {
    TPasswordEncryptDecrypt c;
    EXPECT_EQ(c.encrypt(QString(), kDriverKey), QString());
    EXPECT_EQ(c.decrypt(QString(), kDriverKey), QString());
}

TEST(PasswordCipherTest, PlainBytesGiveTwoLettersEachAndComeBack) {
    for (const QString& text : {QStringLiteral("1234567890"), QStringLiteral("A"),
                                QStringLiteral("pass word!~"), QStringLiteral("0000000000")}) {
        TPasswordEncryptDecrypt c;
        const QString enc = c.encrypt(text, kDriverKey);
        ASSERT_EQ(enc.size(), 2 * text.size());
        for (QChar ch : enc) EXPECT_TRUE(ch >= u'a' && ch <= u'p') << enc.toStdString();
        TPasswordEncryptDecrypt d;
        EXPECT_EQ(d.decrypt(enc, kDriverKey), text);
    }
}

TEST(PasswordCipherTest, CyrillicBytesTakeTheLowerFirstLetters) {
    const QString text = QStringLiteral("Пароль кассира Ї");
    TPasswordEncryptDecrypt c;
    const QString enc = c.encrypt(text, kDriverKey);
    ASSERT_EQ(enc.size(), 2 * text.size());
    const QByteArray bytes = cp1251(text);
    for (int i = 0; i < bytes.size(); ++i) {
        const QChar first = enc[2 * i];
        const QChar second = enc[2 * i + 1];
        EXPECT_TRUE(second >= u'a' && second <= u'p');
        if (static_cast<unsigned char>(bytes[i]) >= 128) {
            EXPECT_TRUE(first.unicode() >= 81 && first.unicode() <= 96) << i << " " << enc.toStdString();
        } else {
            EXPECT_TRUE(first >= u'a' && first <= u'p') << i;
        }
    }
    EXPECT_EQ(TPasswordEncryptDecrypt().decrypt(enc, kDriverKey), text);
}

TEST(PasswordCipherTest, AgreesWithThePublishedProgram) {
    const QByteArray texts[] = {QByteArray("1234567890"), QByteArray("a"),
                                cp1251(QStringLiteral("Пароль ЇЄІҐ їєіґ")), QByteArray("\x7f\x80\xff\x01", 4),
                                QByteArray(200, 'z')};
    const QByteArray keys[] = {
        QByteArray("QWNhum57t8163e"), QByteArray(), cp1251(QStringLiteral("ключ-Ключ")),
        QByteArray("0123456789abcdef0123456789ABCDEFextra"), QByteArray("\xff\x80\x7f", 3)};
    for (const QByteArray& key : keys) {
        for (const QByteArray& text : texts) {
            ReferencePc1 ref;
            TPasswordEncryptDecrypt ours;
            const QByteArray expected = ref.encrypt(text, key);
            const QByteArray enc = ours.encryptBytes(text, key);
            EXPECT_EQ(enc, expected) << key.toHex().toStdString() << " / " << text.toHex().toStdString();
            EXPECT_EQ(TPasswordEncryptDecrypt().decryptBytes(enc, key), text);
        }
    }
}

TEST(PasswordCipherTest, SameInputSameOutputAndEachByteCarriesTheOnesBefore) {
    TPasswordEncryptDecrypt a;
    TPasswordEncryptDecrypt b;
    EXPECT_EQ(a.encrypt(QStringLiteral("secret"), kDriverKey),
              b.encrypt(QStringLiteral("secret"), kDriverKey));
    // One object serves several texts: each call starts afresh.
    EXPECT_EQ(a.encrypt(QStringLiteral("secret"), kDriverKey),
              b.encrypt(QStringLiteral("secret"), kDriverKey));
    const QString x = a.encrypt(QStringLiteral("aaaaaaaa"), kDriverKey);
    const QString y = a.encrypt(QStringLiteral("baaaaaaa"), kDriverKey);
    EXPECT_NE(x.mid(2), y.mid(2));  // the same tail enciphers differently after another first byte
}

TEST(PasswordCipherTest, KeysAreCompletedAndCut) {
    const QString text = QStringLiteral("0123456789");
    const QString long1 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");  // 32
    TPasswordEncryptDecrypt c;
    EXPECT_EQ(c.encrypt(text, long1 + QStringLiteral("tail one")),
              c.encrypt(text, long1 + QStringLiteral("other")));
    EXPECT_EQ(c.encrypt(text, long1 + QStringLiteral("tail one")), c.encrypt(text, long1));
    // A short key acts as that key completed with the filler's characters that follow its length.
    const QString filler = QString::fromLatin1(TPasswordEncryptDecrypt::kFiller);
    EXPECT_EQ(c.encrypt(text, kDriverKey), c.encrypt(text, kDriverKey + filler.mid(kDriverKey.size())));
    EXPECT_EQ(c.encrypt(text, QString()), c.encrypt(text, filler));
    EXPECT_NE(c.encrypt(text, kDriverKey), c.encrypt(text, QStringLiteral("QWNhum57t8163f")));
}

TEST(PasswordCipherTest, AnotherKeyGivesOtherBytesWithoutAnError) {
    TPasswordEncryptDecrypt c;
    const QString enc = c.encrypt(QStringLiteral("1111222233"), kDriverKey);
    QString wrong;
    EXPECT_NO_THROW(wrong = c.decrypt(enc, QStringLiteral("another key")));
    EXPECT_NE(wrong, QStringLiteral("1111222233"));
    EXPECT_EQ(wrong.size(), 10);
    // Letters outside the output alphabet are not refused either.
    EXPECT_NO_THROW(c.decrypt(QStringLiteral("zz!!AB"), kDriverKey));
}

TEST(PasswordCipherTest, OddLengthIsOurOwnClearError) {
    TPasswordEncryptDecrypt c;
    const QString enc = c.encrypt(QStringLiteral("12345"), kDriverKey);
    const QString text = tolvtest::errorText([&] { c.decrypt(enc.left(enc.size() - 1), kDriverKey); });
    EXPECT_EQ(text, QStringLiteral("Зашифрованный текст поврежден: нечетное число символов (9)"));
    EXPECT_NE(tolvtest::errorText([&] { c.decrypt(QStringLiteral("a"), kDriverKey); }),
              QStringLiteral("<no error>"));
}

}  // namespace
