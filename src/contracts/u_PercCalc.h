#pragma once
// The debt calculation of a contract on a date and its process-wide cache of computed debts. The
// calculation reads the contract, its operations and the stored checkpoints, replays the days with the
// arithmetic of u_PercCalcCore and writes the rests after each operation back as checkpoints; every
// stored change of a contract or of its operations drops the contract's cached debts through scClearCache.

#include <memory>
#include <vector>

#include "kv_DateUtl.h"
#include "kv_FbQueryGod.h"
#include "platform/core/DateTime.h"
#include "u_PercCalcCore.h"

namespace TolvLogic {

class TPenaltyContractInfo;
class TPenaltyOperationInfo;
class TToSaleInfo;

// The debt on a date: principal, interest, penalty and storage fee in hundredths, and days overdue.
struct DebtSums {
    int base = 0;
    int perc = 0;
    int penalty = 0;
    int storage = 0;
    int debtDays = -1;  // -1 when undetermined

    void clear() { *this = DebtSums(); }
    int getTotal() const { return base + perc + penalty + storage; }
    // What a sale of the pledge has to cover, by the "DEFAULTS" settings read at every call.
    int getSaleSum() const;
    friend bool operator==(const DebtSums&, const DebtSums&) = default;
};

// The operations of a contract read for a run (or for the last one but one), all fetched at once, on a
// query with a transaction of its own; the checkpoints of a run are written in that transaction, which
// commits when the selection is released.
class PercCalcOperations : public CheckpointSink {
public:
    // The operations dated between the two days, both included.
    PercCalcOperations(int depositId, core::DateTime from, core::DateTime to);
    // All operations of the deposit but the excepted one (-1: none excepted).
    PercCalcOperations(int depositId, int exceptId);
    ~PercCalcOperations() override;
    PercCalcOperations(const PercCalcOperations&) = delete;
    PercCalcOperations& operator=(const PercCalcOperations&) = delete;

    int getLastOpId() const;
    // The last row's OP_DATE; the zero date without rows.
    core::DateTime getLastOpDate() const;
    bool isEof() const { return rows_.empty(); }
    bool isLastRestNotNull() const { return !rows_.empty() && rows_.back().hasRest; }
    const std::vector<OpRow>& rows() const { return rows_; }

    // Stores the rests of the item as the checkpoint of the row. Another workstation holding the row
    // only costs the shortcut; a row that is gone raises "exception.DB".
    void updateOperationDebt(std::size_t row, const OpItem& currDebt) override;

    // Drops the checkpoints of a contract (-1: of all contracts) and its cached debts; in the given
    // transaction without committing it, or in one of its own that commits.
    static void scClearOperationDebts(int depositId, fb::Transaction* transaction = nullptr);

private:
    void read(fb::Query& query);

    // Reads the rows: read only, so a calculation that stores nothing costs no commit.
    std::unique_ptr<fb::Transaction> transaction_;
    // Takes the checkpoints, made at the first one; released while active it commits (or rolls back
    // while an exception unwinds).
    std::unique_ptr<fb::Transaction> writer_;
    int depositId_;
    std::vector<OpRow> rows_;
};

class PercCalc {
public:
    // The key of the debt cache; dates are whole days.
    struct CacheIdent {
        int contractId = -1;
        int date = 0;
        bool ignoreState = false;
        int opId = -1;
        friend auto operator<=>(const CacheIdent&, const CacheIdent&) = default;
    };

    // Over a loaded contract (not owned); the operation, when given, bounds the calculation.
    PercCalc(const TPenaltyContractInfo* contract, const TPenaltyOperationInfo* operation);
    // The contract is loaded on first use and owned.
    PercCalc(int contractId, const TPenaltyOperationInfo* operation);
    virtual ~PercCalc();
    PercCalc(const PercCalc&) = delete;
    PercCalc& operator=(const PercCalc&) = delete;

    // The history between the interval's days: the opening item, day snapshots and operation
    // snapshots. onlyEvents keeps operations and term expiries; ignoreState computes as if open.
    std::vector<OpItem>& calc(const utl::DateUtl::DateInterval& interval, bool onlyEvents, bool ignoreState);
    // The debt on the date's day, from the cache when allowed; every result on or after the contract
    // date is cached.
    DebtSums getDebt(core::DateTime date, bool ignoreState, bool useCache);
    std::vector<OpItem>& getItems() { return items_; }

    // Drops the cached debts of the contract; -1 drops the whole cache.
    static void scClearCache(int contractId);
    // The daily interest rate in percent per day on a date.
    static long double scGetDayRate(const TPenaltyContractInfo& contract, core::DateTime date);

    // The terms of a contract as the arithmetic reads them; the rates of an indexed contract.
    static DebtTerms scTermsOf(const TPenaltyContractInfo& contract);
    // The rates of an indexed contract, read on the transaction (null: one of its own).
    static DollarRates scLoadRates(const DebtTerms& terms, fb::Transaction* transaction = nullptr);

private:
    const TPenaltyContractInfo& contract();
    fb::Transaction* reads();
    // Ends the reads of a run: a read-only transaction left open would hold back the server's cleanup.
    void endReads();
    void calcPeriod(const DebtTerms& terms, int to, bool ignoreState, RunRequest& request);

    const TPenaltyContractInfo* contract_ = nullptr;
    // The reads of the engine's own records and of the rates; before the records, which use it.
    std::unique_ptr<fb::Transaction> reads_;
    std::unique_ptr<TPenaltyContractInfo> ownContract_;
    int contractId_;
    const TPenaltyOperationInfo* operation_;
    std::unique_ptr<TToSaleInfo> toSale_;
    std::vector<OpItem> items_;
    DebtTerms terms_;  // as the last run read them
    bool skipAhead_ = false;
    bool startAtCheckpoint_ = false;
};

}  // namespace TolvLogic
