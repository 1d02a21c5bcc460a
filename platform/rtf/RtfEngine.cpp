#include "RtfEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>
#include <array>
#include <set>

namespace rtf {

namespace {

enum class Kind { Open, Close, Word, Symbol, Hex, Text, Skip };

// One piece of the template as written: a group brace, a control word or symbol, a hex character,
// one text byte, or bytes the reader passes over (line ends, binary data).
struct Element {
    Kind kind;
    int begin;
    int end;
    int depth;  // group depth before the element
};

// One character of the visible text and the elements that write it (\uN with its fallback).
struct Atom {
    char16_t ch;
    int first;
    int last;
    int flow;  // a paragraph of one text flow; tokens never cross flows
    int uc;
    bool inTable;
    int para;
};

enum class Boundary { Par, Cell, Row, Sect };

struct Lexed {
    std::vector<Element> elements;
    std::vector<Atom> atoms;
    std::vector<std::pair<int, Boundary>> boundaries;  // element index of \par, \cell, \row, \sect
    std::vector<int> rowDefs;                          // element index of \trowd
    int bodyStart = 0;
    int finalDepth = 0;
};

// Groups word processors write for themselves: no visible text of the document inside.
const std::set<QByteArray>& hiddenDestinations() {
    static const std::set<QByteArray> names{"fonttbl",    "colortbl",
                                            "stylesheet", "info",
                                            "pict",       "object",
                                            "listtable",  "listoverridetable",
                                            "revtbl",     "rsidtbl",
                                            "generator",  "xmlnstbl",
                                            "themedata",  "colorschememapping",
                                            "datastore",  "latentstyles",
                                            "pgdsctbl",   "fldinst",
                                            "listtext",   "pntext",
                                            "pntxta",     "pntxtb",
                                            "private",    "filetbl",
                                            "mmathPr",    "defchp",
                                            "defpap",     "wgrffmtfilter",
                                            "nonshppict", "author",
                                            "operator",   "title",
                                            "subject",    "keywords",
                                            "comment",    "doccomm",
                                            "company",    "creatim",
                                            "revtim",     "printim",
                                            "buptim",     "userprops",
                                            "ftnsep",     "ftnsepc",
                                            "aftnsep",    "aftnsepc",
                                            "bkmkstart",  "bkmkend",
                                            "fldtype",    "shpinst",
                                            "sp",         "sn",
                                            "sv",         "listpicture",
                                            "panose",     "falt"};
    return names;
}

// Groups whose text is visible but flows apart from the body.
const std::set<QByteArray>& separateFlows() {
    static const std::set<QByteArray> names{"header",   "headerl",    "headerr", "headerf",
                                            "footer",   "footerl",    "footerr", "footerf",
                                            "footnote", "annotation", "shptxt"};
    return names;
}

struct GroupState {
    int uc = 1;
    bool inTable = false;
    bool hidden = false;
    int flowGroup = 0;
};

class Lexer {
public:
    explicit Lexer(const QByteArray& src) : src_(src) {}

