// The database built from the schema and seed files: the columns the program addresses, the objects
// it calls, its generators and the rows every new database starts with.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <set>

#include "platform/core/Exception.h"
#include "tests/db/SchemaColumns.h"
#include "tests/db/SchemaDb.h"

namespace {

using tolvtest::Sql;

class SchemaBuildTest : public tolvtest::DbSuite {};

std::set<QString> names(Sql& sql, const QString& select) {
    std::set<QString> result;
    for (const tolvtest::Row& row : sql.rows(select)) result.insert(row[0].toText().trimmed());
    return result;
}

TEST_F(SchemaBuildTest, SchemaAndSeedBuildANewDatabase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    try {
        tolvtest::TestDatabase::build(dir.filePath(QStringLiteral("new.fdb")));
    } catch (const core::Exception& e) {
        FAIL() << e.message().toStdString();
    }
}

TEST_F(SchemaBuildTest, EveryListedColumnExistsInItsTable) {
    Sql sql(testDb().db());
    std::set<std::pair<QString, QString>> present;
    for (const tolvtest::Row& row : sql.rows(QStringLiteral(
             "select trim(RDB$RELATION_NAME), trim(RDB$FIELD_NAME) from RDB$RELATION_FIELDS"))) {
        present.emplace(row[0].toText(), row[1].toText());
    }
    int checked = 0;
    const auto check = [&](const auto& lists) {
        for (const tolvtest::TableColumns& list : lists) {
            for (const char* column : list.columns) {
                ++checked;
                EXPECT_TRUE(present.count({QString::fromLatin1(list.table), QString::fromLatin1(column)}))
                    << list.list << ": " << list.table << "." << column << " is missing";
            }
        }
    };
    check(tolvtest::programPositionLists());
    check(tolvtest::kNamedColumns);
    check(tolvtest::kExchangeColumns);
    EXPECT_GT(checked, 300);  // the lists were really walked
}

TEST_F(SchemaBuildTest, OnlyTheProgramsRoutinesRemain) {
    Sql sql(testDb().db());
    // The trigger makers are building tools; left behind they would be callable by every user.
    EXPECT_EQ(names(sql, QStringLiteral("select RDB$PROCEDURE_NAME from RDB$PROCEDURES "
                                        "where coalesce(RDB$SYSTEM_FLAG, 0) = 0")),
              std::set<QString>{QStringLiteral("WRITE_LOG")});
    EXPECT_EQ(
        names(sql, QStringLiteral("select RDB$FUNCTION_NAME from RDB$FUNCTIONS "
                                  "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$PACKAGE_NAME is null")),
        (std::set<QString>{QStringLiteral("ROUNDTO"), QStringLiteral("UPCASE")}));
}

TEST_F(SchemaBuildTest, GeneratorsAdvanceByOneAsTheProgramReadsThem) {
    Sql sql(testDb().db());
    for (const char* gen : tolvtest::kGenerators) {
        SCOPED_TRACE(gen);
        // The statement of the program's key reader, to the letter.
        const QString next = QStringLiteral("select GEN_ID(%1,1)from rdb$database").arg(QLatin1String(gen));
        qint64 first = 0;
        ASSERT_NO_THROW(first = sql.value(next).toInt64());
        EXPECT_EQ(sql.value(next).toInt64(), first + 1);
    }
}

// Fixed directories: their keys, and a name for every key in both languages.
TEST_F(SchemaBuildTest, FixedDirectoriesHaveNamesInBothLanguages) {
    struct Case {
        const char* table;
        const char* key;
        const char* name;
        std::vector<int> keys;
    };
    const Case cases[] = {
        {"CONTRACT_STATES", "STATE_ID", "STATE_NAME", {0, 1, 2, 3}},
        {"DEPOSIT_TYPES", "ID", "NAME", {1, 2, 3, 4, 5, 6, 7}},
        {"STORAGE_TYPES", "ID", "NAME", {1, 2, 3}},
        {"WARRANT_TYPES", "ID", "W_TYPE", {0, 1}},
        {"AGENTS_GROUP", "GROUP_ID", "GROUP_NAME", {0, 1}},
    };
    Sql sql(testDb().db());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const auto rows =
            sql.rows(QStringLiteral("select T.%2, L1.%3, L2.%3 from %1 T "
                                    "left join %1_LANGS L1 on L1.ID_REC = T.%2 and L1.ID_LANG = 1 "
                                    "left join %1_LANGS L2 on L2.ID_REC = T.%2 and L2.ID_LANG = 2 "
                                    "order by 1")
                         .arg(QLatin1String(c.table), QLatin1String(c.key), QLatin1String(c.name)));
        std::vector<int> keys;
        for (const tolvtest::Row& row : rows) {
            keys.push_back(row[0].toInt());
            EXPECT_FALSE(row[1].toText().isEmpty()) << "key " << row[0].toInt() << ", language 1";
            EXPECT_FALSE(row[2].toText().isEmpty()) << "key " << row[0].toInt() << ", language 2";
        }
        EXPECT_EQ(keys, c.keys);
        // No name of a language the program does not know.
        EXPECT_EQ(sql.count(QStringLiteral("select count(*) from %1_LANGS where ID_LANG not in (1, 2)")
                                .arg(QLatin1String(c.table))),
                  0);
    }
    EXPECT_EQ(sql.value(QStringLiteral(
                            "select STATE_NAME from CONTRACT_STATES_LANGS where ID_REC = 3 and ID_LANG = 2"))
                  .toText(),
              QStringLiteral("На реалізації"));
}

