#include "u_TolvGlobal.h"

#include <cmath>

#include "kv_FbDbIni.h"
#include "kv_Translator.h"
#include "kv_Valuta.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Translations.h"

namespace TolvGlobal {

void initStartupGlobals() {
    initSettingsFile();
    setFormats();
}

void initSettingsFile() {
    utl::SettingsFile::init(QStringLiteral("db.ini"), utl::tfpUSER_DIR);
    ui::Form::setPlacementFileHook(&userIniNameHook);
}

QString userIniNameHook() {
    return utl::SettingsFile::userIniFileName();
}

void setFormats() {
    setProcessFormats();
}

void setCurrencyNaming() {
    const QString section = QStringLiteral("DEFAULTS");
    const QString name = udb::dbIniReadString(section, QStringLiteral("ValutaName"), QString());
    const QString kopName = udb::dbIniReadString(section, QStringLiteral("ValutaKopName"), QString());
    const int gender = udb::dbIniReadInt(section, QStringLiteral("ValutaGender"), 0);
    const int language = udb::dbIniReadInt(section, QStringLiteral("ValutaLanguage"), 0);
    utl::Valuta::setValuta(name, kopName, static_cast<quint8>(gender), static_cast<quint8>(language));
}

void blockCurrEditMinus(QObject* sender) {
    auto* edit = qobject_cast<ui::CurrencyEdit*>(sender);
    if (edit && edit->value() < 0) edit->setValue(std::fabs(edit->value()));
}

void copyTextToTranslator(const ui::Translations& translations, const QString& key) {
    KVLibTranslator::instance().set(key, translations.message(key));
}

}  // namespace TolvGlobal
