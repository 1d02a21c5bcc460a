#include "u_PercCalcCore.h"

#include <algorithm>
#include <cmath>

#include "kv_Money100.h"
#include "platform/core/Exception.h"

namespace TolvLogic {

namespace percmath {

double roundEven(long double x) {
    const double d = static_cast<double>(x);
    // Exact halves go to the even neighbour whatever the floating-point rounding mode is.
    if (std::fabs(d - std::trunc(d)) == 0.5) return 2.0 * std::round(d / 2.0);
    return std::round(d);
}

int truncRound(long double x) {
    return static_cast<int>(static_cast<quint32>(static_cast<qint64>(roundEven(x))));
}

}  // namespace percmath

using percmath::roundEven;
using percmath::truncRound;

namespace {

// Days times amounts stay in 64 bits: a principal of 15,000.00 times a term already leaves 32.
long double product(qint64 a, qint64 b) {
    return static_cast<long double>(a * b);
}

const long double kHundredth = 0.01;

}  // namespace

// ---- dollar rates -----------------------------------------------------------------------------

int DollarRates::rateDay(int day) const {
    const auto it = std::lower_bound(paymentDates.begin(), paymentDates.end(), day);
    return it == paymentDates.end() ? day : *it;
}

double DollarRates::rateInForce(int day) const {
    const auto it = std::upper_bound(rates.begin(), rates.end(), day,
                                     [](int d, const std::pair<int, double>& r) { return d < r.first; });
    return it == rates.begin() ? 1.0 : std::prev(it)->second;
}

long double dayRate(const DebtTerms& terms, const DollarRates* rates, int day) {
    // Without a term there is no daily share of the term's interest.
    if (terms.penaltyDays == 0) return 0;
    const double term = terms.penaltyDays;
    const double r = Money100::fromHundredths(terms.depositPerc) / term;
    if (!terms.isUsdExchange) return r;
    const double k0 = Money100::fromTenThousandths(terms.dollarPrice);
    // A contract without a dollar price at its date has nothing to be indexed against.
    if (k0 <= 0 || !rates) return r;
    const double now = rates->rateInForce(rates->rateDay(day));
    if (!terms.isMakeExchangeByIncrease || now >= k0) {
        const long double share = 100.0L / term;
        return (share + r) * (static_cast<long double>(now) / k0) - share;
    }
    return r;
}

// ---- accrual items --------------------------------------------------------------------------------

PercCalcState& AccrualItem::state() const {
    if (!state_) throw core::Exception(QStringLiteral("AccrualItems's _state is null"));
    return *state_;
}

const OpItem& AccrualItem::parent() const {
    if (!parent_) throw core::Exception(QStringLiteral("AccrualItems's _parent is null"));
    return *parent_;
}

void AccrualItem::pay(int amount) {
    sum -= amount;
    if (std::abs(sum) < 1) sum = 0;
    carried = sum;
    paid = amount;
}

int AccrualItem::daysToMin() const {
    const int minDays = getMinDays();
    if (minDays == 0) return 0;
    const PercCalcState& s = state();
    return minDays - (s.curDate() - s.terms().contractDate);
}

void AccrualItem::accrue() {
    const int a = daysToMin();
    if (a < 1) {
        sum = calcSum();
        chargedDays = 1;
    } else if (a == getMinDays()) {
        sum = getMinSum();
        chargedDays = a;
    } else {
        chargedDays = 0;
    }
}

int AccrualItem::getFullTermSum() const {
    return truncRound(product(state().terms().penaltyDays, parent().base) * getRate() * kHundredth);
}

bool AccrualItem::isTermExceeded() const {
    return calcSum() > getFullTermSum();
}

long double AccrualPerc::getRate() const {
    PercCalcState& s = state();
    return s.dayRateOn(s.curDate());
}

int AccrualPerc::getMinDays() const {
    return state().terms().minAccrualDays;
}

int AccrualPerc::getMinSum() const {
    PercCalcState& s = state();
    const DebtTerms& t = s.terms();
    return truncRound(product(t.minAccrualDays, t.depositSum) * s.dayRateOn(t.contractDate) * kHundredth);
}

int AccrualPerc::calcSum() const {
    const PercCalcState& s = state();
    return truncRound(product(s.percDays(), parent().base) * getRate() * kHundredth + carried);
}

long double AccrualStore::getRate() const {
    return state().terms().storageVal * kHundredth;
}

int AccrualStore::getMinDays() const {
    return state().terms().storageMinDays;
}

int AccrualStore::getMinSum() const {
    const DebtTerms& t = state().terms();
    switch (t.storageType) {
        case 1:
            return truncRound(
                product(Money100::toHundredths(static_cast<double>(getRate())), t.storageMinDays));
        case 2:
            return truncRound(product(t.storageMinDays, t.subjectPrice) * getRate() * kHundredth);
        case 3:
            return truncRound(product(t.storageMinDays, t.depositSum) * getRate() * kHundredth);
        default:
            return 0;
    }
}

int AccrualStore::calcSum() const {
    const PercCalcState& s = state();
    const DebtTerms& t = s.terms();
    switch (t.storageType) {
        case 1:
            return truncRound(carried +
                              product(Money100::toHundredths(static_cast<double>(getRate())), s.percDays()));
        case 2:
            return truncRound(carried +
                              roundEven(getRate() * product(s.percDays(), t.subjectPrice) * kHundredth));
        case 3:
            return truncRound(carried +
                              roundEven(getRate() * product(s.percDays(), parent().base) * kHundredth));
        default:
            return carried;
    }
}

long double AccrualPenalty::getRate() const {
    return state().terms().penaltyPerc * kHundredth;
}

int AccrualPenalty::calcSum() const {
    PercCalcState& s = state();
    const DebtTerms& t = s.terms();
    long double charged;
    if (t.isPenalFromRetSum == 1) {
        // The return sum: the principal with the interest of a whole term.
        const long double b = (parent().perc.getRate() * t.penaltyDays * kHundredth + 1) * parent().base;
        charged = s.penaltyDays() * b * getRate();
    } else {
        charged = product(s.penaltyDays(), parent().base) * getRate();
    }
    const double x = Money100::fromHundredths(roundEven(charged));
    return truncRound(x + carried);
}

// ---- OpItem ---------------------------------------------------------------------------------------

OpItem::OpItem(PercCalcState* state) : perc(state, this), storage(state, this), penalty(state, this) {
    clear();
}

OpItem::OpItem(const OpItem& other)
    : dayCounter(other.dayCounter),
      date(other.date),
      opId(other.opId),
      termExpired(other.termExpired),
      graceOver(other.graceOver),
      base(other.base),
      increase(other.increase),
      returned(other.returned),
      perc(other.perc),
      storage(other.storage),
      penalty(other.penalty) {
    adopt(other.perc.state_);
}

OpItem& OpItem::operator=(const OpItem& other) {
    if (this == &other) return *this;
    dayCounter = other.dayCounter;
    date = other.date;
    opId = other.opId;
    termExpired = other.termExpired;
    graceOver = other.graceOver;
    base = other.base;
    increase = other.increase;
    returned = other.returned;
    perc = other.perc;
    storage = other.storage;
    penalty = other.penalty;
    adopt(other.perc.state_);
    return *this;
}

void OpItem::adopt(PercCalcState* state) {
    for (AccrualItem* item : {static_cast<AccrualItem*>(&perc), static_cast<AccrualItem*>(&storage),
                              static_cast<AccrualItem*>(&penalty)}) {
        item->state_ = state;
        item->parent_ = this;
    }
}

void OpItem::detach() {
    adopt(nullptr);
}

void OpItem::clear() {
    dayCounter = 0;
    date = 0;
    opId = -1;
    termExpired = false;
    graceOver = false;
    base = 0;
    increase = 0;
    returned = 0;
    for (AccrualItem* item : {static_cast<AccrualItem*>(&perc), static_cast<AccrualItem*>(&storage),
                              static_cast<AccrualItem*>(&penalty)}) {
        item->sum = item->paid = item->chargedDays = item->carried = 0;
    }
}

// ---- days overdue ---------------------------------------------------------------------------------

int debtDaysOf(const DebtTerms& terms, const std::vector<OpItem>& items) {
    if (items.empty()) return -1;
    // No term: nothing can be overdue, as with a daily share of 0 below.
    if (terms.penaltyDays == 0) return -1;
    const OpItem& last = items.back();
    const qint64 fullTerm =
        static_cast<qint64>(roundEven(product(terms.depositPerc, last.base) * kHundredth * kHundredth));
    if (last.perc.sum <= fullTerm && last.penalty.sum <= 0) return 0;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->termExpired) return last.dayCounter - it->dayCounter + 1;
    }
    if (terms.isCalcPercWithPenalty) {
        const qint64 daily = static_cast<qint64>(
            roundEven(static_cast<long double>(qint64(terms.depositPerc) * last.base / terms.penaltyDays) *
                      kHundredth * kHundredth));
        if (daily == 0) return -1;
        return static_cast<int>((last.perc.sum - fullTerm) / daily);
    }
    const qint64 daily =
        static_cast<qint64>(roundEven(product(terms.penaltyPerc, last.base) * kHundredth * kHundredth));
    if (daily == 0) return -1;
    return static_cast<int>(last.penalty.sum / daily);
}

