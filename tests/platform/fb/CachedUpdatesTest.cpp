// Editable and cached-update queries: no change is lost, replayed or reported stored when it was not.

#include "ScratchDb.h"
#include "platform/core/Exception.h"
#include "platform/fb/Error.h"
#include "platform/fb/Query.h"

using fb::Query;
using fbtest::ScratchSuite;

namespace {

const QStringList kStandard = {QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                               QStringLiteral("nowait")};

class CachedUpdatesTest : public ScratchSuite {
protected:
    void SetUp() override {
        exec(QStringLiteral("delete from T_REC where ID >= 9000"));
        exec(QStringLiteral("set generator GEN_T_REC_ID to 9500"));
    }
    // Rows 9001..9000+n named "r<i>".
    static void fill(int n) {
        fb::Transaction t(&db());
        fb::Statement q(&t);
        q.setSql(QStringLiteral("insert into T_REC (ID, NAME, AMOUNT) values (:ID, :NAME, :AMOUNT)"));
        for (int i = 1; i <= n; ++i) {
            q.setParam(QStringLiteral("ID"), 9000 + i);
            q.setParam(QStringLiteral("NAME"), QStringLiteral("r%1").arg(i));
            q.setParam(QStringLiteral("AMOUNT"), i);
            q.execute();
        }
        t.commit();
    }
    static void configure(Query& q, bool cached) {
        q.setSql(QStringLiteral("select ID, NAME, AMOUNT from T_REC where ID >= 9000 order by ID"));
        q.setUpdateSql(Query::UpdateKind::Insert,
                       QStringLiteral("insert into T_REC (ID, NAME, AMOUNT) values "
                                      "(coalesce(:ID, gen_id(GEN_T_REC_ID, 1)), :NAME, :AMOUNT) returning ID"));
        q.setUpdateSql(Query::UpdateKind::Modify,
                       QStringLiteral("update T_REC set ID = :ID, NAME = :NAME, AMOUNT = :AMOUNT where ID = :OLD_ID"));
        q.setUpdateSql(Query::UpdateKind::Delete, QStringLiteral("delete from T_REC where ID = :ID"));
        q.setCachedUpdates(cached);
    }
    // The stored rows, as "id:name:amount" joined by blanks.
    static QString stored() {
        fb::Transaction t(&db());
        fb::Statement q(&t);
        q.setSql(QStringLiteral("select ID, NAME, AMOUNT from T_REC where ID >= 9000 order by ID"));
        q.execute();
        QStringList rows;
        while (q.fetch()) rows << QStringLiteral("%1:%2:%3").arg(q.value(0).toText(), q.value(1).toText(), q.value(2).toText());
        return rows.join(u' ');
    }
    // The dataset's rows, the same way.
    static QString shown(Query& q) {
        QStringList rows;
        for (q.first(); !q.eof(); q.next()) {
            rows << QStringLiteral("%1:%2:%3").arg(q[QStringLiteral("ID")].asString(), q[QStringLiteral("NAME")].asString(),
                                                    q[QStringLiteral("AMOUNT")].asString());
        }
        return rows.join(u' ');
    }
    static void append(Query& q, const core::Variant& id, const QString& name, int amount) {
        q.append();
        q[QStringLiteral("ID")].setValue(id);
        q[QStringLiteral("NAME")].setValue(name);
        q[QStringLiteral("AMOUNT")].setValue(amount);
        q.post();
    }
    static void setAmount(Query& q, int id, int amount) {
        ASSERT_TRUE(q.locate(QStringLiteral("ID"), id));
        q.edit();
        q[QStringLiteral("AMOUNT")].setValue(amount);
        q.post();
    }
};

TEST_F(CachedUpdatesTest, AFailedApplyKeepsEveryChangeAndARetryAppliesEachOnce) {
    for (const bool rollBack : {true, false}) {
        SCOPED_TRACE(rollBack ? "rolled back, then retried" : "retried in the same transaction");
        SetUp();
        fill(2);
        exec(QStringLiteral("insert into T_REC (ID, NAME) values (9004, 'in the way')"));
        fb::Transaction t(&db());
        t.setParams(kStandard);
        Query q(&t);
        configure(q, true);
        q.open();
        setAmount(q, 9001, 100);
        append(q, 9003, QStringLiteral("new"), 3);
        append(q, 9004, QStringLiteral("clashes"), 4);
        EXPECT_THROW(q.applyUpdates(), fb::Error);
        EXPECT_TRUE(q.updatesPending());
        if (rollBack) {
            t.rollback();
            EXPECT_TRUE(q.active());  // the cached rows wait for the retry
            EXPECT_TRUE(q.updatesPending());
        }
        exec(QStringLiteral("delete from T_REC where ID = 9004"));
        q.applyUpdates();  // the insert of 9003 would clash with itself if it ran twice
        t.commit();
        EXPECT_FALSE(q.updatesPending());
        EXPECT_FALSE(q.active());
        EXPECT_EQ(stored(), QStringLiteral("9001:r1:100 9002:r2:2 9003:new:3 9004:clashes:4"));
    }
}

TEST_F(CachedUpdatesTest, ACommittedChangeIsNeverReplayed) {
    fill(2);
    fb::Transaction t(&db());
    Query q(&t);
    configure(q, true);
    q.open();
    append(q, 9003, QStringLiteral("once"), 3);
    q.applyUpdates();
    t.commitRetaining();
    EXPECT_TRUE(q.active());
    EXPECT_FALSE(q.updatesPending());
    setAmount(q, 9002, 20);
    q.applyUpdates();
    t.rollbackRetaining();  // drops the second change only: it is pending again
    EXPECT_TRUE(q.updatesPending());
    q.applyUpdates();
    t.commit();
    EXPECT_EQ(stored(), QStringLiteral("9001:r1:1 9002:r2:20 9003:once:3"));
}

TEST_F(CachedUpdatesTest, CancelPutsBackExactlyTheRowsThatWere) {
    fill(50);
    fb::Transaction t(&db());
    Query q(&t);
    configure(q, true);
    q.open();
    ASSERT_LT(q.recordCount(), 50);  // read lazily: the rest is fetched after the first change
    const QString before = [&] {
        Query all(&t);
        configure(all, false);
        all.open();
        return shown(all);
    }();
    setAmount(q, 9001, 1000);
    q.first();
    q.insert();  // before the first row
    q[QStringLiteral("NAME")].setValue(QStringLiteral("вставлений"));
    q.post();
    ASSERT_TRUE(q.locate(QStringLiteral("ID"), 9025));
    q.remove();
    setAmount(q, 9026, 2600);
    append(q, 9051, QStringLiteral("appended"), 51);
    ASSERT_TRUE(q.locate(QStringLiteral("ID"), 9050));
    q.remove();
    q.cancelUpdates();
    EXPECT_FALSE(q.updatesPending());
    EXPECT_EQ(q.recordCount(), 50);
    EXPECT_EQ(shown(q), before);
    t.commit();
    EXPECT_EQ(stored(), before);
}

TEST_F(CachedUpdatesTest, ValuesTheDatabaseGaveReachTheRowAndItsLaterChanges) {
    fb::Transaction t(&db());
    Query q(&t);
    configure(q, true);
    q.open();
    append(q, core::Variant::null(), QStringLiteral("applied, then edited"), 1);
    q.applyUpdates();
    EXPECT_EQ(q[QStringLiteral("ID")].asInteger(), 9501);
    q.edit();
    q[QStringLiteral("AMOUNT")].setValue(11);
    q.post();
    // Inserted, edited and deleted before any apply: the edit and the delete find the new key.
    append(q, core::Variant::null(), QStringLiteral("edited before the apply"), 2);
    q.edit();
    q[QStringLiteral("AMOUNT")].setValue(22);
    q.post();
    append(q, core::Variant::null(), QStringLiteral("deleted before the apply"), 3);
    q.remove();
    q.applyUpdates();
    EXPECT_EQ(shown(q), QStringLiteral("9501:applied, then edited:11 9502:edited before the apply:22"));
    t.commit();
    EXPECT_EQ(stored(), QStringLiteral("9501:applied, then edited:11 9502:edited before the apply:22"));
}

TEST_F(CachedUpdatesTest, ACachedInsertEditedAgainIsAppliedAsOneInsert) {
    fb::Transaction t(&db());
    Query q(&t);
    configure(q, true);
    // The modify statement leaves AMOUNT alone (a column fixed once the row exists): only an insert
    // can store the value the second post gave.
    q.setUpdateSql(Query::UpdateKind::Modify,
                   QStringLiteral("update T_REC set NAME = :NAME where ID = :OLD_ID"));
    q.open();
    append(q, 9001, QStringLiteral("new"), 1);
    q.edit();
    q[QStringLiteral("AMOUNT")].setValue(91);
    q.post();
    append(q, 9002, QStringLiteral("gone"), 2);
    q.remove();
    q.applyUpdates();
    t.commit();
    EXPECT_EQ(stored(), QStringLiteral("9001:new:91"));
}

TEST_F(CachedUpdatesTest, AChangeThatFindsNoRowIsAnError) {
    for (const bool cached : {false, true}) {
        SCOPED_TRACE(cached ? "cached" : "at once");
        SetUp();
        fill(3);
        fb::Transaction t(&db());
        t.setParams(kStandard);
        Query q(&t);
        configure(q, cached);
        q.open();
        q.fetchAll();
        // Another workstation removes two rows the list still shows.
        exec(QStringLiteral("delete from T_REC where ID in (9001, 9002)"));
        auto refused = [&](const std::function<void()>& change) {
            try {
                change();
                if (cached) q.applyUpdates();
                ADD_FAILURE() << "a change of a vanished row reported success";
            } catch (const core::Exception& e) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("changed or deleted by another user")))
                    << e.message().toStdString();
            }
            q.cancel();  // a refused post leaves the edit open for the user
            if (cached) q.cancelUpdates();
        };
        refused([&] { setAmount(q, 9001, 5); });
        refused([&] {
            ASSERT_TRUE(q.locate(QStringLiteral("ID"), 9002));
            q.remove();
        });
        // A delete binds the row as stored under its plain names.
        ASSERT_TRUE(q.locate(QStringLiteral("ID"), 9003));
        q.remove();
        if (cached) q.applyUpdates();
        t.commit();
        EXPECT_EQ(stored(), QString());
    }
}

