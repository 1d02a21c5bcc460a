#include <gtest/gtest.h>

#include "CashCalc.h"
#include "PenaltyDirectories.h"
#include "PenaltyWarrants.h"
#include "TClients.h"
#include "kv_MainDb.h"
#include "tests/support/ErrorText.h"

using namespace cashtest;
using contracttest::Contract;
using contracttest::newBranch;
using contracttest::newClient;
using contracttest::newContract;
using Info = TolvLogic::TPenaltyContractInfo;

namespace {

class WarrantCalculationTest : public CalcSuite {
protected:
    const DateTime D = d24(15, 3);

    static std::vector<QString> firstRegeneration() {
        return {
            QStringLiteral(
                "EXPENSE_DEPOSIT|60000|5|Договоры 1.24.5; 1.24.8|Выдача займа|Договоры 1.24.5; 1.24.8|377"),
            QStringLiteral(
                "RECEIPT_DEPOSIT|50000|10|Договоры 1.24.7; 1.24.9|Возврат займа|Договоры 1.24.7; 1.24.9|301"),
            QStringLiteral("RECEIPT_PENALTY|250|13|Договоры 1.24.9|Пеня|Договоры 1.24.9|705"),
            QStringLiteral("RECEIPT_PERCENT|2400|11|Договоры 1.24.7; 1.24.9|Проценты|Договоры 1.24.9|703"),
            QStringLiteral("RECEIPT_STORAGE|300|12|Договоры 1.24.7|Хранение||704")};
    }

