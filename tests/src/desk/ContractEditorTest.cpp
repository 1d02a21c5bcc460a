#include <gtest/gtest.h>

#include "Warrantcalculation.h"
#include "tests/src/desk/EditorRows.h"
#include "tests/support/ErrorText.h"
#include "u_filials.h"

using namespace desktest;
using namespace TolvLogic;
using Contract = TolvLogic::TPenaltyContractInfo;

namespace {

using tolvtest::errorText;

class ContractEditorTest : public EditorSuite {};

TEST_F(ContractEditorTest, WithoutAnOwnBranchTheEditorDoesNotOpen) {
    udb::execSql(QStringLiteral("update DIR_FILIAL set IS_IMPORT = 1 where ID = %1").arg(branch));
    const QString error = errorText([&] { editor(); });
    udb::execSql(QStringLiteral("update DIR_FILIAL set IS_IMPORT = 0 where ID = %1").arg(branch));
    EXPECT_EQ(error, QStringLiteral("Нет ни одного филиала, для которого разрешен ручной ввод договоров."));
}

TEST_F(ContractEditorTest, ThePerDayAndTheWholeTermRatesFollowEachOther) {
    auto e = editor();
    e->setNew(kStart, nullptr);
    e->setTermText(QStringLiteral("10"));
    e->setDayPerc(0.5);
    EXPECT_DOUBLE_EQ(e->perc(), 5.0);
    e->setPerc(6);
    EXPECT_DOUBLE_EQ(e->dayPerc(), 0.6);
    e->setDayPerc(-0.7);
    EXPECT_DOUBLE_EQ(e->dayPerc(), 0.7) << "a negative rate is taken positive";
    EXPECT_DOUBLE_EQ(e->perc(), 7.0);
    e->setTermText(QStringLiteral("0"));
    e->setDayPerc(0.5);
    EXPECT_DOUBLE_EQ(e->perc(), 0.0);
    e->setTermText(QString());
    e->setPerc(6);
    EXPECT_DOUBLE_EQ(e->dayPerc(), 0.0);
}

TEST_F(ContractEditorTest, RoundingTheLoanSumGoesToAWholeUnitHalvesToEven) {
    auto e = editor();
    e->setNew(kStart, nullptr);
    const std::pair<qint64, qint64> cases[] = {
        {100040, 100000}, {100050, 100000}, {100150, 100200}, {100060, 100100}, {100000, 100000}};
    for (const auto& [sum, rounded] : cases) {
        SCOPED_TRACE(sum);
        e->setDepositSum(sum);
        e->roundDepositSum();
        EXPECT_EQ(e->depositSum(), rounded);
    }
}

TEST_F(ContractEditorTest, TheItemsGiveTheSumsAndALoanAboveTheValuationIsRed) {
    auto e = editor();
    e->setNew(kStart, nullptr);
    addItem(*e, QStringLiteral("Ноутбук"), 60000, 50000);
    addItem(*e, QStringLiteral("Телефон"), 40000, 30000);
    EXPECT_EQ(e->subjPrice(), 100000);
    EXPECT_EQ(e->depositSum(), 80000);
    EXPECT_EQ(e->depositSumLook(), FieldLook::Normal);
    EXPECT_EQ(e->depositSumHint(), QStringLiteral("Сумма финансового кредита"));

    // The loan typed is spread over the items by their valuation.
    e->setDepositSum(120000);
    EXPECT_EQ(e->depositSumLook(), FieldLook::Red);
    EXPECT_EQ(e->depositSumHint(),
              QStringLiteral("Сумма финансового кредита (сумма кредита превышает оценочную стоимость)"));
    const SubjectsTotals totals = ContractSubjects::calcTotals(*e->contract()->getSubjects(), nullptr);
    EXPECT_DOUBLE_EQ(totals.depositSum, 1200.0);
    EXPECT_EQ(e->subjPrice(), 100000) << "the valuation stays";
}

TEST_F(ContractEditorTest, TheRateHintsShowTheMoneyTheRatesStandFor) {
    auto e = editor();
    e->setNew(kStart, nullptr);
    e->setTermText(QStringLiteral("10"));
    e->setDayPerc(0.5);
    e->setPenaltyPerc(1);
    e->setDepositSum(100000);
    EXPECT_EQ(e->dayPercHint(), QStringLiteral("Процентная ставка за сутки, %/сутки\n5.00 грн"));
    EXPECT_EQ(e->percHint(), QStringLiteral("Процентная ставка за весь договор, %\n50.00 грн"));
    EXPECT_EQ(e->penaltyPercHint(), QStringLiteral("Процентная ставка пени в день, %/день\n10.00 грн"));
    e->setPenaltyFromRetSum(true);
    EXPECT_EQ(e->penaltyPercHint(), QStringLiteral("Процентная ставка пени в день, %/день\n10.50 грн"));
}

TEST_F(ContractEditorTest, TheAmountToHandOutIsTheLoanLessTheServices) {
    newService(QStringLiteral("Оцінка"), astCONTRACT, QStringLiteral("25"), true, 91);
    auto e = editor();
    e->setNew(kStart, nullptr);
    e->setDepositSum(100000);
    EXPECT_EQ(shownServices(*e->services()), QStringLiteral("Оцінка:2500"));
    EXPECT_EQ(e->total(), 97500);
}

TEST_F(ContractEditorTest, ANewDateOrBranchRenumbersForTheWorkDate) {
    const int other = newBranch(7, QStringLiteral("Друга"), false);
    const DateTime work = DateTime::encode(2024, 5, 6);
    const QString own = config->getContracts()->buildOrderNum(branch, work);
    ASSERT_TRUE(
        own.startsWith(QString::number(FilialsDir::scGetFilialNumber(branch)) + QStringLiteral(".24.")));
    auto e = editor();
    e->setNew(work, nullptr);
    EXPECT_EQ(e->number(), own);
    EXPECT_EQ(e->caption(), QStringLiteral("Новый договор"));
    e->setDate(DateTime::encode(2025, 1, 2));
    EXPECT_EQ(e->number(), own) << "the number keeps the work date";
    e->setFilial(other);
    EXPECT_EQ(e->number(), config->getContracts()->buildOrderNum(other, work));
    EXPECT_TRUE(e->number().startsWith(QStringLiteral("7.24.")));
}

TEST_F(ContractEditorTest, APledgeOfPreciousMetalOffersItsOwnContractDocument) {
    auto e = editor();
    e->setNew(kStart, nullptr);
    EXPECT_TRUE(e->hasDocument(QStringLiteral("CNTR_OPEN")));
    EXPECT_EQ(e->subjGridSection(), QStringLiteral("PenaltyOrderEditForm_subjGrid_DEFAULT"));
    ASSERT_TRUE(e->setDepositType(TDepositTypes::scGetIdByCode(QStringLiteral("GOLD"))));
    EXPECT_TRUE(e->hasDocument(QStringLiteral("CNTR_OPEN_GOLD")));
    EXPECT_FALSE(e->hasDocument(QStringLiteral("CNTR_OPEN")));
    EXPECT_EQ(e->subjGridSection(), QStringLiteral("PenaltyOrderEditForm_subjGrid_GOLD"));
    EXPECT_EQ(e->depositTypeName(), QStringLiteral("Изделия из драгметаллов"));
}

TEST_F(ContractEditorTest, TheDetailedCashMethodBringsTheCashOrderEntries) {
    newService(QStringLiteral("Оцінка"), astCONTRACT, QStringLiteral("25"), true, 91);
    for (const int method : {1, 2}) {
        SCOPED_TRACE(method);
        WarrantCalculationManager::setCalculationMethod(method);
        auto e = editor();
        e->setNew(kStart, nullptr);
        e->setDepositSum(100000);
        const bool detailed = method == 2;
        EXPECT_EQ(e->hasDocument(QStringLiteral("CB_WEXPENSE")), detailed);
        EXPECT_EQ(e->hasDocument(QStringLiteral("CB_WRECEIPT"), QStringLiteral("доп.услуги")), detailed);
        e->setDepositSum(0);
        EXPECT_FALSE(e->hasDocument(QStringLiteral("CB_WEXPENSE")));
    }
}

TEST_F(ContractEditorTest, IndexationTakesTheDaysRateInBlackOrAnEarlierOneInBlue) {
    udb::execSql(QStringLiteral("insert into DIR_EXCHANGE (ID, ID_FILIAL, USD_EXCHANGE, DATA) values "
                                "(gen_id(GEN_DIR_EXCHANGE_ID, 1), %1, 395000, %2)")
                     .arg(branch)
                     .arg(lit(kStart)));
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("CalcExchange"), 1);
    auto e = editor();
    e->setNew(kStart, nullptr);
    EXPECT_TRUE(e->calcExchange());
    EXPECT_DOUBLE_EQ(e->dollarPrice(), 39.5);
    EXPECT_EQ(e->dollarLook(), FieldLook::Normal);
    EXPECT_EQ(e->exchangeLabel(), QStringLiteral("Курс $"));
    e->setDate(kStart.addDays(3));
    EXPECT_DOUBLE_EQ(e->dollarPrice(), 39.5);
    EXPECT_EQ(e->dollarLook(), FieldLook::Blue);
    e->setCalcExchange(false);
    EXPECT_EQ(e->exchangeLabel(), QStringLiteral("Курс $ (справочно)"));
    EXPECT_FALSE(e->calcExchangeIfIncrease());
}

