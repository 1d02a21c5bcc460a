#include "ScratchDb.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/fb/Error.h"

using core::DateTime;
using core::Variant;
using core::VarType;
using fb::Statement;
using fb::Transaction;
using fbtest::ScratchSuite;

namespace {

class StatementTest : public ScratchSuite {};

TEST_F(StatementTest, EveryMappedTypeRoundTrips) {
    const DateTime day = DateTime::encode(2009, 5, 25);
    const DateTime stamp = DateTime::encode(2009, 5, 25, 14, 3, 7, 250);
    const QString longText = QString(40000, u'ї');  // beyond one blob segment
    Transaction t(&db());
    Statement ins(&t);
    ins.setSql(QStringLiteral(
        "insert into T_TYPES (ID, SI, I, BI, N, DC, N6, FL, DB, CH, VC, BL, DT, TM, TSP, BO) values "
        "(:ID, :SI, :I, :BI, :N, :DC, :N6, :FL, :DB, :CH, :VC, :BL, :DT, :TM, :TSP, :BO)"));
    const std::vector<std::pair<QString, Variant>> values = {
        {"SI", -12}, {"I", 2147483647}, {"BI", qint64(-9000000000123)}, {"N", 1234.56},
        {"DC", core::Currency{-123456789}}, {"N6", 1.234567}, {"FL", 0.5}, {"DB", 0.1 + 0.2},
        {"CH", QStringLiteral("Ґанок")}, {"VC", QStringLiteral("Літвін, м'ясо, ЁЖИК, єґїі")},
        {"BL", longText}, {"DT", day}, {"TM", DateTime::encode(1899, 12, 30, 14, 3, 7)}, {"TSP", stamp},
        {"BO", true}};
    ins.setParam(QStringLiteral("ID"), 1);
    for (const auto& [name, value] : values) ins.setParam(name, value);
    ins.execute();
    EXPECT_EQ(ins.rowsAffected(), 1);
    ins.setParam(QStringLiteral("ID"), 2);
    for (const auto& [name, value] : values) ins.setParam(name, Variant::null());
    ins.setParam(QStringLiteral("VC"), QString());
    ins.execute();

    Statement sel(&t);
    sel.setSql(QStringLiteral("select * from T_TYPES where ID = :ID"));
    sel.setParam(QStringLiteral("ID"), 1);
    sel.execute();
    ASSERT_TRUE(sel.fetch());
    EXPECT_EQ(sel.value(QStringLiteral("si")).type(), VarType::Int32);
    EXPECT_EQ(sel.value(QStringLiteral("SI")).toInt(), -12);
    EXPECT_EQ(sel.value(QStringLiteral("I")).toInt(), 2147483647);
    EXPECT_EQ(sel.value(QStringLiteral("BI")).type(), VarType::Int64);
    EXPECT_EQ(sel.value(QStringLiteral("BI")).toInt64(), -9000000000123);
    EXPECT_EQ(sel.value(QStringLiteral("N")).type(), VarType::Currency);
    EXPECT_EQ(sel.value(QStringLiteral("N")).toCurrency().tenThousandths, 12345600);
    EXPECT_EQ(sel.value(QStringLiteral("DC")).toCurrency().tenThousandths, -123456789);
    EXPECT_EQ(sel.value(QStringLiteral("N6")).type(), VarType::Double);
    EXPECT_DOUBLE_EQ(sel.value(QStringLiteral("N6")).toDouble(), 1.234567);
    EXPECT_DOUBLE_EQ(sel.value(QStringLiteral("FL")).toDouble(), 0.5);
    EXPECT_EQ(sel.value(QStringLiteral("DB")).toText(), QStringLiteral("0.3"));
    EXPECT_EQ(sel.value(QStringLiteral("CH")).toText(), QStringLiteral("Ґанок"));  // blank padding trimmed
    EXPECT_EQ(sel.value(QStringLiteral("VC")).toText(), QStringLiteral("Літвін, м'ясо, ЁЖИК, єґїі"));
    EXPECT_EQ(sel.value(QStringLiteral("BL")).toText(), longText);
    EXPECT_EQ(sel.value(QStringLiteral("DT")).toDateTime(), day);
    EXPECT_EQ(sel.value(QStringLiteral("TM")).toDateTime().time(), QTime(14, 3, 7));
    EXPECT_EQ(sel.value(QStringLiteral("TSP")).toDateTime().toQDateTime(),
              QDateTime(QDate(2009, 5, 25), QTime(14, 3, 7, 250)));
    EXPECT_EQ(sel.value(QStringLiteral("BO")).type(), VarType::Bool);
    EXPECT_TRUE(sel.value(QStringLiteral("BO")).toBool());
    EXPECT_FALSE(sel.fetch());

    sel.setParam(QStringLiteral("ID"), 2);
    sel.execute();
    ASSERT_TRUE(sel.fetch());
    for (const auto& [name, value] : values) {
        if (name != QStringLiteral("VC")) {
            EXPECT_TRUE(sel.value(name).isNull()) << name.toStdString();
        }
    }
    EXPECT_EQ(sel.value(QStringLiteral("VC")).type(), VarType::Text);  // the empty text is not NULL
    EXPECT_EQ(sel.value(QStringLiteral("VC")).toText(), QString());

    const fb::FieldInfo& vc = sel.fieldInfo(sel.fieldIndex(QStringLiteral("VC")));
    EXPECT_EQ(vc.type, fb::FieldType::VarChar);
    EXPECT_EQ(vc.size, 40);
    EXPECT_EQ(vc.relation, QStringLiteral("T_TYPES"));
    t.rollback();
}

TEST_F(StatementTest, ValuesAreConvertedToTheDeclaredType) {
    Transaction t(&db());
    Statement q(&t);
    q.setSql(QStringLiteral("insert into T_TYPES (ID, I, N, DT, VC, SI) values (3, :I, :N, :DT, :VC, :SI)"));
    q.setParam(QStringLiteral("I"), QStringLiteral("42"));
    q.setParam(QStringLiteral("N"), QStringLiteral("12.5"));
    q.setParam(QStringLiteral("DT"), QStringLiteral("25.05.2009"));
    q.setParam(QStringLiteral("VC"), DateTime::encode(2009, 5, 25, 14, 3, 7));
    q.setParam(QStringLiteral("SI"), true);
    q.execute();
    Statement s(&t);
    s.setSql(QStringLiteral("select I, N, DT, VC, SI from T_TYPES where ID = 3"));
    s.execute();
    ASSERT_TRUE(s.fetch());
    EXPECT_EQ(s.value(0).toInt(), 42);
    EXPECT_EQ(s.value(1).toText(), QStringLiteral("12.5"));
    EXPECT_EQ(s.value(2).toDateTime(), DateTime::encode(2009, 5, 25));
    EXPECT_EQ(s.value(3).toText(), QStringLiteral("25.05.2009 14:03:07"));
    EXPECT_EQ(s.value(4).toInt(), 1);
    t.rollback();
}

TEST_F(StatementTest, ParameterUsedTwiceBindsEveryPlace) {
    Transaction t(&db());
    Statement q(&t);
    q.setSql(QStringLiteral("select cast(:A as integer) + 1, cast(:b as integer) * 2, cast(:a as integer) "
                             "from RDB$DATABASE where cast(:B as integer) > 0"));
    EXPECT_EQ(q.paramNames(), QStringList({QStringLiteral("A"), QStringLiteral("B")}));
    q.setParam(QStringLiteral("a"), 10);
    q.setParam(QStringLiteral("B"), 3);
    q.execute();
    ASSERT_TRUE(q.fetch());
    EXPECT_EQ(q.value(0).toInt(), 11);
    EXPECT_EQ(q.value(1).toInt(), 6);
    EXPECT_EQ(q.value(2).toInt(), 10);
    EXPECT_THROW(q.setParam(QStringLiteral("C"), 1), fb::Error);
}

TEST_F(StatementTest, UpcaseCoversUkrainianLetters) {
    struct Case {
        const char16_t* in;
        const char16_t* out;
    };
    for (const Case& c : {Case{u"літвін", u"ЛІТВІН"}, Case{u"м'ясо", u"М'ЯСО"}, Case{u"ґава їжак єнот", u"ҐАВА ЇЖАК ЄНОТ"}}) {
        Transaction t(&db());
        Statement q(&t);
        q.setSql(QStringLiteral("select UPCASE(:S) from RDB$DATABASE"));
        q.setParam(QStringLiteral("S"), QString::fromUtf16(c.in));
        q.execute();
        ASSERT_TRUE(q.fetch());
        EXPECT_EQ(q.value(0).toText(), QString::fromUtf16(c.out));
    }
    EXPECT_EQ(scalar(QStringLiteral("select UPCASE('м''ясо') from RDB$DATABASE")).toText(), QStringLiteral("М'ЯСО"));
}

TEST_F(StatementTest, ServerErrorsCarryTheirCodes) {
    exec(QStringLiteral("insert into T_PARENT (ID) values (1)"));
    exec(QStringLiteral("insert into T_REC (ID, NAME) values (201, 'unique name')"));
    struct Case {
        const char* sql;
        long code;
        const char* first;
    };
    const Case cases[] = {
        {"insert into T_CHILD (ID, PARENT_ID) values (1, 99)", fb::gds::ForeignKey, nullptr},
        {"insert into T_REC (ID, NAME) values (202, 'unique name')", fb::gds::UniqueKey,
         "violation of PRIMARY or UNIQUE KEY constraint \"UNQ_T_REC_NAME\" on table \"T_REC\""},
        {"insert into T_REC (ID, NAME) values (201, 'other')", fb::gds::UniqueKey, nullptr},
        {"select * from NO_SUCH_TABLE", 335544569, nullptr},
        {"insert into T_REC (ID, NAME) values (203, 'xλy')", fb::gds::Transliteration, nullptr},
    };
    for (const Case& c : cases) {
        Transaction t(&db());
        Statement q(&t);
        q.setSql(QString::fromUtf8(c.sql));
        try {
            q.execute();
            ADD_FAILURE() << "no error from " << c.sql;
        } catch (const fb::Error& e) {
            EXPECT_TRUE(e.hasGdsCode(c.code)) << c.sql << ": " << e.fullText().toStdString();
            EXPECT_FALSE(e.firstMessage().contains(u'\n')) << e.firstMessage().toStdString();
            EXPECT_TRUE(e.fullText().startsWith(e.firstMessage()));
            EXPECT_NE(e.sqlCode(), 0);
            if (c.first) {
                EXPECT_EQ(e.firstMessage(), QString::fromUtf8(c.first));
            }
        }
    }
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_REC where ID = 203")).toInt(), 0);
}

TEST_F(StatementTest, CursorFetchesOnDemandAndReportsAffectedRows) {
    Transaction t(&db());
    Statement fill(&t);
    fill.setSql(QStringLiteral(
        "execute block as declare i integer = 0; begin while (i < 500) do begin "
        "insert into T_REC (ID, NAME, AMOUNT) values (1000 + :i, 'row ' || :i, :i); i = i + 1; end end"));
    fill.setParamCheck(false);
    fill.execute();

    Statement q(&t);
    q.setSql(QStringLiteral("select ID, AMOUNT from T_REC where ID >= 1000 order by ID"));
    q.execute();
    EXPECT_TRUE(q.cursorOpen());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(q.fetch());
        EXPECT_EQ(q.value(QStringLiteral("amount")).toInt(), i);
    }
    EXPECT_TRUE(q.cursorOpen());
    q.close();
    EXPECT_FALSE(q.fetch());