    TPenaltyOperations operations{TolvMain::getZarvelDb(), nullptr};
};

TEST_F(WarrantCalculationTest, AContractPayingTwiceADayIsNamedOnceInItsOrders) {
    const SummaryDay s = summaryDay(88);
    regenerate(D, s.c1);
    TPenaltyOperationInfo again = operationRecord(D, s.c1, 10000);
    operations.insertOperation(again, nullptr);
    std::vector<QString> expected = firstRegeneration();
    expected[1] = QStringLiteral(
        "RECEIPT_DEPOSIT|60000|10|Договоры 1.24.7; 1.24.9|Возврат займа|Договоры 1.24.7; 1.24.9|301");
    EXPECT_EQ(dayOrders(D, s.branch), expected);
}

TEST_F(WarrantCalculationTest, SummaryDayFollowsEveryChangeOfMoney) {
    const SummaryDay s = summaryDay(71);
    regenerate(D, s.c1);
    EXPECT_EQ(dayOrders(D, s.branch), firstRegeneration());
    EXPECT_EQ(registerCount(D, s.branch), 1);
    EXPECT_EQ(registerCount(D, s.branch, QStringLiteral("R_TYPE = 0 and R_NUMBER = -1")), 1);
    EXPECT_EQ(counters(s.branch), QStringLiteral("14 / 6"));
    // A second regeneration changes nothing.
    regenerate(D, s.c2, QStringLiteral("EXPENSE_DEPOSIT"));
    EXPECT_EQ(dayOrders(D, s.branch), firstRegeneration());
    EXPECT_EQ(counters(s.branch), QStringLiteral("14 / 6"));

    // A payment on C2 joins the principal order, which keeps its number.
    TPenaltyOperationInfo pay = operationRecord(D, s.c2, 5000);
    operations.insertOperation(pay, nullptr);
    std::vector<QString> expected = firstRegeneration();
    expected[1] = QStringLiteral(
        "RECEIPT_DEPOSIT|55000|10|Договоры 1.24.7; 1.24.8; 1.24.9|Возврат займа|Договоры 1.24.7; 1.24.8; "
        "1.24.9|301");
    EXPECT_EQ(dayOrders(D, s.branch), expected);
    // C4's increase deleted: the payout is C2's loan alone.
    TPenaltyOperationInfo increase(s.increase, false);
    operations.deleteOperation(increase, nullptr);
    expected[0] = QStringLiteral("EXPENSE_DEPOSIT|50000|5|Договоры 1.24.8|Выдача займа|Договоры 1.24.8|377");
    EXPECT_EQ(dayOrders(D, s.branch), expected);
    EXPECT_EQ(counters(s.branch), QStringLiteral("14 / 6"));

    // A contract alone on the next day: its payout order, then nothing at all once it is deleted.
    const DateTime next = d24(16, 3);
    Info info(nullptr);
    info.setContractValue(Info::cCLIENT_ID, s.client);
    info.setContractValue(Info::cAGENT_ID, 1);
    info.setContractValue(Info::cCONTRACT_DATE, next);
    info.setContractValue(Info::cCONTRACT_STATE, 0);
    info.setContractValue(Info::cCONTRACT_NUM, QStringLiteral("1.24.10"));
    info.setContractValue(Info::cFILIAL_ID, s.branch);
    info.setDepositValue(Info::dDEPOSIT_SUM, 70000);
    info.setDepositValue(Info::dPENALTY_DAYS, 30);
    info.setDepositValue(Info::dDEPOSIT_PERC, 1500);
    info.setDepositValue(Info::dPENALTY_PERC, 100);
    info.setDepositValue(Info::dSUBJECT_PRICE, 90000);
    info.save(nullptr, true, nullptr);
    EXPECT_EQ(dayOrders(next, s.branch),
              std::vector<QString>{QStringLiteral(
                  "EXPENSE_DEPOSIT|70000|6|Договоры 1.24.10|Выдача займа|Договоры 1.24.10|377")});
    info.remove();
    EXPECT_TRUE(dayOrders(next, s.branch).empty());
    EXPECT_EQ(registerCount(next, s.branch), 0);
    EXPECT_EQ(counters(s.branch), QStringLiteral("14 / 7"));
    EXPECT_EQ(dayOrders(D, s.branch), expected);
}

TEST_F(WarrantCalculationTest, SummaryServiceOrdersOfAnEvent) {
    const SummaryDay s = summaryDay(72);
    regenerate(D, s.c1);
    addServiceRow(astOP_PAY, s.o1, D, QStringLiteral("Оценка"), 1000);
    addServiceRow(astOP_PAY, s.o1, D, QStringLiteral("Упаковка"), 500);
    addServiceRow(astOP_PAY, s.o2, D, QStringLiteral("Оценка"), 700);
    addServiceRow(astOP_PAY, s.o2, D, QStringLiteral("Скидка"), -300);
    StoredServices list(astOP_PAY, s.o1, D, nullptr);
    regenerate(D, s.c1, QStringLiteral("RECEIPT_SERVICE"), &list);
    std::vector<QString> expected = firstRegeneration();
    expected.insert(
        expected.begin() + 1,
        QStringLiteral(
            "EXPENSE_SERVICE|300|6|Договоры 1.24.9|Возврат доп. услуг: скидка|Договоры 1.24.9|708"));
    expected.insert(expected.end() - 1,
                    QStringLiteral("RECEIPT_SERVICE|2200|14|Договоры 1.24.7,1.24.9|Доп. услуги: оценка; "
                                   "упаковка|Договоры 1.24.7,1.24.9|707"));
    EXPECT_EQ(dayOrders(D, s.branch), expected);
    EXPECT_EQ(scalar(QStringLiteral(
                         "select list(distinct ID_SERVICE_EVENT) as V from WARRANTES where W_DATE = %1 and "
                         "ID_FILIAL = %2 and ID_SERVICE_EVENT is not null")
                         .arg(lit(D))
                         .arg(s.branch))
                  .toText(),
              QStringLiteral("1"));
    EXPECT_EQ(counters(s.branch), QStringLiteral("15 / 7"));
}

// Taken off sale on two days: each day's order holds that day's services only.
TEST_F(WarrantCalculationTest, SummaryServicesAreThoseOfTheDay) {
    setMethod(1);
    const int branch = newBranch(73, QStringLiteral("Два дні"), false);
    setCounters(branch, 1, 1);
    const int client = newClient(QStringLiteral("Клієнт"));
    const int c = newContract(Contract{
        .clientId = client, .date = d24(1, 4), .number = QStringLiteral("2.24.1"), .filialId = branch});
    const DateTime first = d24(10, 4), second = d24(12, 4);
    addServiceRow(astSALEDOWN, c, first, QStringLiteral("Зберігання"), 1200);
    addServiceRow(astSALEDOWN, c, second, QStringLiteral("Оцінка"), 400);
    for (const DateTime day : {first, second}) {
        StoredServices list(astSALEDOWN, c, day, nullptr);
        regenerate(day, c, QStringLiteral("RECEIPT_SERVICE"), &list);
    }
    EXPECT_EQ(dayOrders(first, branch), std::vector<QString>{QStringLiteral(
                                            "RECEIPT_SERVICE|1200|1|Договоры 2.24.1|Доп. услуги: зберігання|"
                                            "Договоры 2.24.1|707")});
    EXPECT_EQ(dayOrders(second, branch),
              std::vector<QString>{QStringLiteral("RECEIPT_SERVICE|400|2|Договоры 2.24.1|Доп. услуги: оцінка|"
                                                  "Договоры 2.24.1|707")});
}

// Contract and operation ids coincide; the row's own event tells which one a service belongs to.
TEST_F(WarrantCalculationTest, SummaryTellsContractsFromOperationsByTheServicesEvent) {
    setMethod(1);
    const int branch = newBranch(74, QStringLiteral("Збіг"), false);
    setCounters(branch, 1, 1);
    const int client = newClient(QStringLiteral("Клієнт"));
    const int owner = newContract(Contract{
        .clientId = client, .date = d24(1, 5), .number = QStringLiteral("3.24.1"), .filialId = branch});
    const DateTime day = d24(20, 5);
    const int op = newPayment(owner, day, 10000);
    // A contract with the operation's id, with services of its own on another day.
    const int twin = std::max(udb::genId(QStringLiteral("GEN_CONTRACTS_ID")), op) + 1000;
    udb::execSql(
        QStringLiteral("update PENALTY_OPERATIONS set OP_ID = %1 where OP_ID = %2").arg(twin).arg(op));
    newContract(Contract{.clientId = client,
                         .date = d24(2, 5),
                         .number = QStringLiteral("3.24.2"),
                         .filialId = branch,
                         .id = twin});
    addServiceRow(astCONTRACT, twin, d24(2, 5), QStringLiteral("Оцінка"), 300);
    addServiceRow(astOP_PAY, twin, day, QStringLiteral("Пакування"), 200);
    StoredServices list(astOP_PAY, twin, day, nullptr);
    regenerate(day, owner, QStringLiteral("RECEIPT_SERVICE"), &list);
    const std::vector<QString> orders = dayOrders(day, branch);
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_TRUE(
        orders[1].startsWith(QStringLiteral("RECEIPT_SERVICE|200|2|Договоры 3.24.1|Доп. услуги: пакування|")))
        << orders[1].toStdString();
}

// The detailed example: a repayment, moved to another day, then a credit increase with services.
TEST_F(WarrantCalculationTest, DetailedOrdersOfEachMovement) {
    setMethod(2);
    const int branch = newBranch(75, QStringLiteral("Детальна"), false);
    setCounters(branch, 20, 7, 3, 1);
    const int client = newClient(QStringLiteral("Петренко П.П."));
    udb::execSql(
        QStringLiteral("update CLIENTS set CLIENT_PASSPORT_SN = 'ВК', CLIENT_PASSPORT_NUM = '123456', "
                       "CLIENT_PASSPORT_INFO = 'Шевченківським РВ', CLIENT_PASSPORT_DATE = '01.02.2003' "
                       "where CLIENT_ID = %1")
            .arg(client));
    const int pledge = TDepositTypes::scGetIdByCode(QStringLiteral("GOLD"));
    const int c1 = newContract(Contract{.clientId = client,
                                        .date = d24(1, 3),
                                        .number = QStringLiteral("1.24.7"),
                                        .filialId = branch,
                                        .depositSum = 100000,
                                        .depositType = pledge});
    const QString P = TClients::PassportInfoById(client);
    const QString F = Info(c1, nullptr).genWarrantFoundation();
    ASSERT_TRUE(P.contains(QStringLiteral("123456")));

    TPenaltyOperationInfo pay = operationRecord(d24(18, 3), c1, 20000, 300, 1550);
    operations.insertOperation(pay, nullptr);
    const QString repayment =
        QStringLiteral("Петренко П.П.|Возврат займа 200грн; Хранение 3грн; Проценты 15.5грн. ") + F + u'|' +
        P + u'|';
    EXPECT_EQ(dayOrders(d24(18, 3), branch),
              std::vector<QString>{QStringLiteral("RECEIPT_DEPOSIT|21850|20|") + repayment});
    EXPECT_EQ(registerCount(d24(18, 3), branch,
                            QStringLiteral("R_TYPE = 1 and R_NUMBER = 3 and R_SUBJ_TYPE = %1").arg(pledge)),
              1);
    EXPECT_EQ(registerCount(d24(18, 3), branch), 1);
    EXPECT_EQ(
        scalar(QStringLiteral("select CREDIT_SUM || '/' || STORAGE_SUM || '/' || PERC_SUM || '/' || "
                              "coalesce(PENALTY, 'NULL') || '/' || IDENTIFICATION_DATA || '.' as V from "
                              "WARRANTES where ID_OPERATION = %1")
                   .arg(pay.getValue(TPenaltyOperationInfo::oOP_ID).toInt()))
            .toText(),
        QStringLiteral("20000/300/1550/NULL/."));

    // Moved to the next day: the order and its register go, new ones come.
    pay.setValue(TPenaltyOperationInfo::oOP_DATE, d24(19, 3));
    operations.updateOperation(pay, nullptr);
    EXPECT_TRUE(dayOrders(d24(18, 3), branch).empty());
    EXPECT_EQ(registerCount(d24(18, 3), branch), 0);
    EXPECT_EQ(dayOrders(d24(19, 3), branch),
              std::vector<QString>{QStringLiteral("RECEIPT_DEPOSIT|21850|21|") + repayment});
    EXPECT_EQ(registerCount(d24(19, 3), branch, QStringLiteral("R_TYPE = 1 and R_NUMBER = 4")), 1);

    // A credit increase with services of its event.
    const DateTime day = d24(20, 3);
    TPenaltyOperationInfo increase = operationRecord(day, c1, -5000);
    StoredServices services(astOP_INC, -1, day, nullptr);
    services.add(QStringLiteral("Оценка"), 1000);
    services.add(QStringLiteral("Страховка"), 500);
    services.add(QStringLiteral("Возврат"), -200);
    operations.insertOperation(increase, &services);
    EXPECT_EQ(dayOrders(day, branch),
              (std::vector<QString>{
                  QStringLiteral("EXPENSE_DEPOSIT|5000|7|Петренко П.П.|Выдача займа. ") + F +
                      QStringLiteral("| |377"),
                  QStringLiteral("EXPENSE_SERVICE|200|8|Петренко П.П.|Возврат доп. услуг: возврат. ") +
                      F.toLower() + u'|' + P + QStringLiteral("|708"),
                  QStringLiteral("RECEIPT_SERVICE|1500|22|Петренко П.П.|Доп. услуги: оценка,страховка. ") +
                      F.toLower() + u'|' + P + QStringLiteral("|707")}));
    EXPECT_EQ(scalar(QStringLiteral(
                         "select IDENTIFICATION_DATA as V from WARRANTES W join DIR_WARRANTES DW on DW.ID = "
                         "W.ID_DIR_WARRANTES where DW.CODE = 'EXPENSE_DEPOSIT' and W.W_DATE = %1 and "
                         "W.ID_FILIAL = %2")
                         .arg(lit(day))
                         .arg(branch))
                  .toText(),
              P);
    const auto registerSum = [&](int type, int number) {
        return scalar(QStringLiteral(
                          "select sum(W.W_SUM) as V from WARRANTES W join REGISTERS R on R.ID = "
                          "W.ID_REGISTER where R.R_DATE = %1 and R.ID_FILIAL = %2 and R.R_TYPE = %3 and "
                          "R.R_NUMBER = %4")
                          .arg(lit(day))
                          .arg(branch)
                          .arg(type)
                          .arg(number))
            .toInt();
    };
    EXPECT_EQ(registerSum(2, 1), 5200);
    EXPECT_EQ(registerSum(1, 5), 1500);

    // Interest alone: that share's account.
    TPenaltyOperationInfo interest = operationRecord(d24(21, 3), c1, 0, 0, 700);
    operations.insertOperation(interest, nullptr);
    const std::vector<QString> orders = dayOrders(d24(21, 3), branch);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_TRUE(orders[0].endsWith(u"|703")) << orders[0].toStdString();
    EXPECT_TRUE(orders[0].contains(QStringLiteral("|Проценты 7грн. "))) << orders[0].toStdString();
}

// Contract-level services of two events on one day keep an order each.
TEST_F(WarrantCalculationTest, DetailedServiceOrdersOfTwoContractEvents) {
    setMethod(2);
    const int branch = newBranch(76, QStringLiteral("Дві події"), false);
    setCounters(branch, 1, 1);
    const int client = newClient(QStringLiteral("Клієнт"));
    const int c = newContract(Contract{
        .clientId = client, .date = d24(1, 6), .number = QStringLiteral("4.24.1"), .filialId = branch});
    const DateTime day = d24(3, 6);
    addServiceRow(astCONTRACT, c, day, QStringLiteral("Оцінка"), 1000);
    addServiceRow(astSALEDOWN, c, day, QStringLiteral("Зберігання"), 700);
    for (const ServiceEvent event : {astCONTRACT, astSALEDOWN}) {
        StoredServices list(event, c, day, nullptr);
        regenerate(day, c, QStringLiteral("RECEIPT_SERVICE"), &list);
    }
    EXPECT_EQ(
        scalar(QStringLiteral("select list(W_SUM || ':' || ID_SERVICE_EVENT) as V from (select W_SUM, "
                              "ID_SERVICE_EVENT from WARRANTES where W_DATE = %1 and ID_FILIAL = %2 order by "
                              "ID_SERVICE_EVENT)")
                   .arg(lit(day))
                   .arg(branch))
            .toText(),
        QStringLiteral("1000:0,700:3"));
}

// The sale order: the client unless a text is given, and its amounts follow a changed sale.
TEST_F(WarrantCalculationTest, DetailedSaleOrder) {
    setMethod(2);
    const int branch = newBranch(77, QStringLiteral("Продаж"), false);
    setCounters(branch, 1, 1);
    const int client = newClient(QStringLiteral("Марченко М.М."));
    const int c = newContract(Contract{
        .clientId = client, .date = d24(1, 7), .number = QStringLiteral("5.24.1"), .filialId = branch});
    const DateTime day = d24(9, 7);
    udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_STATE = 2, CONTRACT_CLOSE = %1 where "
                                "CONTRACT_ID = %2")
                     .arg(lit(day))
                     .arg(c));
    udb::execSql(
        QStringLiteral("insert into SALES (CONTRACT_ID, SALE_SUM, IS_CREATE_WARRANT) values (%1, 90000, 1)")
            .arg(c));
    const auto sale = [&](const QString& text) {
        TPenaltyContractInfo contract(c, nullptr);
        WarrantCalculationManager::scCreate(day, branch, nullptr)
            ->recalc(day, contract, QStringLiteral("RECEIPT_SALE"), nullptr, nullptr, text);
        return scalar(QStringLiteral(
                          "select W_SUM || '/' || REAL_SUM || '/' || OPERATION_SUBJECT as V from WARRANTES "
                          "where ID_CONTRACT = %1")
                          .arg(c))
            .toText();
    };
    EXPECT_EQ(sale(QString()), QStringLiteral("90000/90000/Марченко М.М."));
    EXPECT_EQ(sale(QStringLiteral("Покупець Іваненко")), QStringLiteral("90000/90000/Покупець Іваненко"));
    udb::execSql(QStringLiteral("update SALES set SALE_SUM = 95000 where CONTRACT_ID = %1").arg(c));
    EXPECT_EQ(sale(QString()), QStringLiteral("95000/95000/Марченко М.М."));
}

