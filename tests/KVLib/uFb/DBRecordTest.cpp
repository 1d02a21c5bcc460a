#include <gtest/gtest.h>

#include "kv_DBRecord.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/fb/Database.h"
#include "platform/fb/Error.h"
#include "platform/fb/Script.h"
#include "tests/support/ErrorText.h"
#include "tests/support/ProcessFormats.h"
#include "tests/support/TestDatabase.h"

using core::Variant;
using ufb::TDBRecord;

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using tolvtest::errorText;

TEST(ExchangeLineTest, WritesAndReadsLines) {
    TDBRecord r(QStringLiteral("CLIENTS"), nullptr);
    r.SetField(QStringLiteral("name"), QStringLiteral("O'Brien"));
    r.SetField(QStringLiteral("ID"), 5);
    EXPECT_EQ(r.buildInsertSql(),
              QStringLiteral("insert into CLIENTS ( ID,NAME ) values ( '5','O''Brien' )"));

    TDBRecord back(QStringLiteral(""), nullptr);
    back.LoadFromInsertSql(r.buildInsertSql());
    EXPECT_EQ(back.getTableName(), QStringLiteral("CLIENTS"));
    EXPECT_EQ(back.GetField(QStringLiteral("ID")), Variant(QStringLiteral("5")));
    EXPECT_EQ(back.GetField(QStringLiteral("NAME")), Variant(QStringLiteral("O'Brien")));

    TDBRecord order(QStringLiteral("PENALTY_OPERATIONS"), nullptr);
    order.SetField(QStringLiteral("OP_ID"), 1);
    order.SetField(QStringLiteral("OPERATION"), Variant::null());
    order.SetField(QStringLiteral("OP_INFO"), QStringLiteral("NULL"));
    EXPECT_EQ(order.buildInsertSql(),
              QStringLiteral(
                  "insert into PENALTY_OPERATIONS ( OPERATION,OP_ID,OP_INFO ) values ( NULL,'1','NULL' )"));
    TDBRecord nulls;
    nulls.LoadFromInsertSql(order.buildInsertSql());
    EXPECT_TRUE(nulls.GetField(QStringLiteral("OPERATION")).isNull());
    EXPECT_EQ(nulls.GetField(QStringLiteral("OP_INFO")), Variant(QStringLiteral("NULL")));
}

TEST(ExchangeLineTest, TextsWithQuotesCommasAndLineBreaksRoundTrip) {
    const QString texts[] = {QStringLiteral("вул. Дем'яненка', буд. 5"), QStringLiteral("a',"),
                             QStringLiteral("рядок 1\nрядок 2 ) values ( x"), QStringLiteral(""),
                             QStringLiteral("''")};
    for (const QString& text : texts) {
        TDBRecord r(QStringLiteral("CLIENTS"), nullptr);
        r.SetField(QStringLiteral("ADDRESS"), text);
        r.SetField(QStringLiteral("ID"), 7);
        r.SetField(QStringLiteral("ZIP"), QStringLiteral("01001"));
        TDBRecord back;
        back.LoadFromInsertSql(r.buildInsertSql());
        EXPECT_EQ(back.GetField(QStringLiteral("ADDRESS")).toText(), text);
        EXPECT_EQ(back.GetField(QStringLiteral("ZIP")).toText(), QStringLiteral("01001"));
    }
}

// A line holds whatever a column holds: a full 32 K text, a megabyte of text blob with quotes,
// commas, line breaks and the line's own separators inside.
TEST(ExchangeLineTest, LongValuesRoundTrip) {
    QString blob;
    while (blob.size() < (1 << 20)) blob += QStringLiteral("Рядок 'з лапками', кома',\n) values ( '''\r\n");
    const QString texts[] = {QString(32765, u'ї'), QString(32000, u'\'') + QStringLiteral(","), blob};
    for (const QString& text : texts) {
        TDBRecord r(QStringLiteral("CLIENTS"), nullptr);
        r.SetField(QStringLiteral("ID"), 7);
        r.SetField(QStringLiteral("NOTE"), text);
        r.SetField(QStringLiteral("ZIP"), QStringLiteral("01001"));
        TDBRecord back;
        EXPECT_NO_THROW(back.LoadFromInsertSql(r.buildInsertSql())) << text.size();
        EXPECT_TRUE(back.GetFieldStr(QStringLiteral("NOTE")) == text) << text.size();
        EXPECT_EQ(back.GetFieldStr(QStringLiteral("ZIP")).toStdString(), "01001") << text.size();
    }
}

