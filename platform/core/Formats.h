#pragma once
// The process-wide format settings that every text of a number or a date follows (never the C or the
// Qt locale), with the formatting and parsing routines built on them.

#include <QChar>
#include <QString>

#include "platform/core/DateTime.h"

namespace core {

struct FormatSettings {
    QChar decimalSeparator = u'.';
    QChar dateSeparator = u'.';
    QChar timeSeparator = u':';
    QChar thousandSeparator = u' ';
    QString shortDateFormat = QStringLiteral("dd.mm.yyyy");
    QString shortTimeFormat = QStringLiteral("hh:mm");
    QString longTimeFormat = QStringLiteral("hh:mm:ss");
    QString dateTimeFormat = QStringLiteral("dd.mm.yyyy hh:nn:ss");
};

// The settings in force for the whole process (single user-interface thread, unguarded).
FormatSettings& formats();

// Sets the decimal separator for one scope and puts the previous one back.
class ScopedDecimalSeparator {
public:
    explicit ScopedDecimalSeparator(QChar separator);
    ~ScopedDecimalSeparator();
    ScopedDecimalSeparator(const ScopedDecimalSeparator&) = delete;
    ScopedDecimalSeparator& operator=(const ScopedDecimalSeparator&) = delete;

private:
    QChar saved_;
};

// Every routine below raises core::Exception for a value it cannot print: NaN or an infinity, a date
// outside the calendar.

// Formats with a pattern of the kind "dd.mm.yyyy hh:nn:ss": d dd m mm yy yyyy h hh n nn s ss z zzz,
// "m"/"mm" right after an hour meaning minutes, "/" the date and ":" the time separator, text in
// quotes copied as it is.
QString formatDateTime(const QString& pattern, DateTime value);
QString dateToStr(DateTime value);
QString timeToStr(DateTime value);
// The short date, then a blank and the long time when the time of day is not zero.
QString dateTimeToStr(DateTime value);

// General decimal text with at most 15 significant digits ("100", "0.3", "1E20", "1.5E-7").
QString floatToStr(double value);
// A currency value (ten-thousandths): at most four decimals, trailing zeros dropped.
QString currToStr(qint64 tenThousandths);

// Fixed-point text with exactly that many decimals: the value is first taken to 18 significant
// digits, then cut to the decimals but never more than 15 significant digits, the last kept digit
// rounded half away from zero (0.125 gives "0.13", 2.675 whose double lies below the half gives
// "2.67"). Values of 1E15 and more give the general text.
QString formatFixed(double value, int decimals);
// Number patterns: sections "positive;negative;zero", '0' a forced digit, '#' an optional one, '.' the
// decimal point, ',' in the integer part groups thousands, quoted text copied. A single section puts a
// minus before negative values.
QString formatFloat(const QString& pattern, double value);

// Parsing with the process formats; surrounding blanks are ignored.
bool tryStrToInt64(const QString& text, qint64& result);
bool tryStrToFloat(const QString& text, double& result);
bool tryStrToDateTime(const QString& text, DateTime& result);

}  // namespace core

// Run once at start-up before any database work: "." decimals, "dd.mm.yyyy" dates, "hh:mm:ss" times.
void setProcessFormats();
