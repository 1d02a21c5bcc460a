#include <gtest/gtest.h>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TestDatabase.h"

using core::DateTime;
using core::Variant;
using namespace contracttest;
using TolvLogic::TPenaltyContractInfo;
using C = TolvLogic::TPenaltyContractInfo;

namespace {

using tolvtest::errorText;

using ContractInfoTest = ContractSuite;

TEST_F(ContractInfoTest, LoadsAStoredContractById) {
    const int client = newClient(QStringLiteral("Петренко Олена"));
    const int id = newContract({.clientId = client, .depositType = 2});
    TPenaltyContractInfo c(id, nullptr);
    EXPECT_FALSE(c.isNew());
    EXPECT_FALSE(c.isImport());
    EXPECT_EQ(c.getContractValue(C::cCONTRACT_ID).toInt(), id);
    EXPECT_EQ(c.getContractValue(C::cCONTRACT_NUM).toText(), QStringLiteral("3.09.17"));
    EXPECT_EQ(c.getContractValue(C::cCONTRACT_DATE).toDateTime(), day(5, 3));
    EXPECT_TRUE(c.getContractValue(C::cCONTRACT_CLOSE).isNull());
    EXPECT_EQ(c.getDepositInt(C::dDEPOSIT_SUM), 150000);
    EXPECT_EQ(c.getDepositInt(C::dPENALTY_DAYS), 30);
    EXPECT_EQ(c.getDepositValue(C::dIS_MAKE_EXCHANGE_BY_INCREASE).toInt(), 0);
    EXPECT_EQ(c.getIdDepositeType(), 2);
    EXPECT_EQ(c.getDepositRecord().GetField(QStringLiteral("DEPOSIT_TYPE")).toInt(), 2);
    EXPECT_EQ(c.getClientName(), QStringLiteral("Петренко Олена"));
    EXPECT_EQ(c.getFilialNumber(), 1);
    EXPECT_EQ(c.getFilialName(), QStringLiteral("Центральное отделение"));
    EXPECT_EQ(c.genWarrantFoundation(), QStringLiteral("Договiр № 3.09.17 от 05.03.2009 р."));
    // Without an import row the import columns are not there.
    EXPECT_TRUE(errorText([&] {
                    c.getImportValue(C::iCLIENT_NAME);
                }).startsWith(QStringLiteral("field 'CLIENT_NAME' not exist")));

    // Loading in a transaction sees that transaction's own rows.
    fb::Transaction* change = TolvMain::getChangeTransact();
    const int fresh = newContract({.number = QStringLiteral("1.09.1"), .depositType = std::nullopt}, change);
    TPenaltyContractInfo inTransaction(fresh, change);
    EXPECT_EQ(inTransaction.getContractValue(C::cCONTRACT_NUM).toText(), QStringLiteral("1.09.1"));
    EXPECT_EQ(inTransaction.getIdDepositeType(), 0);  // no pledge type
    EXPECT_EQ(inTransaction.getTransaction(), change);
    EXPECT_EQ(errorText([&] { TPenaltyContractInfo(fresh, nullptr); }),
              QStringLiteral("Невозможно загрузить информацию о договоре. ID=%1").arg(fresh));
}

TEST_F(ContractInfoTest, LoadFailures) {
    EXPECT_EQ(errorText([] { TPenaltyContractInfo(987654, nullptr); }),
              QStringLiteral("Невозможно загрузить информацию о договоре. ID=987654"));
    const int noTerms = newContract({.withTerms = false});
    EXPECT_EQ(
        errorText([&] { TPenaltyContractInfo(noTerms, nullptr); }),
        QStringLiteral("Количество записей в таблице-расширении PENALTY_DEPOSITS должно быть одинаково с "
                       "количеством записей в родительской таблице PENALTY_CONTRACTS"));

    // load of an object made empty reads the contract its key names.
    TPenaltyContractInfo c(nullptr);
    c.setContractValue(C::cCONTRACT_ID, newContract({.number = QStringLiteral("5.09.2")}));
    EXPECT_EQ(c.load(), 1);
    EXPECT_EQ(c.getContractValue(C::cCONTRACT_NUM).toText(), QStringLiteral("5.09.2"));
}

TEST_F(ContractInfoTest, ImportedContractKeepsItsClientAsText) {
    const int client = newClient(QStringLiteral("Петренко Олена"));
    const int id = newContract({.clientId = client});
    udb::execSql(
        QStringLiteral("insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME, AGENT_NAME, KASSIR_ID) "
                       "values (%1, 'Кравець Іван', 'Касир філії', '7')")
            .arg(id));
    TPenaltyContractInfo c(id, nullptr);
    EXPECT_TRUE(c.isImport());
    EXPECT_EQ(c.getClientName(), QStringLiteral("Кравець Іван"));
    EXPECT_EQ(c.getImportValue(C::iAGENT_NAME).toText(), QStringLiteral("Касир філії"));
    EXPECT_EQ(c.getImportValue(C::iKASSIR_ID).toText(), QStringLiteral("7"));
    EXPECT_TRUE(c.getImportValue(C::iCLIENT_PASSPORT_DATE).isNull());
}

TEST_F(ContractInfoTest, OperationDatesAndLoanIncreases) {
    const int contract = newContract({.depositSum = 150000});
    newOperation(contract, {.date = day(10, 3), .sum = 1000});
    newOperation(contract, {.date = day(20, 3), .sum = -5000});
    newOperation(contract, {.date = day(20, 3), .sum = 0, .perc = 700});
    newOperation(contract, {.date = day(25, 3), .sum = -2500});
    const int increasesOnly = newContract({});
    newOperation(increasesOnly, {.date = day(12, 3), .sum = -100});
    const int none = newContract({});

    TPenaltyContractInfo c(contract, nullptr);
    EXPECT_EQ(c.getLastOpDate(false), day(25, 3));
    EXPECT_EQ(c.getLastOpDate(true), day(20, 3));
    EXPECT_EQ(TPenaltyContractInfo(increasesOnly, nullptr).getLastOpDate(true), day(5, 3));
    EXPECT_EQ(TPenaltyContractInfo(increasesOnly, nullptr).getLastOpDate(false), day(12, 3));
    EXPECT_EQ(TPenaltyContractInfo(none, nullptr).getLastOpDate(false), day(5, 3));

    struct Case {
        DateTime date;
        bool after;
        bool onlyPayments;
        DateTime expected;
    };
    const Case cases[] = {
        {day(10, 3), true, false, day(10, 3)},  {day(11, 3), true, false, day(20, 3)},
        {day(21, 3), true, true, DateTime()},   {day(21, 3), true, false, day(25, 3)},
        {day(26, 3), true, false, DateTime()},  {day(20, 3), false, false, day(10, 3)},
        {day(26, 3), false, false, day(25, 3)}, {day(26, 3), false, true, day(20, 3)},
        {day(10, 3), false, false, DateTime()},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(c.findOpDate(k.date, k.after, k.onlyPayments), k.expected)
            << k.date.date().toString().toStdString() << ' ' << k.after << ' ' << k.onlyPayments;
    }
    EXPECT_TRUE(TPenaltyContractInfo(none, nullptr).findOpDate(day(1, 1), true, false).isZero());

    EXPECT_EQ(c.getIncreaseSum(), 7500);
    EXPECT_EQ(c.getFullCreditSum(), 157500);
    EXPECT_EQ(TPenaltyContractInfo(none, nullptr).getIncreaseSum(), 0);
    EXPECT_EQ(TPenaltyContractInfo(none, nullptr).getFullCreditSum(), 150000);

    std::vector<DateTime> dates = c.getOperationDates();
    std::sort(dates.begin(), dates.end());
    EXPECT_EQ(dates, std::vector<DateTime>({day(10, 3), day(20, 3), day(25, 3)}));
    EXPECT_TRUE(c.hasOperations());
    EXPECT_FALSE(TPenaltyContractInfo(none, nullptr).hasOperations());
    EXPECT_TRUE(TPenaltyContractInfo(none, nullptr).getOperationDates().empty());
}

TEST(ContractObjectTest, NewContractHoldsOnlyItsKey) {
    TPenaltyContractInfo c(nullptr);
    EXPECT_TRUE(c.isNew());
    EXPECT_EQ(c.getContractValue(C::cCONTRACT_ID).toInt(), -1);
    EXPECT_EQ(c.getIdDepositeType(), 0);
    EXPECT_TRUE(errorText([&] {
                    c.getContractValue(C::cCONTRACT_NUM);
                }).startsWith(QStringLiteral("field 'CONTRACT_NUM' not exist")));
    EXPECT_TRUE(errorText([&] {
                    c.checkAllowedOperation(TolvLogic::caNEWOPERATION);
                }).startsWith(QStringLiteral("field 'CONTRACT_STATE' not exist")));
    c.setContractValue(C::cCONTRACT_ID, 77);
    EXPECT_FALSE(c.isNew());
    EXPECT_EQ(c.getContractRecord().key().whereClause(), QStringLiteral(" where CONTRACT_ID='77'"));
    c.setDepositInt(C::dEXCEED_DAYS, 3);
    EXPECT_EQ(c.getDepositValue(C::dEXCEED_DAYS).toInt(), 3);
}

TEST(ContractObjectTest, StorageTermsDeriveTheDailyFee) {
    struct Case {
        int kind;
        int value;
        std::optional<int> subjectPrice;
        int depositSum;
        int expectedSum;  // STORAGE_SUM before is 77
    };
    const Case cases[] = {
        {1, 250, 123456, 100000, 250}, {2, 50, 123456, 100000, 617},      // 617.28
        {3, 50, 123456, 100000, 500},  {2, 50, std::nullopt, 100000, 0},  // the valuation is not known yet
        {2, 200, 125, 0, 2},          // 2.5: halves go to the even neighbour
        {2, 200, 175, 0, 4},          // 3.5
        {4, 50, 123456, 100000, 77},  // an unknown kind leaves the fee alone
    };
    for (const Case& k : cases) {
        TPenaltyContractInfo c(nullptr);
        c.setDepositInt(C::dSTORAGE_SUM, 77);
        c.setDepositInt(C::dDEPOSIT_SUM, k.depositSum);
        if (k.subjectPrice) c.setDepositInt(C::dSUBJECT_PRICE, *k.subjectPrice);
        c.setStorage(k.kind, k.value);
        EXPECT_EQ(c.getDepositInt(C::dSTORAGE_TYPE), k.kind);
        EXPECT_EQ(c.getDepositInt(C::dSTORAGE_VAL), k.value);
        EXPECT_EQ(c.getDepositInt(C::dSTORAGE_SUM), k.expectedSum) << k.kind << ' ' << k.value;
    }
}

TEST(ContractObjectTest, EachStateAllowsItsActions) {
    const QString ok = QStringLiteral("<no error>");
    const QString sale =
        QStringLiteral("Перед реализацией залога договор необходимо выставить на реализацию");
    const QString notOnSale = QStringLiteral("Договор не выставлен на реализацию");
    const QString closed[] = {QStringLiteral("Невозможно создать новую операцию, т.к договор закрыт"),
                              QStringLiteral("Невозможно выставить залог на реализацию, договор закрыт"),
                              QStringLiteral("Невозможно реализовать залог, т.к договор закрыт"),
                              QStringLiteral("Невозможно снять залог с реализации, т.к договор закрыт")};
    const QString soldNew =
        QStringLiteral("Невозможно создать новую операцию, т.к залог договора реализован");
    const QString soldOnSale =
        QStringLiteral("Невозможно выставить залог на реализацию, т.к залог уже реализован");
    const QString soldOffSale =
        QStringLiteral("Невозможно снять залог с реализации, т.к залог уже реализован");
    // Rows: states 0 to 3 and an unknown 7; columns: actions 0 to 5.
    const std::vector<std::vector<QString>> expected = {
        {ok, ok, sale, notOnSale, ok, ok},
        {closed[0], closed[1], closed[2], closed[3], ok, ok},
        {soldNew, soldOnSale, ok, soldOffSale, ok, ok},
        {ok, ok, ok, ok, ok, ok},
        {ok, ok, ok, ok, ok, ok},
    };
    const int states[] = {0, 1, 2, 3, 7};
    TPenaltyContractInfo c(nullptr);
    for (int s = 0; s < 5; ++s) {
        c.setContractValue(C::cCONTRACT_STATE, states[s]);
        for (int action = 0; action <= 5; ++action) {
            EXPECT_EQ(errorText([&] { EXPECT_TRUE(c.checkAllowedOperation(action)); }), expected[s][action])
                << "state " << states[s] << " action " << action;
        }
    }
    EXPECT_EQ(c.getPermissions().size(), 24u);

    // The table is rebuilt at each check, so a change of language shows in the next refusal.
    const QString key =
        QStringLiteral("PenaltyContracts.TPenaltyContractInfo.fillAllowedOperations.csCLOSED.caNEWOPERATION");
    KVLibTranslator::instance().set(key,
                                    QStringLiteral("Неможливо створити нову операцію, бо договір закрито"));
    c.setContractValue(C::cCONTRACT_STATE, 1);
    const QString ukrainian = errorText([&] { c.checkAllowedOperation(TolvLogic::caNEWOPERATION); });
    KVLibTranslator::instance().set(key, closed[0]);
    EXPECT_EQ(ukrainian, QStringLiteral("Неможливо створити нову операцію, бо договір закрито"));
}

}  // namespace