TEST_F(WarrantCalculationTest, MethodOfADayAndItsSetting) {
    const int branch = newBranch(78, QStringLiteral("Метод"), false);
    const DateTime day = d24(1, 8);
    setMethod(2);
    EXPECT_EQ(WarrantCalculationManager::getDayCalculationMethod(day, branch), 0);
    EXPECT_EQ(WarrantCalculationManager::getCalculationMethod(day, branch), 2);
    udb::execSql(QStringLiteral("insert into REGISTERS (ID, ID_FILIAL, R_TYPE, R_NUMBER, R_DATE) values "
                                "(gen_id(GEN_REGISTERS_ID, 1), %1, 0, -1, %2)")
                     .arg(branch)
                     .arg(lit(day)));
    EXPECT_EQ(WarrantCalculationManager::getCalculationMethod(day, branch), 1);
    EXPECT_NE(
        dynamic_cast<WarrantCalculationSum*>(WarrantCalculationManager::scCreate(day, branch, nullptr).get()),
        nullptr);
    // A day without rows follows the setting at once.
    EXPECT_NE(dynamic_cast<WarrantCalculationDetail*>(
                  WarrantCalculationManager::scCreate(d24(2, 8), branch, change()).get()),
              nullptr);
    setMethod(1);
    EXPECT_NE(dynamic_cast<WarrantCalculationSum*>(
                  WarrantCalculationManager::scCreate(d24(2, 8), branch, change()).get()),
              nullptr);
    setMethod(7);
    EXPECT_EQ(WarrantCalculationManager::scCreate(d24(2, 8), branch, nullptr), nullptr);
    setMethod(1);
}

