// What the server roles let a program user do: cashiers (AGENTROLE) work with clients, contracts,
// cash and acts and are refused the managers' tables; managers (MASTERROLE) administer users.

#include <gtest/gtest.h>

#include <set>

#include "platform/fb/Error.h"
#include "tests/db/SchemaDb.h"
#include "tests/support/PrivateServer.h"

namespace {

using tolvtest::Params;
using tolvtest::Sql;

constexpr long kNoPermission = 335544352;

class RoleTest : public tolvtest::DbSuite {
protected:
    static void SetUpTestSuite() {
        DbSuite::SetUpTestSuite();
        Sql sql(testDb().db());
        sql.exec(QStringLiteral("grant AGENTROLE to TESTAGENT"));
        sql.commit();
    }

    // A cashier's connection, as the program opens it.
    static std::unique_ptr<fb::Database> agent() {
        return tolvtest::connectAs(testDb().path(), QStringLiteral("TESTAGENT"), QStringLiteral("AGENTROLE"));
    }
};

TEST_F(RoleTest, AgentConnectsWithItsRole) {
    auto db = agent();
    Sql sql(*db);
    const auto who = sql.rows(QStringLiteral("select current_user, current_role from rdb$database"));
    ASSERT_EQ(who.size(), 1u);
    EXPECT_EQ(who[0][0].toText(), QStringLiteral("TESTAGENT"));
    EXPECT_EQ(who[0][1].toText(), QStringLiteral("AGENTROLE"));
}

TEST_F(RoleTest, AgentUsesEveryGeneratorAndFunction) {
    auto db = agent();
    Sql sql(*db);
    std::set<QString> generators;
    for (const tolvtest::Row& row : sql.rows(QStringLiteral(
             "select trim(RDB$GENERATOR_NAME) from RDB$GENERATORS where coalesce(RDB$SYSTEM_FLAG, 0) = 0"))) {
        generators.insert(row[0].toText());
    }
    for (const char* gen : tolvtest::kGenerators) EXPECT_TRUE(generators.count(QLatin1String(gen))) << gen;
    for (const QString& gen : generators) {
        EXPECT_EQ(sql.refusal(QStringLiteral("select GEN_ID(%1,1)from rdb$database").arg(gen)), 0)
            << gen.toStdString();
    }
    EXPECT_EQ(sql.value(QStringLiteral("select UPCASE('касир') from rdb$database")).toText(),
              QStringLiteral("КАСИР"));
    EXPECT_DOUBLE_EQ(sql.value(QStringLiteral("select ROUNDTO(2.345, -2) from rdb$database")).toDouble(),
                     2.35);
}

// One kind of row a cashier writes: how it is added, changed, deleted and counted. Keys :K0 ...,
// the current branch :F.
struct Work {
    const char* insert;
    const char* update;
    const char* remove;
    const char* count;
};

// Clients, services, cash, acts and parcels, settings and the branch counters (never added or
// deleted by a cashier).
const Work kOtherWork[] = {
    {"insert into CLIENTS (CLIENT_ID, CLIENT_NAME, CLIENT_PASSPORT_DATE) "
     "values (:K8, 'Дем''яненко Ірина', '12 березня 2001 р.')",
     "update CLIENTS set CLIENT_PHONE = '+380 44 123-45-67' where CLIENT_ID = :K8",
     "delete from CLIENTS where CLIENT_ID = :K8", "select count(*) from CLIENTS where CLIENT_ID = :K8"},
    {"insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (:K7, 'Оцінка майна', 0)",
     "update DIR_ADD_SERVICES set FORMULA = '20' where ID = :K7",
     "delete from DIR_ADD_SERVICES where ID = :K7", "select count(*) from DIR_ADD_SERVICES where ID = :K7"},
    {"insert into REGISTERS (ID, ID_FILIAL, R_TYPE, R_NUMBER, R_DATE) values (:K3, :F, 1, 1, current_date)",
     "update REGISTERS set R_SUBJ_TYPE = 2 where ID = :K3", "delete from REGISTERS where ID = :K3",
     "select count(*) from REGISTERS where ID = :K3"},
    {"insert into PARCEL (ID, NUM_PARCEL, DATE_PARCEL) values (:K4, '1', current_date)",
     "update PARCEL set NUM_REESTR = '12' where ID = :K4", "delete from PARCEL where ID = :K4",
     "select count(*) from PARCEL where ID = :K4"},
    {"insert into ACT (ID, NUM, ACT_DATE, ID_FILIAL, ID_PARCEL) values (:K5, '1', current_date, :F, :K4)",
     "update ACT set IS_BLOCKED = 1 where ID = :K5", "delete from ACT where ID = :K5",
     "select count(*) from ACT where ID = :K5"},
    {"insert into ACT_SUBJ (ID, ID_ACT, ID_CONTRACT, ID_SUBJ_CONTR) values (:K6, :K5, :K0, :K1)",
     "update ACT_SUBJ set TO_SALE_SUM = 90000 where ID = :K6", "delete from ACT_SUBJ where ID = :K6",
     "select count(*) from ACT_SUBJ where ID = :K6"},
    {"insert into ACT_SUBJ_GOLD (ID, PROBE_NAME, WEIGHT) values (:K6, '585', 1.5)",
     "update ACT_SUBJ_GOLD set WEIGHT = 1.6 where ID = :K6", "delete from ACT_SUBJ_GOLD where ID = :K6",
     "select count(*) from ACT_SUBJ_GOLD where ID = :K6"},
    {"insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'agentCheck', '1')",
     "update INI set VAL = '0' where SECTION = 'DEFAULTS' and NAME = 'agentCheck'",
     "delete from INI where SECTION = 'DEFAULTS' and NAME = 'agentCheck'",
     "select count(*) from INI where SECTION = 'DEFAULTS' and NAME = 'agentCheck'"},
    {nullptr, "update DIR_FILIAL set ORDER_NUM_AUTOINC = ORDER_NUM_AUTOINC + 1 where ID = :F", nullptr,
     "select count(*) from DIR_FILIAL where ID = :F"},
};

// A contract and its parts; deleting the contract takes them all.
const Work kContractWork[] = {
    {"insert into PENALTY_CONTRACTS (CONTRACT_ID, CLIENT_ID, CONTRACT_DATE, CONTRACT_NUM, FILIAL_ID) "
     "values (:K0, :K8, current_date, '1.25.1', :F)",
     "update PENALTY_CONTRACTS set CONTRACT_STATE = 3 where CONTRACT_ID = :K0",
     "delete from PENALTY_CONTRACTS where CONTRACT_ID = :K0",
     "select count(*) from PENALTY_CONTRACTS where CONTRACT_ID = :K0"},
    {"insert into PENALTY_DEPOSITS (CONTRACT_ID, DEPOSIT_SUM, PENALTY_DAYS, DEPOSIT_TYPE) values (:K0, "
     "800000, 30, 2)",
     "update PENALTY_DEPOSITS set DEPOSIT_SUM = 750000 where CONTRACT_ID = :K0",
     "delete from PENALTY_DEPOSITS where CONTRACT_ID = :K0",
     "select count(*) from PENALTY_DEPOSITS where CONTRACT_ID = :K0"},
    {"insert into SUBJECTS (ID, ID_CONTRACT, NAME) values (:K1, :K0, 'Ноутбук')",
     "update SUBJECTS set PRICE = 1200000 where ID = :K1", "delete from SUBJECTS where ID = :K1",
     "select count(*) from SUBJECTS where ID = :K1"},
    {"insert into SUBJECTS_GOLD (ID, PROB_NAME, WEIGHT) values (:K1, '585', 1.5)",
     "update SUBJECTS_GOLD set WEIGHT_GEM = 0.2 where ID = :K1", "delete from SUBJECTS_GOLD where ID = :K1",
     "select count(*) from SUBJECTS_GOLD where ID = :K1"},
    {"insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_DATE, OP_PERC_SUM) values (:K2, :K0, "
     "current_date, 1200)",
     "update PENALTY_OPERATIONS set OP_REST_BASE = 0 where OP_ID = :K2",
     "delete from PENALTY_OPERATIONS where OP_ID = :K2",
     "select count(*) from PENALTY_OPERATIONS where OP_ID = :K2"},
    {"insert into TOSALE (CONTRACT_ID, TOSALE_DATE) values (:K0, current_date)",
     "update TOSALE set TOSALE_SUM = 1200000 where CONTRACT_ID = :K0",
     "delete from TOSALE where CONTRACT_ID = :K0", "select count(*) from TOSALE where CONTRACT_ID = :K0"},
    {"insert into SALES (CONTRACT_ID, SALE_SUM) values (:K0, 900000)",
     "update SALES set MONEY_BACK_SUM = 15000 where CONTRACT_ID = :K0",
     "delete from SALES where CONTRACT_ID = :K0", "select count(*) from SALES where CONTRACT_ID = :K0"},
    {"insert into ZAYAVLENIYA (CONTRACT_ID, DATE_TO) values (:K0, current_date + 7)",
     "update ZAYAVLENIYA set NOTE = 'До зарплати' where CONTRACT_ID = :K0",
     "delete from ZAYAVLENIYA where CONTRACT_ID = :K0",
     "select count(*) from ZAYAVLENIYA where CONTRACT_ID = :K0"},
    {"insert into ADD_SERVICES (ID, ID_SERVICE, ID_OBJ, NAME, PRICE) values (:K9, :K7, :K0, 'Оцінка майна', "
     "2000)",
     "update ADD_SERVICES set PRICE = 2500 where ID = :K9", "delete from ADD_SERVICES where ID = :K9",
     "select count(*) from ADD_SERVICES where ID = :K9"},
    {"insert into WARRANTES (ID, ID_FILIAL, ID_CONTRACT, ID_REGISTER, W_TYPE, W_SUM) values (:K10, :F, :K0, "
     ":K3, 1, 800000)",
     "update WARRANTES set W_SUM = 750000 where ID = :K10", "delete from WARRANTES where ID = :K10",
     "select count(*) from WARRANTES where ID = :K10"},
};

TEST_F(RoleTest, AgentWritesWhatCashiersWorkWith) {
    auto db = agent();
    Sql sql(*db);
    Params p = tolvtest::freshKeys(11);
    p["F"] = sql.value(QStringLiteral("select ID from DIR_FILIAL where IS_CURENT = 1"));
    std::vector<const Work*> work;
    for (const Work& w : kOtherWork) work.push_back(&w);
    for (const Work& w : kContractWork) work.push_back(&w);
    const auto run = [&](const char* statement) {
        if (!statement) return;
        QString text;
        EXPECT_EQ(sql.refusal(QString::fromUtf8(statement), p, &text), 0) << statement << "\n"
                                                                          << text.toStdString();
    };
    const auto count = [&](const Work* w) { return sql.count(QString::fromUtf8(w->count), p); };

    for (const Work* w : work) run(w->insert);
    for (const Work* w : work) EXPECT_EQ(count(w), 1) << w->count;
    EXPECT_EQ(sql.value(QStringLiteral("select CLIENT_NAME from CLIENTS where CLIENT_ID = :K8"), p).toText(),
              QStringLiteral("Дем'яненко Ірина"));
    for (const Work* w : work) run(w->update);
    // Children before their parents.
    for (auto w = work.rbegin(); w != work.rend(); ++w) run((*w)->remove);
    for (const Work* w : work) EXPECT_EQ(count(w), w->remove ? 0 : 1) << w->count;

    // Once more, with the client and the service first; then the contract alone is deleted, and its
    // parts, services and orders go with it.
    run(kOtherWork[0].insert);
    run(kOtherWork[1].insert);
    for (const Work& w : kContractWork) run(w.insert);
    EXPECT_EQ(sql.exec(QString::fromUtf8(kContractWork[0].remove), p), 1);
    for (const Work& w : kContractWork) EXPECT_EQ(sql.count(QString::fromUtf8(w.count), p), 0) << w.count;
}

TEST_F(RoleTest, AgentsChangesAreLoggedUnderItsName) {
    auto db = agent();
    Sql sql(*db);
    const Params p{{"ID", tolvtest::freshKey()}};
    sql.exec(QStringLiteral("insert into PLACES (PLACE_ID, PLACE_NAME) values (:ID, 'Сейф №2')"), p);
    sql.exec(QStringLiteral("update PLACES set PLACE_NAME = 'Сейф №3' where PLACE_ID = :ID"), p);
    sql.exec(QStringLiteral("delete from PLACES where PLACE_ID = :ID"), p);
    const auto log =
        sql.rows(QStringLiteral("select LOG_TYPE, LOG_USER, LOG_INFO from LOG "
                                "where LOG_TABLE = 'PLACES' and LOG_INFO containing :ID order by LOG_TYPE"),
                 {{"ID", QString::number(p.at(QStringLiteral("ID")).toInt())}});
    ASSERT_EQ(log.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(log[i][0].toInt(), i + 1);
        EXPECT_EQ(log[i][1].toText(), QStringLiteral("TESTAGENT"));
    }
    EXPECT_TRUE(log[0][2].toText().contains(QStringLiteral("Сейф №2"))) << log[0][2].toText().toStdString();
    EXPECT_TRUE(log[2][2].toText().contains(QStringLiteral("Сейф №3"))) << log[2][2].toText().toStdString();
}

TEST_F(RoleTest, AgentIsRefusedManagersWorkAndTheLog) {
    const char* const refused[] = {
        "insert into AGENTS (AGENT_ID, AGENT_NAME, AGENT_LOGIN, GROUP_ID) values (0, 'Касир', 'KASA2', 0)",
        "update AGENTS set GROUP_ID = 1",
        "delete from DIR_FILIAL where IS_CURENT = 0",
        "update DB_VERSION set VER_NUM = '9.9.9.9'",
        "insert into LOG (LOG_DATE, LOG_TABLE, LOG_USER, LOG_INFO, LOG_TYPE) "
        "values (current_timestamp, 'CLIENTS', 'MANAGER', 'x', 1)",
        "delete from LOG",
        "execute procedure WRITE_LOG('CLIENTS', 1, 'x')",
        "insert into ZVIT_REPORTS (ID, REP_TYPE, B_DATE, E_DATE) values (1, 0, '2024-01-01', '2024-03-31')",
        "delete from ZVIT_REPORTS",
        "insert into DEPOSIT_TYPES (CODE) values ('FURS')",
    };
    auto db = agent();
    Sql sql(*db);
    for (const char* statement : refused) {
        QString text;
        EXPECT_EQ(sql.refusal(QString::fromUtf8(statement), {}, &text), kNoPermission) << statement << "\n"
                                                                                       << text.toStdString();
    }
    // Reading is allowed where writing is not, and so are the names the lists join and the role lookup.
    for (const char* read :
         {"select count(*) from AGENTS", "select count(*) from LOG", "select count(*) from DB_VERSION",
          "select count(*) from ZVIT_REPORTS", "select count(*) from DIR_FILIAL",
          "select count(*) from TABLES_TABLE", "select count(*) from CONTRACT_STATES_LANGS",
          "select count(*) from DEPOSIT_TYPES_LANGS",
          "select count(*) from RDB$USER_PRIVILEGES where RDB$PRIVILEGE = 'M'"}) {
        EXPECT_EQ(sql.refusal(QString::fromUtf8(read)), 0) << read;
    }
}

// The users directory of a manager: a new server user gets its roles, loses them, and gets its row.
TEST_F(RoleTest, ManagerGrantsAndRevokesRolesAndAddsUsers) {
    auto db = tolvtest::connectAs(testDb().path(), QStringLiteral("MANAGER"), QStringLiteral("MASTERROLE"));
    Sql sql(*db);
    const char* const statements[] = {
        "grant AGENTROLE to NEWAGENT with admin option",
        "grant AGENTROLE to NEWMASTER with admin option",
        "grant MASTERROLE to NEWMASTER with admin option",
        "revoke AGENTROLE from NEWAGENT",
        "insert into AGENTS (AGENT_ID, AGENT_NAME, AGENT_LOGIN, AGENT_PASSWORD, GROUP_ID, KASSIR_ID) "
        "values (0, 'Шевчук Ольга', 'NEWMASTER', '*******', 1, '3')",
    };
    for (const char* statement : statements) {
        QString text;
        EXPECT_EQ(sql.refusal(QString::fromUtf8(statement), {}, &text), 0) << statement << "\n"
                                                                           << text.toStdString();
    }
    sql.commit();

    Sql check(testDb().db());
    std::set<QString> roles;
    for (const tolvtest::Row& row : check.rows(QStringLiteral(
             "select trim(RDB$USER) || ':' || trim(RDB$RELATION_NAME) from RDB$USER_PRIVILEGES "
             "where RDB$PRIVILEGE = 'M' and RDB$USER in ('NEWAGENT', 'NEWMASTER')"))) {
        roles.insert(row[0].toText());
    }
    EXPECT_EQ(roles, (std::set<QString>{QStringLiteral("NEWMASTER:AGENTROLE"),
                                        QStringLiteral("NEWMASTER:MASTERROLE")}));
    EXPECT_EQ(
        check.value(QStringLiteral("select AGENT_NAME from AGENTS where AGENT_LOGIN = 'NEWMASTER'")).toText(),
        QStringLiteral("Шевчук Ольга"));
}

// A branch office runs the database on a server, where passwords are checked: the same schema built
// through the server, a cashier logging in with a password and keeping Cyrillic texts.
TEST(ServerRoleTest, ACashierWorksThroughTheServerOnTheSchemaDatabase) {
    tolvtest::PrivateServer server;
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    const QString url = server.databaseUrl(QStringLiteral("tolvanix.fdb"));
    ASSERT_NO_THROW(tolvtest::TestDatabase::build(url, false, tolvtest::PrivateServer::sysdbaPassword()));
    {
        fb::Database admin(url);
        admin.setPassword(tolvtest::PrivateServer::sysdbaPassword());
        admin.open();
        Sql sql(admin);
        sql.exec(QStringLiteral("create user KASIR password 'kasa1'"));
        sql.exec(QStringLiteral("grant AGENTROLE to KASIR"));
        sql.commit();
    }
    fb::Database db(url);
    db.setUserName(QStringLiteral("KASIR"));
    db.setPassword(QStringLiteral("kasa1"));
    db.setRole(QStringLiteral("AGENTROLE"));
    db.open();
    Sql sql(db);
    const Params row{{"ID", tolvtest::freshKey()},
                     {"NAME", QStringLiteral("Ґудзь-Їжакевич Мар'яна Юріївна")}};
    sql.exec(QStringLiteral("insert into CLIENTS (CLIENT_ID, CLIENT_NAME) values (:ID, :NAME)"), row);
    EXPECT_EQ(
        sql.value(QStringLiteral("select CLIENT_NAME from CLIENTS where CLIENT_ID = :ID"), row).toText(),
        row.at(QStringLiteral("NAME")).toText());
    // Compared in the database's own character set, not only carried through.
    EXPECT_EQ(
        sql.count(QStringLiteral("select count(*) from CLIENTS where UPCASE(CLIENT_NAME) like 'ҐУДЗЬ%'")), 1);
    EXPECT_EQ(sql.value(QStringLiteral("select current_user from rdb$database")).toText(),
              QStringLiteral("KASIR"));
}

}  // namespace
