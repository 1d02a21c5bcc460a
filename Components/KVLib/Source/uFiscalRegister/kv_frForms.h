#pragma once
// The register's forms put into the driver's dialog hook: the payment dialog and the service cash,
// return receipt and password dialog. The program calls this once at start-up.

namespace KassRegister {

void installFiscalRegisterForms();

}  // namespace KassRegister
