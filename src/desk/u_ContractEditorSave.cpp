// The contract editor's save: the checks in their fixed order, the copy of the fields into the
// contract, and the writes of a new or a stored contract in the dialog's transaction, undone back to
// where the save found it when any step fails.

#include "PenaltyContracts.h"
#include "U_LoggedUser.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100.h"
#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Transaction.h"
#include "platform/os/IniFile.h"
#include "u_AddServices.h"
#include "u_ContractEditor.h"
#include "u_PercCalc.h"
#include "u_contractSubjects.h"
#include "u_filials.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;
using Contract = TPenaltyContractInfo;
using F = ContractFieldError;

namespace {

const QString kSavepoint = QStringLiteral("CONTRACT_SAVE");
const QString kUserSection = QStringLiteral("PenaltyOrderEditForm");

// Blanks and control characters go from both ends.
QString trimmedNumber(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && (text[first].isSpace() || text[first].unicode() < 0x20)) ++first;
    while (last > first && (text[last - 1].isSpace() || text[last - 1].unicode() < 0x20)) --last;
    return text.mid(first, last - first);
}

int hundredths(double units) {
    return static_cast<int>(std::llround(units * 100.0));
}

// Turns the services' repricing back on when the save ends without storing the contract.
class RepricingOff {
public:
    explicit RepricingOff(AddServices* services) : services_(services) {
        if (services_) services_->setRecalcEnabled(false);
    }
    ~RepricingOff() {
        if (services_ && !kept_) services_->setRecalcEnabled(true);
    }
    void keep() { kept_ = true; }

private:
    AddServices* services_;
    bool kept_ = false;
};

}  // namespace

void ContractEditor::fieldError(ContractFieldError::Field field, const char* id) const {
    throw ContractFieldError(field, text(id));
}

bool ContractEditor::numberTaken(const QString& number, fb::Transaction* transaction) const {
    const int id = contract_->getContractValue(Contract::cCONTRACT_ID).toInt();
    QString sql = QStringLiteral(
                      "select count(*) as V from PENALTY_CONTRACTS where CONTRACT_ID <> %1 and "
                      "CONTRACT_NUM = %2 and FILIAL_ID = %3")
                      .arg(id)
                      .arg(udb::var2DbVar(number))
                      .arg(filialId_);
    if (TPenaltyContracts::getResetContractNumOn() == 1)
        sql +=
            QStringLiteral(" and extract(year from CONTRACT_DATE) = ") + QString::number(date_.date().year());
    return udb::getField(transaction, sql, QStringLiteral("V"), Variant(0), QString()).toInt() > 0;
}

bool ContractEditor::checkFields() {
    number_ = trimmedNumber(number_);
    if (number_.isEmpty()) fieldError(F::fNumber, "IDS_32");
    if (date_.dayNumber() == 0) fieldError(F::fDate, "IDS_33");
    if (clientName_.trimmed().isEmpty()) fieldError(F::fClient, "IDS_34");
    if (FilialsDir::scIsFilialImported(filialId_)) fieldError(F::fFilial, "IDS_35");
    ContractSubjects* items = contract_->getSubjects();
    data::Dataset* rows = items->getDataSet();
    if (rows->state() == data::DatasetState::Edit || rows->state() == data::DatasetState::Insert)
        rows->post();
    if (items->getCount() == 0) fieldError(F::fSubjects, "IDS_36");
    const bool storageOnly = perc_ == 0 && storageSum() != 0;
    if (!(storageOnly ? items->checkRequired() : items->checkAllAndRegister())) return false;
    if (subjPrice_ == 0) fieldError(F::fSubjPrice, "IDS_37");
    if (depositSum_ == 0 && storageSum() == 0) fieldError(F::fStorage, "IDS_29");
    if (depositSum_ != 0 && perc_ == 0) fieldError(F::fPerc, "IDS_49");
    if (!calcPercWithPenalty_ && penaltyPerc_ == 0)
        throw ContractFieldError(F::fPenaltyPerc, text("IDS_40") + text("IDS_41"));
    if (!storageStartWithPenalty_ && storageSum() != 0 && penaltyPerc_ == 0)
        throw ContractFieldError(F::fPenaltyPerc, text("IDS_23") + text("IDS_41"));
    if (dollarPrice_ == 0) fieldError(F::fDollarPrice, "IDS_45");
    if (placeName_.trimmed().isEmpty()) fieldError(F::fPlace, "IDS_46");
    if (depositTypeName_.trimmed().isEmpty()) fieldError(F::fDepositType, "IDS_47");
    if (term_.text().trimmed().isEmpty() || penaltyDays() <= 0) fieldError(F::fPenaltyDays, "IDS_48");
    // A number still as proposed is taken afresh from the counter when saving: only a typed one is asked
    // about here.
    const bool proposed = !editMode_ && number_ == proposedNumber_;
    if (!proposed && numberTaken(number_, nullptr)) {
        if (ui::askYesNo(text("IDS_51"), QString(), ui::MsgType::Warning)) {
            const int counter = contracts_->autoincOrderNum(filialId_, workDate_, true, nullptr);
            number_ = contracts_->buildOrderNum(filialId_, workDate_, counter);
            proposedNumber_.clear();
            onChanged();
        }
        return false;
    }
    return true;
}