// ---- the run --------------------------------------------------------------------------------------

PercCalcState::PercCalcState(const DebtTerms& terms, const DollarRates* rates, const std::vector<OpRow>& rows,
                             const RunRequest& request, CheckpointSink* sink)
    : terms_(terms),
      rates_(rates),
      rows_(rows),
      request_(request),
      sink_(sink),
      current_(this),
      begin_(request.begin),
      end_(request.end),
      curDate_(request.begin),
      tailDays_(request.tailDays) {}

long double PercCalcState::dayRateOn(int day) {
    if (!terms_.isUsdExchange) {
        if (!rateKnown_) {
            rate_ = dayRate(terms_, nullptr, day);
            rateKnown_ = true;
        }
        return rate_;
    }
    if (!rateKnown_ || rateDay_ != day) {
        rate_ = dayRate(terms_, rates_, day);
        rateDay_ = day;
        rateKnown_ = true;
    }
    return rate_;
}

bool PercCalcState::rowsReachBounding() const {
    if (request_.boundingOpId == -1) return false;
    // Without its date the bounding operation cannot be placed among the rows: replay.
    if (!request_.hasBoundingDate) return true;
    return std::any_of(rows_.begin(), rows_.end(), [this](const OpRow& r) {
        return std::pair(r.date, r.opId) >= std::pair(request_.boundingDate, request_.boundingOpId);
    });
}

