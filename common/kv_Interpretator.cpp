#include "kv_Interpretator.h"

#include <cmath>
#include <cstdlib>
#include <numeric>
#include <optional>

#include "kv_Money100.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/dialogs/Dialogs.h"

namespace Common {

namespace {

using Number = Interpretator::Number;
using i128 = __int128;

constexpr i128 kI64Max = std::numeric_limits<qint64>::max();

i128 absOf(i128 v) {
    return v < 0 ? -v : v;
}

i128 gcdOf(i128 a, i128 b) {
    a = absOf(a);
    b = absOf(b);
    while (b != 0) {
        const i128 t = a % b;
        a = b;
        b = t;
    }
    return a;
}

Number inexact(long double v) {
    Number n;
    n.exact = false;
    n.approx = v;
    return n;
}

// den > 0 and lowest terms; the most negative value never appears (its negation overflows).
std::optional<Number> fraction(i128 num, i128 den) {
    constexpr i128 kMin = static_cast<i128>(static_cast<unsigned __int128>(1) << 127);
    if (den == 0 || num == kMin || den == kMin) return std::nullopt;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const i128 g = gcdOf(num, den);
    Number n;
    n.num = g > 1 ? num / g : num;
    n.den = g > 1 ? den / g : den;
    return n;
}

Number whole(i128 v) {
    Number n;
    n.num = v;
    return n;
}

Number add(const Number& a, const Number& b, bool subtract) {
    if (a.exact && b.exact) {
        const i128 g = gcdOf(a.den, b.den);
        i128 left, right, den, sum;
        const i128 bn = subtract ? -b.num : b.num;
        if (!__builtin_mul_overflow(a.num, b.den / g, &left) &&
            !__builtin_mul_overflow(bn, a.den / g, &right) && !__builtin_add_overflow(left, right, &sum) &&
            !__builtin_mul_overflow(a.den / g, b.den, &den)) {
            if (auto n = fraction(sum, den)) return *n;
        }
    }
    return inexact(subtract ? a.toLong() - b.toLong() : a.toLong() + b.toLong());
}

Number multiply(const Number& a, const Number& b) {
    if (a.exact && b.exact) {
        const i128 g1 = a.num == 0 ? 1 : gcdOf(a.num, b.den);
        const i128 g2 = b.num == 0 ? 1 : gcdOf(b.num, a.den);
        i128 num, den;
        if (!__builtin_mul_overflow(a.num / g1, b.num / g2, &num) &&
            !__builtin_mul_overflow(a.den / g2, b.den / g1, &den)) {
            if (auto n = fraction(num, den)) return *n;
        }
    }
    return inexact(a.toLong() * b.toLong());
}

bool isZero(const Number& n) {
    return n.exact ? n.num == 0 : n.approx == 0;
}

Number reciprocal(const Number& n) {
    if (n.exact) {
        if (auto r = fraction(n.den, n.num)) return *r;
    }
    return inexact(1.0L / n.toLong());
}

Number power(const Number& base, const Number& exponent) {
    if (base.exact && exponent.exact && exponent.den == 1) {
        // Squaring and multiplying stay exact until a value outgrows the fraction; the loop runs once
        // per bit of the exponent, at most 127 times.
        i128 e = absOf(exponent.num);
        Number result = whole(1);
        Number factor = exponent.num < 0 ? reciprocal(base) : base;
        bool exact = factor.exact;
        while (exact && e > 0) {
            if (e & 1) {
                result = multiply(result, factor);
                exact = result.exact;
            }
            e >>= 1;
            if (exact && e > 0) {
                factor = multiply(factor, factor);
                exact = factor.exact;
            }
        }
        if (exact) return result;
    }
    return inexact(std::pow(base.toLong(), exponent.toLong()));
}

// Whole part toward zero, and the rounding of halves to the even neighbour.
Number truncated(const Number& n) {
    if (n.exact) return whole(n.num / n.den);
    return inexact(std::trunc(n.approx));
}

Number roundedHalfEven(const Number& n) {
    if (n.exact) {
        if (absOf(n.num) <= kI64Max && n.den <= kI64Max) {
            return whole(Money100::divRoundHalfEven(static_cast<qint64>(n.num), static_cast<qint64>(n.den)));
        }
        return roundedHalfEven(inexact(n.toLong()));
    }
    const long double t = std::trunc(n.approx);
    if (std::fabs(n.approx - t) == 0.5L) return inexact(2.0L * std::round(n.approx / 2.0L));
    return inexact(std::round(n.approx));
}

bool finite(const Number& n) {
    return n.exact || std::isfinite(n.approx);
}

QString tr(const char* key, const char16_t* text) {
    return kvtr::tr(key, text);
}

// The recursive-descent parser over one text. Every loop consumes at least one character and the
// recursion goes only through parentheses and function calls, bounded by kMaxDepth, so the work is
// linear in the text and the stack stays small.
class Parser {
public:
    explicit Parser(const QString& text) : s_(text) {}

