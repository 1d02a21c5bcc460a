// The accruals agree with the debt calculation: over generated contracts, what accrued up to a day is
// what is owed that day plus what the operations up to it paid, and two adjacent periods add up to the
// whole.
#include <gtest/gtest.h>

#include <random>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "kv_Money100.h"
#include "u_accruals.h"

using core::DateTime;
using namespace contracttest;
using namespace TolvLogic;

namespace {

struct Paid {
    int perc = 0, penalty = 0, storage = 0;
};

using AccrualsProperty = ContractSuite;

TEST_F(AccrualsProperty, AccruedIsOwedPlusPaidAndPeriodsAdd) {
    std::mt19937 rng(19);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](int oneIn) { return pick(1, oneIn) == 1; };
    int checked = 0;
    for (int n = 0; n < 40; ++n) {
        const int contractDate = DateTime::encode(2011, 1, 1).dayNumber() + pick(0, 400);
        const bool usd = chance(4);
        int filial = 0;
        if (usd) {
            filial = newBranch(800 + n, QStringLiteral("Филиал %1").arg(n), false);
            for (int d = contractDate - 20; d < contractDate + 150; d += pick(5, 40)) {
                udb::execSql(QStringLiteral("insert into DIR_EXCHANGE (ID_FILIAL, USD_EXCHANGE, DATA) values "
                                            "(%1, %2, %3)")
                                 .arg(filial)
                                 .arg(pick(40000, 60000))
                                 .arg(lit(DateTime(d))));
            }
        }
        const int depositSum = pick(1, 200) * pick(100, 10000);
        const int id =
            newContract({.date = DateTime(contractDate), .filialId = filial, .depositSum = depositSum});
        const int exceedDays = pick(0, 5);
        udb::execSql(
            QStringLiteral(
                "update PENALTY_DEPOSITS set PENALTY_DAYS = %1, DEPOSIT_PERC = %2, PENALTY_PERC = %3, "
                "SUBJECT_PRICE = %4, IS_CALC_PERC_WITH_PENALTY = %5, EXCEED_DAYS = %6, "
                "IS_PRIV_IN_EXCEED = %7, IS_PENAL_FROM_RET_SUM = %8, MIN_ACCRUAL_DAYS = %9, "
                "STORAGE_TYPE = %10, STORAGE_VAL = %11, IS_STORAGE_START_W_PEN = %12, "
                "STORAGE_MIN_DAYS = %13, IS_USD_EXCHANGE = %14, IS_MAKE_EXCHANGE_BY_INCREASE = %15, "
                "DOLLAR_PRICE = %16 where CONTRACT_ID = %17")
                .arg(pick(7, 60))
                .arg(pick(0, 3000))
                .arg(pick(0, 300))
                .arg(pick(0, 3000000))
                .arg(int(chance(3)))
                .arg(exceedDays)
                .arg(int(chance(3)))
                .arg(chance(4) ? 1 : 0)
                .arg(chance(3) ? pick(1, 10) : 0)
                .arg(pick(0, 3))
                .arg(pick(0, 300))
                .arg(int(chance(2)))
                .arg(chance(3) ? pick(1, 5) : 0)
                .arg(int(usd))
                .arg(int(chance(2)))
                .arg(usd ? pick(40000, 60000) : 0)
                .arg(id));
        struct Op {
            int date;
            Paid paid;
        };
        std::vector<Op> ops;
        const int count = pick(0, 8);
        for (int i = 0; i < count; ++i) {
            const int kind = pick(0, 5);
            const Op op{contractDate + pick(0, 120), {pick(0, 8000), pick(0, 2000), pick(0, 1000)}};
            udb::execSql(
                QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, "
                               "OP_STORAGE_SUM, OP_PENALTY_SUM, OP_DATE, NON_CALC_DAYS) values "
                               "(gen_id(GEN_OPERATIONS_ID, 1), %1, %2, %3, %4, %5, %6, %7)")
                    .arg(id)
                    .arg(kind == 0   ? -pick(1, 50000)
                         : kind == 1 ? pick(1, depositSum)
                                     : 0)
                    .arg(op.paid.perc)
                    .arg(op.paid.storage)
                    .arg(op.paid.penalty)
                    .arg(lit(DateTime(op.date)))
                    .arg(chance(4) ? pick(1, 3) : 0));
            ops.push_back(op);
        }
        const TPenaltyContractInfo contract(id, nullptr);
        const int termEnd = AccrualsCalcer::calcTermEnd(contract, false).dayNumber();
        // Accruals are held back from the day the grace period after the first expiry runs out.
        int heldFrom = termEnd + 1;
        {
            PercCalc calc(id, nullptr);
            for (const OpItem& item : calc.calc({DateTime(contractDate), DateTime(termEnd)}, false, false)) {
                if (item.termExpired) {
                    heldFrom = std::min(heldFrom, item.date + exceedDays);
                    break;
                }
            }
        }
        for (int k = 0; k < 3; ++k) {
            const int asked = contractDate + pick(0, std::max(0, std::min(150, heldFrom - contractDate - 1)));
            const bool opDay =
                std::any_of(ops.begin(), ops.end(), [&](const Op& o) { return o.date == asked; });
            if (asked >= heldFrom || opDay) continue;
            SCOPED_TRACE(testing::Message() << "contract " << n << ", day " << asked - contractDate);
            ++checked;
            Paid paid;
            for (const Op& o : ops) {
                if (o.date > asked) continue;
                paid.perc += o.paid.perc;
                paid.penalty += o.paid.penalty;
                paid.storage += o.paid.storage;
            }
            const DebtSums owed = PercCalc(id, nullptr).getDebt(DateTime(asked), false, false);
            const DebtSums accrued = AccrualsCalcer::scGetAccruedDebt(id, DateTime(asked), false);
            EXPECT_EQ(accrued.perc, owed.perc + paid.perc);
            EXPECT_EQ(accrued.penalty, owed.penalty + paid.penalty);
            EXPECT_EQ(accrued.storage, owed.storage + paid.storage);

            const int middle = contractDate + pick(0, std::max(0, asked - contractDate - 1));
            using A = AccrualsCalcer::Accruals;
            const A whole =
                AccrualsCalcer::calcAccruals(contract, {DateTime(contractDate), DateTime(asked)}, false);
            const A first =
                AccrualsCalcer::calcAccruals(contract, {DateTime(contractDate), DateTime(middle)}, false);
            const A second =
                AccrualsCalcer::calcAccruals(contract, {DateTime(middle + 1), DateTime(asked)}, false);
            const A both = first + second;
            EXPECT_EQ(both.accrualPercSum, whole.accrualPercSum);
            EXPECT_EQ(both.accrualPenaltySum, whole.accrualPenaltySum);
            EXPECT_EQ(both.accrualStorSum, whole.accrualStorSum);
            EXPECT_EQ(both.accrualSum, whole.accrualSum);
            EXPECT_EQ(both.accrualDaysPerc, whole.accrualDaysPerc);
            EXPECT_EQ(both.accrualDaysPenalty, whole.accrualDaysPenalty);
            EXPECT_EQ(both.accrualDaysStor, whole.accrualDaysStor);
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(checked, 80);
}

}  // namespace
