// What a delete takes with it, what it leaves, and what it is refused for.

#include <gtest/gtest.h>

#include "platform/fb/Error.h"
#include "platform/fb/Statement.h"
#include "tests/db/SchemaDb.h"

namespace {

using tolvtest::Sql;

class CascadeTest : public tolvtest::DbSuite {
protected:
    // Keys :K0 ... of the case and the current branch :F.
    static tolvtest::Params caseParams(Sql& sql) {
        tolvtest::Params params = tolvtest::freshKeys(12);
        params["F"] = sql.value(QStringLiteral("select ID from DIR_FILIAL where IS_CURENT = 1"));
        return params;
    }
};

struct DeleteCase {
    const char* what;
    std::vector<const char*> rows;  // the row to delete and its neighbours
    const char* remove;
    std::vector<const char*> gone;    // counts that the delete brings to 0
    std::vector<const char*> kept;    // counts that the delete leaves as they were
    const char* refusedBy = nullptr;  // the key that refuses the delete: then nothing goes
};

// Services of every event, :K5 for event 0 up to :K9 for event 4.
const std::vector<const char*> kServices = {
    "insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (:K5, 'Оцінка майна', 0)",
    "insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (:K6, 'Довідка при погашенні', 1)",
    "insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (:K7, 'Переоцінка при збільшенні', 2)",
    "insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (:K8, 'Зняття з реалізації', 3)",
    "insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (:K9, 'Закриття договору', 4)",
};

std::vector<const char*> operator+(std::vector<const char*> a, const std::vector<const char*>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const char* const kContract =
    "insert into PENALTY_CONTRACTS (CONTRACT_ID, CLIENT_ID, CONTRACT_DATE, CONTRACT_NUM, FILIAL_ID) "
    "values (:K0, -1, current_date, '1.25.7', :F)";

const DeleteCase kDeleteCases[] = {
    {"contract",
     kServices +
         std::vector<const char*>{
             kContract,
             "insert into PENALTY_DEPOSITS (CONTRACT_ID, DEPOSIT_SUM, PENALTY_DAYS, DEPOSIT_TYPE) values "
             "(:K0, 100000, 30, 1)",
             "insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME) values (:K0, 'Мар''яненко Василь')",
             "insert into SUBJECTS (ID, ID_CONTRACT, NAME) values (:K2, :K0, 'Кільце')",
             "insert into SUBJECTS_GOLD (ID, PROB_NAME, WEIGHT) values (:K2, '585', 3.5)",
             "insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_DATE, OP_SUM) values (:K1, :K0, "
             "current_date, 5000)",
             "insert into SALES (CONTRACT_ID, SALE_SUM) values (:K0, 120000)",
             "insert into TOSALE (CONTRACT_ID, TOSALE_DATE) values (:K0, current_date)",
             "insert into ZAYAVLENIYA (CONTRACT_ID, DATE_TO) values (:K0, current_date + 10)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K5, :K0, 2000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K8, :K0, 2000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K6, :K1, 2000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K7, :K1, 2000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K9, :K1, 2000)",
             // Event 4 belongs to an operation: this row is not the contract's although the number is.
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K9, :K0, 2000)",
             "insert into WARRANTES (ID_CONTRACT, ID_OPERATION, ID_FILIAL, W_TYPE) values (:K0, null, :F, 1)",
             "insert into WARRANTES (ID_CONTRACT, ID_OPERATION, ID_FILIAL, W_TYPE) values (:K0, :K1, :F, 0)",
             // An imported order that still carries the branch's contract id.
             "insert into WARRANTES (ID_CONTRACT, ID_FILIAL, W_TYPE) values (:K0, :K10, 0)",
             // Another contract with an operation, services and an order; and a service not yet stored.
             "insert into PENALTY_CONTRACTS (CONTRACT_ID, CONTRACT_DATE, FILIAL_ID) values (:K3, "
             "current_date, :F)",
             "insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_DATE) values (:K4, :K3, current_date)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K5, :K3, 2000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K6, :K4, 2000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K5, -1, 2000)",
             "insert into WARRANTES (ID_CONTRACT, ID_FILIAL, W_TYPE) values (:K3, :F, 1)",
         },
     "delete from PENALTY_CONTRACTS where CONTRACT_ID = :K0",
     {
         "select count(*) from PENALTY_DEPOSITS where CONTRACT_ID = :K0",
         "select count(*) from CONTRACT_IMPORT where CONTRACT_ID = :K0",
         "select count(*) from SUBJECTS where ID_CONTRACT = :K0",
         "select count(*) from SUBJECTS_GOLD where ID = :K2",
         "select count(*) from PENALTY_OPERATIONS where DEPOSIT_ID = :K0",
         "select count(*) from SALES where CONTRACT_ID = :K0",
         "select count(*) from TOSALE where CONTRACT_ID = :K0",
         "select count(*) from ZAYAVLENIYA where CONTRACT_ID = :K0",
         "select count(*) from ADD_SERVICES where ID_OBJ = :K0 and ID_SERVICE in (:K5, :K8)",
         "select count(*) from ADD_SERVICES where ID_OBJ = :K1",
         "select count(*) from WARRANTES where ID_CONTRACT = :K0 and ID_FILIAL = :F",
     },
     {
         "select count(*) from ADD_SERVICES where ID_OBJ = :K0 and ID_SERVICE = :K9",
         "select count(*) from WARRANTES where ID_CONTRACT = :K0 and ID_FILIAL = :K10",
         "select count(*) from PENALTY_CONTRACTS where CONTRACT_ID = :K3",
         "select count(*) from PENALTY_OPERATIONS where OP_ID = :K4",
         "select count(*) from ADD_SERVICES where ID_OBJ in (:K3, :K4, -1)",
         "select count(*) from WARRANTES where ID_CONTRACT = :K3",
     }},
    {"operation",
     kServices +
         std::vector<const char*>{
             kContract,
             "insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_DATE, OP_SUM) values (:K1, :K0, "
             "current_date, -5000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K6, :K1, 2000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K7, :K1, 2000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K9, :K1, 2000)",
             // Event 0 belongs to a contract: this row is not the operation's although the number is.
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K5, :K1, 2000)",
             "insert into ADD_SERVICES (ID_SERVICE, ID_OBJ, PRICE) values (:K5, :K0, 2000)",
             "insert into WARRANTES (ID_CONTRACT, ID_OPERATION, ID_FILIAL, W_TYPE) values (:K0, :K1, :F, 1)",
         },
     "delete from PENALTY_OPERATIONS where OP_ID = :K1",
     {"select count(*) from ADD_SERVICES where ID_OBJ = :K1 and ID_SERVICE in (:K6, :K7, :K9)"},
     {
         "select count(*) from ADD_SERVICES where ID_OBJ = :K1 and ID_SERVICE = :K5",
         "select count(*) from ADD_SERVICES where ID_OBJ = :K0",
         // The regeneration of the day deletes the operation's orders itself.
         "select count(*) from WARRANTES where ID_OPERATION = :K1",
         "select count(*) from PENALTY_CONTRACTS where CONTRACT_ID = :K0",
     }},
    {"item",
     {kContract, "insert into SUBJECTS (ID, ID_CONTRACT, NAME) values (:K1, :K0, 'Сережки')",
      "insert into SUBJECTS_GOLD (ID, PROB_NAME, WEIGHT, WEIGHT_GEM) values (:K1, '750', 4.1, 0.3)",
      "insert into SUBJECTS (ID, ID_CONTRACT, NAME) values (:K2, :K0, 'Ланцюжок')",
      "insert into SUBJECTS_GOLD (ID, PROB_NAME, WEIGHT) values (:K2, '585', 5.2)"},
     "delete from SUBJECTS where ID = :K1",
     {"select count(*) from SUBJECTS_GOLD where ID = :K1"},
     {"select count(*) from SUBJECTS_GOLD where ID = :K2",
      "select count(*) from PENALTY_CONTRACTS where CONTRACT_ID = :K0"}},
    {"gold tariff",
     {"insert into DIR_DRAGME_TYPE (ID, NAME) values (:K3, 'Золото')",
      "insert into GOLD_TARIF (ID, PROB_NAME, PRICE_PER_GRAM, DEPOSIT_PER_GRAM, ID_ME_TYPE) "
      "values (:K4, '585', 180000, 150000, :K3)",
      kContract, "insert into SUBJECTS (ID, ID_CONTRACT, NAME) values (:K1, :K0, 'Кільце')",
      "insert into SUBJECTS_GOLD (ID, ID_PROB, PROB_NAME, WEIGHT) values (:K1, :K4, '585', 3.5)"},
     "delete from GOLD_TARIF where ID = :K4",
     {"select count(*) from SUBJECTS_GOLD where ID_PROB = :K4"},
     {"select count(*) from SUBJECTS_GOLD where ID = :K1 and PROB_NAME = '585'"}},
    {"act",
     {"insert into ACT (ID, NUM, ACT_DATE, ID_FILIAL) values (:K0, '7', current_date, :F)",
      "insert into ACT_SUBJ (ID, ID_ACT, ID_CONTRACT, ID_SUBJ_CONTR) values (:K1, :K0, :K4, :K5)",
      "insert into ACT_SUBJ_GOLD (ID, PROBE_NAME, WEIGHT, QUANTITY) values (:K1, '585', 3.5, 1)",
      "insert into ACT_IMPORT (ID, WARE_FROM, WARE_TO) values (:K0, 'Сейф філії', 'Центральний склад')",
      "insert into ACT (ID, NUM, ACT_DATE, ID_FILIAL) values (:K2, '8', current_date, :F)",
      "insert into ACT_SUBJ (ID, ID_ACT) values (:K3, :K2)"},
     "delete from ACT where ID = :K0",
     {"select count(*) from ACT_SUBJ where ID_ACT = :K0", "select count(*) from ACT_SUBJ_GOLD where ID = :K1",
      "select count(*) from ACT_IMPORT where ID = :K0"},
     {"select count(*) from ACT_SUBJ where ID_ACT = :K2"}},
    {"commission",
     {"insert into COMMISSION_HEADER (ID, TABLE_DOC, ID_DOC, CODE, ID_FILIAL) values (:K0, 'ACT', :K3, "
      "'GOLD', :F)",
      "insert into COMMISSION (ID, ID_HEADER, NAME, POST, SORT_ORDER) values (:K1, :K0, 'Іваненко І. І.', "
      "'Голова', 1)",
      "insert into COMMISSION (ID, ID_HEADER, NAME, POST, SORT_ORDER) values (:K2, :K0, 'Петренко О. І.', "
      "'Касир', 2)"},
     "delete from COMMISSION_HEADER where ID = :K0",
     {"select count(*) from COMMISSION where ID_HEADER = :K0"},
     {}},
    {"regulatory report",
     {"insert into ZVIT_REPORTS (ID, REP_TYPE, B_DATE, E_DATE) values (:K0, 2, '2024-01-01', '2024-03-31')",
      "insert into ZVIT_COMPANY (ID_REPORT, FULL_NM) values (:K0, 'ТОВ «Ломбард»')",
      "insert into ZVIT_BALANCE (ID_REPORT) values (:K0)",
      "insert into ZVIT_RESULTS (ID_REPORT) values (:K0)",
      "update or insert into ZVIT_COMPANY (ID) values (1) matching (ID)"},
     "delete from ZVIT_REPORTS where ID = :K0",
     {"select count(*) from ZVIT_COMPANY where ID_REPORT = :K0",
      "select count(*) from ZVIT_BALANCE where ID_REPORT = :K0",
      "select count(*) from ZVIT_RESULTS where ID_REPORT = :K0"},
     {"select count(*) from ZVIT_COMPANY where ID = 1"}},
    {"export history",
     {"insert into EXPORT_HISTORY (ID, DATE_EXPORT, ID_FILIAL) values (:K0, current_timestamp, :F)",
      "insert into EXPORT_HISTORY_ITEMS (EXPORT_ID, ITEM, ITEM_TYPE, ID_ITEM) values (:K0, '1.25.7', 0, :K1)",
      "insert into EXPORT_HISTORY_ITEMS (EXPORT_ID, ITEM, ITEM_TYPE, ID_ITEM) values (:K0, '12', 3, :K2)"},
     "delete from EXPORT_HISTORY where ID = :K0",
     {"select count(*) from EXPORT_HISTORY_ITEMS where EXPORT_ID = :K0"},
     {}},
    {"import history",
     {"insert into IMPORT_HISTORY (ID, DATE_IMPORT, ID_FILIAL) values (:K0, current_timestamp, :F)",
      "insert into IMPORT_HISTORY_ITEMS (IMPORT_ID, ITEM, ITEM_TYPE, ID_ITEM) values (:K0, '2.25.1', 0, "
      ":K1)"},
     "delete from IMPORT_HISTORY where ID = :K0",
     {"select count(*) from IMPORT_HISTORY_ITEMS where IMPORT_ID = :K0"},
     {}},
    // The branch delete cleans what it must itself; the rest stays behind, and no key stops it.
    {"branch without contracts",
     {"insert into DIR_FILIAL (ID, NUMBER, NAME, IS_IMPORT) values (:K0, :K0, 'Філія на Подолі', 1)",
      "insert into DIR_EXCHANGE (ID_FILIAL, USD_EXCHANGE, DATA) values (:K0, 412500, current_date)",
      "insert into DIR_CORRESP (ID_FILIAL, TABLE_NAME, ID_IN_FILIAL, ID_IN_OFFICE) values (:K0, "
      "'GOLD_TARIF', 3, 1)",
      "insert into ACT (ID, NUM, ACT_DATE, ID_FILIAL) values (:K1, '1', current_date, :K0)",
      "insert into COMMISSION_HEADER (ID, TABLE_DOC, ID_DOC, ID_FILIAL) values (:K2, 'ACT', :K1, :K0)",
      "insert into WARRANTES (ID_FILIAL, W_TYPE, W_SUM) values (:K0, 0, 100)",
      "insert into REGISTERS (ID, ID_FILIAL, R_TYPE, R_NUMBER, R_DATE) values (:K3, :K0, 0, -1, "
      "current_date)"},
     "delete from DIR_FILIAL where ID = :K0",
     {"select count(*) from DIR_FILIAL where ID = :K0"},
     {"select count(*) from DIR_EXCHANGE where ID_FILIAL = :K0",
      "select count(*) from DIR_CORRESP where ID_FILIAL = :K0",
      "select count(*) from ACT where ID_FILIAL = :K0",
      "select count(*) from COMMISSION_HEADER where ID_FILIAL = :K0",
      "select count(*) from WARRANTES where ID_FILIAL = :K0",
      "select count(*) from REGISTERS where ID_FILIAL = :K0"}},
    {"branch with a contract",
     {"insert into DIR_FILIAL (ID, NUMBER, NAME, IS_IMPORT) values (:K0, :K0, 'Філія на Троєщині', 1)",
      "insert into PENALTY_CONTRACTS (CONTRACT_ID, CONTRACT_DATE, FILIAL_ID) values (:K1, current_date, "
      ":K0)"},
     "delete from DIR_FILIAL where ID = :K0",
     {},
     {"select count(*) from DIR_FILIAL where ID = :K0",
      "select count(*) from PENALTY_CONTRACTS where FILIAL_ID = :K0"},
     "FK_PENALTY_CONTRACTS_FILIAL"},
};

