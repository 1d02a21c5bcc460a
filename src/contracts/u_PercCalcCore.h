#pragma once
// The day-by-day arithmetic of the debt calculation, apart from the database: the terms it reads, the
// operation rows it applies, the three accrual kinds, the history items and the run that replays a
// contract day by day. The reads and the checkpoint writes live in u_PercCalc.

#include <QString>
#include <QtGlobal>
#include <utility>
#include <vector>

namespace TolvLogic {

class PercCalcState;
class OpItem;

// The deposit terms and contract columns the calculation reads, as plain numbers (days since
// 30.12.1899 for dates; flags set when not 0).
struct DebtTerms {
    int contractId = -1;
    int contractDate = 0;
    int state = 0;
    bool hasClose = false;
    int closeDate = 0;
    int filialId = 0;
    int depositSum = 0;
    int penaltyDays = 0;
    int depositPerc = 0;
    int penaltyPerc = 0;
    int dollarPrice = 0;
    int subjectPrice = 0;
    bool isCalcPercWithPenalty = false;
    int exceedDays = 0;
    bool isPrivInExceed = false;
    int isPenalFromRetSum = 0;  // only 1 charges the penalty on the return sum
    int minAccrualDays = 0;
    int storageType = 0;
    int storageVal = 0;
    bool isStorageStartWPen = false;
    int storageMinDays = 0;
    bool isUsdExchange = false;
    bool isMakeExchangeByIncrease = false;
};

// What the dollar indexation looks up: the contract's payment dates (OP_SUM >= 0) in ascending order
// and the branch's rates (day, rate) in ascending order of day.
struct DollarRates {
    std::vector<int> paymentDates;
    std::vector<std::pair<int, double>> rates;

    // The first payment on or after the day, else the day itself.
    int rateDay(int day) const;
    // The day's own rate, else the latest earlier one, else 1.0.
    double rateInForce(int day) const;
};

// The daily interest rate in percent per day, indexed to the dollar when the contract is. A term of 0
// gives 0 (no interest); a dollar price of 0 leaves the rate unindexed. rates may be null for a
// contract without indexation.
long double dayRate(const DebtTerms& terms, const DollarRates* rates, int day);

// One PENALTY_OPERATIONS row as the run applies it.
struct OpRow {
    int opId = -1;
    int date = 0;
    int sum = 0;
    int storageSum = 0;
    int percSum = 0;
    int penaltySum = 0;
    int nonCalcDays = 0;
    bool hasRest = false;  // OP_REST_BASE is not NULL: the row holds a checkpoint
    int restBase = 0;
    int restPerc = 0;
    int restStorage = 0;
    int restPenalty = 0;
};

// Writes the checkpoint of the row the run has just applied.
class CheckpointSink {
public:
    virtual ~CheckpointSink() = default;
    virtual void updateOperationDebt(std::size_t row, const OpItem& currDebt) = 0;
};

// One accrued amount of one kind inside an OpItem.
class AccrualItem {
public:
    virtual ~AccrualItem() = default;
    // Rate of the kind in percent per day.
    virtual long double getRate() const = 0;
    virtual int getMinDays() const = 0;
    virtual int getMinSum() const = 0;
    // The amount owed after the counted days.
    virtual int calcSum() const = 0;

    void pay(int amount);
    int daysToMin() const;
    void accrue();
    int getFullTermSum() const;
    bool isTermExceeded() const;

