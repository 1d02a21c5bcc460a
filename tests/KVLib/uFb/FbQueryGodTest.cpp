#include <gtest/gtest.h>

#include <stdexcept>

#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "tests/support/TestDatabase.h"

namespace {

class FbQueryGodTest : public tolvtest::DbSuite {
protected:
    // Rows of the section as a fresh committed reader sees them.
    static int committedRows(const QString& section) {
        ufb::AutoQuery q(QStringLiteral("select count(*) as N from INI where SECTION = :S"), nullptr);
        q->setParam(QStringLiteral("S"), section);
        q->open();
        return q.getFields(QStringLiteral("N")).toInt();
    }
    static void insertRow(fb::Query* q, const QString& section, const QString& name) {
        q->setSql(QStringLiteral("insert into INI (SECTION, NAME, VAL) values (:S, :N, 'x')"));
        q->setParam(QStringLiteral("S"), section);
        q->setParam(QStringLiteral("N"), name);
        q->execSql();
    }
};

TEST_F(FbQueryGodTest, OwnTransactionHasTheStandardParameters) {
    std::unique_ptr<fb::Query> q = udb::createQuery(static_cast<fb::Transaction*>(nullptr));
    ASSERT_TRUE(q->ownsTransaction());
    EXPECT_EQ(q->database(), TolvMain::getZarvelDb());
    EXPECT_EQ(q->transaction()->params(), udb::standardTransactionParams());
    EXPECT_NE(q->transaction(), TolvMain::getChangeTransact());
    EXPECT_FALSE(q->active());
    EXPECT_TRUE(q->sql().isEmpty());
}

TEST_F(FbQueryGodTest, QueryOwnerCommitsOnReleaseAndRollsBackOnError) {
    {
        ufb::AutoQuery q;
        insertRow(q.get(), QStringLiteral("AQ1"), QStringLiteral("a"));
        EXPECT_EQ(committedRows(QStringLiteral("AQ1")), 0);  // not visible before the release
    }
    EXPECT_EQ(committedRows(QStringLiteral("AQ1")), 1);

    try {
        ufb::AutoQuery q;
        insertRow(q.get(), QStringLiteral("AQ2"), QStringLiteral("a"));
        throw std::runtime_error("the payment failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(committedRows(QStringLiteral("AQ2")), 0);
}

TEST_F(FbQueryGodTest, QueryOnACallersTransactionLeavesItAlone) {
    ufb::AutoTransaction tr(TolvMain::getZarvelDb());
    {
        ufb::AutoQuery q(tr.get());
        EXPECT_FALSE(q->ownsTransaction());
        insertRow(q.get(), QStringLiteral("AQ3"), QStringLiteral("a"));
    }
    EXPECT_TRUE(tr->inTransaction());
    EXPECT_EQ(committedRows(QStringLiteral("AQ3")), 0);
    tr->rollback();
    EXPECT_EQ(committedRows(QStringLiteral("AQ3")), 0);
}

TEST_F(FbQueryGodTest, TransactionOwnerCommitsOnReleaseAndRollsBackOnError) {
    {
        ufb::AutoTransaction tr(TolvMain::getZarvelDb());
        ufb::AutoQuery q(tr.get());
        insertRow(q.get(), QStringLiteral("AT1"), QStringLiteral("a"));
    }
    EXPECT_EQ(committedRows(QStringLiteral("AT1")), 1);
    try {
        ufb::AutoTransaction tr(TolvMain::getZarvelDb());
        ufb::AutoQuery q(tr.get());
        insertRow(q.get(), QStringLiteral("AT2"), QStringLiteral("a"));
        throw std::runtime_error("fail");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(committedRows(QStringLiteral("AT2")), 0);
}

TEST_F(FbQueryGodTest, GetFieldsReadsTheCurrentRowAndRefusesAnEmptyResult) {
    for (const char* name : {"a", "b", "c"}) {
        ufb::AutoQuery q;
        insertRow(q.get(), QStringLiteral("GF"), QString::fromLatin1(name));
    }
    ufb::AutoQuery q(QStringLiteral("select NAME from INI where SECTION = 'GF' order by NAME"), nullptr);
    q->open();
    q->next();
    EXPECT_EQ(q.getFields(QStringLiteral("NAME")).toText(), QStringLiteral("b"));

    ufb::AutoQuery empty(QStringLiteral("select NAME from INI where SECTION = 'NONE'"), nullptr);
    empty->open();
    try {
        empty.getFields(QStringLiteral("NAME"));
        FAIL();
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("AutoQuery::getFields() - query empty"));
    }
}

}  // namespace