TEST_F(CascadeTest, DeletesTakeTheirDependentRowsAndLeaveTheRest) {
    for (const DeleteCase& c : kDeleteCases) {
        SCOPED_TRACE(c.what);
        Sql sql(testDb().db());
        const tolvtest::Params params = caseParams(sql);
        for (const char* row : c.rows) ASSERT_NO_THROW(sql.exec(QString::fromUtf8(row), params)) << row;

        std::vector<int> keptBefore;
        for (const char* count : c.gone) {
            EXPECT_GT(sql.count(QString::fromUtf8(count), params), 0) << "nothing to delete: " << count;
        }
        for (const char* count : c.kept) {
            keptBefore.push_back(sql.count(QString::fromUtf8(count), params));
            EXPECT_GT(keptBefore.back(), 0) << "nothing to keep: " << count;
        }

        QString text;
        const long refusal = sql.refusal(QString::fromUtf8(c.remove), params, &text);
        if (c.refusedBy) {
            EXPECT_EQ(refusal, fb::gds::ForeignKey);
            EXPECT_TRUE(text.contains(QLatin1String(c.refusedBy))) << text.toStdString();
        } else {
            EXPECT_EQ(refusal, 0) << text.toStdString();
        }

        for (const char* count : c.gone) EXPECT_EQ(sql.count(QString::fromUtf8(count), params), 0) << count;
        for (size_t i = 0; i < c.kept.size(); ++i) {
            EXPECT_EQ(sql.count(QString::fromUtf8(c.kept[i]), params), keptBefore[i]) << c.kept[i];
        }
    }
}

