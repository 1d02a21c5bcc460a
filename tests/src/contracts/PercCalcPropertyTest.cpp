// The two shortcuts of the debt calculation (counting the rest of the days in one step, and starting at
// the last checkpoint) must never change a figure: generated contracts are computed with and without each.
#include <gtest/gtest.h>

#include <random>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "kv_Money100.h"
#include "u_PercCalc.h"

using core::DateTime;
using namespace contracttest;
using namespace TolvLogic;

namespace {

struct Generated {
    DebtTerms terms;
    std::vector<OpRow> rows;  // by date and id, without checkpoints
    DollarRates rates;
    std::vector<int> askedDays;
    int tailDays = 0;
    int bounding = -1;  // index of the row being edited
};

Generated generate(std::mt19937& rng, int firstOpId) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](int oneIn) { return pick(1, oneIn) == 1; };
    Generated g;
    DebtTerms& t = g.terms;
    t.contractDate = DateTime::encode(2011, 1, 1).dayNumber() + pick(0, 400);
    t.depositSum = pick(1, 200) * pick(100, 10000);
    t.penaltyDays = pick(7, 60);
    t.depositPerc = pick(0, 3000);
    t.penaltyPerc = pick(0, 300);
    t.subjectPrice = pick(0, 3000000);
    t.isCalcPercWithPenalty = chance(3);
    t.exceedDays = pick(0, 5);
    t.isPrivInExceed = chance(3);
    t.isPenalFromRetSum = chance(4) ? 1 : 0;
    t.minAccrualDays = chance(3) ? pick(1, 10) : 0;
    t.storageType = pick(0, 3);
    t.storageVal = pick(0, 300);
    t.isStorageStartWPen = chance(2);
    t.storageMinDays = chance(3) ? pick(1, 5) : 0;
    t.isUsdExchange = chance(4);
    t.isMakeExchangeByIncrease = chance(2);
    t.dollarPrice = t.isUsdExchange ? pick(40000, 60000) : 0;
    if (t.isUsdExchange) {
        for (int d = t.contractDate - 20; d < t.contractDate + 150; d += pick(5, 40)) {
            g.rates.rates.emplace_back(d, Money100::fromTenThousandths(pick(40000, 60000)));
        }
    }
    const int count = pick(0, 10);
    std::vector<int> days;
    for (int i = 0; i < count; ++i) days.push_back(t.contractDate + pick(0, 120));
    std::sort(days.begin(), days.end());
    for (int i = 0; i < count; ++i) {
        OpRow r;
        r.opId = firstOpId + i;
        r.date = days[i];
        const int kind = pick(0, 5);
        r.sum = kind == 0 ? -pick(1, 50000) : kind == 1 ? pick(1, t.depositSum) : 0;
        r.percSum = pick(0, 8000);
        r.storageSum = pick(0, 1000);
        r.penaltySum = pick(0, 2000);
        r.nonCalcDays = chance(4) ? pick(1, 3) : 0;
        g.rows.push_back(r);
        if (r.sum >= 0) g.rates.paymentDates.push_back(r.date);
    }
    for (int i = 0; i < 3; ++i) g.askedDays.push_back(t.contractDate + pick(0, 180));
    if (chance(5)) g.tailDays = pick(1, 2);
    if (!g.rows.empty() && chance(6)) g.bounding = pick(0, count - 1);
    return g;
}

// Keeps what a run writes, as the operation rows would.
class MemoryCheckpoints : public CheckpointSink {
public:
    explicit MemoryCheckpoints(std::vector<OpRow> rows) : rows(std::move(rows)) {}
    void updateOperationDebt(std::size_t row, const OpItem& item) override {
        OpRow& r = rows[row];
        r.hasRest = true;
        r.restBase = item.base;
        r.restPerc = item.perc.sum;
        r.restStorage = item.storage.sum;
        r.restPenalty = item.penalty.sum;
    }
    std::vector<OpRow> rows;
};

struct Sums {
    int base, perc, penalty, storage;
    friend bool operator==(const Sums&, const Sums&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Sums& s) {
        return out << s.base << '/' << s.perc << '/' << s.penalty << '/' << s.storage;
    }
};

Sums run(const Generated& g, const std::vector<OpRow>& rows, int asked, bool skipAhead,
         bool startAtCheckpoint, CheckpointSink* sink) {
    RunRequest request;
    request.to = asked;
    request.begin = g.terms.contractDate;
    request.end = asked;
    request.tailDays = g.tailDays;
    if (g.bounding >= 0) {
        request.boundingOpId = rows[g.bounding].opId;
        request.hasBoundingDate = true;
        request.boundingDate = rows[g.bounding].date;
        request.tailDays = rows[g.bounding].nonCalcDays;
    }
    request.skipAhead = skipAhead;
    request.startAtCheckpoint = startAtCheckpoint;
    std::vector<OpItem> items;
    PercCalcState state(g.terms, &g.rates, rows, request, sink);
    state.run(items);
    const OpItem& last = items.back();
    return {last.base, last.perc.sum, last.penalty.sum, last.storage.sum};
}

