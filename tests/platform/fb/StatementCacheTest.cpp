// Prepared statements a connection keeps for reuse: reuse gives the same results on any transaction,
// the cache stays within its size, and kept statements never stand in the way of metadata changes
// (this connection's own, another's once dropped, a closed connection's).
#include "ScratchDb.h"
#include "platform/fb/Error.h"

using core::Variant;
using fb::Statement;
using fb::Transaction;
using fbtest::ScratchSuite;

namespace {

class StatementCacheTest : public ScratchSuite {
protected:
    void SetUp() override {
        db().dropStatementCache();
        db().setStatementCacheSize(256);
    }

    static int count(Transaction& t, const QString& name) {
        Statement q(&t);
        q.setSql(QStringLiteral("select count(*) from T_REC where NAME = :NAME"));
        q.setParam(QStringLiteral("NAME"), name);
        q.execute();
        EXPECT_TRUE(q.fetch());
        return q.value(0).toInt();
    }
};

TEST_F(StatementCacheTest, AKeptStatementRunsAgainOnAnyTransactionWithItsOwnParameters) {
    exec(QStringLiteral("insert into T_REC (ID, NAME) values (501, 'kept one')"));
    db().dropStatementCache();
    {
        Transaction t(&db());
        EXPECT_EQ(count(t, QStringLiteral("kept one")), 1);
        EXPECT_EQ(db().keptStatements(), 1);
        // Two of one text at once: the second prepares its own, and each keeps its cursor.
        Statement a(&t);
        Statement b(&t);
        for (Statement* q : {&a, &b}) {
            q->setSql(QStringLiteral("select ID from T_REC where ID >= :FROM order by ID"));
            q->setParam(QStringLiteral("FROM"), 501);
            q->execute();
        }
        EXPECT_EQ(db().keptStatements(), 1);
        ASSERT_TRUE(a.fetch());
        ASSERT_TRUE(b.fetch());
        EXPECT_EQ(a.value(0).toInt(), 501);
        EXPECT_EQ(b.value(0).toInt(), 501);
        t.commit();
    }
    EXPECT_EQ(db().keptStatements(), 2);  // one of each text
    Transaction other(&db());
    other.setParams({QStringLiteral("read"), QStringLiteral("concurrency")});
    EXPECT_EQ(count(other, QStringLiteral("kept one")), 1);
    EXPECT_EQ(count(other, QStringLiteral("no such")), 0);
    // Without parameter names a kept statement still binds by position.
    Statement positional(&other);
    positional.setParamCheck(false);
    for (int round = 0; round < 2; ++round) {
        positional.setSql(QStringLiteral("select NAME from T_REC where ID = ?"));
        positional.setParam(0, 501);
        positional.execute();
        ASSERT_TRUE(positional.fetch());
        EXPECT_EQ(positional.value(0).toText(), QStringLiteral("kept one"));
        positional.setSql(QString());
    }
    other.commit();
    exec(QStringLiteral("delete from T_REC where ID = 501"));
}

TEST_F(StatementCacheTest, TheCacheKeepsAtMostItsSizeAndUnprepareKeepsNothing) {
    db().setStatementCacheSize(2);
    Transaction t(&db());
    for (int i = 0; i < 5; ++i) {
        Statement q(&t);
        q.setSql(QStringLiteral("select %1 from RDB$DATABASE").arg(i));
        q.execute();
    }
    EXPECT_EQ(db().keptStatements(), 2);
    db().setStatementCacheSize(0);
    EXPECT_EQ(db().keptStatements(), 0);
    db().setStatementCacheSize(8);
    Statement q(&t);
    q.setSql(QStringLiteral("select 1 from RDB$DATABASE"));
    q.execute();
    q.unprepare();
    EXPECT_EQ(db().keptStatements(), 0);
    t.commit();
}

TEST_F(StatementCacheTest, KeptStatementsNeverBlockAMetadataChange) {
    exec(QStringLiteral("create table T_KEPT (ID integer)"));
    exec(QStringLiteral("insert into T_KEPT values (1)"));
    db().dropStatementCache();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_KEPT")).toInt(), 1);
    ASSERT_EQ(db().keptStatements(), 1);
    // This connection's own change drops what it keeps first.
    exec(QStringLiteral("drop table T_KEPT"));
    EXPECT_THROW(scalar(QStringLiteral("select count(*) from T_KEPT")), fb::Error);

    // Another connection's change waits for nothing once this one drops its cache.
    exec(QStringLiteral("create table T_KEPT2 (ID integer)"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_KEPT2")).toInt(), 0);
    ASSERT_EQ(db().keptStatements(), 1);
    fb::Database second(path());
    second.open();
    db().dropStatementCache();
    {
        Transaction t(&second);
        Statement q(&t);
        q.setSql(QStringLiteral("drop table T_KEPT2"));
        q.execute();
        EXPECT_NO_THROW(t.commit());
    }

    // A closed connection keeps nothing: the table it read goes, and it reads again after reopening.
    exec(QStringLiteral("create table T_KEPT3 (ID integer)"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_KEPT3")).toInt(), 0);
    db().close();
    EXPECT_EQ(db().keptStatements(), 0);
    {
        Transaction t(&second);
        Statement q(&t);
        q.setSql(QStringLiteral("drop table T_KEPT3"));
        q.execute();
        EXPECT_NO_THROW(t.commit());
    }
    db().open();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_REC where ID < 0")).toInt(), 0);
}

}  // namespace
