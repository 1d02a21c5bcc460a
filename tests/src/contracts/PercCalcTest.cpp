#include <gtest/gtest.h>

#include <optional>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "platform/fb/Transaction.h"
#include "tests/support/ErrorText.h"
#include "u_PercCalc.h"

using core::DateTime;
using namespace contracttest;
using namespace TolvLogic;
using Op = TolvLogic::TPenaltyOperationInfo;

namespace TolvLogic {
void PrintTo(const DebtSums& d, std::ostream* out) {
    *out << "{base " << d.base << ", perc " << d.perc << ", penalty " << d.penalty << ", storage "
         << d.storage << ", days " << d.debtDays << "}";
}
}  // namespace TolvLogic

namespace {

// Day 0 of every case: the contract date.
const DateTime kStart = day(1, 2, 2010);

struct Payment {
    int day = 0;
    int sum = 0;
    int perc = 0;
    int storage = 0;
    int penalty = 0;
    int nonCalcDays = 0;
    std::optional<int> rest;  // a stored checkpoint: every OP_REST_ column
};

struct ContractSpec {
    QString terms;  // "COLUMN = value, ..." of PENALTY_DEPOSITS over the example contract
    int depositSum = 100000;
    DateTime start = kStart;
    int state = 0;
    std::optional<int> closeDay;
    std::optional<std::pair<int, int>> toSale;  // day and NON_CALC_DAYS
    std::vector<std::pair<int, int>> rates;     // day and rate in ten-thousandths, in a branch of its own
};

int newPayment(int contractId, DateTime start, const Payment& p) {
    const int id = udb::genId(QStringLiteral("GEN_OPERATIONS_ID"));
    const QString rest = p.rest ? QString::number(*p.rest) : QStringLiteral("NULL");
    udb::execSql(QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, "
                                "OP_STORAGE_SUM, OP_PENALTY_SUM, OP_DATE, NON_CALC_DAYS, OP_REST_PERC, "
                                "OP_REST_STORAGE, OP_REST_PENALTY, OP_REST_BASE) values (%1, %2, %3, %4, %5, "
                                "%6, %7, %8, %9, %9, %9, %9)")
                     .arg(id)
                     .arg(contractId)
                     .arg(p.sum)
                     .arg(p.perc)
                     .arg(p.storage)
                     .arg(p.penalty)
                     .arg(lit(start.addDays(p.day)))
                     .arg(p.nonCalcDays)
                     .arg(rest));
    return id;
}

struct Made {
    int contractId;
    std::vector<int> opIds;
};

Made make(const ContractSpec& c, const std::vector<Payment>& payments) {
    static int branchNumber = 500;
    int filial = 0;
    if (!c.rates.empty()) {
        ++branchNumber;
        filial = newBranch(branchNumber, QStringLiteral("Курсы %1").arg(branchNumber), false);
        for (const auto& [d, rate] : c.rates) {
            udb::execSql(QStringLiteral("insert into DIR_EXCHANGE (ID, ID_FILIAL, USD_EXCHANGE, DATA) values "
                                        "(gen_id(GEN_DIR_EXCHANGE_ID, 1), %1, %2, %3)")
                             .arg(filial)
                             .arg(rate)
                             .arg(lit(c.start.addDays(d))));
        }
    }
    Made made;
    made.contractId =
        newContract({.date = c.start, .state = c.state, .filialId = filial, .depositSum = c.depositSum});
    if (!c.terms.isEmpty()) {
        udb::execSql(QStringLiteral("update PENALTY_DEPOSITS set ") + c.terms +
                     QStringLiteral(" where CONTRACT_ID = ") + QString::number(made.contractId));
    }
    if (c.closeDay) {
        udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_CLOSE = %1 where CONTRACT_ID = %2")
                         .arg(lit(c.start.addDays(*c.closeDay)))
                         .arg(made.contractId));
    }
    if (c.toSale) {
        udb::execSql(QStringLiteral("insert into TOSALE (AGENT_ID, CONTRACT_ID, TOSALE_SUM, TOSALE_DATE, "
                                    "NON_CALC_DAYS) values (1, %1, 0, %2, %3)")
                         .arg(made.contractId)
                         .arg(lit(c.start.addDays(c.toSale->first)))
                         .arg(c.toSale->second));
    }
    for (const Payment& p : payments) made.opIds.push_back(newPayment(made.contractId, c.start, p));
    return made;
}

