#include <gtest/gtest.h>

#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "platform/core/Formats.h"
#include "tests/support/TestDatabase.h"

using core::Variant;

namespace {

class FbDbIniTest : public tolvtest::DbSuite {
protected:
    void SetUp() override { udb::dbIniDropCache(); }
    static int rows(const QString& section, const QString& name) {
        ufb::AutoQuery q(QStringLiteral("select count(*) as N from INI where SECTION = :S and NAME = :N"), nullptr);
        q->setParam(QStringLiteral("S"), section);
        q->setParam(QStringLiteral("N"), name);
        q->open();
        return q.getFields(QStringLiteral("N")).toInt();
    }
};

TEST_F(FbDbIniTest, DefaultsAreCachedUntilDropped) {
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T1"), QStringLiteral("missing"), 1), 1);
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T1"), QStringLiteral("missing"), 0), 1);
    udb::dbIniDropCache(QStringLiteral("T1"), QStringLiteral("missing"));
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T1"), QStringLiteral("missing"), 0), 0);
    udb::dbIniDropCache(QStringLiteral("T1"));
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T1"), QStringLiteral("missing"), 5), 5);
}

TEST_F(FbDbIniTest, WritesStoreTextsThatReadTheSameInAFreshProcess) {
    struct Case {
        const char* name;
        Variant written;
        const char16_t* stored;
    };
    const Case cases[] = {
        {"flag", Variant(true), u"1"},
        {"percent", Variant(20.5), u"20.5"},
        {"date", Variant(core::DateTime::encode(2009, 5, 25)), u"25.05.2009"},
        {"м'ясо", Variant(QStringLiteral("Дем'яненко")), u"Дем'яненко"},
    };
    core::ScopedDecimalSeparator comma(u',');
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        udb::dbIniWrite(QStringLiteral("T2"), name, c.written);
        const QString inThisProcess = udb::dbIniReadString(QStringLiteral("T2"), name, QString());
        udb::dbIniDropCache();  // as a fresh process would read it
        EXPECT_EQ(udb::dbIniReadString(QStringLiteral("T2"), name, QString()), QString::fromUtf16(c.stored));
        EXPECT_EQ(inThisProcess, QString::fromUtf16(c.stored));
    }
    EXPECT_TRUE(udb::dbIniReadBool(QStringLiteral("T2"), QStringLiteral("flag"), false));
    EXPECT_DOUBLE_EQ(udb::dbIniReadFloat(QStringLiteral("T2"), QStringLiteral("percent"), 0), 20.5);
    EXPECT_EQ(core::formats().decimalSeparator, u',');
}

TEST_F(FbDbIniTest, TypedReadsFallBackOnTheDefault) {
    udb::dbIniWrite(QStringLiteral("T3"), QStringLiteral("text"), QStringLiteral("abc"));
    udb::dbIniWrite(QStringLiteral("T3"), QStringLiteral("twelve"), QStringLiteral("12"));
    udb::dbIniDropCache();
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T3"), QStringLiteral("text"), 7), 7);
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T3"), QStringLiteral("twelve"), 7), 12);
    EXPECT_DOUBLE_EQ(udb::dbIniReadFloat(QStringLiteral("T3"), QStringLiteral("text"), 1.5), 1.5);
    EXPECT_TRUE(udb::dbIniReadBool(QStringLiteral("T3"), QStringLiteral("text"), true));
    EXPECT_FALSE(udb::dbIniReadBool(QStringLiteral("T3"), QStringLiteral("text"), false));
}

TEST_F(FbDbIniTest, InsertThenUpdateOneRow) {
    udb::dbIniWrite(QStringLiteral("T4"), QStringLiteral("n"), 1);
    udb::dbIniWrite(QStringLiteral("T4"), QStringLiteral("n"), 2);
    EXPECT_EQ(rows(QStringLiteral("T4"), QStringLiteral("n")), 1);
    udb::dbIniDropCache();
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T4"), QStringLiteral("n"), 0), 2);
}

TEST_F(FbDbIniTest, CallersRollbackDropsTheCachedValue) {
    udb::dbIniWrite(QStringLiteral("T5"), QStringLiteral("n"), 1);
    {
        ufb::AutoTransaction tr(TolvMain::getZarvelDb());
        udb::dbIniWrite(QStringLiteral("T5"), QStringLiteral("n"), 2, tr.get());
        udb::dbIniWrite(QStringLiteral("T5"), QStringLiteral("new"), 3, tr.get());
        udb::dbIniWrite(QStringLiteral("T5"), QStringLiteral("new"), 4, tr.get());  // its own row, updated
        EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T5"), QStringLiteral("n"), 0), 2);
        tr->rollback();
    }
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T5"), QStringLiteral("n"), 0), 1);
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T5"), QStringLiteral("new"), 0), 0);
    {
        ufb::AutoTransaction tr(TolvMain::getZarvelDb());
        udb::dbIniWrite(QStringLiteral("T5"), QStringLiteral("n"), 5, tr.get());
        tr->commit();
        tr->start();
        tr->rollback();  // a later rollback leaves the committed value alone
    }
    EXPECT_EQ(udb::dbIniReadInt(QStringLiteral("T5"), QStringLiteral("n"), 0), 5);
}

}  // namespace
