#include <gtest/gtest.h>

#include <QRegularExpression>
#include <tuple>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "PenaltySales.h"
#include "kv_FbDbIni.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "tests/support/ErrorText.h"

using core::DateTime;
using core::Variant;
using namespace contracttest;
using namespace TolvLogic;
using Sale = TolvLogic::TSaleInfo;
using ToSale = TolvLogic::TToSaleInfo;

namespace {

using tolvtest::errorText;

// The debts of the sale examples: principal 800.00, storage 50.00, interest 100.00, penalty 100.00.
const DebtSums kDebts{.base = 80000, .perc = 10000, .penalty = 10000, .storage = 5000, .debtDays = 12};

const QString kDefaults = QStringLiteral("DEFAULTS");
const QString kWithPerc = QStringLiteral("isCalcSaleSumWithPerc");
const QString kWithPenalty = QStringLiteral("isCalcSaleSumWithPenalty");

// Both sale-sum settings back on at the end of a test, however it ends.
struct SaleSumSettings {
    ~SaleSumSettings() {
        udb::dbIniWrite(kDefaults, kWithPerc, true);
        udb::dbIniWrite(kDefaults, kWithPenalty, true);
    }
};

int newAgent(const QString& name) {
    const int id = udb::genId(QStringLiteral("GEN_AGENTS_ID"));
    udb::execSql(QStringLiteral("insert into AGENTS (AGENT_ID, AGENT_NAME, AGENT_LOGIN, GROUP_ID) values "
                                "(%1, %2, %3, 0)")
                     .arg(id)
                     .arg(lit(name), lit(QStringLiteral("SALES%1").arg(id))));
    return id;
}

// A sold contract: state 2, closed on the day.
int newSoldContract(DateTime close, const QString& number = QStringLiteral("3.09.17")) {
    const int id = newContract({.state = csSALED, .number = number});
    udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_CLOSE = %1 where CONTRACT_ID = %2")
                     .arg(lit(close))
                     .arg(id));
    return id;
}

void newSaleRow(int contractId, int saleSum, int agentId, const QString& info = QString()) {
    udb::execSql(QStringLiteral("insert into SALES (CONTRACT_ID, AGENT_ID, SALE_SUM, SALE_INFO) values "
                                "(%1, %2, %3, %4)")
                     .arg(contractId)
                     .arg(agentId)
                     .arg(saleSum)
                     .arg(lit(info.isNull() ? Variant::null() : Variant(info))));
}

int salesCount(const QString& where, fb::Transaction* transaction = nullptr) {
    return scalar(QStringLiteral("select count(*) as V from SALES where ") + where, transaction).toInt();
}

// The message raised up to its place trailer, and whether the trailer is this unit's with a line.
std::pair<QString, bool> splitPlace(const QString& message, const QString& trailerStart) {
    const qsizetype at = message.indexOf(trailerStart);
    if (at < 0) return {message, false};
    static const QRegularExpression place(QStringLiteral("^src/contracts/PenaltySales\\.cpp:\\d+$"));
    return {message.left(at), place.match(message.mid(at + trailerStart.size())).hasMatch()};
}

// ---- fill ------------------------------------------------------------------------------------------

