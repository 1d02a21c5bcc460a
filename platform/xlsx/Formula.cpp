#include "platform/xlsx/Formula.h"

#include <QRegularExpression>

namespace xlsx {

int columnIndex(const QString& letters) {
    if (letters.isEmpty() || letters.size() > 3) return -1;
    int n = 0;
    for (QChar c : letters) {
        const QChar u = c.toUpper();
        if (u < QLatin1Char('A') || u > QLatin1Char('Z')) return -1;
        n = n * 26 + (u.unicode() - 'A' + 1);
    }
    return n - 1;
}

QString columnLetters(int column) {
    QString s;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) s.prepend(QChar('A' + (n - 1) % 26));
    return s;
}

QString cellName(int row, int column) {
    return columnLetters(column) + QString::number(row + 1);
}

bool parseCellName(const QString& text, int& row, int& column) {
    static const QRegularExpression re(QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?(\\d+)$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return false;
    column = columnIndex(m.captured(1));
    row = m.captured(2).toInt() - 1;
    return row >= 0 && column >= 0;
}

QString quoteSheetName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[\\p{L}_][\\p{L}\\p{N}_.]*$"));
    static const QRegularExpression looksLikeCell(QStringLiteral("^[A-Za-z]{1,3}\\d+$"));
    if (plain.match(name).hasMatch() && !looksLikeCell.match(name).hasMatch()) return name;
    QString q = name;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

namespace {

QString unquote(QString sheet) {
    if (sheet.startsWith(QLatin1Char('\''))) {
        sheet = sheet.mid(1, sheet.size() - 2);
        sheet.replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    return sheet;
}

QString render(const Reference& r) {
    return (r.absColumn ? QStringLiteral("$") : QString()) + columnLetters(r.column) +
           (r.absRow ? QStringLiteral("$") : QString()) + QString::number(r.row + 1);
}

// Rewrites the references of a piece of formula that holds no string literal.
QString rewritePlain(const QString& text, const std::function<void(Reference&)>& rewrite) {
    // Optional sheet, a cell, optionally ":" and a second cell; not part of a longer name or a call.
    static const QRegularExpression re(QStringLiteral(
        "(?<![\\w.$])((?:'(?:[^']|'')+'|[\\p{L}_][\\p{L}\\p{N}_.]*)!)?(\\$?)([A-Za-z]{1,3})(\\$?)(\\d+)"
        "(?::(\\$?)([A-Za-z]{1,3})(\\$?)(\\d+))?(?![\\w(!])"));
    QString out;
    qsizetype pos = 0;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.mid(pos, m.capturedStart() - pos);
        pos = m.capturedEnd();
        const QString prefix = m.captured(1);
        const QString sheet = prefix.isEmpty() ? QString() : unquote(prefix.chopped(1));
        auto make = [&](int base) {
            Reference r;
            r.sheet = sheet;
            r.absColumn = !m.captured(base).isEmpty();
            r.column = columnIndex(m.captured(base + 1));
            r.absRow = !m.captured(base + 2).isEmpty();
            r.row = m.captured(base + 3).toInt() - 1;
            return r;
        };
        Reference first = make(2);
        rewrite(first);
        // A sheet left as it was keeps the producer's spelling.
        QString piece = first.sheet == sheet    ? prefix
                        : first.sheet.isEmpty() ? QString()
                                                : quoteSheetName(first.sheet) + QLatin1Char('!');
        piece += render(first);
        if (m.capturedLength(9) > 0) {
            Reference second = make(6);
            rewrite(second);
            piece += QLatin1Char(':') + render(second);
        }
        out += piece;
    }
    out += text.mid(pos);
    return out;
}

// Splits on string literals ("..." with "" inside) and applies f to the pieces outside them.
QString outsideStrings(const QString& formula, const std::function<QString(const QString&)>& f) {
    QString out, plain;
    for (qsizetype i = 0; i < formula.size(); ++i) {
        if (formula[i] != QLatin1Char('"')) {
            plain += formula[i];
            continue;
        }
        out += f(plain);
        plain.clear();
        qsizetype j = i + 1;
        while (j < formula.size()) {
            if (formula[j] == QLatin1Char('"')) {
                if (j + 1 < formula.size() && formula[j + 1] == QLatin1Char('"'))
                    j += 2;
                else
                    break;
            } else {
                ++j;
            }
        }
        out += formula.mid(i, j - i + 1);
        i = j;
    }
    out += f(plain);
    return out;
}

}  // namespace

QString rewriteReferences(const QString& formula, const std::function<void(Reference&)>& rewrite) {
    return outsideStrings(formula, [&](const QString& plain) { return rewritePlain(plain, rewrite); });
}

QString normalizeFormula(QString formula) {
    if (formula.startsWith(QLatin1Char('='))) formula.remove(0, 1);
    return outsideStrings(formula, [](QString plain) {
        plain.replace(QLatin1Char(';'), QLatin1Char(','));
        return plain;
    });
}

}  // namespace xlsx
