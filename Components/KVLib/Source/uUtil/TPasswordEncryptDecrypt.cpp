#include "TPasswordEncryptDecrypt.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

#include "kv_Translator.h"
#include "platform/core/Exception.h"

namespace {

constexpr auto kCodePage = "windows-1251";

QByteArray toCodePage(const QString& text) {
    QStringEncoder encode(kCodePage);
    return encode(text);
}

QString fromCodePage(const QByteArray& bytes) {
    QStringDecoder decode(kCodePage);
    return decode(bytes);
}

// The word of two characters taken as signed bytes, in 16-bit arithmetic: for a second character of
// code 128 or more it is 256 less than with unsigned bytes.
quint16 wordOf(qint8 c1, qint8 c2) {
    return static_cast<quint16>(c1 * 256 + c2);
}

}  // namespace

TPasswordEncryptDecrypt::TPasswordEncryptDecrypt() = default;

TPasswordEncryptDecrypt::~TPasswordEncryptDecrypt() = default;

void TPasswordEncryptDecrypt::resetState() {
    sum_ = 0;
    carry_ = 0;
    index_ = 0;
    for (quint16& w : keyWords_) w = 0;
}

void TPasswordEncryptDecrypt::prepareKey(const QByteArray& key) {
    for (int i = 0; i < 32; ++i) key_[i] = static_cast<qint8>(kFiller[i]);
    const int n = std::min<int>(static_cast<int>(key.size()), 32);
    for (int i = 0; i < n; ++i) key_[i] = static_cast<qint8>(key[i]);
}

quint16 TPasswordEncryptDecrypt::mixRound() {
    // All products and sums modulo 65536.
    const quint32 a = keyWords_[index_];
    const quint16 newSum = static_cast<quint16>(346u * a + 20021u * (quint32(sum_) + index_) + carry_);
    const quint16 newWord = static_cast<quint16>(20021u * a + 1u);
    carry_ = static_cast<quint16>(346u * a);
    sum_ = newSum;
    keyWords_[index_] = newWord;
    ++index_;
    return newWord ^ newSum;
}

quint16 TPasswordEncryptDecrypt::keyStream() {
    index_ = 0;
    keyWords_[0] = wordOf(key_[0], key_[1]);
    quint16 value = mixRound();
    for (int k = 1; k < 16; ++k) {
        keyWords_[k] = keyWords_[k - 1] ^ wordOf(key_[2 * k], key_[2 * k + 1]);
        value ^= mixRound();
    }
    index_ = 0;
    return value;
}

QByteArray TPasswordEncryptDecrypt::encryptBytes(const QByteArray& text, const QByteArray& key) {
    resetState();
    prepareKey(key);
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const qint8 c = static_cast<qint8>(ch);
        const quint16 w = keyStream();
        const quint16 h = w >> 8;
        const quint16 l = w & 0xFF;
        for (qint8& k : key_) k = static_cast<qint8>(k ^ c);
        // The plaintext byte sign-extended to 16 bits: bytes of 128 and above keep their high byte set,
        // so their first letter lies 16 codes lower.
        const qint16 mixed = static_cast<qint16>(static_cast<quint16>(static_cast<qint16>(c)) ^ h ^ l);
        out += static_cast<char>(((mixed >> 4) + 97) & 0xFF);
        out += static_cast<char>(97 + (mixed & 15));
    }
    return out;
}

QByteArray TPasswordEncryptDecrypt::decryptBytes(const QByteArray& text, const QByteArray& key) {
    if (text.size() % 2 != 0) {
        throw core::Exception(KVLibTranslator::instance().translate(
                                  QStringLiteral("TPasswordEncryptDecrypt.decrypt.OddLength"),
                                  QStringLiteral("Зашифрованный текст поврежден: нечетное число символов")) +
                              QStringLiteral(" (%1)").arg(text.size()));
    }
    resetState();
    prepareKey(key);
    QByteArray out;
    out.reserve(text.size() / 2);
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) {
        const qint8 p1 = static_cast<qint8>(text[i]);
        const qint8 p2 = static_cast<qint8>(text[i + 1]);
        quint16 c = static_cast<quint16>((p1 - 97) * 16 + (p2 - 97));
        const quint16 w = keyStream();
        c = c ^ (w >> 8) ^ (w & 0xFF);
        const qint8 low = static_cast<qint8>(c & 0xFF);
        for (qint8& k : key_) k = static_cast<qint8>(k ^ low);
        out += static_cast<char>(low);
    }
    return out;
}

QString TPasswordEncryptDecrypt::encrypt(const QString& text, const QString& key) {
    return QString::fromLatin1(encryptBytes(toCodePage(text), toCodePage(key)));
}

QString TPasswordEncryptDecrypt::decrypt(const QString& text, const QString& key) {
    return fromCodePage(decryptBytes(toCodePage(text), toCodePage(key)));
}
