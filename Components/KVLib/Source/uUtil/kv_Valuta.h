#pragma once
// The program's currency settings: the currency and kopeck names shown beside money values and in
// column titles, the grammatical gender of the currency and the language of amounts in words. The
// application shell sets them from the database-stored settings after login and after they change.

#include <QString>

namespace utl::Valuta {

// Replaces all four settings at once. Gender: 0 feminine, 1 masculine, 2 neuter; language of amounts
// in words: 0 Russian, 1 Ukrainian (independent of the interface language).
void setValuta(const QString& valutaName, const QString& valutaKopName, quint8 gender, quint8 language);

// Before the first setValuta: "грн", "коп", gender 0, language 0.
QString getValutaName();
QString getValutaKopName();
quint8 getValutaGender();
quint8 getValutaLanguage();

}  // namespace utl::Valuta
