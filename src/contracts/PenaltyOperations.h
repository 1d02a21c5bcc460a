#pragma once
// Operations of a pledge loan contract: repayments of principal, interest, storage fee and penalty, and
// increases of the principal (a negative OP_SUM). The record of one operation, and the list the main
// window shows for the selected contract with the three stored changes of an operation.

#include "kv_DBRecord.h"
#include "kv_QueryWrapper.h"
#include "u_DbFields.h"

namespace TolvLogic {

class ServicesList;
class TPenaltyContracts;

// One PENALTY_OPERATIONS row on the program database. Its transaction, when set, is the one the
// stored changes of the operations list run in.
class TPenaltyOperationInfo : public ufb::TDBRecord {
public:
    enum Column {
        oOP_ID = 0,
        oDEPOSIT_ID,
        oOP_SUM,
        oOP_STORAGE_SUM,
        oOP_PERC_SUM,
        oOP_PENALTY_SUM,
        oOP_INFO,
        oOP_DATE,
        oNON_CALC_DAYS,
        oOP_REST_PERC,
        oOP_REST_STORAGE,
        oOP_REST_PENALTY,
        oOP_REST_BASE
    };

    // An empty record keyed OP_ID = 0.
    TPenaltyOperationInfo();
    // Keyed by the id; with load the row is read at once in a transaction of its own.
    TPenaltyOperationInfo(int opId, bool load);

    // A column the record does not hold raises the record's missing-field error.
    core::Variant getValue(int index) const;
    // Setting OP_ID moves the key with it.
    void setValue(int index, const core::Variant& value);
};

// The operations of one contract (parameter CONTRACT_ID), by date, with the debts left after each
// as the calculation recorded them.
class TPenaltyOperations : public ufb::QueryWrapper {
public:
    TPenaltyOperations(fb::Database* database, TPenaltyContracts* contracts);

    TPenaltyContracts* getContracts() const { return contracts_; }
    void setContracts(TPenaltyContracts* contracts) { contracts_ = contracts; }
    // The contract whose operations the next open reads.
    void setContractId(const core::Variant& contractId) { contractId_ = contractId; }
    bool open() override;

    // The stored changes. Each runs in the record's transaction when it has one (and neither commits
    // nor rolls back), else in a transaction of its own that commits whole or rolls back whole. Each
    // drops the contract's cached debts and the checkpoints the change invalidates, stores the given
    // services under the operation and regenerates the automatic cash orders of every date it touches.
    // After the insert the record holds its new OP_ID.
    void insertOperation(TPenaltyOperationInfo& operation, ServicesList* services);
    void updateOperation(TPenaltyOperationInfo& operation, ServicesList* services);
    void deleteOperation(TPenaltyOperationInfo& operation, ServicesList* services);

private:
    void initFields();

    TPenaltyContracts* contracts_;
    core::Variant contractId_ = core::Variant::null();
};

}  // namespace TolvLogic
