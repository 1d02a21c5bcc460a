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
