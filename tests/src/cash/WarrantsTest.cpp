#include <gtest/gtest.h>

#include <memory>

#include "CashRows.h"
#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "PenaltyWarrantTemplates.h"
#include "PenaltyWarrants.h"
#include "tests/support/ErrorText.h"

using core::Variant;
using namespace contracttest;
using namespace cashtest;
using TolvLogic::FilialInfo;
using TolvLogic::RegisterInfo;
using TolvLogic::WarrantInfo;
using tolvtest::errorText;

namespace {

class WarrantsTest : public ContractSuite {
protected:
    void SetUp() override {
        settings_ = std::make_unique<OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
    }
    void TearDown() override {
        settings_.reset();
        ContractSuite::TearDown();
    }
    static int templateId(const char* code) {
        TolvLogic::DirWarrantInfo t;
        t.loadAutoWarrant(QString::fromLatin1(code));
        return t.GetField(TolvLogic::DirWarrantInfo::dID).toInt();
    }

    std::unique_ptr<OwnSettingsFile> settings_;
};

TEST_F(WarrantsTest, MissingRowsAreReportedByTheirId) {
    EXPECT_EQ(errorText([] { WarrantInfo(987654, nullptr); }),
              QStringLiteral("Невозможно загрузить ордер. ID=987654"));
    EXPECT_EQ(errorText([] { RegisterInfo(987654); }),
              QStringLiteral("Невозможно загрузить ведомость. ID=987654"));
    WarrantInfo order;
    EXPECT_FALSE(order.loadById(987654, nullptr));
}

TEST_F(WarrantsTest, LongTextsKeepTheirFirstTenThousandCharactersTheGroundIsNeverCut) {
    const QString party = QStringLiteral("Від Мар'яни Гнатівни ").repeated(500).left(10001);
    const QString ground = QStringLiteral("Підстава ").repeated(1200).left(10000);
    WarrantInfo order;
    order.SetField(WarrantInfo::wW_DATE, day(11, 6));
    order.SetField(WarrantInfo::wID_FILIAL, TolvLogic::FilialsDir::scGetCurentFilialId());
    order.SetField(WarrantInfo::wW_SUM, 500);
    order.SetField(WarrantInfo::wNUMBER, QStringLiteral("long-1"));
    order.SetField(WarrantInfo::wOPERATION_SUBJECT, party);
    order.SetField(WarrantInfo::wADDITION, party);
    order.SetField(WarrantInfo::wFOUNDATION, ground + u'!');
    EXPECT_EQ(order.GetField(WarrantInfo::wOPERATION_SUBJECT).toText(), party.left(10000));
    // The ground is not cut: a text longer than its column is refused by the column's name.
    EXPECT_TRUE(errorText([&] { order.save(change()); }).contains(QStringLiteral("FOUNDATION")));

    order.SetField(WarrantInfo::wFOUNDATION, ground);
    order.SetField(WarrantInfo::wID, -1);
    order.save(change());
    const int id =
        scalar(QStringLiteral("select ID as V from WARRANTES where NUMBER = 'long-1'"), change()).toInt();
    WarrantInfo back(id, change());
    EXPECT_EQ(back.GetField(WarrantInfo::wOPERATION_SUBJECT).toText(), party.left(10000));
    EXPECT_EQ(back.GetField(WarrantInfo::wADDITION).toText(), party.left(10000));
    EXPECT_EQ(back.GetField(WarrantInfo::wFOUNDATION).toText(), ground);
}

TEST_F(WarrantsTest, SaveOrDropFollowsItsFourCases) {
    const int t = templateId("RECEIPT_PERCENT");
    const int branch = newBranch(41, QStringLiteral("Дарниця"), false, change());
    struct Case {
        bool stored;
        int sum;
        bool result;
        int rowsAfter;
        QString number;
    };
    const Case cases[] = {
        {false, 1500, true, 1, QStringLiteral("N-7")},  // a new order is numbered and stored
        {false, 0, false, 0, QString()},                // an empty new one is neither
        {true, 0, false, 0, QString()},                 // a stored one that fell to 0 is dropped
        {true, 2500, false, 1, QStringLiteral("old")},  // a stored one keeps its number
    };
    int dayOfMonth = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sum);
        const core::DateTime date = day(dayOfMonth++, 7);
        if (c.stored)
            newOrder({.date = date, .templateId = t, .filialId = branch, .sum = 900, .number = "old"},
                     change());
        WarrantInfo order;
        order.loadOrInitForDay(date, t, branch, change());
        EXPECT_EQ(order.GetField(WarrantInfo::wID).toInt() == -1, !c.stored);
        order.SetField(WarrantInfo::wID_FILIAL, branch);
        order.SetField(WarrantInfo::wW_SUM, c.sum);
        EXPECT_EQ(order.saveOrDrop(QStringLiteral("N-7"), change()), c.result);
        const QString where = QStringLiteral("W_DATE = %1 and ID_FILIAL = %2").arg(lit(date)).arg(branch);
        ASSERT_EQ(
            scalar(QStringLiteral("select count(*) as V from WARRANTES where ") + where, change()).toInt(),
            c.rowsAfter);
        if (c.rowsAfter == 1) {
            EXPECT_EQ(
                scalar(QStringLiteral("select NUMBER as V from WARRANTES where ") + where, change()).toText(),
                c.number);
            EXPECT_EQ(
                scalar(QStringLiteral("select W_SUM as V from WARRANTES where ") + where, change()).toInt(),
                c.sum);
        }
    }
}

