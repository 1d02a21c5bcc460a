#include "kv_Valuta.h"

#include <QObject>
#include <QVariant>
#include <cmath>
#include <limits>

#include "platform/core/Exception.h"

namespace utl::Valuta {

namespace {

struct Settings {
    QString name = QStringLiteral("грн");
    QString kopName = QStringLiteral("коп");
    quint8 gender = 0;
    quint8 language = 0;
};

// Process-wide and reached from the user-interface thread only.
Settings& settings() {
    static Settings s;
    return s;
}

SUnit unit(const char* m, const char* f, const char* n, const char* teen, const char* tens,
           const char* hundred) {
    return SUnit{{QString::fromUtf8(m), QString::fromUtf8(f), QString::fromUtf8(n)},
                 QString::fromUtf8(teen),
                 QString::fromUtf8(tens),
                 QString::fromUtf8(hundred)};
}

SUnit same(const char* word, const char* teen, const char* tens, const char* hundred) {
    return unit(word, word, word, teen, tens, hundred);
}

SPower power(int column, const char* one, const char* few, const char* many) {
    return SPower{column, QString::fromUtf8(one), QString::fromUtf8(few), QString::fromUtf8(many)};
}

LangInfo russian() {
    LangInfo l;
    l.powers = {power(1, "", "", ""),
                power(1, "тысяча ", "тысячи ", "тысяч "),
                power(0, "миллион ", "миллиона ", "миллионов "),
                power(0, "миллиард ", "миллиарда ", "миллиардов "),
                power(0, "триллион ", "триллиона ", "триллионов "),
                power(0, "квадриллион ", "квадриллиона ", "квадриллионов "),
                power(0, "квинтиллион ", "квинтиллиона ", "квинтиллионов ")};
    l.units = {same("", "десять ", "", ""),
               unit("один ", "одна ", "одно ", "одиннадцать ", "десять ", "сто "),
               unit("два ", "две ", "два ", "двенадцать ", "двадцать ", "двести "),
               same("три ", "тринадцать ", "тридцать ", "триста "),
               same("четыре ", "четырнадцать ", "сорок ", "четыреста "),
               same("пять ", "пятнадцать ", "пятьдесят ", "пятьсот "),
               same("шесть ", "шестнадцать ", "шестьдесят ", "шестьсот "),
               same("семь ", "семнадцать ", "семьдесят ", "семьсот "),
               same("восемь ", "восемнадцать ", "восемьдесят ", "восемьсот "),
               same("девять ", "девятнадцать ", "девяносто ", "девятьсот ")};
    l.minus = QStringLiteral("минус ");
    l.zero = QStringLiteral("ноль ");
    return l;
}

LangInfo ukrainian() {
    LangInfo l;
    l.powers = {power(1, "", "", ""),
                power(1, "тисяча ", "тисячі ", "тисяч "),
                power(0, "мільйон ", "мільйони ", "мільйонів "),
                power(0, "мільярд ", "мільярди ", "мільярдів "),
                power(0, "трильйон ", "трильйони ", "трильйонів "),
                power(0, "квадрильйон ", "квадрильйони ", "квадрильйонів "),
                power(0, "квінтильйон ", "квінтильйони ", "квінтильйонів ")};
    l.units = {same("", "десять ", "", ""),
               unit("один ", "одна ", "одне ", "одинадцять ", "десять ", "сто "),
               unit("два ", "дві ", "два ", "дванадцять ", "двадцять ", "двісті "),
               same("три ", "тринадцять ", "тридцять ", "триста "),
               same("чотири ", "чотирнадцять ", "сорок ", "чотириста "),
               same("п'ять ", "п'ятнадцять ", "п'ятдесят ", "п'ятсот "),
               same("шість ", "шістнадцять ", "шістдесят ", "шістсот "),
               same("сім ", "сімнадцять ", "сімдесят ", "сімсот "),
               same("вісім ", "вісімнадцять ", "вісімдесят ", "вісімсот "),
               same("дев'ять ", "дев'ятнадцять ", "дев'яносто ", "дев'ятсот ")};
    l.minus = QStringLiteral("мінус ");
    l.zero = QStringLiteral("нуль ");
    return l;
}

// Hundredths of the amount, halves to the even neighbour, as the documents print it.
qint64 toWholeHundredths(double amount) {
    const double h = std::nearbyint(amount * 100.0);
    if (!std::isfinite(h) || std::fabs(h) >= 9.2e18)
        throw core::Exception(QStringLiteral("Сумма вне допустимого диапазона: ") + QString::number(amount));
    return static_cast<qint64>(h);
}

}  // namespace

void setValuta(const QString& valutaName, const QString& valutaKopName, quint8 gender, quint8 language) {
    settings() = Settings{valutaName, valutaKopName, gender, language};
}

QString getValutaName() {
    return settings().name;
}

QString getValutaKopName() {
    return settings().kopName;
}

quint8 getValutaGender() {
    return settings().gender;
}

quint8 getValutaLanguage() {
    return settings().language;
}

const LangInfoVect& langInfo() {
    static const LangInfoVect tables{russian(), ukrainian()};
    return tables;
}

QString numberToWords(qint64 value, quint8 gender, quint8 /*language*/) {
    // A language without a table of its own writes Russian rather than failing a document.
    const LangInfo& lang = langInfo()[settings().language == 1 ? 1 : 0];
    SPowerVect powers = lang.powers;
    switch (gender) {
        case 0:
            powers[0].genderColumn = 1;
            break;
        case 1:
            powers[0].genderColumn = 0;
            break;
        case 2:
            powers[0].genderColumn = 2;
            break;
        default:
            throw core::Exception(QStringLiteral("Неизвестный род валюты"));
    }
    if (value == std::numeric_limits<qint64>::min())
        throw core::Exception(QStringLiteral("Число вне допустимого диапазона: ") + QString::number(value));
    if (value == 0) return lang.zero;

    QString result;
    if (value < 0) {
        result += lang.minus;
        value = -value;
    }
    qint64 divisor = 1'000'000'000'000'000'000LL;
    for (int k = 6; k >= 0; --k, divisor /= 1000) {
        int g = static_cast<int>((value / divisor) % 1000);
        if (g == 0) continue;
        if (g >= 100) {
            result += lang.units[g / 100].hundred;
            g %= 100;
        }
        if (g >= 20) {
            result += lang.units[g / 10].tens;
            g %= 10;
        }
        if (g >= 10)
            result += lang.units[g - 10].teen;
        else if (g >= 1)
            result += lang.units[g].gender[powers[k].genderColumn];
        const SPower& p = powers[k];
        result += g == 1 ? p.one : (g >= 2 && g <= 4 ? p.few : p.many);
    }
    return result;
}

SValuta sumToParts(double amount) {
    const qint64 hundredths = toWholeHundredths(amount);
    const qint64 whole = hundredths / 100;
    const int kop = static_cast<int>(std::abs(hundredths % 100));
    SValuta v;
    v.integerWords = numberToWords(whole, getValutaGender());
    v.valutaName = getValutaName();
    v.kopText = QStringLiteral("%1").arg(kop, 2, 10, QLatin1Char('0'));
    v.kopName = getValutaKopName();
    v.text = v.integerWords + v.valutaName + QLatin1Char(' ') + v.kopText + QLatin1Char(' ') + v.kopName;
    return v;
}

QString sumToText(double amount, quint8 /*language*/) {
    return sumToParts(amount).text;
}

std::pair<qint32, qint32> splitAmount(double amount) {
    double whole = std::floor(amount);
    double hundredths = std::nearbyint((amount - whole) * 100.0);
    if (hundredths >= 100) {
        whole += 1;
        hundredths -= 100;
    }
    return {static_cast<qint32>(whole), static_cast<qint32>(hundredths)};
}

void applyMoneyFormat(QObject* control, const QString& text) {
    if (!control) return;
    const QString name = getValutaName();
    if (control->inherits("QLabel")) {
        control->setProperty("text", text + QStringLiteral(", ") + name + QLatin1Char('.'));
        return;
    }
    // Date and time edits have a display format too, of another kind.
    if (control->inherits("QDateTimeEdit")) return;
    if (control->metaObject()->indexOfProperty("displayFormat") >= 0) {
        control->setProperty(
            "displayFormat",
            QStringLiteral(",0.00 ") + name + QStringLiteral("'.';-,0.00 ") + name + QStringLiteral("'.'"));
    }
}

}  // namespace utl::Valuta