DebtSums sumsOf(const OpItem& item) {
    return DebtSums{item.base, item.perc.sum, item.penalty.sum, item.storage.sum, -1};
}

DebtSums withoutDays(DebtSums d) {
    d.debtDays = -1;
    return d;
}

struct DebtCase {
    const char* name;
    ContractSpec contract;
    std::vector<Payment> payments;
    int askedDay;
    DebtSums expected;
    std::optional<int> bounding;  // index of the payment being edited
};

using PercCalcTest = ContractSuite;

// Every figure is asked three ways: a cold getDebt (no checkpoint yet), a second getDebt that starts at
// the checkpoints the first one wrote, and a day-by-day history without either shortcut.
TEST_F(PercCalcTest, DebtOnADate) {
    const QString indexed = QStringLiteral("IS_USD_EXCHANGE = 1, DOLLAR_PRICE = 50000");
    const std::vector<DebtCase> cases = {
        {"day 0 charges one day", {}, {}, 0, {100000, 500, 0, 0, 0}},
        {"day 9", {}, {}, 9, {100000, 5000, 0, 0, 0}},
        {"day 29: the term's interest", {}, {}, 29, {100000, 15000, 0, 0, 0}},
        {"day 30: the term ran out", {}, {}, 30, {100000, 15000, 1000, 0, 1}},
        {"day 34", {}, {}, 34, {100000, 15000, 5000, 0, 5}},
        {"payment on the contract date, asked that day",
         {},
         {{.day = 0, .perc = 500}},
         0,
         {100000, 0, 0, 0, 0}},
        {"payment on the contract date, next day", {}, {{.day = 0, .perc = 500}}, 1, {100000, 500, 0, 0, 0}},
        {"5500 on day 10, asked day 10", {}, {{.day = 10, .perc = 5500}}, 10, {100000, 0, 0, 0, 0}},
        {"5500 on day 10, asked day 11", {}, {{.day = 10, .perc = 5500}}, 11, {100000, 500, 0, 0, 0}},
        {"5500 on day 10 moves the term to day 41",
         {},
         {{.day = 10, .perc = 5500}},
         40,
         {100000, 15000, 0, 0, 0}},
        {"5500 on day 10, day 41", {}, {{.day = 10, .perc = 5500}}, 41, {100000, 15000, 1000, 0, 1}},
        {"closed: the debt of the closing day",
         {.state = 1, .closeDay = 20},
         {},
         34,
         {100000, 10500, 0, 0, 0}},
        {"sold: the debt of the closing day", {.state = 2, .closeDay = 20}, {}, 34, {100000, 10500, 0, 0, 0}},
        {"on sale: the sale date less its days",
         {.state = 3, .toSale = std::pair(25, 2)},
         {},
         34,
         {100000, 12000, 0, 0, 0}},
        {"on sale, asked before the sale date",
         {.state = 3, .toSale = std::pair(25, 2)},
         {},
         20,
         {100000, 10500, 0, 0, 0}},
        {"non-calculated 0: counted before the payment",
         {},
         {{.day = 9, .perc = 5000}},
         9,
         {100000, 0, 0, 0, 0}},
        {"non-calculated 1, asked on its day",
         {},
         {{.day = 9, .perc = 5000, .nonCalcDays = 1}},
         9,
         {100000, -500, 0, 0, 0}},
        {"non-calculated 1, next day",
         {},
         {{.day = 9, .perc = 5000, .nonCalcDays = 1}},
         10,
         {100000, 500, 0, 0, 0}},
        {"bounding operation with 2 days",
         {},
         {{.day = 5, .perc = 3000}, {.day = 20, .perc = 5000, .nonCalcDays = 2}, {.day = 20, .sum = 100000}},
         20,
         {100000, 6500, 0, 0, 0},
         1},
        {"two operations on one day",
         {},
         {{.day = 10, .perc = 2000}, {.day = 10, .perc = 1000}},
         10,
         {100000, 2500, 0, 0, 0}},
        {"principal below zero stops accrual", {}, {{.day = 5, .sum = 150000}}, 40, {-50000, 3000, 0, 0, 0}},
        {"minimum days on day 0", {.terms = "MIN_ACCRUAL_DAYS = 5"}, {}, 0, {100000, 2500, 0, 0, 0}},
        {"minimum days on day 4", {.terms = "MIN_ACCRUAL_DAYS = 5"}, {}, 4, {100000, 2500, 0, 0, 0}},
        {"minimum days on day 5", {.terms = "MIN_ACCRUAL_DAYS = 5"}, {}, 5, {100000, 3000, 0, 0, 0}},
        {"fixed storage fee on day 0",
         {.terms = "STORAGE_TYPE = 1, STORAGE_VAL = 150"},
         {},
         0,
         {100000, 500, 0, 150, 0}},
        {"fixed storage fee on day 9",
         {.terms = "STORAGE_TYPE = 1, STORAGE_VAL = 150"},
         {},
         9,
         {100000, 5000, 0, 1500, 0}},
        {"storage minimum days",
         {.terms = "STORAGE_TYPE = 1, STORAGE_VAL = 150, STORAGE_MIN_DAYS = 3"},
         {},
         1,
         {100000, 1000, 0, 450, 0}},
        {"storage of the goods' value",
         {.terms = "STORAGE_TYPE = 2, STORAGE_VAL = 10, SUBJECT_PRICE = 200000"},
         {},
         9,
         {100000, 5000, 0, 2000, 0}},
        {"storage of the principal",
         {.terms = "STORAGE_TYPE = 3, STORAGE_VAL = 10"},
         {},
         9,
         {100000, 5000, 0, 1000, 0}},
        {"storage of the principal follows a repayment",
         {.terms = "STORAGE_TYPE = 3, STORAGE_VAL = 10"},
         {{.day = 9, .sum = 50000}},
         10,
         {50000, 5250, 0, 1050, 0}},
        {"storage stops in the penalty period",
         {.terms = "STORAGE_TYPE = 1, STORAGE_VAL = 150"},
         {},
         32,
         {100000, 15000, 3000, 4500, 3}},
        {"storage goes on with the penalty",
         {.terms = "STORAGE_TYPE = 1, STORAGE_VAL = 150, IS_STORAGE_START_W_PEN = 1"},
         {},
         32,
         {100000, 15000, 3000, 4950, 3}},
        {"penalty on the return sum",
         {.terms = "IS_PENAL_FROM_RET_SUM = 1"},
         {},
         30,
         {100000, 15000, 1150, 0, 1}},
        {"interest with the penalty, day 30",
         {.terms = "IS_CALC_PERC_WITH_PENALTY = 1"},
         {},
         30,
         {100000, 15500, 1000, 0, 1}},
        {"interest with the penalty, day 34",
         {.terms = "IS_CALC_PERC_WITH_PENALTY = 1"},
         {},
         34,
         {100000, 17500, 5000, 0, 5}},
        {"grace: nothing accrues on day 32",
         {.terms = "IS_PRIV_IN_EXCEED = 1, EXCEED_DAYS = 3"},
         {},
         32,
         {100000, 15000, 0, 0, 0}},
        {"grace over: the penalty at once",
         {.terms = "IS_PRIV_IN_EXCEED = 1, EXCEED_DAYS = 3"},
         {},
         33,
         {100000, 15000, 4000, 0, 4}},
        {"no grace days: the expiry day accrues",
         {.terms = "IS_PRIV_IN_EXCEED = 1, EXCEED_DAYS = 0"},
         {},
         30,
         {100000, 15000, 1000, 0, 1}},
        {"dollar up", {.terms = indexed, .rates = {{-10, 55000}}}, {}, 0, {100000, 883, 0, 0, 0}},
        {"dollar down", {.terms = indexed, .rates = {{-10, 45000}}}, {}, 0, {100000, 117, 0, 0, 0}},
        {"dollar down, indexed only upwards",
         {.terms = indexed + ", IS_MAKE_EXCHANGE_BY_INCREASE = 1", .rates = {{-10, 45000}}},
         {},
         0,
         {100000, 500, 0, 0, 0}},
        {"dollar: the rate of the next payment's day",
         {.terms = indexed, .rates = {{-10, 50000}, {3, 55000}}},
         {{.day = 5}},
         1,
         {100000, 1767, 0, 0, 0}},
        {"dollar: no rate recorded counts 1.0",
         {.terms = QStringLiteral("IS_USD_EXCHANGE = 1, DOLLAR_PRICE = 10000")},
         {},
         0,
         {100000, 500, 0, 0, 0}},
        {"leap-year February", {.start = day(20, 2, 2012)}, {}, 10, {100000, 5500, 0, 0, 0}},
        {"leap-year term runs out on 21 March",
         {.start = day(20, 2, 2012)},
         {},
         30,
         {100000, 15000, 1000, 0, 1}},
        // Products of a principal and a day count beyond 32 bits.
        {"15,000.00 at 15 %: not yet overdue", {.depositSum = 1500000}, {}, 9, {1500000, 75000, 0, 0, 0}},
        {"15,000.00 at 15 %: overdue", {.depositSum = 1500000}, {}, 34, {1500000, 225000, 75000, 0, 5}},
        {"1,000,000.00 over the term", {.depositSum = 100000000}, {}, 29, {100000000, 15000000, 0, 0, 0}},
        // No term and no dollar price: nothing to divide by.
        {"zero term", {.terms = "PENALTY_DAYS = 0"}, {}, 9, {100000, 0, 0, 0, -1}},
        {"zero dollar price",
         {.terms = QStringLiteral("IS_USD_EXCHANGE = 1, DOLLAR_PRICE = 0"), .rates = {{0, 55000}}},
         {},
         9,
         {100000, 5000, 0, 0, 0}},
    };
    for (const DebtCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Made made = make(c.contract, c.payments);
        std::optional<Op> bounding;
        if (c.bounding) bounding.emplace(made.opIds[*c.bounding], true);
        const Op* op = bounding ? &*bounding : nullptr;
        const DateTime asked = c.contract.start.addDays(c.askedDay);

        EXPECT_EQ(PercCalc(made.contractId, op).getDebt(asked, false, false), c.expected);
        EXPECT_EQ(withoutDays(PercCalc(made.contractId, op).getDebt(asked, false, false)),
                  withoutDays(c.expected))
            << "from the checkpoints";
        PercCalc replay(made.contractId, op);
        const auto& items = replay.calc({DateTime(0.0), asked}, false, false);
        EXPECT_EQ(sumsOf(items.back()), withoutDays(c.expected)) << "day by day";
    }
}

