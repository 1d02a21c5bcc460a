#pragma once
// The password cipher: a password the program keeps in a plain settings file is written enciphered,
// as two letters per byte. It is PC1 (Pukall Cipher 1) with its 256-bit key: a 32-character key
// drives a 16-bit key stream, and every plaintext byte is mixed with the stream and then folded into
// the key, so each output byte depends on all the bytes before it. The fiscal register driver
// enciphers its cashier access password with a fixed key before writing it to "db.ini" and deciphers
// it after reading.
//
// Texts are byte strings in the Windows-1251 code page (the QString operations convert; a character
// without a code there becomes "?"). The enciphered text is twice as long as the plaintext: the
// second character of each pair is one of "a" to "p", the first one of "a" to "p" for bytes below 128
// and one of "Q" to "`" for bytes of 128 and above. Same key and text, same result: there is no salt.
// A key is completed with the fixed filler to 32 characters, or cut to 32.
//
// A fresh object per use; objects are not shared.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class TPasswordEncryptDecrypt {
public:
    // The 32 characters that complete a shorter key.
    static constexpr char kFiller[] = "q7mzwk3tpv9rhx2cnj5blf8gyd4suae6";

    TPasswordEncryptDecrypt();
    ~TPasswordEncryptDecrypt();
    TPasswordEncryptDecrypt(const TPasswordEncryptDecrypt&) = delete;
    TPasswordEncryptDecrypt& operator=(const TPasswordEncryptDecrypt&) = delete;

    QString encrypt(const QString& text, const QString& key);
    // Raises core::Exception for an enciphered text of odd length (its last pair is incomplete).
    // Characters outside the output alphabet are not refused: they decode to some byte; another key
    // gives other bytes, without an error.
    QString decrypt(const QString& text, const QString& key);

    QByteArray encryptBytes(const QByteArray& text, const QByteArray& key);
    QByteArray decryptBytes(const QByteArray& text, const QByteArray& key);

private:
    void resetState();
    void prepareKey(const QByteArray& key);
    quint16 mixRound();
    quint16 keyStream();

    qint8 key_[32] = {};         // changed while a text is processed
    quint16 keyWords_[16] = {};  // rebuilt from the key before each byte
    quint16 sum_ = 0;
    quint16 carry_ = 0;
    quint16 index_ = 0;  // the next key word to mix, 0 to 15
};
