#include <gtest/gtest.h>

#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/fb/Statement.h"
#include "tests/support/TestDatabase.h"

namespace {

TEST(MainDbTest, NoDatabaseBeforeOneIsInstalled) {
    EXPECT_THROW(TolvMain::getZarvelDb(), core::Exception);
    EXPECT_THROW(TolvMain::getChangeTransact(), core::Exception);
}

class MainDbSuite : public tolvtest::DbSuite {};

TEST_F(MainDbSuite, FixtureInstallsAFreshProgramDatabase) {
    fb::Database* db = TolvMain::getZarvelDb();
    ASSERT_EQ(db, &testDb().db());
    EXPECT_TRUE(db->connected());
    fb::Transaction* change = TolvMain::getChangeTransact();
    EXPECT_EQ(change->defaultAction(), fb::TransactionAction::Rollback);
    EXPECT_EQ(change->params(), QStringList({QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                             QStringLiteral("nowait")}));

    // The schema is in place: the settings table and the database's own upper-casing.
    fb::Statement q(change);
    q.setSql(QStringLiteral("insert into INI (SECTION, NAME, VAL) values ('TEST_SECTION', 'percent', :V)"));
    q.setParam(QStringLiteral("V"), QStringLiteral("20.5"));
    q.execute();
    q.setSql(QStringLiteral("select VAL, UPCASE('ґанок') from INI where SECTION = 'TEST_SECTION' and NAME = 'percent'"));
    q.execute();
    ASSERT_TRUE(q.fetch());
    EXPECT_EQ(q.value(0).toText(), QStringLiteral("20.5"));
    EXPECT_EQ(q.value(1).toText(), QStringLiteral("ҐАНОК"));
    change->rollback();
}

}  // namespace