TEST_F(PercCalcTest, ADateBeforeTheContractIsZeroAndNotCached) {
    const Made made = make({}, {});
    const DateTime before = kStart.addDays(-1);
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(before, false, true), DebtSums());
    // Moved back by hand, without clearing the cache: a cached zero would still answer.
    udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_DATE = %1 where CONTRACT_ID = %2")
                     .arg(lit(kStart.addDays(-5)))
                     .arg(made.contractId));
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(before, false, true),
              (DebtSums{100000, 2500, 0, 0, 0}));
}

TEST_F(PercCalcTest, TheCacheKeepsTheDayWhateverTheTime) {
    const Made made = make({}, {});
    const Made other = make({}, {});
    const DebtSums day9{100000, 5000, 0, 0, 0};
    EXPECT_EQ(
        PercCalc(made.contractId, nullptr).getDebt(DateTime(kStart.addDays(9).value() + 0.75), false, false),
        day9);
    EXPECT_EQ(PercCalc(other.contractId, nullptr).getDebt(kStart.addDays(9), false, false), day9);
    // A payment stored behind the cache's back: only a fresh calculation sees it.
    newPayment(made.contractId, kStart, {.day = 9, .perc = 5000});
    newPayment(other.contractId, kStart, {.day = 9, .perc = 5000});
    EXPECT_EQ(
        PercCalc(made.contractId, nullptr).getDebt(DateTime(kStart.addDays(9).value() + 0.25), false, true),
        day9);
    EXPECT_EQ(PercCalc(other.contractId, nullptr).getDebt(kStart.addDays(9), false, true), day9);
    PercCalc::scClearCache(other.contractId);
    EXPECT_EQ(PercCalc(other.contractId, nullptr).getDebt(kStart.addDays(9), false, true).perc, 0);
    // Clearing one contract leaves the others' entries.
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(kStart.addDays(9), false, true), day9);
    // An uncached request stores its answer for the next cached one.
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(kStart.addDays(9), false, false).perc, 0);
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(kStart.addDays(9), false, true).perc, 0);
}

