#pragma once
// A pledge loan contract in memory: its head row, its loan terms and, for a contract taken over from
// another branch, its client and agent as text; the questions several callers share about it, and the
// table of the actions each contract state allows.

#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "kv_DBRecord.h"
#include "kv_QueryWrapper.h"
#include "platform/core/DateTime.h"
#include "u_DbFields.h"
#include "u_PercCalc.h"

namespace data {
class Dataset;
}
namespace fb {
class Database;
class Transaction;
}  // namespace fb
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
    // Read on the transaction; none: one of its own.
    QString getClientName(fb::Transaction* transaction = nullptr) const;
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

// The list of contracts the main window shows, filters and sorts: each contract with its client,
// agent, state, pledge type, branch and, with the with-debt flag, its current principal. It also
// carries the debt lookups by contract, the number lookup, the numbering of new contracts and the
// stored state changes. The debtors and the contracts in acts are views of it.
class TPenaltyContracts : public ufb::QueryWrapper {
public:
    TPenaltyContracts(fb::Transaction* transaction, bool withDebt);
    // For subclasses, which build the list themselves after their own setup.
    TPenaltyContracts(bool buildNow, bool withDebt, fb::Transaction* transaction, bool isManager);
    ~TPenaltyContracts() override;

    bool open() override;
    // Picking a row as a record is not supported: always raises.
    bool selectRecord(const core::Variant& key, ufb::TDBRecord& record) override;
    // " CONTRACT_ID" becomes " C.CONTRACT_ID": several joined tables carry the name.
    void addFilter(const QString& condition) override;

    virtual DebtSums getDebt(const TPenaltyContractInfo& contract, core::DateTime date, bool useCache);
    virtual DebtSums getDebt(int contractId, core::DateTime date, bool useCache);
    virtual DebtSums getSaleDebt(int contractId, bool useCache);
    virtual void initFields();
    virtual void OnCalcFields(data::Dataset& dataset);
    virtual QString getExtraSelectFields() const { return QString(); }

    void filterById(int contractId);
    void filterByNumber(const QString& text);
    void filterByClientName(const QString& text);
    void filterByClientId(int clientId);
    void filterByAgentName(const QString& text);
    void filterByAgentId(int agentId);
    void filterByDate(core::DateTime date);
    void filterByState(int state);
    void filterByFilial(int filialId);
    void filterByDepositType(int depositType);
    void filterByPlace(int placeId);
    void filterNotArchived();
    void filterWithApplication();
    void filterForExport(int filialId, core::DateTime first, core::DateTime last);
    QString getFilterText() const { return getWhereAndOrder(); }

    // CONTRACT_NUM of the contract; a missing one raises "exception.DB".
    static QString NumberById(int id);
    // The date of the contract's latest repayment (principal increases do not count), else its date.
    core::Variant getLastPayDate(int contractId) const;

    // Numbering of new contracts from the "OrderNumberTemplate" setting and the branch counter.
    QString buildOrderNum(int filialId, core::DateTime contractDate);
    // The same with the counter given: the number a counter taken by the advance stands for.
    QString buildOrderNum(int filialId, core::DateTime contractDate, int counter);
    // The branch counter after the restart rule; with advance the number is taken (the counter moves on
    // at once, in a transaction of its own) and that number is returned. The transaction is not used.
    int autoincOrderNum(int filialId, core::DateTime contractDate, bool advance,
                        fb::Transaction* transaction);
    static int getResetContractNumOn();
    bool isOrderNumUnique(int contractId, const QString& number, int year, int filialId);

    // Stores a contract's state and close date; leaving the sold state removes the sale and
    // regenerates its cash orders. Without a transaction it commits or rolls back whole.
    void setState(int contractId, core::DateTime date, int state, fb::Transaction* transaction,
                  ServicesList* services, const QString& text);
    void closeContract(int contractId, core::DateTime date, fb::Transaction* transaction,
                       ServicesList* services);
    void reopenContract(int contractId, core::DateTime date, fb::Transaction* transaction);
    void returnToSale(int contractId, fb::Transaction* transaction);
    void deleteSale(TPenaltyContractInfo& contract, fb::Transaction* transaction, ServicesList* services,
                    const QString& text);

