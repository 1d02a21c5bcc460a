#include "platform/fb/SqlText.h"

namespace fb {

namespace {

bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

}  // namespace

ParsedSql parseParams(const QString& sql) {
    ParsedSql out;
    out.text.reserve(sql.size());
    const int n = sql.size();
    for (int i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // A quote inside is written twice, which this loop reads as two adjacent literals.
            int end = sql.indexOf(c, i + 1);
            end = end < 0 ? n : end + 1;
            out.text += sql.mid(i, end - i);
            i = end;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            int end = sql.indexOf(u'\n', i);
            end = end < 0 ? n : end;
            out.text += sql.mid(i, end - i);
            i = end;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            int end = sql.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? n : end + 2;
            out.text += sql.mid(i, end - i);
            i = end;
        } else if (c == u':' && i + 1 < n && isNameChar(sql[i + 1]) && !sql[i + 1].isDigit()) {
            int end = i + 1;
            while (end < n && isNameChar(sql[end])) ++end;
            out.names << sql.mid(i + 1, end - i - 1).toUpper();
            out.text += u'?';
            i = end;
        } else {
            out.text += c;
            ++i;
        }
    }
    return out;
}

}  // namespace fb