TEST_F(PercCalcTest, ABoundingOperationHasEntriesOfItsOwn) {
    const Made made = make({}, {{.day = 9, .perc = 5000}});
    const Op edited(made.opIds[0], true);
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(kStart.addDays(9), false, true).perc, 0);
    EXPECT_EQ(PercCalc(made.contractId, &edited).getDebt(kStart.addDays(9), false, true).perc, 5000);
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(kStart.addDays(9), false, true).perc, 0);
}

TEST_F(PercCalcTest, NonCalculatedDayItemsComeOperationFirst) {
    const Made made = make({}, {{.day = 9, .perc = 5000, .nonCalcDays = 1}});
    PercCalc calc(made.contractId, nullptr);
    const auto& items = calc.calc({kStart.addDays(9), kStart.addDays(10)}, false, false);
    ASSERT_EQ(items.size(), 4u);  // the opening item, then day 9's two, then day 10
    EXPECT_EQ(items[1].opId, made.opIds[0]);
    EXPECT_EQ(items[1].perc.sum, -500);
    EXPECT_EQ(items[1].perc.paid, 5000);
    EXPECT_EQ(items[2].opId, -1);
    EXPECT_EQ(items[2].date, kStart.addDays(9).dayNumber());
    EXPECT_EQ(items[2].perc.sum, 0);
    EXPECT_EQ(items[2].perc.paid, 0);
    EXPECT_EQ(items[3].perc.sum, 500);
}

