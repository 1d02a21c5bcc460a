#pragma once
// The windows of the contract desk that the main window's actions open: the contract editor, the
// operation dialog, putting a pledge on sale and taking it off, the deferral application and the sale
// of a pledge. They live above the shell's logic, so the program installs each entry at start-up; an
// entry not installed makes its action fail with a clear error instead of doing nothing.

#include <QString>
#include <functional>

#include "platform/core/DateTime.h"

class QWidget;
namespace KassRegister {
class FiscalRegister;
}
namespace grid {
class DataSource;
}

namespace TolvMain {

// Modal results as the windows return them.
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

// The contract info (debt) frame as the main window holds it: the widget (owned by its place) and its
// two calls.
struct ContractInfoFrame {
    QWidget* widget = nullptr;
    // The debts of the current contract row at the frame's date.
    std::function<void()> recalcDebt;
    // ". . ." in the sums.
    std::function<void()> clearSums;
    // The date the debt is shown for (the zero date when the field is empty).
    std::function<core::DateTime()> debtDate;
};

struct ContractDialogs {
    // The contract editor for a new contract: its saved CONTRACT_ID, or -1.
    std::function<int(core::DateTime workDate, KassRegister::FiscalRegister* fiscalRegister)> scNewContract;
    // The contract editor for a stored contract: the modal result.
    std::function<int(int contractId, core::DateTime workDate)> scEditContract;
    // The operation dialog for a new payment: the modal result.
    std::function<int(int contractId, core::DateTime workDate, KassRegister::FiscalRegister* fiscalRegister)>
        scNewOperation;
    // The operation dialog for a stored operation: the modal result.
    std::function<int(int contractId, int opId)> scEditOperation;
    // Putting the pledge on sale: 1 when saved.
    std::function<int(QWidget* owner, core::DateTime date, int contractId)> TToSaleForm;
    // Taking the pledge off sale: 1 when done.
    std::function<int(int contractId, core::DateTime date, KassRegister::FiscalRegister* fiscalRegister)>
        scTakeOffSale;
    // The deferral application (edited when the contract has one): the modal result.
    std::function<int(int contractId, core::DateTime date)> scShowZayavlenie;
    // Recording or showing the sale of the pledge: 1 when something was saved.
    std::function<int(QWidget* owner, int contractId, core::DateTime date)> scShowSale;

    // Makes the debt frame in the place over the contract list's source.
    std::function<ContractInfoFrame(QWidget* place, grid::DataSource* contracts)> createContractInfoFrame;
    // Reloads the services grid with the contract's services; whether it has any.
    std::function<bool(int contractId)> loadAddServices;
};

// The program's entries; empty until installed.
ContractDialogs& contractDialogs();

// Raises the error of an entry that nobody installed, naming the window in the interface language
// (1 Russian, 2 Ukrainian).
[[noreturn]] void failDialogMissing(const QString& entry, int language);

// Calls the entry, or raises when it is not installed.
template <class Entry, class... Args>
int callDialog(const Entry& entry, const QString& name, int language, Args&&... args) {
    if (!entry) failDialogMissing(name, language);
    return entry(std::forward<Args>(args)...);
}

}  // namespace TolvMain
