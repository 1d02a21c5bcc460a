#pragma once
// Lists joined into texts (the key lists inside SQL "in (...)" conditions) and texts split at
// separators.

#include <QString>
#include <QStringList>
#include <concepts>
#include <set>
#include <vector>

namespace utl::StlUtl {

namespace detail {
template <typename Range>
QString joinNumbers(const Range& numbers, const QString& separator) {
    QString text;
    bool first = true;
    for (const auto number : numbers) {
        if (!first) text += separator;
        text += QString::number(number);
        first = false;
    }
    return text;
}
}  // namespace detail

// The decimal texts in vector order with the separator between them; empty for an empty vector.
template <std::integral T>
QString join(const std::vector<T>& numbers, const QString& separator) {
    return detail::joinNumbers(numbers, separator);
}

// The same in ascending order.
template <std::integral T>
QString join(const std::set<T>& numbers, const QString& separator) {
    return detail::joinNumbers(numbers, separator);
}

// The texts in the set's order; with quote each one between single quotes, as it is (inner quotes are
// not doubled).
QString join(const std::set<QString>& texts, const QString& separator, bool quote);

// Clears the list, then appends the items of the text between separators: every separator ends an item,
// empty or not; the last item is appended only when it is not empty ("a,,b" gives a, "", b; "a,b,"
// gives a, b; ",a" gives "", a). The separators are the characters of separatorSet, or the separator
// alone when the set is empty.
void split(const QString& text, QStringList& list, QChar separator, const QString& separatorSet = QString());

// The items of split with their trailing blanks removed.
QStringList splitTrimRight(const QString& text, QChar separator, const QString& separatorSet = QString());

// Every occurrence of search replaced, each search starting again from the beginning of the text as
// it has become, so an occurrence formed by a replacement and the text around it is replaced too.
QString replaceAll(const QString& text, const QString& search, const QString& replacement);

}  // namespace utl::StlUtl