TEST_F(PercCalcTest, TwoOperationsOfADayInOrder) {
    const Made made = make({}, {{.day = 10, .perc = 2000}, {.day = 10, .sum = -30000}});
    PercCalc calc(made.contractId, nullptr);
    const auto& items = calc.calc({kStart.addDays(10), kStart.addDays(10)}, true, false);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].opId, made.opIds[0]);
    EXPECT_EQ(items[1].perc.paid, 2000);
    EXPECT_EQ(items[2].opId, made.opIds[1]);
    EXPECT_EQ(items[2].increase, 30000);
    EXPECT_EQ(items[2].returned, 0);
    EXPECT_EQ(items[2].base, 130000);
    EXPECT_EQ(items[2].dayCounter, 0);
}

int restOf(int opId, const char* column) {
    return scalar(QStringLiteral("select %1 as V from PENALTY_OPERATIONS where OP_ID = %2")
                      .arg(column)
                      .arg(opId))
        .toInt();
}

bool hasCheckpoint(int opId) {
    return !scalar(
                QStringLiteral("select OP_REST_BASE as V from PENALTY_OPERATIONS where OP_ID = %1").arg(opId))
                .isEmpty();
}

TEST_F(PercCalcTest, CheckpointsAreWrittenUsedAndCleared) {
    const Made made = make({}, {{.day = 5, .sum = 20000, .perc = 1000}, {.day = 12, .perc = 2000}});
    EXPECT_FALSE(hasCheckpoint(made.opIds[0]));
    const DebtSums day20 = PercCalc(made.contractId, nullptr).getDebt(kStart.addDays(20), false, false);
    EXPECT_EQ(day20, (DebtSums{80000, 6000, 0, 0, 0}));
    EXPECT_EQ(restOf(made.opIds[0], "OP_REST_BASE"), 80000);
    EXPECT_EQ(restOf(made.opIds[0], "OP_REST_PERC"), 2000);
    EXPECT_EQ(restOf(made.opIds[1], "OP_REST_PERC"), 2800);
    EXPECT_EQ(restOf(made.opIds[1], "OP_REST_PENALTY"), 0);

    PercCalcOperations::scClearOperationDebts(made.contractId);
    EXPECT_FALSE(hasCheckpoint(made.opIds[0]));
    EXPECT_FALSE(hasCheckpoint(made.opIds[1]));
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(kStart.addDays(20), false, true), day20);
    EXPECT_TRUE(hasCheckpoint(made.opIds[1]));
}

