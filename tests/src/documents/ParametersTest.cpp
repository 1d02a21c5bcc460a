// The template parameter groups read over a real database: the values the templates print.

#include "tests/src/documents/DocumentsFixture.h"

using namespace doctest;

namespace {

TEST_F(Groups, CommonPrintsTheInjectedMoment) {
    ReportParamCommon::setClock([] { return core::DateTime::encode(2009, 3, 3, 9, 5, 7); });
    ReportParamCommon common;
    common.fill();
    expectValues(common, {{"PRINT_DATE", "03.03.2009"},
                          {"PRINT_TIME", "09:05:07"},
                          {"PRINT_DATE_DAY", "3"},
                          {"PRINT_DATE_MONTH", "3"},
                          {"PRINT_DATE_YEAR", "2009"}});
}

TEST_F(Groups, CompanyLeavesAnEmptyNbuDateEmptyAndBuildsTheDirectorsInitials) {
    udb::execSql(
        QStringLiteral("update or insert into ZVIT_COMPANY (ID, SN_SVIS, N_SVIS, MN_SVIS) values "
                       "(1, 'Коваль', '', 'Петрович') matching (ID)"));
    setCompany(QStringLiteral("contractWithNBUDate"), QString());
    setCompany(QStringLiteral("INN"), QString());
    ReportParamCompany company;
    company.fill();
    expectValues(company, {{"NBU_CNTR_DATE", ""}, {"INN", ""}, {"DIRECTOR_FIO", "Коваль П."}, {"NDS", "20"}});

    {
        TolvLogic::CompanyInfo stored(1);
        stored.contractWithNBUDate = day(5, 2, 2008);
        stored.save();
    }
    company.fill();
    expectValues(company, {{"NBU_CNTR_DATE", "05.02.2008"}});
    setCompany(QStringLiteral("contractWithNBUDate"), QString());
}

TEST_F(Groups, AgentOfATakenOverContractWithANullCashierNumber) {
    const int id = contract(100000, 1000, 30);
    udb::execSql(QStringLiteral("insert into CONTRACT_IMPORT (CONTRACT_ID, AGENT_NAME, CLIENT_NAME) values "
                                "(%1, 'Сидоренко', 'Клієнт філії')")
                     .arg(id));
    ReportParamAgent agent;
    agent.fill(id);
    expectValues(agent, {{"AGENT_NAME", "Сидоренко"},
                         {"KASSIR_NUM", ""},
                         {"CURRENT_AGENT_NAME", "Администратор"},
                         {"CURRENT_KASSIR_NUM", "1"}});
    ReportParamClient client;
    client.fill(id);
    expectValues(client, {{"NAME", "Клієнт філії"}, {"PASSPORT_DATE", ""}});
}

TEST_F(Groups, ClientWithoutPassportDateKeepsTheVariableEmpty) {
    const int id = contract(100000, 1000, 30);
    ReportParamClient client;
    client.fill(id);
    expectValues(client, {{"NAME", "Петренко Іван"}, {"PASSPORT_DATE", ""}});
    udb::execSql(QStringLiteral("update CLIENTS set CLIENT_PASSPORT_DATE = '07.04.2001' where CLIENT_ID = "
                                "(select CLIENT_ID from PENALTY_CONTRACTS where CONTRACT_ID = %1)")
                     .arg(id));
    client.fill(id);
    expectValues(client, {{"PASSPORT_DATE", "07.04.2001"}});
}

TEST_F(Groups, ServicesGiveTheirRowsAndTotal) {
    desktest::clearServices();
    const int id = contract(100000, 1000, 30);
    ReportParamAddServices services;
    services.fill(id, 0, day(10, 1, 2024));
    expectValues(services,
                 {{"ALLPRICE", "0"}, {"ALLPRICE_F", "0.00"}, {"ALLPRICE_E", ""}, {"ALLPRICE_FE", ""}});
    ASSERT_NE(services.getDataSet(QStringLiteral("Service")), nullptr);
    EXPECT_EQ(services.getDataSet(QStringLiteral("Service"))->recordCount(), 0);

    const int dir = desktest::newService(QStringLiteral("Оцінка"), 0, QStringLiteral("0"), true);
    for (int price : {10000, 2550})
        udb::execSql(
            QStringLiteral("insert into ADD_SERVICES (ID, ID_SERVICE, ID_OBJ, NAME, PRICE, DATA) values "
                           "(gen_id(GEN_ADD_SERVICES_ID, 1), %1, %2, 'Оцінка', %3, '2024-01-10')")
                .arg(dir)
                .arg(id)
                .arg(price));
    services.fill(id, 0, day(10, 1, 2024));
    expectValues(services, {{"ALLPRICE_F", "125.50"}});
    EXPECT_EQ(column(services.getDataSet(QStringLiteral("Service")), QStringLiteral("PRICE_F")),
              "100.00 25.50");
    desktest::clearServices();
}

TEST_F(Groups, ContractAmountsOfItsTerms) {
    const int id = contract(100000, 1550, 30, 50, 100, day(1, 2, 2024));
    ReportParamContract group;
    group.fill(id);
    expectValues(group, {{"DEPOSIT_SUM", "100000"},
                         {"DEPOSIT_SUM_F", "1000.00"},
                         {"DEPOSIT_PERC_SUM_F", "155.00"},
                         {"DEPOSIT_DAY_PERC_F", "0.52"},
                         {"STORAGE_TOTAL_SUM_F", "15.00"},
                         {"DEPOSIT_PAYMENT_SUM_F", "1170.00"},
                         {"CONTRACT_CLOSE_PLAN", "01.03.2024"},
                         {"GIVE_OUT_SUM_F", "1000.00"}});
}

TEST_F(Groups, ContractWithAHalfPercentPenaltyAndNoBranch) {
    const int id = contract(100000, 1000, 30, 0, 50);
    udb::execSql(
        QStringLiteral("update PENALTY_CONTRACTS set FILIAL_ID = null where CONTRACT_ID = %1").arg(id));
    ReportParamContract group;
    group.fill(id);
    expectValues(group, {{"PENALTY_PERC", "0.5"},
                         {"PENALTY_PERC_F", "0.50"},
                         {"PENALTY_SUM_F", "5.00"},
                         {"FILIAL_NUM", "-1"},
                         {"FILIAL_NAME", " "}});
    const int op = newOperation(id, {.date = day(15, 1, 2024), .sum = 10000});
    ReportParamOperation operation;
    operation.fill(op);
    expectValues(operation, {{"SUM_F", "100.00"}, {"BEGIN_USD_F", "1.00"}, {"END_USD_F", "1.00"}});
}

TEST_F(Groups, ContractWithAServiceAndNoStorage) {
    desktest::clearServices();
    const int id = contract(250000, 1200, 20, 0, 100);
    const int dir = desktest::newService(QStringLiteral("Оцінка"), 0, QStringLiteral("0"), true);
    udb::execSql(QStringLiteral("insert into ADD_SERVICES (ID, ID_SERVICE, ID_OBJ, NAME, PRICE, DATA) values "
                                "(gen_id(GEN_ADD_SERVICES_ID, 1), %1, %2, 'Оцінка', 5000, '2024-01-10')")
                     .arg(dir)
                     .arg(id));
    ReportParamContract group;
    group.fill(id);
    expectValues(group, {{"DEPOSIT_SUM_T", "две тысячи пятьсот грн 00 коп"},
                         {"DEPOSIT_PERC", "12"},
                         {"DEPOSIT_DAY_PERC", "0.6"},
                         {"DEPOSIT_DAY_PERC_SUM_F", "15.00"},
                         {"PENALTY_SUM_F", "25.00"},
                         {"DEPOSIT_PAYMENT_SUM_F", "2800.00"},
                         {"GIVE_OUT_SUM_F", "2450.00"},
                         {"STORAGE_TOTAL_SUM_F", "0.00"},
                         {"STORAGE_TOTAL_SUM_E", ""},
                         {"STORAGE_TOTAL_SUM_FE", ""},
                         {"CONTRACT_CLOSE_PLAN", "29.01.2024"}});
    desktest::clearServices();
}

TEST_F(Groups, TheTermsInterestSpreadsOverTheItems) {
    const int id = contract(99999, 1000, 30);
    for (const char* name : {"Каблучка", "Ланцюжок", "Сережки"}) item(id, QString::fromUtf8(name), 33333);
    ReportParamContract group;
    group.fill(id);
    data::Dataset* items = group.getDataSet(QStringLiteral("mSubjs"));
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(column(items, QStringLiteral("S_DEPOSIT_PERC_SUM_F")), "33.33 33.33 33.34");
    EXPECT_EQ(column(items, QStringLiteral("S_DEPOSIT_PAYMENT_SUM_F")), "366.66 366.66 366.67");
    expectValues(group, {{"DEPOSIT_SUBJS", "Каблучка; Ланцюжок; Сережки"}, {"ITEMS_COUNT", "3"}});
}

TEST_F(Groups, AZeroDayTermPrintsAZeroDailyRate) {
    const int id = contract(100000, 1500, 0, 50);
    ReportParamContract group;
    group.fill(id);
    expectValues(
        group,
        {{"DEPOSIT_DAY_PERC", "0"}, {"DEPOSIT_DAY_PERC_SUM_F", "0.00"}, {"STORAGE_TOTAL_SUM_F", "0.00"}});
}

TEST_F(Groups, AMissingContractEndsTheFillWithTheContractsMessage) {
    ReportParamContract contract;
    ReportParamAgent agent;
    ReportParamClient client;
    const std::function<void()> fills[] = {[&] { contract.fill(987654); }, [&] { agent.fill(987654); },
                                           [&] { client.fill(987654); }};
    for (const auto& fill : fills) {
        EXPECT_TRUE(tolvtest::errorText(fill).startsWith(
            QStringLiteral("Невозможно загрузить информацию о договоре. ID=987654")));
    }
}

TEST_F(Groups, ALoanIncreaseHasANegativeBaseAndAPositiveSum) {
    const int id = contract(100000, 1000, 30, 0, 100, day(10, 1, 2024));
    const int op = newOperation(id, {.date = day(15, 1, 2024), .sum = -20000});
    ReportParamOperation group;
    group.fill(op);
    expectValues(group, {{"BASE_SUM", "-200"}, {"SUM", "200"}, {"SUM_F", "200.00"}});
    group.fill(op + 100000);
    EXPECT_FALSE(group.hasValues());
}

TEST_F(Groups, WarrantPrintsTheOrderSums) {
    const int id = contract(100000, 1000, 30);
    const int order = cashtest::newOrder({.sum = 123456, .contractId = id});
    udb::execSql(QStringLiteral("update WARRANTES set CREDIT_SUM = 100000 where ID = %1").arg(order));
    ReportParamWarrant group;
    group.fill(order, -1, -1, QStringLiteral("0"));
    expectValues(group, {{"SUM_F", "1234.56"},
                         {"SUM_T", "одна тысяча двести тридцать четыре грн 56 коп"},
                         {"CREDIT_SUM_F", "1000.00"},
                         {"PERC_SUM_E", ""}});
    group.fill(order + 100000, -1, -1, QStringLiteral("0"));
    EXPECT_FALSE(group.hasValues());
}

// Terms the debt engine turns into round debts: 15 % over 20 days (150.00 of interest on 1000.00),
// storage of a fixed fee a day that stops with the term, and 1 % of penalty a day after it.
struct ForSaleCase {
    const char* name;
    int storagePerDay;       // hundredths
    int saleDay;             // days after the contract date
    int asked;               // hundredths
    const char* offSetting;  // a "DEFAULTS" setting turned off for the case
    Expected expected;
};

TEST_F(Groups, ForSaleSpreadsThePriceOverTheDebts) {
    const ForSaleCase cases[] = {
        {"price above the debts but below with the penalty",
         100,
         59,
         150050,
         nullptr,
         {{"SUM_F", "1500.50"},
          {"DEBTS_BASE_F", "1000.00"},
          {"DEBTS_STORAGE_F", "20.00"},
          {"DEBTS_PERC_F", "150.00"},
          {"DEBTS_PENALTY_F", "400.00"},
          {"REPAY_BASE_F", "1000.00"},
          {"REPAY_STORAGE_F", "20.00"},
          {"REPAY_PERC_F", "150.00"},
          {"REPAY_PENALTY_F", "330.50"},
          {"TOTAL_DEBT_F", "1570.00"},
          {"TOTAL_REPAY_F", "1500.50"},
          {"PROFIT_F", "-69.50"},
          {"DATE", "09.03.2024"},
          {"INFO", "на вітрину"}}},
        {"price above every debt",
         50,
         21,
         120000,
         nullptr,
         {{"DEBTS_STORAGE_F", "10.00"},
          {"DEBTS_PENALTY_F", "20.00"},
          {"REPAY_PENALTY_F", "20.00"},
          {"TOTAL_REPAY_F", "1180.00"},
          {"PROFIT_F", "20.00"}}},
        {"price below the base",
         100,
         59,
         80000,
         nullptr,
         {{"REPAY_BASE", "800"},
          {"REPAY_BASE_F", "800.00"},
          {"REPAY_STORAGE_F", "0.00"},
          {"REPAY_PERC_F", "0.00"},
          {"REPAY_PENALTY_F", "0.00"},
          {"REPAY_PENALTY_E", ""},
          {"TOTAL_REPAY_F", "800.00"},
          {"PROFIT_F", "-770.00"}}},
        {"profit without the penalty",
         100,
         59,
         150050,
         "isCalcSaleSumWithPenalty",
         {{"REPAY_PENALTY_F", "330.50"}, {"PROFIT_F", "330.50"}}},
        {"profit without the interest",
         100,
         59,
         150050,
         "isCalcSaleSumWithPerc",
         {{"REPAY_PERC_F", "150.00"}, {"PROFIT_F", "80.50"}}},
    };
    ReportParamForSale group;
    for (const ForSaleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int id = contract(100000, 1500, 20, 0, 100, day(10, 1, 2024));
        udb::execSql(QStringLiteral("update PENALTY_DEPOSITS set STORAGE_TYPE = 1, STORAGE_VAL = %1 where "
                                    "CONTRACT_ID = %2")
                         .arg(c.storagePerDay)
                         .arg(id));
        udb::execSql(QStringLiteral("insert into TOSALE (AGENT_ID, CONTRACT_ID, TOSALE_SUM, TOSALE_INFO, "
                                    "TOSALE_DATE) values (1, %1, %2, 'на вітрину', %3)")
                         .arg(id)
                         .arg(c.asked)
                         .arg(lit(day(10, 1, 2024).addDays(c.saleDay))));
        if (c.offSetting) udb::dbIniWrite(QStringLiteral("DEFAULTS"), QLatin1String(c.offSetting), false);
        group.fill(id);
        if (c.offSetting) udb::dbIniWrite(QStringLiteral("DEFAULTS"), QLatin1String(c.offSetting), true);
        expectValues(group, c.expected);
    }
}

TEST_F(Groups, WarrantChoosesTheOrderByItsArgumentForm) {
    const int id = contract(100000, 1000, 30);
    const int op = newOperation(id, {.date = day(20, 1, 2024), .sum = 30000});
    const auto templateOf = [](const char* code) {
        return scalar(QStringLiteral("select ID as V from DIR_WARRANTES where CODE = '%1'")
                          .arg(QLatin1String(code)))
            .toInt();
    };
    const int expense = templateOf("EXPENSE_DEPOSIT");
    const int receipt = templateOf("RECEIPT_DEPOSIT");
    const int listed = cashtest::newOrder({.sum = 111, .contractId = id});
    cashtest::newOrder({.templateId = expense, .sum = 222, .contractId = id});
    cashtest::newOrder({.templateId = expense, .sum = 333, .contractId = id, .operationId = op});
    cashtest::newOrder({.templateId = receipt, .sum = 444, .contractId = id, .operationId = op});
    const struct {
        int warrantId, contractId, operationId;
        const char* code;
        const char* sum;  // empty: no order
    } cases[] = {
        {listed, -1, -1, "0", "1.11"},
        {0, id, -1, "EXPENSE_DEPOSIT", "2.22"},  // the contract's own order, not the operation's
        {0, -1, op, "EXPENSE_DEPOSIT", "3.33"},
        {listed, 0, op, "RECEIPT_DEPOSIT", "4.44"},
        {listed, 0, op, "0", "1.11"},
        {listed, id, 0, "EXPENSE_DEPOSIT", "1.11"},
        {0, id, -1, "RECEIPT_DEPOSIT", ""},
    };
    ReportParamWarrant group;
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3 %4")
                         .arg(c.warrantId)
                         .arg(c.contractId)
                         .arg(c.operationId)
                         .arg(QLatin1String(c.code))
                         .toStdString());
        group.fill(c.warrantId, c.contractId, c.operationId, QLatin1String(c.code));
        EXPECT_EQ(group.getValue(QStringLiteral("WARRANT@SUM_F")), QLatin1String(c.sum));
        EXPECT_EQ(group.hasValues(), *c.sum != 0);
    }
}

TEST_F(Groups, SaleWithoutARowStaysEmpty) {
    const int id = contract(100000, 1000, 30);
    ReportParamSale sale;
    sale.fill(id);
    EXPECT_FALSE(sale.hasValues());
    ReportParamForSale forSale;
    forSale.fill(id);
    EXPECT_FALSE(forSale.hasValues());
}

}  // namespace
