#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ContractRows.h"
#include "HooksRecording.h"
#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/fb/Database.h"
#include "platform/fb/Statement.h"
#include "tests/support/ErrorText.h"
#include "tests/support/ProcessFormats.h"
#include "tests/support/TestDatabase.h"

using core::DateTime;
using core::Variant;
using namespace contracttest;
using namespace TolvLogic;

namespace {

using Ids = std::vector<int>;

Ids sorted(Ids ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The contract ids the list shows, in its order.
Ids rowsOf(TPenaltyContracts& list) {
    list.close();
    list.open();
    return udb::columnToVector(*list.getDataSet(), QStringLiteral("CONTRACT_ID"));
}

int newClientWithId(int id, const QString& name) {
    udb::execSql(QStringLiteral("insert into CLIENTS (CLIENT_ID, CLIENT_NAME) values (%1, %2)")
                     .arg(id)
                     .arg(lit(name)));
    return id;
}

void importNames(int contractId, const QString& client, const QString& agent) {
    udb::execSql(QStringLiteral("insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME, AGENT_NAME) values "
                                "(%1, %2, %3)")
                     .arg(contractId)
                     .arg(lit(client), lit(agent)));
}

int newAct(const QString& number, const Variant& parcel = Variant::null()) {
    const int id = udb::genId(QStringLiteral("GEN_ACT_ID"));
    udb::execSql(QStringLiteral("insert into ACT (ID, NUM, ID_PARCEL) values (%1, %2, %3)")
                     .arg(id)
                     .arg(lit(number), lit(parcel)));
    return id;
}

void listInAct(int actId, int contractId) {
    udb::execSql(QStringLiteral("insert into ACT_SUBJ (ID, ID_ACT, ID_CONTRACT) values (%1, %2, %3)")
                     .arg(udb::genId(QStringLiteral("GEN_ACT_SUBJ_ID")))
                     .arg(actId)
                     .arg(contractId));
}

// The lists read the interface language from the settings file.
class ContractListTest : public ContractSuite {
protected:
    OwnSettingsFile ini{"[LANG_MASTER]\r\ninterfeyce_lang=1\r\n"};
};

// ---- statement, fields, calculated columns ----------------------------------------------------------

TEST_F(ContractListTest, AContractWithoutPledgeTypeOrInTwoActsShowsOnce) {
    const int client = newClient(QStringLiteral("Безтипний Орест"));
    const int noType = newContract({.clientId = client, .depositType = std::nullopt});
    const int twoActs = newContract({.clientId = client, .depositType = 1});
    const int first = newAct(QStringLiteral("А-1"));
    listInAct(first, twoActs);
    listInAct(newAct(QStringLiteral("А-2")), twoActs);

    TPenaltyContracts list(nullptr, false);
    list.filterByClientId(client);
    EXPECT_EQ(sorted(rowsOf(list)), sorted({noType, twoActs}));

    TPenaltyInActs inActs;
    inActs.clearFilter();
    inActs.filterByClientId(client);
    EXPECT_EQ(rowsOf(inActs), Ids{twoActs});
    EXPECT_EQ(inActs.getDataSet()->fieldByName(QStringLiteral("NUM_ACT")).asString(), QStringLiteral("А-1"));
    EXPECT_EQ(TPenaltyInActs::scGetContractActId(twoActs), first);
    EXPECT_TRUE(TPenaltyInActs::scIsContractInAct(twoActs));
    EXPECT_EQ(TPenaltyInActs::scGetContractActId(noType), -1);
    EXPECT_FALSE(TPenaltyInActs::scIsContractInAct(noType));
}

TEST_F(ContractListTest, ParcelLookupIgnoresActsOutsideParcels) {
    const int contract = newContract({});
    listInAct(newAct(QStringLiteral("Б-1")), contract);
    EXPECT_EQ(TPenaltyInActs::scGetContractParcelId(contract), -1);
    const int parcel = udb::genId(QStringLiteral("GEN_PARCEL_ID"));
    udb::execSql(QStringLiteral("insert into PARCEL (ID, NUM_PARCEL) values (%1, 'П-1')").arg(parcel));
    listInAct(newAct(QStringLiteral("Б-2"), parcel), contract);
    EXPECT_EQ(TPenaltyInActs::scGetContractParcelId(contract), parcel);
}

TEST_F(ContractListTest, ImportedContractShowsTheImportNamesAndCurrentPrincipal) {
    const int client = newClient(QStringLiteral("Місцевий Клієнт"));
    const int local = newContract({.clientId = client, .date = day(1, 2), .depositSum = 150000});
    newOperation(local, {.date = day(10, 2), .sum = 50000});
    const int imported = newContract({.clientId = client, .date = day(2, 2)});
    importNames(imported, QStringLiteral("Імпортний Клієнт"), QStringLiteral("Імпортний Агент"));

    TPenaltyContracts list(nullptr, true);
    list.filterByClientId(client);
    EXPECT_EQ(rowsOf(list), (Ids{imported, local}));  // newest first
    data::Dataset& ds = *list.getDataSet();
    EXPECT_EQ(ds.fieldByName(QStringLiteral("IS_IMPORT")).asInteger(), 1);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("CLIENT_NAME")).asString(), QStringLiteral("Імпортний Клієнт"));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("AGENT_NAME")).asString(), QStringLiteral("Імпортний Агент"));
    ds.next();
    EXPECT_EQ(ds.fieldByName(QStringLiteral("IS_IMPORT")).asInteger(), 0);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("CLIENT_NAME")).asString(), QStringLiteral("Місцевий Клієнт"));
    const int principal = list.getDebt(local, list.listDate(), false).base;
    EXPECT_EQ(principal, 100000);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("DEPOSIT_SUM_DEBT")).asInteger(), principal);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("STATE_NAME")).asString(), QStringLiteral("Открыт"));
}

