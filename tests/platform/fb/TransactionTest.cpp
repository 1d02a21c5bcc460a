#include <stdexcept>

#include "ScratchDb.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Error.h"

using fb::Statement;
using fb::Transaction;
using fbtest::ScratchSuite;

namespace {

const QStringList kStandard = {QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                               QStringLiteral("nowait")};

class TransactionTest : public ScratchSuite {
protected:
    static void insert(Transaction& t, int id, const QString& name) {
        Statement q(&t);
        q.setSql(QStringLiteral("insert into T_REC (ID, NAME) values (:ID, :NAME)"));
        q.setParam(QStringLiteral("ID"), id);
        q.setParam(QStringLiteral("NAME"), name);
        q.execute();
    }
    static int count(int id) {
        return scalar(QStringLiteral("select count(*) from T_REC where ID = %1").arg(id)).toInt();
    }
};

TEST_F(TransactionTest, ReleaseTakesTheDefaultAction) {
    struct Case {
        fb::TransactionAction action;
        int id;
        int expected;
    };
    for (const Case& c : {Case{fb::TransactionAction::Commit, 101, 1}, Case{fb::TransactionAction::Rollback, 102, 0}}) {
        {
            Transaction t(&db());
            t.setParams(kStandard);
            t.setDefaultAction(c.action);
            insert(t, c.id, QStringLiteral("release %1").arg(c.id));  // starts the inactive transaction
            EXPECT_TRUE(t.inTransaction());
        }
        EXPECT_EQ(count(c.id), c.expected);
    }
}

TEST_F(TransactionTest, ReleaseDuringAnExceptionRollsBack) {
    try {
        Transaction t(&db());
        t.setParams(kStandard);
        insert(t, 111, QStringLiteral("half done"));
        throw std::runtime_error("payment failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(count(111), 0);
}

TEST_F(TransactionTest, TransactionMadeDuringUnwindingStillCommits) {
    // Only a transaction the unwinding releases rolls back; work done inside a destructor is its own.
    struct Cleanup {
        ~Cleanup() {
            Transaction t(&db());
            insert(t, 112, QStringLiteral("cleanup"));
        }
    };
    try {
        Cleanup c;
        throw std::runtime_error("fail");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(count(112), 1);
}

TEST_F(TransactionTest, RetainingKeepsTheTransactionAndRollbackHooksRun) {
    Transaction t(&db());
    t.setParams(kStandard);
    int hooks = 0;
    const int id = t.addRollbackHook([&] { ++hooks; });
    insert(t, 121, QStringLiteral("retained"));
    t.commitRetaining();
    EXPECT_TRUE(t.inTransaction());
    EXPECT_EQ(count(121), 1);
    insert(t, 122, QStringLiteral("dropped"));
    t.rollbackRetaining();
    EXPECT_TRUE(t.inTransaction());
    EXPECT_EQ(hooks, 1);
    t.rollback();
    EXPECT_FALSE(t.inTransaction());
    EXPECT_EQ(hooks, 2);
    t.removeRollbackHook(id);
    insert(t, 123, QStringLiteral("dropped too"));
    t.rollback();
    EXPECT_EQ(hooks, 2);
    EXPECT_EQ(count(122) + count(123), 0);
}

TEST_F(TransactionTest, ReadCommittedSeesOnlyCommittedRows) {
    Transaction reader(&db());
    reader.setParams(kStandard);
    Transaction writer(&db());
    writer.setParams(kStandard);
    Statement q(&reader);
    q.setSql(QStringLiteral("select count(*) from T_REC where ID = 131"));
    auto seen = [&] {
        q.execute();
        q.fetch();
        return q.value(0).toInt();
    };
    insert(writer, 131, QStringLiteral("not yet"));
    EXPECT_EQ(seen(), 0);
    writer.commit();
    EXPECT_EQ(seen(), 1);
}

TEST_F(TransactionTest, NoWaitUpdateOfALockedRowFailsAtOnce) {
    // Firebird 3 reports a no-wait update conflict as "deadlock" / "update conflicts with concurrent
    // update"; a waiting transaction would block here instead.
    exec(QStringLiteral("insert into T_REC (ID, NAME) values (141, 'locked')"));
    Transaction first(&db());
    first.setParams(kStandard);
    Transaction second(&db());
    second.setParams(kStandard);
    Statement a(&first);
    a.setSql(QStringLiteral("update T_REC set AMOUNT = 1 where ID = 141"));
    a.execute();
    Statement b(&second);
    b.setSql(QStringLiteral("update T_REC set AMOUNT = 2 where ID = 141"));
    try {
        b.execute();
        FAIL() << "the second update went through";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.gdsCode(), fb::gds::Deadlock) << e.fullText().toStdString();
        EXPECT_TRUE(e.hasGdsCode(fb::gds::UpdateConflict));
    }
}

TEST_F(TransactionTest, ClosingTheDatabaseRollsBackEveryActiveTransaction) {
    // A unit of work commits by its own commit only, never because its connection went away.
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "closed");
        auto other = std::make_unique<fb::Database>(path());
        other->open();
        Transaction keep(other.get());
        Transaction drop(other.get());
        drop.setDefaultAction(fb::TransactionAction::Rollback);
        insert(keep, 151, QStringLiteral("not kept at close"));
        insert(drop, 152, QStringLiteral("dropped at close"));
        destroy ? other.reset() : other->close();
        EXPECT_FALSE(keep.inTransaction());
        EXPECT_EQ(count(151), 0);
        EXPECT_EQ(count(152), 0);
    }
}

class CommitFailureTest : public TransactionTest {
protected:
    static void SetUpTestSuite() {
        TransactionTest::SetUpTestSuite();
        // Refuses to commit a transaction that asked for it, as a failing server would.
        exec(QStringLiteral("create exception E_NO_COMMIT 'commit refused'"));
        exec(QStringLiteral("create trigger TR_NO_COMMIT on transaction commit as begin "
                            "if (rdb$get_context('USER_TRANSACTION', 'NO_COMMIT') = '1') then "
                            "exception E_NO_COMMIT; end"));
    }
    static void refuseCommit(Transaction& t) {
        Statement q(&t);
        q.setSql(QStringLiteral("select rdb$set_context('USER_TRANSACTION', 'NO_COMMIT', '1') from RDB$DATABASE"));
        q.execute();
        q.fetch();
    }
};

TEST_F(CommitFailureTest, AnExplicitCommitRaisesAndKeepsTheWorkUndecided) {
    Transaction t(&db());
    insert(t, 161, QStringLiteral("refused"));
    refuseCommit(t);
    try {
        t.commit();
        FAIL() << "the refused commit reported success";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.fullText().contains(QStringLiteral("commit refused"))) << e.fullText().toStdString();
    }
    EXPECT_TRUE(t.inTransaction());
    t.rollback();
    EXPECT_EQ(count(161), 0);
}