TEST(ExchangeLineTest, MalformedLines) {
    struct Case {
        const char16_t* line;
        const char16_t* error;  // null: loads
    };
    const Case cases[] = {
        {u"update CLIENTS set ID = '1'", u"Неверная структура записи в файле экспорта"},
        {u"insert into CLIENTS ( A,B,C ) values ( '1','2' )",
         u"Не совпадает число полей и число значений полей в записи в файле экспорта"},
        {u"insert into CLIENTS ( - ) values ( '1' )",
         u"Неверная структура информации о полях или значениях записи в файле экспорта."},
        {u"insert into CLIENTS ( A,B ) values ( '1','2','3' )", nullptr},
        {u"insert into CLIENTS ( A,B ) values ( '1','2 )",
         u"Не совпадает число полей и число значений полей в записи в файле экспорта"},
        {u"insert into CLIENTS ( A ) values ( 5 )",
         u"Неверная структура информации о полях или значениях записи в файле экспорта."},
    };
    for (const Case& c : cases) {
        TDBRecord r;
        const QString text = errorText([&] { r.LoadFromInsertSql(QString::fromUtf16(c.line)); });
        EXPECT_EQ(text, c.error ? QString::fromUtf16(c.error) : QStringLiteral("<no error>"));
    }
    TDBRecord two;
    two.LoadFromInsertSql(QStringLiteral("insert into CLIENTS ( A,B ) values ( '1','2','3' )"));
    EXPECT_EQ(two.values().size(), 2u);
}

class DBRecordTest : public tolvtest::DbSuite {
protected:
    static void SetUpTestSuite() {
        DbSuite::SetUpTestSuite();
        fb::runScript(
            *TolvMain::getZarvelDb(),
            QStringLiteral("create generator GEN_T_CLIENT_ID;\n"
                           "create table T_CLIENT (ID integer not null primary key, NAME varchar(80), "
                           "D date, AMOUNT integer);\n"
                           "create table T_TEXT (ID integer not null primary key, V varchar(10000), "
                           "B blob sub_type text);\n"));
    }
    static int rows(const QString& where) {
        ufb::AutoQuery q(QStringLiteral("select count(*) as N from T_CLIENT where ") + where, nullptr);
        q->open();
        return q.getFields(QStringLiteral("N")).toInt();
    }
};

