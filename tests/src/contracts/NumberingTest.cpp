#include <gtest/gtest.h>

#include "ContractRows.h"
#include "HooksRecording.h"
#include "PenaltyContracts.h"
#include "kv_FbDbIni.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "tests/support/ErrorText.h"
#include "tests/support/ProcessFormats.h"
#include "u_VersionConfig.h"

using core::DateTime;
using core::Variant;
using namespace contracttest;
using namespace TolvLogic;

namespace {

const QString kDefaults = QStringLiteral("DEFAULTS");

// The numbering settings of a test, put back to their defaults however it ends.
struct Numbering {
    Numbering(const QString& pattern, int reset) {
        udb::dbIniWrite(kDefaults, QStringLiteral("OrderNumberTemplate"), pattern);
        udb::dbIniWrite(kDefaults, QStringLiteral("ResetContractNumOn_"), reset);
    }
    ~Numbering() {
        udb::dbIniWrite(kDefaults, QStringLiteral("OrderNumberTemplate"), QString());
        udb::dbIniWrite(kDefaults, QStringLiteral("ResetContractNumOn_"), 0);
    }
};

int counterOf(int branch) {
    return scalar(QStringLiteral("select ORDER_NUM_AUTOINC as V from DIR_FILIAL where ID = %1").arg(branch))
        .toInt();
}

int branchWithCounter(int number, int counter) {
    const int branch = newBranch(number, QStringLiteral("Філія %1").arg(number), false);
    udb::execSql(QStringLiteral("update DIR_FILIAL set ORDER_NUM_AUTOINC = %1 where ID = %2")
                     .arg(counter)
                     .arg(branch));
    return branch;
}

class NumberingTest : public ContractSuite {
protected:
    OwnSettingsFile ini{"[LANG_MASTER]\r\ninterfeyce_lang=1\r\n"};
};

TEST_F(NumberingTest, TemplatesFillEveryPlaceholder) {
    struct Case {
        const char* pattern;
        const char* expected;
    };
    const Case cases[] = {
        {"[POINT_NO].[YY].[AUTOINC]", "3.09.17"},
        {"[POINT_NO]/[YYYY]-[MM]-[DD]/[AUTOINC]", "3/2009-03-05/17"},
        {"", ""},
    };
    const int branch = branchWithCounter(3, 17);
    TPenaltyContracts list(nullptr, false);
    for (const Case& c : cases) {
        Numbering numbering(QString::fromLatin1(c.pattern), 0);
        EXPECT_EQ(list.buildOrderNum(branch, day(5, 3)), QString::fromLatin1(c.expected)) << c.pattern;
    }
    EXPECT_EQ(counterOf(branch), 17);  // building a number takes none
}

TEST_F(NumberingTest, RestartRules) {
    struct Case {
        int rule;
        DateTime last;
        DateTime next;
        int shown;
    };
    const Case cases[] = {
        {1, day(31, 12, 2008), day(2, 1, 2009), 1}, {1, day(1, 1, 2009), day(31, 12, 2009), 9},
        {2, day(31, 1, 2009), day(1, 2, 2009), 1},  {2, day(1, 2, 2009), day(28, 2, 2009), 9},
        {3, day(5, 3, 2009), day(5, 3, 2009), 9},   {3, day(5, 3, 2009), day(6, 3, 2009), 1},
        {0, day(31, 12, 2008), day(2, 1, 2009), 9},
    };
    TPenaltyContracts list(nullptr, false);
    int number = 40;
    for (const Case& c : cases) {
        const int branch = branchWithCounter(++number, 9);
        newContract({.date = c.last, .filialId = branch});
        Numbering numbering(QStringLiteral("[AUTOINC]"), c.rule);
        EXPECT_EQ(list.autoincOrderNum(branch, c.next, false, nullptr), c.shown) << c.rule;
        EXPECT_EQ(counterOf(branch), 9);
    }
}

TEST_F(NumberingTest, YearlyRestartGivesOneAndSavingStoresTwo) {
    const int branch = branchWithCounter(5, 17);
    newContract({.date = day(31, 12, 2008), .filialId = branch});
    Numbering numbering(QStringLiteral("[POINT_NO].[YY].[AUTOINC]"), 1);
    TPenaltyContracts list(nullptr, false);
    EXPECT_EQ(list.buildOrderNum(branch, day(2, 1, 2009)), QStringLiteral("5.09.1"));
    EXPECT_EQ(list.autoincOrderNum(branch, day(2, 1, 2009), true, nullptr), 1);
    EXPECT_EQ(counterOf(branch), 2);
}

TEST_F(NumberingTest, AdvanceTakesDistinctNumbersAndAnUnknownRuleRaises) {
    const int branch = branchWithCounter(6, 17);
    TPenaltyContracts list(nullptr, false);
    EXPECT_EQ(list.autoincOrderNum(branch, day(5, 3), true, nullptr), 17);
    EXPECT_EQ(list.autoincOrderNum(branch, day(5, 3), true, nullptr), 18);
    EXPECT_EQ(counterOf(branch), 19);
    Numbering numbering(QStringLiteral("[AUTOINC]"), 7);
    EXPECT_EQ(tolvtest::errorText([&] { list.autoincOrderNum(branch, day(5, 3), true, nullptr); }),
              QStringLiteral("Неизвестный тип авто сброса номера договора"));
    EXPECT_EQ(counterOf(branch), 19);
}

TEST_F(NumberingTest, UniquenessByRule) {
    const int branch = branchWithCounter(7, 1);
    const int used =
        newContract({.date = day(5, 3, 2008), .number = QStringLiteral("7.08.1'"), .filialId = branch});
    TPenaltyContracts list(nullptr, false);
    {
        Numbering yearly(QString(), 1);
        EXPECT_TRUE(list.isOrderNumUnique(-1, QStringLiteral("7.08.1'"), 2009, branch));
        EXPECT_FALSE(list.isOrderNumUnique(-1, QStringLiteral("7.08.1'"), 2008, branch));
        EXPECT_TRUE(list.isOrderNumUnique(used, QStringLiteral("7.08.1'"), 2008, branch));
    }
    Numbering monthly(QString(), 2);
    EXPECT_FALSE(list.isOrderNumUnique(-1, QStringLiteral("7.08.1'"), 2009, branch));
}

// ---- state changes ----------------------------------------------------------------------------------

class StateTest : public ContractSuite {
protected:
    OwnSettingsFile ini{"[LANG_MASTER]\r\ninterfeyce_lang=1\r\n"};
    RecordingHooks hooks;
    static int sales(int contract) {
        return scalar(QStringLiteral("select count(*) as V from SALES where CONTRACT_ID = %1").arg(contract))
            .toInt();
    }
    static Variant stored(int contract, const char* column) {
        return scalar(QStringLiteral("select %1 as V from PENALTY_CONTRACTS where CONTRACT_ID = %2")
                          .arg(QString::fromLatin1(column))
                          .arg(contract));
    }
    static int soldContract() {
        const int contract = newContract({.state = csSALED});
        udb::execSql(QStringLiteral(
                         "update PENALTY_CONTRACTS set CONTRACT_CLOSE = '2009-04-20' where CONTRACT_ID = %1")
                         .arg(contract));
        udb::execSql(
            QStringLiteral("insert into SALES (CONTRACT_ID, AGENT_ID, SALE_SUM) values (%1, 1, 99000)")
                .arg(contract));
        return contract;
    }
};

TEST_F(StateTest, CloseWritesTheDateReopenClearsIt) {
    tolvtest::ScopedDateFormat format(QStringLiteral("dd/mm/yyyy"), u'/');
    const int contract = newContract({});
    TPenaltyContracts list(nullptr, false);
    list.closeContract(contract, day(7, 4), nullptr, nullptr);
    EXPECT_EQ(stored(contract, "CONTRACT_STATE").toInt(), csCLOSED);
    EXPECT_EQ(stored(contract, "CONTRACT_CLOSE").toDateTime(), day(7, 4));
    list.reopenContract(contract, day(8, 4), nullptr);
    EXPECT_EQ(stored(contract, "CONTRACT_STATE").toInt(), csOPENED);
    EXPECT_TRUE(stored(contract, "CONTRACT_CLOSE").isEmpty());
    EXPECT_TRUE(hooks.recorder.log.empty());
}

TEST_F(StateTest, ReturningASoldContractToSaleDropsTheSaleAndItsOrders) {
    const int contract = soldContract();
    TPenaltyContracts list(nullptr, false);
    list.returnToSale(contract, nullptr);
    EXPECT_EQ(stored(contract, "CONTRACT_STATE").toInt(), csONSALE);
    EXPECT_TRUE(stored(contract, "CONTRACT_CLOSE").isEmpty());
    EXPECT_EQ(sales(contract), 0);
    const int branch = FilialsDir::scGetCurentFilialId();
    EXPECT_EQ(
        hooks.recorder.log,
        (std::vector<QString>{QStringLiteral("calc 20.04.2009 branch=%1").arg(branch),
                              QStringLiteral("recalc 20.04.2009 RECEIPT_SALE no op no services rows=0")}));
}

TEST_F(StateTest, AFailedRegenerationLeavesStateDateAndSaleAsTheyWere) {
    const int contract = soldContract();
    hooks.recorder.failRecalc = true;
    TPenaltyContracts list(nullptr, false);
    EXPECT_THROW(list.returnToSale(contract, nullptr), core::Exception);
    EXPECT_EQ(stored(contract, "CONTRACT_STATE").toInt(), csSALED);
    EXPECT_EQ(stored(contract, "CONTRACT_CLOSE").toDateTime(), day(20, 4));
    EXPECT_EQ(sales(contract), 1);
}

TEST_F(StateTest, SellingRegeneratesTheSaleDateInTheCallersTransaction) {
    const int contract = newContract({.state = csONSALE});
    TPenaltyContracts list(nullptr, false);
    list.setState(contract, day(9, 4), csSALED, change(), nullptr, QStringLiteral("продано"));
    EXPECT_EQ(hooks.recorder.transaction, change());
    EXPECT_EQ(hooks.recorder.log.back(),
              QStringLiteral("recalc 09.04.2009 RECEIPT_SALE no op no services rows=0 продано"));
    change()->rollback();  // nothing was committed here
    EXPECT_EQ(stored(contract, "CONTRACT_STATE").toInt(), csONSALE);
}

// ---- holders ----------------------------------------------------------------------------------------

TEST_F(NumberingTest, TheCacheKeepsTheFirstLoadAndNothingForAMissingContract) {
    const int contract = newContract({.number = QStringLiteral("КЕШ-1")});
    TPenaltyContractInfoCache cache;
    TPenaltyContractInfo& first = cache.getContract(contract);
    udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_NUM = 'КЕШ-2' where CONTRACT_ID = %1")
                     .arg(contract));
    TPenaltyContractInfo& second = cache.getContract(contract);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.getContractValue(TPenaltyContractInfo::cCONTRACT_NUM).toText(), QStringLiteral("КЕШ-1"));
    EXPECT_ANY_THROW(cache.getContract(-77));
    EXPECT_EQ(cache.size(), 1u);
}

TEST_F(NumberingTest, TheVersionConfigMakesTheFiveLists) {
    TVersionConfig config(TolvMain::getZarvelDb(), true);
    EXPECT_TRUE(config.getContracts()->withDebt());
    EXPECT_NE(config.getOperations(), nullptr);
    EXPECT_NE(config.getSales(), nullptr);
    EXPECT_NE(config.getDebitors(), nullptr);
    EXPECT_NE(config.getInActs(), nullptr);
    EXPECT_TRUE(config.isManager());
    EXPECT_EQ(config.getDatabase(), TolvMain::getZarvelDb());
}

}  // namespace
