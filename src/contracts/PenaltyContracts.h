#pragma once
// A pledge loan contract in memory: its head row, its loan terms and, for a contract taken over from
// another branch, its client and agent as text; the questions several callers share about it, and the
// table of the actions each contract state allows.

#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "kv_DBRecord.h"
#include "platform/core/DateTime.h"
#include "u_DbFields.h"

namespace data {
class Dataset;
}
namespace fb {
class Transaction;
}
namespace KassRegister {
class FiscalRegister;
}

namespace TolvLogic {

class ContractSubjects;
class ServicesList;
class TPenaltyOperationInfo;

// CONTRACT_STATE.
enum ContractState { csOPENED = 0, csCLOSED = 1, csSALED = 2, csONSALE = 3 };

// Actions the main window checks against the state before it acts on a contract.
enum ContractAction {
    caNEWOPERATION = 0,  // a repayment or a loan increase
    caONSALE = 1,        // put the pledge on sale
    caSALING = 2,        // sell the pledge
    caOFFSALE = 3,       // take the pledge off sale
    caREOPEN = 5         // reopen a closed contract by hand
};

struct AllowKey {
    quint8 state = 0;
    quint8 action = 0;
    friend auto operator<=>(const AllowKey&, const AllowKey&) = default;
};

// The refusal text (empty for an allowed pair) and whether the action is allowed.
struct AllowPremiss {
    QString message;
    bool allowed = true;
};

class TPenaltyContractInfo {
public:
    enum ContractColumn {
        cCONTRACT_ID = 0,
        cCLIENT_ID,
        cAGENT_ID,
        cCONTRACT_DATE,
        cCONTRACT_STATE,
        cNOTE,
        cCONTRACT_CLOSE,
        cCONTRACT_NUM,
        cFILIAL_ID,
        cIS_ARCHIVE
    };
    enum DepositColumn {
        dDEPOSIT_SUM = 0,
        dPENALTY_DAYS,
        dDEPOSIT_PERC,
        dPENALTY_PERC,
        dDEPOSIT_PLACE,
        dDOLLAR_PRICE,
        dSUBJECT_PRICE,
        dOFF_FLAG,
        dIS_CALC_PERC_WITH_PENALTY,
        dEXCEED_DAYS,
        dIS_PRIV_IN_EXCEED,
        dIS_PENAL_FROM_RET_SUM,
        dMIN_ACCRUAL_DAYS,
        dSTORAGE_TYPE,
        dSTORAGE_VAL,
        dIS_STORAGE_START_W_PEN,
        dSTORAGE_MIN_DAYS,
        dSTORAGE_SUM,
        dIS_USD_EXCHANGE,
        dIS_MAKE_EXCHANGE_BY_INCREASE
    };
    enum ImportColumn {
        iCLIENT_NAME = 0,
        iCLIENT_ADDRESS,
        iCLIENT_PHONE,
        iCLIENT_INFO,
        iCLIENT_INN,
        iCLIENT_PASSPORT_SN,
        iCLIENT_PASSPORT_NUM,
        iCLIENT_PASSPORT_INFO,
        iCLIENT_PASSPORT_DATE,
        iAGENT_NAME,
        iKASSIR_ID,
        iDEPOSIT_PLACE
    };

    // A new contract (CONTRACT_ID -1); its records have no transaction of their own.
    explicit TPenaltyContractInfo(fb::Transaction* transaction);
    // The stored contract, loaded at once with records bound to the transaction.
    TPenaltyContractInfo(int contractId, fb::Transaction* transaction);
    virtual ~TPenaltyContractInfo();
    TPenaltyContractInfo(const TPenaltyContractInfo&) = delete;
    TPenaltyContractInfo& operator=(const TPenaltyContractInfo&) = delete;

    // Reads the head row, its terms row and the import row; the number of contract rows (1). A missing
    // contract, or a terms row missing beside it, raises.
    int load();
    // The same from the three rows already selected by the contract's key (each selection at its
    // first row, or empty), for readers that keep those selections prepared.
    int load(data::Dataset& head, data::Dataset& terms, data::Dataset& import);

    // Columns by position; a column the record does not hold raises the record's missing-field error.
    core::Variant getContractValue(int index) const;
    core::Variant getDepositValue(int index) const;
    core::Variant getImportValue(int index) const;
    // Setting CONTRACT_ID moves the contract record's key with it.
    void setContractValue(int index, const core::Variant& value);
    void setDepositValue(int index, const core::Variant& value);
    int getDepositInt(int index) const;
    void setDepositInt(int index, int value);
    // DEPOSIT_TYPE; 0 for a contract without a pledge type.
    int getIdDepositeType() const;

    ufb::TDBRecord& getContractRecord() { return contract_; }
    ufb::TDBRecord& getDepositRecord() { return deposit_; }
    const ufb::TDBRecord& getContractRecord() const { return contract_; }
    const ufb::TDBRecord& getDepositRecord() const { return deposit_; }
    fb::Transaction* getTransaction() const { return transaction_; }

