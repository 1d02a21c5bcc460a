#pragma once
// What the driver's units share: the translator's text with its default.

#include <QString>

namespace KassRegister {
QString frText(const QString& key, const QString& defaultText);
}