TEST_F(ContractListTest, WithoutTheDebtFlagThereIsNoDebtColumn) {
    TPenaltyContracts plain(nullptr, false);
    EXPECT_EQ(plain.getDataSet()->findField(QStringLiteral("DEPOSIT_SUM_DEBT")), nullptr);
    EXPECT_EQ(plain.columnsEh().front().title, QStringLiteral("Филиал №"));
    TPenaltyContracts withDebt(nullptr, true);
    EXPECT_NE(withDebt.getDataSet()->findField(QStringLiteral("DEPOSIT_SUM_DEBT")), nullptr);
    EXPECT_EQ(withDebt.columnsEh().front().title, QStringLiteral("Договор|Филиал"));
    EXPECT_EQ(withDebt.columnsEh().size(), 13u);
    EXPECT_EQ(plain.columnsEh().size(), 12u);
}

TEST_F(ContractListTest, PledgeTypeFilterAndPriceTitleClickWork) {
    const int client = newClient(QStringLiteral("Ціновий Клієнт"));
    const int cheap = newContract({.clientId = client, .subjectPrice = 100, .depositType = 1});
    const int dear = newContract({.clientId = client, .subjectPrice = 900, .depositType = 1});
    const int other = newContract({.clientId = client, .subjectPrice = 500, .depositType = 2});
    TPenaltyContracts list(nullptr, true);
    list.filterByClientId(client);
    list.sortBy(QStringLiteral("PRICE"), QStringLiteral("D.SUBJECT_PRICE"));
    EXPECT_EQ(rowsOf(list), (Ids{cheap, other, dear}));
    list.filterByDepositType(1);
    EXPECT_EQ(rowsOf(list), (Ids{cheap, dear}));
}