    Lexed run() {
        std::vector<GroupState> stack;
        GroupState st;
        int depth = 0;
        int flow = 0;
        int para = 1;
        int ucSkip = 0;  // fallback characters still to pass over after \uN
        bool groupStart = false;
        int nextFlowGroup = 1;
        bool seenText = false;
        const int n = src_.size();
        int i = 0;
        auto add = [&](Kind kind, int begin, int end) {
            out_.elements.push_back(Element{kind, begin, end, depth});
            return static_cast<int>(out_.elements.size()) - 1;
        };
        auto visible = [&](char16_t ch, int elem) {
            if (st.hidden) return;
            if (ucSkip > 0 && !out_.atoms.empty()) {
                // Part of the fallback of the \uN before: it belongs to that character.
                --ucSkip;
                out_.atoms.back().last = elem;
                return;
            }
            out_.atoms.push_back(Atom{ch, elem, elem, flow, st.uc, st.inTable, para});
            seenText = true;
        };
        auto fallbackOnly = [&](int elem) {
            if (ucSkip > 0 && !st.hidden && !out_.atoms.empty()) {
                --ucSkip;
                out_.atoms.back().last = elem;
                return true;
            }
            return false;
        };
        while (i < n) {
            const char c = src_[i];
            if (c == '{') {
                add(Kind::Open, i, i + 1);
                stack.push_back(st);
                ++depth;
                ++i;
                groupStart = true;
                ucSkip = 0;
                continue;
            }
            if (c == '}') {
                const int e = add(Kind::Close, i, i + 1);
                ++i;
                groupStart = false;
                ucSkip = 0;
                if (!stack.empty()) {
                    const GroupState closed = st;
                    st = stack.back();
                    stack.pop_back();
                    // Hidden groups write nothing, so text around them stays one flow.
                    if (closed.flowGroup != st.flowGroup && !closed.hidden) ++flow;
                    if (closed.hidden && !st.hidden && !seenText && depth == 2) out_.bodyStart = e + 1;
                }
                --depth;
                continue;
            }
            if (c == '\r' || c == '\n') {
                add(Kind::Skip, i, i + 1);
                ++i;
                continue;
            }
            if (c != '\\') {
                const int e = add(Kind::Text, i, i + 1);
                groupStart = false;
                visible(decode(static_cast<uchar>(c)), e);
                ++i;
                continue;
            }
            // A control word or symbol.
            if (i + 1 >= n) {
                add(Kind::Text, i, i + 1);
                ++i;
                continue;
            }
            const char d = src_[i + 1];
            if (d == '\'') {
                const int end = std::min(n, i + 4);
                const int e = add(Kind::Hex, i, end);
                groupStart = false;
                bool ok = false;
                const int byte = src_.mid(i + 2, 2).toInt(&ok, 16);
                visible(decode(static_cast<uchar>(ok ? byte : '?')), e);
                i = end;
                continue;
            }
            if (!isAsciiLetter(d)) {
                const int e = add(Kind::Symbol, i, i + 2);
                i += 2;
                const bool first = groupStart;
                groupStart = false;
                if (d == '*' && first) {
                    enterDestination(st, nextFlowGroup, true);
                    continue;
                }
                if (fallbackOnly(e)) continue;
                switch (d) {
                    case '\\':
                    case '{':
                    case '}':
                        visible(static_cast<char16_t>(d), e);
                        break;
                    case '~':
                        visible(u'\u00A0', e);
                        break;
                    case '_':
                        visible(u'\u2011', e);
                        break;
                    case '\r':
                    case '\n':
                        boundary(e, Boundary::Par, flow, para, st.hidden);
                        break;
                    default:
                        break;
                }
                continue;
            }
            int j = i + 1;
            while (j < n && isAsciiLetter(src_[j])) ++j;
            const QByteArray word = src_.mid(i + 1, j - i - 1);
            int paramStart = j;
            if (j < n && src_[j] == '-') ++j;
            while (j < n && src_[j] >= '0' && src_[j] <= '9') ++j;
            const bool hasParam = j > paramStart && !(j == paramStart + 1 && src_[paramStart] == '-');
            const int param = hasParam ? src_.mid(paramStart, j - paramStart).toInt() : 0;
            if (j < n && src_[j] == ' ') ++j;
            if (word == "bin" && hasParam) {
                const int end = std::min(n, j + std::max(0, param));
                add(Kind::Skip, i, end);
                i = end;
                groupStart = false;
                continue;
            }
            const int e = add(Kind::Word, i, j);
            i = j;
            const bool first = groupStart;
            groupStart = false;
            if (first && hiddenDestinations().count(word)) {
                enterDestination(st, nextFlowGroup, true);
                continue;
            }
            if (first && separateFlows().count(word)) {
                enterDestination(st, nextFlowGroup, false);
                ++flow;
                continue;
            }
            if (word == "rtf" && depth == 1 && !seenText) out_.bodyStart = e + 1;
            if (word == "u" && hasParam) {
                if (fallbackOnly(e)) continue;
                visible(static_cast<char16_t>(param < 0 ? param + 65536 : param), e);
                if (!st.hidden) ucSkip = st.uc;
                continue;
            }
            if (fallbackOnly(e)) continue;
            if (word == "uc") {
                st.uc = std::max(0, param);
            } else if (word == "ansicpg") {
                setCodePage(param);
            } else if (word == "pard") {
                st.inTable = false;
            } else if (word == "intbl") {
                st.inTable = true;
            } else if (word == "trowd") {
                if (!st.hidden) out_.rowDefs.push_back(e);
            } else if (word == "par") {
                boundary(e, Boundary::Par, flow, para, st.hidden);
            } else if (word == "cell" || word == "nestcell") {
                boundary(e, Boundary::Cell, flow, para, st.hidden);
            } else if (word == "row" || word == "nestrow") {
                boundary(e, Boundary::Row, flow, para, st.hidden);
            } else if (word == "sect") {
                boundary(e, Boundary::Sect, flow, para, st.hidden);
            } else if (word == "tab") {
                visible(u'\t', e);
            } else if (word == "line") {
                visible(u'\n', e);
            } else if (word == "emdash") {
                visible(u'\u2014', e);
            } else if (word == "endash") {
                visible(u'\u2013', e);
            } else if (word == "lquote") {
                visible(u'\u2018', e);
            } else if (word == "rquote") {
                visible(u'\u2019', e);
            } else if (word == "ldblquote") {
                visible(u'\u201C', e);
            } else if (word == "rdblquote") {
                visible(u'\u201D', e);
            } else if (word == "bullet") {
                visible(u'\u2022', e);
            }
        }
        out_.finalDepth = depth;
        return std::move(out_);
    }

private:
    static bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    void enterDestination(GroupState& st, int& nextFlowGroup, bool hidden) {
        st.hidden = st.hidden || hidden;
        st.flowGroup = nextFlowGroup++;
    }