// The parcel delete frees its acts first and removes its items after the parcel row.
TEST_F(CascadeTest, AParcelIsDeletedOnceItsActsAreFreed) {
    Sql sql(testDb().db());
    const tolvtest::Params params = caseParams(sql);
    sql.exec(
        QStringLiteral("insert into PARCEL (ID, NUM_PARCEL, DATE_PARCEL) values (:K0, '3/25', current_date)"),
        params);
    sql.exec(QStringLiteral("insert into ACT (ID, NUM, ACT_DATE, ID_FILIAL, ID_PARCEL) values (:K1, '9', "
                            "current_date, :F, :K0)"),
             params);
    sql.exec(QStringLiteral("insert into PARSEL_SUBJ_GOLD (ID, ID_PARCEL, ID_ACT, WEIGHT, PACK_NUM) values "
                            "(:K2, :K0, :K1, 3.5, 1)"),
             params);

    const QString remove = QStringLiteral("delete from PARCEL where ID = :K0");
    EXPECT_EQ(sql.refusal(remove, params), fb::gds::ForeignKey);
    EXPECT_EQ(sql.exec(QStringLiteral("update ACT set ID_PARCEL=NULL where ID_PARCEL=:K0"), params), 1);
    EXPECT_EQ(sql.exec(remove, params), 1);
    EXPECT_EQ(sql.exec(QStringLiteral("delete from PARSEL_SUBJ_GOLD where ID_PARCEL = :K0"), params), 1);
    EXPECT_EQ(sql.count(QStringLiteral("select count(*) from ACT where ID = :K1"), params), 1);
}

