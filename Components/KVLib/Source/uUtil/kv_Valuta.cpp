#include "kv_Valuta.h"

namespace utl::Valuta {

namespace {

struct Settings {
    QString name = QStringLiteral("грн");
    QString kopName = QStringLiteral("коп");
    quint8 gender = 0;
    quint8 language = 0;
};

// Process-wide and reached from the user-interface thread only.
Settings& settings() {
    static Settings s;
    return s;
}

}  // namespace

void setValuta(const QString& valutaName, const QString& valutaKopName, quint8 gender, quint8 language) {
    settings() = Settings{valutaName, valutaKopName, gender, language};
}

QString getValutaName() {
    return settings().name;
}

QString getValutaKopName() {
    return settings().kopName;
}

quint8 getValutaGender() {
    return settings().gender;
}

quint8 getValutaLanguage() {
    return settings().language;
}

}  // namespace utl::Valuta
