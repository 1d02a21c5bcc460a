#include "platform/core/Formats.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/core/Exception.h"

namespace core {

FormatSettings& formats() {
    static FormatSettings settings;
    return settings;
}

ScopedDecimalSeparator::ScopedDecimalSeparator(QChar separator) : saved_(formats().decimalSeparator) {
    formats().decimalSeparator = separator;
}

ScopedDecimalSeparator::~ScopedDecimalSeparator() { formats().decimalSeparator = saved_; }

namespace {

// NaN and the infinities have no digits: printing a word or garbage in their place would pass for an amount.
void requireFinite(double value) {
    if (std::isnan(value)) throw Exception(QStringLiteral("Cannot format NaN (not a number) as a number"));
    if (std::isinf(value)) {
        throw Exception(QStringLiteral("Cannot format %1 infinity as a number")
                            .arg(value > 0 ? QStringLiteral("positive") : QStringLiteral("negative")));
    }
}

QString pad(int value, int width) { return QString::number(value).rightJustified(width, u'0'); }

int runLength(const QString& s, int i) {
    QChar c = s[i].toLower();
    int n = 1;
    while (i + n < s.size() && s[i + n].toLower() == c) ++n;
    return n;
}

}  // namespace

QString formatDateTime(const QString& pattern, DateTime value) {
    const QDate date = value.date();
    const QTime time = value.time();
    const FormatSettings& fs = formats();
    QString out;
    bool afterHour = false;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        const QChar lc = c.toLower();
        if (c == u'"' || c == u'\'') {
            int end = pattern.indexOf(c, i + 1);
            if (end < 0) end = pattern.size();
            out += pattern.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (c == u'/') {
            out += fs.dateSeparator;
            ++i;
            continue;
        }
        if (c == u':') {
            out += fs.timeSeparator;
            ++i;
            continue;
        }
        const int n = runLength(pattern, i);
        if (lc == u'd') {
            out += n >= 2 ? pad(date.day(), 2) : QString::number(date.day());
        } else if (lc == u'm' && !afterHour) {
            out += n >= 2 ? pad(date.month(), 2) : QString::number(date.month());
        } else if (lc == u'm' || lc == u'n') {
            out += n >= 2 ? pad(time.minute(), 2) : QString::number(time.minute());
            afterHour = false;
        } else if (lc == u'y') {
            out += n <= 2 ? pad(date.year() % 100, 2) : pad(date.year(), 4);
        } else if (lc == u'h') {
            out += n >= 2 ? pad(time.hour(), 2) : QString::number(time.hour());
            afterHour = true;
        } else if (lc == u's') {
            out += n >= 2 ? pad(time.second(), 2) : QString::number(time.second());
        } else if (lc == u'z') {
            out += n >= 3 ? pad(time.msec(), 3) : QString::number(time.msec());
        } else {
            out += pattern.mid(i, n);
        }
        i += n;
    }
    return out;
}

QString dateToStr(DateTime value) { return formatDateTime(formats().shortDateFormat, value); }

QString timeToStr(DateTime value) { return formatDateTime(formats().longTimeFormat, value); }

QString dateTimeToStr(DateTime value) {
    QString text = dateToStr(value);
    if (value.hasTime()) text += u' ' + timeToStr(value);
    return text;
}

QString floatToStr(double value) {
    requireFinite(value);
    if (value == 0.0) return QStringLiteral("0");

    // Fifteen significant digits: d.dddddddddddddde±x
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    QString text = QString::fromLatin1(buf);
    const bool negative = text.startsWith(u'-');
    if (negative) text.remove(0, 1);
    const int ePos = text.indexOf(u'e');
    QString digits = text.left(ePos).remove(u'.');
    const int exp10 = text.mid(ePos + 1).toInt();  // value = d.ddd * 10^exp10
    while (digits.size() > 1 && digits.endsWith(u'0')) digits.chop(1);

    const QChar sep = formats().decimalSeparator;
    const int exponent = exp10 + 1;  // value = 0.ddd * 10^exponent
    QString out;
    if (exponent > 15 || exponent < -3) {
        out = digits.left(1);
        if (digits.size() > 1) out += sep + digits.mid(1);
        out += u'E' + QString::number(exp10);
    } else if (exponent <= 0) {
        out = QStringLiteral("0") + sep + QString(-exponent, u'0') + digits;
    } else if (digits.size() <= exponent) {
        out = digits + QString(exponent - digits.size(), u'0');
    } else {
        out = digits.left(exponent) + sep + digits.mid(exponent);
    }
    return negative ? u'-' + out : out;
}

QString currToStr(qint64 tenThousandths) {
    const bool negative = tenThousandths < 0;
    const quint64 magnitude = negative ? 0 - static_cast<quint64>(tenThousandths) : tenThousandths;
    QString out = QString::number(magnitude / 10000);
    QString fraction = QString::number(magnitude % 10000).rightJustified(4, u'0');
    while (fraction.endsWith(u'0')) fraction.chop(1);
    if (!fraction.isEmpty()) out += formats().decimalSeparator + fraction;
    return negative ? u'-' + out : out;
}

namespace {

// The digits of |value| at the given decimals: the double is first taken to 18 significant digits,
// then cut to at most 15 significant digits (and the decimals asked), the last kept digit rounded
// half away from zero. Gives the integer digits and exactly `decimals` fraction digits.
void roundedDigits(double value, int decimals, QString& intDigits, QString& fracDigits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
    const QString text = QString::fromLatin1(buf);
    const int ePos = text.indexOf(u'e');
    const QString all = text.left(ePos).remove(u'.');  // 18 digits: value = 0.<all> * 10^pointPos
    int pointPos = text.mid(ePos + 1).toInt() + 1;
    const int keep = std::min(15, pointPos + decimals);
    QString digits;
    if (keep >= 0) {
        digits = all.left(keep);
        if (keep < all.size() && all[keep] >= u'5') {
            int i = keep - 1;
            while (i >= 0 && digits[i] == u'9') digits[i--] = u'0';
            if (i >= 0) {
                digits[i] = QChar(digits[i].unicode() + 1);
            } else {
                digits.prepend(u'1');
                ++pointPos;
            }
        }
    }
    auto digitAt = [&](int i) { return i >= 0 && i < digits.size() ? digits[i] : QChar(u'0'); };
    intDigits.clear();
    for (int i = 0; i < pointPos; ++i) intDigits += digitAt(i);
    if (intDigits.isEmpty()) intDigits = QStringLiteral("0");
    fracDigits.clear();
    for (int i = 0; i < decimals; ++i) fracDigits += digitAt(pointPos + i);
}

}  // namespace

QString formatFixed(double value, int decimals) {
    requireFinite(value);
    if (std::fabs(value) >= 1e15) return floatToStr(value);
    decimals = std::clamp(decimals, 0, 18);
    QString intDigits, fracDigits;
    roundedDigits(value, decimals, intDigits, fracDigits);
    QString out = intDigits;
    if (decimals > 0) out += formats().decimalSeparator + fracDigits;
    const bool zero = !out.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return value < 0 && !zero ? u'-' + out : out;
}

QString formatFloat(const QString& pattern, double value) {
    requireFinite(value);
    // Split into sections outside quotes.
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            current += c;
            if (c == quote) quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            current += c;
        } else if (c == u';') {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    if (pattern.isEmpty()) return floatToStr(value);

    QString section = sections[0];
    bool addMinus = value < 0;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        section = sections[1];
        addMinus = false;
    }