    bool isNew() const;
    bool isImport() const { return isImport_; }

    // The questions read committed data, each in a transaction of its own.

    // The import row's client name for an imported contract, else the client's name.
    QString getClientName() const;
    int getFilialNumber() const;
    QString getFilialName() const;
    // Storage-fee kind and value, and the daily fee derived from them.
    void setStorage(int kind, int value);
    // The last operation's date (loan increases left out with onlyPayments), else CONTRACT_DATE.
    core::DateTime getLastOpDate(bool onlyPayments) const;
    // The nearest operation date on or after the date (after) or before it; the zero date when none.
    core::DateTime findOpDate(core::DateTime date, bool after, bool onlyPayments) const;
    // Principal paid out by loan increases, in hundredths.
    int getIncreaseSum() const;
    int getFullCreditSum() const;
    // The foundation of the contract's cash orders: "Договiр № 3.09.17 от 05.03.2009 р.".
    QString genWarrantFoundation() const;
    // The distinct operation dates, in the database's order.
    std::vector<core::DateTime> getOperationDates() const;
    bool hasOperations() const;
    // Days overdue on a date, or -1 when the contract is not overdue then.
    int getOverdueDays(core::DateTime date) const;
    // Days from the operation's date to the planned end of the term after it.
    int getDaysToPlanClose(const TPenaltyOperationInfo& operation) const;
    // A closed contract that still owed something on its closing day.
    bool isClosedWithDebt() const;

    // The pledged items, made for the pledge type and loaded in the contract's transaction on first
    // use; the contract owns them.
    ContractSubjects* getSubjects();
    // Replaces the items by an empty list for the pledge type.
    void createSubjects(int depositTypeId);
    // Changes the pledge type; items already listed go only after the user agrees (false otherwise).
    // The rows of the old items are deleted with the next save.
    bool setIdDepositeType(int depositTypeId);

    // Stores the contract with its terms, items and services in the transaction, or in one of its own
    // that commits once; with regenerate, the automatic cash orders of its date (and of the date it
    // had, when that changed) follow. Any failure leaves nothing written by this save.
    void save(fb::Transaction* transaction, bool regenerate, ServicesList* services);
    // The services list last handed to save (not owned).
    ServicesList* getServices() const { return services_; }
    // Takes the pledge off sale: its TOSALE row goes and the contract is open again. A failure rolls
    // back the transaction, the caller's too.
    void takeOffSale(fb::Transaction* transaction);
    // Deletes the contract, unless an act lists it, and regenerates the cash orders of every day it
    // touched; in the contract's transaction, else in one of its own.
    void remove();
    // Raises when an act lists the contract; false otherwise.
    bool checkNotInAct() const;
    // Adds the dates of the contract's active take-off-sale services that the list lacks.
    void addServiceDates(std::vector<core::DateTime>& dates) const;
    // The fiscal receipt of a new loan with its items and services; true also when none was due (the
    // register is not used, or the user declined its date).
    bool printCreditReceipt(KassRegister::FiscalRegister& fr, data::Dataset& services);

    // True when the contract's state allows the action; otherwise raises with the refusal text.
    bool checkAllowedOperation(int action);
    // Rebuilds the table of allowed actions in the interface language.
    void fillAllowedOperations();
    void setPermission(quint8 state, quint8 action, bool allowed, const QString& message);
    const std::map<AllowKey, AllowPremiss>& getPermissions() const { return permissions_; }

private:
    [[noreturn]] void failNotFound() const;
    [[noreturn]] static void failTermsCount();

    ServicesList* services_ = nullptr;
    std::map<AllowKey, AllowPremiss> permissions_;
    ufb::TDBRecord contract_;
    ufb::TDBRecord deposit_;
    ufb::TDBRecord import_;
    bool isImport_ = false;
    fb::Transaction* transaction_ = nullptr;
    // Declared last: destroyed before the records.
    std::unique_ptr<ContractSubjects> subjects_;
};

// The TOSALE row of a contract put on sale: its sale price, note, date and the days at its end that
// the debt calculation leaves out.
class TToSaleInfo : public ufb::TDBRecord {
public:
    enum Column { tAGENT_ID = 0, tCONTRACT_ID, tTOSALE_SUM, tTOSALE_INFO, tTOSALE_DATE, tNON_CALC_DAYS };

    // Keyed CONTRACT_ID = -1 until the caller sets the contract.
    explicit TToSaleInfo(fb::Transaction* transaction);

    // A column the record does not hold raises the record's missing-field error.
    core::Variant getValue(int index) const;
    // Setting CONTRACT_ID moves the key with it.
    void setValue(int index, const core::Variant& value);
};

}  // namespace TolvLogic
