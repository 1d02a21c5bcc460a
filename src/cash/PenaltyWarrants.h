#pragma once
// Cash orders (WARRANTES) and registers (REGISTERS): the records through which every order, manual or
// automatic, and every register is read, found, numbered, stored and deleted. The records hold no
// transaction: each operation takes the caller's, and none means a transaction of its own that
// commits at once.

#include <QString>
#include <functional>
#include <optional>

#include "kv_DBRecord.h"
#include "platform/core/DateTime.h"
#include "u_DbFields.h"

namespace data {
class Dataset;
}
namespace fb {
class Transaction;
}

namespace TolvLogic {

class TPenaltyContractInfo;
class TPenaltyOperationInfo;

// One cash order. ID -1 is a new order not stored yet; after an insert ID is null (the database gives
// the key). W_TYPE 0 receipt, 1 expense; ID_DIR_WARRANTES null on a manual order.
class WarrantInfo : public ufb::TDBRecord {
public:
    enum Column {
        wID = 0,
        wID_DIR_WARRANTES,
        wID_FILIAL,
        wNUMBER,
        wW_DATE,
        wW_TYPE,
        wACCOUNT_NUMBER,
        wW_SUM,
        wOPERATION_SUBJECT,
        wFOUNDATION,
        wADDITION,
        wIDENTIFICATION_DATA,
        wMODIFY_DATE,
        wID_OPERATION,
        wID_CONTRACT,
        wCREDIT_SUM,
        wPERC_SUM,
        wPENALTY,
        wID_REGISTER,
        wREAL_SUM,
        wSTORAGE_SUM,
        wID_SERVICE_EVENT
    };
    // The party and the attachment keep at most this many characters; the ground is never cut.
    static constexpr int kLongTextMax = 10000;

    WarrantInfo();
    // Raises "Невозможно загрузить ордер. ID=<id>" when there is no such order.
    WarrantInfo(int id, fb::Transaction* transaction);
    ~WarrantInfo() override;

    // A column the record does not hold raises the record's missing-field error.
    core::Variant GetField(int index) const;
    // A plain value; OPERATION_SUBJECT and ADDITION are cut to their first kLongTextMax characters.
    void SetField(int index, const core::Variant& value);
    using ufb::TDBRecord::GetField;
    using ufb::TDBRecord::SetField;

    bool loadById(int id, fb::Transaction* transaction);
    // The contract's order of the day and template: of the operation when one is given, else the one
    // without operation. When none is found the record becomes a new order of that day, template,
    // branch, contract and operation.
    // A service order is told apart by its services event as well.
    void loadOrInit(const core::DateTime& date, int templateId, const TPenaltyContractInfo& contract,
                    const TPenaltyOperationInfo* operation, fb::Transaction* transaction,
                    std::optional<int> serviceEvent = std::nullopt);
    // The branch's order of the day and template (the summary method's daily orders).
    void loadOrInitForDay(const core::DateTime& date, int templateId, int branchId,
                          fb::Transaction* transaction, std::optional<int> serviceEvent = std::nullopt);
    // The same, the order found beforehand: the dataset's current row as read by selectList(), or a
    // new order when there is none (null).
    void loadOrInitForDay(const core::DateTime& date, int templateId, int branchId, data::Dataset* found,
                          std::optional<int> serviceEvent = std::nullopt);
    // The columns the record reads, for a statement that reads orders on its behalf.
    static QString selectList();
    // The operation's order of the automatic template with the code; raises when no template has it.
    bool loadByOperation(int operationId, const QString& code, fb::Transaction* transaction);
    // The contract's order of the automatic template without operation; raises as above.
    bool loadByContract(int contractId, const QString& code, fb::Transaction* transaction);

    // The regeneration's store: a new order with an amount is inserted with the number (true: the
    // number was used); a new one of amount 0 is neither stored nor numbered; a stored one is
    // updated, or deleted when its amount fell to 0, keeping its number.
    bool saveOrDrop(const QString& number, fb::Transaction* transaction);
    // The same, the number asked for only when the order is inserted.
    bool saveOrDrop(const std::function<QString()>& number, fb::Transaction* transaction);
    // The order dialog's store: a new order is inserted, a stored one updated.
    void save(fb::Transaction* transaction);
    // Deletes the order; without a transaction in one of its own, committed, or rolled back on failure.
    void deleteById(fb::Transaction* transaction);

    // Whether the order was made from an automatic template (false for a manual or missing order).
    bool isAutomatic() const;
    // The services share of the order: 0 on an order split into principal, interest, penalty and
    // storage shares, else the whole amount.
    core::Variant getServiceSum() const;

private:
    void init();
    void setDayKey(const core::DateTime& date, int templateId, int branchId, std::optional<int> serviceEvent);
    void initNew(const core::DateTime& date, int templateId);
    bool isNew() const;
    // Found orders are written by their own key, not by the key they were looked up with: two
    // orders matching that key must not both change.
    void keyById();
};

// One register. R_TYPE 0 the summary method's day marker (R_NUMBER -1), 1 receipt, 2 expense.
class RegisterInfo : public ufb::TDBRecord {
public:
    enum Column { rID = 0, rID_DIR_WARRANTES, rID_FILIAL, rR_TYPE, rR_NUMBER, rR_DATE, rR_SUBJ_TYPE };

    RegisterInfo();
    // Read in a transaction of its own; raises "Невозможно загрузить ведомость. ID=<id>" when missing.
    explicit RegisterInfo(int id);
    ~RegisterInfo() override;

    core::Variant GetField(int index) const;
    void SetField(int index, const core::Variant& value);
    using ufb::TDBRecord::GetField;
    using ufb::TDBRecord::SetField;

    // The branch's register of the day, type and pledge type; when there is none the four values stay
    // in the record as a new register's and the result is false.
    bool loadOrInit(int branchId, int rType, const core::DateTime& date, int subjType,
                    fb::Transaction* transaction);
    // Takes the next number of the branch's receipt (R_TYPE 1) or expense register counter, in a
    // transaction of its own (used up even when the caller rolls back), and inserts the register with
    // a new key on the caller's transaction; the key.
    int insertNumbered(fb::Transaction* transaction);
    // Deletes the register when no order is grouped in it.
    void deleteIfEmpty(fb::Transaction* transaction);
    // The sum of its orders' amounts, in hundredths; 0 without orders.
    qint64 getSum(fb::Transaction* transaction) const;

private:
    void init();
};

}  // namespace TolvLogic
