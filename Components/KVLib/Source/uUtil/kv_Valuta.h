#pragma once
// The program's currency settings: the currency and kopeck names shown beside money values and in
// column titles, the grammatical gender of the currency and the language of amounts in words. The
// application shell sets them from the database-stored settings after login and after they change.
// Beside them, numbers and money amounts written out in words, in Russian or Ukrainian.

#include <QString>
#include <QtGlobal>
#include <utility>
#include <vector>

class QObject;

namespace utl {

// The three forms of one power of a thousand and the column of units its digit 1 or 2 takes.
struct SPower {
    int genderColumn = 0;  // 0 masculine, 1 feminine, 2 neuter
    QString one;
    QString few;
    QString many;
};
using SPowerVect = std::vector<SPower>;

// The words of one digit d: d in the three gender columns, 10+d, d*10 and d*100.
struct SUnit {
    QString gender[3];
    QString teen;
    QString tens;
    QString hundred;
};
using SUnitVect = std::vector<SUnit>;

// The word table of one language. Every word ends with one blank.
struct LangInfo {
    SPowerVect powers;  // seven entries, index k = 1000^k
    SUnitVect units;    // ten entries, index = digit
    QString minus;
    QString zero;
};
using LangInfoVect = std::vector<LangInfo>;  // 0 Russian, 1 Ukrainian

}  // namespace utl

namespace utl::Valuta {

// The parts of a money amount in words.
struct SValuta {
    QString integerWords;
    QString valutaName;
    QString kopText;
    QString kopName;
    QString text;
};

// Replaces all four settings at once. Gender: 0 feminine, 1 masculine, 2 neuter; language of amounts
// in words: 0 Russian, 1 Ukrainian (independent of the interface language).
void setValuta(const QString& valutaName, const QString& valutaKopName, quint8 gender, quint8 language);

// Before the first setValuta: "грн", "коп", gender 0, language 0.
QString getValutaName();
QString getValutaKopName();
quint8 getValutaGender();
quint8 getValutaLanguage();

// The word tables, built on first use.
const LangInfoVect& langInfo();

// The value in words in the language of the settings (any language but 1 writes Russian); the
// language argument is kept for the callers and not read. Gender 0 feminine, 1 masculine, 2 neuter;
// another raises core::Exception "Неизвестный род валюты", as does the most negative 64-bit value.
QString numberToWords(qint64 value, quint8 gender, quint8 language = 0);

// The amount (currency units, hundredths as the fraction) in words with the currency names, after
// rounding it to whole hundredths. The minor units of a negative amount carry no sign.
QString sumToText(double amount, quint8 language = 0);
SValuta sumToParts(double amount);

// Whole units (the floor of the amount) and hundredths 0..99.
std::pair<qint32, qint32> splitAmount(double amount);

// Shows the currency name on a control: a label's text becomes text + ", " + name + "."; a currency
// edit (an object with a displayFormat property that is not a date edit) gets the money format with
// the name. Any other object is left unchanged.
void applyMoneyFormat(QObject* control, const QString& text);

}  // namespace utl::Valuta