TEST_F(DBRecordTest, InsertSelectUpdateDelete) {
    TDBRecord r(QStringLiteral("T_CLIENT"), nullptr);
    const int id = r.genId();
    r.SetId(id);
    r.SetField(QStringLiteral("NAME"), QStringLiteral("Дем'яненко"));
    r.SetField(QStringLiteral("D"), core::DateTime::encode(2009, 5, 25));
    r.SetField(QStringLiteral("AMOUNT"), 150000);
    r.Insert();
    EXPECT_EQ(rows(QStringLiteral("ID = %1").arg(id)), 1);

    TDBRecord loaded(QStringLiteral("T_CLIENT"), QStringLiteral("id"), id, nullptr);
    EXPECT_EQ(loaded.Select(), 1);
    EXPECT_EQ(loaded.GetFieldStr(QStringLiteral("name")), QStringLiteral("Дем'яненко"));
    EXPECT_EQ(loaded.GetField(QStringLiteral("D")).toDateTime(), core::DateTime::encode(2009, 5, 25));
    EXPECT_EQ(loaded.selectSql(), QStringLiteral("select * from T_CLIENT where ID='%1'").arg(id));

    loaded.SetField(QStringLiteral("AMOUNT"), 1);
    loaded.Update(nullptr, true);
    EXPECT_EQ(rows(QStringLiteral("ID = %1 and AMOUNT = 1").arg(id)), 1);

    TDBRecord missing(QStringLiteral("T_CLIENT"), QStringLiteral("ID"), -5, nullptr);
    missing.SetField(QStringLiteral("NAME"), QStringLiteral("stays"));
    EXPECT_EQ(missing.Select(), 0);
    EXPECT_EQ(missing.GetFieldStr(QStringLiteral("NAME")), QStringLiteral("stays"));
    // An update that touches no row fails, and its own transaction leaves nothing behind.
    missing.SetField(QStringLiteral("AMOUNT"), 2);
    missing.SetField(QStringLiteral("D"), Variant::null());
    EXPECT_THROW(missing.Update(nullptr, true), core::Exception);

    loaded.Delete();
    EXPECT_EQ(rows(QStringLiteral("ID = %1").arg(id)), 0);
}

// A user's date format is the process's; the record's statements must not depend on it.
TEST_F(DBRecordTest, StatementsKeepDatesWhateverTheProcessDateFormat) {
    const std::pair<const char*, QChar> formats[] = {
        {"dd/mm/yyyy", u'/'}, {"yyyy/mm/dd", u'/'}, {"mm-dd-yyyy", u'-'}};
    int id = 700;
    for (const auto& [pattern, separator] : formats) {
        SCOPED_TRACE(pattern);
        tolvtest::ScopedDateFormat format(QString::fromLatin1(pattern), separator);
        const core::DateTime day = core::DateTime::encode(2009, 3, 5);
        TDBRecord r(QStringLiteral("T_CLIENT"), nullptr);
        r.SetId(++id);
        r.SetField(QStringLiteral("D"), day);
        r.SetField(QStringLiteral("AMOUNT"), 1);
        r.Insert();
        EXPECT_EQ(rows(QStringLiteral("ID = %1 and D = '2009-03-05'").arg(id)), 1);

        // The date as the key: found, changed and removed by it.
        TDBRecord byDay(QStringLiteral("T_CLIENT"), QStringLiteral("D"), day, nullptr);
        byDay.SetKey(QStringLiteral("ID"), id);
        EXPECT_EQ(byDay.Select(), 1);
        EXPECT_EQ(byDay.GetField(QStringLiteral("D")).toDateTime(), day);
        byDay.SetField(QStringLiteral("AMOUNT"), 2);
        byDay.Update(nullptr, true);
        EXPECT_EQ(rows(QStringLiteral("ID = %1 and AMOUNT = 2").arg(id)), 1);
        byDay.Delete();
        EXPECT_EQ(rows(QStringLiteral("ID = %1").arg(id)), 0);
    }
}