TEST(SaleFillTest, SpreadsTheSaleSumOverTheDebtsInItsOrder) {
    struct Case {
        int sum;
        bool moneyBack;
        int base, storage, perc, penalty, back;
    };
    const Case cases[] = {
        {100000, false, 80000, 5000, 10000, 5000, 0},
        {100000, true, 80000, 5000, 10000, 5000, -5000},
        {50000, false, 50000, 0, 0, 0, 0},
        {50000, true, 50000, 0, 0, 0, -55000},
        {120000, true, 80000, 5000, 10000, 10000, 15000},
        {120000, false, 80000, 5000, 10000, 10000, 0},
        {0, false, 0, 0, 0, 0, 0},
        {0, true, 0, 0, 0, 0, -105000},
        {85000, false, 80000, 5000, 0, 0, 0},
        {82000, false, 80000, 2000, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Sale sale(nullptr);
        sale.fill(c.sum, kDebts, c.moneyBack);
        const std::vector<int> got = {
            sale.getValue(Sale::sSALE_SUM).toInt(),     sale.getValue(Sale::sSALE_BASE).toInt(),
            sale.getValue(Sale::sSALE_STORAGE).toInt(), sale.getValue(Sale::sSALE_PERC).toInt(),
            sale.getValue(Sale::sSALE_PENALTY).toInt(), sale.getValue(Sale::sBASE_SUM).toInt(),
            sale.getValue(Sale::sSTORAGE_SUM).toInt(),  sale.getValue(Sale::sPERC_SUM).toInt(),
            sale.getValue(Sale::sPENALTY_SUM).toInt(),  sale.getValue(Sale::sMONEY_BACK_SUM).toInt()};
        EXPECT_EQ(got, std::vector<int>(
                           {c.sum, 80000, 5000, 10000, 10000, c.base, c.storage, c.perc, c.penalty, c.back}))
            << c.sum << (c.moneyBack ? " with money back" : "");
        // The caller's columns stay the caller's.
        EXPECT_FALSE(sale.fieldExists(QStringLiteral("CONTRACT_ID")));
        EXPECT_FALSE(sale.fieldExists(QStringLiteral("AGENT_ID")));
        EXPECT_FALSE(sale.fieldExists(QStringLiteral("IS_CREATE_WARRANT")));
    }
}

// ---- records ---------------------------------------------------------------------------------------

using SalesTest = ContractSuite;

TEST_F(SalesTest, SaleRecordColumnsByPosition) {
    const int contract = newSoldContract(day(8, 4));
    const int agent = newAgent(QStringLiteral("Дем'яненко Олена"));
    const std::vector<Variant> values = {
        agent, contract, 123456, 80000, 5000, 10000,
        10000, 80000,    5000,   10000, 5000, QStringLiteral("Продано комп'ютер, п'ятниця"),
        -5000, 1};
    Sale sale(nullptr);
    for (int i = 0; i < 14; ++i) sale.setValue(i, values[i]);
    TSales sales(TolvMain::getZarvelDb(), nullptr);
    EXPECT_TRUE(sales.insertRecord(sale));

    const Sale stored(contract, nullptr);
    for (int i = 0; i < 14; ++i) {
        const QString column = QString::fromLatin1(salesFields[i]);
        EXPECT_EQ(stored.getValue(i).toText(), values[i].toText()) << column.toStdString();
        EXPECT_EQ(
            scalar(
                QStringLiteral("select %1 as V from SALES where CONTRACT_ID = %2").arg(column).arg(contract))
                .toText(),
            values[i].toText())
            << column.toStdString();
    }

    const Sale none(newSoldContract(day(8, 4)), nullptr);
    EXPECT_TRUE(errorText([&] {
                    none.getValue(Sale::sSALE_SUM);
                }).startsWith(QStringLiteral("field 'SALE_SUM' not exist")));
}

TEST_F(SalesTest, ToSaleRecordIsKeyedMinusOneUntilItsContractIsSet) {
    ToSale toSale(nullptr);
    EXPECT_EQ(toSale.getValue(ToSale::tCONTRACT_ID).toInt(), -1);
    EXPECT_EQ(toSale.key().whereClause(), QStringLiteral(" where CONTRACT_ID='-1'"));
    // Nothing is put on sale under the placeholder key.
    EXPECT_EQ(toSale.Select(), 0);

    const int contract = newContract({.state = csONSALE});
    const std::vector<Variant> values = {1, contract, 90000, QStringLiteral("Вітрина п'ять"), day(20, 4), 2};
    for (int i = 0; i < 6; ++i) toSale.setValue(i, values[i]);
    EXPECT_EQ(toSale.key().whereClause(), QStringLiteral(" where CONTRACT_ID='%1'").arg(contract));
    toSale.Insert();

    ToSale read(nullptr);
    read.setValue(ToSale::tCONTRACT_ID, contract);
    ASSERT_EQ(read.Select(), 1);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(read.getValue(i).toText(), values[i].toText()) << toSaleFields[i];
        EXPECT_EQ(scalar(QStringLiteral("select %1 as V from TOSALE where CONTRACT_ID = %2")
                             .arg(QString::fromLatin1(toSaleFields[i]))
                             .arg(contract))
                      .toText(),
                  values[i].toText())
            << toSaleFields[i];
    }
}

// ---- the list's stored changes -------------------------------------------------------------------