TEST_F(ContractListTest, KeysCompareForEquality) {
    const int base = 7012;  // 70120 and 701205 start with the same digits
    for (int id : {base, base * 10, base * 100 + 5}) newClientWithId(id, QStringLiteral("Ключ %1").arg(id));
    Ids contracts;
    for (int id : {base, base * 10, base * 100 + 5})
        contracts.push_back(newContract({.clientId = id, .id = id}));

    TPenaltyContracts byClient(nullptr, false);
    byClient.filterByClientId(base);
    EXPECT_EQ(rowsOf(byClient), Ids{base});
    TPenaltyContracts byId(nullptr, false);
    byId.filterById(base);
    EXPECT_EQ(rowsOf(byId), Ids{base});

    const int agent = udb::genId(QStringLiteral("GEN_AGENTS_ID"));
    udb::execSql(
        QStringLiteral("insert into AGENTS (AGENT_ID, AGENT_NAME, AGENT_LOGIN, GROUP_ID) values (%1, "
                       "'Агент Ключ', 'KEYAGENT', 0)")
            .arg(agent));
    udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set AGENT_ID = %1 where CONTRACT_ID = %2")
                     .arg(agent)
                     .arg(base));
    TPenaltyContracts byAgent(nullptr, false);
    byAgent.filterByAgentId(agent);
    EXPECT_EQ(rowsOf(byAgent), Ids{base});
    TPenaltyContracts byAgentName(nullptr, false);
    byAgentName.filterByAgentName(QStringLiteral("Агент Клю"));
    EXPECT_EQ(rowsOf(byAgentName), Ids{base});
}

// ---- texts ------------------------------------------------------------------------------------------

TEST_F(ContractListTest, NameAndNumberSearchesFindEveryLetterAndApostrophe) {
    struct Name {
        const char16_t* client;
        bool import;
    };
    const Name names[] = {{u"Іваненко Зиновій", false}, {u"ІВАНІВ Петро", false},
                          {u"Ґудзь Ярема", false},      {u"Їжак Семен", false},
                          {u"Євтушенко Ада", false},    {u"Дем'яненко Ігор", false},
                          {u"Дем'яненко Олег", true},   {u"Сидоренко Ів", true}};
    const int nobody = newClient(QStringLiteral("Без Імені"));
    std::map<QString, int> byName;
    for (const Name& n : names) {
        const QString name = QString::fromUtf16(n.client);
        if (n.import) {
            const int id = newContract({.clientId = nobody, .number = QStringLiteral("ІМ-") + name.left(3)});
            importNames(id, name, QStringLiteral("Агент"));
            byName[name] = id;
        } else {
            byName[name] =
                newContract({.clientId = newClient(name), .number = QStringLiteral("ТЕКСТ'") + name.left(2)});
        }
    }
    auto ids = [&](std::initializer_list<const char16_t*> list) {
        Ids out;
        for (const char16_t* n : list) out.push_back(byName.at(QString::fromUtf16(n)));
        return sorted(out);
    };
    struct Case {
        const char16_t* text;
        Ids expected;
    };
    const Case cases[] = {
        {u"ів", ids({u"Іваненко Зиновій", u"ІВАНІВ Петро", u"Сидоренко Ів"})},
        {u"ґуд", ids({u"Ґудзь Ярема"})},
        {u"їж", ids({u"Їжак Семен"})},
        {u"євт", ids({u"Євтушенко Ада"})},
        {u"дем'ян", ids({u"Дем'яненко Ігор", u"Дем'яненко Олег"})},
        {u"ніхто такий", {}},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        TPenaltyContracts list(nullptr, false);
        list.filterByClientName(text);
        Ids rows = sorted(rowsOf(list));
        // Only this test's contracts: other tests' clients may hold the same letters.
        std::erase_if(rows, [&](int id) {
            return std::none_of(byName.begin(), byName.end(), [id](const auto& e) { return e.second == id; });
        });
        EXPECT_EQ(rows, c.expected) << text.toStdString();

        // The two-step search gives exactly the rows of the plain condition over the join.
        const QString pattern = QStringLiteral("'%") + udb::quoteSql(text.toUpper()) + QStringLiteral("%'");
        TPenaltyContracts plain(nullptr, false);
        plain.addFilter(QStringLiteral("(upper(I.CLIENT_NAME) like ") + pattern +
                        QStringLiteral(" or upper(CL.CLIENT_NAME) like ") + pattern + u')');
        list.close();
        EXPECT_EQ(sorted(rowsOf(list)), sorted(rowsOf(plain))) << text.toStdString();
    }

    TPenaltyContracts byNumber(nullptr, false);
    byNumber.filterByNumber(QStringLiteral("текст'ґу"));
    EXPECT_EQ(rowsOf(byNumber), ids({u"Ґудзь Ярема"}));
}

