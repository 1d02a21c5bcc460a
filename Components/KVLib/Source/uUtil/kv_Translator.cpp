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

}  // namespace kvtr
