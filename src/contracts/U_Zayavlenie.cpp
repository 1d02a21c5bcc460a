#include "U_Zayavlenie.h"

#include "kv_Translator.h"
#include "platform/dialogs/Dialogs.h"
#include "u_DbFields.h"

namespace TolvLogic {

using core::Variant;

namespace {

using kvtr::tr;

}  // namespace

Zayavlenie::Zayavlenie(int contractId)
    : TDBRecord(QStringLiteral("ZAYAVLENIYA"), QString::fromLatin1(zayavleniyaFields[zCONTRACT_ID]),
                contractId, nullptr) {}

Variant Zayavlenie::GetField(int index) const {
    return GetField(QString::fromLatin1(zayavleniyaFields[index]), false);
}

void Zayavlenie::SetField(int index, const Variant& value) {
    SetField(QString::fromLatin1(zayavleniyaFields[index]), value, index == zCONTRACT_ID);
}

bool Zayavlenie::scExists(int contractId) {
    return Zayavlenie(contractId).Select() > 0;
}

void Zayavlenie::scDelZayav(int contractId) {
    Zayavlenie z(contractId);
    if (z.Select() == 0) {
        ui::showInfo(
            tr("u_Zayavlenie.Zayavlenie.scDelZayav.Message", u"Заявление на отсрочку не составлено"));
        return;
    }
    if (!ui::askYesNo(tr("u_Zayavlenie.Zayavlenie.scDelZayav.Message2", u"Удалить заявление на отсрочку?")))
        return;
    z.Delete();
    ui::showInfo(tr("u_Zayavlenie.Zayavlenie.scDelZayav.Message3", u"Заявление удалено"));
}

std::vector<std::pair<QString, QString>> zayavlenieTexts(int language) {
    static const kvtr::Text texts[] = {
        {"u_Zayavlenie.Zayavlenie.scDelZayav.Message", u"Заявление на отсрочку не составлено",
         u"Заяву на відстрочку не складено"},
        {"u_Zayavlenie.Zayavlenie.scDelZayav.Message2", u"Удалить заявление на отсрочку?",
         u"Видалити заяву на відстрочку?"},
        {"u_Zayavlenie.Zayavlenie.scDelZayav.Message3", u"Заявление удалено", u"Заяву видалено"},
    };
    return kvtr::textsIn(texts, language);
}

}  // namespace TolvLogic
