#pragma once
// The automatic cash orders: after every change of money the orders of each day it touched are
// regenerated, by the summary method (one order per money category and day) or the detailed one
// (one order per movement, grouped in numbered registers). The method of a day is the one its
// REGISTERS rows record; a day without rows follows the database setting.

#include <QString>
#include <memory>
#include <vector>

#include "platform/core/DateTime.h"
#include "u_ContractHooks.h"

namespace fb {
class Database;
class Transaction;
}  // namespace fb

namespace TolvLogic {

// The cash settings stored in the database, each read in one place with its one default.
namespace CashSettings {
// [DEFAULTS] WarrantCalculationMethod: 1 summary, 2 detailed.
int warrantCalculationMethod();
// [DEFAULTS] groupAutoOrdersInRegister: the detailed method's orders listed as their registers.
bool groupAutoOrdersInRegister();
// [DEFAULTS] INI_DFLT_NumCashBookSheets: the printed cash book numbers its sheets.
bool numCashBookSheets();
// [PERMISSION] CanAgentSeeCashDate: an agent may work on other days than today.
bool canAgentSeeCashDate();
}  // namespace CashSettings

// The strategy of one day's automatic orders, working on the transaction given at construction. A
// null transaction: each regeneration runs in one transaction of its own on the program database,
// committed when it ends, so that it is stored whole or not at all.
class WarrantCalculationManager : public WarrantCalculation {
public:
    explicit WarrantCalculationManager(fb::Transaction* transaction);
    ~WarrantCalculationManager() override;

    // 0 when the branch's REGISTERS rows of the day record nothing, 1 when the first row is a day
    // marker, else 2. Committed rows only. Branch -1: the current branch (0 without exactly one).
    static int getDayCalculationMethod(core::DateTime date, int branchId, fb::Database* database = nullptr);
    // The recorded method, else the setting.
    static int getCalculationMethod(core::DateTime date, int branchId, fb::Database* database = nullptr);
    // Stores the setting in a transaction of its own.
    static bool setCalculationMethod(int method);
    // False when today already records a method other than this one in the current branch.
    static bool checkCalculationMethod(int method);
    // The strategy of the method in force for the day and branch, working on the transaction; none
    // for a method other than 1 and 2.
    static std::unique_ptr<WarrantCalculationManager> scCreate(core::DateTime date, int branchId,
                                                               fb::Transaction* transaction);

    // The branch's counters of order numbers (the next number to give), read committed; the
    // advances are committed at once.
    static int getReceiptNumber(int branchId);
    static int getExpenseNumber(int branchId);
    static void advanceReceiptNumber(int branchId);
    static void advanceExpenseNumber(int branchId);

    fb::Transaction* getTransaction() const { return transaction_; }

    // Day sums in hundredths, manual and automatic orders alike; without a transaction on committed
    // rows. They need no strategy.
    // The statement's C_SUM with :DATE_FOR set to the date; 0 for no row or NULL.
    static qint64 selectSum(const QString& sql, core::DateTime date, fb::Transaction* transaction = nullptr);
    static bool hasReceipts(core::DateTime date, int branchId, fb::Transaction* transaction = nullptr);
    static bool hasExpenses(core::DateTime date, int branchId, fb::Transaction* transaction = nullptr);
    static qint64 getBalanceBefore(core::DateTime date, int branchId, fb::Transaction* transaction = nullptr);
    static void getDayTotals(core::DateTime date, int branchId, qint64& receipts, qint64& expenses,
                             fb::Transaction* transaction = nullptr);

    // recalc for the first date, then for the second when it differs.
    void recalcTwoDates(core::DateTime date1, core::DateTime date2, TPenaltyContractInfo& contract,
                        const QString& code, TPenaltyOperationInfo* operation, ServicesList* services,
                        const QString& text);
    // recalc for every date, in order.
    void recalcDates(const std::vector<core::DateTime>& dates, TPenaltyContractInfo& contract,
                     const QString& code, TPenaltyOperationInfo* operation, ServicesList* services,
                     const QString& text);

    // The connection the strategy works on.
    fb::Database* database() const;

private:
    fb::Transaction* transaction_;
};

// Method 1: one order per category of the day's money, under the day's marker row.
class WarrantCalculationSum : public WarrantCalculationManager {
public:
    using WarrantCalculationManager::WarrantCalculationManager;
    ~WarrantCalculationSum() override;
    // Every category of the day again; the code, the operation and the text do not matter.
    void recalc(core::DateTime date, TPenaltyContractInfo& contract, const QString& code,
                TPenaltyOperationInfo* operation, ServicesList* services, const QString& text) override;

private:
    void regenerate(core::DateTime date, int branch, ServicesList* services, fb::Transaction* transaction);
};

// Method 2: one order per movement, in the registers of its day, type and pledge type.
class WarrantCalculationDetail : public WarrantCalculationManager {
public:
    using WarrantCalculationManager::WarrantCalculationManager;
    ~WarrantCalculationDetail() override;
    // The orders of the movement the code names and of the services passed with it.
    void recalc(core::DateTime date, TPenaltyContractInfo& contract, const QString& code,
                TPenaltyOperationInfo* operation, ServicesList* services, const QString& text) override;
};

// The factory the contract layer regenerates orders through.
class WarrantCalculationManagerFactory : public WarrantCalculationFactory {
public:
    std::unique_ptr<WarrantCalculation> scCreate(core::DateTime date, int filialId,
                                                 fb::Transaction* transaction) override;
};

// Installs the program-wide factory (the program's start and the cash tests call it).
void installWarrantCalculation();

}  // namespace TolvLogic
