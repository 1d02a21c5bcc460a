#include "RtfText.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <set>
#include <vector>

namespace rtftest {

QString rtfToText(const QByteArray& rtf) {
    static const std::set<QByteArray> hidden{"fonttbl", "colortbl", "stylesheet", "info",    "pict",
                                             "header",  "footer",   "listtable",  "rsidtbl", "generator",
                                             "fldinst", "listtext", "pntext",     "pgdsctbl"};
    struct State {
        int uc = 1;
        bool skip = false;
    };
    std::vector<State> stack;
    State st;
    QByteArray pending;  // 8-bit text waiting to be decoded in the document's code page
    QString out;
    QByteArray codec = "windows-1252";
    int fallback = 0;
    bool first = false;
    auto flush = [&] {
        if (!pending.isEmpty()) {
            QStringDecoder d(codec.constData());
            out += d.decode(pending);
            pending.clear();
        }
    };
    auto put = [&](QChar c) {
        flush();
        out += c;
    };
    const int n = rtf.size();
    for (int i = 0; i < n;) {
        const char c = rtf[i];
        if (c == '{') {
            stack.push_back(st);
            first = true;
            fallback = 0;
            ++i;
            continue;
        }
        if (c == '}') {
            if (!stack.empty()) {
                st = stack.back();
                stack.pop_back();
            }
            first = false;
            fallback = 0;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        const bool wasFirst = first;
        first = false;
        if (c != '\\') {
            if (fallback > 0)
                --fallback;
            else if (!st.skip)
                pending += c;
            ++i;
            continue;
        }
        const char d = i + 1 < n ? rtf[i + 1] : ' ';
        if (d == '\'') {
            if (fallback > 0)
                --fallback;
            else if (!st.skip)
                pending += static_cast<char>(rtf.mid(i + 2, 2).toInt(nullptr, 16));
            i += 4;
            continue;
        }
        if (!((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z'))) {
            i += 2;
            if (d == '*' && wasFirst) {
                st.skip = true;
                continue;
            }
            if (fallback > 0) {
                --fallback;
                continue;
            }
            if (!st.skip && (d == '\\' || d == '{' || d == '}'))
                pending += d;
            else if (!st.skip && d == '~')
                put(QChar(0xA0));
            continue;
        }
        int j = i + 1;
        while (j < n && ((rtf[j] >= 'a' && rtf[j] <= 'z') || (rtf[j] >= 'A' && rtf[j] <= 'Z'))) ++j;
        const QByteArray word = rtf.mid(i + 1, j - i - 1);
        const int p0 = j;
        if (j < n && rtf[j] == '-') ++j;
        while (j < n && rtf[j] >= '0' && rtf[j] <= '9') ++j;
        const int param = rtf.mid(p0, j - p0).toInt();
        if (j < n && rtf[j] == ' ') ++j;
        i = j;
        if (wasFirst && hidden.count(word)) {
            st.skip = true;
            continue;
        }
        if (word == "bin") {
            i += param;
            continue;
        }
        if (st.skip) continue;
        if (word == "u") {
            put(QChar(static_cast<char16_t>(param < 0 ? param + 65536 : param)));
            fallback = st.uc;
            continue;
        }
        if (fallback > 0) {
            --fallback;
            continue;
        }
        if (word == "uc")
            st.uc = param;
        else if (word == "ansicpg")
            codec = "windows-" + QByteArray::number(param);
        else if (word == "par" || word == "cell" || word == "row" || word == "line" || word == "sect")
            put(QLatin1Char('\n'));
        else if (word == "tab")
            put(QLatin1Char('\t'));
    }
    flush();
    return out;
}

QStringList lines(const QString& text) {
    QStringList result;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")))) {
        QString t = line;
        t.replace(QChar(0xFEFF), QString());
        t.replace(QChar(0xA0), QLatin1Char(' '));
        t = t.trimmed();
        if (!t.isEmpty()) result << t;
    }
    return result;
}

}  // namespace rtftest
