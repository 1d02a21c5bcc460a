// Values the database fills in by itself: keys of rows that arrive without one, the fixed marker
// of registers and the moment of the last change.

#include <gtest/gtest.h>

#include <QDate>
#include <cstdlib>

#include "tests/db/SchemaDb.h"

namespace {

using core::Variant;
using tolvtest::Sql;

class KeyTriggerTest : public tolvtest::DbSuite {};

TEST_F(KeyTriggerTest, RowsWithoutAKeyTakeTheGeneratorsNext) {
    struct Case {
        const char* table;
        const char* key;
        Variant sent;         // what the program puts in the key column
        const char* columns;  // the required ones besides the key
        const char* values;
    };
    const Variant null = Variant::null();
    const Case cases[] = {
        {"CLIENTS", "CLIENT_ID", 0, "CLIENT_NAME", "'Ковальчук Ївга'"},
        {"AGENTS", "AGENT_ID", 0, "AGENT_NAME, AGENT_LOGIN, GROUP_ID", "'Касир', 'KASA_T', 0"},
        {"PLACES", "PLACE_ID", null, "PLACE_NAME", "'Сейф'"},
        {"ADD_SERVICES", "ID", null, "NAME", "'Оцінка'"},
        {"DIR_ADD_SERVICES", "ID", null, "NAME, ID_EVENT", "'Оцінка', 0"},
        {"DEPOSIT_TYPES", "ID", null, "CODE", ":U"},
        {"DEPOSIT_SUBJECTS", "ID", null, "NAME, DEPOSIT_TYPE_ID", "'Кільце', 1"},
        {"PASPORT_DATA", "ID", null, "DATA", "'Шевченківським РУ'"},
        {"AUTO_PERC_SUM", "ID", null, "SUM_FROM, PERC, PENALTY_PERC", "1000, 0.5, 1"},
        {"AUTO_PERC_DAYS", "ID", null, "DAYS, CREDIT_PERC, PERC, PENALTY_PERC", "30, 70, 0.5, 1"},
        {"DIR_DRAGME_TYPE", "ID", null, "NAME", "'Платина'"},
        {"GOLD_TARIF", "ID", null, "PROB_NAME, PRICE_PER_GRAM, DEPOSIT_PER_GRAM, ID_ME_TYPE",
         "'585', 180000, 150000, :METAL"},
        {"DIR_EXCHANGE", "ID", null, "DATA", "current_date"},
        {"WARRANTES", "ID", null, "W_TYPE", "0"},
        {"DIR_WARRANTES", "ID", null, "W_TYPE", "0"},
        {"DIR_CORRESP", "ID", null, "TABLE_NAME, ID_IN_FILIAL", "'GOLD_TARIF', :U"},
        {"ZVIT_BALANCE", "ID", null, "BP010_03", "0"},
        {"ZVIT_RESULTS", "ID", null, "BP010_03", "0"},
    };
    Sql sql(testDb().db());
    const int metal = tolvtest::freshKey();
    sql.exec(QStringLiteral("insert into DIR_DRAGME_TYPE (ID, NAME) values (:METAL, 'Золото')"),
             {{"METAL", metal}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const QString insert = QStringLiteral("insert into %1 (%2, %3) values (:KEY, %4) returning %2")
                                   .arg(QLatin1String(c.table), QLatin1String(c.key),
                                        QLatin1String(c.columns), QString::fromUtf8(c.values));
        // :U fills columns that must differ from row to row.
        tolvtest::Params params{{"KEY", c.sent}, {"METAL", metal}, {"U", tolvtest::freshKey()}};
        qint64 first = 0;
        ASSERT_NO_THROW(first = sql.value(insert, params).toInt64());
        params["U"] = tolvtest::freshKey();
        const qint64 second = sql.value(insert, params).toInt64();
        EXPECT_GT(first, 0);
        // A list that re-reads "the row with the largest key" finds the row just added.
        EXPECT_GT(second, first);
        const QString generator = QStringLiteral("GEN_%1_ID").arg(QLatin1String(c.table));
        EXPECT_EQ(
            second,
            sql.value(QStringLiteral("select gen_id(%1, 0) from rdb$database").arg(generator)).toInt64());

        // A key that is sent is kept.
        const int own = tolvtest::freshKey();
        params["KEY"] = own;
        params["U"] = tolvtest::freshKey();
        EXPECT_EQ(sql.value(insert, params).toInt(), own);
    }
    EXPECT_EQ(sql.value(QStringLiteral("select CLIENT_NAME from CLIENTS where CLIENT_ID = "
                                       "(select max(CLIENT_ID) from CLIENTS where CLIENT_ID < 1000000000)"))
                  .toText(),
              QStringLiteral("Ковальчук Ївга"));
    EXPECT_EQ(sql.exec(QStringLiteral("insert into PLACES (PLACE_ID, PLACE_NAME) values (500, 'x')")), 1);
    EXPECT_EQ(sql.count(QStringLiteral("select count(*) from PLACES where PLACE_ID = 500")), 1);
}

TEST_F(KeyTriggerTest, RegistersAlwaysReadMinusOneAsTheirTemplate) {
    Sql sql(testDb().db());
    const tolvtest::Params key{{"ID", tolvtest::freshKey()}};
    sql.exec(QStringLiteral("insert into REGISTERS (ID, ID_DIR_WARRANTES, R_TYPE, R_NUMBER, R_DATE) "
                            "values (:ID, 5, 0, -1, current_date)"),
             key);
    EXPECT_EQ(sql.value(QStringLiteral("select ID_DIR_WARRANTES from REGISTERS where ID = :ID"), key).toInt(),
              -1);
    sql.exec(QStringLiteral("update REGISTERS set ID_DIR_WARRANTES = 7 where ID = :ID"), key);
    EXPECT_EQ(sql.value(QStringLiteral("select ID_DIR_WARRANTES from REGISTERS where ID = :ID"), key).toInt(),
              -1);
}

TEST_F(KeyTriggerTest, ModifyDateFollowsEveryChangeUnlessSetItself) {
    struct Case {
        const char* table;
        const char* key;
        const char* insert;  // makes the row with key :ID
        const char* change;  // updates another column
    };
    const Case cases[] = {
        {"PENALTY_CONTRACTS", "CONTRACT_ID",
         "insert into PENALTY_CONTRACTS (CONTRACT_ID, CONTRACT_DATE, CONTRACT_NUM) values (:ID, "
         "current_date, '1.25.1')",
         "update PENALTY_CONTRACTS set NOTE = 'Примітка' where CONTRACT_ID = :ID"},
        {"WARRANTES", "ID", "insert into WARRANTES (ID, W_TYPE, W_SUM) values (:ID, 0, 100)",
         "update WARRANTES set W_SUM = 200 where ID = :ID"},
        {"ACT", "ID", "insert into ACT (ID, NUM, ACT_DATE) values (:ID, '1', current_date)",
         "update ACT set IS_BLOCKED = 1 where ID = :ID"},
    };
    Sql sql(testDb().db());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const tolvtest::Params key{{"ID", tolvtest::freshKey()}};
        // Seconds from the row's MODIFY_DATE to now, and the date alone.
        const QString age = QStringLiteral(
                                "select datediff(second from MODIFY_DATE to current_timestamp) from %1 "
                                "where %2 = :ID")
                                .arg(QLatin1String(c.table), QLatin1String(c.key));
        const QString day = QStringLiteral("select cast(MODIFY_DATE as date) from %1 where %2 = :ID")
                                .arg(QLatin1String(c.table), QLatin1String(c.key));
        sql.exec(QString::fromUtf8(c.insert), key);
        const Variant afterInsert = sql.value(age, key);
        ASSERT_FALSE(afterInsert.isEmpty());
        EXPECT_LE(std::abs(afterInsert.toInt64()), 60);

        // The export stamps its own moment, which stays.
        sql.exec(QStringLiteral("update %1 set MODIFY_DATE = '2001-01-01' where %2 = :ID")
                     .arg(QLatin1String(c.table), QLatin1String(c.key)),
                 key);
        EXPECT_EQ(sql.value(day, key).toDateTime().date(), QDate(2001, 1, 1));

        sql.exec(QString::fromUtf8(c.change), key);
        EXPECT_LE(std::abs(sql.value(age, key).toInt64()), 60);
    }
}

// The office's own company row has key 1, which the program inserts itself; copies start at 2. A
// suite of its own, so that no other test has drawn a company key before.
class CompanyKeyTest : public tolvtest::DbSuite {};

TEST_F(CompanyKeyTest, CopiesStartAtTwoAndKeyOneStaysFree) {
    Sql sql(testDb().db());
    EXPECT_EQ(
        sql.value(QStringLiteral("insert into ZVIT_COMPANY (FULL_NM) values ('ТОВ «Ломбард»') returning ID"))
            .toInt(),
        2);
    EXPECT_EQ(sql.exec(QStringLiteral("insert into ZVIT_COMPANY (ID) values (1)")), 1);
    EXPECT_EQ(sql.value(QStringLiteral("select FULL_NM from ZVIT_COMPANY where ID = 2")).toText(),
              QStringLiteral("ТОВ «Ломбард»"));
}

}  // namespace
