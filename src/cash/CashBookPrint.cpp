#include "CashBookPrint.h"

#include "PenaltyWarrants.h"
#include "Warrantcalculation.h"

namespace TolvLogic {

using core::Variant;

CashPrintEvent rowPrintEvent(int id, const Variant& dirWarrantes, int dayMethod, bool grouping) {
    const bool isRegister = !dirWarrantes.isEmpty() && dirWarrantes.toInt() == -1;
    if (isRegister && grouping && dayMethod != 1) {
        const RegisterInfo reg(id);
        const bool receipt = reg.GetField(RegisterInfo::rR_TYPE).toInt() == 1;
        return {receipt ? QStringLiteral("CB_RRECEIPT") : QStringLiteral("CB_REXPENSE"), {Variant(id)}};
    }
    const WarrantInfo order(id, nullptr);
    const bool receipt = order.GetField(WarrantInfo::wW_TYPE).toInt() == 0;
    return {receipt ? QStringLiteral("CB_WRECEIPT") : QStringLiteral("CB_WEXPENSE"),
            {Variant(id), Variant(-1), Variant(-1), Variant(QStringLiteral("0"))}};
}

std::vector<CashPrintEvent> bookPrintEvents(core::DateTime date, int branchId, bool numberSheets) {
    std::vector<CashPrintEvent> events;
    // A day without money has no cash book page: filling nothing would print an earlier page's values.
    if (WarrantCalculationManager::hasReceipts(date, branchId) ||
        WarrantCalculationManager::hasExpenses(date, branchId)) {
        events.push_back(
            {QStringLiteral("CB_CASHBOOK"), {Variant(date), Variant(branchId), Variant(numberSheets)}});
    }
    events.push_back({QStringLiteral("CB_REGBOOK"), {Variant(date), Variant(date), Variant(branchId)}});
    return events;
}

}  // namespace TolvLogic
