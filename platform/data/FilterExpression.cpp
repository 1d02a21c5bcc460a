#include "platform/data/FilterExpression.h"

#include <QRegularExpression>
#include <optional>
#include <vector>

#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"

namespace data {

using core::Variant;

struct FilterExpression::Node {
    enum Kind { Field, Literal, Func, Not, And, Or, Compare, Like, IsNull } kind;
    QString text;  // field name, function name or comparison operator
    Variant value;
    bool negate = false;
    // The operands; AND and OR hold a whole chain, so a long chain costs no depth.
    std::vector<std::unique_ptr<Node>> args;
    // LIKE: the pattern last compiled, kept while its text and case rule stay the same.
    struct Compiled {
        QString pattern;
        bool caseInsensitive = false;
        QRegularExpression re;
    };
    mutable std::optional<Compiled> compiled;
};

namespace {

using Node = FilterExpression::Node;

// Parentheses, NOT and function calls nest; beyond this many levels the parser would need a deep stack.
constexpr int kMaxNesting = 256;

struct Token {
    enum Type { End, Name, String, Number, Op, Minus, LParen, RParen } type = End;
    QString text;
};

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> out;
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < n;) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'\'') {
            QString text;
            int j = i + 1;
            for (;; ++j) {
                if (j >= n) throw core::Exception(QStringLiteral("Unterminated string in filter: ") + s);
                if (s[j] == u'\'') {
                    if (j + 1 < n && s[j + 1] == u'\'') {
                        text += u'\'';
                        ++j;
                        continue;
                    }
                    break;
                }
                text += s[j];
            }
            out.push_back({Token::String, text});
            i = j + 1;
        } else if (c == u'"' || c == u'[') {
            const QChar close = c == u'"' ? u'"' : u']';
            const int j = s.indexOf(close, i + 1);
            if (j < 0) throw core::Exception(QStringLiteral("Unterminated name in filter: ") + s);
            out.push_back({Token::Name, s.mid(i + 1, j - i - 1)});
            i = j + 1;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            int j = i;
            while (j < n && (s[j].isDigit() || s[j] == u'.')) ++j;
            out.push_back({Token::Number, s.mid(i, j - i)});
            i = j;
        } else if (c.isLetter() || c == u'_') {
            int j = i;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == u'_' || s[j] == u'.' || s[j] == u'$')) ++j;
            out.push_back({Token::Name, s.mid(i, j - i)});
            i = j;
        } else if (c == u'-') {
            out.push_back({Token::Minus, QStringLiteral("-")});
            ++i;
        } else if (c == u'(') {
            out.push_back({Token::LParen, QStringLiteral("(")});
            ++i;
        } else if (c == u')') {
            out.push_back({Token::RParen, QStringLiteral(")")});
            ++i;
        } else if (c == u'<' || c == u'>' || c == u'=' || c == u'!') {
            QString op(c);
            if (i + 1 < n && (s[i + 1] == u'=' || (c == u'<' && s[i + 1] == u'>'))) op += s[i + 1];
            if (op == QStringLiteral("!=")) op = QStringLiteral("<>");
            out.push_back({Token::Op, op});
            i += static_cast<int>(op.size());
        } else {
            throw core::Exception(QStringLiteral("Unexpected character '%1' in filter: %2").arg(c).arg(s));
        }
    }
    out.push_back({Token::End, {}});
    return out;
}

class Parser {
public:
    explicit Parser(const QString& text) : text_(text), tokens_(tokenize(text)) {}

