// What a contract earned within a period and the accrued debts of acts and parcels, over contracts
// written to a real database and computed by the debt calculation.
#include <gtest/gtest.h>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "tests/support/ErrorText.h"
#include "u_accruals.h"

using core::DateTime;
using namespace contracttest;
using namespace TolvLogic;
using tolvtest::errorText;

namespace {

using Accruals = AccrualsCalcer::Accruals;
using Data = AccrualsCacher::DebtCacheData;

class AccrualsTest : public ContractSuite {
protected:
    // A contract of 5.3.2009 for 1,500.00 over 30 days with the given grace days and terms.
    static int contract(int exceedDays, int state = 0) {
        const int id = newContract({.state = state});
        udb::execSql(QStringLiteral("update PENALTY_DEPOSITS set EXCEED_DAYS = %1, STORAGE_TYPE = 1, "
                                    "STORAGE_VAL = 10 where CONTRACT_ID = %2")
                         .arg(exceedDays)
                         .arg(id));
        return id;
    }
    static void pay(int id, DateTime date, int sum, int perc, int penalty = 0, int storage = 0) {
        udb::execSql(QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, "
                                    "OP_PENALTY_SUM, OP_STORAGE_SUM, OP_DATE) values "
                                    "(gen_id(GEN_OPERATIONS_ID, 1), %1, %2, %3, %4, %5, %6)")
                         .arg(id)
                         .arg(sum)
                         .arg(perc)
                         .arg(penalty)
                         .arg(storage)
                         .arg(lit(date)));
    }
    static void close(int id, DateTime date, int state) {
        udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_CLOSE = %1, CONTRACT_STATE = %2 "
                                    "where CONTRACT_ID = %3")
                         .arg(lit(date))
                         .arg(state)
                         .arg(id));
    }
    static Accruals accruals(int id, DateTime from, DateTime to, bool ignoreState = false) {
        const TPenaltyContractInfo c(id, nullptr);
        return AccrualsCalcer::calcAccruals(c, {from, to}, ignoreState);
    }
    // The first term expiry of the contract's day-by-day history.
    static DateTime expiry(int id) {
        PercCalc calc(id, nullptr);
        for (const OpItem& item : calc.calc({day(5, 3), day(31, 12)}, false, true)) {
            if (item.termExpired) return DateTime(item.date);
        }
        return DateTime();
    }
    static int owed(int id, DateTime date) {
        const DebtSums d = PercCalc(id, nullptr).getDebt(date, false, false);
        return d.perc + d.penalty + d.storage;
    }
};

TEST_F(AccrualsTest, AContractClosedInsideThePeriodEndsThere) {
    const int id = contract(0);
    pay(id, day(20, 3), 50000, 2000);
    pay(id, day(1, 4), 100000, 1500, 0, 300);
    close(id, day(3, 4), 1);
    const Accruals a = accruals(id, day(1, 3), day(30, 4));
    EXPECT_EQ(a.accrualDate, day(3, 4));
    EXPECT_EQ(a.payDate, day(1, 4));
    EXPECT_FALSE(a.isSaled);
    EXPECT_EQ(a.depositSum, 150000);
    EXPECT_GT(a.accrualPercSum, 0);
    // Nothing accrues after the close: the period cut at the close gives the same figures.
    EXPECT_EQ(accruals(id, day(1, 3), day(3, 4)), a);
}

TEST_F(AccrualsTest, AfterTheGraceDaysAccrualsAreHeldBackUntilAPayment) {
    const int id = contract(3);
    const DateTime e = expiry(id);
    ASSERT_NE(e.dayNumber(), 0);
    std::vector<int> sums;
    for (int k = -1; k <= 5; ++k) sums.push_back(accruals(id, day(5, 3), e.addDays(k)).accrualSum);
    // The expiry day and the two after it enter the total; from the third day on it stops growing.
    EXPECT_LT(sums[0], sums[1]);
    EXPECT_LT(sums[1], sums[2]);
    EXPECT_LT(sums[2], sums[3]);
    for (int k = 4; k <= 6; ++k) EXPECT_EQ(sums[k], sums[3]) << k;
    EXPECT_EQ(sums[3], owed(id, e.addDays(2)));
    EXPECT_EQ(accruals(id, day(5, 3), e.addDays(5)).accrualDate, e.addDays(2));

    // A payment after the grace period releases what was held: nothing is lost or counted twice.
    pay(id, e.addDays(6), 0, 1000, 500, 100);
    EXPECT_EQ(accruals(id, day(5, 3), e.addDays(5)).accrualSum, sums[3]);
    const Accruals after = accruals(id, day(5, 3), e.addDays(7));
    EXPECT_EQ(after.accrualSum, owed(id, e.addDays(7)) + 1000 + 500 + 100);
    EXPECT_EQ(after.payDate, e.addDays(6));
    // Held days before the period come in with a payment inside it.
    const Accruals tail = accruals(id, e.addDays(3), e.addDays(7));
    EXPECT_EQ(accruals(id, day(5, 3), e.addDays(2)).accrualSum + tail.accrualSum, after.accrualSum);
}

