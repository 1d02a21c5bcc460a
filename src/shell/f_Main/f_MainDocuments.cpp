// The main window's document events: made and registered at start (and after the language wizard),
// their names in the interface language; and the template languages the document system offers.

#include <iterator>
#include <map>

#include "dm_TsiLang.h"
#include "f_Main.h"
#include "kv_Translator.h"
#include "kv_settingsFile.h"
#include "platform/ui/Translations.h"
#include "u_TolvReportSystem.h"

namespace TolvMain {

void TFMain::createDocumentEvents(bool reportChanges) {
    step(QStringLiteral("createDocumentEvents") + (reportChanges ? QStringLiteral("(first)") : QString()));
    // Each event reads its name from the translator as it is made.
    for (const auto& [key, text] : TolvReports::tolvReportSystemTexts(ui::Translations::language()))
        KVLibTranslator::instance().set(key, text);
    TolvReports::createDocumentEvents(reportChanges);
}

void TFMain::setDocumentLanguages() {
    step(QStringLiteral("setDocumentLanguages"));
    ReportSys::ReportSystem& documents = ReportSys::ReportSystem::instance();
    documents.clearLanguages();
    documents.addLanguage(QStringLiteral("no"), QStringLiteral(" "));
    documents.addLanguage(QStringLiteral("ru"), message(QStringLiteral("IDS_67")));
    documents.addLanguage(QStringLiteral("ua"), message(QStringLiteral("IDS_68")));
    // The country of the documents names one of the dispatcher's languages by its place.
    const int country =
        utl::SettingsFile::readInt(QStringLiteral("LANG_MASTER"), QStringLiteral("country_index"), 1);
    const std::map<QString, QString> codes = {{QStringLiteral("Russian"), QStringLiteral("ru")},
                                              {QStringLiteral("Ukrainian"), QStringLiteral("ua")}};
    if (country < 1 || country > static_cast<int>(std::size(TsiLangDispatcher::kLanguages))) return;
    const auto code = codes.find(TsiLangDispatcher::kLanguages[country - 1].name);
    if (code != codes.end()) documents.setCurrentLanguage(code->second);
}

}  // namespace TolvMain