// Two workstations open one row and save different fields: neither reverts the other's change.
TEST_F(DBRecordTest, AnUpdateWritesOnlyWhatChangedSinceTheRowWasRead) {
    const QString clientRow = QStringLiteral("ID = 800 and NAME = '%1' and AMOUNT %2");
    TDBRecord row(QStringLiteral("T_CLIENT"), nullptr);
    row.SetId(800);
    row.SetField(QStringLiteral("NAME"), QStringLiteral("Іваненко"));
    row.SetField(QStringLiteral("D"), core::DateTime::encode(2009, 5, 25));
    row.SetField(QStringLiteral("AMOUNT"), 10);
    row.Insert();

    fb::Database second(testDb().path());
    second.open();
    TDBRecord a(QStringLiteral("T_CLIENT"), QStringLiteral("ID"), 800, nullptr);
    TDBRecord b(QStringLiteral("T_CLIENT"), QStringLiteral("ID"), 800, nullptr);
    b.setDatabase(&second);
    ASSERT_EQ(a.Select(), 1);
    ASSERT_EQ(b.Select(), 1);
    a.SetField(QStringLiteral("NAME"), QStringLiteral("Петренко"));
    a.Update(nullptr, true);
    b.SetField(QStringLiteral("AMOUNT"), 20);
    b.Update(nullptr, true);
    EXPECT_EQ(rows(clientRow.arg(QStringLiteral("Петренко"), QStringLiteral("= 20"))), 1);

    // A record never read writes every value it holds, and only those.
    TDBRecord filled(QStringLiteral("T_CLIENT"), QStringLiteral("ID"), 800, nullptr);
    filled.SetField(QStringLiteral("NAME"), QStringLiteral("Сидоренко"));
    filled.SetField(QStringLiteral("AMOUNT"), Variant::null());
    filled.Update(nullptr, true);
    EXPECT_EQ(rows(clientRow.arg(QStringLiteral("Сидоренко"), QStringLiteral("is null")) +
                   QStringLiteral(" and D = '2009-05-25'")),
              1);

    // Nothing changed: the check of one row still holds, and fails once the row is gone.
    TDBRecord unchanged(QStringLiteral("T_CLIENT"), QStringLiteral("ID"), 800, nullptr);
    ASSERT_EQ(unchanged.Select(), 1);
    EXPECT_NO_THROW(unchanged.Update(nullptr, true));
    ufb::AutoQuery gone(QStringLiteral("delete from T_CLIENT where ID = 800"), nullptr);
    gone->execSql();
    gone->transaction()->commit();
    EXPECT_EQ(errorText([&] { unchanged.Update(nullptr, true); }),
              QStringLiteral("Неверное количество обработанных запросом строк. Ожидалось 1 получили 0"));
    second.close();
}