TEST(PercCalcProperty, ShortcutsChangeNoFigure) {
    std::mt19937 rng(20240611);
    for (int n = 0; n < 3000; ++n) {
        const Generated g = generate(rng, 1);
        for (int asked : g.askedDays) {
            SCOPED_TRACE(testing::Message() << "contract " << n << ", day " << asked - g.terms.contractDate);
            MemoryCheckpoints written(g.rows);
            const Sums replay = run(g, g.rows, asked, false, false, &written);
            EXPECT_EQ(run(g, g.rows, asked, true, false, nullptr), replay) << "skipping ahead";
            EXPECT_EQ(run(g, written.rows, asked, false, true, nullptr), replay) << "from the checkpoint";
            EXPECT_EQ(run(g, written.rows, asked, true, true, nullptr), replay) << "both";
            if (HasFailure()) return;
        }
    }
}

// The same through the database: getDebt cold (skipping ahead, writing checkpoints), getDebt again
// (starting at them), against the day-by-day history.
using PercCalcDbProperty = ContractSuite;

TEST_F(PercCalcDbProperty, GetDebtMatchesTheDayByDayHistory) {
    std::mt19937 rng(7);
    for (int n = 0; n < 60; ++n) {
        Generated g = generate(rng, 0);
        g.tailDays = 0;  // the end is the asked day: no sale date here
        const DebtTerms& t = g.terms;
        int filial = 0;
        if (t.isUsdExchange) {
            filial = newBranch(700 + n, QStringLiteral("Филиал %1").arg(n), false);
            for (const auto& [d, rate] : g.rates.rates) {
                udb::execSql(QStringLiteral("insert into DIR_EXCHANGE (ID_FILIAL, USD_EXCHANGE, DATA) values "
                                            "(%1, %2, %3)")
                                 .arg(filial)
                                 .arg(Money100::toTenThousandths(rate))
                                 .arg(lit(DateTime(d))));
            }
        }
        const int id =
            newContract({.date = DateTime(t.contractDate), .filialId = filial, .depositSum = t.depositSum});
        udb::execSql(
            QStringLiteral(
                "update PENALTY_DEPOSITS set PENALTY_DAYS = %1, DEPOSIT_PERC = %2, PENALTY_PERC = %3, "
                "SUBJECT_PRICE = %4, IS_CALC_PERC_WITH_PENALTY = %5, EXCEED_DAYS = %6, "
                "IS_PRIV_IN_EXCEED = %7, IS_PENAL_FROM_RET_SUM = %8, MIN_ACCRUAL_DAYS = %9, "
                "STORAGE_TYPE = %10, STORAGE_VAL = %11, IS_STORAGE_START_W_PEN = %12, "
                "STORAGE_MIN_DAYS = %13, IS_USD_EXCHANGE = %14, IS_MAKE_EXCHANGE_BY_INCREASE = %15, "
                "DOLLAR_PRICE = %16 where CONTRACT_ID = %17")
                .arg(t.penaltyDays)
                .arg(t.depositPerc)
                .arg(t.penaltyPerc)
                .arg(t.subjectPrice)
                .arg(int(t.isCalcPercWithPenalty))
                .arg(t.exceedDays)
                .arg(int(t.isPrivInExceed))
                .arg(t.isPenalFromRetSum)
                .arg(t.minAccrualDays)
                .arg(t.storageType)
                .arg(t.storageVal)
                .arg(int(t.isStorageStartWPen))
                .arg(t.storageMinDays)
                .arg(int(t.isUsdExchange))
                .arg(int(t.isMakeExchangeByIncrease))
                .arg(t.dollarPrice)
                .arg(id));
        for (const OpRow& r : g.rows) {
            udb::execSql(
                QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, "
                               "OP_STORAGE_SUM, OP_PENALTY_SUM, OP_DATE, NON_CALC_DAYS) values "
                               "(gen_id(GEN_OPERATIONS_ID, 1), %1, %2, %3, %4, %5, %6, %7)")
                    .arg(id)
                    .arg(r.sum)
                    .arg(r.percSum)
                    .arg(r.storageSum)
                    .arg(r.penaltySum)
                    .arg(lit(DateTime(r.date)))
                    .arg(r.nonCalcDays));
        }
        for (int asked : g.askedDays) {
            SCOPED_TRACE(testing::Message() << "contract " << n << ", day " << asked - t.contractDate);
            const DateTime date(asked);
            PercCalcOperations::scClearOperationDebts(id);
            PercCalc replay(id, nullptr);
            const OpItem& last = replay.calc({DateTime(0.0), date}, false, false).back();
            const Sums expected{last.base, last.perc.sum, last.penalty.sum, last.storage.sum};

            PercCalcOperations::scClearOperationDebts(id);
            const DebtSums c = PercCalc(id, nullptr).getDebt(date, false, false);
            const Sums cold{c.base, c.perc, c.penalty, c.storage};
            const DebtSums w = PercCalc(id, nullptr).getDebt(date, false, false);
            const Sums warm{w.base, w.perc, w.penalty, w.storage};
            EXPECT_EQ(cold, expected) << "skipping ahead";
            EXPECT_EQ(warm, expected) << "from the checkpoint";
            if (HasFailure()) return;
        }
    }
}

}  // namespace
