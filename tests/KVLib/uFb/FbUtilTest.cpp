#include <gtest/gtest.h>

#include <QDate>

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/fb/Script.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TestDatabase.h"

using core::DateTime;
using core::Variant;

namespace {

using tolvtest::errorText;

TEST(Var2DbVarTest, Literals) {
    setProcessFormats();
    struct Case {
        Variant value;
        const char16_t* literal;
    };
    const Case cases[] = {
        {Variant(QStringLiteral("O'Brien")), u"'O''Brien'"},
        {Variant(12.5), u"'12.5'"},
        {Variant(core::Currency{125000}), u"'12.5'"},
        {Variant(true), u"'1'"},
        {Variant(false), u"'0'"},
        {Variant::null(), u"NULL"},
        {Variant(5), u"'5'"},
        {Variant(DateTime::encode(2009, 5, 25)), u"'25.05.2009'"},
        {Variant(DateTime::encode(2009, 5, 25, 14, 3, 7)), u"'25.05.2009 14:03:07'"},
        {Variant(QStringLiteral("м'ясо")), u"'м''ясо'"},
    };
    core::ScopedDecimalSeparator comma(u',');
    for (const Case& c : cases) EXPECT_EQ(udb::var2DbVar(c.value), QString::fromUtf16(c.literal));
    EXPECT_EQ(core::formats().decimalSeparator, u',');  // restored after each literal
    EXPECT_EQ(errorText([] { udb::var2DbVar(Variant()); }), QStringLiteral("udb::var2DbVar() - The variant is Unassigned"));
    EXPECT_EQ(udb::unquoteSql(udb::quoteSql(QStringLiteral("a''b'c"))), QStringLiteral("a''b'c"));
}

class FbUtilTest : public tolvtest::DbSuite {
protected:
    static void SetUpTestSuite() {
        DbSuite::SetUpTestSuite();
        fb::runScript(*TolvMain::getZarvelDb(), QStringLiteral(
            "create generator GEN_T_UTIL_ID;\n"
            "create table T_SMALL (ID integer not null primary key, NAME varchar(40), LANG integer);\n"
            "create table T_BIG (ID integer not null primary key, NAME varchar(40));\n"
            "set term ^ ;\n"
            "execute block as declare i integer = 1; begin while (i <= 1000) do begin "
            "insert into T_SMALL values (:i, 'назва ' || :i, mod(:i, 2) + 1); "
            "insert into T_BIG values (:i, 'x'); i = i + 1; end "
            "insert into T_BIG values (1001, 'x'); end^\n"
            "set term ; ^\n"));
        udb::getFieldCache(QStringLiteral("!"), {}, {}, {});
    }
};

TEST_F(FbUtilTest, OneShotStatements) {
    const int first = udb::genId(QStringLiteral("GEN_T_UTIL_ID"));
    EXPECT_EQ(udb::genId(QStringLiteral("GEN_T_UTIL_ID")), first + 1);
    EXPECT_EQ(udb::serverDate().date(), QDate::currentDate());
    EXPECT_FALSE(udb::serverDate().hasTime());

    udb::execSql(QStringLiteral("insert into INI (SECTION, NAME, VAL) values ('UTIL', 'a''b', 'x')"));
    EXPECT_EQ(udb::getField(QStringLiteral("INI"), QStringLiteral("VAL"), QStringLiteral("a'b"), QStringLiteral("NAME")).toText(),
              QStringLiteral("x"));
    EXPECT_TRUE(udb::getField(QStringLiteral("INI"), QStringLiteral("VAL"), QStringLiteral("none"), QStringLiteral("NAME")).isNull());
    EXPECT_EQ(udb::getField(QStringLiteral("select count(*) as N from INI where SECTION = 'UTIL'"), QStringLiteral("N"),
                            Variant(), QString()).toInt(), 1);

    ufb::AutoTransaction tr(TolvMain::getZarvelDb());
    udb::execSql(QStringLiteral("update T_SMALL set LANG = LANG where ID in (1, 2)"), tr.get());
    ufb::AutoQuery q(QStringLiteral("update T_SMALL set LANG = LANG where ID in (1, 2)"), tr.get());
    q->execSql();
    EXPECT_EQ(errorText([&] { udb::checkRowsAffected(*q.get(), 1); }),
              QStringLiteral("Неверное количество обработанных запросом строк. Ожидалось 1 получили 2"));
    EXPECT_NO_THROW(udb::checkRowsAffected(*q.get(), 2));
    tr->rollback();
}

TEST_F(FbUtilTest, FieldCacheOfSmallTables) {
    udb::getFieldCache(QStringLiteral("!"), {}, {}, {});
    // The first call's filter decides what is cached for the process.
    EXPECT_EQ(udb::getFieldCache(QStringLiteral("T_SMALL"), QStringLiteral("NAME"), QStringLiteral("3"),
                                 QStringLiteral("ID"), QStringLiteral(" LANG=2")).toText(), QStringLiteral("назва 3"));
    EXPECT_EQ(udb::getFieldCache(QStringLiteral("T_SMALL"), QStringLiteral("NAME"), QStringLiteral("5"),
                                 QStringLiteral("ID"), QStringLiteral(" LANG=1")).toText(), QStringLiteral("назва 5"));
    EXPECT_EQ(errorText([] {
                  udb::getFieldCache(QStringLiteral("T_SMALL"), QStringLiteral("NAME"), QStringLiteral("4"), QStringLiteral("ID"));
              }),
              QStringLiteral("Не найдено значение в кэшированной таблице\n Table: T_SMALL, field name: NAME, Id: 4"));
    EXPECT_EQ(errorText([] {
                  udb::getFieldCache(QStringLiteral("T_BIG"), QStringLiteral("NAME"), QStringLiteral("1"), QStringLiteral("ID"));
              }),
              QStringLiteral("Попытка кэшировать большую таблицу (больше 1000 записей)"));
    // Exactly 1000 rows are accepted.
    EXPECT_EQ(udb::getFieldCache(QStringLiteral("T_SMALL"), QStringLiteral("LANG"), QStringLiteral("1000"),
                                 QStringLiteral("ID")).toInt(), 1);
    EXPECT_EQ(udb::getFieldCache(QStringLiteral("T_SMALL"), QStringLiteral("!"), QStringLiteral("1"), QStringLiteral("ID")).toInt(), 0);
    EXPECT_EQ(udb::getFieldCache(QStringLiteral("!"), {}, {}, {}).toInt(), 0);
    EXPECT_EQ(udb::getFieldCache(QStringLiteral("T_SMALL"), QStringLiteral("NAME"), QStringLiteral("4"), QStringLiteral("ID")).toText(),
              QStringLiteral("назва 4"));
}

}  // namespace
