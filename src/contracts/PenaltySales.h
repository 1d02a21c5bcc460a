#pragma once
// Sales of forfeited pledges: the SALES row of a sold contract with the way its proceeds cover the
// debts, the sales list the main window shows for the selected contract with the profit of the sale,
// and the debt of a sold contract that the sale is measured against.

#include "kv_DBRecord.h"
#include "kv_QueryWrapper.h"
#include "u_DbFields.h"
#include "u_PercCalc.h"

namespace TolvLogic {

class TPenaltyContracts;

// One SALES row; money in hundredths. Its key is CONTRACT_ID: a record whose contract is not set is
// never written over the table (the update is refused, the delete does nothing).
class TSaleInfo : public ufb::TDBRecord {
public:
    enum Column {
        sAGENT_ID = 0,
        sCONTRACT_ID,
        sSALE_SUM,
        sSALE_BASE,
        sSALE_STORAGE,
        sSALE_PERC,
        sSALE_PENALTY,
        sBASE_SUM,
        sSTORAGE_SUM,
        sPERC_SUM,
        sPENALTY_SUM,
        sSALE_INFO,
        sMONEY_BACK_SUM,
        sIS_CREATE_WARRANT
    };

    // An empty record; the caller sets CONTRACT_ID and the columns.
    explicit TSaleInfo(fb::Transaction* transaction);
    // The contract's sale, read at once (nothing is loaded when there is none).
    TSaleInfo(int contractId, fb::Transaction* transaction);

    // A column the record does not hold raises the record's missing-field error.
    core::Variant getValue(int index) const;
    // Setting CONTRACT_ID moves the key with it.
    void setValue(int index, const core::Variant& value);

    // The debts at the sale date and the parts of the sale sum that cover them: principal first, then
    // storage fee, interest and penalty. With money back, MONEY_BACK_SUM is what the proceeds leave
    // above the whole debt (negative when they fall short), else 0. Touches no database.
    void fill(int saleSum, const DebtSums& debts, bool withMoneyBack);
};

// The debt of a sold contract on its CONTRACT_CLOSE day, through the debt cache when asked. A contract
// without a sale raises "exception.DB".
DebtSums getSaleDebt(int contractId, bool useCache);

// The sale of one contract (parameter CONTRACT_ID) with its profit and the agent who sold it: for a
// contract taken over from another branch, the agent recorded with the import.
class TSales : public ufb::QueryWrapper {
public:
    TSales(fb::Database* database, TPenaltyContracts* contracts);

    TPenaltyContracts* getContracts() const { return contracts_; }
    void setContracts(TPenaltyContracts* contracts) { contracts_ = contracts; }
    // The contract whose sale the next open reads.
    void setContractId(const core::Variant& contractId) { contractId_ = contractId; }
    bool open() override;

    // The stored changes of a sale record on the list's database, in the record's transaction when it
    // has one (left to its owner), else in one of their own that commits or rolls back whole.
    bool insertRecord(ufb::TDBRecord& record) override;
    virtual void updateRecord(TSaleInfo& record);
    virtual void deleteRecord(TSaleInfo& record);
    // PROFIT and AGENT_NAME of the current row; a row whose sale is gone is left uncalculated.
    virtual void OnCalcFields(data::Dataset& dataset);

    // SALE_SUM less what the debt at the sale makes the sale sum ("DEFAULTS" settings), in hundredths.
    // A contract without a sale raises "exception.DB".
    static int GetProfit(int contractId);
    // SALE_SUM of the contract's sale; a contract without a sale raises "exception.DB".
    static int getSaleSumById(int contractId);

private:
    void initFields();

    TPenaltyContracts* contracts_;
    core::Variant contractId_ = core::Variant::null();
};

}  // namespace TolvLogic
