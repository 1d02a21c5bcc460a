#pragma once
// Connects the contract desk's windows to the main window: the operation dialog behind the payment
// and operation actions, and the debt frame in the window's info place. The program calls it once at
// start-up; tests call it to run the real windows from the actions.

namespace TolvMain {

void installDeskWindows();

}  // namespace TolvMain
