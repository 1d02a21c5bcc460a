#include "kv_fiscalRegister.h"

#include "kv_Translator.h"
#include "platform/dialogs/Dialogs.h"

namespace KassRegister {

bool FiscalRegister::examCheckDate(core::DateTime date) const {
    if (date == getDate()) return true;
    const QString text = KVLibTranslator::instance().translate(
        QStringLiteral("kv_fiscalRegister.FiscalRegister.examCheckDate.Message"),
        QStringLiteral("Введенная дата не совпадает с текущей датой\nФискальный чек будет напечатан с "
                       "сегодняшней датой.\n\nПечатать чек?"));
    return ui::askYesNo(text, QString(), ui::MsgType::Warning);
}

}  // namespace KassRegister
