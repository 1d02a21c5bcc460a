#pragma once
// The only crossings between money kept as integer hundredths (and rates kept as ten-thousandths) and
// the floating values forms and calculations work with, so every amount rounds the same way.

#include <QString>
#include <QtGlobal>

namespace Money100 {

// The count rounded to a whole number, halves to the even neighbour, then divided by 100.
double fromHundredths(double hundredths);
// value * 100 rounded once to double precision, then to a whole number, halves to the even neighbour.
// Raises core::Exception when the result does not fit 32 bits, or for NaN and infinity.
qint32 toHundredths(double value);
double fromTenThousandths(double tenThousandths);
qint32 toTenThousandths(double value);

// Fixed-point text with exactly that many decimals (0 to 18) and at most 15 significant digits, the
// last kept digit rounded half away from zero; the process decimal separator. Values of 10^15 and more
// come out in the general notation of core::floatToStr.
QString toStr(double value, int decimals);

// num / den rounded to a whole number, halves to the even neighbour, without any floating error (the
// exact shares and percentages of amounts kept as integers). den must not be 0.
qint64 divRoundHalfEven(qint64 num, qint64 den);

}  // namespace Money100
