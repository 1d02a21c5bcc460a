#include "platform/core/Variant.h"

#include <cmath>
#include <limits>

#include "platform/core/Exception.h"
#include "platform/core/Formats.h"

namespace core {

Currency Currency::fromDouble(double value) {
    const double scaled = std::nearbyint(value * 10000.0);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18) {
        throw Exception(QStringLiteral("Floating point overflow in conversion to currency"));
    }
    return Currency{static_cast<qint64>(scaled)};
}

Variant Variant::null() {
    Variant v;
    v.value_ = NullTag{};
    return v;
}

bool Variant::isNumeric() const {
    switch (type()) {
        case VarType::Int32:
        case VarType::Int64:
        case VarType::Double:
        case VarType::Currency: return true;
        default: return false;
    }
}

QString Variant::typeName(VarType type) {
    switch (type) {
        case VarType::Unassigned: return QStringLiteral("Empty");
        case VarType::Null: return QStringLiteral("Null");
        case VarType::Bool: return QStringLiteral("Boolean");
        case VarType::Int32: return QStringLiteral("Integer");
        case VarType::Int64: return QStringLiteral("Int64");
        case VarType::Double: return QStringLiteral("Double");
        case VarType::Currency: return QStringLiteral("Currency");
        case VarType::DateTime: return QStringLiteral("Date");
        case VarType::Text: return QStringLiteral("String");
    }
    return {};
}

void Variant::conversionError(VarType target) const {
    throw Exception(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                        .arg(typeName(type()), typeName(target)));
}

namespace {

// Rounds to a whole number the way the platform converts a real to an integer: halves to even.
qint64 roundToInt64(double value, bool& ok) {
    const double r = std::nearbyint(value);
    ok = std::isfinite(r) && r >= -9.2233720368547758e18 && r < 9.2233720368547758e18;
    return ok ? static_cast<qint64>(r) : 0;
}

}  // namespace

bool Variant::toBool() const {
    switch (type()) {
        case VarType::Unassigned: return false;
        case VarType::Bool: return std::get<bool>(value_);
        case VarType::Int32:
        case VarType::Int64: return toInt64() != 0;
        case VarType::Double: return std::get<double>(value_) != 0.0;
        case VarType::Currency: return std::get<Currency>(value_).tenThousandths != 0;
        case VarType::DateTime: return !std::get<DateTime>(value_).isZero();
        case VarType::Text: {
            const QString t = std::get<QString>(value_).trimmed();
            if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) return true;
            if (t.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0) return false;
            double d = 0;
            if (tryStrToFloat(t, d)) return d != 0.0;
            break;
        }
        case VarType::Null: break;
    }
    conversionError(VarType::Bool);
}

qint64 Variant::toInt64() const {
    bool ok = true;
    switch (type()) {
        case VarType::Unassigned: return 0;
        case VarType::Bool: return std::get<bool>(value_) ? 1 : 0;
        case VarType::Int32: return std::get<qint32>(value_);
        case VarType::Int64: return std::get<qint64>(value_);
        case VarType::Currency: {
            const qint64 ten = std::get<Currency>(value_).tenThousandths;
            return roundToInt64(static_cast<double>(ten) / 10000.0, ok);
        }
        case VarType::Double: {
            const qint64 r = roundToInt64(std::get<double>(value_), ok);
            if (ok) return r;
            break;
        }
        case VarType::DateTime: return roundToInt64(std::get<DateTime>(value_).value(), ok);
        case VarType::Text: {
            const QString& t = std::get<QString>(value_);
            qint64 i = 0;
            if (tryStrToInt64(t, i)) return i;
            double d = 0;
            if (tryStrToFloat(t, d)) {
                const qint64 r = roundToInt64(d, ok);
                if (ok) return r;
            }
            break;
        }
        case VarType::Null: break;
    }
    conversionError(VarType::Int64);
}

qint32 Variant::toInt() const {
    if (type() == VarType::Null) conversionError(VarType::Int32);
    const qint64 v = toInt64();
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max()) {
        throw Exception(QStringLiteral("Overflow while converting variant of type (%1) into type (Integer)")
                            .arg(typeName(type())));
    }
    return static_cast<qint32>(v);
}

double Variant::toDouble() const {
    switch (type()) {
        case VarType::Unassigned: return 0.0;
        case VarType::Bool: return std::get<bool>(value_) ? 1.0 : 0.0;
        case VarType::Int32: return std::get<qint32>(value_);
        case VarType::Int64: return static_cast<double>(std::get<qint64>(value_));
        case VarType::Double: return std::get<double>(value_);
        case VarType::Currency: return std::get<Currency>(value_).toDouble();
        case VarType::DateTime: return std::get<DateTime>(value_).value();
        case VarType::Text: {
            double d = 0;
            if (tryStrToFloat(std::get<QString>(value_), d)) return d;
            break;
        }
        case VarType::Null: break;
    }
    conversionError(VarType::Double);
}

Currency Variant::toCurrency() const {
    switch (type()) {
        case VarType::Currency: return std::get<Currency>(value_);
        case VarType::Int32:
        case VarType::Int64: {
            qint64 ten = 0;
            if (__builtin_mul_overflow(toInt64(), qint64{10000}, &ten)) {
                throw Exception(QStringLiteral("Integer overflow in conversion to currency: %1").arg(toInt64()));
            }
            return Currency{ten};
        }
        case VarType::Null: conversionError(VarType::Currency);
        default: return Currency::fromDouble(toDouble());
    }
}

DateTime Variant::toDateTime() const {
    switch (type()) {
        case VarType::Unassigned: return DateTime();
        case VarType::DateTime: return std::get<DateTime>(value_);
        case VarType::Int32:
        case VarType::Int64:
        case VarType::Double:
        case VarType::Currency: return DateTime(toDouble());
        case VarType::Text: {
            DateTime d;
            if (tryStrToDateTime(std::get<QString>(value_), d)) return d;
            break;
        }
        default: break;
    }
    conversionError(VarType::DateTime);
}

QString Variant::toText() const {
    switch (type()) {
        case VarType::Unassigned:
        case VarType::Null: return QString();
        case VarType::Bool: return std::get<bool>(value_) ? QStringLiteral("True") : QStringLiteral("False");
        case VarType::Int32: return QString::number(std::get<qint32>(value_));
        case VarType::Int64: return QString::number(std::get<qint64>(value_));
        case VarType::Double: return floatToStr(std::get<double>(value_));
        case VarType::Currency: return currToStr(std::get<Currency>(value_).tenThousandths);
        case VarType::DateTime: return dateTimeToStr(std::get<DateTime>(value_));
        case VarType::Text: return std::get<QString>(value_);
    }
    return QString();
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.type() == b.type()) return a.value_ == b.value_;
    if (a.isNumeric() && b.isNumeric()) {
        if ((a.type() == VarType::Int32 || a.type() == VarType::Int64) &&
            (b.type() == VarType::Int32 || b.type() == VarType::Int64)) {
            return a.toInt64() == b.toInt64();
        }
        return a.toDouble() == b.toDouble();
    }
    return false;
}

}  // namespace core