TEST_F(PercCalcTest, AStoredCheckpointWins) {
    const Made made = make({}, {{.day = 5, .perc = 1000}});
    udb::execSql(QStringLiteral("update PENALTY_OPERATIONS set OP_REST_BASE = 100000, OP_REST_PERC = 1000, "
                                "OP_REST_STORAGE = 0, OP_REST_PENALTY = 0 where OP_ID = %1")
                     .arg(made.opIds[0]));  // a replay leaves 2000 after it
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(kStart.addDays(7), false, false).perc,
              2000);  // not 3000
    PercCalc replay(made.contractId, nullptr);
    EXPECT_EQ(replay.calc({kStart, kStart.addDays(7)}, false, false).back().perc.sum, 2000);
}

// An edited operation followed by a checkpointed one on the same day: the checkpoint holds the edited
// operation's effect, so the calculation bounded by it must replay.
TEST_F(PercCalcTest, NoCheckpointStartAtOrAfterTheBoundingOperation) {
    const Made made = make({}, {{.day = 10, .perc = 5500}, {.day = 10, .sum = 100000, .rest = 0}});
    const Op edited(made.opIds[0], true);
    EXPECT_EQ(PercCalc(made.contractId, &edited).getDebt(kStart.addDays(10), false, false),
              (DebtSums{100000, 5500, 0, 0, 0}));
}

TEST_F(PercCalcTest, ARowHeldElsewhereKeepsNoCheckpointButTheFigures) {
    const Made made = make({}, {{.day = 5, .perc = 1000}});
    fb::Transaction other(TolvMain::getZarvelDb());
    other.setParams(
        {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
    other.start();
    udb::execSql(
        QStringLiteral("update PENALTY_OPERATIONS set OP_INFO = 'held' where OP_ID = %1").arg(made.opIds[0]),
        &other);
    EXPECT_EQ(PercCalc(made.contractId, nullptr).getDebt(kStart.addDays(7), false, false),
              (DebtSums{100000, 3000, 0, 0, 0}));
    other.rollback();
    EXPECT_FALSE(hasCheckpoint(made.opIds[0]));
}

TEST_F(PercCalcTest, ACheckpointOfARowThatIsGoneRaises) {
    const Made made = make({}, {{.day = 5, .perc = 1000}});
    PercCalcOperations operations(made.contractId, kStart, kStart.addDays(10));
    ASSERT_EQ(operations.rows().size(), 1u);
    udb::execSql(QStringLiteral("delete from PENALTY_OPERATIONS where OP_ID = %1").arg(made.opIds[0]));
    const OpItem item;
    const QString text = tolvtest::errorText([&] { operations.updateOperationDebt(0, item); });
    EXPECT_TRUE(text.endsWith(
        QStringLiteral(" \n\nInfo:  fn: PercCalcOperations::updateOperationDebt(const OpItem& currDebt), "
                       "src/contracts/u_PercCalc.cpp:466")))
        << text.toStdString();
}

TEST_F(PercCalcTest, AMissingContractFailsAtFirstUse) {
    PercCalc calc(-12345, nullptr);
    EXPECT_EQ(tolvtest::errorText([&] { calc.getDebt(kStart, false, false); }),
              QStringLiteral("Невозможно загрузить информацию о договоре. ID=-12345"));
}

TEST_F(PercCalcTest, LastOperationOtherThanOne) {
    const Made made = make({}, {{.day = 5, .perc = 1000}, {.day = 8, .perc = 500}});
    const PercCalcOperations all(made.contractId, -1);
    EXPECT_EQ(all.getLastOpId(), made.opIds[1]);
    EXPECT_EQ(all.getLastOpDate(), kStart.addDays(8));
    const PercCalcOperations butLast(made.contractId, made.opIds[1]);
    EXPECT_EQ(butLast.getLastOpId(), made.opIds[0]);
    const PercCalcOperations none(make({}, {}).contractId, -1);
    EXPECT_TRUE(none.isEof());
    EXPECT_EQ(none.getLastOpId(), -1);
    EXPECT_EQ(none.getLastOpDate(), DateTime());
}

TEST_F(PercCalcTest, DayRateForDocuments) {
    const Made made =
        make({.terms = "IS_USD_EXCHANGE = 1, DOLLAR_PRICE = 50000", .rates = {{-10, 55000}}}, {});
    const TPenaltyContractInfo contract(made.contractId, nullptr);
    EXPECT_NEAR(static_cast<double>(PercCalc::scGetDayRate(contract, kStart)),
                (100.0 / 30 + 0.5) * 1.1 - 100.0 / 30, 1e-12);
}

TEST_F(PercCalcTest, SaleSumFollowsTheSettings) {
    const DebtSums debt{80000, 10000, 10000, 5000, 3};
    EXPECT_EQ(debt.getTotal(), 105000);
    EXPECT_EQ(debt.getSaleSum(), 105000);
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("isCalcSaleSumWithPenalty"), false);
    EXPECT_EQ(debt.getSaleSum(), 95000);
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("isCalcSaleSumWithPerc"), false);
    EXPECT_EQ(debt.getSaleSum(), 85000);
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("isCalcSaleSumWithPenalty"), true);
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("isCalcSaleSumWithPerc"), true);
}