void ContractEditor::copyFieldsToContract() {
    Contract& c = *contract_;
    c.setContractValue(Contract::cFILIAL_ID, filialId_);
    c.setContractValue(Contract::cCONTRACT_DATE, date_);
    c.setContractValue(Contract::cCONTRACT_NUM, number_);
    c.setDepositInt(Contract::dSUBJECT_PRICE, static_cast<int>(subjPrice_));
    c.setDepositInt(Contract::dDEPOSIT_SUM, static_cast<int>(depositSum_));
    c.setDepositInt(Contract::dDEPOSIT_PERC, hundredths(perc_));
    c.setDepositInt(Contract::dPENALTY_PERC, hundredths(penaltyPerc_));
    c.setDepositInt(Contract::dDOLLAR_PRICE, static_cast<int>(std::llround(dollarPrice_ * 10000.0)));
    if (!editMode_) c.setContractValue(Contract::cCONTRACT_STATE, csOPENED);
    c.setDepositInt(Contract::dOFF_FLAG, offFlag_ ? 1 : 0);
    c.setContractValue(Contract::cNOTE, note_);
    c.setDepositInt(Contract::dPENALTY_DAYS, penaltyDays());
    c.setStorage(storageType_, hundredths(storageValue_));
    c.setDepositInt(Contract::dSTORAGE_MIN_DAYS, storageMinDays_);
    c.setDepositInt(Contract::dIS_STORAGE_START_W_PEN, storageStartWithPenalty_ ? 1 : 0);
    c.setDepositInt(Contract::dMIN_ACCRUAL_DAYS, minAccrualDays_);
    c.setDepositInt(Contract::dEXCEED_DAYS, exceedDays_);
    c.setDepositInt(Contract::dIS_CALC_PERC_WITH_PENALTY, calcPercWithPenalty_ ? 1 : 0);
    c.setDepositInt(Contract::dIS_PENAL_FROM_RET_SUM, penaltyFromRetSum_ ? 1 : 0);
    c.setDepositInt(Contract::dIS_PRIV_IN_EXCEED, privInExceed_ ? 1 : 0);
    c.setDepositInt(Contract::dIS_USD_EXCHANGE, calcExchange_ ? 1 : 0);
    c.setDepositInt(Contract::dIS_MAKE_EXCHANGE_BY_INCREASE, calcExchangeIfIncrease_ ? 1 : 0);
}

ContractEditor::SaveResult ContractEditor::save() {
    if (saved_) return SaveResult::Saved;
    RepricingOff repricing(services_.get());
    if (!checkFields()) return SaveResult::NotWritten;
    copyFieldsToContract();
    // A stored contract changes only by a manager's hand.
    if (editMode_ && !TolvMain::VuxSecur::isMaster()) return SaveResult::NotWritten;

    requireTransaction();
    const AddServices::Snapshot servicesBefore = services_->snapshot();
    ContractSubjects* items = contract_->getSubjects();
    const std::vector<int> deletedBefore = items->getDeletedKeys();
    udb::execSql(QStringLiteral("savepoint ") + kSavepoint, trn_.get());

    bool receiptClosed = false;
    SaveResult result = SaveResult::NotWritten;
    // The number shown stays as typed or proposed unless the save renumbered on purpose.
    const QString numberBefore = number_;
    const QString proposedBefore = proposedNumber_;
    renumbered_ = false;
    const auto restore = [&] {
        if (undo()) services_->restore(servicesBefore);
        items->setDeletedKeys(deletedBefore);
        if (!renumbered_) {
            number_ = numberBefore;
            proposedNumber_ = proposedBefore;
            contract_->setContractValue(Contract::cCONTRACT_NUM, number_);
        }
    };
    try {
        if (editMode_) {
            writeExisting();
            result = SaveResult::Saved;
        } else {
            result = writeNew(receiptClosed);
        }
    } catch (...) {
        restore();
        // The receipt left open goes; a register that fails here must not hide the first error.
        if (fiscalRegister_ && !receiptClosed) {
            try {
                fiscalRegister_->cancelCheck();
            } catch (...) {
            }
        }
        throw;
    }
    if (result == SaveResult::NotWritten) {
        restore();
        return result;
    }
    repricing.keep();
    saved_ = true;
    savedId_ = contract_->getContractValue(Contract::cCONTRACT_ID).toInt();
    PercCalc::scClearCache(savedId_);
    // The contract is committed: a per-user file that cannot be written is told, never undoes it.
    if (!editMode_) {
        try {
            saveUserDefaults();
        } catch (const core::Exception& e) {
            ui::showError(text("userDefaults") + e.message());
        }
    }
    return result;
}

