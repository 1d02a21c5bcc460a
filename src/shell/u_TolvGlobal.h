#pragma once
// The process-wide start-up globals of the program (the settings file, the source of the per-user
// interface file, the number and date formats) and three small helpers the windows share: the
// currency naming of amounts in words, the guard against negative currency values, and the copy of a
// window's text into the translator.

#include <QString>

class QObject;

namespace ui {
class Translations;
}

namespace TolvGlobal {

// initSettingsFile, then setFormats.
void initStartupGlobals();
// "db.ini" beside the program, per-user files in the user's folders; the placement of every window
// is then kept in the per-user interface file. Raises "Settings file not exists\n" + the full path
// when the file is missing.
void initSettingsFile();
// The per-user interface file.
QString userIniNameHook();
// "." decimals, "." and ":" separators, "dd.mm.yyyy" dates, "hh:mm[:ss]" times, whatever the locale.
void setFormats();
// The currency names, gender and language of amounts in words from the database settings DEFAULTS
// ValutaName, ValutaKopName, ValutaGender, ValutaLanguage (defaults "", "", 0, 0).
void setCurrencyNaming();
// The change handler of a currency edit (ui::CurrencyEdit) that must not go below zero: a negative
// value becomes its absolute value. Any other sender is left alone.
void blockCurrEditMinus(QObject* sender);
// The text of the key in the active language of the window's translations, stored in the translator.
void copyTextToTranslator(const ui::Translations& translations, const QString& key);

}  // namespace TolvGlobal
