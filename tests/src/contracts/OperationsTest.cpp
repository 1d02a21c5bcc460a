#include <gtest/gtest.h>

#include <set>

#include "ContractRows.h"
#include "HooksRecording.h"
#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "tests/support/ErrorText.h"
#include "tests/support/ProcessFormats.h"
#include "tests/support/TestDatabase.h"
#include "u_ContractHooks.h"

using core::DateTime;
using core::Variant;
using namespace contracttest;
using namespace TolvLogic;
using Op = TolvLogic::TPenaltyOperationInfo;

namespace {

using tolvtest::errorText;

class OperationsTest : public ContractSuite {
protected:
    void SetUp() override {
        setServicesFactory(&servicesHook);
        setWarrantCalculationFactory(&warrantsHook);
        branch = FilialsDir::scGetCurentFilialId();
    }
    void TearDown() override {
        setServicesFactory(nullptr);
        setWarrantCalculationFactory(nullptr);
        ContractSuite::TearDown();
    }

    QString calc(DateTime date) const { return QStringLiteral("calc %1 branch=%2").arg(d(date)).arg(branch); }
    static int count(const QString& where, fb::Transaction* transaction = nullptr) {
        return scalar(QStringLiteral("select count(*) as V from PENALTY_OPERATIONS where ") + where,
                      transaction)
            .toInt();
    }
    // Dates of the contract's operations that still hold a checkpoint.
    static std::set<QString> checkpointDates(int contract) {
        ufb::AutoQuery q(QStringLiteral("select OP_DATE from PENALTY_OPERATIONS where DEPOSIT_ID = %1 and "
                                        "OP_REST_BASE is not null")
                             .arg(contract),
                         nullptr);
        q->open();
        std::set<QString> dates;
        for (; !q->eof(); q->next()) dates.insert(d(q->fieldByName(QStringLiteral("OP_DATE")).asDateTime()));
        return dates;
    }
    static void fill(Op& op, int contract, DateTime date, int sum, int perc = 0, int nonCalcDays = 0) {
        op.setValue(Op::oDEPOSIT_ID, contract);
        op.setValue(Op::oOP_DATE, date);
        op.setValue(Op::oOP_SUM, sum);
        op.setValue(Op::oOP_STORAGE_SUM, 0);
        op.setValue(Op::oOP_PERC_SUM, perc);
        op.setValue(Op::oOP_PENALTY_SUM, 0);
        op.setValue(Op::oNON_CALC_DAYS, nonCalcDays);
    }
    // A closing service charged with the operation, as the payment dialog stores it.
    static void chargeClosingService(int opId) {
        const int service = udb::genId(QStringLiteral("GEN_DIR_ADD_SERVICES_ID"));
        udb::execSql(
            QStringLiteral("insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (%1, 'Закриття', 4)")
                .arg(service));
        udb::execSql(QStringLiteral("insert into ADD_SERVICES (ID, ID_SERVICE, NAME, ID_OBJ, PRICE) values "
                                    "(gen_id(GEN_ADD_SERVICES_ID, 1), %1, 'Закриття', %2, 1000)")
                         .arg(service)
                         .arg(opId));
    }