TEST_F(SchemaBuildTest, PledgeTypesAndOrderTemplatesCarryTheirCodes) {
    Sql sql(testDb().db());
    std::vector<QString> codes;
    for (const tolvtest::Row& row : sql.rows(QStringLiteral("select CODE from DEPOSIT_TYPES order by ID"))) {
        codes.push_back(row[0].toText());
    }
    EXPECT_EQ(codes, (std::vector<QString>{"GOLD", "TECH", "AUTO", "HOUS", "PAPE", "RIGH", "ELSE"}));

    std::map<QString, int> templates;
    const auto rows = sql.rows(QStringLiteral(
        "select W.CODE, W.W_TYPE, (select count(*) from DIR_WARRANTES_LANGS L "
        "where L.ID_REC = W.ID and L.ID_LANG in (1, 2) and L.FOUNDATION <> '' and L.OPERATION_SUBJECT <> '') "
        "from DIR_WARRANTES W"));
    for (const tolvtest::Row& row : rows) {
        const QString code = row[0].toText();
        templates[code] = row[1].toInt();
        EXPECT_EQ(row[2].toInt(), 2) << code.toStdString() << " lacks texts";
    }
    // Every automatic order is made from its template; expense only for the two EXPENSE_ codes.
    EXPECT_EQ(templates, (std::map<QString, int>{{"RECEIPT_DEPOSIT", 0},
                                                 {"RECEIPT_PERCENT", 0},
                                                 {"RECEIPT_PENALTY", 0},
                                                 {"RECEIPT_SALE", 0},
                                                 {"RECEIPT_SERVICE", 0},
                                                 {"EXPENSE_SERVICE", 1},
                                                 {"RECEIPT_STORAGE", 0},
                                                 {"EXPENSE_DEPOSIT", 1}}));
}

