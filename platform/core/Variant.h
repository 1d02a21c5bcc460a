#pragma once
// A value of any of the kinds the database and the forms exchange. "Unassigned" (never given a value)
// is kept apart from "null" (the database's NULL): callers rely on the difference.

#include <QMetaType>
#include <QString>
#include <variant>

#include "platform/core/DateTime.h"

namespace core {

enum class VarType { Unassigned, Null, Bool, Int32, Int64, Double, Currency, DateTime, Text };

// A fixed-point amount counted in ten-thousandths (the platform's currency kind).
struct Currency {
    qint64 tenThousandths = 0;
    static Currency fromDouble(double value);  // half to even; throws when out of range
    double toDouble() const { return tenThousandths / 10000.0; }
    friend bool operator==(Currency, Currency) = default;
};

class Variant {
public:
    Variant() = default;
    Variant(bool v) : value_(v) {}
    Variant(int v) : value_(static_cast<qint32>(v)) {}
    Variant(qint64 v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(Currency v) : value_(v) {}
    Variant(DateTime v) : value_(v) {}
    Variant(const QString& v) : value_(v) {}
    Variant(QString&& v) : value_(std::move(v)) {}
    Variant(const char* utf8) : value_(QString::fromUtf8(utf8)) {}
    Variant(const char16_t* text) : value_(QString::fromUtf16(text)) {}

    static Variant null();

    VarType type() const { return static_cast<VarType>(value_.index()); }
    bool isUnassigned() const { return type() == VarType::Unassigned; }
    bool isNull() const { return type() == VarType::Null; }
    // Unassigned or null: the value carries nothing.
    bool isEmpty() const { return isUnassigned() || isNull(); }
    bool isNumeric() const;

    // Conversions follow the platform's rules: unassigned reads as 0, false or ""; null reads as ""
    // in toText() and raises core::Exception in every other conversion, as does a text that is not a
    // number or a date in the process formats.
    bool toBool() const;
    qint32 toInt() const;
    qint64 toInt64() const;
    double toDouble() const;
    Currency toCurrency() const;
    DateTime toDateTime() const;
    QString toText() const;

    static QString typeName(VarType type);

    // Same kind: equal values. Numbers of different kinds compare as numbers; null equals only null.
    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };
    [[noreturn]] void conversionError(VarType target) const;

    std::variant<std::monostate, NullTag, bool, qint32, qint64, double, Currency, DateTime, QString> value_;
};

}  // namespace core
