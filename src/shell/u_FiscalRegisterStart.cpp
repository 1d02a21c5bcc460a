#include "u_FiscalRegisterStart.h"

#include <QAction>
#include <QMenu>

#include "TClients.h"
#include "U_LoggedUser.h"
#include "kv_Translator.h"
#include "kv_fiscalRegister.h"
#include "kv_frCommon.h"
#include "platform/dialogs/Dialogs.h"

namespace TolvMain {

bool startFiscalRegister(KassRegister::FRMariya& fr, QMenu* mFR, const QString& startedMessage) {
    fr.openFromSettings();
    const QString cashier = TolvLogic::TAgents::kassirIdByLogin(VuxSecur::getLogin());
    if (!fr.start(cashier)) return false;
    if (mFR) mFR->menuAction()->setVisible(true);
    ui::showInfo(startedMessage);
    return true;
}

void bindFiscalActions(const FiscalActions& a, KassRegister::FRMariya& fr, bool isMaster, ActionGuard guard,
                       std::function<bool()> start) {
    auto bind = [&guard](QAction* action, std::function<void()> handler) {
        if (!action) return;
        QObject::connect(action, &QAction::triggered, action,
                         [guard, handler = std::move(handler)] { guard(handler); });
    };
    KassRegister::FRMariya* reg = &fr;
    bind(a.a_printNullCheck, [reg] { reg->printNullCheck(); });
    bind(a.a_printXOtchet, [reg] { reg->printXReport(); });
    bind(a.a_printZOtchet, [reg] { reg->printZReport(); });
    bind(a.a_printZOtchetZaPeriod, [reg] { reg->showZReportPeriod(); });
    bind(a.a_SlyzhIz, [reg] { reg->showSluzhIzyatie(); });
    bind(a.a_SlyzhVnes, [reg] { reg->showSluzhVnesenie(); });
    bind(a.a_printVozvrCheck, [reg] { reg->showReturnCheck(); });
    bind(a.a_registerSettings, [reg, start] {
        if (!reg->isConnected() && start) start();
        if (!reg->isConnected()) throw KassRegister::FRNoSignal(KassRegister::noSignalText(), reg);
        reg->showSettings();
    });
    // The receipt texts and tax letters dialog is not part of the program yet.
    bind(a.a_registerPoSettings, [] {
        throw core::Exception(kvtr::tr("kv_fiscalRegister.FiscalRegister.dialogs.Exception",
                                       u"Окна фискального регистратора не подключены: ") +
                              QStringLiteral("TFRNalogs"));
    });
    for (QAction* managerOnly : {a.a_registerSettings, a.a_registerPoSettings})
        if (managerOnly) managerOnly->setVisible(isMaster);
}

}  // namespace TolvMain
