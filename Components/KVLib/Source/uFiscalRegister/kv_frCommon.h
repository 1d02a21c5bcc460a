#pragma once
// What the driver's units share: the translator's text with its default, the place of a failure, the
// settings section of the register.

#include <QString>

namespace KassRegister {
QString frText(const QString& key, const QString& defaultText);
// The text of a register that does not answer.
QString noSignalText();
// The text with the place of the failure added, as the library's exceptions carry it.
QString withPlace(const QString& text, const char* function);
// Throws the translated text of the key with the place added.
[[noreturn]] void fail(const char* key, const QString& defaultText, const char* function);
inline QString frSection() {
    return QStringLiteral("FISCAL_MARIYA");
}
}  // namespace KassRegister
