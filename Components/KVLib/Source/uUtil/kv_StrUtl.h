#pragma once
// Names and numbers formatted for documents and signatures.

#include <QString>

namespace utl::StrUtl {

// "Иванов И.П.": the surname and a blank, then the first letter and "." of each non-empty name.
QString surnameInitials(const QString& surname, const QString& firstName, const QString& patronymic);
// The decimal text with "0" put in front until it is width characters long (before a sign too: -5
// with width 3 gives "0-5").
QString intToStrZero(int number, int width);
// Whether any of the first count characters of chars occurs in the text; false for a count of 0 or less.
bool containsAnyChar(const QString& text, const QString& chars, int count);

}  // namespace utl::StrUtl
