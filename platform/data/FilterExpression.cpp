#include "platform/data/FilterExpression.h"

#include <QRegularExpression>
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
    std::vector<std::unique_ptr<Node>> args;
};

namespace {

using Node = FilterExpression::Node;

struct Token {
    enum Type { End, Name, String, Number, Op, LParen, RParen } type = End;
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

    std::unique_ptr<Node> parseOr() {
        auto left = parseAnd();
        while (isWord("OR")) {
            ++pos_;
            auto n = make(Node::Or);
            n->args.push_back(std::move(left));
            n->args.push_back(parseAnd());
            left = std::move(n);
        }
        return left;
    }
    std::unique_ptr<Node> parseAnd() {
        auto left = parseNot();
        while (isWord("AND")) {
            ++pos_;
            auto n = make(Node::And);
            n->args.push_back(std::move(left));
            n->args.push_back(parseNot());
            left = std::move(n);
        }
        return left;
    }
    std::unique_ptr<Node> parseNot() {
        if (isWord("NOT")) {
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
            case Token::Number: {
                ++pos_;
                auto n = make(Node::Literal);
                bool ok = false;
                const double d = t.text.toDouble(&ok);
                if (!ok) fail();
                n->value = t.text.contains(u'.') ? Variant(d) : Variant(static_cast<qint64>(d));
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

    QString text_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
};

struct Evaluator {
    const FilterExpression::FieldReader& field;
    const FilterOptions& options;

    Variant value(const Node& n) const {
        switch (n.kind) {
            case Node::Field: return field(n.text);
            case Node::Literal: return n.value;
            case Node::Func: {
                const Variant v = value(*n.args[0]);
                if (v.isEmpty()) return v;
                return n.text == QStringLiteral("LOWER") ? Variant(v.toText().toLower()) : Variant(v.toText().toUpper());
            }
            default: return Variant(truth(n));
        }
    }

    // Compares two values; text against anything compares as text, numbers and dates as numbers.
    int compare(const Variant& a, const Variant& b, bool& comparable) const {
        comparable = true;
        const bool aText = a.type() == core::VarType::Text || a.isEmpty();
        const bool bText = b.type() == core::VarType::Text || b.isEmpty();
        if (!aText && !bText) {
            const double x = a.toDouble(), y = b.toDouble();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        if (aText != bText) {
            // A typed value against a literal: read the literal as that type when it can be.
            const Variant& typed = aText ? b : a;
            const Variant& literal = aText ? a : b;
            if (!literal.isEmpty() && typed.type() == core::VarType::DateTime) {
                core::DateTime d;
                if (core::tryStrToDateTime(literal.toText(), d)) {
                    const double x = typed.toDouble(), y = d.value();
                    const int r = x < y ? -1 : (x > y ? 1 : 0);
                    return aText ? -r : r;
                }
            } else if (!literal.isEmpty() && typed.isNumeric()) {
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

    bool truth(const Node& n) const {
        switch (n.kind) {
            case Node::Not: return !truth(*n.args[0]);
            case Node::And: return truth(*n.args[0]) && truth(*n.args[1]);
            case Node::Or: return truth(*n.args[0]) || truth(*n.args[1]);
            case Node::IsNull: return value(*n.args[0]).isEmpty() != n.negate;
            case Node::Like: {
                const QString text = value(*n.args[0]).toText();
                QString pattern;
                for (QChar c : value(*n.args[1]).toText()) {
                    if (c == u'%') {
                        pattern += QStringLiteral(".*");
                    } else if (c == u'_') {
                        pattern += u'.';
                    } else {
                        pattern += QRegularExpression::escape(QString(c));
                    }
                }
                QRegularExpression re(QRegularExpression::anchoredPattern(pattern),
                                      QRegularExpression::DotMatchesEverythingOption |
                                          (options.caseInsensitive ? QRegularExpression::CaseInsensitiveOption
                                                                   : QRegularExpression::NoPatternOption));
                return re.match(text).hasMatch() != n.negate;
            }
            case Node::Compare: {
                const Variant a = value(*n.args[0]);
                const Variant b = value(*n.args[1]);
                if ((a.isNull() && n.args[0]->kind != Node::Field) || (b.isNull() && n.args[1]->kind != Node::Field)) {
                    return false;  // comparing with NULL itself is never true
                }
                const QString& op = n.text;
                // A text literal ending in "*" matches the texts that start with it.
                if (!options.noPartialCompare && (op == QStringLiteral("=") || op == QStringLiteral("<>")) &&
                    n.args[1]->kind == Node::Literal && b.type() == core::VarType::Text && b.toText().endsWith(u'*')) {
                    const QString prefix = b.toText().chopped(1);
                    const bool match = a.toText().startsWith(
                        prefix, options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
                    return op == QStringLiteral("=") ? match : !match;
                }
                bool comparable = true;
                const int r = compare(a, b, comparable);
                if (op == QStringLiteral("=")) return r == 0;
                if (op == QStringLiteral("<>")) return r != 0;
                if (op == QStringLiteral("<")) return r < 0;
                if (op == QStringLiteral(">")) return r > 0;
                if (op == QStringLiteral("<=")) return r <= 0;
                if (op == QStringLiteral(">=")) return r >= 0;
                return false;
            }
            default: return value(n).toBool();
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
    return Evaluator{field, options}.truth(*root_);
}

}  // namespace data
