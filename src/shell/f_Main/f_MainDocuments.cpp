// The main window's document events: made and registered at start (and after the language wizard),
// their names in the interface language.

#include "f_Main.h"
#include "kv_Translator.h"
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

}  // namespace TolvMain
