// The main window's fiscal register: its start, the actions of the menu "Регистратор", and the
// application's exception handler, which turns the register's no-signal failure into switching the
// register off (a manager) or ending the program (anybody else).

#include <QAction>
#include <QMenu>

#include "U_LoggedUser.h"
#include "f_Main.h"
#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/ui/Form.h"
#include "u_FiscalRegisterStart.h"

namespace TolvMain {

namespace {

KassRegister::FRMariya* driver(const std::unique_ptr<KassRegister::FiscalRegister>& fr) {
    return dynamic_cast<KassRegister::FRMariya*>(fr.get());
}

}  // namespace

void TFMain::guarded(const std::function<void()>& step) {
    ui::runGuarded(step);
}

bool TFMain::startFiscalRegister() {
    step(QStringLiteral("startFiscalRegister"));
    KassRegister::FRMariya* fr = driver(fiscalRegister);
    if (!fr) return false;
    const bool started = TolvMain::startFiscalRegister(*fr, mFR, message(QStringLiteral("IDS_61")));
    updateCaption();
    return started;
}

void TFMain::bindFiscalMenu() {
    KassRegister::FRMariya* fr = driver(fiscalRegister);
    if (!fr) return;
    FiscalActions a;
    a.mFR = mFR;
    a.a_SlyzhIz = action(QStringLiteral("a_SlyzhIz"));
    a.a_SlyzhVnes = action(QStringLiteral("a_SlyzhVnes"));
    a.a_printNullCheck = action(QStringLiteral("a_printNullCheck"));
    a.a_printXOtchet = action(QStringLiteral("a_printXOtchet"));
    a.a_printZOtchet = action(QStringLiteral("a_printZOtchet"));
    a.a_printZOtchetZaPeriod = action(QStringLiteral("a_printZOtchetZaPeriod"));
    a.a_registerSettings = action(QStringLiteral("a_registerSettings"));
    a.a_registerPoSettings = action(QStringLiteral("a_registerPoSettings"));
    a.a_printVozvrCheck = action(QStringLiteral("a_printVozvrCheck"));
    bindFiscalActions(a, *fr, VuxSecur::isMaster(), &TFMain::guarded,
                      [this] { return startFiscalRegister(); });
}

void TFMain::ApplicationEvents1Exception(const std::exception& e) {
    if (const auto* noSignal = dynamic_cast<const KassRegister::FRNoSignal*>(&e)) {
        onRegisterNoSignal(noSignal->getRegister(), *noSignal);
        return;
    }
    ui::showException(e);
}

void TFMain::onRegisterNoSignal(KassRegister::FiscalRegister* reg, const KassRegister::FRNoSignal& e) {
    if (reg) reg->close();
    updateCaption();
    ui::showError(message(QStringLiteral("IDS_62")) + e.message());
    if (VuxSecur::isMaster()) {
        mFR->menuAction()->setVisible(false);
        utl::SettingsFile::writeBool(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRisEnabled"), false);
        ui::showWarning(message(QStringLiteral("IDS_6")));
        return;
    }
    // A cashier cannot work without the register.
    close();
    ui::requestTerminate();
}

}  // namespace TolvMain