    void boundary(int elem, Boundary kind, int& flow, int& para, bool hidden) {
        if (hidden) return;
        out_.boundaries.emplace_back(elem, kind);
        ++flow;
        ++para;
    }

    char16_t decode(uchar byte) const {
        if (byte < 0x80) return byte;
        return codePage_[byte - 0x80];
    }

    void setCodePage(int cp) {
        QStringDecoder decoder(QStringLiteral("windows-%1").arg(cp).toLatin1().constData());
        if (!decoder.isValid()) return;
        for (int b = 0x80; b < 0x100; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            codePage_[b - 0x80] = s.size() == 1 ? s[0].unicode() : u'?';
        }
    }

    const QByteArray& src_;
    Lexed out_;
    std::array<char16_t, 128> codePage_ = [] {
        std::array<char16_t, 128> a{};
        for (int b = 0; b < 128; ++b) a[b] = static_cast<char16_t>(0x80 + b);
        return a;
    }();
};

enum class TokenKind { Var, Column, Start, End };

struct Token {
    TokenKind kind;
    QString text;  // as written between the brackets
    QString name;  // variable name, or table name
    QString column;
    int firstAtom;
    int lastAtom;
};

struct Block {
    QString table;
    int startToken;
    int endToken;
    int begin;  // element range cut out and repeated
    int end;
};

bool isNameChar(char16_t c) {
    return c == u'_' || QChar(c).isLetterOrNumber();
}

bool isName(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (!isNameChar(c.unicode())) return false;
    return true;
}

class Filler {
public:
    Filler(const QByteArray& src, const std::map<QString, QString>& vars, const std::vector<Table>& tables)
        : src_(src), vars_(vars), tables_(tables) {}

    QByteArray run() {
        lx_ = Lexer(src_).run();
        findTokens();
        findBlocks();
        return produce();
    }

private:
    QString place(int atom) const {
        const Atom& a = lx_.atoms[atom];
        return QStringLiteral(" (абзац %1, байт %2)").arg(a.para).arg(lx_.elements[a.first].begin + 1);
    }

    [[noreturn]] void fail(const QString& what, int atom) const { throw TemplateError(what + place(atom)); }

