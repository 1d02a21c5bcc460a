#include "dm_TsiLang.h"

#include "platform/ui/Translations.h"

namespace TolvMain {

TDMTsiLang* DMTsiLang = nullptr;

const TsiLangDispatcher::Language TsiLangDispatcher::kLanguages[2] = {
    {ui::kLanguageRussian, QStringLiteral("Russian")}, {ui::kLanguageUkrainian, QStringLiteral("Ukrainian")}};

int TsiLangDispatcher::activeLanguage() const {
    return ui::Translations::language();
}

void TsiLangDispatcher::setActiveLanguage(int language) {
    ui::Translations::setLanguage(language);
}

TDMTsiLang::TDMTsiLang() {
    // Russian is active until the main window reads the user's choice.
    siLangDisp.setActiveLanguage(ui::kLanguageRussian);
    DMTsiLang = this;
}

TDMTsiLang::~TDMTsiLang() {
    if (DMTsiLang == this) DMTsiLang = nullptr;
}

}  // namespace TolvMain
