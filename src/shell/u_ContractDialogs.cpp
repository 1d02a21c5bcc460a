#include "u_ContractDialogs.h"

#include "platform/core/Exception.h"

namespace TolvMain {

ContractDialogs& contractDialogs() {
    static ContractDialogs dialogs;
    return dialogs;
}

void failDialogMissing(const QString& entry, int language) {
    const QString text = language == 2 ? QStringLiteral("Вікно «%1» у цій програмі не підключено.")
                                       : QStringLiteral("Окно «%1» в этой программе не подключено.");
    throw core::Exception(text.arg(entry));
}

}  // namespace TolvMain