TEST_F(CommitFailureTest, ACommitOnReleaseThatFailsIsReportedAndRolledBack) {
    {
        ui::ScriptedDialogs boxes;
        ui::ScopedDialogs installed(&boxes);
        {
            Transaction t(&db());
            insert(t, 162, QStringLiteral("refused on release"));
            refuseCommit(t);
        }
        EXPECT_EQ(count(162), 0);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);
        EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("not saved"))) << boxes.shown[0].text.toStdString();
        EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("commit refused")));
    }
    // Without dialogs installed (every box raises) the failure still never escapes the destructor.
    {
        Transaction t(&db());
        insert(t, 163, QStringLiteral("refused, nobody told"));
        refuseCommit(t);
    }
    EXPECT_EQ(count(163), 0);
}

TEST_F(TransactionTest, UnknownParameterWordIsRefused) {
    Transaction t(&db());
    t.setParams({QStringLiteral("read_committed"), QStringLiteral("fast")});
    EXPECT_THROW(t.start(), fb::Error);
    EXPECT_FALSE(t.inTransaction());
}

}  // namespace

namespace {

TEST(ConnectionTest, ConnectionFailuresCarryTheirCodes) {
    struct Case {
        QString name;
        long code;
    };
    const Case cases[] = {
        {QStringLiteral("/nonexistent-folder/missing.fdb"), fb::gds::IoError},
        {QStringLiteral("127.0.0.1/1:/tmp/none.fdb"), fb::gds::NetworkError},
    };
    for (const Case& c : cases) {
        fb::Database db(c.name);
        try {
            db.open();
            ADD_FAILURE() << "opened " << c.name.toStdString();
        } catch (const fb::Error& e) {
            EXPECT_TRUE(e.hasGdsCode(c.code)) << e.fullText().toStdString();
        }
        EXPECT_FALSE(db.connected());
    }
}

}  // namespace
