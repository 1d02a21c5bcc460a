#include "platform/ui/Translations.h"

#include <QObject>
#include <QVariant>
#include <set>

namespace ui {

namespace {

int& activeLanguage() {
    static int language = kLanguageRussian;
    return language;
}

std::set<Translations*>& liveTables() {
    static std::set<Translations*> tables;
    return tables;
}

// 0 for Russian, 1 for Ukrainian.
int languageSlot() {
    return activeLanguage() == kLanguageUkrainian ? 1 : 0;
}

}  // namespace

Translations::Translations() {
    liveTables().insert(this);
}

Translations::~Translations() {
    liveTables().erase(this);
}

int Translations::language() {
    return activeLanguage();
}

void Translations::setLanguage(int language) {
    activeLanguage() = language == kLanguageUkrainian ? kLanguageUkrainian : kLanguageRussian;
    for (Translations* t : liveTables()) t->applyLanguage();
}

QString Translations::decodeEscapes(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
            out += u'\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void Translations::addMessage(const QString& key, const QString& russian, const QString& ukrainian) {
    messages_[key] = {decodeEscapes(russian), decodeEscapes(ukrainian)};
}

QString Translations::message(const QString& key) const {
    const auto it = messages_.find(key);
    if (it == messages_.end()) return QString();
    if (languageSlot() == 1 && !it->second.second.isEmpty()) return it->second.second;
    return it->second.first;
}

void Translations::addCaption(QObject* control, const char* property, const QString& russian,
                              const QString& ukrainian) {
    captions_.push_back({control, QByteArray(property), {decodeEscapes(russian), decodeEscapes(ukrainian)}});
}

void Translations::applyLanguage() {
    const int slot = languageSlot();
    for (const Caption& c : captions_) {
        if (!c.control) continue;
        const QString& text = c.texts[slot].isEmpty() ? c.texts[0] : c.texts[slot];
        c.control->setProperty(c.property.constData(), text);
    }
}

}  // namespace ui
