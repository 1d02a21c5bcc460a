#pragma once
// The localisation data module: the translation dispatcher that every window's translations follow,
// with the program's two languages.

#include <QString>

namespace TolvMain {

// The dispatcher: its active language is the active language of every window's translations.
class TsiLangDispatcher {
public:
    struct Language {
        int number;
        QString name;
    };
    // 1 "Russian", 2 "Ukrainian".
    static const Language kLanguages[2];

    int activeLanguage() const;
    // Re-translates every live window; anything but 2 is taken as Russian.
    void setActiveLanguage(int language);
};

class TDMTsiLang {
public:
    TDMTsiLang();
    ~TDMTsiLang();
    TDMTsiLang(const TDMTsiLang&) = delete;
    TDMTsiLang& operator=(const TDMTsiLang&) = delete;

    TsiLangDispatcher siLangDisp;
};

// The one localisation module of the program while it lives (null otherwise).
extern TDMTsiLang* DMTsiLang;

}  // namespace TolvMain