    Statement upd(&t);
    upd.setSql(QStringLiteral("update T_REC set FLAG = 1 where ID between 1000 and 1009"));
    upd.execute();
    EXPECT_EQ(upd.rowsAffected(), 10);

    Statement ret(&t);
    ret.setSql(QStringLiteral("update T_REC set AMOUNT = AMOUNT + 1 where ID = 1005 returning AMOUNT"));
    ret.execute();
    ASSERT_TRUE(ret.fetch());
    EXPECT_EQ(ret.value(0).toInt(), 6);
    EXPECT_FALSE(ret.fetch());

    // Committing closes the open cursors of the transaction.
    q.execute();
    ASSERT_TRUE(q.fetch());
    t.commit();
    EXPECT_FALSE(q.cursorOpen());
    exec(QStringLiteral("delete from T_REC where ID >= 1000"));
}

TEST_F(StatementTest, StatementWithoutTransactionOrEndingItIsRefused) {
    Statement q;
    q.setSql(QStringLiteral("select 1 from RDB$DATABASE"));
    EXPECT_THROW(q.execute(), fb::Error);
    Transaction t(&db());
    q.setTransaction(&t);
    for (const char* sql : {"commit", "rollback", "set transaction read committed"}) {
        q.setSql(QString::fromLatin1(sql));
        EXPECT_THROW(q.execute(), fb::Error) << sql;
    }
    EXPECT_NO_THROW(t.rollback());  // the transaction object is still sound
}