ContractEditor::SaveResult ContractEditor::writeNew(bool& receiptClosed) {
    // The counter is advanced in an access of its own that commits at once: a failure later leaves a
    // gap in the numbers, never one number on two contracts.
    beforeWrite();
    const int counter = contracts_->autoincOrderNum(filialId_, workDate_, true, nullptr);
    if (number_ == proposedNumber_) {
        number_ = contracts_->buildOrderNum(filialId_, workDate_, counter);
        proposedNumber_ = number_;
        contract_->setContractValue(Contract::cCONTRACT_NUM, number_);
    }
    // A typed number stored meanwhile by another workstation refuses the save before anything is
    // written.
    if (numberTaken(number_, trn_.get())) {
        if (ui::askYesNo(text("IDS_51"), QString(), ui::MsgType::Warning)) {
            const int next = contracts_->autoincOrderNum(filialId_, workDate_, true, nullptr);
            number_ = contracts_->buildOrderNum(filialId_, workDate_, next);
            proposedNumber_.clear();
            renumbered_ = true;
        }
        onChanged();
        return SaveResult::NotWritten;
    }
    contract_->setContractValue(Contract::cCONTRACT_ID, -1);
    contract_->save(trn_.get(), true, services_.get());

    beforeReceipt();
    if (fiscalRegister_) {
        // The rows as stored under the contract now, read afresh.
        services_->close();
        services_->open();
        const bool fiscal = utl::SettingsFile::readBool(QStringLiteral("FISCAL_MARIYA"),
                                                        QStringLiteral("FRisEnabled"), false);
        if (!contract_->printCreditReceipt(*fiscalRegister_, services_->rows())) {
            fiscalRegister_->cancelCheck();
            return SaveResult::NotWritten;
        }
        receiptClosed = fiscal;
    }
    beforeCommit();
    try {
        trn_->commit();
    } catch (const core::Exception& e) {
        if (!receiptClosed) throw;
        throw ContractReceiptWithoutSave(text("receiptWithoutSave") + e.message());
    }
    return SaveResult::Saved;
}

void ContractEditor::writeExisting() {
    contract_->save(trn_.get(), true, services_.get());
    // The operations' debts follow the changed terms: their checkpoints go in the same commit.
    if (forcedEdit_) {
        PercCalcOperations::scClearOperationDebts(contract_->getContractValue(Contract::cCONTRACT_ID).toInt(),
                                                  trn_.get());
    }
    beforeCommit();
    trn_->commit();
}

// Back to the savepoint: the contract, its items, services and cash orders go, the rows the dialog made
// before the save stay; a new contract stays new. False when the transaction went back whole.
bool ContractEditor::undo() {
    bool whole = false;
    try {
        if (trn_->inTransaction()) {
            udb::execSql(QStringLiteral("rollback to savepoint ") + kSavepoint, trn_.get());
        } else {
            whole = true;
        }
    } catch (const core::Exception&) {
        // A transaction that cannot go back to its savepoint goes back whole, and the services with it.
        if (trn_->inTransaction()) trn_->rollback();
        whole = true;
    }
    if (!editMode_) {
        contract_->setContractValue(Contract::cCONTRACT_ID, -1);
        contract_->getDepositRecord().SetKey(QStringLiteral("CONTRACT_ID"), -1);
        contract_->getSubjects()->setContractId(-1);
    }
    PercCalc::scClearCache(contract_->getContractValue(Contract::cCONTRACT_ID).toInt());
    requireTransaction();
    if (whole) {
        // The services' own rows went with the transaction: a fresh list for the contract's date.
        initServices(date_);
        servicesChanged();
    }
    return !whole;
}

void ContractEditor::saveUserDefaults() {
    const os::IniFile ini(utl::SettingsFile::userIniFileName());
    ini.writeInt(kUserSection, QStringLiteral("defaultIdDepositType"), contract_->getIdDepositeType());
    ini.writeInt(kUserSection, QStringLiteral("defaultIdStorePlace"),
                 contract_->getDepositInt(Contract::dDEPOSIT_PLACE));
    ini.writeInt(kUserSection, QStringLiteral("defaultPenaltyDays"), penaltyDays());
    ini.writeInt(kUserSection, QStringLiteral("defaultDollarPrice"),
                 contract_->getDepositInt(Contract::dDOLLAR_PRICE));
}

}  // namespace TolvLogic