    void findTokens() {
        const auto& atoms = lx_.atoms;
        const int n = static_cast<int>(atoms.size());
        int i = 0;
        while (i + 2 < n) {
            const bool starts =
                atoms[i].ch == u'[' && atoms[i + 1].ch == u'[' && atoms[i + 1].flow == atoms[i].flow &&
                atoms[i + 2].flow == atoms[i].flow &&
                (atoms[i + 2].ch == u'#' || atoms[i + 2].ch == u'/' || QChar(atoms[i + 2].ch).isLetter());
            if (!starts) {
                ++i;
                continue;
            }
            QString text;
            int k = i + 2;
            while (k + 1 < n && atoms[k].flow == atoms[i].flow &&
                   !(atoms[k].ch == u']' && atoms[k + 1].ch == u']' && atoms[k + 1].flow == atoms[i].flow)) {
                text += QChar(atoms[k].ch);
                ++k;
            }
            if (k + 1 >= n || atoms[k].flow != atoms[i].flow) {
                QString shown;
                for (int m = i; m < n && m < i + 40 && atoms[m].flow == atoms[i].flow; ++m)
                    shown += QChar(atoms[m].ch);
                fail(QStringLiteral("Метка «%1» не закрыта в своём абзаце").arg(shown), i);
            }
            tokens_.push_back(parseToken(text, i, k + 1));
            i = k + 2;
        }
    }

    Token parseToken(const QString& text, int first, int last) const {
        Token t{TokenKind::Var, text, {}, {}, first, last};
        const QString whole = QStringLiteral("[[") + text + QStringLiteral("]]");
        if (text.startsWith(u'#') || text.startsWith(u'/')) {
            t.kind = text.startsWith(u'#') ? TokenKind::Start : TokenKind::End;
            t.name = text.mid(1);
            if (isName(t.name)) return t;
        } else if (text.count(u'@') == 1 && !text.contains(u'.')) {
            const qsizetype at = text.indexOf(u'@');
            if (isName(text.left(at)) && isName(text.mid(at + 1))) {
                t.name = text;
                return t;
            }
        } else if (text.count(u'.') == 1 && !text.contains(u'@')) {
            const qsizetype dot = text.indexOf(u'.');
            t.kind = TokenKind::Column;
            t.name = text.left(dot);
            t.column = text.mid(dot + 1);
            if (isName(t.name) && isName(t.column)) return t;
        }
        fail(QStringLiteral("Неверная метка «%1»").arg(whole), first);
    }

    const Table* table(const QString& name) const {
        for (const Table& t : tables_)
            if (t.name == name) return &t;
        return nullptr;
    }

    QString shown(const Token& t) const { return QStringLiteral("[[") + t.text + QStringLiteral("]]"); }

    void findBlocks() {
        int open = -1;
        for (int i = 0; i < static_cast<int>(tokens_.size()); ++i) {
            const Token& t = tokens_[i];
            switch (t.kind) {
                case TokenKind::Start:
                    if (open >= 0)
                        fail(QStringLiteral("Блок «%1» вложен в блок «%2»")
                                 .arg(shown(t), shown(tokens_[open])),
                             t.firstAtom);
                    open = i;
                    break;
                case TokenKind::End:
                    if (open < 0)
                        fail(QStringLiteral("Конец блока «%1» без его начала").arg(shown(t)), t.firstAtom);
                    if (tokens_[open].name != t.name)
                        fail(QStringLiteral("Конец блока «%1» пересекает блок «%2»")
                                 .arg(shown(t), shown(tokens_[open])),
                             t.firstAtom);
                    blocks_.push_back(Block{t.name, open, i, 0, 0});
                    open = -1;
                    break;
                case TokenKind::Column: {
                    if (open < 0 || tokens_[open].name != t.name)
                        fail(QStringLiteral("Столбец «%1» стоит вне блока своей таблицы").arg(shown(t)),
                             t.firstAtom);
                    const Table* tab = table(t.name);
                    if (tab && !tab->columns.contains(t.column))
                        fail(QStringLiteral("В таблице «%1» нет столбца «%2»: «%3»")
                                 .arg(t.name, t.column, shown(t)),
                             t.firstAtom);
                    break;
                }
                case TokenKind::Var:
                    break;
            }
        }
        if (open >= 0)
            fail(QStringLiteral("Блок «%1» не закрыт").arg(shown(tokens_[open])), tokens_[open].firstAtom);
        int previousEnd = 0;
        for (Block& b : blocks_) {
            cut(b);
            if (b.begin < previousEnd)
                fail(QStringLiteral("Блок «%1» пересекает соседний блок в том же абзаце или строке")
                         .arg(shown(tokens_[b.startToken])),
                     tokens_[b.startToken].firstAtom);
            previousEnd = b.end;
        }
    }

