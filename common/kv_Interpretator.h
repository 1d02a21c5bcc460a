#pragma once
// The formula evaluator of the additional services: parameter names in a price formula are replaced
// by their values, and the text is evaluated by our own parser. Any failure shows one error box and
// gives 0.
//
// The language (function names in any letter case; parameter names are replaced case-sensitively
// before parsing, so a name in another case stays unknown):
//   number     digits with an optional "." and digits (".5" too); no exponent part
//   primary    number | "(" expr ")" | FUNCTION "(" expr ")"
//   power      primary ("^" unary)*      right-associative: 2^3^2 = 2^9
//   unary      ("+" | "-")* power        so -2^2 = -(2^2) and 2^-1 = 0.5
//   term       unary (("*" | "/") unary)*        left-associative
//   expr       term (("+" | "-") term)*          left-associative
// Parentheses and function calls nest at most kMaxDepth deep; blanks and line breaks are ignored.
//
// Exactness: numbers are read as exact fractions, and + - * / and powers with a whole exponent stay
// exact (no binary floating point), so a price is rounded only once, from the exact value. Where a
// value outgrows 128-bit fractions, or a function below needs it, the value becomes a long double.
// Functions (one argument each):
//   ABS, SIGN (-1, 0, 1), SQR (square), INT and TRUNC (toward zero), FRAC (x - TRUNC(x)),
//   ROUND (to a whole number, halves to the even one), NOT (1 for 0, else 0)      exact
//   SQRT (x >= 0), EXP, LN (x > 0), LOG (decimal, x > 0), SIN, COS, TAN, ARCTAN,
//   ARCSIN and ARCCOS (-1 <= x <= 1)                                              long double
// 0^0 is 1; 0 to a negative power is a division by zero. A result that is not a finite number
// (an overflow, a power of a negative number with a fractional exponent) is a failure.

#include <QString>
#include <map>

#include "platform/core/Variant.h"

namespace Common {

// The walk order of the parameters: a longer name first, so that a name is always replaced before
// any shorter name contained in it; names of equal length by their text, so both are kept.
struct ParametrKeySort {
    bool operator()(const QString& a, const QString& b) const {
        return a.size() != b.size() ? a.size() > b.size() : a < b;
    }
};
using ParametrMap = std::map<QString, core::Variant, ParametrKeySort>;

class Interpretator {
public:
    static constexpr int kMaxDepth = 64;

    // A value of the parser: an exact fraction num/den (den > 0, lowest terms) or a long double.
    struct Number {
        bool exact = true;
        __int128 num = 0;
        __int128 den = 1;
        long double approx = 0;
        long double toLong() const;
    };
    // The outcome of parsing a text without a box: the value, or what was expected and where.
    struct Outcome {
        bool ok = false;
        Number value;
        QString error;  // one line: what went wrong and at which character (from 1)
    };

    Interpretator() = default;
    // The owner's parameter table replaces the one held.
    Interpretator& operator=(const ParametrMap& parameters);
    const ParametrMap& parameters() const { return parameters_; }

    // The formula's value (currency units for prices); 0 for an empty formula, and 0 after the box
    // for a bad one.
    long double calc(const QString& formula) const;
    // The formula's value in hundredths, rounded once from the exact value, halves to the even
    // neighbour; 0 for an empty formula, 0 after the box for a bad one or a price out of range.
    qint32 calcHundredths(const QString& formula) const;

    // The formula with every parameter replaced by its value.
    QString substitute(const QString& formula) const;
    // Parses and evaluates a text (no parameters, no box).
    static Outcome evaluate(const QString& text);
    // A value as the parser reads it back: a plain decimal of at most 15 significant digits, a
    // negative one in parentheses so that it stays one operand (10-(-5), (-5)^2).
    static QString valueText(const core::Variant& value);

private:
    // Evaluates the formula; on failure shows the box and gives false.
    bool run(const QString& formula, Outcome& outcome) const;
    void showError(const QString& formula, const QString& substituted, const QString& reason) const;

    ParametrMap parameters_;
};

}  // namespace Common