// Input the database cannot keep is refused by the record with a message naming the field, before
// anything is written; a row another workstation holds gets a message the user understands.
TEST_F(DBRecordTest, BadValuesAndConflictsGetClearMessages) {
    const QString field = QStringLiteral("\nПоле: NAME (таблица T_CLIENT)");
    struct Case {
        QString name;
        QString error;  // empty: stored
    };
    const Case cases[] = {
        {QStringLiteral("Дем'яненко ★ 漢"),
         QStringLiteral("Значение содержит символы, которых нет в кодировке базы данных: ★漢") + field},
        {QString(81, u'ї'),
         QStringLiteral("Слишком длинное значение: 81 симв., допустимо не более 80") + field},
        {QString(80, u'ї'), QString()},
        {QStringLiteral("Ґудзь-Їжакевич №5 «Ювелір» — €"), QString()},
    };
    int id = 900;
    for (const Case& c : cases) {
        TDBRecord r(QStringLiteral("T_CLIENT"), nullptr);
        r.SetId(++id);
        r.SetField(QStringLiteral("NAME"), c.name);
        const QString inserted = errorText([&] { r.Insert(); });
        EXPECT_EQ(inserted, c.error.isEmpty() ? QStringLiteral("<no error>") : c.error) << id;
        EXPECT_EQ(rows(QStringLiteral("ID = %1").arg(id)), c.error.isEmpty() ? 1 : 0);

        // The same value as a change of a stored row.
        TDBRecord stored(QStringLiteral("T_CLIENT"), QStringLiteral("ID"), 800 + id, nullptr);
        stored.Insert();
        ASSERT_EQ(stored.Select(), 1);
        stored.SetField(QStringLiteral("NAME"), c.name);
        const QString updated = errorText([&] { stored.Update(nullptr, true); });
        EXPECT_EQ(updated, inserted) << id;
    }

    // Another workstation changes the row and has not committed yet.
    TDBRecord mine(QStringLiteral("T_CLIENT"), QStringLiteral("ID"), 990, nullptr);
    mine.Insert();
    ASSERT_EQ(mine.Select(), 1);
    fb::Database second(testDb().path());
    second.open();
    {
        fb::Transaction theirs(&second);
        theirs.setParams(
            {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
        TDBRecord other(QStringLiteral("T_CLIENT"), QStringLiteral("ID"), 990, &theirs);
        ASSERT_EQ(other.Select(), 1);
        other.SetField(QStringLiteral("AMOUNT"), 5);
        other.Update(nullptr, true);
        mine.SetField(QStringLiteral("NAME"), QStringLiteral("Моя зміна"));
        try {
            mine.Update(nullptr, true);
            ADD_FAILURE() << "the held row was written";
        } catch (const fb::Error& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("Запись изменена другим пользователем или изменяется им сейчас. "
                                     "Откройте её заново и повторите изменения.\nТаблица: T_CLIENT"));
            // Callers that retry later still tell a conflict by its codes.
            EXPECT_TRUE(e.hasGdsCode(fb::gds::UpdateConflict) || e.hasGdsCode(fb::gds::LockConflict));
        }
        theirs.rollback();
    }
    mine.Update(nullptr, true);
    EXPECT_EQ(rows(QStringLiteral("ID = 990 and NAME = 'Моя зміна'")), 1);
    second.close();
}

// The exchange line of a row with long texts goes into the database whole: a varchar column filled
// to its 10,000 characters and a megabyte of text blob, inserted and then changed.
TEST_F(DBRecordTest, LongTextsFromAnExchangeLineAreStoredWhole) {
    // Read back as blobs: a connection in UTF8 cannot fetch more than 8191 characters of a varchar.
    const auto stored = [](const char* column) {
        ufb::AutoQuery q(QStringLiteral("select cast(%1 as blob sub_type text character set UTF8) as T "
                                        "from T_TEXT where ID = 1")
                             .arg(QLatin1String(column)),
                         nullptr);
        q->open();
        return q.getFields(QStringLiteral("T")).toText();
    };
    QString blob;
    while (blob.size() < (1 << 20)) blob += QStringLiteral("Рядок 'з лапками', кома',\n) values ( '''\r\n");
    const QString full(10000, u'ї');
    TDBRecord source(QStringLiteral("T_TEXT"), nullptr);
    source.SetId(1);
    source.SetField(QStringLiteral("V"), full);
    source.SetField(QStringLiteral("B"), blob);
    TDBRecord line;
    line.LoadFromInsertSql(source.buildInsertSql());
    line.Insert();
    EXPECT_TRUE(stored("V") == full);
    EXPECT_TRUE(stored("B") == blob);

    TDBRecord changed(QStringLiteral("T_TEXT"), QStringLiteral("ID"), 1, nullptr);
    changed.SetField(QStringLiteral("V"), QString(9000, u'ґ'));
    changed.SetField(QStringLiteral("B"), blob + blob);
    changed.Update(nullptr, true);
    EXPECT_TRUE(stored("V") == QString(9000, u'ґ'));
    EXPECT_EQ(stored("B").size(), 2 * blob.size());
}

TEST_F(DBRecordTest, KeysAndRefusals) {
    TDBRecord r(QStringLiteral("T_CLIENT"), QStringLiteral("ID"), 1, nullptr);
    r.SetField(QStringLiteral("id"), 7);  // a key field keeps following its value
    EXPECT_EQ(r.key().whereClause(), QStringLiteral(" where ID='7'"));
    EXPECT_EQ(r.GetField(QStringLiteral("ID")).toInt(), 7);

    TDBRecord noKey(QStringLiteral("T_CLIENT"), nullptr);
    noKey.SetKey(QStringLiteral("ID"), Variant::null());
    noKey.SetField(QStringLiteral("NAME"), QStringLiteral("всім"));
    noKey.Delete();
    EXPECT_TRUE(noKey.deleteSql().isEmpty());
    EXPECT_EQ(noKey.Select(), 0);
    EXPECT_THROW(noKey.Update(), core::Exception);  // would rewrite every row
    EXPECT_TRUE(noKey.updateSql().isEmpty());

    EXPECT_EQ(
        errorText([&] { r.GetField(QStringLiteral("Nope")); }),
        QStringLiteral("field 'Nope' not exist\n\nFunc: TDBRecord::GetField()\nLine: kv_DBRecord:496\n\n"));
    EXPECT_TRUE(r.GetField(QStringLiteral("Nope"), false).isUnassigned());
    r.Field(QStringLiteral("UNSET"));
    EXPECT_EQ(errorText([&] { r.Insert(); }), QStringLiteral("udb::var2DbVar() - The variant is Unassigned"));
}

// A key field holding the NULL marker asks for "is null"; a plain null key field still asks nothing.
TEST_F(DBRecordTest, NullMarkerSelectsNullColumnsAndStaysOutOfInserts) {
    for (const auto& [id, amount] : {std::pair{950, Variant(5)}, std::pair{951, Variant::null()}}) {
        TDBRecord row(QStringLiteral("T_CLIENT"), nullptr);
        row.SetId(id);
        row.SetField(QStringLiteral("NAME"), QStringLiteral("маркер"));
        row.SetField(QStringLiteral("AMOUNT"), amount);
        row.Insert();
    }
    struct Case {
        bool marker;
        int found;
        int id;
    };
    // With a plain null the first of both rows answers; with the marker only the row without amount.
    for (const Case& c : {Case{false, 2, 950}, Case{true, 1, 951}}) {
        TDBRecord r(QStringLiteral("T_CLIENT"), nullptr);
        r.SetKey(QStringLiteral("NAME"), QStringLiteral("маркер"));
        if (c.marker) {
            r.SetKey(QStringLiteral("AMOUNT"), ufb::nullMarker);
        } else {
            r.SetKey(QStringLiteral("AMOUNT"), Variant::null());
        }
        ASSERT_EQ(r.Select(), c.found) << c.marker;
        EXPECT_EQ(r.GetField(QStringLiteral("ID")).toInt(), c.id);
    }

    TDBRecord marked(QStringLiteral("T_CLIENT"), nullptr);
    marked.SetId(952);
    marked.SetKey(QStringLiteral("AMOUNT"), ufb::nullMarker);
    EXPECT_TRUE(marked.GetField(QStringLiteral("AMOUNT")).isNull());
    EXPECT_EQ(marked.key().whereClause(), QStringLiteral(" where AMOUNT is null and ID='952'"));
    EXPECT_EQ(marked.buildInsertSql(), QStringLiteral("insert into T_CLIENT ( ID ) values ( '952' )"));
    marked.Insert();
    EXPECT_EQ(rows(QStringLiteral("ID = 952 and AMOUNT is null")), 1);
    // A value set later replaces the marker, in the key too.
    marked.SetField(QStringLiteral("AMOUNT"), 3);
    EXPECT_FALSE(marked.holdsNullMarker(QStringLiteral("AMOUNT")));
    EXPECT_EQ(marked.key().whereClause(), QStringLiteral(" where AMOUNT='3' and ID='952'"));
}

TEST_F(DBRecordTest, OwnTransactionRollsBackAndCallersIsLeftAlone) {
    TDBRecord a(QStringLiteral("T_CLIENT"), nullptr);
    a.SetId(900);
    a.Insert();
    TDBRecord dup(QStringLiteral("T_CLIENT"), nullptr);
    dup.SetId(900);
    try {
        dup.Insert();
        FAIL();
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.gdsCode(), fb::gds::UniqueKey);
    }
    ufb::AutoTransaction tr(TolvMain::getZarvelDb());
    TDBRecord b(QStringLiteral("T_CLIENT"), tr.get());
    b.SetId(901);
    b.Insert();
    EXPECT_TRUE(tr->inTransaction());
    EXPECT_EQ(rows(QStringLiteral("ID = 901")), 0);
    tr->rollback();
    EXPECT_EQ(rows(QStringLiteral("ID = 901")), 0);
}

}  // namespace