TEST_F(ContractEditorTest, AContractWithOperationsOffersTheForcedChangeToAManagerOnly) {
    const int contract = newPaymentContract();
    newOperation(contract, {.date = kStart.addDays(5), .sum = 1000});
    {
        auto e = editor();
        e->loadContract(contract, kStart);
        EXPECT_EQ(e->caption(), QStringLiteral("Редактировать договор №5.24.1"));
        EXPECT_EQ(e->saveCaption(), QStringLiteral("Сохранить"));
        ContractAccess a = e->access();
        EXPECT_FALSE(a.edit);
        EXPECT_TRUE(a.forceOffered);
        boxes.answers = {ui::ModalResult::Yes};
        ASSERT_TRUE(e->confirmForcedEdit());
        a = e->access();
        EXPECT_TRUE(a.edit);
        EXPECT_FALSE(a.forceOffered);
        EXPECT_FALSE(a.calcExchange) << "indexation stays off for a contract with operations";
    }
    login(false);
    VuxSecur::reset();
    auto agent = editor();
    agent->loadContract(contract, kStart);
    EXPECT_FALSE(agent->access().edit);
    EXPECT_FALSE(agent->access().forceOffered);
}

TEST_F(ContractEditorTest, AnImportedContractIsShownFromItsImportRowAndCannotBeChanged) {
    const int imported = newBranch(9, QStringLiteral("Чужа"), true);
    const int contract =
        newContract({.clientId = client, .number = QStringLiteral("9.09.4"), .filialId = imported});
    udb::execSql(
        QStringLiteral("insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME, AGENT_NAME, DEPOSIT_PLACE) "
                       "values (%1, 'Шевченко Тарас', 'Агент Б', 'Склад Б')")
            .arg(contract));
    auto e = editor();
    e->loadContract(contract, kStart);
    EXPECT_EQ(e->caption(), QStringLiteral("Просмотр договора №9.09.4 [Импортирован]"));
    EXPECT_EQ(e->clientName(), QStringLiteral("Шевченко Тарас"));
    EXPECT_EQ(e->placeName(), QStringLiteral("Склад Б"));
    EXPECT_EQ(e->agentName(), QStringLiteral("Агент Б"));
    EXPECT_FALSE(e->access().edit);
    EXPECT_FALSE(e->access().forceOffered);
    const QString before = contractTables();
    EXPECT_FALSE(errorText([&] { e->save(); }).isEmpty());
    EXPECT_EQ(contractTables(), before);
}

}  // namespace
