#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "ContractRows.h"
#include "TClients.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TestDatabase.h"
#include "u_filials.h"

using core::Variant;
using namespace contracttest;
using TolvLogic::FilialInfo;
using TolvLogic::FilialsDir;

namespace {

using tolvtest::errorText;

using BranchesTest = ContractSuite;

TEST_F(BranchesTest, BranchRecordReadsAndStoresItsColumns) {
    const int current = FilialsDir::scGetCurentFilialId();
    ASSERT_GT(current, 0);
    FilialInfo office(current, change());
    EXPECT_EQ(office.getField(FilialInfo::fNUMBER).toInt(), 1);
    EXPECT_EQ(office.getField(FilialInfo::fNAME).toText(), QStringLiteral("Центральное отделение"));
    EXPECT_EQ(office.getNumberName(), QStringLiteral("1 - Центральное отделение"));
    EXPECT_EQ(office.getField(FilialInfo::fIS_CURENT).toInt(), 1);
    EXPECT_EQ(office.getField(FilialInfo::fORDER_NUM_AUTOINC).toInt(), 1);

    // A counter moves on with one update of the row, seen by the next read of the transaction.
    office.setField(FilialInfo::fORDER_NUM_AUTOINC, 42);
    office.Update();
    EXPECT_EQ(FilialInfo(current, change()).getField(FilialInfo::fORDER_NUM_AUTOINC).toInt(), 42);

    // ID is the key: setting it addresses another branch.
    const int other = newBranch(7, QStringLiteral("Філія \"Поділ\""), false, change());
    office.setField(FilialInfo::fID, other);
    EXPECT_EQ(office.Select(), 1);
    EXPECT_EQ(office.getNumberName(), QStringLiteral("7 - Філія \"Поділ\""));
}

TEST_F(BranchesTest, MissingBranchIsReportedInTheInterfaceLanguage) {
    EXPECT_EQ(errorText([] { FilialInfo(987654); }),
              QStringLiteral("FilialInfo::FilialInfo() - информация о филиале не считана id = 987654"));
    const QString key = QStringLiteral("u_filials.FilialInfo.FilialInfo.Exception");
    KVLibTranslator::instance().set(key, QStringLiteral("інформацію про філію не зчитано"));
    const QString ukrainian = errorText([] { FilialInfo(987654); });
    KVLibTranslator::instance().set(key, QStringLiteral("информация о филиале не считана"));
    EXPECT_EQ(ukrainian,
              QStringLiteral("FilialInfo::FilialInfo() - інформацію про філію не зчитано id = 987654"));
}

TEST_F(BranchesTest, LastContractDateIsThatOfTheHighestContractId) {
    const int branch = newBranch(11, QStringLiteral("Оболонь"), false, change());
    FilialInfo filial(branch, change());
    EXPECT_TRUE(FilialInfo::scGetLastContractDate(filial).isZero());

    newContract({.date = day(20, 3), .filialId = branch}, change());
    newContract({.date = day(2, 3), .filialId = branch}, change());  // made later, dated earlier
    newContract({.date = day(30, 3)}, change());                     // another branch
    EXPECT_EQ(FilialInfo::scGetLastContractDate(filial), day(2, 3));
}

TEST_F(BranchesTest, LookupsByBranchId) {
    const int current = FilialsDir::scGetCurentFilialId();
    const int imported = newBranch(2, QStringLiteral("Філія №2 (м. Біла Церква)"), true, change());
    struct Case {
        int id;
        fb::Transaction* transaction;
        QString name;
        int number;
        bool imported;
    };
    const Case cases[] = {
        {current, nullptr, QStringLiteral("Центральное отделение"), 1, false},
        {current, change(), QStringLiteral("Центральное отделение"), 1, false},
        {imported, change(), QStringLiteral("Філія №2 (м. Біла Церква)"), 2, true},
        // Without a transaction only committed rows count: the new branch is not there yet.
        {imported, nullptr, QStringLiteral(" "), -1, true},
        {987654, change(), QStringLiteral(" "), -1, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilialsDir::scGetFilialName(c.id, c.transaction), c.name) << c.id;
        EXPECT_EQ(FilialsDir::scGetFilialNumber(c.id, c.transaction), c.number) << c.id;
        EXPECT_EQ(FilialsDir::scIsFilialImported(c.id, c.transaction), c.imported) << c.id;
    }
}

TEST_F(BranchesTest, CurrentBranchMustBeExactlyOne) {
    const int current = FilialsDir::scGetCurentFilialId(true);
    EXPECT_GT(current, 0);
    const QString notSet = QStringLiteral("Текущий филиал не задан");
    const int second = newBranch(21, QStringLiteral("Друга"), false);
    struct Case {
        const char* sql;
        int expected;
    };
    const Case cases[] = {
        {"update DIR_FILIAL set IS_CURENT = 1 where ID = %1", 0},  // two current branches
        {"update DIR_FILIAL set IS_CURENT = 0", 0},                // none
        {"update DIR_FILIAL set IS_CURENT = 1 where ID = %1", second},
    };
    for (const Case& c : cases) {
        udb::execSql(QString::fromLatin1(c.sql).arg(second));
        EXPECT_EQ(FilialsDir::scGetCurentFilialId(), c.expected) << c.sql;
        EXPECT_EQ(errorText([] { FilialsDir::scGetCurentFilialId(true); }),
                  c.expected ? QStringLiteral("<no error>") : notSet)
            << c.sql;
    }
    udb::execSql(QStringLiteral("update DIR_FILIAL set IS_CURENT = 0"));
    udb::execSql(QStringLiteral("update DIR_FILIAL set IS_CURENT = 1 where ID = %1").arg(current));
    udb::execSql(QStringLiteral("delete from DIR_FILIAL where ID = %1").arg(second));
}

TEST_F(BranchesTest, ClientRecordAndItsLookups) {
    const int client = newClient(QStringLiteral("Дем'яненко Олена Петрівна"));
    EXPECT_EQ(TolvLogic::TClients::NameById(client), QStringLiteral("Дем'яненко Олена Петрівна"));
    EXPECT_TRUE(errorText([] {
                    TolvLogic::TClients::NameById(987654);
                }).startsWith(QStringLiteral("field 'CLIENT_NAME' not exist")));

    TolvLogic::TClientInfo record;
    EXPECT_EQ(record.GetField(TolvLogic::TClientInfo::fCLIENT_ID).toInt(), 0);
    record.SetField(TolvLogic::TClientInfo::fCLIENT_ID, client);
    EXPECT_EQ(record.Select(), 1);
    EXPECT_EQ(record.GetField(TolvLogic::TClientInfo::fCLIENT_NAME).toText(),
              QStringLiteral("Дем'яненко Олена Петрівна"));
    EXPECT_TRUE(record.GetField(TolvLogic::TClientInfo::fCLIENT_PASSPORT_DATE).isNull());

    const int open1 = newContract({.clientId = client, .state = 0});
    const int closed = newContract({.clientId = client, .state = 1});
    const int open2 = newContract({.clientId = client, .state = 0});
    newContract({.clientId = newClient(QStringLiteral("Інший")), .state = 0});
    std::vector<int> open = record.getContractsByState(0);
    std::sort(open.begin(), open.end());
    EXPECT_EQ(open, std::vector<int>({open1, open2}));
    EXPECT_EQ(record.getContractsByState(1), std::vector<int>({closed}));
    EXPECT_TRUE(record.getContractsByState(3).empty());
}

}  // namespace

