#include "ScratchDb.h"
#include "platform/core/Exception.h"
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

class EditableQueryTest : public ScratchSuite {
protected:
    static void configure(fb::Query& q) {
        q.setSql(QStringLiteral("select ID, NAME, AMOUNT from T_REC where ID >= 9000 order by ID"));
        q.setUpdateSql(fb::Query::UpdateKind::Insert,
                       QStringLiteral("insert into T_REC (ID, NAME, AMOUNT) values (:ID, :NAME, :AMOUNT)"));
        q.setUpdateSql(fb::Query::UpdateKind::Modify,
                       QStringLiteral("update T_REC set ID = :ID, NAME = :NAME, AMOUNT = :AMOUNT where ID = :OLD_ID"));
        q.setUpdateSql(fb::Query::UpdateKind::Delete, QStringLiteral("delete from T_REC where ID = :OLD_ID"));
        q.setUpdateSql(fb::Query::UpdateKind::Refresh,
                       QStringLiteral("select ID, NAME, AMOUNT from T_REC where ID = :ID"));
    }
    static QString names() {
        fb::Transaction t(&db());
        fb::Query q(&t);
        q.setSql(QStringLiteral("select NAME from T_REC where ID >= 9000 order by ID"));
        q.open();
        QStringList out;
        for (; !q.eof(); q.next()) out << q[QStringLiteral("NAME")].asString();
        return out.join(u',');
    }
};

TEST_F(EditableQueryTest, PostsThroughTheUpdateStatementsAndFillsTheGenerator) {
    exec(QStringLiteral("set generator GEN_T_REC_ID to 9000"));
    fb::Transaction t(&db());
    fb::Query q(&t);
    configure(q);
    q.setGeneratorField(QStringLiteral("ID"), QStringLiteral("GEN_T_REC_ID"));
    q.open();
    q.append();
    EXPECT_EQ(q[QStringLiteral("ID")].asInteger(), 9001);
    q[QStringLiteral("NAME")].setValue(QStringLiteral("Ґонта"));
    q.post();
    q.append();
    q[QStringLiteral("NAME")].setValue(QStringLiteral("Дем'яненко"));
    q.post();
    q.first();
    q.edit();
    q[QStringLiteral("AMOUNT")].setValue(5);
    q.post();
    q.last();
    q.remove();
    t.commit();
    EXPECT_EQ(names(), QStringLiteral("Ґонта"));
    EXPECT_EQ(scalar(QStringLiteral("select AMOUNT from T_REC where ID = 9001")).toInt(), 5);

    fb::Query readOnly(&t);
    readOnly.setSql(QStringLiteral("select ID from T_REC where ID = 9001"));
    readOnly.open();
    readOnly.edit();
    readOnly[QStringLiteral("ID")].setValue(1);
    EXPECT_THROW(readOnly.post(), core::Exception);
    exec(QStringLiteral("delete from T_REC where ID >= 9000"));
}

TEST_F(EditableQueryTest, CachedUpdatesApplyInOrderAndCancelRestores) {
    exec(QStringLiteral("insert into T_REC (ID, NAME) values (9100, 'перший')"));
    fb::Transaction t(&db());
    fb::Query q(&t);
    configure(q);
    q.setCachedUpdates(true);
    q.open();
    // Renumber the row, then insert a new row under its old number: only the given order works.
    q.edit();
    q[QStringLiteral("ID")].setValue(9101);
    q.post();
    q.append();
    q[QStringLiteral("ID")].setValue(9100);
    q[QStringLiteral("NAME")].setValue(QStringLiteral("другий"));
    q.post();
    EXPECT_TRUE(q.updatesPending());
    EXPECT_EQ(names(), QStringLiteral("перший"));  // nothing stored yet

    q.cancelUpdates();
    EXPECT_FALSE(q.updatesPending());
    EXPECT_EQ(q.recordCount(), 1);
    q.first();
    EXPECT_EQ(q[QStringLiteral("ID")].asInteger(), 9100);

    q.edit();
    q[QStringLiteral("ID")].setValue(9101);
    q.post();
    q.append();
    q[QStringLiteral("ID")].setValue(9100);
    q[QStringLiteral("NAME")].setValue(QStringLiteral("другий"));
    q.post();
    q.applyUpdates();
    t.commit();
    EXPECT_EQ(names(), QStringLiteral("другий,перший"));
    exec(QStringLiteral("delete from T_REC where ID >= 9000"));
}

}  // namespace