    Recorder recorder;
    RecordingServicesFactory servicesHook{recorder};
    RecordingWarrants warrantsHook{recorder};
    TPenaltyOperations operations{TolvMain::getZarvelDb(), nullptr};
    int branch = 0;
};

TEST_F(OperationsTest, InsertStoresTheOperationAndRegeneratesItsDate) {
    struct Case {
        int sum;
        int perc;
        ServiceEvent event;
        const char* code;
    };
    const Case cases[] = {
        {100000, 0, astOP_PAY, "RECEIPT_DEPOSIT"},
        {0, 500, astOP_PAY, "RECEIPT_DEPOSIT"},  // interest only is a repayment
        {-50000, 0, astOP_INC, "EXPENSE_DEPOSIT"},
    };
    for (const Case& c : cases) {
        recorder.log.clear();
        const int contract = newContract({});
        Op op;
        fill(op, contract, day(10, 4), c.sum, c.perc);
        op.setValue(Op::oOP_ID, Variant::null());
        op.setValue(Op::oOP_INFO, QStringLiteral("Оплата за квітень, п'ятниця"));
        {
            RecordingServices services(recorder, c.event, -1);
            operations.insertOperation(op, &services);
        }
        const int id = op.getValue(Op::oOP_ID).toInt();
        EXPECT_EQ(
            id, scalar(QStringLiteral("select gen_id(GEN_OPERATIONS_ID, 0) as V from RDB$DATABASE")).toInt());
        // Committed: a transaction of its own sees the row.
        EXPECT_EQ(
            scalar(QStringLiteral("select OP_INFO as V from PENALTY_OPERATIONS where OP_ID = %1").arg(id))
                .toText(),
            QStringLiteral("Оплата за квітень, п'ятниця"));
        EXPECT_NE(recorder.transaction, change());
        const QString event = QString::number(c.event);
        EXPECT_EQ(recorder.log, std::vector<QString>(
                                    {QStringLiteral("save %1:-1 -> %2").arg(event).arg(id), calc(day(10, 4)),
                                     QStringLiteral("recalc 10.04.2009 %1 %2/0/%3/0 %4:%5 rows=1")
                                         .arg(QString::fromLatin1(c.code))
                                         .arg(c.sum)
                                         .arg(c.perc)
                                         .arg(event)
                                         .arg(id),
                                     QStringLiteral("drop %1:%2").arg(event).arg(id)}))
            << c.code;
    }
}

TEST_F(OperationsTest, InTheCallersTransactionNothingIsCommitted) {
    const int contract = newContract({});
    Op op;
    fill(op, contract, day(10, 4), 1000);
    op.setTransaction(change());
    operations.insertOperation(op, nullptr);
    const QString mine = QStringLiteral("DEPOSIT_ID = %1").arg(contract);
    EXPECT_EQ(recorder.transaction, change());
    EXPECT_TRUE(change()->inTransaction());
    EXPECT_EQ(count(mine, change()), 1);
    EXPECT_EQ(count(mine), 0);
    EXPECT_EQ(recorder.log.back(),
              QStringLiteral("recalc 10.04.2009 RECEIPT_DEPOSIT 1000/0/0/0 no services rows=1"));

    op.setValue(Op::oOP_DATE, day(12, 4));
    operations.updateOperation(op, nullptr);
    Op gone;
    gone.setValue(Op::oOP_ID, op.getValue(Op::oOP_ID));
    gone.setTransaction(change());
    operations.deleteOperation(gone, nullptr);
    EXPECT_TRUE(change()->inTransaction());
    change()->rollback();
    EXPECT_EQ(count(mine), 0);
}

TEST_F(OperationsTest, UpdateRecomputesTheOldDateAtZeroThenTheNewDate) {
    struct Case {
        const char* name;
        DateTime oldDate;
        int oldSum;
        DateTime newDate;
        int newSum;
        bool closing;  // the stored repayment closed the contract
        ServiceEvent oldEvent;
        const char* oldCode;
        const char* newCode;
    };
    const Case cases[] = {
        {"moved", day(10, 4), 1000, day(15, 4), 1500, false, astOP_PAY, "RECEIPT_DEPOSIT", "RECEIPT_DEPOSIT"},
        {"same date", day(10, 4), 1000, day(10, 4), 2000, false, astOP_PAY, "RECEIPT_DEPOSIT",
         "RECEIPT_DEPOSIT"},
        {"repayment to increase", day(10, 4), 1000, day(12, 4), -3000, false, astOP_PAY, "RECEIPT_DEPOSIT",
         "EXPENSE_DEPOSIT"},
        {"increase to repayment", day(10, 4), -3000, day(12, 4), 1000, false, astOP_INC, "EXPENSE_DEPOSIT",
         "RECEIPT_DEPOSIT"},
        {"closing repayment", day(10, 4), 1000, day(10, 4), 1200, true, astCLOSE, "RECEIPT_DEPOSIT",
         "RECEIPT_DEPOSIT"},
    };
    for (const Case& c : cases) {
        recorder.log.clear();
        const int contract = newContract({});
        const int id = newOperation(contract, {.date = c.oldDate, .sum = c.oldSum, .rest = 999, .perc = 300});
        if (c.closing) chargeClosingService(id);
        Op op(id, true);
        op.setValue(Op::oOP_DATE, c.newDate);
        op.setValue(Op::oOP_SUM, c.newSum);
        const ServiceEvent newEvent = c.newSum < 0 ? astOP_INC : astOP_PAY;
        {
            RecordingServices services(recorder, newEvent, -1);
            operations.updateOperation(op, &services);
        }
        const QString oldList = QStringLiteral("%1:%2").arg(c.oldEvent).arg(id);
        const QString newList = QStringLiteral("%1:%2").arg(newEvent).arg(id);
        const int rowsOnOldDate = c.oldDate == c.newDate ? 1 : 0;
        std::vector<QString> expected = {
            QStringLiteral("save %1:-1 -> %2").arg(newEvent).arg(id),
            QStringLiteral("services %1 %2").arg(oldList, d(c.oldDate)),
            calc(c.oldDate),
            QStringLiteral("recalc %1 %2 0/0/0/0 %3 rows=%4")
                .arg(d(c.oldDate), QString::fromLatin1(c.oldCode), oldList)
                .arg(rowsOnOldDate),
        };
        // An increase's list goes before the new date is computed, a repayment's after.
        const QString dropOld = QStringLiteral("drop ") + oldList;
        if (c.oldEvent == astOP_INC) expected.push_back(dropOld);
        expected.push_back(calc(c.newDate));
        expected.push_back(QStringLiteral("recalc %1 %2 %3/0/300/0 %4 rows=1")
                               .arg(d(c.newDate), QString::fromLatin1(c.newCode))
                               .arg(c.newSum)
                               .arg(newList));
        if (c.oldEvent != astOP_INC) expected.push_back(dropOld);
        expected.push_back(QStringLiteral("drop ") + newList);
        EXPECT_EQ(recorder.log, expected) << c.name;

        Op stored(id, true);
        EXPECT_EQ(stored.getValue(Op::oOP_DATE).toDateTime(), c.newDate) << c.name;
        EXPECT_EQ(stored.getValue(Op::oOP_SUM).toInt(), c.newSum) << c.name;
        EXPECT_EQ(stored.getValue(Op::oOP_PERC_SUM).toInt(), 300) << c.name;
        for (int rest : {Op::oOP_REST_BASE, Op::oOP_REST_PERC, Op::oOP_REST_PENALTY, Op::oOP_REST_STORAGE}) {
            EXPECT_TRUE(stored.getValue(rest).isNull()) << c.name;
        }
    }
}

TEST_F(OperationsTest, DeleteRecomputesItsDateWithTheOperationAtZero) {
    struct Case {
        const char* name;
        int sum;
        bool closing;
        bool givenList;
        ServiceEvent event;
        const char* code;
    };
    const Case cases[] = {
        {"repayment", 1000, false, false, astOP_PAY, "RECEIPT_DEPOSIT"},
        {"increase", -3000, false, false, astOP_INC, "EXPENSE_DEPOSIT"},
        {"closing repayment", 1000, true, false, astCLOSE, "RECEIPT_DEPOSIT"},
        {"with its list", 1000, false, true, astOP_PAY, "RECEIPT_DEPOSIT"},
    };
    for (const Case& c : cases) {
        recorder.log.clear();
        const int contract = newContract({});
        const int id = newOperation(contract, {.date = day(10, 4), .sum = c.sum, .perc = 300});
        newOperation(contract, {.date = day(10, 4), .sum = 50});
        if (c.closing) chargeClosingService(id);
        // The main window knows only the key.
        Op op;
        op.setValue(Op::oOP_ID, id);
        std::vector<QString> expected = {calc(day(10, 4))};
        if (c.givenList) {
            RecordingServices services(recorder, c.event, id);
            operations.deleteOperation(op, &services);
        } else {
            operations.deleteOperation(op, nullptr);
            expected.push_back(QStringLiteral("services %1:-1 10.04.2009").arg(c.event));
        }
        const QString list = QStringLiteral("%1:%2").arg(c.event).arg(c.givenList ? id : -1);
        expected.push_back(
            QStringLiteral("recalc 10.04.2009 %1 0/0/0/0 %2 rows=1").arg(QString::fromLatin1(c.code), list));
        expected.push_back(QStringLiteral("drop ") + list);
        EXPECT_EQ(recorder.log, expected) << c.name;
        EXPECT_EQ(count(QStringLiteral("OP_ID = %1").arg(id)), 0) << c.name;
        EXPECT_EQ(count(QStringLiteral("DEPOSIT_ID = %1").arg(contract)), 1) << c.name;
    }
}

TEST_F(OperationsTest, ARowThatIsGoneFailsBeforeAnythingIsWritten) {
    const int contract = newContract({});
    newOperation(contract, {.date = day(10, 4), .sum = 1000, .rest = 5});
    Op update;
    update.setValue(Op::oOP_ID, 987654);
    fill(update, contract, day(10, 4), 2000);
    EXPECT_TRUE(errorText([&] {
                    operations.updateOperation(update, nullptr);
                }).startsWith(QStringLiteral("field 'OP_DATE' not exist")));
    // Whatever the record carried, a delete of a missing row reads no columns.
    Op remove;
    remove.setValue(Op::oOP_ID, 987654);
    fill(remove, contract, day(10, 4), 2000);
    EXPECT_TRUE(errorText([&] {
                    operations.deleteOperation(remove, nullptr);
                }).startsWith(QStringLiteral("field 'DEPOSIT_ID' not exist")));
    EXPECT_TRUE(recorder.log.empty());
    EXPECT_EQ(count(QStringLiteral("DEPOSIT_ID = %1 and OP_SUM = 1000 and OP_REST_BASE = 5").arg(contract)),
              1);
}

TEST_F(OperationsTest, AFailedRegenerationLeavesNothingWritten) {
    recorder.failRecalc = true;
    const QString failure = QStringLiteral("касовий ордер не записано");
    const int contract = newContract({});
    const int id = newOperation(contract, {.date = day(10, 4), .sum = 1000, .rest = 5});
    const QString unchanged =
        QStringLiteral("DEPOSIT_ID = %1 and OP_DATE = '10.04.2009' and OP_SUM = 1000 and OP_REST_BASE = 5")
            .arg(contract);

    Op insert;
    fill(insert, contract, day(12, 4), 700);
    EXPECT_EQ(errorText([&] { operations.insertOperation(insert, nullptr); }), failure);
    Op update(id, true);
    update.setValue(Op::oOP_DATE, day(15, 4));
    EXPECT_EQ(errorText([&] { operations.updateOperation(update, nullptr); }), failure);
    Op remove(id, false);
    EXPECT_EQ(errorText([&] { operations.deleteOperation(remove, nullptr); }), failure);
    EXPECT_EQ(count(QStringLiteral("DEPOSIT_ID = %1").arg(contract)), 1);
    EXPECT_EQ(count(unchanged), 1);

    // In the caller's transaction the failure is passed on and the rollback left to the caller.
    Op mine;
    fill(mine, contract, day(12, 4), 700);
    mine.setTransaction(change());
    EXPECT_EQ(errorText([&] { operations.insertOperation(mine, nullptr); }), failure);
    EXPECT_TRUE(change()->inTransaction());
    EXPECT_EQ(count(QStringLiteral("DEPOSIT_ID = %1").arg(contract), change()), 2);
}

TEST_F(OperationsTest, AChangeClearsTheCheckpointsFromTheFirstDayItReaches) {
    enum Kind { Insert, Update, Delete };
    // The contract's operations on 1, 10, 20 and 30 April all hold checkpoints; target indexes them.
    struct Case {
        const char* name;
        Kind kind;
        int target;
        std::optional<DateTime> date;
        std::optional<int> nonCalcDays;  // a delete stores it on the row first
        std::optional<int> sum;
        std::set<QString> kept;
    };
    const Case cases[] = {
        {"insert", Insert, -1, day(25, 4), 0, 100, {"01.04.2009", "10.04.2009", "20.04.2009"}},
        {"insert reaching back", Insert, -1, day(25, 4), 10, 100, {"01.04.2009", "10.04.2009"}},
        {"update moved back", Update, 2, day(5, 4), {}, {}, {"01.04.2009"}},
        {"update moved forward", Update, 1, day(25, 4), {}, {}, {"01.04.2009"}},
        {"update of uncalculated days", Update, 1, {}, 12, {}, {}},
        {"update of the sums", Update, 3, {}, {}, 4000, {"01.04.2009", "10.04.2009", "20.04.2009"}},
        {"delete", Delete, 2, {}, {}, {}, {"01.04.2009", "10.04.2009"}},
        {"delete of a row reaching back", Delete, 2, {}, 15, {}, {"01.04.2009"}},
    };
    for (const Case& c : cases) {
        const int contract = newContract({});
        std::vector<int> ids;
        for (DateTime date : {day(1, 4), day(10, 4), day(20, 4), day(30, 4)}) {
            ids.push_back(newOperation(contract, {.date = date, .sum = 1000, .rest = 111}));
        }
        const int other = newContract({});
        newOperation(other, {.date = day(20, 4), .sum = 1000, .rest = 111});

        if (c.kind == Insert) {
            Op op;
            fill(op, contract, *c.date, *c.sum, 0, *c.nonCalcDays);
            operations.insertOperation(op, nullptr);
        } else if (c.kind == Update) {
            Op op(ids[c.target], true);
            if (c.date) op.setValue(Op::oOP_DATE, *c.date);
            if (c.nonCalcDays) op.setValue(Op::oNON_CALC_DAYS, *c.nonCalcDays);
            if (c.sum) op.setValue(Op::oOP_SUM, *c.sum);
            operations.updateOperation(op, nullptr);
        } else {
            if (c.nonCalcDays) {
                udb::execSql(
                    QStringLiteral("update PENALTY_OPERATIONS set NON_CALC_DAYS = %1 where OP_ID = %2")
                        .arg(*c.nonCalcDays)
                        .arg(ids[c.target]));
            }
            Op op(ids[c.target], false);
            operations.deleteOperation(op, nullptr);
        }
        EXPECT_EQ(checkpointDates(contract), c.kept) << c.name;
        EXPECT_EQ(checkpointDates(other), std::set<QString>({QStringLiteral("20.04.2009")})) << c.name;
    }
}

// A user's date format is the process's: the contract's date questions and an operation's
// checkpoint clearing must reach the database with the right days whatever it is.
TEST_F(OperationsTest, DatesReachTheDatabaseWhateverTheProcessDateFormat) {
    const int contract = newContract({.date = day(5, 3)});
    newOperation(contract, {.date = day(10, 3), .sum = 1000, .rest = 111});
    newOperation(contract, {.date = day(20, 3), .sum = 1000, .rest = 111});
    {
        tolvtest::ScopedDateFormat format(QStringLiteral("dd/mm/yyyy"), u'/');
        const TPenaltyContractInfo info(contract, nullptr);
        EXPECT_EQ(info.findOpDate(day(5, 3), true, false), day(10, 3));
        EXPECT_EQ(info.findOpDate(day(15, 3), false, false), day(10, 3));
        EXPECT_EQ(info.findOpDate(day(12, 3), true, false), day(20, 3));

        Op op;
        fill(op, contract, day(12, 3), 500);
        operations.insertOperation(op, nullptr);
        EXPECT_EQ(
            count(
                QStringLiteral("OP_ID = %1 and OP_DATE = '2009-03-12'").arg(op.getValue(Op::oOP_ID).toInt())),
            1);
    }
    // The operation of 12 March reaches the checkpoint of 20 March, not the one before it.
    EXPECT_EQ(checkpointDates(contract), std::set<QString>({QStringLiteral("10.03.2009")}));
}

TEST_F(OperationsTest, ListShowsAContractsOperationsWithTheirCheckpoints) {
    const int contract = newContract({});
    const int second = newOperation(contract, {.date = day(20, 4), .sum = -5000});
    const int first = newOperation(contract, {.date = day(10, 4), .sum = 123456, .rest = 2550, .perc = 300});
    const int third = newOperation(contract, {.date = day(20, 4), .sum = 700});
    newOperation(newContract({}), {.date = day(15, 4), .sum = 1});

    operations.setContractId(contract);
    ASSERT_TRUE(operations.open());
    data::Dataset& ds = *operations.getDataSet();
    EXPECT_EQ(ds.fieldNames(), QStringList({"OP_ID", "OP_DATE", "NON_CALC_DAYS", "OP_SUM", "OP_STORAGE_SUM",
                                            "OP_PERC_SUM", "OP_PENALTY_SUM", "OP_REST_PERC",
                                            "OP_REST_STORAGE", "OP_REST_BASE", "OP_REST_PENALTY", "BASE_DEBT",
                                            "STORAGE_DEBT", "PERC_DEBT", "PENALTY_DEBT", "OP_INFO"}));
    std::vector<int> order;
    for (ds.first(); !ds.eof(); ds.next())
        order.push_back(ds.fieldByName(QStringLiteral("OP_ID")).asInteger());
    EXPECT_EQ(order, std::vector<int>({first, second, third}));
    ds.first();
    EXPECT_EQ(ds.fieldByName(QStringLiteral("OP_SUM")).displayText(), QStringLiteral("1234.56"));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("BASE_DEBT")).displayText(), QStringLiteral("25.50"));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("PERC_DEBT")).asInteger(), 2550);
    ds.next();
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("BASE_DEBT")).isNull());
    EXPECT_EQ(ds.fieldByName(QStringLiteral("BASE_DEBT")).displayText(), QString());

    operations.setContractId(newContract({}));
    ASSERT_TRUE(operations.open());
    EXPECT_TRUE(ds.isEmpty());

    std::vector<std::tuple<QString, int, QString>> columns;
    for (const grid::Column& c : operations.columnsEh()) {
        EXPECT_FALSE(c.titleButton) << c.fieldName.toStdString();
        columns.emplace_back(c.fieldName, c.width, c.title);
    }
    using T = std::tuple<QString, int, QString>;
    EXPECT_EQ(columns, std::vector<T>(
                           {T{"OP_DATE", 60, "Дата"}, T{"OP_SUM", 70, "Погашено|Осн.сумма"},
                            T{"OP_STORAGE_SUM", 70, "Погашено|Хранение"}, T{"OP_PERC_SUM", 70, "Погашено|%"},
                            T{"OP_PENALTY_SUM", 70, "Погашено|Пеня"}, T{"BASE_DEBT", 75, "Долг|Осн.сумма"},
                            T{"STORAGE_DEBT", 70, "Долг|Хранение"}, T{"PERC_DEBT", 70, "Долг|%"},
                            T{"PENALTY_DEBT", 70, "Долг|Пеня"}, T{"OP_INFO", 120, "Примечание"}}));
    EXPECT_EQ(operations.getContracts(), nullptr);
}

}  // namespace