TEST_F(SalesTest, ListInsertsUpdatesAndDeletesASale) {
    TSales sales(TolvMain::getZarvelDb(), nullptr);
    const int contract = newSoldContract(day(8, 4));
    const QString mine = QStringLiteral("CONTRACT_ID = %1").arg(contract);

    Sale sale(nullptr);
    sale.setValue(Sale::sCONTRACT_ID, contract);
    sale.fill(100000, kDebts, true);
    sale.setValue(Sale::sSALE_INFO, QStringLiteral("Дем'яненко"));
    sales.insertRecord(sale);
    // Committed: a transaction of its own sees it.
    EXPECT_EQ(scalar(QStringLiteral("select MONEY_BACK_SUM as V from SALES where ") + mine).toInt(), -5000);

    sale.fill(120000, kDebts, true);
    sales.updateRecord(sale);
    EXPECT_EQ(scalar(QStringLiteral("select MONEY_BACK_SUM as V from SALES where ") + mine).toInt(), 15000);
    EXPECT_EQ(scalar(QStringLiteral("select SALE_INFO as V from SALES where ") + mine).toText(),
              QStringLiteral("Дем'яненко"));

    // An update that finds no row is no error of the list.
    Sale other(nullptr);
    other.setValue(Sale::sCONTRACT_ID, newSoldContract(day(8, 4)));
    other.setValue(Sale::sSALE_SUM, 1);
    EXPECT_EQ(errorText([&] { sales.updateRecord(other); }), QStringLiteral("<no error>"));

    Sale gone(nullptr);
    gone.setValue(Sale::sCONTRACT_ID, contract);
    sales.deleteRecord(gone);
    EXPECT_EQ(salesCount(mine), 0);
}

TEST_F(SalesTest, InTheRecordsTransactionNothingIsCommitted) {
    TSales sales(TolvMain::getZarvelDb(), nullptr);
    const int contract = newSoldContract(day(8, 4));
    const QString mine = QStringLiteral("CONTRACT_ID = %1").arg(contract);
    Sale sale(change());
    sale.setValue(Sale::sCONTRACT_ID, contract);
    sale.fill(50000, kDebts, false);
    sales.insertRecord(sale);
    EXPECT_TRUE(change()->inTransaction());
    EXPECT_EQ(salesCount(mine, change()), 1);
    EXPECT_EQ(salesCount(mine), 0);
    sale.setValue(Sale::sSALE_SUM, 70000);
    sales.updateRecord(sale);
    EXPECT_EQ(scalar(QStringLiteral("select SALE_SUM as V from SALES where ") + mine, change()).toInt(),
              70000);
    change()->rollback();
    EXPECT_EQ(salesCount(mine), 0);
}

TEST_F(SalesTest, ARecordWithoutItsContractNeverRewritesTheTable) {
    TSales sales(TolvMain::getZarvelDb(), nullptr);
    const int first = newSoldContract(day(8, 4));
    const int second = newSoldContract(day(8, 4));
    newSaleRow(first, 1000, 1);
    newSaleRow(second, 2000, 1);
    const int all = salesCount(QStringLiteral("1 = 1"));
    const QString both = QStringLiteral("CONTRACT_ID in (%1, %2)").arg(first).arg(second);

    for (const Variant& key : {Variant(), Variant::null()}) {
        Sale keyless(nullptr);
        if (!key.isUnassigned()) keyless.setValue(Sale::sCONTRACT_ID, key);
        keyless.setValue(Sale::sSALE_SUM, 0);
        EXPECT_TRUE(
            errorText([&] { sales.updateRecord(keyless); }).startsWith(QStringLiteral("Запись без ключа")));
        sales.deleteRecord(keyless);
        EXPECT_EQ(salesCount(QStringLiteral("1 = 1")), all);
        EXPECT_EQ(scalar(QStringLiteral("select sum(SALE_SUM) as V from SALES where ") + both).toInt(), 3000);
    }
}

// ---- the debt and the profit of a sale ---------------------------------------------------------------

TEST_F(SalesTest, SaleDebtIsTheDebtOnTheClosingDay) {
    // Contract of 5.03.2009: 1500.00 at 15% a term of 30 days, penalty 1% a day; 34 days to the sale.
    const int contract = newSoldContract(day(8, 4));
    newSaleRow(contract, 200000, 1);
    const DebtSums debt = getSaleDebt(contract, false);
    EXPECT_EQ(std::make_tuple(debt.base, debt.perc, debt.penalty, debt.storage),
              std::make_tuple(150000, 22500, 7500, 0));

    // Through the cache the figure stays until a change clears it; without, it is computed again.
    newOperation(contract, {.date = day(20, 3), .perc = 10000});
    EXPECT_EQ(getSaleDebt(contract, true), debt);
    EXPECT_NE(getSaleDebt(contract, false), debt);
    PercCalc::scClearCache(contract);
}