// Each cash key is read in one place with one default.
TEST_F(WarrantCalculationTest, CashSettingsDefaults) {
    udb::execSql(
        QStringLiteral("delete from INI where NAME in ('WarrantCalculationMethod', "
                       "'groupAutoOrdersInRegister', 'INI_DFLT_NumCashBookSheets', 'CanAgentSeeCashDate')"));
    udb::dbIniDropCache();
    EXPECT_EQ(CashSettings::warrantCalculationMethod(), 1);
    EXPECT_FALSE(CashSettings::groupAutoOrdersInRegister());
    EXPECT_TRUE(CashSettings::numCashBookSheets());
    EXPECT_FALSE(CashSettings::canAgentSeeCashDate());
    // The seed stores the same values.
    const std::pair<const char*, const char*> seeded[] = {{"WarrantCalculationMethod", "1"},
                                                          {"groupAutoOrdersInRegister", "0"},
                                                          {"INI_DFLT_NumCashBookSheets", "1"}};
    for (const auto& [name, value] : seeded) {
        udb::execSql(QStringLiteral("insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', '%1', '%2')")
                         .arg(QLatin1String(name), QLatin1String(value)));
    }
    udb::dbIniDropCache();
    EXPECT_EQ(CashSettings::warrantCalculationMethod(), 1);
    EXPECT_FALSE(CashSettings::groupAutoOrdersInRegister());
    EXPECT_TRUE(CashSettings::numCashBookSheets());
}