// Two orders matching one lookup key: the first returned is taken, and only it is written or dropped.
TEST_F(WarrantsTest, AFoundOrderIsWrittenAndDroppedByItsOwnId) {
    const int t = templateId("RECEIPT_PENALTY");
    const int branch = newBranch(42, QStringLiteral("Троєщина"), false, change());
    const core::DateTime date = day(20, 7);
    const int first = newOrder({.date = date, .templateId = t, .filialId = branch, .sum = 100}, change());
    const int second = newOrder({.date = date, .templateId = t, .filialId = branch, .sum = 200}, change());
    const auto sumOf = [&](int id) {
        return scalar(QStringLiteral("select W_SUM as V from WARRANTES where ID = %1").arg(id), change());
    };

    WarrantInfo order;
    order.loadOrInitForDay(date, t, branch, change());
    const int taken = order.GetField(WarrantInfo::wID).toInt();
    ASSERT_TRUE(taken == first || taken == second);
    const int untouched = taken == first ? second : first;
    const int untouchedSum = sumOf(untouched).toInt();

    order.SetField(WarrantInfo::wW_SUM, 333);
    EXPECT_FALSE(order.saveOrDrop(QStringLiteral("x"), change()));
    order.SetField(WarrantInfo::wW_SUM, 444);
    order.save(change());
    EXPECT_EQ(sumOf(taken).toInt(), 444);
    EXPECT_EQ(sumOf(untouched).toInt(), untouchedSum);

    order.SetField(WarrantInfo::wW_SUM, 0);
    order.saveOrDrop(QStringLiteral("x"), change());
    EXPECT_TRUE(sumOf(taken).isEmpty());
    EXPECT_EQ(sumOf(untouched).toInt(), untouchedSum);
}

// The orders of a contract without operation are told from its operations' orders of the same day
// and template (a credit increase's order, for one).
TEST_F(WarrantsTest, ContractLookupsIgnoreOrdersOfOperations) {
    const int t = templateId("EXPENSE_DEPOSIT");
    const int contractId = newContract({.clientId = newClient(QStringLiteral("Ковальчук"))});
    const int opId = newOperation(contractId, {.date = day(5, 3), .sum = -50000});
    const int opOrder = newOrder(
        {.date = day(5, 3), .templateId = t, .sum = 50000, .contractId = contractId, .operationId = opId},
        change());
    TolvLogic::TPenaltyContractInfo contract(contractId, change());
    TolvLogic::TPenaltyOperationInfo operation(opId, true);

    WarrantInfo byContract;
    EXPECT_FALSE(byContract.loadByContract(contractId, QStringLiteral("EXPENSE_DEPOSIT"), change()));
    WarrantInfo loanOrder;
    loanOrder.loadOrInit(day(5, 3), t, contract, nullptr, change());
    EXPECT_EQ(loanOrder.GetField(WarrantInfo::wID).toInt(), -1);
    loanOrder.SetField(WarrantInfo::wW_SUM, 150000);
    EXPECT_TRUE(loanOrder.saveOrDrop(QStringLiteral("12"), change()));
    const int loanOrderId =
        scalar(QStringLiteral("select ID as V from WARRANTES where ID_CONTRACT = %1 and ID_OPERATION is null")
                   .arg(contractId),
               change())
            .toInt();

    struct Case {
        const TolvLogic::TPenaltyOperationInfo* operation;
        int id;
    };
    for (const Case& c : {Case{nullptr, loanOrderId}, Case{&operation, opOrder}}) {
        WarrantInfo found;
        found.loadOrInit(day(5, 3), t, contract, c.operation, change());
        EXPECT_EQ(found.GetField(WarrantInfo::wID).toInt(), c.id);
    }
    EXPECT_TRUE(byContract.loadByContract(contractId, QStringLiteral("EXPENSE_DEPOSIT"), change()));
    EXPECT_EQ(byContract.GetField(WarrantInfo::wID).toInt(), loanOrderId);
    WarrantInfo byOperation;
    EXPECT_TRUE(byOperation.loadByOperation(opId, QStringLiteral("EXPENSE_DEPOSIT"), change()));
    EXPECT_EQ(byOperation.GetField(WarrantInfo::wID).toInt(), opOrder);
    EXPECT_EQ(
        errorText([&] { byOperation.loadByOperation(opId, QStringLiteral("expense_deposit"), change()); }),
        QStringLiteral("Невозможно загрузить автоматический ордер expense_deposit"));
}

