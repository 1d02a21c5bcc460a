#include <gtest/gtest.h>

#include "kv_MainDb.h"
#include "kv_QueryWrapper.h"
#include "kv_RxMemWrapper.h"
#include "platform/core/Exception.h"
#include "platform/data/MemTable.h"
#include "platform/fb/Query.h"
#include "platform/fb/Script.h"
#include "platform/fb/Transaction.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TestDatabase.h"

using core::Variant;

namespace {

class QueryWrapperTest : public tolvtest::DbSuite {
protected:
    static void SetUpTestSuite() {
        DbSuite::SetUpTestSuite();
        fb::runScript(*TolvMain::getZarvelDb(), QStringLiteral(
            "create generator GEN_T_CITY_ID;\n"
            "create table T_CITY (ID integer not null primary key, NAME varchar(40), REGION varchar(40));\n"
            "insert into T_CITY values (1, 'Київ', 'Київська');\n"
            "insert into T_CITY values (2, 'Біла Церква', 'Київська');\n"
            "insert into T_CITY values (3, 'Кам''янець', 'Хмельницька');\n"
            "insert into T_CITY values (4, 'Львів', 'Львівська');\n"
            "set generator GEN_T_CITY_ID to 100;\n"));
    }
    static QStringList names(data::Dataset& ds) {
        QStringList out;
        for (ds.first(); !ds.eof(); ds.next()) out << ds.fieldByName(QStringLiteral("NAME")).asString();
        return out;
    }
};

TEST_F(QueryWrapperTest, ComposesTheConditionPart) {
    struct Case {
        const char* base;
        const char* where;
        std::vector<const char*> filters;
        const char* expected;
    };
    const Case cases[] = {
        {"select * from T", "", {}, ""},
        {"select * from T", "A = 1", {}, " where (A = 1)"},
        {"select * from T", "A = 1 and B = 2", {}, " where (A = 1 and B = 2)"},
        {"select * from T", "", {"C = 3"}, " where (C = 3)"},
        {"select * from T where A = 1", "", {"C = 3"}, " and (C = 3)"},
        {"select * from T", "A = 1", {"C = 3", "D = 4"}, " where (A = 1) and (C = 3) and (D = 4)"},
        {"select * from T",
         "A = 1 or B = 2",
         {"C = 3 or D = 4"},
         " where (A = 1 or B = 2) and (C = 3 or D = 4)"},
        {"select * from T WHERE A = 1", "", {"C = 3"}, " and (C = 3)"},
        {"select (select X from U where U.ID = T.ID) from T", "", {"C = 3"}, " where (C = 3)"},
    };
    for (const Case& c : cases) {
        ufb::QueryWrapper w(TolvMain::getChangeTransact());
        w.setSql(QString::fromLatin1(c.base));
        w.setWhere(QString::fromLatin1(c.where));
        for (const char* f : c.filters) w.addFilter(QString::fromLatin1(f));
        EXPECT_EQ(w.buildWhere(), QString::fromLatin1(c.expected)) << c.where;
    }
    ufb::QueryWrapper base(TolvMain::getChangeTransact());
    base.setSql(QStringLiteral("select * from T where A = 1 or B = 2"));
    base.prepareSql();
    EXPECT_EQ(base.getQuery()->sql(), QStringLiteral("select * from T where A = 1 or B = 2"));
    base.addFilter(QStringLiteral("C = 3"));
    base.prepareSql();
    EXPECT_EQ(base.getQuery()->sql(), QStringLiteral("select * from T where (A = 1 or B = 2) and (C = 3)"));
    EXPECT_EQ(base.extraFilter(), QStringLiteral("C = 3"));
}

// The rows a list shows are exactly those of its own condition and of every filter joined to it,
// whatever "or", letter case, subquery or literal any of them holds.
TEST_F(QueryWrapperTest, ConditionsAndFiltersNeverEscapeEachOther) {
    struct Case {
        const char* base;
        const char* where;
        std::vector<const char*> filters;
        std::vector<int> ids;
    };
    const char* const plain = "select ID, NAME, REGION from T_CITY C";
    // An any-column search, as the directory window's quick search builds it.
    const char* const search = "UPCASE(C.NAME) like '%Л%' or UPCASE(C.REGION) like '%Л%'";
    const Case cases[] = {
        {plain, "C.REGION = 'Київська' and C.ID > 0", {search}, {2}},
        {plain, "", {"C.ID = 2 or C.ID = 4", "C.REGION = 'Львівська' or C.NAME = 'x'"}, {4}},
        {plain, "C.ID = 1 or C.ID = 4", {"C.REGION = 'Львівська' or C.NAME = 'x'", search}, {4}},
        {"select ID, NAME, REGION from T_CITY C WHERE C.ID < 4", "", {search}, {2, 3}},
        {"select ID, NAME, REGION from T_CITY C where C.REGION = 'Київська' or C.REGION = 'Львівська'",
         "",
         {"C.NAME like 'Л%' or C.ID = 2"},
         {2, 4}},
        {"select ID, NAME, REGION, (select count(*) from T_CITY X where X.REGION = C.REGION) as N from "
         "T_CITY C",
         "C.REGION = 'Київська'",
         {search},
         {2}},
        {"select ID, NAME, REGION, 'nowhere' as TAG from T_CITY C",
         "",
         {"C.NAME like 'Л%' or C.ID = 1"},
         {1, 4}},
        {"select ID, NAME, REGION from T_CITY NOWHERE_ALIAS", "", {"ID = 3 or ID = 4"}, {3, 4}},
    };
    for (const Case& c : cases) {
        ufb::QueryWrapper w(TolvMain::getChangeTransact());
        w.setSql(QString::fromUtf8(c.base));
        w.setWhere(QString::fromUtf8(c.where));
        w.setOrderBy(QStringLiteral("ID"));
        for (const char* f : c.filters) w.addFilter(QString::fromUtf8(f));
        std::vector<int> ids;
        try {
            w.open();
            data::Dataset& ds = *w.getDataSet();
            for (ds.first(); !ds.eof(); ds.next())
                ids.push_back(ds.fieldByName(QStringLiteral("ID")).asInteger());
        } catch (const core::Exception& e) {
            ADD_FAILURE() << c.base << " / " << c.where << ": " << e.message().toStdString();
        }
        EXPECT_EQ(ids, c.ids) << c.base << " / " << c.where << "\n" << w.getQuery()->sql().toStdString();
    }
}

TEST_F(QueryWrapperTest, OrdersFiltersAndTitleSorts) {
    ufb::QueryWrapper w(TolvMain::getChangeTransact());
    w.setSql(QStringLiteral("select ID, NAME, REGION from T_CITY"));
    w.prepareSql();
    EXPECT_EQ(w.getQuery()->sql(), QStringLiteral("select ID, NAME, REGION from T_CITY"));
    w.setOrderBy(QStringLiteral("ID desc"));
    w.prepareSql();
    EXPECT_EQ(w.getQuery()->sql(), QStringLiteral("select ID, NAME, REGION from T_CITY order by ID desc"));

    w.addFieldFilter(QStringLiteral("C.CONTRACT_NUM"), QStringLiteral("12"), true, false);
    EXPECT_EQ(w.extraFilter(), QStringLiteral("C.CONTRACT_NUM like '12%'"));
    w.clearFilter();
    w.addFieldFilter(QStringLiteral("field"), QStringLiteral("ив"), true, true);
    EXPECT_EQ(w.extraFilter(), QStringLiteral("UPCASE(field) like 'ИВ%'"));
    w.clearFilter();
    w.addFieldFilter(QStringLiteral("NAME"), QStringLiteral("кам'янець"), false, true);
    EXPECT_EQ(w.extraFilter(), QStringLiteral("UPCASE(NAME) = 'КАМ''ЯНЕЦЬ'"));
    w.open();
    EXPECT_EQ(names(*w.getDataSet()), QStringList({QStringLiteral("Кам'янець")}));
    w.clearFilter();
    w.addFieldFilter(QStringLiteral("NAME"), QStringLiteral("київ"), true, true);
    w.open();
    EXPECT_EQ(names(*w.getDataSet()), QStringList({QStringLiteral("Київ")}));

    w.clearFilter();
    w.sortBy(QStringLiteral("NAME"), QString());
    EXPECT_TRUE(w.orderBy().isEmpty());
    EXPECT_EQ(w.sortDirection(), QStringLiteral("ASC"));
    EXPECT_EQ(names(*w.getDataSet()).first(), QStringLiteral("Біла Церква"));
    w.sortBy(QStringLiteral("NAME"), QString());
    EXPECT_EQ(w.sortDirection(), QStringLiteral("DESC"));
    EXPECT_EQ(names(*w.getDataSet()).first(), QStringLiteral("Львів"));
    w.sortBy(QStringLiteral("NAME"), QString());
    EXPECT_EQ(w.sortDirection(), QStringLiteral("ASC"));
    w.sortBy(QStringLiteral("ID"), QStringLiteral("REGION"));
    EXPECT_EQ(w.sortField(), QStringLiteral("REGION"));
    EXPECT_EQ(w.sortDirection(), QStringLiteral("ASC"));
    w.sortBy(QStringLiteral("ID"), w.noSortMarker);
    EXPECT_EQ(w.sortField(), QStringLiteral("REGION"));
    w.setOrderBy(QStringLiteral("ID"));
    EXPECT_EQ(w.sortField(), QStringLiteral("REGION"));  // the first fixed order keeps the title sort
    w.setOrderBy(QStringLiteral("NAME"));
    EXPECT_TRUE(w.sortField().isEmpty());
    EXPECT_EQ(w.getWhereAndOrder(), QStringLiteral(" order by NAME"));
}

TEST_F(QueryWrapperTest, UpdatableListWritesThroughItsStatements) {
    fb::Transaction& tr = *TolvMain::getChangeTransact();
    ufb::UpdQueryWrapper w(&tr);
    w.setSql(QStringLiteral("select ID, NAME, REGION from T_CITY"));
    w.setOrderBy(QStringLiteral("ID"));
    w.setGenerator(QStringLiteral("GEN_T_CITY_ID"), QStringLiteral("ID"));
    w.setUpdateSql(QStringLiteral("delete from T_CITY where ID = :OLD_ID"),
                   QStringLiteral("insert into T_CITY (ID, NAME, REGION) values (:ID, :NAME, :REGION)"),
                   QStringLiteral("update T_CITY set NAME = :NAME, REGION = :REGION where ID = :OLD_ID"),
                   QStringLiteral("select ID, NAME, REGION from T_CITY where ID = :ID"));
    w.open();
    data::Dataset* ds = w.getDataSet();
    ds->append();
    EXPECT_EQ(ds->fieldByName(QStringLiteral("ID")).asInteger(), 101);
    ds->fieldByName(QStringLiteral("NAME")).setValue(QStringLiteral("Ужгород"));
    ds->post();
    ds->first();
    ds->edit();
    ds->fieldByName(QStringLiteral("REGION")).setValue(QStringLiteral("столиця"));
    ds->post();
    ds->setRecNo(2);
    ds->remove();
    w.reopen();
    EXPECT_EQ(names(*ds), QStringList({QStringLiteral("Київ"), QStringLiteral("Кам'янець"), QStringLiteral("Львів"),
                                       QStringLiteral("Ужгород")}));
    ds->first();
    EXPECT_EQ(ds->fieldByName(QStringLiteral("REGION")).asString(), QStringLiteral("столиця"));

    w.getQuery()->setCachedUpdates(true);
    ds->last();
    ds->remove();
    EXPECT_TRUE(w.getQuery()->updatesPending());
    w.getQuery()->cancelUpdates();
    EXPECT_EQ(ds->recordCount(), 4);
    tr.rollback();
}

struct Items : ufb::RxMemWrapper {
    Items() : RxMemWrapper(QStringLiteral("ID")) {
        addIntegerField(QStringLiteral("ID"));
        addStringField(QStringLiteral("NAME"), 40);
    }
};

TEST_F(QueryWrapperTest, InMemoryListRemembersDeletedKeys) {
    fb::Transaction& tr = *TolvMain::getChangeTransact();
    fb::runScript(*TolvMain::getZarvelDb(), QStringLiteral(
        "create table T_ITEM (ID integer not null primary key, NAME varchar(40));\n"
        "set term ^ ;\n"
        "execute block as declare i integer = 1; begin while (i <= 1600) do begin "
        "insert into T_ITEM values (:i, 'річ ' || :i); i = i + 1; end end^\n"
        "set term ; ^\n"));
    Items items;
    fb::Query source(&tr);
    source.setSql(QStringLiteral("select ID, NAME, 'x' as EXTRA from T_ITEM where ID <= 5 order by ID"));
    source.open();
    items.loadFromDataSet(source, true, QStringLiteral("Загрузка"));
    data::Dataset* t = items.getDataSet();
    EXPECT_EQ(t->recordCount(), 5);
    EXPECT_EQ(t->recNo(), 1);

    t->append();
    t->fieldByName(QStringLiteral("NAME")).setValue(QStringLiteral("нова"));
    t->post();
    t->remove();  // never stored: no key to remember
    EXPECT_TRUE(items.getDeletedKeys().empty());
    t->setRecNo(2);
    t->remove();
    t->last();
    t->remove();  // right after a jump to the last row
    EXPECT_EQ(items.getDeletedKeys(), (std::vector<int>{2, 5}));
    t->setRecNo(2);
    EXPECT_EQ(items.getKeys(), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(t->recNo(), 2);
    EXPECT_EQ(items.getAllKeys(), (std::vector<int>{1, 3, 4, 2, 5}));

    items.deleteMarkedRows(QStringLiteral("T_ITEM"), &tr);
    EXPECT_TRUE(items.getDeletedKeys().empty());
    items.deleteMarkedRows(QStringLiteral("T_ITEM"), &tr);  // nothing to do

    items.setDeletedKeys({3, 3});
    EXPECT_EQ(tolvtest::errorText([&] { items.deleteMarkedRows(QStringLiteral("T_ITEM"), &tr); }),
              QStringLiteral("Incorrected rows affected count."));
    EXPECT_EQ(items.getDeletedKeys().size(), 2u);

    std::vector<int> many;
    for (int i = 6; i <= 1600; ++i) many.push_back(i);
    items.setDeletedKeys(many);
    items.deleteMarkedRows(QStringLiteral("T_ITEM"), &tr);  // in chunks, one transaction
    fb::Query left(&tr);
    left.setSql(QStringLiteral("select count(*) from T_ITEM"));
    left.open();
    EXPECT_EQ(left.field(0)->asInteger(), 2);  // 1 and 4 stay
    tr.rollback();

    items.sortBy(QStringLiteral("NAME"));
    std::vector<int> asc = items.getKeys();
    items.sortBy(QStringLiteral("NAME"));
    std::vector<int> desc = items.getKeys();
    items.sortBy(QStringLiteral("NAME"));
    EXPECT_EQ(asc, (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(desc, (std::vector<int>{4, 3, 1}));
    EXPECT_EQ(items.getKeys(), asc);
    items.clear();
    EXPECT_FALSE(t->active());
}

}  // namespace
