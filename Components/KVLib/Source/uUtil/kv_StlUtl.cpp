#include "kv_StlUtl.h"

namespace utl::StlUtl {

QString join(const std::set<QString>& texts, const QString& separator, bool quote) {
    QString text;
    bool first = true;
    for (const QString& item : texts) {
        if (!first) text += separator;
        text += quote ? u'\'' + item + u'\'' : item;
        first = false;
    }
    return text;
}

void split(const QString& text, QStringList& list, QChar separator, const QString& separatorSet) {
    const QString separators = separatorSet.isEmpty() ? QString(separator) : separatorSet;
    list.clear();
    QString item;
    for (const QChar c : text) {
        if (separators.contains(c)) {
            list.append(item);
            item.clear();
        } else {
            item += c;
        }
    }
    if (!item.isEmpty()) list.append(item);
}

QStringList splitTrimRight(const QString& text, QChar separator, const QString& separatorSet) {
    QStringList list;
    split(text, list, separator, separatorSet);
    for (QString& item : list) {
        qsizetype n = item.size();
        while (n > 0 && item[n - 1] == u' ') --n;
        item.truncate(n);
    }
    return list;
}

QString replaceAll(const QString& text, const QString& search, const QString& replacement) {
    // A replacement that holds the search text would be found again for ever: replace once, left to right.
    if (search.isEmpty()) return text;
    if (replacement.contains(search)) return QString(text).replace(search, replacement);
    QString result = text;
    qsizetype from = 0;
    for (qsizetype at; (at = result.indexOf(search, from)) >= 0;) {
        result.replace(at, search.size(), replacement);
        // Nothing before `at` matched, and the text there is unchanged: a new occurrence can start no
        // earlier than one search length before the replaced place.
        from = std::max<qsizetype>(0, at - search.size() + 1);
    }
    return result;
}

}  // namespace utl::StlUtl