    std::unique_ptr<Node> parseAll() {
        auto node = parseOr();
        if (peek().type != Token::End) fail();
        return node;
    }

private:
    const Token& peek() const { return tokens_[pos_]; }
    bool isWord(const char* word) const {
        return peek().type == Token::Name && peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    [[noreturn]] void fail() const {
        throw core::Exception(QStringLiteral("Filter expression incorrectly formed: ") + text_);
    }
    static std::unique_ptr<Node> make(Node::Kind kind) {
        auto n = std::make_unique<Node>();
        n->kind = kind;
        return n;
    }

    // One more level of nesting for the scope of the object.
    class Nested {
    public:
        explicit Nested(Parser& p) : p_(p) {
            if (p_.depth_ >= kMaxNesting) {
                throw core::Exception(
                    QStringLiteral("Filter expression nested too deeply: more than %1 levels of parentheses, "
                                   "NOT and functions")
                        .arg(kMaxNesting));
            }
            ++p_.depth_;
        }
        ~Nested() { --p_.depth_; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;

    private:
        Parser& p_;
    };

    std::unique_ptr<Node> parseOr() { return parseChain(Node::Or, "OR", &Parser::parseAnd); }
    std::unique_ptr<Node> parseAnd() { return parseChain(Node::And, "AND", &Parser::parseNot); }
    // "a op b op c ..." as one node holding every operand (a single operand stands alone).
    std::unique_ptr<Node> parseChain(Node::Kind kind, const char* word,
                                     std::unique_ptr<Node> (Parser::*operand)()) {
        auto first = (this->*operand)();
        if (!isWord(word)) return first;
        auto n = make(kind);
        n->args.push_back(std::move(first));
        while (isWord(word)) {
            ++pos_;
            n->args.push_back((this->*operand)());
        }
        return n;
    }
    std::unique_ptr<Node> parseNot() {
        if (isWord("NOT")) {
            const Nested nested(*this);
            ++pos_;
            auto n = make(Node::Not);
            n->args.push_back(parseNot());
            return n;
        }
        return parseCompare();
    }
    std::unique_ptr<Node> parseCompare() {
        auto left = parseOperand();
        if (peek().type == Token::Op) {
            auto n = make(Node::Compare);
            n->text = tokens_[pos_++].text;
            n->args.push_back(std::move(left));
            n->args.push_back(parseOperand());
            return n;
        }
        bool negate = false;
        if (isWord("NOT") && tokens_[pos_ + 1].type == Token::Name &&
            tokens_[pos_ + 1].text.compare(QLatin1String("LIKE"), Qt::CaseInsensitive) == 0) {
            negate = true;
            ++pos_;
        }
        if (isWord("LIKE")) {
            ++pos_;
            auto n = make(Node::Like);
            n->negate = negate;
            n->args.push_back(std::move(left));
            n->args.push_back(parseOperand());
            return n;
        }
        if (isWord("IS")) {
            ++pos_;
            auto n = make(Node::IsNull);
            if (isWord("NOT")) {
                n->negate = true;
                ++pos_;
            }
            if (!isWord("NULL")) fail();
            ++pos_;
            n->args.push_back(std::move(left));
            return n;
        }
        return left;
    }
    std::unique_ptr<Node> parseOperand() {
        const Token t = peek();
        switch (t.type) {
            case Token::LParen: {
                const Nested nested(*this);
                ++pos_;
                auto n = parseOr();
                if (peek().type != Token::RParen) fail();
                ++pos_;
                return n;
            }
            case Token::String: {
                ++pos_;
                auto n = make(Node::Literal);
                n->value = t.text;
                return n;
            }
            case Token::Minus:
            case Token::Number: {
                ++pos_;
                QString text = t.text;
                if (t.type == Token::Minus) {
                    if (peek().type != Token::Number) fail();
                    text += tokens_[pos_++].text;
                }
                auto n = make(Node::Literal);
                n->value = number(text);
                return n;
            }
            case Token::Name: {
                ++pos_;
                if (t.text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0) {
                    auto n = make(Node::Literal);
                    n->value = Variant::null();
                    return n;
                }
                if (peek().type == Token::LParen) {
                    const Nested nested(*this);
                    const QString fn = t.text.toUpper();
                    if (fn != QStringLiteral("UPCASE") && fn != QStringLiteral("UPPER") && fn != QStringLiteral("LOWER")) {
                        fail();
                    }
                    ++pos_;
                    auto n = make(Node::Func);
                    n->text = fn;
                    n->args.push_back(parseOr());
                    if (peek().type != Token::RParen) fail();
                    ++pos_;
                    return n;
                }
                auto n = make(Node::Field);
                n->text = t.text;
                return n;
            }
            default: fail();
        }
    }

    // A whole number that fits 64 bits stays one; anything else is a double.
    Variant number(const QString& text) const {
        bool ok = false;
        if (!text.contains(u'.')) {
            const qint64 whole = text.toLongLong(&ok);
            if (ok) return Variant(whole);
        }
        const double d = text.toDouble(&ok);
        if (!ok) fail();
        return Variant(d);
    }

    QString text_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    int depth_ = 0;
};

// SQL's three truth values: a comparison with NULL is unknown, and only a true filter passes a row.
enum class Truth { False, True, Unknown };

Truth known(bool b) {
    return b ? Truth::True : Truth::False;
}

struct Evaluator {
    const FilterExpression::FieldReader& field;
    const FilterOptions& options;

    Variant value(const Node& n) const {
        switch (n.kind) {
            case Node::Field: return field(n.text);
            case Node::Literal: return n.value;
            case Node::Func: {
                const Variant v = value(*n.args[0]);
                if (v.isEmpty()) return Variant::null();
                return n.text == QStringLiteral("LOWER") ? Variant(v.toText().toLower()) : Variant(v.toText().toUpper());
            }
            default: {
                const Truth t = truth(n);
                return t == Truth::Unknown ? Variant::null() : Variant(t == Truth::True);
            }
        }
    }

    // Compares two non-null values; text against anything compares as text, numbers and dates as numbers.
    int compare(const Variant& a, const Variant& b) const {
        const bool aText = a.type() == core::VarType::Text;
        const bool bText = b.type() == core::VarType::Text;
        if (!aText && !bText) {
            const double x = a.toDouble(), y = b.toDouble();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        if (aText != bText) {
            // A typed value against a literal: read the literal as that type when it can be.
            const Variant& typed = aText ? b : a;
            const Variant& literal = aText ? a : b;
            if (typed.type() == core::VarType::DateTime) {
                core::DateTime d;
                if (core::tryStrToDateTime(literal.toText(), d)) {
                    const double x = typed.toDouble(), y = d.value();
                    const int r = x < y ? -1 : (x > y ? 1 : 0);
                    return aText ? -r : r;
                }
            } else if (typed.isNumeric()) {
                double d = 0;
                if (core::tryStrToFloat(literal.toText(), d)) {
                    const double x = typed.toDouble();
                    const int r = x < d ? -1 : (x > d ? 1 : 0);
                    return aText ? -r : r;
                }
            }
        }
        const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return QString::compare(a.toText(), b.toText(), cs);
    }

    // The LIKE pattern as a regular expression, compiled once while the pattern stays the same.
    const QRegularExpression& likePattern(const Node& n, const QString& like) const {
        const bool ci = options.caseInsensitive;
        if (n.compiled && n.compiled->pattern == like && n.compiled->caseInsensitive == ci)
            return n.compiled->re;
        QString pattern;
        for (QChar c : like) {
            if (c == u'%') {
                pattern += QStringLiteral(".*");
            } else if (c == u'_') {
                pattern += u'.';
            } else {
                pattern += QRegularExpression::escape(QString(c));
            }
        }
        QRegularExpression re(
            QRegularExpression::anchoredPattern(pattern),
            QRegularExpression::DotMatchesEverythingOption |
                (ci ? QRegularExpression::CaseInsensitiveOption : QRegularExpression::NoPatternOption));
        re.optimize();
        n.compiled = Node::Compiled{like, ci, std::move(re)};
        return n.compiled->re;
    }

    Truth truth(const Node& n) const {
        switch (n.kind) {
            case Node::Not: {
                const Truth t = truth(*n.args[0]);
                return t == Truth::Unknown ? t : known(t == Truth::False);
            }
            case Node::And:
            case Node::Or: {
                // AND stops at the first false operand, OR at the first true one; an unknown one leaves
                // the chain unknown unless a deciding operand follows.
                const Truth decides = n.kind == Node::And ? Truth::False : Truth::True;
                Truth result = n.kind == Node::And ? Truth::True : Truth::False;
                for (const auto& arg : n.args) {
                    const Truth t = truth(*arg);
                    if (t == decides) return t;
                    if (t == Truth::Unknown) result = t;
                }
                return result;
            }
            case Node::IsNull:
                return known(value(*n.args[0]).isEmpty() != n.negate);
            case Node::Like: {
                const Variant text = value(*n.args[0]);
                const Variant like = value(*n.args[1]);
                if (text.isEmpty() || like.isEmpty()) return Truth::Unknown;
                return known(likePattern(n, like.toText()).match(text.toText()).hasMatch() != n.negate);
            }
            case Node::Compare: {
                const Variant a = value(*n.args[0]);
                const Variant b = value(*n.args[1]);
                if (a.isEmpty() || b.isEmpty()) return Truth::Unknown;  // NULL satisfies no comparison
                const QString& op = n.text;
                // A text literal ending in "*" matches the texts that start with it.
                if (!options.noPartialCompare && (op == QStringLiteral("=") || op == QStringLiteral("<>")) &&
                    n.args[1]->kind == Node::Literal && b.type() == core::VarType::Text && b.toText().endsWith(u'*')) {
                    const QString prefix = b.toText().chopped(1);
                    const bool match = a.toText().startsWith(
                        prefix, options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
                    return known(op == QStringLiteral("=") ? match : !match);
                }
                const int r = compare(a, b);
                if (op == QStringLiteral("=")) return known(r == 0);
                if (op == QStringLiteral("<>")) return known(r != 0);
                if (op == QStringLiteral("<")) return known(r < 0);
                if (op == QStringLiteral(">")) return known(r > 0);
                if (op == QStringLiteral("<=")) return known(r <= 0);
                if (op == QStringLiteral(">=")) return known(r >= 0);
                return Truth::False;
            }
            default: {
                const Variant v = value(n);
                return v.isEmpty() ? Truth::Unknown : known(v.toBool());
            }
        }
    }
};

}  // namespace

FilterExpression::~FilterExpression() = default;

std::shared_ptr<FilterExpression> FilterExpression::parse(const QString& text) {
    auto expr = std::make_shared<FilterExpression>();
    expr->root_ = Parser(text).parseAll();
    return expr;
}

bool FilterExpression::evaluate(const FieldReader& field, const FilterOptions& options) const {
    if (!root_) return true;
    return Evaluator{field, options}.truth(*root_) == Truth::True;
}

}  // namespace data