TEST_F(SchemaBuildTest, TheOfficeStartsWithItsBranchVersionAndManager) {
    Sql sql(testDb().db());
    const auto branches = sql.rows(
        QStringLiteral("select ORDER_NUM_AUTOINC, WNT_RECEIPT_NUM_AUTOINC, WNT_EXPENSE_NUM_AUTOINC, "
                       "REG_RECEIPT_NUM_AUTOINC, "
                       "REG_EXPENSE_NUM_AUTOINC, ACT_AUTOINC, GUID from DIR_FILIAL where IS_CURENT = 1"));
    ASSERT_EQ(branches.size(), 1u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(branches[0][i].toInt(), 1) << "counter " << i;
    EXPECT_EQ(branches[0][6].toText().size(), 38);  // "{" + 36 + "}"

    EXPECT_EQ(
        sql.value(QStringLiteral("select VER_NUM from DB_VERSION where id=(select max(id) from DB_VERSION)"))
            .toText(),
        QStringLiteral("1.0.0.0"));

    EXPECT_EQ(sql.value(QStringLiteral("select GROUP_ID from AGENTS where AGENT_LOGIN = 'MANAGER'")).toInt(),
              1);
    // The role lookup of the program: both roles, each with the right to pass it on.
    EXPECT_EQ(names(sql, QStringLiteral(
                             "select RDB$RELATION_NAME from RDB$USER_PRIVILEGES "
                             "where RDB$PRIVILEGE = 'M' and RDB$USER = 'MANAGER' and RDB$GRANT_OPTION > 0")),
              (std::set<QString>{QStringLiteral("AGENTROLE"), QStringLiteral("MASTERROLE")}));

    EXPECT_EQ(sql.count(QStringLiteral("select count(*) from LOG")), 0);
}

// Order texts are never cut by the program, and the passport date is typed freely.
TEST_F(SchemaBuildTest, LongCyrillicTextsRoundTrip) {
    Sql sql(testDb().db());
    const tolvtest::Params row{{"ID", tolvtest::freshKey()},
                               {"TEXT", QString(4000, u'ї') + QStringLiteral("Дем'яненко")},
                               {"DATE", QStringLiteral("п'яте травня 1999 р.")}};
    sql.exec(QStringLiteral("insert into WARRANTES (ID, FOUNDATION, OPERATION_SUBJECT, ADDITION) "
                            "values (:ID, :TEXT, :TEXT, :TEXT)"),
             row);
    sql.exec(QStringLiteral("insert into CLIENTS (CLIENT_ID, CLIENT_NAME, CLIENT_PASSPORT_DATE) "
                            "values (:ID, 'Мар''яненко', :DATE)"),
             row);
    const auto texts = sql.rows(
        QStringLiteral("select FOUNDATION, OPERATION_SUBJECT, ADDITION from WARRANTES where ID = :ID"), row);
    ASSERT_EQ(texts.size(), 1u);
    for (const core::Variant& text : texts[0])
        EXPECT_EQ(text.toText(), row.at(QStringLiteral("TEXT")).toText());
    EXPECT_EQ(sql.value(QStringLiteral("select CLIENT_PASSPORT_DATE from CLIENTS where CLIENT_ID = :ID"), row)
                  .toText(),
              row.at(QStringLiteral("DATE")).toText());
}

TEST_F(SchemaBuildTest, DefaultSettingsAreStored) {
    struct Case {
        const char* section;
        const char* name;
        const char16_t* value;
    };
    const Case cases[] = {
        {"DEFAULTS", "WarrantCalculationMethod", u"1"},
        {"DEFAULTS", "OrderNumberTemplate", u"[POINT_NO].[YY].[AUTOINC]"},
        {"DEFAULTS", "ValutaName", u"грн"},
        {"PERMISSION", "CanAgentOpIncBaseSum", u"1"},
        {"PERMISSION", "CanAgentMakeActs", u"0"},
        {"CompanyInfo", "VATValue", u"20"},
        {"CompanyInfo", "isCompanyVATPayer", u"1"},
    };
    Sql sql(testDb().db());
    for (const Case& c : cases) {
        EXPECT_EQ(sql.value(QStringLiteral("select VAL from INI where SECTION = :S and NAME = :N"),
                            {{"S", c.section}, {"N", c.name}})
                      .toText(),
                  QString::fromUtf16(c.value))
            << c.section << "/" << c.name;
    }
}

}  // namespace
