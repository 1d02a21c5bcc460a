#include "u_StorageTerms.h"

#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "kv_Money100.h"
#include "u_DbFields.h"

namespace TolvLogic {

using Contract = TPenaltyContractInfo;

namespace {

// Older rows may hold NULL in the storage columns, and a new contract has none yet: both read as 0.
int depositInt(const Contract& contract, int column) {
    if (!contract.getDepositRecord().fieldExists(QString::fromLatin1(penaltyDepositsFields[column])))
        return 0;
    const core::Variant v = contract.getDepositValue(column);
    return v.isEmpty() ? 0 : v.toInt();
}

}  // namespace

StorageTerms readStorageTerms(const TPenaltyContractInfo& contract) {
    StorageTerms t;
    const int type = depositInt(contract, Contract::dSTORAGE_TYPE);
    t.type = type == 0 ? 1 : type;
    t.value = Money100::fromHundredths(depositInt(contract, Contract::dSTORAGE_VAL));
    t.minDays = depositInt(contract, Contract::dSTORAGE_MIN_DAYS);
    t.startWithPenalty = depositInt(contract, Contract::dIS_STORAGE_START_W_PEN) != 0;
    return t;
}

int writeStorageTerms(TPenaltyContractInfo& contract, const StorageTerms& terms) {
    const qint32 value = Money100::toHundredths(terms.value);
    contract.setDepositInt(Contract::dSTORAGE_MIN_DAYS, terms.minDays);
    contract.setDepositInt(Contract::dIS_STORAGE_START_W_PEN, terms.startWithPenalty ? 1 : 0);
    contract.setStorage(terms.type, value);
    return contract.getDepositInt(Contract::dSTORAGE_SUM);
}

QString storageHint(const StorageTerms& terms, const StorageTexts& texts) {
    return texts.typeLine + StorageTypes::scGetName(terms.type).toLower() + u'\n' + texts.rateLine +
           QString::number(terms.value, 'f', 2) + u' ' + StorageTypes::scGetUnitText(terms.type) + u'\n' +
           texts.minDaysLine + QString::number(terms.minDays) + u'\n' + texts.startLine +
           (terms.startWithPenalty ? texts.yes : texts.no);
}

}  // namespace TolvLogic