TEST_F(SalesTest, ProfitIsWhatTheProceedsLeaveAboveTheSaleSumOfTheDebt) {
    SaleSumSettings restore;
    const int contract = newSoldContract(day(8, 4));
    const DebtSums debt = [&] {
        newSaleRow(contract, 0, 1);
        return getSaleDebt(contract, false);
    }();
    ASSERT_GT(debt.perc, 0);
    ASSERT_GT(debt.penalty, 0);
    udb::execSql(QStringLiteral("update SALES set SALE_SUM = %1 where CONTRACT_ID = %2")
                     .arg(debt.getTotal())
                     .arg(contract));
    EXPECT_EQ(TSales::getSaleSumById(contract), debt.getTotal());

    struct Case {
        bool withPerc;
        bool withPenalty;
        int profit;
    };
    const Case cases[] = {{true, true, 0},
                          {true, false, debt.penalty},
                          {false, true, debt.perc},
                          {false, false, debt.perc + debt.penalty}};
    for (const Case& c : cases) {
        udb::dbIniWrite(kDefaults, kWithPerc, c.withPerc);
        udb::dbIniWrite(kDefaults, kWithPenalty, c.withPenalty);
        EXPECT_EQ(TSales::GetProfit(contract), c.profit) << c.withPerc << c.withPenalty;
    }

    // Proceeds short of the debt are a loss.
    udb::execSql(QStringLiteral("update SALES set SALE_SUM = 100000 where CONTRACT_ID = %1").arg(contract));
    EXPECT_EQ(TSales::GetProfit(contract), 100000 - debt.getSaleSum());
}

TEST_F(SalesTest, AContractWithoutASaleRaisesTheDbError) {
    const int unsold = newContract({.state = csSALED});
    struct Case {
        const char* name;
        std::function<void()> call;
        QString text;
        QString trailer;
    };
    const QString shortText = QStringLiteral("Не удалось прочитать информацию из базы");
    const std::vector<Case> cases = {
        {"GetProfit", [&] { TSales::GetProfit(unsold); }, shortText,
         QStringLiteral(" \n\nInfo:  fn: TSales::GetProfit, ")},
        {"getSaleSumById", [&] { TSales::getSaleSumById(unsold); }, shortText,
         QStringLiteral(" \n\nInfo:  fn: TSales::getSaleSumById, ")},
        {"getSaleDebt", [&] { getSaleDebt(unsold, true); },
         QStringLiteral("Не удалось прочитать информацию из базы данных"), QStringLiteral(" \n\nInfo: ")},
        {"getSaleDebt of no contract", [&] { getSaleDebt(-4711, false); },
         QStringLiteral("Не удалось прочитать информацию из базы данных"), QStringLiteral(" \n\nInfo: ")},
    };
    for (const Case& c : cases) {
        const QString message = errorText(c.call);
        EXPECT_EQ(splitPlace(message, c.trailer), std::make_pair(c.text, true))
            << c.name << ": " << message.toStdString();
    }
}

// ---- the list ------------------------------------------------------------------------------------