TEST_F(CachedUpdatesTest, AnEditOfARowLockedElsewhereSaysSo) {
    fill(1);
    fb::Transaction other(&db());
    fb::Statement lock(&other);
    lock.setSql(QStringLiteral("update T_REC set AMOUNT = 2 where ID = 9001"));
    lock.execute();
    fb::Transaction t(&db());
    t.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
    Query q(&t);
    configure(q, false);
    q.open();
    q.edit();
    q[QStringLiteral("AMOUNT")].setValue(5);
    try {
        q.post();
        FAIL() << "the edit of a locked row went through";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("The record was changed or deleted by another user")))
            << e.message().toStdString();
        EXPECT_TRUE(e.hasGdsCode(fb::gds::UpdateConflict));
    }
    other.rollback();
}

TEST_F(CachedUpdatesTest, ADatasetClosesWithItsTransactionUnlessItHoldsChanges) {
    fill(3);
    for (const bool commit : {true, false}) {
        fb::Transaction t(&db());
        Query plain(&t);
        configure(plain, false);
        plain.open();
        Query holding(&t);
        configure(holding, true);
        holding.open();
        holding.fetchAll();
        setAmount(holding, 9002, 200);
        commit ? t.commit() : t.rollback();
        EXPECT_FALSE(plain.active());
        EXPECT_TRUE(holding.active());
        EXPECT_TRUE(holding.updatesPending());
        EXPECT_EQ(shown(holding), QStringLiteral("9001:r1:1 9002:r2:200 9003:r3:3"));
        holding.cancelUpdates();
    }
}

}  // namespace