void PercCalcState::buildCalendar() {
    calendarBegin_ = begin_;
    calendar_.assign(end_ >= begin_ ? std::size_t(end_ - begin_ + 1) : 0, 1);
    auto mark = [this](int day) {
        if (day >= calendarBegin_ && day <= end_) calendar_[std::size_t(day - calendarBegin_)] = 0;
    };
    for (const OpRow& r : rows_) {
        if (r.opId == request_.boundingOpId) continue;
        for (int k = 0; k < r.nonCalcDays; ++k) mark(r.date - k);
    }
    for (int k = 0; k < tailDays_; ++k) mark(end_ - k);
}

bool PercCalcState::counted(int day) const {
    if (day < calendarBegin_ || day > end_) return false;
    return calendar_[std::size_t(day - calendarBegin_)] != 0;
}

void PercCalcState::countDay() {
    int n = 1;
    if (request_.skipAhead && allApplied() && penaltyDays_ != 0 && graceDays_ <= 0) {
        // A run of identical days becomes one step with the same counters at its end.
        const int e = end_ - tailDays_;
        if (curDate_ < e) {
            n = e - curDate_ + 1;
            curDate_ = e;
        }
    }
    percDays_ += n;
    if (penaltyDays_ != 0) penaltyDays_ += n;
    dayCounter_ += n;
}