TEST_F(SalesTest, ListShowsTheSaleWithItsProfitAndTheAgentWhoSold) {
    const int seller = newAgent(QStringLiteral("Дем'яненко Олена"));
    const int local = newSoldContract(day(8, 4), QStringLiteral("17/04"));
    newSaleRow(local, 250075, seller, QStringLiteral("Каблучка, п'ять грамів"));
    const int imported = newSoldContract(day(8, 4), QStringLiteral("2.11.05"));
    newSaleRow(imported, 100000, seller);
    udb::execSql(QStringLiteral("insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME, AGENT_NAME) values "
                                "(%1, 'Клієнт філії', %2)")
                     .arg(imported)
                     .arg(lit(QStringLiteral("О'Коннор (філія 2)"))));

    TSales sales(TolvMain::getZarvelDb(), nullptr);
    EXPECT_EQ(sales.getContracts(), nullptr);
    data::Dataset& ds = *sales.getDataSet();
    sales.setContractId(local);
    ASSERT_TRUE(sales.open());
    EXPECT_EQ(ds.fieldNames(), QStringList({"CONTRACT_ID", "CONTRACT_NUM", "CONTRACT_CLOSE", "SALE_SUM",
                                            "PROFIT", "MONEY_BACK_SUM", "BASE_SUM", "STORAGE_SUM", "PERC_SUM",
                                            "PENALTY_SUM", "AGENT_NAME", "SALE_INFO"}));
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("CONTRACT_ID")).asInteger(), local);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("CONTRACT_NUM")).asString(), QStringLiteral("17/04"));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("CONTRACT_CLOSE")).asDateTime(), day(8, 4));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("SALE_SUM")).displayText(), QStringLiteral("2500.75"));
    const int profit = 250075 - getSaleDebt(local, false).getSaleSum();
    EXPECT_EQ(ds.fieldByName(QStringLiteral("PROFIT")).asInteger(), profit);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("PROFIT")).displayText(), QStringLiteral("700.75"));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("AGENT_NAME")).asString(), QStringLiteral("Дем'яненко Олена"));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("SALE_INFO")).asString(),
              QStringLiteral("Каблучка, п'ять грамів"));

    sales.setContractId(imported);
    ASSERT_TRUE(sales.open());
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("AGENT_NAME")).asString(), QStringLiteral("О'Коннор (філія 2)"));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("PROFIT")).asInteger(),
              100000 - getSaleDebt(imported, false).getSaleSum());

    sales.setContractId(newSoldContract(day(8, 4)));
    ASSERT_TRUE(sales.open());
    EXPECT_TRUE(ds.isEmpty());
}

TEST_F(SalesTest, ARowWhoseSaleIsGoneIsLeftUncalculated) {
    const int contract = newSoldContract(day(8, 4));
    newSaleRow(contract, 250000, newAgent(QStringLiteral("Коваль")));
    TSales sales(TolvMain::getZarvelDb(), nullptr);
    sales.setContractId(contract);
    ASSERT_TRUE(sales.open());
    // The row was read; its calculated fields are worked out when first asked for.
    udb::execSql(QStringLiteral("delete from SALES where CONTRACT_ID = %1").arg(contract));
    data::Dataset& ds = *sales.getDataSet();
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("PROFIT")).isNull());
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("AGENT_NAME")).isNull());
    EXPECT_EQ(ds.fieldByName(QStringLiteral("SALE_SUM")).asInteger(), 250000);
}

TEST_F(SalesTest, ColumnsOfTheSalesGrid) {
    using T = std::tuple<QString, int, QString, bool>;
    const auto columnsOf = [](const TSales& sales) {
        std::vector<T> columns;
        for (const grid::Column& c : sales.columnsEh()) {
            columns.emplace_back(c.fieldName, c.width, c.title, c.titleButton);
        }
        return columns;
    };
    const TSales sales(TolvMain::getZarvelDb(), nullptr);
    EXPECT_EQ(
        columnsOf(sales),
        std::vector<T>(
            {T{"CONTRACT_NUM", 60, "Договор", false}, T{"CONTRACT_CLOSE", 70, "Реализация|Дата", false},
             T{"SALE_SUM", 70, QStringLiteral("Реализация|Cумма"), false},
             T{"PROFIT", 70, "Реализация|Доход", false}, T{"MONEY_BACK_SUM", 70, "Реализация|Возврат", false},
             T{"BASE_SUM", 70, "Погашено|Осн.сумма", false}, T{"STORAGE_SUM", 70, "Погашено|Хранение", false},
             T{"PERC_SUM", 70, "Погашено|Проценты", false}, T{"PENALTY_SUM", 70, "Погашено|Пеня", true},
             T{"AGENT_NAME", 80, "Агент", false}, T{"SALE_INFO", 240, "Примечание", false}}));
    // The stored Latin C.
    EXPECT_EQ(std::get<2>(columnsOf(sales)[2]).at(11), QChar(u'C'));
    EXPECT_TRUE(sales.columnsEh()[8].sortExpression.isEmpty());

    // Titles follow the interface language; the agent's is fixed.
    const QString key = QStringLiteral("PenaltyContracts.TSales.PROFIT");
    KVLibTranslator::instance().set(key, QStringLiteral("Реалізація|Дохід"));
    const TSales ukrainian(TolvMain::getZarvelDb(), nullptr);
    KVLibTranslator::instance().set(key, QStringLiteral("Реализация|Доход"));
    EXPECT_EQ(ukrainian.columnsEh()[3].title, QStringLiteral("Реалізація|Дохід"));
    EXPECT_EQ(ukrainian.columnsEh()[9].title, QStringLiteral("Агент"));
}

}  // namespace