TEST_F(StatementTest, NoRowOutlivesTheEndOfItsTransaction) {
    exec(QStringLiteral("insert into T_REC (ID, AMOUNT) values (1900, 7)"));
    for (const bool commit : {true, false}) {
        SCOPED_TRACE(commit ? "commit" : "rollback");
        Transaction t(&db());
        Statement cursor(&t);
        cursor.setSql(QStringLiteral("select AMOUNT from T_REC where ID = 1900"));
        cursor.execute();
        Statement returned(&t);  // an executed statement's one row waits for its fetch
        returned.setSql(QStringLiteral("update T_REC set AMOUNT = AMOUNT where ID = 1900 returning AMOUNT"));
        returned.execute();
        EXPECT_TRUE(returned.cursorOpen());
        commit ? t.commit() : t.rollback();
        for (Statement* q : {&cursor, &returned}) {
            EXPECT_FALSE(q->cursorOpen());
            EXPECT_FALSE(q->fetch());
        }
    }
    exec(QStringLiteral("delete from T_REC where ID = 1900"));
}

TEST_F(StatementTest, NumbersBeyondTheirRangeNeverWrap) {
    // NUMERIC(15,2) N, DECIMAL(18,4) DC, NUMERIC(18,6) N6 of the scratch table.
    exec(QStringLiteral("insert into T_TYPES (ID, N, DC, N6) values (900, 9000000000000.25, 922337203685477.5807, "
                        "-9000000000000.000001)"));
    exec(QStringLiteral("create table T_BIG (ID integer not null primary key, N numeric(18,2))"));
    exec(QStringLiteral("insert into T_BIG values (1, 9000000000000000.00)"));
    exec(QStringLiteral("insert into T_BIG values (2, -92233720368547758.08)"));
    struct Case {
        const char* sql;
        double expected;
    };
    for (const Case& c : {Case{"select N from T_TYPES where ID = 900", 9000000000000.25},
                          Case{"select DC from T_TYPES where ID = 900", 922337203685477.5807},
                          Case{"select N6 from T_TYPES where ID = 900", -9000000000000.000001},
                          Case{"select N from T_BIG where ID = 1", 9e15},
                          Case{"select N from T_BIG where ID = 2", -92233720368547758.08}}) {
        SCOPED_TRACE(c.sql);
        EXPECT_DOUBLE_EQ(scalar(QString::fromLatin1(c.sql)).toDouble(), c.expected);
    }
    EXPECT_EQ(scalar(QStringLiteral("select N from T_TYPES where ID = 900")).toCurrency().tenThousandths,
              90000000000002500);
    // A currency value has no room for it: converting says so instead of wrapping.
    EXPECT_THROW(scalar(QStringLiteral("select N from T_BIG where ID = 1")).toCurrency(), core::Exception);
    EXPECT_THROW(core::Variant(qint64{1} << 62).toCurrency(), core::Exception);
    exec(QStringLiteral("drop table T_BIG"));
    exec(QStringLiteral("delete from T_TYPES where ID = 900"));
}