TEST_F(ContractListTest, ManyMatchingClientsKeepThePlainConditionWithTheSameRows) {
    // More clients than one key list takes; the block's variables are no parameters.
    {
        auto transaction = udb::createTransaction(TolvMain::getZarvelDb());
        transaction->start();
        fb::Statement block(transaction.get());
        block.setParamCheck(false);
        block.setSql(QStringLiteral(
            "execute block as declare i integer = 0; declare c integer; begin while (i < 1510) do begin "
            "c = gen_id(GEN_CLIENTS_ID, 1); insert into CLIENTS (CLIENT_ID, CLIENT_NAME) values (:c, "
            "'Многочисельний ' || :i); i = i + 1; end end"));
        block.execute();
        transaction->commit();
    }
    const int client = newClient(QStringLiteral("Многочисельний Останній"));
    const int contract = newContract({.clientId = client});
    TPenaltyContracts list(nullptr, false);
    list.filterByClientName(QStringLiteral("многочисельн"));
    EXPECT_TRUE(list.getFilterText().contains(QStringLiteral("upper(CL.CLIENT_NAME) like")));
    EXPECT_EQ(rowsOf(list), Ids{contract});
}

TEST_F(ContractListTest, FilterTextsWriteIsoDatesAndQualifyTheKey) {
    const int contract = newContract({.date = day(6, 3, 2011), .number = QStringLiteral("ДАТА-1")});
    tolvtest::ScopedDateFormat format(QStringLiteral("dd/mm/yyyy"), u'/');
    TPenaltyContracts list(nullptr, false);
    list.filterByDate(day(5, 3));
    list.filterForExport(3, day(1, 3), day(31, 3));
    list.addFilter(QStringLiteral("exists (select 1 from T where T.X = CONTRACT_ID)"));
    const QString text = list.getFilterText();
    EXPECT_TRUE(text.contains(QStringLiteral("C.CONTRACT_DATE = '2009-03-05'"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("between '2009-03-01' and '2009-03-31'"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("T.X = C.CONTRACT_ID"))) << text.toStdString();
    EXPECT_TRUE(TPenaltyDebitors::overdueCondition(day(31, 3)).contains(QStringLiteral("< '2009-03-31'")));

    TPenaltyContracts byDate(nullptr, false);
    byDate.filterByDate(day(6, 3, 2011));
    byDate.filterByNumber(QStringLiteral("дата-"));
    EXPECT_EQ(rowsOf(byDate), Ids{contract});
}

TEST_F(ContractListTest, LookupsByContract) {
    const int contract = newContract({.date = day(3, 3), .number = QStringLiteral("НОМ-77")});
    EXPECT_EQ(TPenaltyContracts::NumberById(contract), QStringLiteral("НОМ-77"));
    EXPECT_TRUE(tolvtest::errorText([] {
                    TPenaltyContracts::NumberById(-5);
                }).contains(QStringLiteral("fn: Contracts::NumberById(const int id), ")));

    TPenaltyContracts list(nullptr, false);
    EXPECT_EQ(list.getLastPayDate(contract).toDateTime(), day(3, 3));
    newOperation(contract, {.date = day(10, 3), .sum = 100});
    newOperation(contract, {.date = day(20, 3), .sum = -100});  // an increase is no repayment
    EXPECT_EQ(list.getLastPayDate(contract).toDateTime(), day(10, 3));
    ufb::TDBRecord record;
    EXPECT_TRUE(tolvtest::errorText([&] {
                    list.selectRecord(1, record);
                }).startsWith(QStringLiteral("Функцию нужно переделать")));
    EXPECT_TRUE(
        tolvtest::errorText([&] { list.getSaleDebt(contract, false); }).contains(QStringLiteral("Info")));
}

// ---- debtors ----------------------------------------------------------------------------------------

TEST_F(ContractListTest, DebtorsByTermAndByTheLastPaymentThatClearedTheInterest) {
    const int client = newClient(QStringLiteral("Боржник Тарас"));
    const int contract = newContract({.clientId = client, .date = day(1, 3)});
    TPenaltyDebitors debtors;
    auto overdue = [&](DateTime date) {
        debtors.setDebtDate(date);
        debtors.clearFilter();
        debtors.filterByClientId(client);
        debtors.getDataSet()->setFiltered(false);
        const bool listed = rowsOf(debtors) == Ids{contract};
        debtors.getDataSet()->setFiltered(true);
        return listed;
    };
    auto shown = [&](DateTime date) {
        debtors.setDebtDate(date);
        debtors.clearFilter();
        debtors.filterByClientId(client);
        return rowsOf(debtors) == Ids{contract};
    };
    EXPECT_FALSE(overdue(day(30, 3)));
    EXPECT_TRUE(overdue(day(31, 3)));

    // Paid on 25 March everything owed: a new term from that day.
    udb::execSql(
        QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_DATE, "
                       "NON_CALC_DAYS) values (%1, %2, 0, %3, '2009-03-25', 0)")
            .arg(udb::genId(QStringLiteral("GEN_OPERATIONS_ID")))
            .arg(contract)
            .arg(debtors.getDebt(contract, day(25, 3), false).perc));
    PercCalc::scClearCache(contract);
    EXPECT_EQ(debtors.getDebt(contract, day(25, 3), false).perc, 0);  // the checkpoint says so too
    EXPECT_EQ(scalar(QStringLiteral("select OP_REST_PERC as V from PENALTY_OPERATIONS where DEPOSIT_ID = %1")
                         .arg(contract))
                  .toInt(),
              0);
    EXPECT_FALSE(overdue(day(23, 4)));
    EXPECT_TRUE(overdue(day(24, 4)));
    EXPECT_FALSE(shown(day(24, 4)));
    EXPECT_TRUE(shown(day(25, 4)));

    const DebtSums debt = debtors.getDebt(contract, day(25, 4), true);
    data::Dataset& ds = *debtors.getDataSet();
    EXPECT_EQ(ds.fieldByName(QStringLiteral("PERC_DEBT")).asInteger(), debt.perc);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("PENALTY_DEBT")).asInteger(), debt.penalty);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("STOR_DEBT")).asInteger(), debt.storage);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("DEBT_TIME")).asInteger(), debt.debtDays);
    EXPECT_EQ(debtors.getDebtTimeText(ds.fieldByName(QStringLiteral("DEBT_TIME"))), QStringLiteral("2"));
}