namespace {

// Two workstations: the program's connection and a second one to the same database file.
TEST_F(BranchesTest, CountersGiveDistinctNumbersToWorkstationsAndKeepOtherAdvances) {
    const int branch = newBranch(31, QStringLiteral("Лісова"), false);
    fb::Database other(testDb().path());
    other.open();
    fb::Database* const main = TolvMain::getZarvelDb();
    const auto take = [&](int counter, fb::Database* db, bool restart = false) {
        return FilialInfo::scTakeNumber(branch, counter, restart, db);
    };
    const auto held = [&](int counter) { return FilialInfo(branch).getField(counter).toInt(); };

    // In turn: one sequence over both connections; the contract counter advanced in between keeps
    // its advance.
    EXPECT_EQ(take(FilialInfo::fWNT_RECEIPT_NUM_AUTOINC, main), 1);
    EXPECT_EQ(take(FilialInfo::fORDER_NUM_AUTOINC, &other), 1);
    EXPECT_EQ(take(FilialInfo::fWNT_RECEIPT_NUM_AUTOINC, &other), 2);
    EXPECT_EQ(take(FilialInfo::fWNT_RECEIPT_NUM_AUTOINC, main), 3);
    EXPECT_EQ(held(FilialInfo::fWNT_RECEIPT_NUM_AUTOINC), 4);
    EXPECT_EQ(held(FilialInfo::fORDER_NUM_AUTOINC), 2);
    EXPECT_EQ(held(FilialInfo::fWNT_EXPENSE_NUM_AUTOINC), 1);

    // A restart gives 1 and leaves 2 to give next.
    EXPECT_EQ(take(FilialInfo::fORDER_NUM_AUTOINC, main, true), 1);
    EXPECT_EQ(take(FilialInfo::fORDER_NUM_AUTOINC, &other), 2);

    // At once: both workstations take numbers concurrently; none is given twice or lost.
    constexpr int kEach = 40;
    std::vector<int> fromMain, fromOther;
    std::thread worker([&] {
        for (int i = 0; i < kEach; ++i)
            fromOther.push_back(take(FilialInfo::fWNT_EXPENSE_NUM_AUTOINC, &other));
    });
    for (int i = 0; i < kEach; ++i) fromMain.push_back(take(FilialInfo::fWNT_EXPENSE_NUM_AUTOINC, main));
    worker.join();
    std::set<int> all(fromMain.begin(), fromMain.end());
    all.insert(fromOther.begin(), fromOther.end());
    EXPECT_EQ(all.size(), 2u * kEach);
    EXPECT_EQ(*all.begin(), 1);
    EXPECT_EQ(*all.rbegin(), 2 * kEach);
    EXPECT_EQ(held(FilialInfo::fWNT_EXPENSE_NUM_AUTOINC), 2 * kEach + 1);
    EXPECT_EQ(held(FilialInfo::fWNT_RECEIPT_NUM_AUTOINC), 4);

    EXPECT_EQ(errorText([&] { FilialInfo::scTakeNumber(987654, FilialInfo::fWNT_RECEIPT_NUM_AUTOINC); }),
              QStringLiteral("FilialInfo::FilialInfo() - информация о филиале не считана id = 987654"));
}

}  // namespace