TEST_F(StatementTest, ATextTheColumnCannotHoldIsRefusedByName) {
    Transaction t(&db());
    Statement q(&t);
    q.setSql(QStringLiteral("insert into T_TYPES (ID, VC) values (:ID, :VC)"));
    q.setParam(QStringLiteral("ID"), 901);
    q.setParam(QStringLiteral("VC"), QString(40, QChar(u'ї')));  // exactly the column, two bytes each
    EXPECT_NO_THROW(q.execute());
    q.setParam(QStringLiteral("ID"), 902);
    q.setParam(QStringLiteral("VC"), QString(41, QChar(u'a')));
    try {
        q.execute();
        FAIL() << "an over-long text was stored";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("VC"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("41"))) << e.message().toStdString();
    }
    // A character the database's WIN1251 lacks is named with its parameter.
    q.setParam(QStringLiteral("VC"), QStringLiteral("Дем'яненко λ"));
    try {
        q.execute();
        FAIL() << "a text the database cannot hold was stored";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("VC"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("λ"))) << e.message().toStdString();
        EXPECT_TRUE(e.hasGdsCode(fb::gds::Transliteration));
    }
    t.rollback();

    fb::Database other(path());
    EXPECT_THROW(other.setCharset(QStringLiteral("WIN1251")), fb::Error);
    EXPECT_NO_THROW(other.setCharset(QStringLiteral("utf8")));
}

}  // namespace

namespace {

TEST_F(StatementTest, PlanNamesHowTheTableIsRead) {
    Transaction t(&db());
    Statement q(&t);
    q.setSql(QStringLiteral("select ID from T_TYPES order by ID"));
    const QString plan = q.plan();
    EXPECT_TRUE(plan.startsWith(QStringLiteral("PLAN"))) << plan.toStdString();
    EXPECT_TRUE(plan.contains(QStringLiteral("T_TYPES"))) << plan.toStdString();
}

}  // namespace
