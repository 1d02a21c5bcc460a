// The demo database a new user opens: schema, seed and demo files together.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <set>

#include "platform/core/Exception.h"
#include "tests/db/SchemaDb.h"

namespace {

using tolvtest::Sql;

class DemoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<QTemporaryDir>();
        const QString path = dir_->filePath(QStringLiteral("demo.fdb"));
        try {
            tolvtest::TestDatabase::build(path, true);
            // As the first login of a new database: the seed's manager.
            db_ = tolvtest::connectAs(path, QStringLiteral("MANAGER"), QStringLiteral("MASTERROLE"));
        } catch (const core::Exception& e) {
            buildError_ = e.message();
        }
    }
    static void TearDownTestSuite() {
        db_.reset();
        dir_.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(db_) << "the demo database did not build: " << buildError_.toStdString();
    }

    static inline std::unique_ptr<QTemporaryDir> dir_;
    static inline std::unique_ptr<fb::Database> db_;
    static inline QString buildError_;
};

TEST_F(DemoTest, TheContractListShowsEveryStateInBothLanguages) {
    Sql sql(*db_);
    const int contracts = sql.count(QStringLiteral("select count(*) from PENALTY_CONTRACTS"));
    for (int lang : {1, 2}) {
        SCOPED_TRACE(lang);
        // The list joins a contract to its state and pledge type in the interface language; a
        // missing name would hide the contract.
        const auto rows = sql.rows(
            QStringLiteral(
                "select PC.CONTRACT_STATE, CS.STATE_NAME, DT.NAME, C.CLIENT_NAME "
                "from PENALTY_CONTRACTS PC "
                "join PENALTY_DEPOSITS PD on PD.CONTRACT_ID = PC.CONTRACT_ID "
                "join CONTRACT_STATES_LANGS CS on CS.ID_REC = PC.CONTRACT_STATE and CS.ID_LANG = :LANG "
                "join DEPOSIT_TYPES_LANGS DT on DT.ID_REC = PD.DEPOSIT_TYPE and DT.ID_LANG = :LANG "
                "left join CLIENTS C on C.CLIENT_ID = PC.CLIENT_ID "
                "order by PC.CONTRACT_DATE desc, PC.CONTRACT_ID desc"),
            {{"LANG", lang}});
        EXPECT_EQ(static_cast<int>(rows.size()), contracts);
        std::set<int> states;
        for (const tolvtest::Row& row : rows) {
            states.insert(row[0].toInt());
            EXPECT_FALSE(row[1].toText().isEmpty());
            EXPECT_FALSE(row[2].toText().isEmpty());
            EXPECT_FALSE(row[3].toText().isEmpty());
        }
        EXPECT_EQ(states, (std::set<int>{0, 1, 2, 3}));
    }
}

TEST_F(DemoTest, NamesWithApostrophesReadBackUnchanged) {
    Sql sql(*db_);
    for (const char16_t* name : {u"Дем'яненко Олександра Вікторівна", u"Мар'яненко Василь Степанович"}) {
        const QString text = QString::fromUtf16(name);
        EXPECT_EQ(sql.count(QStringLiteral("select count(*) from CLIENTS C join PENALTY_CONTRACTS PC "
                                           "on PC.CLIENT_ID = C.CLIENT_ID where C.CLIENT_NAME = :N"),
                            {{"N", text}}),
                  1)
            << text.toStdString();
        EXPECT_EQ(sql.value(QStringLiteral(
                                "select CLIENT_NAME from CLIENTS where UPCASE(CLIENT_NAME) starting with :N"),
                            {{"N", text.left(10).toUpper()}})
                      .toText(),
                  text);
    }
}

// Every day with money moved has its one day marker, and the day's expense orders pay out exactly
// the loans of the contracts made that day.
TEST_F(DemoTest, EveryDayHasItsMarkerAndItsLoansPaidOut) {
    Sql sql(*db_);
    const auto days = sql.rows(QStringLiteral(
        "select D, "
        "(select count(*) from REGISTERS R where R.R_DATE = D and R.R_TYPE = 0 and R.R_NUMBER = -1), "
        "(select coalesce(sum(W.W_SUM), 0) from WARRANTES W where W.W_DATE = D and W.W_TYPE = 1), "
        "(select coalesce(sum(PD.DEPOSIT_SUM), 0) from PENALTY_DEPOSITS PD join PENALTY_CONTRACTS PC "
        "on PC.CONTRACT_ID = PD.CONTRACT_ID where PC.CONTRACT_DATE = D) "
        "from (select CONTRACT_DATE as D from PENALTY_CONTRACTS union select OP_DATE from "
        "PENALTY_OPERATIONS)"));
    ASSERT_GE(days.size(), 6u);
    for (const tolvtest::Row& day : days) {
        const std::string date = day[0].toDateTime().date().toString(Qt::ISODate).toStdString();
        EXPECT_EQ(day[1].toInt(), 1) << date;
        EXPECT_EQ(day[2].toInt64(), day[3].toInt64()) << date;
    }
    EXPECT_GT(sql.count(QStringLiteral("select count(*) from WARRANTES where W_TYPE = 1 and W_SUM > 0")), 0);
    EXPECT_EQ(sql.count(QStringLiteral("select count(*) from LOG")), 0);
}

}  // namespace