    Interpretator::Outcome run() {
        Interpretator::Outcome out;
        try {
            Number v = expr(0);
            skipBlanks();
            if (pos_ < s_.size())
                fail(tr("kv_Interpretator.Interpretator.calc.ExpectedOperator",
                        u"Ожидался оператор или конец формулы"));
            out.value = v;
            out.ok = true;
        } catch (const Failure& f) {
            out.error = f.text;
        }
        return out;
    }

private:
    struct Failure {
        QString text;
    };

    [[noreturn]] void fail(const QString& what) { failAt(what, pos_); }
    [[noreturn]] void failAt(const QString& what, qsizetype at) {
        QString where =
            tr("kv_Interpretator.Interpretator.calc.Position", u"позиция") + u' ' + QString::number(at + 1);
        if (at < s_.size())
            where += QStringLiteral(": \"") + s_.mid(at, 12) + u'"';
        else
            where +=
                QStringLiteral(" (") + tr("kv_Interpretator.Interpretator.calc.End", u"конец формулы") + u')';
        throw Failure{what + QStringLiteral(", ") + where};
    }
    Number checked(const Number& n, qsizetype at) {
        if (!finite(n)) {
            failAt(
                tr("kv_Interpretator.Interpretator.calc.NotFinite", u"Результат не является конечным числом"),
                at);
        }
        return n;
    }

