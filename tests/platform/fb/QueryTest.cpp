#include "ScratchDb.h"
#include "platform/fb/Query.h"

using fbtest::ScratchSuite;

namespace {

class QueryTest : public ScratchSuite {
protected:
    static void SetUpTestSuite() {
        ScratchSuite::SetUpTestSuite();
        fb::runScript(db(), QStringLiteral(
            "set term ^ ;\nexecute block as declare i integer = 0; begin while (i < 500) do begin "
            "insert into T_REC (ID, NAME, AMOUNT) values (5000 + :i, 'Дем''яненко ' || :i, :i); i = i + 1; "
            "end end^\nset term ; ^\n"));
    }
};

TEST_F(QueryTest, OpensWithoutReadingEveryRow) {
    fb::Transaction t(&db());
    fb::Query q(&t);
    q.setSql(QStringLiteral("select ID, NAME, AMOUNT as amount_alias from T_REC where ID >= :FROM order by ID"));
    q.setParam(QStringLiteral("from"), 5000);
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName(QStringLiteral("Amount_Alias")).dataType(), data::DataType::Integer);
    EXPECT_EQ(q.fieldByName(QStringLiteral("NAME")).size(), 100);
    q.next();
    q.next();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q[QStringLiteral("NAME")].asString(), QStringLiteral("Дем'яненко 2"));
    EXPECT_TRUE(q.locate(QStringLiteral("ID"), 5250));
    EXPECT_EQ(q.recordCount(), 251);
    q.last();
    EXPECT_EQ(q.recordCount(), 500);
    EXPECT_EQ(q[QStringLiteral("AMOUNT_ALIAS")].asInteger(), 499);
}

TEST_F(QueryTest, ClosesWhenItsTransactionEnds) {
    fb::Transaction t(&db());
    fb::Query q(&t);
    q.setSql(QStringLiteral("select ID from T_REC where ID >= 5000"));
    q.open();
    t.commitRetaining();
    EXPECT_TRUE(q.active());
    q.next();
    EXPECT_EQ(q.recNo(), 2);
    t.commit();
    EXPECT_FALSE(q.active());
    q.open();  // starts the transaction again
    EXPECT_TRUE(t.inTransaction());
    EXPECT_EQ(q.recNo(), 1);
}

TEST_F(QueryTest, ExecSqlReportsAffectedRows) {
    fb::Transaction t(&db());
    fb::Query q(&t);
    q.setSql(QStringLiteral("update T_REC set FLAG = :F where ID between 5000 and 5004"));
    q.setParam(QStringLiteral("F"), 1);
    q.execSql();
    EXPECT_EQ(q.rowsAffected(), 5);
    t.rollback();
}

}  // namespace