    core::DateTime listDate() const { return listDate_; }
    bool withDebt() const { return withDebt_; }
    bool isManager() const { return isManager_; }

    // Above this many matching clients the name search keeps its contains condition over the join.
    static constexpr int kMaxKeyList = 1500;

protected:
    QString baseSelect() const;
    int language() const { return language_; }

private:
    core::DateTime listDate_;
    bool withDebt_;
    bool isManager_;
    int language_;
};

// Open contracts whose term, prolonged by every payment that cleared the interest, has run out at the
// debt date, with their debts at that date.
class TPenaltyDebitors : public TPenaltyContracts {
public:
    TPenaltyDebitors();

    void clearFilter() override;
    void initFields() override;
    void OnCalcFields(data::Dataset& dataset) override;
    virtual bool filterRecord(data::Dataset& dataset);
    QString getDebtTimeText(const data::Field& field) const;
    static QString IBQueryGetTextToSaleSum(const data::Field& field);

    void setDebtDate(core::DateTime date);
    core::DateTime getDebtDate() const { return debtDate_; }
    // The overdue condition for a date, as the where clause gets it.
    static QString overdueCondition(core::DateTime date);

private:
    DebtSums debtOf(int contractId) const;
    core::DateTime debtDate_;
};

// The contracts listed in acts that hand forfeited pledges over, with the act's number.
class TPenaltyInActs : public TPenaltyContracts {
public:
    TPenaltyInActs();

    void clearFilter() override;
    void initFields() override;
    QString getExtraSelectFields() const override;

    // The act a contract is listed in (the lowest id), -1 when none.
    static int scGetContractActId(int contractId);
    static bool scIsContractInAct(int contractId) { return scGetContractActId(contractId) != -1; }
    // The parcel of an act the contract is listed in, -1 when none.
    static int scGetContractParcelId(int contractId);
};

// The lending company's requisites: its registration, address, head and chief accountant in a row of
// ZVIT_COMPANY (row 1 is the company's own; a regulatory report keeps a copy under another id), and its
// tax and bank details in the database-stored settings section "CompanyInfo", which every object
// shares whatever its row.
class CompanyInfo {
public:
    enum Column {
        zID = 0,
        zEDR_CD,
        zFULL_NM,
        zREG_NM,
        zPOST_CD,
        zREG_PART,
        zCITY_NM,
        zSTR_NM,
        zBULD_N,
        zICTEL_CD,
        zPHN_N,
        zFAX_N,
        zSN_SVIS,
        zN_SVIS,
        zMN_SVIS,
        zCHACC_SN,
        zCHACC_NM,
        zCHACC_MN,
        zSUB_DEP_CNT
    };

    // Reads the row and the settings at once. Row 1 is created (with its key only) when missing; any
    // other missing row raises.
    explicit CompanyInfo(int rowId);
    ~CompanyInfo();
    CompanyInfo(const CompanyInfo&) = delete;
    CompanyInfo& operator=(const CompanyInfo&) = delete;

    void load();
    // The row first, then the settings keys one by one, each in a transaction of its own.
    void save();

    // A column the record does not hold raises the record's missing-field error.
    core::Variant getValue(int index) const;
    void setValue(int index, const core::Variant& value);

    bool isCompanyVATPayer = true;
    QString INN;
    float VATValue = 20.0f;
    QString registrationCertificateNum;
    QString SPEC_COMMUNICATIONS_DEPARTMENT;
    QString contractWithSpecCommunications;
    QString companyAccount;
    QString INI_COMPANY_INFO_COMPANY_BANK;
    QString INI_COMPANY_INFO_COMPANY_BANK_MFO;
    QString INI_COMPANY_INFO_COMPANY_OKPO;
    QString contractWithNBUNum;
    // The zero date when none is set.
    core::DateTime contractWithNBUDate;

private:
    std::unique_ptr<ufb::TDBRecord> record_;
};

// A date as the SQL literal 'YYYY-MM-DD', whatever the process date format.
QString sqlDate(core::DateTime date);

}  // namespace TolvLogic
