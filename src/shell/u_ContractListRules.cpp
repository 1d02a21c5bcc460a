#include "u_ContractListRules.h"

namespace TolvMain {

std::vector<ActionState> contractActionStates(const ContractFacts& f) {
    const int s = f.state;
    return {
        {QStringLiteral("EditContractAct"), f.selected},
        {QStringLiteral("DeleteContractAct"), f.selected && !f.inAct},
        {QStringLiteral("GetFormArchive"), f.selected && f.archived},
        {QStringLiteral("SendToArchive"), f.selected && !f.archived},
        {QStringLiteral("AddToSaleAct"), (s == 0 || s == 3) && !f.inAct},
        {QStringLiteral("AddOpAct"), s == 0 && !f.inAct},
        {QStringLiteral("ZayavlDelAct"), s == 0 && f.hasApplication},
        {QStringLiteral("ZayavlAct"), s == 0},
        {QStringLiteral("DeleteToSaleAct"), s == 3 && !f.inAct},
        {QStringLiteral("AddSaleAct"), (s == 3 || s == 2) && !(f.inAct && f.wareMoved) && !f.inParcel},
        {QStringLiteral("a_ReopenContractManual"), (s == 2 || s == 1) && !f.inAct},
        {QStringLiteral("a_CloseContractManual"), s == 0 && !f.inAct},
    };
}

bool operationActionEnabled(const QString& name, const OperationFacts& f) {
    const bool enabled = f.opId != 0 && f.contractState == 0;
    if (name == QLatin1String("DeleteOpAct")) return enabled && !f.inAct;
    return enabled;
}

bool enabledByRights(bool value, int tag, bool isManager) {
    return value && (tag != 1 || isManager);
}

}  // namespace TolvMain