TEST_F(CascadeTest, NewReportRowsHoldZeroInEveryAmount) {
    Sql sql(testDb().db());
    for (const char* table : {"ZVIT_BALANCE", "ZVIT_RESULTS"}) {
        SCOPED_TRACE(table);
        const tolvtest::Params key{
            {"ID", sql.value(QStringLiteral("insert into %1 (ID_REPORT) values (null) returning ID")
                                 .arg(QLatin1String(table)))}};
        fb::Statement row(&sql.transaction());
        row.setSql(QStringLiteral("select * from %1 where ID = :ID").arg(QLatin1String(table)));
        row.setParam(QStringLiteral("ID"), key.at(QStringLiteral("ID")));
        row.execute();
        ASSERT_TRUE(row.fetch());
        int amounts = 0;
        for (int i = 0; i < row.fieldCount(); ++i) {
            const QString name = row.fieldInfo(i).name;
            if (name == QLatin1String("ID") || name == QLatin1String("ID_REPORT")) continue;
            ++amounts;
            ASSERT_FALSE(row.value(i).isNull()) << name.toStdString();
            EXPECT_EQ(row.value(i).toDouble(), 0.0) << name.toStdString();
        }
        EXPECT_GT(amounts, 40);
    }
}

TEST_F(CascadeTest, RatesRepeatAndBranchNumbersDoNot) {
    Sql sql(testDb().db());
    const tolvtest::Params params = caseParams(sql);
    // The branch import adds every line of a file, also a day it already has.
    const QString rate = QStringLiteral(
        "insert into DIR_EXCHANGE (ID_FILIAL, USD_EXCHANGE, DATA) values (null, 413800, '2024-02-29')");
    EXPECT_EQ(sql.exec(rate), 1);
    EXPECT_EQ(sql.exec(rate), 1);
    EXPECT_EQ(sql.count(QStringLiteral(
                  "select count(*) from DIR_EXCHANGE where ID_FILIAL is null and DATA = '2024-02-29'")),
              2);

    sql.exec(QStringLiteral("insert into DIR_FILIAL (ID, NUMBER, NAME) values (:K0, :K2, 'Філія 1')"),
             params);
    QString text;
    EXPECT_EQ(
        sql.refusal(QStringLiteral("insert into DIR_FILIAL (ID, NUMBER, NAME) values (:K1, :K2, 'Філія 2')"),
                    params, &text),
        fb::gds::UniqueKey);
    EXPECT_TRUE(text.contains(QLatin1String("UNQ_DIRFILIAL_NUM"))) << text.toStdString();
}

}  // namespace