TEST_F(ContractListTest, TheSameDebtDateKeepsTheOtherFilters) {
    TPenaltyDebitors debtors;
    debtors.setDebtDate(day(10, 4));
    debtors.filterByNumber(QStringLiteral("X"));
    const QString filters = debtors.extraFilter();
    debtors.setDebtDate(day(10, 4));
    EXPECT_EQ(debtors.extraFilter(), filters);
    debtors.setDebtDate(day(11, 4));
    EXPECT_EQ(debtors.extraFilter(), TPenaltyDebitors::overdueCondition(day(11, 4)));
}

// ---- debts seen from other workstations -------------------------------------------------------------

TEST_F(ContractListTest, APaymentFromAnotherConnectionShowsOnceTheOperationsReopen) {
    const int paid = newContract({.date = day(1, 3), .depositSum = 100000});
    const int other = newContract({.date = day(1, 3), .depositSum = 100000});
    TPenaltyContracts list(nullptr, true);
    const DateTime at = day(20, 3);
    const DebtSums before = list.getDebt(paid, at, true);
    const DebtSums otherBefore = list.getDebt(other, at, true);
    {
        fb::Database second(testDb().path());
        second.open();
        auto transaction = udb::createTransaction(&second);
        transaction->start();
        for (int id : {paid, other}) {
            udb::execSql(QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_DATE, "
                                        "NON_CALC_DAYS) values (gen_id(GEN_OPERATIONS_ID, 1), %1, 40000, "
                                        "'2009-03-10', 0)")
                             .arg(id),
                         transaction.get());
        }
        transaction->commit();
    }
    EXPECT_EQ(list.getDebt(paid, at, true), before);  // still the cached debt
    TPenaltyOperations operations(TolvMain::getZarvelDb(), &list);
    operations.setContractId(paid);
    operations.open();
    EXPECT_EQ(list.getDebt(paid, at, true).base, 60000);
    EXPECT_EQ(list.getDebt(other, at, true), otherBefore);
}

}  // namespace
