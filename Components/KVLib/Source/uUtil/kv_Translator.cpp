#include "kv_Translator.h"

KVLibTranslator& KVLibTranslator::instance() {
    static KVLibTranslator table;
    return table;
}

void KVLibTranslator::set(const QString& key, const QString& text) {
    texts_[key] = text;
}

QString KVLibTranslator::translate(const QString& key, const QString& defaultText) const {
    const auto it = texts_.find(key);
    return it == texts_.end() ? defaultText : it->second;
}

namespace kvtr {

QString tr(const char* key, const char16_t* defaultText) {
    return KVLibTranslator::instance().translate(QString::fromLatin1(key), QString::fromUtf16(defaultText));
}

std::vector<std::pair<QString, QString>> textsIn(std::span<const Text> texts, int language) {
    std::vector<std::pair<QString, QString>> out;
    out.reserve(texts.size());
    for (const Text& t : texts)
        out.emplace_back(QString::fromLatin1(t.key), QString::fromUtf16(language == 2 ? t.uk : t.ru));
    return out;
}

}  // namespace kvtr