TEST_F(AccrualsTest, ALoanIncreaseIsNoPayment) {
    const int id = contract(0);
    pay(id, day(10, 3), 0, 500);
    pay(id, day(15, 3), -20000, 0);
    const Accruals a = accruals(id, day(1, 3), day(31, 3));
    EXPECT_EQ(a.payDate, day(10, 3));
    EXPECT_EQ(a.depositSum, 170000);
    EXPECT_EQ(accruals(id, day(1, 3), day(9, 3)).payDate, DateTime());
}

// A pledge sold after its term: measured from the last term expiry; the result may be negative.
TEST_F(AccrualsTest, ASoldContractGivesTheSaleResult) {
    const int id = contract(2);
    const DateTime e = expiry(id);
    close(id, day(20, 4), 2);
    udb::execSql(
        QStringLiteral("insert into SALES (CONTRACT_ID, AGENT_ID, SALE_SUM) values (%1, 1, 1000)").arg(id));
    const DebtSums debt = PercCalc(id, nullptr).getDebt(e.addDays(-1 + 2), false, false);
    const Accruals a = accruals(id, day(1, 4), day(30, 4));
    EXPECT_TRUE(a.isSaled);
    EXPECT_EQ(a.accrualSum, 1000 - debt.getTotal());
    EXPECT_LT(a.accrualSum, 0);
    EXPECT_EQ(a.depositSum, debt.base);
    EXPECT_FALSE(accruals(id, day(1, 4), day(19, 4)).isSaled);
    EXPECT_FALSE(accruals(id, day(1, 4), day(30, 4), true).isSaled);
}

// Put on sale and sold before the term ran out: no expiry in the history, the sale day stands for it.
TEST_F(AccrualsTest, APledgeSoldBeforeItsTermIsMeasuredFromTheSaleDay) {
    const int id = contract(2);
    close(id, day(20, 3), 2);
    udb::execSql(QStringLiteral("insert into TOSALE (CONTRACT_ID, AGENT_ID, TOSALE_SUM, TOSALE_DATE) values "
                                "(%1, 1, 200000, %2)")
                     .arg(id)
                     .arg(lit(day(20, 3))));
    udb::execSql(
        QStringLiteral("insert into SALES (CONTRACT_ID, AGENT_ID, SALE_SUM) values (%1, 1, 200000)").arg(id));
    const DebtSums debt = PercCalc(id, nullptr).getDebt(day(20, 3).addDays(-1 + 2), false, false);
    const Accruals a = accruals(id, day(1, 3), day(31, 3));
    EXPECT_TRUE(a.isSaled);
    EXPECT_EQ(a.accrualSum, 200000 - debt.getTotal());
    EXPECT_EQ(a.depositSum, 150000);
}

TEST_F(AccrualsTest, WithoutExpiryOrCloseTheRefinancingDateIsUnknown) {
    const int id = contract(0);
    const TPenaltyContractInfo c(id, nullptr);
    EXPECT_EQ(
        errorText([&] { AccrualsCalcer::calcLastRefinDate(c, {}, false); }),
        QStringLiteral("Не найдена последняя дата рефинансирования по рассчитанным процентам для отчета"));
    close(id, day(2, 4), 1);
    const TPenaltyContractInfo closed(id, nullptr);
    EXPECT_EQ(AccrualsCalcer::calcLastRefinDate(closed, {}, false), day(2, 4));
    EXPECT_EQ(AccrualsCalcer::calcTermEnd(closed, false), day(2, 4));
    pay(id, day(20, 3), 0, 100);
    EXPECT_EQ(AccrualsCalcer::calcTermEnd(closed, true), day(20, 3).addDays(31));
}