void PercCalcState::applyOperations(std::vector<OpItem>& items) {
    while (cursor_ < rows_.size() && rows_[cursor_].date <= curDate_ &&
           rows_[cursor_].opId != request_.boundingOpId) {
        const OpRow& r = rows_[cursor_];
        current_.perc.pay(r.percSum);
        current_.storage.pay(r.storageSum);
        current_.penalty.pay(r.penaltySum);
        current_.base -= r.sum;
        if (!r.hasRest) {
            if (sink_) sink_->updateOperationDebt(cursor_, current_);
        } else {
            current_.base = r.restBase;
            current_.perc.sum = current_.perc.carried = r.restPerc;
            current_.storage.sum = current_.storage.carried = r.restStorage;
            current_.penalty.sum = current_.penalty.carried = r.restPenalty;
        }
        dayCounter_ = percDays_ = penaltyDays_ = graceDays_ = 0;
        ++cursor_;
        if (curDate_ >= request_.from) {
            if (r.sum >= 0) {
                current_.returned = r.sum;
                current_.increase = 0;
            } else {
                current_.increase = -r.sum;
                current_.returned = 0;
            }
            current_.date = curDate_;
            current_.dayCounter = 0;
            current_.opId = r.opId;
            items.push_back(current_);
            current_.increase = current_.returned = 0;
            current_.perc.paid = current_.storage.paid = current_.penalty.paid = 0;
        }
    }
}

void PercCalcState::accrueDay() {
    OpItem& item = current_;
    if (item.base < 0) return;
    if (penaltyDays_ <= 0 && item.perc.isTermExceeded()) {
        item.termExpired = true;
        penaltyDays_ = 1;
    }
    if (penaltyDays_ <= 0 && item.penalty.sum > 0) penaltyDays_ = 1;
    if (terms_.isPrivInExceed) {
        if (item.termExpired) graceDays_ = 1;
        if (graceDays_ > 0) {
            if (terms_.exceedDays < graceDays_) {
                item.graceOver = true;
                graceDays_ = 0;
            } else {
                graceDays_ += 1;
            }
        }
    }
    if (graceDays_ > 0) return;
    const bool penaltyPeriod = penaltyDays_ > 0;
    if (!(penaltyPeriod && !terms_.isStorageStartWPen)) item.storage.accrue();
    if (!(penaltyPeriod && !terms_.isCalcPercWithPenalty)) item.perc.accrue();
    if (penaltyPeriod) item.penalty.accrue();
}

void PercCalcState::run(std::vector<OpItem>& items) {
    current_.clear();
    current_.base = terms_.depositSum;
    current_.date = begin_;
    current_.dayCounter = 1;
    items.clear();
    items.push_back(current_);

    if (request_.startAtCheckpoint && !rows_.empty()) {
        const OpRow& last = rows_.back();
        if (last.opId != request_.boundingOpId && last.hasRest && !rowsReachBounding()) {
            begin_ = curDate_ = last.date;
            cursor_ = rows_.size() - 1;
            restsLoaded_ = true;
        }
    }
    lastOpDate_ = rows_.empty() ? 0 : rows_.back().date;
    buildCalendar();

    while (curDate_ <= end_) {
        current_.termExpired = false;
        current_.graceOver = false;
        bool done = false;
        if (counted(curDate_)) countDay();
        const bool lastDay = curDate_ == lastOpDate_ && end_ == lastOpDate_;
        if (!counted(curDate_) && !lastDay) {
            applyOperations(items);
            countDay();
            done = true;
        }
        if (!(restsLoaded_ && curDate_ == lastOpDate_ && !done)) {
            accrueDay();
            if (curDate_ >= request_.from && curDate_ <= end_ - tailDays_ &&
                (!request_.onlyEvents || current_.termExpired)) {
                current_.date = curDate_;
                current_.dayCounter = dayCounter_;
                current_.opId = -1;
                items.push_back(current_);
                current_.perc.paid = current_.storage.paid = current_.penalty.paid = 0;
                current_.increase = current_.returned = 0;
            }
        }
        if (!done) applyOperations(items);
        ++curDate_;
    }
    for (OpItem& item : items) item.detach();
}

}  // namespace TolvLogic
