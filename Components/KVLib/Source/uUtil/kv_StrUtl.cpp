#include "kv_StrUtl.h"

#include <algorithm>

namespace utl::StrUtl {

QString surnameInitials(const QString& surname, const QString& firstName, const QString& patronymic) {
    QString text = surname + u' ';
    if (!firstName.isEmpty()) text += firstName.left(1) + u'.';
    if (!patronymic.isEmpty()) text += patronymic.left(1) + u'.';
    return text;
}

QString intToStrZero(int number, int width) {
    return QString::number(number).rightJustified(width, u'0');
}

bool containsAnyChar(const QString& text, const QString& chars, int count) {
    const qsizetype n = std::min<qsizetype>(count, chars.size());
    for (qsizetype i = 0; i < n; ++i)
        if (text.contains(chars[i])) return true;
    return false;
}

}  // namespace utl::StrUtl