TEST(AccrualsSplit, SharesFollowTheCreditsAndTheLastTakesTheRest) {
    struct Case {
        Data debt;
        std::vector<int> credits;
        std::vector<Data> parts;
    };
    const std::vector<Case> cases = {
        {{100000, 3000, 1000, 0, -1, 4},
         {60000, 40000},
         {{60000, 1800, 600, 0, -1, 4}, {40000, 1200, 400, 0, -1, 4}}},
        {{100000, 1000, 0, 0, -1, -1},
         {33333, 33333, 33334},
         {{33333, 333, 0, 0, -1, -1}, {33333, 333, 0, 0, -1, -1}, {33334, 334, 0, 0, -1, -1}}},
        // Halves go to the even neighbour: 3 × 1/2 = 1.5 gives 2, 1 × 1/2 = 0.5 gives 0.
        {{200, 3, 1, 5, -1, -1}, {100, 100}, {{100, 2, 0, 2, -1, -1}, {100, 1, 1, 3, -1, -1}}},
        // No principal to share by: everything to the last item.
        {{0, 900, 90, 9, -1, 2},
         {0, 0, 0},
         {{0, 0, 0, 0, -1, 2}, {0, 0, 0, 0, -1, 2}, {0, 900, 90, 9, -1, 2}}},
    };
    for (const Case& c : cases) EXPECT_EQ(AccrualsCacher::scSplitDebt(c.debt, c.credits), c.parts);
}

TEST_F(AccrualsTest, TheCacherComputesEachContractAndDateOnce) {
    const int id = contract(0);
    for (int credit : {90000, 60000}) {
        udb::execSql(QStringLiteral("insert into SUBJECTS (ID, ID_CONTRACT, NAME, PRICE, DEPOSIT_SUM) values "
                                    "(gen_id(GEN_SUBJECTS_ID, 1), %1, 'Кольцо', %2, %2)")
                         .arg(id)
                         .arg(credit));
    }
    AccrualsCacher cacher;
    const Data debt = AccrualsCacher::scGetDebt(&cacher, day(25, 3), id);
    const DebtSums accrued = AccrualsCalcer::scGetAccruedDebt(id, day(25, 3), true);
    EXPECT_EQ(debt.base, 150000);
    EXPECT_EQ(debt.perc, accrued.perc);
    EXPECT_EQ(debt.debtDays, -1);
    EXPECT_EQ(debt.overdueDays, TPenaltyContractInfo(id, nullptr).getOverdueDays(day(25, 3)));
    // A payment made meanwhile does not reach the cacher's entry; a direct computation sees it.
    pay(id, day(10, 3), 0, 0, 0, 0);
    pay(id, day(10, 3), -50000, 0);
    EXPECT_EQ(AccrualsCacher::scGetDebt(&cacher, day(25, 3), id), debt);
    EXPECT_EQ(AccrualsCacher::scGetDebt(nullptr, day(25, 3), id).base, 200000);
    const std::vector<int> ids = [&] {
        std::vector<int> r;
        ufb::AutoQuery q(QStringLiteral("select ID from SUBJECTS where ID_CONTRACT = %1 order by ID").arg(id),
                         nullptr);
        for (q->open(); !q->eof(); q->next()) r.push_back(q->fieldByName(QStringLiteral("ID")).asInteger());
        return r;
    }();
    ASSERT_EQ(ids.size(), 2u);
    const Data first = AccrualsCacher::scGetDebtSubj(&cacher, day(25, 3), id, ids[0]);
    const Data last = AccrualsCacher::scGetDebtSubj(&cacher, day(25, 3), id, ids[1]);
    EXPECT_EQ(cacher.size(), 1u);
    EXPECT_EQ(first.base + last.base, debt.base);
    EXPECT_EQ(first.perc + last.perc, debt.perc);
    EXPECT_EQ(errorText([&] { AccrualsCacher::scGetDebtSubj(&cacher, day(25, 3), id, 999999); }),
              QStringLiteral("Предмет залога с id=999999 не найден\n\nFunc: AccrualsCacher::scGetDebtSubj()\n"
                             "Line: u_accruals:468\n\n"));
}

}  // namespace