    // Read the placeholders of the section.
    int intZeros = 0, fracZeros = 0, fracHashes = 0;
    bool point = false, thousands = false;
    quote = QChar();
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'.') {
            point = true;
        } else if (c == u',') {
            if (!point) thousands = true;
        } else if (c == u'0') {
            point ? ++fracZeros : ++intZeros;
        } else if (c == u'#') {
            if (point) ++fracHashes;
        }
    }
    QString intDigits, fracDigits;
    roundedDigits(value, fracZeros + fracHashes, intDigits, fracDigits);
    if (sections.size() > 2 && !sections[2].isEmpty() && !intDigits.contains(QRegularExpression(QStringLiteral("[1-9]"))) &&
        !fracDigits.contains(QRegularExpression(QStringLiteral("[1-9]")))) {
        return formatFloat(sections[2], 0.0);
    }
    while (fracDigits.size() > fracZeros && fracDigits.endsWith(u'0')) fracDigits.chop(1);
    if (intDigits == QStringLiteral("0") && intZeros == 0) intDigits.clear();
    if (intDigits.size() < intZeros) intDigits = QString(intZeros - intDigits.size(), u'0') + intDigits;
    if (thousands) {
        for (qsizetype i = intDigits.size() - 3; i > 0; i -= 3) intDigits.insert(i, formats().thousandSeparator);
    }
    QString number = intDigits;
    if (!fracDigits.isEmpty()) number += formats().decimalSeparator + fracDigits;

    // Rebuild the section: literals kept, the run of placeholders replaced by the number once.
    QString out;
    bool placed = false;
    quote = QChar();
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            } else {
                out += c;
            }
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'0' || c == u'#' || c == u'.' || c == u',') {
            if (!placed) {
                out += number;
                placed = true;
            }
        } else {
            out += c;
        }
    }
    const bool zero = !number.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return addMinus && !zero ? u'-' + out : out;
}