// ---- the contract's questions ---------------------------------------------------------------------

TEST_F(PercCalcTest, OverdueDays) {
    const Made made = make({}, {});
    const TPenaltyContractInfo contract(made.contractId, nullptr);
    EXPECT_EQ(contract.getOverdueDays(kStart.addDays(20)), -1);
    EXPECT_EQ(contract.getOverdueDays(kStart.addDays(30)), 1);
    EXPECT_EQ(contract.getOverdueDays(kStart.addDays(34)), 5);
}

TEST_F(PercCalcTest, DaysToPlannedClose) {
    struct Case {
        const char* name;
        std::vector<Payment> payments;
        int asked;  // index of the operation asked about; -1: one that is not stored
        int expected;
    };
    const std::vector<Case> cases = {
        {"the term after a payment of the interest", {{.day = 10, .perc = 5500}}, 0, 30},
        {"the term already ran out", {{.day = 35, .perc = 100}}, 0, 0},
        {"a later operation inside the window", {{.day = 10, .perc = 5500}, {.day = 15, .perc = 100}}, 0, 30},
        {"an operation not among the items", {{.day = 10, .perc = 5500}}, -1, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Made made = make({}, c.payments);
        const TPenaltyContractInfo contract(made.contractId, nullptr);
        Op operation(c.asked >= 0 ? made.opIds[c.asked] : 0, c.asked >= 0);
        if (c.asked < 0) operation.setValue(Op::oOP_DATE, kStart.addDays(10));
        EXPECT_EQ(contract.getDaysToPlanClose(operation), c.expected);
    }
}

TEST_F(PercCalcTest, ClosedWithDebt) {
    struct Case {
        const char* name;
        int state;
        std::vector<Payment> payments;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"open", 0, {}, false},
        {"closed owing", 1, {}, true},
        {"closed paid up", 1, {{.day = 20, .sum = 100000, .perc = 10500}}, false},
        {"sold owing", 2, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Made made = make({.state = c.state, .closeDay = 20}, c.payments);
        EXPECT_EQ(TPenaltyContractInfo(made.contractId, nullptr).isClosedWithDebt(), c.expected);
    }
}

}  // namespace
