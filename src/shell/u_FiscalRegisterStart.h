#pragma once
// The main window's part of the fiscal register: its start (at start-up, after a reconnection, from
// the settings) and the actions of the menu "Регистратор", bound to the one register object.

#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace KassRegister {
class FRMariya;
}

namespace TolvMain {

// Opens the register when it is not connected (port and timeout of the settings file), registers the
// working user's cashier number with the stored password and stores the password again, enciphered.
// On success the menu is shown, the message is shown and the answer is true; a refused registration
// answers false and changes nothing. A register that does not answer raises FRNoSignal.
bool startFiscalRegister(KassRegister::FRMariya& fr, QMenu* mFR, const QString& startedMessage);

// The actions of the menu "Регистратор" and the return receipt action of the action list.
struct FiscalActions {
    QMenu* mFR = nullptr;
    QAction* a_SlyzhIz = nullptr;
    QAction* a_SlyzhVnes = nullptr;
    QAction* a_printNullCheck = nullptr;
    QAction* a_printXOtchet = nullptr;
    QAction* a_printZOtchet = nullptr;
    QAction* a_printZOtchetZaPeriod = nullptr;
    QAction* a_registerSettings = nullptr;
    QAction* a_registerPoSettings = nullptr;
    QAction* a_printVozvrCheck = nullptr;
};

// Runs an action's handler under the main window's exception handling (the no-signal handling among it).
using ActionGuard = std::function<void(const std::function<void()>&)>;

// Connects each action to its register operation, run through the guard; the two settings actions
// are shown to managers only. "Настройки" starts the register first through start when it is not
// connected, and fails with the register's no-signal error when it still is not.
void bindFiscalActions(const FiscalActions& actions, KassRegister::FRMariya& fr, bool isMaster,
                       ActionGuard guard, std::function<bool()> start);

}  // namespace TolvMain