    void skipBlanks() {
        while (pos_ < s_.size() && s_[pos_].isSpace()) ++pos_;
    }
    bool take(QChar c) {
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    Number expr(int depth) {
        Number v = term(depth);
        for (;;) {
            skipBlanks();
            if (pos_ >= s_.size() || (s_[pos_] != u'+' && s_[pos_] != u'-')) return v;
            const qsizetype at = pos_;
            const bool minus = s_[pos_++] == u'-';
            v = checked(add(v, term(depth), minus), at);
        }
    }

    Number term(int depth) {
        Number v = unary(depth);
        for (;;) {
            skipBlanks();
            if (pos_ >= s_.size() || (s_[pos_] != u'*' && s_[pos_] != u'/')) return v;
            const qsizetype at = pos_;
            const bool divide = s_[pos_++] == u'/';
            Number r = unary(depth);
            if (divide) {
                if (isZero(r))
                    failAt(tr("kv_Interpretator.Interpretator.calc.DivByZero", u"Деление на ноль"), at);
                r = reciprocal(r);
            }
            v = checked(multiply(v, r), at);
        }
    }

    // Signs are counted in a loop, not by recursion: a run of thousands of them costs no stack. True when
    // the run is negative.
    bool signs() {
        bool negative = false;
        for (;;) {
            skipBlanks();
            if (pos_ >= s_.size() || (s_[pos_] != u'-' && s_[pos_] != u'+')) return negative;
            if (s_[pos_++] == u'-') negative = !negative;
        }
    }

    Number unary(int depth) {
        const bool negative = signs();
        Number v = powerChain(depth);
        return negative ? multiply(whole(-1), v) : v;
    }

    // a ^ s1 b ^ s2 c ... is a ^ (s1 (b ^ (s2 c))): the operands are gathered in a loop and folded
    // from the right.
    Number powerChain(int depth) {
        struct Link {
            Number operand;
            bool negative;
            qsizetype at;
        };
        std::vector<Link> chain;
        chain.push_back({primary(depth), false, pos_});
        for (;;) {
            skipBlanks();
            if (pos_ >= s_.size() || s_[pos_] != u'^') break;
            const qsizetype at = pos_++;
            const bool negative = signs();
            chain.push_back({primary(depth), negative, at});
        }
        Number v = chain.back().operand;
        for (size_t i = chain.size() - 1; i > 0; --i) {
            if (chain[i].negative) v = multiply(whole(-1), v);
            const Number& base = chain[i - 1].operand;
            if (isZero(base) && (v.exact ? v.num < 0 : v.approx < 0)) {
                failAt(tr("kv_Interpretator.Interpretator.calc.DivByZero", u"Деление на ноль"), chain[i].at);
            }
            v = checked(power(base, v), chain[i].at);
        }
        return v;
    }

    Number primary(int depth) {
        skipBlanks();
        if (pos_ >= s_.size()) fail(expectedOperand());
        const QChar c = s_[pos_];
        if (c.isDigit() || c == u'.') return number();
        if (c == u'(') {
            const qsizetype at = pos_++;
            Number v = nested(depth, at);
            if (!take(u')'))
                fail(tr("kv_Interpretator.Interpretator.calc.ExpectedClose", u"Ожидалась \")\""));
            return v;
        }
        if (c.isLetter() || c == u'_') return function(depth);
        fail(expectedOperand());
    }

    QString expectedOperand() {
        return tr("kv_Interpretator.Interpretator.calc.ExpectedOperand",
                  u"Ожидалось число, \"(\" или функция");
    }

    Number nested(int depth, qsizetype at) {
        if (depth + 1 > Interpretator::kMaxDepth) {
            failAt(tr("kv_Interpretator.Interpretator.calc.TooDeep", u"Вложенность больше допустимой (%1)")
                       .arg(Interpretator::kMaxDepth),
                   at);
        }
        return expr(depth + 1);
    }

    Number number() {
        const qsizetype start = pos_;
        i128 num = 0;
        i128 den = 1;
        bool exact = true;
        bool digits = false;
        auto digit = [&](bool fractional) {
            const int d = s_[pos_].digitValue();
            if (d < 0 || s_[pos_].unicode() > 127) return false;
            digits = true;
            if (exact && (__builtin_mul_overflow(num, 10, &num) || __builtin_add_overflow(num, d, &num) ||
                          (fractional && __builtin_mul_overflow(den, 10, &den)))) {
                exact = false;
            }
            ++pos_;
            return true;
        };
        while (pos_ < s_.size() && digit(false)) {
        }
        if (pos_ < s_.size() && s_[pos_] == u'.') {
            ++pos_;
            while (pos_ < s_.size() && digit(true)) {
            }
        }
        if (!digits) failAt(expectedOperand(), start);
        if (exact) {
            if (auto n = fraction(num, den)) return *n;
        }
        // Too many digits for a fraction: read as a long double, once, over the literal's characters.
        const QByteArray text = s_.mid(start, pos_ - start).toLatin1();
        return checked(inexact(std::strtold(text.constData(), nullptr)), start);
    }

    Number function(int depth) {
        const qsizetype start = pos_;
        while (pos_ < s_.size() && (s_[pos_].isLetterOrNumber() || s_[pos_] == u'_')) ++pos_;
        const QString name = s_.mid(start, pos_ - start);
        const QString upper = name.toUpper();
        static const QStringList kNames = {
            QStringLiteral("ARCTAN"), QStringLiteral("COS"),   QStringLiteral("SIN"),
            QStringLiteral("TAN"),    QStringLiteral("ABS"),   QStringLiteral("EXP"),
            QStringLiteral("LN"),     QStringLiteral("LOG"),   QStringLiteral("SQRT"),
            QStringLiteral("SQR"),    QStringLiteral("INT"),   QStringLiteral("FRAC"),
            QStringLiteral("TRUNC"),  QStringLiteral("ROUND"), QStringLiteral("ARCSIN"),
            QStringLiteral("ARCCOS"), QStringLiteral("SIGN"),  QStringLiteral("NOT")};
        if (!kNames.contains(upper)) {
            failAt(tr("kv_Interpretator.Interpretator.calc.UnknownName", u"Неизвестное имя \"%1\"")
                       .arg(name.left(40)),
                   start);
        }
        if (!take(u'('))
            fail(tr("kv_Interpretator.Interpretator.calc.ExpectedOpen", u"Ожидалась \"(\" после функции"));
        const Number x = nested(depth, start);
        if (!take(u')')) fail(tr("kv_Interpretator.Interpretator.calc.ExpectedClose", u"Ожидалась \")\""));
        return checked(apply(upper, x, start), start);
    }

    Number apply(const QString& f, const Number& x, qsizetype at) {
        const long double v = x.toLong();
        auto domain = [&](bool ok) {
            if (!ok) {
                failAt(
                    tr("kv_Interpretator.Interpretator.calc.BadArgument", u"Недопустимый аргумент функции %1")
                        .arg(f),
                    at);
            }
        };
        const int sign = x.exact ? (x.num > 0) - (x.num < 0) : (v > 0) - (v < 0);
        if (f == u"ABS") return sign < 0 ? multiply(whole(-1), x) : x;
        if (f == u"SIGN") return whole(sign);
        if (f == u"SQR") return multiply(x, x);
        if (f == u"INT" || f == u"TRUNC") return truncated(x);
        if (f == u"FRAC") return add(x, truncated(x), true);
        if (f == u"ROUND") return roundedHalfEven(x);
        if (f == u"NOT") return whole(sign == 0 ? 1 : 0);
        if (f == u"SQRT") domain(v >= 0);
        if (f == u"LN" || f == u"LOG") domain(v > 0);
        if (f == u"ARCSIN" || f == u"ARCCOS") domain(v >= -1 && v <= 1);
        if (f == u"SQRT") return inexact(std::sqrt(v));
        if (f == u"EXP") return inexact(std::exp(v));
        if (f == u"LN") return inexact(std::log(v));
        if (f == u"LOG") return inexact(std::log10(v));
        if (f == u"SIN") return inexact(std::sin(v));
        if (f == u"COS") return inexact(std::cos(v));
        if (f == u"TAN") return inexact(std::tan(v));
        if (f == u"ARCTAN") return inexact(std::atan(v));
        if (f == u"ARCSIN") return inexact(std::asin(v));
        return inexact(std::acos(v));
    }

    const QString& s_;
    qsizetype pos_ = 0;
};

}  // namespace

long double Interpretator::Number::toLong() const {
    return exact ? static_cast<long double>(num) / static_cast<long double>(den) : approx;
}

Interpretator& Interpretator::operator=(const ParametrMap& parameters) {
    parameters_ = parameters;
    return *this;
}

QString Interpretator::valueText(const core::Variant& value) {
    const double v = value.toDouble();
    QString text = QString::number(std::fabs(v), 'g', 15);
    if (const qsizetype e = text.indexOf(u'e'); e >= 0) {
        // The parser reads plain decimals only: the same 15 significant digits, the point moved.
        QString digits = text.left(e);
        const qsizetype dot = digits.indexOf(u'.');
        const int point =
            (dot < 0 ? static_cast<int>(digits.size()) : static_cast<int>(dot)) + text.mid(e + 1).toInt();
        digits.remove(u'.');
        if (point >= digits.size()) {
            text = digits + QString(point - digits.size(), u'0');
        } else if (point <= 0) {
            text = QStringLiteral("0.") + QString(-point, u'0') + digits;
        } else {
            text = digits.left(point) + u'.' + digits.mid(point);
        }
    }
    return v < 0 ? QStringLiteral("(-") + text + u')' : text;
}

QString Interpretator::substitute(const QString& formula) const {
    QString text = formula;
    for (const auto& [name, value] : parameters_) {
        if (!name.isEmpty()) text.replace(name, valueText(value), Qt::CaseSensitive);
    }
    return text;
}

Interpretator::Outcome Interpretator::evaluate(const QString& text) {
    return Parser(text).run();
}

void Interpretator::showError(const QString& formula, const QString& substituted,
                              const QString& reason) const {
    QString text = tr("kv_Interpretator.Interpretator.calc.Exception1", u"Формула содержит ошибки:") + u'\n' +
                   formula + QStringLiteral("\n\n") +
                   tr("kv_Interpretator.Interpretator.calc.Exception2", u"Список параметров:") + u'\n';
    for (const auto& [name, value] : parameters_) {
        text += name + QStringLiteral(" = ") + value.toText() + u'\n';
    }
    text += u'\n' +
            tr("kv_Interpretator.Interpretator.calc.Exception3", u"Формула в результате преобразования:") +
            u'\n' + substituted + u'\n' + reason;
    ui::dialogs().message(text, ui::MsgType::Error, ui::Button::Ok, QString());
}

bool Interpretator::run(const QString& formula, Outcome& outcome) const {
    QString substituted;
    try {
        substituted = substitute(formula);
    } catch (const core::Exception& e) {
        // A parameter that is no number (null, a text) fails the formula like a syntax error.
        showError(formula, formula, e.message());
        return false;
    }
    outcome = evaluate(substituted);
    if (!outcome.ok) showError(formula, substituted, outcome.error);
    return outcome.ok;
}

long double Interpretator::calc(const QString& formula) const {
    if (formula.isEmpty()) return 0;
    Outcome outcome;
    return run(formula, outcome) ? outcome.value.toLong() : 0;
}

qint32 Interpretator::calcHundredths(const QString& formula) const {
    if (formula.isEmpty()) return 0;
    Outcome outcome;
    if (!run(formula, outcome)) return 0;
    const Number& v = outcome.value;
    i128 scaled;
    if (v.exact && !__builtin_mul_overflow(v.num, 100, &scaled) && absOf(scaled) <= kI64Max &&
        v.den <= kI64Max) {
        const qint64 h = Money100::divRoundHalfEven(static_cast<qint64>(scaled), static_cast<qint64>(v.den));
        if (h >= std::numeric_limits<qint32>::min() && h <= std::numeric_limits<qint32>::max()) {
            return static_cast<qint32>(h);
        }
    }
    try {
        return Money100::toHundredths(static_cast<double>(v.toLong()));
    } catch (const core::Exception& e) {
        showError(formula, substitute(formula), e.message());
        return 0;
    }
}

}  // namespace Common
