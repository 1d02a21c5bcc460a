// Objects of the client layer end in any order: what is left raises a clear error when used and
// does nothing harmful when destroyed. Run under AddressSanitizer to see the memory side.

#include <algorithm>
#include <array>

#include "ScratchDb.h"
#include "platform/fb/Error.h"
#include "platform/fb/Query.h"

using fbtest::ScratchSuite;

namespace {

class LifetimeTest : public ScratchSuite {
protected:
    enum Kind { Db, Tr, St, Qu };
    static const char* name(int k) {
        static const char* names[] = {"database", "transaction", "statement", "query"};
        return names[k];
    }

    struct Objects {
        std::unique_ptr<fb::Database> db;
        std::unique_ptr<fb::Transaction> tr;
        std::unique_ptr<fb::Statement> st;
        std::unique_ptr<fb::Query> qu;

        void destroy(int k) {
            switch (k) {
                case Db: db.reset(); break;
                case Tr: tr.reset(); break;
                case St: st.reset(); break;
                case Qu: qu.reset(); break;
            }
        }
        // Every object left is used as a caller would: it works or raises the library's error.
        void useWhatIsLeft() {
            if (st) {
                try {
                    st->execute();
                    while (st->fetch()) {
                    }
                } catch (const core::Exception&) {
                }
                EXPECT_FALSE(st->cursorOpen());
            }
            if (qu) {
                try {
                    qu->close();
                    qu->open();
                    qu->last();
                } catch (const core::Exception&) {
                }
            }
            if (tr) {
                try {
                    if (tr->inTransaction()) tr->rollback();
                } catch (const core::Exception&) {
                }
            }
        }
    };

    static Objects make() {
        Objects o;
        o.db = std::make_unique<fb::Database>(path());
        o.db->open();
        o.tr = std::make_unique<fb::Transaction>(o.db.get());
        o.st = std::make_unique<fb::Statement>(o.tr.get());
        o.st->setSql(QStringLiteral("select ID, NAME from T_REC where ID < :N"));
        o.st->setParam(QStringLiteral("N"), 1000000);
        o.st->execute();
        o.qu = std::make_unique<fb::Query>(o.tr.get());
        o.qu->setSql(QStringLiteral("select ID from T_REC"));
        o.qu->open();
        return o;
    }
};

TEST_F(LifetimeTest, EveryDestructionOrderIsSafe) {
    exec(QStringLiteral("insert into T_REC (ID, NAME) values (70001, 'один')"));
    exec(QStringLiteral("insert into T_REC (ID, NAME) values (70002, 'два')"));
    std::array<int, 4> order = {Db, Tr, St, Qu};
    do {
        SCOPED_TRACE(QStringLiteral("%1, %2, %3, %4")
                         .arg(name(order[0]), name(order[1]), name(order[2]), name(order[3]))
                         .toStdString());
        Objects o = make();
        for (int k : order) {
            o.destroy(k);
            o.useWhatIsLeft();
        }
    } while (std::next_permutation(order.begin(), order.end()));
    exec(QStringLiteral("delete from T_REC where ID > 70000"));
}

TEST_F(LifetimeTest, WhatLostItsTransactionOrDatabaseSaysSo) {
    struct Case {
        const char* lost;
        const char* message;
    };
    for (const Case& c : {Case{"transaction", "Transaction not assigned"},
                          Case{"database", "Database not connected"}}) {
        SCOPED_TRACE(c.lost);
        Objects o = make();
        if (QByteArray(c.lost) == "transaction") {
            o.tr.reset();
        } else {
            o.db->close();
        }
        try {
            o.st->execute();
            ADD_FAILURE() << "the statement ran without its " << c.lost;
        } catch (const fb::Error& e) {
            EXPECT_TRUE(e.message().startsWith(QString::fromLatin1(c.message))) << e.message().toStdString();
        }
        EXPECT_THROW(o.qu->open(), fb::Error);
        EXPECT_FALSE(o.qu->active());
    }
}

TEST_F(LifetimeTest, AQueryChildOfAFormOutlivesTheFormsTransaction) {
    // The ordinary form: the transaction is a member, the query a child destroyed after it.
    struct Form : QObject {
        fb::Transaction transaction;
        explicit Form(fb::Database* db) : transaction(db) {}
        ~Form() override {
            // Members go before the QObject base deletes its children.
        }
    };
    auto form = std::make_unique<Form>(&db());
    auto* query = new fb::Query(&form->transaction, form.get());
    query->setSql(QStringLiteral("select ID from T_REC"));
    query->open();
    form.reset();
    SUCCEED();
}

TEST_F(LifetimeTest, AStatementThatFailedToPrepareLeavesNothingBehind) {
    auto db = std::make_unique<fb::Database>(path());
    db->open();
    fb::Transaction t(db.get());
    fb::Statement st(&t);
    for (const char* sql : {"commit", "select NOPE from T_REC"}) {
        st.setSql(QString::fromLatin1(sql));
        EXPECT_THROW(st.prepare(), fb::Error);
        EXPECT_FALSE(st.prepared());
    }
    t.rollback();
    db.reset();  // the connection closes with nothing of the statement on it
    EXPECT_THROW(st.execute(), fb::Error);
}

}  // namespace