    int sum = 0;
    int paid = 0;
    int chargedDays = 0;
    int carried = 0;

protected:
    AccrualItem(PercCalcState* state, OpItem* parent) : state_(state), parent_(parent) {}
    AccrualItem(const AccrualItem&) = default;
    AccrualItem& operator=(const AccrualItem&) = default;
    PercCalcState& state() const;
    const OpItem& parent() const;

private:
    friend class OpItem;
    PercCalcState* state_;
    OpItem* parent_;
};

class AccrualPerc : public AccrualItem {
public:
    using AccrualItem::AccrualItem;
    long double getRate() const override;
    int getMinDays() const override;
    int getMinSum() const override;
    int calcSum() const override;
};

class AccrualStore : public AccrualItem {
public:
    using AccrualItem::AccrualItem;
    long double getRate() const override;
    int getMinDays() const override;
    int getMinSum() const override;
    int calcSum() const override;
};

class AccrualPenalty : public AccrualItem {
public:
    using AccrualItem::AccrualItem;
    long double getRate() const override;
    int getMinDays() const override { return 0; }
    int getMinSum() const override { return 0; }
    int calcSum() const override;
};

// One step of the history: a day snapshot or an operation snapshot.
class OpItem {
public:
    // An item whose accrual members belong to the run state (which may be null), reset.
    explicit OpItem(PercCalcState* state = nullptr);
    OpItem(const OpItem& other);
    OpItem& operator=(const OpItem& other);

    // All numbers 0, date 0, opId -1, flags false.
    void clear();
    // The run is over: its state is gone, and so is the accrual members' access to it.
    void detach();

    int dayCounter = 0;
    int date = 0;
    int opId = -1;
    bool termExpired = false;
    bool graceOver = false;
    int base = 0;
    int increase = 0;
    int returned = 0;
    AccrualPerc perc;
    AccrualStore storage;
    AccrualPenalty penalty;

private:
    void adopt(PercCalcState* state);
};

// Days overdue from the items of a run (-1 when undetermined).
int debtDaysOf(const DebtTerms& terms, const std::vector<OpItem>& items);

// The run of one calculation: what is asked, the effective interval and the counters.
struct RunRequest {
    int from = 0;  // first day whose snapshots are kept
    int to = 0;
    int begin = 0;  // effective interval
    int end = 0;
    int tailDays = 0;
    int boundingOpId = -1;  // -1: no bounding operation
    bool hasBoundingDate = false;
    int boundingDate = 0;
    bool onlyEvents = false;
    bool skipAhead = false;
    bool startAtCheckpoint = false;
};

// The working state of one run over the operations of the effective interval (ordered by date and id).
class PercCalcState {
public:
    PercCalcState(const DebtTerms& terms, const DollarRates* rates, const std::vector<OpRow>& rows,
                  const RunRequest& request, CheckpointSink* sink);
    PercCalcState(const PercCalcState&) = delete;
    PercCalcState& operator=(const PercCalcState&) = delete;

    // Replays the interval, replacing the items; they are detached from this state on return.
    void run(std::vector<OpItem>& items);

    // The day's accrual step on the current item.
    void accrueDay();

    const DebtTerms& terms() const { return terms_; }
    int curDate() const { return curDate_; }
    int percDays() const { return percDays_; }
    int penaltyDays() const { return penaltyDays_; }
    bool restsLoaded() const { return restsLoaded_; }
    // The daily interest rate of a day, remembered for the last day asked.
    long double dayRateOn(int day);
    OpItem& current() { return current_; }

private:
    void buildCalendar();
    bool counted(int day) const;
    void countDay();
    void applyOperations(std::vector<OpItem>& items);
    bool rowsReachBounding() const;
    bool allApplied() const { return cursor_ >= rows_.size(); }

    const DebtTerms& terms_;
    const DollarRates* rates_;
    const std::vector<OpRow>& rows_;
    RunRequest request_;
    CheckpointSink* sink_;
    OpItem current_;
    int begin_;
    int end_;
    int curDate_;
    int dayCounter_ = 0;
    int percDays_ = 0;
    int penaltyDays_ = 0;
    int graceDays_ = 0;
    std::size_t cursor_ = 0;
    bool restsLoaded_ = false;
    int tailDays_;
    int lastOpDate_ = 0;
    int calendarBegin_ = 0;
    std::vector<char> calendar_;
    int rateDay_ = 0;
    bool rateKnown_ = false;
    long double rate_ = 0;
};

namespace percmath {
// x held as a double and rounded to a whole number, halves to the even neighbour.
double roundEven(long double x);
// roundEven taken as a 32-bit integer (the low 32 bits of the whole number).
int truncRound(long double x);
}  // namespace percmath

}  // namespace TolvLogic
