#include <gtest/gtest.h>

#include "platform/fb/Script.h"
#include "platform/fb/SqlText.h"

TEST(SqlTextTest, ParamsAreFoundOutsideQuotesAndComments) {
    struct Case {
        const char* sql;
        const char* text;
        QStringList names;
    };
    const Case cases[] = {
        {"select * from T where ID = :id and NAME = :Name", "select * from T where ID = ? and NAME = ?",
         {"ID", "NAME"}},
        {"update T set A = :x where B = :X", "update T set A = ? where B = ?", {"X", "X"}},
        {"select ':no', \":nor\" from T where A = :yes", "select ':no', \":nor\" from T where A = ?", {"YES"}},
        {"select 'it''s :no' from T -- :not\nwhere A = :a /* :neither */",
         "select 'it''s :no' from T -- :not\nwhere A = ? /* :neither */", {"A"}},
        {"select cast('12:30' as time) from T", "select cast('12:30' as time) from T", {}},
    };
    for (const Case& c : cases) {
        const fb::ParsedSql p = fb::parseParams(QString::fromUtf8(c.sql));
        EXPECT_EQ(p.text, QString::fromUtf8(c.text)) << c.sql;
        EXPECT_EQ(p.names, c.names) << c.sql;
    }
}

TEST(SqlTextTest, ScriptSplitsOnTheCurrentTerminator) {
    const QString script = QStringLiteral(
        "create table A (X integer); -- first; still a comment\n"
        "insert into A values (1);\n"
        "/* a; comment */ insert into A values (';');\n"
        "-- the body uses its own terminator\nset term ^ ;\n"
        "create procedure P as begin insert into A values (2); end^\n"
        "set term ; ^\n"
        "-- a comment before a commit\ncommit;\n");
    const std::vector<fb::ScriptStatement> s = fb::splitScript(script);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].sql, QStringLiteral("create table A (X integer)"));
    EXPECT_EQ(s[1].line, 2);
    EXPECT_EQ(s[2].sql, QStringLiteral("insert into A values (';')"));  // leading comments dropped
    EXPECT_EQ(s[3].sql, QStringLiteral("create procedure P as begin insert into A values (2); end"));
    EXPECT_EQ(s[3].line, 6);
    EXPECT_EQ(s[4].sql, QStringLiteral("commit"));
}