TEST_F(WarrantCalculationTest, DaySums) {
    const int branch = newBranch(79, QStringLiteral("Суми"), false);
    const DateTime day = d24(1, 9);
    EXPECT_EQ(WarrantCalculationManager::getBalanceBefore(day, branch), 0);
    newOrder(Order{.date = day, .filialId = branch, .sum = 5000});
    newOrder(Order{.date = day.addDays(-1), .filialId = branch, .sum = 700});
    udb::execSql(QStringLiteral("update WARRANTES set W_TYPE = 1 where ID = %1")
                     .arg(newOrder(Order{.date = day, .filialId = branch, .sum = 1200})));
    qint64 receipts = 0, expenses = 0;
    WarrantCalculationManager::getDayTotals(day, branch, receipts, expenses);
    EXPECT_EQ(receipts, 5000);
    EXPECT_EQ(expenses, 1200);
    EXPECT_TRUE(WarrantCalculationManager::hasReceipts(day, branch));
    EXPECT_TRUE(WarrantCalculationManager::hasExpenses(day, branch));
    EXPECT_FALSE(WarrantCalculationManager::hasExpenses(day.addDays(-1), branch));
    EXPECT_EQ(WarrantCalculationManager::getBalanceBefore(day, branch), 700);
    EXPECT_EQ(WarrantCalculationManager::getBalanceBefore(day.addDays(1), branch), 700 + 5000 - 1200);
}

}  // namespace