bool tryStrToInt64(const QString& text, qint64& result) {
    const QString t = text.trimmed();
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive) || t.startsWith(u'$')) {
        v = t.mid(t.startsWith(u'$') ? 1 : 2).toLongLong(&ok, 16);
    } else {
        v = t.toLongLong(&ok, 10);
    }
    if (ok) result = v;
    return ok;
}

bool tryStrToFloat(const QString& text, double& result) {
    QString t = text.trimmed();
    if (t.isEmpty()) return false;
    const QChar sep = formats().decimalSeparator;
    if (sep != u'.') {
        if (t.contains(u'.')) return false;
        t.replace(sep, u'.');
    }
    for (QChar c : t) {
        if (!(c.isDigit() || c == u'.' || c == u'-' || c == u'+' || c == u'e' || c == u'E')) return false;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (ok) result = v;
    return ok;
}

namespace {

// The order of day, month and year in the short date format, e.g. "dmy".
QString dateOrder() {
    QString order;
    for (QChar c : formats().shortDateFormat.toLower()) {
        if ((c == u'd' || c == u'm' || c == u'y') && !order.contains(c)) order += c;
    }
    return order.size() == 3 ? order : QStringLiteral("dmy");
}

bool parseTime(const QString& text, QTime& time) {
    QStringList parts = text.split(formats().timeSeparator);
    if (parts.size() < 2 || parts.size() > 3) return false;
    int msec = 0;
    if (parts.size() == 3 && parts[2].contains(u'.')) {
        const QStringList sec = parts[2].split(u'.');
        bool ok = false;
        msec = sec.value(1).left(3).leftJustified(3, u'0').toInt(&ok);
        if (!ok) return false;
        parts[2] = sec[0];
    }
    int values[3] = {0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok) return false;
    }
    time = QTime(values[0], values[1], values[2], msec);
    return time.isValid();
}

}  // namespace

bool tryStrToDateTime(const QString& text, DateTime& result) {
    const QString t = text.simplified();
    if (t.isEmpty()) return false;
    const int blank = t.indexOf(u' ');
    const QString datePart = blank < 0 ? t : t.left(blank);
    const QString timePart = blank < 0 ? QString() : t.mid(blank + 1);

    QTime time(0, 0);
    if (!datePart.contains(formats().dateSeparator) && timePart.isEmpty()) {
        if (!parseTime(datePart, time)) return false;
        result = DateTime::fromTime(time);
        return true;
    }
    const QStringList parts = datePart.split(formats().dateSeparator);
    if (parts.size() != 3) return false;
    const QString order = dateOrder();
    int day = 0, month = 0, year = 0;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int v = parts[i].toInt(&ok);
        if (!ok) return false;
        switch (order[i].unicode()) {
            case 'd': day = v; break;
            case 'm': month = v; break;
            default:
                year = v;
                if (parts[i].size() <= 2) year += year < 50 ? 2000 : 1900;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid()) return false;
    if (!timePart.isEmpty() && !parseTime(timePart, time)) return false;
    result = DateTime::fromDateTime(QDateTime(date, time));
    return true;
}

}  // namespace core

void setProcessFormats() {
    core::FormatSettings& fs = core::formats();
    fs.decimalSeparator = u'.';
    fs.dateSeparator = u'.';
    fs.timeSeparator = u':';
    fs.shortDateFormat = QStringLiteral("dd.mm.yyyy");
    fs.shortTimeFormat = QStringLiteral("hh:mm");
    fs.longTimeFormat = QStringLiteral("hh:mm:ss");
    fs.dateTimeFormat = QStringLiteral("dd.mm.yyyy hh:nn:ss");
}