    int depthBefore(int elem) const {
        return elem < static_cast<int>(lx_.elements.size()) ? lx_.elements[elem].depth : lx_.finalDepth;
    }

    void cut(Block& b) {
        const Token& start = tokens_[b.startToken];
        const Token& end = tokens_[b.endToken];
        const Atom& first = lx_.atoms[start.firstAtom];
        const int firstElem = first.first;
        const int lastElem = lx_.atoms[end.lastAtom].last;
        const auto& bounds = lx_.boundaries;
        const int n = static_cast<int>(lx_.elements.size());
        const bool rows = first.inTable;
        int begin = lx_.bodyStart;
        int paragraphBegin = begin;
        for (const auto& [elem, kind] : bounds) {
            if (elem >= firstElem) break;
            paragraphBegin = elem + 1;
            if (!rows || kind == Boundary::Row || kind == Boundary::Sect) begin = elem + 1;
        }
        if (rows) {
            // The row definition opens the row; without one the row starts after its last paragraph.
            bool found = false;
            for (int r : lx_.rowDefs)
                if (r >= begin && r < firstElem) {
                    begin = r;
                    found = true;
                    break;
                }
            if (!found) begin = paragraphBegin;
        }
        while (begin < firstElem && lx_.elements[begin].kind == Kind::Close) ++begin;
        int endElem = -1;
        for (const auto& [elem, kind] : bounds) {
            if (elem <= lastElem) continue;
            if (!rows || kind == Boundary::Row) {
                endElem = elem + 1;
                break;
            }
        }
        const QString what =
            QStringLiteral("Блок «%1» нельзя вырезать целыми группами RTF").arg(shown(start));
        if (endElem < 0) fail(what, start.firstAtom);
        const int base = depthBefore(begin);
        while (endElem < n && lx_.elements[endElem].kind == Kind::Close && lx_.elements[endElem].depth > base)
            ++endElem;
        if (depthBefore(endElem) != base) fail(what, start.firstAtom);
        for (int k = begin; k < endElem; ++k)
            if (lx_.elements[k].kind == Kind::Close && lx_.elements[k].depth <= base)
                fail(what, start.firstAtom);
        b.begin = begin;
        b.end = endElem;
    }

    QByteArray produce() {
        const int n = static_cast<int>(lx_.elements.size());
        removed_.assign(n, 0);
        replaceBy_.assign(n, -1);
        for (int t = 0; t < static_cast<int>(tokens_.size()); ++t) {
            const Token& tok = tokens_[t];
            for (int a = tok.firstAtom; a <= tok.lastAtom; ++a)
                for (int e = lx_.atoms[a].first; e <= lx_.atoms[a].last; ++e) removed_[e] = 1;
            if (tok.kind == TokenKind::Var || tok.kind == TokenKind::Column)
                replaceBy_[lx_.atoms[tok.firstAtom].first] = t;
        }
        QByteArray out;
        out.reserve(src_.size() * 2);
        int k = 0;
        for (const Block& b : blocks_) {
            write(out, k, b.begin, nullptr);
            if (const Table* tab = table(b.table)) {
                rowTable_ = tab;
                for (const QStringList& row : tab->rows) write(out, b.begin, b.end, &row);
                rowTable_ = nullptr;
            }
            k = b.end;
        }
        write(out, k, n, nullptr);
        return out;
    }

