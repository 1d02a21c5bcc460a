#pragma once
// The process-wide table of message texts in the interface language, by dotted key
// (unit.class.method.item). Logic code asks it with a Russian default written at the call site; the
// application shell fills it from the main window's translations after login and at each language change.

#include <QString>
#include <map>
#include <span>
#include <utility>
#include <vector>

class KVLibTranslator {
public:
    // The one table of the process, empty until the shell fills it.
    static KVLibTranslator& instance();

    // Stores the text under the key (an empty text too), replacing the text stored before.
    void set(const QString& key, const QString& text);
    // The stored text, also when it is empty; the default text when the key was never stored. Keys
    // compare exactly, letter case included.
    QString translate(const QString& key, const QString& defaultText) const;

    KVLibTranslator(const KVLibTranslator&) = delete;
    KVLibTranslator& operator=(const KVLibTranslator&) = delete;

private:
    KVLibTranslator() = default;

    std::map<QString, QString> texts_;
};

namespace kvtr {
// The translated text of a key, with the Russian default as the call site writes it (u"...").
QString tr(const char* key, const char16_t* defaultText);

// One key of a unit's table of texts, in the two interface languages.
struct Text {
    const char* key;
    const char16_t* ru;
    const char16_t* uk;
};
// The table's texts in the language (1 Russian, 2 Ukrainian) as {key, text}, for the shell to copy
// into the translator.
std::vector<std::pair<QString, QString>> textsIn(std::span<const Text> texts, int language);
}  // namespace kvtr