TEST_F(WarrantsTest, AutomaticOrdersAreToldFromManualOnes) {
    const int automatic = newOrder({.templateId = templateId("RECEIPT_DEPOSIT")});
    const int manual = newOrder({});
    const std::pair<int, bool> cases[] = {{automatic, true}, {manual, false}, {987654, false}};
    for (const auto& [id, expected] : cases) {
        WarrantInfo order;
        order.SetField(WarrantInfo::wID, id);
        EXPECT_EQ(order.isAutomatic(), expected) << id;
    }
}

// On the caller's transaction the delete is the caller's to keep; without one it is committed at once.
TEST_F(WarrantsTest, DeleteByIdRunsOnTheCallersTransactionOrCommitsItsOwn) {
    const int id = newOrder({.number = QStringLiteral("del-1")});
    const auto stored = [&] {
        return scalar(QStringLiteral("select count(*) as V from WARRANTES where ID = %1").arg(id)).toInt();
    };
    WarrantInfo order(id, nullptr);
    order.deleteById(change());
    change()->rollback();
    EXPECT_EQ(stored(), 1);
    order.deleteById(nullptr);
    EXPECT_EQ(stored(), 0);
}

TEST_F(WarrantsTest, ServiceSumIsTheAmountOfOrdersWithoutShares) {
    struct Case {
        const char* share;  // set to 0, or nothing
        Variant expected;
    };
    const Case cases[] = {
        {nullptr, 700}, {"CREDIT_SUM", 0}, {"PERC_SUM", 0}, {"PENALTY", 0}, {"STORAGE_SUM", 0}};
    for (const Case& c : cases) {
        WarrantInfo order;
        order.SetField(WarrantInfo::wW_SUM, 700);
        for (int share : {WarrantInfo::wCREDIT_SUM, WarrantInfo::wPERC_SUM, WarrantInfo::wPENALTY,
                          WarrantInfo::wSTORAGE_SUM}) {
            order.SetField(share, Variant::null());
        }
        if (c.share) order.SetField(QString::fromLatin1(c.share), 0);
        EXPECT_EQ(order.getServiceSum(), c.expected) << (c.share ? c.share : "none");
    }
}

TEST_F(WarrantsTest, RegistersSumTheirOrdersAndGoOnlyWhenEmpty) {
    // Committed: the counters are advanced in transactions of their own.
    const int branch = newBranch(43, QStringLiteral("Виноградар"), false);
    RegisterInfo reg;
    EXPECT_FALSE(reg.loadOrInit(branch, 1, day(1, 8), 2, change()));
    EXPECT_EQ(reg.GetField(RegisterInfo::rID).toInt(), -1);
    const int id = reg.insertNumbered(change());
    EXPECT_EQ(reg.getSum(change()), 0);

    RegisterInfo found;
    EXPECT_TRUE(found.loadOrInit(branch, 1, day(1, 8), 2, change()));
    EXPECT_EQ(found.GetField(RegisterInfo::rID).toInt(), id);
    EXPECT_EQ(found.GetField(RegisterInfo::rID_DIR_WARRANTES).toInt(), -1);

    newOrder({.filialId = branch, .sum = 1250, .registerId = id}, change());
    newOrder({.filialId = branch, .sum = 750, .registerId = id}, change());
    EXPECT_EQ(found.getSum(change()), 2000);
    found.deleteIfEmpty(change());
    EXPECT_EQ(
        scalar(QStringLiteral("select count(*) as V from REGISTERS where ID = %1").arg(id), change()).toInt(),
        1);

    RegisterInfo empty;
    empty.loadOrInit(branch, 2, day(1, 8), 2, change());
    const int emptyId = empty.insertNumbered(change());
    empty.deleteIfEmpty(change());
    EXPECT_EQ(
        scalar(QStringLiteral("select count(*) as V from REGISTERS where ID = %1").arg(emptyId), change())
            .toInt(),
        0);
}

// Receipt registers take the receipt counter, every other type the expense counter; a number taken
// stays used up when the caller's work is rolled back.
TEST_F(WarrantsTest, RegistersAreNumberedFromTheirBranchCounters) {
    const int branch = newBranch(44, QStringLiteral("Позняки"), false);
    struct Case {
        int rType;
        int number;
    };
    const Case cases[] = {{1, 1}, {1, 2}, {2, 1}, {0, 2}, {2, 3}, {1, 3}};
    int dayOfMonth = 1;
    for (const Case& c : cases) {
        RegisterInfo reg;
        reg.loadOrInit(branch, c.rType, day(dayOfMonth++, 9), 1, change());
        const int id = reg.insertNumbered(change());
        EXPECT_EQ(
            scalar(QStringLiteral("select R_NUMBER as V from REGISTERS where ID = %1").arg(id), change())
                .toInt(),
            c.number)
            << c.rType;
    }
    change()->rollback();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) as V from REGISTERS where ID_FILIAL = %1").arg(branch))
                  .toInt(),
              0);
    EXPECT_EQ(FilialInfo(branch).getField(FilialInfo::fREG_RECEIPT_NUM_AUTOINC).toInt(), 4);
    EXPECT_EQ(FilialInfo(branch).getField(FilialInfo::fREG_EXPENSE_NUM_AUTOINC).toInt(), 4);
}

}  // namespace