    void write(QByteArray& out, int from, int to, const QStringList* row) {
        for (int k = from; k < to; ++k) {
            const Element& e = lx_.elements[k];
            if (replaceBy_[k] >= 0) {
                const Token& tok = tokens_[replaceBy_[k]];
                QString value;
                if (tok.kind == TokenKind::Var) {
                    const auto it = vars_.find(tok.name);
                    if (it != vars_.end()) value = it->second;
                } else if (row && rowTable_) {
                    const qsizetype c = rowTable_->columns.indexOf(tok.column);
                    if (c >= 0 && c < row->size()) value = row->at(c);
                }
                out += escapeText(value, lx_.atoms[tok.firstAtom].uc);
                continue;
            }
            if (removed_[k]) continue;
            out.append(src_.constData() + e.begin, e.end - e.begin);
            // Control words always end in their delimiter, so whatever follows cannot lengthen them.
            if (e.kind == Kind::Word && src_[e.end - 1] != ' ') out += ' ';
        }
    }

    const QByteArray& src_;
    const std::map<QString, QString>& vars_;
    const std::vector<Table>& tables_;
    Lexed lx_;
    std::vector<Token> tokens_;
    std::vector<Block> blocks_;
    std::vector<char> removed_;
    std::vector<int> replaceBy_;
    const Table* rowTable_ = nullptr;
};

const QHash<char16_t, uchar>& cp1251() {
    static const QHash<char16_t, uchar> table = [] {
        QHash<char16_t, uchar> t;
        QStringDecoder decoder("windows-1251");
        for (int b = 0x80; b < 0x100; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            if (s.size() == 1 && s[0] != QChar::ReplacementCharacter)
                t.insert(s[0].unicode(), static_cast<uchar>(b));
        }
        return t;
    }();
    return table;
}

}  // namespace

QByteArray escapeText(const QString& text, int uc) {
    static const char hex[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(text.size() * 2);
    const auto& cp = cp1251();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
            case u'\\':
                out += "\\\\";
                continue;
            case u'{':
                out += "\\{";
                continue;
            case u'}':
                out += "\\}";
                continue;
            case u'\t':
                out += "\\tab ";
                continue;
            case u'\r':
                if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
                out += "\\line ";
                continue;
            case u'\n':
                out += "\\line ";
                continue;
            default:
                break;
        }
        if (c < 0x20) continue;
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        out += "\\u";
        out += QByteArray::number(c > 32767 ? static_cast<int>(c) - 65536 : static_cast<int>(c));
        if (uc <= 0) {
            out += ' ';
            continue;
        }
        const auto it = cp.find(c);
        if (it != cp.end()) {
            out += "\\'";
            out += hex[*it >> 4];
            out += hex[*it & 15];
        } else {
            out += '?';
        }
        for (int f = 1; f < uc; ++f) out += '?';
    }
    return out;
}

void Engine::createVar(const QString& name, const QString& value) {
    vars_.emplace(name, value);
}

QString Engine::varValue(const QString& name) const {
    const auto it = vars_.find(name);
    return it == vars_.end() ? QString() : it->second;
}

QByteArray Engine::fill(const QByteArray& rtf, const std::vector<Table>& tables) const {
    return Filler(rtf, vars_, tables).run();
}

QString Engine::execute(const std::vector<Table>& tables) {
    QFile in(inputFile_);
    if (!in.open(QIODevice::ReadOnly))
        throw core::Exception(QStringLiteral("Не удаётся открыть шаблон документа: ") + inputFile_);
    const QByteArray filled = fill(in.readAll(), tables);
    const QFileInfo target(outputFile_);
    const QDir folder = target.absoluteDir();
    if (!folder.exists() && !QDir().mkdir(folder.absolutePath()))
        throw core::Exception(QStringLiteral("Не удаётся создать папку документа: ") + folder.absolutePath());
    QSaveFile out(outputFile_);
    if (!out.open(QIODevice::WriteOnly) || out.write(filled) != filled.size() || !out.commit())
        throw core::Exception(QStringLiteral("Не удаётся записать документ: ") + outputFile_);
    return outputFile_;
}

}  // namespace rtf
