#include "kv_Money100.h"

#include <algorithm>
#include <cmath>

#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"

namespace Money100 {

namespace {

constexpr double kHundred = 100.0;
constexpr double kTenThousand = 10000.0;

// Exact halves go to the even neighbour whatever the floating-point rounding mode is.
double roundHalfEven(double x) {
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return std::round(x);
}

// A count outside 32 bits would silently wrap into another amount: refuse it instead.
qint32 toScaled(double value, double scale, int decimals, const char* key, const char* defaultText) {
    const double product = value * scale;  // rounded once to double precision, nothing else before
    const double whole = roundHalfEven(product);
    if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) {
        const QString range =
            QStringLiteral(" (%1 .. %2)")
                .arg(toStr(-2147483648.0 / scale, decimals), toStr(2147483647.0 / scale, decimals));
        // NaN and the infinities have no general text; the message still names what was given.
        const QString given = std::isfinite(value) ? core::floatToStr(value) : QString::number(value);
        throw core::Exception(
            KVLibTranslator::instance().translate(QString::fromUtf8(key), QString::fromUtf8(defaultText)) +
            given + range);
    }
    return static_cast<qint32>(whole);
}

}  // namespace

double fromHundredths(double hundredths) {
    return roundHalfEven(hundredths) / kHundred;
}

qint32 toHundredths(double value) {
    return toScaled(value, kHundred, 2, "kv_Money100.Money100.toHundredths.Exception",
                    "Сумма вне допустимого диапазона: ");
}

double fromTenThousandths(double tenThousandths) {
    return roundHalfEven(tenThousandths) / kTenThousand;
}

qint32 toTenThousandths(double value) {
    return toScaled(value, kTenThousand, 4, "kv_Money100.Money100.toTenThousandths.Exception",
                    "Значение вне допустимого диапазона: ");
}

QString toStr(double value, int decimals) { return core::formatFixed(value, decimals); }

qint64 divRoundHalfEven(qint64 num, qint64 den) {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    qint64 q = num / den;
    qint64 r = num % den;
    if (r < 0) {  // floor division
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
    return q;
}

}  // namespace Money100
