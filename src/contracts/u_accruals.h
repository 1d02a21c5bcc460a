#pragma once
// What a contract earned within a period, for the accrual books, acts and parcels: interest, storage fee
// and penalty accrued day by day, with the accruals of a contract past its term and grace period held
// back until the client pays again; and the cache an act or a parcel keeps of the accrued debts it asks.

#include <map>
#include <vector>

#include "kv_DateUtl.h"
#include "platform/core/DateTime.h"
#include "u_PercCalc.h"

namespace TolvLogic {

class TPenaltyContractInfo;
class OpItem;

class AccrualsCalcer {
public:
    // The figures of one contract; money in hundredths.
    struct Accruals {
        int depositSum = 0;  // the largest principal met; for a sold contract the principal at the sale
        int accrualDaysStor = 0;
        int accrualDaysPerc = 0;
        int accrualDaysPenalty = 0;
        int accrualStorSum = 0;
        int accrualPercSum = 0;
        int accrualPenaltySum = 0;
        int accrualSum = 0;
        core::DateTime payDate;      // zero when none
        core::DateTime accrualDate;  // the last day taken into the period
        bool isSaled = false;

        // The larger principal, the other numbers summed, the dates and the flag of the left side.
        Accruals operator+(const Accruals& other) const;
        Accruals& operator+=(const Accruals& other) { return *this = *this + other; }
        friend bool operator==(const Accruals&, const Accruals&) = default;
    };

    static Accruals calcAccruals(const TPenaltyContractInfo& contract,
                                 const utl::DateUtl::DateInterval& period, bool ignoreState);
    // The day the sale is measured from: the closing day of a closed contract, else the last term expiry
    // of the run, else (a pledge sold before its term ran out) the closing day.
    static core::DateTime calcLastRefinDate(const TPenaltyContractInfo& contract,
                                            const std::vector<OpItem>& items, bool ignoreState);
    // The last day the engine has to run for the figures.
    static core::DateTime calcTermEnd(const TPenaltyContractInfo& contract, bool ignoreState);
    // The accruals from the contract date to the date as a debt: principal, interest, penalty, storage fee.
    static DebtSums scGetAccruedDebt(int contractId, core::DateTime date, bool ignoreState);
};

// The accrued debts one act or parcel asks while it is built, each (contract, date) computed once.
class AccrualsCacher {
public:
    struct DebtCacheIdent {
        int contractId = -1;
        core::DateTime date;
        friend auto operator<=>(const DebtCacheIdent&, const DebtCacheIdent&) = default;
    };

    struct DebtCacheData {
        int base = 0;
        int perc = 0;
        int penalty = 0;
        int storage = 0;
        int debtDays = -1;
        int overdueDays = -1;  // the contract's own overdue count on the date
        friend bool operator==(const DebtCacheData&, const DebtCacheData&) = default;
    };

    // Without a cacher the debt is computed every time.
    static DebtCacheData scGetDebt(AccrualsCacher* cacher, core::DateTime date, int contractId);
    // The share of one pledged item: its credit, and the other sums in proportion to it.
    static DebtCacheData scGetDebtSubj(AccrualsCacher* cacher, core::DateTime date, int contractId,
                                       int itemId);

    // Splits the debt over items of these credits, in their order: each but the last takes its credit
    // as principal and the other sums in proportion to it, rounded once half to even; the last takes
    // what remains, so the shares add up to the debt. A debt without principal goes wholly to the last.
    static std::vector<DebtCacheData> scSplitDebt(const DebtCacheData& debt, const std::vector<int>& credits);

    std::size_t size() const { return cache_.size(); }

private:
    std::map<DebtCacheIdent, DebtCacheData> cache_;
};

}  // namespace TolvLogic
