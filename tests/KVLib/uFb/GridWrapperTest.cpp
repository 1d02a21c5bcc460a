#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include "kv_DataSetWrapper.h"
#include "kv_DbGridUtl.h"
#include "kv_FbQueryGod.h"
#include "kv_FormHelpers.h"
#include "kv_GridPickupList.h"
#include "kv_MainDb.h"
#include "kv_Money100Field.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/data/MemTable.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Script.h"
#include "platform/fb/Table.h"
#include "platform/os/IniFile.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/QtDialogs.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TestDatabase.h"

using core::Variant;

namespace {

using tolvtest::errorText;

TEST(MoneyFieldTest, ShowsAndTakesAmounts) {
    setProcessFormats();
    data::MemTable t;
    data::Field* money = ufb::attachField(t, std::make_unique<ufb::TMoney100Field>(), QStringLiteral("SUMMA"));
    data::Field* rate = ufb::attachField(t, std::make_unique<ufb::TFloatFieldExt>(3), QStringLiteral("RATE"));
    t.open();
    t.append();
    struct Shown {
        Variant stored;
        const char* text;
    };
    for (const Shown& s : {Shown{123456, "1234.56"}, Shown{-5, "-0.05"}, Shown{0, "0.00"}, Shown{Variant::null(), ""}}) {
        money->setValue(s.stored);
        EXPECT_EQ(money->displayText(), QString::fromLatin1(s.text));
        EXPECT_EQ(money->text(), QString::fromLatin1(s.text));
    }
    struct Typed {
        const char* text;
        int stored;
    };
    for (const Typed& c : {Typed{"12,5", 1250}, Typed{"12.5", 1250}, Typed{"-1,25", -125}, Typed{"0.125", 12},
                           Typed{"0.375", 38}, Typed{"7", 700}, Typed{"12,50", 1250}}) {
        money->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(money->asInteger(), c.stored) << c.text;
    }
    for (const char* bad : {"1,234.50", "", "12 5", "abc", "21474836.48"}) {
        const QString text = errorText([&] { money->setText(QString::fromLatin1(bad)); });
        EXPECT_TRUE(text.contains(QString::fromLatin1(bad))) << bad << " -> " << text.toStdString();
        EXPECT_EQ(money->asInteger(), 1250);  // the previous value stays
    }
    for (QChar c : {u'+', u'e', u' ', u'x'}) EXPECT_FALSE(money->isValidChar(c));
    for (QChar c : {u'-', u'5', u',', u'.'}) EXPECT_TRUE(money->isValidChar(c));
    rate->setValue(2.5);
    EXPECT_EQ(rate->displayText(), QStringLiteral("2.500"));
    rate->setText(QStringLiteral("2,5"));
    EXPECT_DOUBLE_EQ(rate->asFloat(), 2.5);
    EXPECT_TRUE(rate->isValidChar(u',') && rate->isValidChar(u'.') && rate->isValidChar(u'e'));
    t.cancel();
}

// A directory table whose keys the database gives.
class WrapperTest : public tolvtest::DbSuite {
protected:
    static void SetUpTestSuite() {
        DbSuite::SetUpTestSuite();
        fb::runScript(*TolvMain::getZarvelDb(), QStringLiteral(
            "create generator GEN_T_DIR_ID;\n"
            "create table T_DIR (ID integer not null primary key, NAME varchar(80), CODE integer, BIG bigint,"
            " RATE double precision);\n"
            "set term ^ ;\n"
            "create trigger T_DIR_BI for T_DIR before insert as begin "
            "if (new.ID is null or new.ID = 0) then new.ID = gen_id(GEN_T_DIR_ID, 1); end^\n"
            "set term ; ^\n"
            "insert into T_DIR (NAME, CODE) values ('Літвін', 1);\n"
            "insert into T_DIR (NAME, CODE) values ('Дем''яненко', 2);\n"
            "insert into T_DIR (NAME, CODE) values ('Літвін', 3);\n"));
    }
};

class DirWrapper : public ufb::TableWrapper {
public:
    DirWrapper() : TableWrapper(QStringLiteral("T_DIR"), QStringLiteral("ID"), TolvMain::getZarvelDb()) {
        addColumnEh(QStringLiteral("ID"), 40, QStringLiteral("Код"));
        addColumnEh(QStringLiteral("NAME"), 150, QStringLiteral("Имя|клиента"), noSortMarker);
        addColumn(QStringLiteral("NAME"), 120, QStringLiteral("Имя"));
    }
};

TEST_F(WrapperTest, BindsGridsAndKeepsTheNewRowCurrent) {
    DirWrapper w;
    ui::DbGrid noSource(grid::GridKind::Eh);
    EXPECT_EQ(errorText([&] { w.bindGridEh(&noSource); }), QStringLiteral("grid->DataSource not assigned!"));

    ui::DbGrid grid(grid::GridKind::Eh);
    grid::DataSource source;
    grid.setDataSource(&source);
    w.bindGridEh(&grid);
    ASSERT_EQ(grid.columns().size(), 2u);
    EXPECT_EQ(grid.columns()[1].title, QStringLiteral("Имя|клиента"));
    EXPECT_FALSE(grid.columns()[0].titleButton);  // a table wrapper never sorts on titles
    EXPECT_TRUE(grid.autoSortMarking());
    EXPECT_EQ(source.dataSet(), w.getDataSet());
    EXPECT_TRUE(w.open());
    EXPECT_EQ(grid.model()->rowCount(), 3);  // the grid reads its first page at once

    data::Dataset* ds = w.getDataSet();
    ds->append();
    ds->fieldByName(QStringLiteral("NAME")).setValue(QStringLiteral("Ґонта"));
    ds->post();
    EXPECT_EQ(ds->fieldByName(QStringLiteral("NAME")).asString(), QStringLiteral("Ґонта"));
    EXPECT_EQ(ds->fieldByName(QStringLiteral("ID")).value(), w.selectMaxKey());

    w.setFilter(QStringLiteral("NAME = 'Літвін'"));
    EXPECT_EQ(ds->recordCount(), 2);
    w.setFilter(QString());
    EXPECT_EQ(ds->recordCount(), 4);
    w.getTransaction()->rollback();
}

TEST_F(WrapperTest, ReopenChecksAndQuietValues) {
    DirWrapper w;
    data::Dataset* ds = w.getDataSet();
    w.open();
    ds->setRecNo(2);
    const Variant id = ds->fieldByName(QStringLiteral("ID")).value();
    EXPECT_TRUE(w.reopen(QStringLiteral("ID")));
    EXPECT_EQ(ds->fieldByName(QStringLiteral("ID")).value(), id);
    w.reopen(QStringLiteral("ID"), 1);
    EXPECT_EQ(ds->fieldByName(QStringLiteral("ID")).asInteger(), 1);

    int changes = 0;
    ds->fieldByName(QStringLiteral("CODE")).setOnChange([&](data::Field&) { ++changes; });
    w.setFieldValue(QStringLiteral("CODE"), 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(ds->state(), data::DatasetState::Browse);  // it posted what it started
    EXPECT_TRUE(ds->fieldByName(QStringLiteral("CODE")).onChange() != nullptr);

    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    ui::DbGrid grid(grid::GridKind::Eh);
    grid::DataSource source;
    grid.setDataSource(&source);
    w.addColumnEh(QStringLiteral("CODE"), 40, QStringLiteral("Шифр"));
    w.bindGridEh(&grid);
    EXPECT_FALSE(w.emptyFieldError(ds->fieldByName(QStringLiteral("CODE"))));  // an integer 0 is empty
    EXPECT_EQ(dialogs.texts(), QStringList({QStringLiteral("Не задано значение поля 'Шифр'")}));
    w.setFieldValue(QStringLiteral("BIG"), 0);
    w.setFieldValue(QStringLiteral("RATE"), 0.0);
    EXPECT_TRUE(w.emptyFieldError(ds->fieldByName(QStringLiteral("BIG"))));
    EXPECT_TRUE(w.emptyFieldError(ds->fieldByName(QStringLiteral("RATE"))));
    w.setFieldValue(QStringLiteral("NAME"), Variant::null());
    EXPECT_FALSE(w.emptyFieldError(ds->fieldByName(QStringLiteral("NAME"))));
    EXPECT_TRUE(dialogs.texts().last().endsWith(QStringLiteral("'Имя|клиента'")));

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("widths.ini"));
    grid.column(0).width = 77;
    w.saveColumnWidths(ini, QStringLiteral("Widths"));
    DirWrapper other;
    other.loadColumnWidths(ini, QStringLiteral("Widths"));
    EXPECT_EQ(other.columnsEh()[0].width, 77);
    EXPECT_EQ(other.columns()[0].width, 150);  // NAME shares one key across the grids
    w.getTransaction()->rollback();
}

class GridUtlTest : public tolvtest::DbSuite {};

TEST_F(GridUtlTest, SortsTheQueryByMarkers) {
    fb::runScript(*TolvMain::getZarvelDb(), QStringLiteral(
        "create table T_SORT (ID integer not null primary key, NAME varchar(20), N integer);\n"
        "insert into T_SORT values (1, 'б', 2);\ninsert into T_SORT values (2, 'а', 2);\n"
        "insert into T_SORT values (3, 'в', 1);\n"));
    ui::DbGrid grid(grid::GridKind::Eh);
    fb::Query q(TolvMain::getChangeTransact());
    grid::DataSource source(&q);
    grid.setDataSource(&source);
    grid.setColumns({grid::Column{.fieldName = QStringLiteral("ID"), .titleButton = true},
                     grid::Column{.fieldName = QStringLiteral("NAME"), .sortExpression = QStringLiteral("upper(NAME)"),
                                  .titleButton = true},
                     grid::Column{.fieldName = QStringLiteral("N"), .titleButton = true}});
    q.setSql(QStringLiteral("select * from T_SORT where ID > :MINID ORDER BY ID"));
    q.setParam(QStringLiteral("MINID"), 0);
    q.open();
    q.setRecNo(2);
    grid.setSortMarker(2, grid::SortMarker::Down);
    grid.setSortMarker(1, grid::SortMarker::Up);
    utl::DbGridUtl::sortQueryByMarkers(grid, QStringLiteral("ID"));
    EXPECT_TRUE(q.sql().endsWith(QStringLiteral("where ID > :MINID \norder by N,upper(NAME) desc")));
    EXPECT_EQ(q.fieldByName(QStringLiteral("ID")).asInteger(), 2);  // the same row
    q.first();
    EXPECT_EQ(q.fieldByName(QStringLiteral("ID")).asInteger(), 3);
    grid.clearSortMarkers();
    utl::DbGridUtl::sortQueryByMarkers(grid, QStringLiteral("ID"));
    EXPECT_FALSE(q.sql().toLower().contains(QStringLiteral("order by")));
    EXPECT_THROW(utl::DbGridUtl::sortQueryByMarkers(grid, QStringLiteral("NOPE")), core::Exception);
    EXPECT_TRUE(q.active());  // left as it was

    std::set<int> ids;
    grid.setMultiSelect(true);
    q.setRecNo(2);
    for (int id : {3, 1, 2}) {
        q.locate(QStringLiteral("ID"), id);
        grid.selectBookmark(q.bookmark());
    }
    q.setRecNo(2);
    EXPECT_EQ(utl::DbGridUtl::getSelectedIdsText(grid, ids, QStringLiteral("ID")), QStringLiteral("(3,1,2)"));
    EXPECT_EQ(ids, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(q.recNo(), 2);
    grid.clearSelectedBookmarks();
    EXPECT_EQ(utl::DbGridUtl::getSelectedIds(grid, QStringLiteral("ID")).size(), 1u);
    q.setSql(QStringLiteral("select * from T_SORT where ID < 0"));
    q.open();
    EXPECT_EQ(utl::DbGridUtl::getSelectedIdsText(grid, ids, QStringLiteral("ID")), QStringLiteral("()"));
    EXPECT_TRUE(ids.empty());
}

TEST(GridLayoutTest, FormsFramesAndFailedRestores) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("sTolvanix.ini"));
    QWidget form;
    form.setObjectName(QStringLiteral("FMain"));
    QWidget frame(&form);
    frame.setObjectName(QStringLiteral("FrDebt"));
    auto* grid = new ui::DbGrid(grid::GridKind::Eh, &frame);
    grid->setObjectName(QStringLiteral("gr_Contracts"));
    auto* plain = new ui::DbGrid(grid::GridKind::Plain, &form);
    plain->setObjectName(QStringLiteral("gr_Plain"));
    grid->setColumns({grid::Column{.fieldName = QStringLiteral("ID"), .width = 50}});
    plain->setColumns({grid::Column{.fieldName = QStringLiteral("ID"), .width = 50}});
    EXPECT_EQ(utl::getGridPath(*grid), QStringLiteral("FMain_gr_Contracts"));
    ui::DbGrid alone;
    alone.setObjectName(QStringLiteral("gr_Alone"));
    EXPECT_EQ(utl::getGridPath(alone), QStringLiteral("_gr_Alone"));

    utl::DbGridUtl::saveFormGridsLayout(&form, QString(), ini);
    const os::IniFile file(ini);
    EXPECT_EQ(file.sections(), QStringList({QStringLiteral("FMain_gr_Contracts")}));  // plain grids are skipped
    grid->column(0).width = 10;
    utl::DbGridUtl::restoreFormGridsLayout(&form, QString(), ini);
    EXPECT_EQ(grid->columns()[0].width, 50);

    file.writeString(QStringLiteral("FMain_gr_Contracts"), QStringLiteral("gr_Contracts.ID"), QStringLiteral("bad"));
    utl::DbGridUtl::restoreGridLayout(*grid, QString(), ini);  // swallowed
    utl::DbGridUtl::saveGridLayout(*grid, QString(), ini);
    EXPECT_FALSE(file.sectionExists(QStringLiteral("FMain_gr_Contracts")));
    utl::DbGridUtl::saveGridLayout(*grid, QString(), ini);  // still not stored in this run
    EXPECT_FALSE(file.sectionExists(QStringLiteral("FMain_gr_Contracts")));
}

class PickListTest : public WrapperTest {};

TEST_F(PickListTest, FillsColumnsFromTables) {
    ui::DbGrid grid(grid::GridKind::Eh);
    grid.setColumns({grid::Column{.fieldName = QStringLiteral("NAME")}, grid::Column{.fieldName = QStringLiteral("CODE")}});
    ufb::PickupList list;
    list.add(ufb::PickupData(QStringLiteral("T_DIR"), QStringLiteral("NAME"), QStringLiteral("NAME")));
    list.add(ufb::PickupData(QStringLiteral("T_DIR"), QStringLiteral("CODE"), QStringLiteral("CODE"), QStringLiteral("CODE > 1")));
    list.add(ufb::PickupData(QStringLiteral("T_DIR"), QStringLiteral("NAME"), QStringLiteral("MISSING")));
    list.fill();  // no output yet: nothing happens
    list.setOutput(std::make_unique<ufb::PickupOutGridEh>(&grid));
    list.fill();
    list.fill();  // refilling does not accumulate
    EXPECT_EQ(grid.columns()[0].pickList, QStringList({QStringLiteral("Дем'яненко"), QStringLiteral("Літвін"),
                                                       QStringLiteral("Літвін")}));
    EXPECT_EQ(grid.columns()[1].pickList, QStringList({QStringLiteral("2"), QStringLiteral("3")}));
    list.setExtraFirst();
    list.fill();
    EXPECT_EQ(grid.columns()[1].pickList, QStringList({QString(), QStringLiteral("2"), QStringLiteral("3")}));
}

TEST(AutoScreenCursorTest, NestedGuardsRestoreInReverseOrder) {
    ui::installQtDialogs();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        utl::AutoScreenCursor outer;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QGuiApplication::changeOverrideCursor(Qt::IBeamCursor);  // what a dialog in between might do
        {
            utl::AutoScreenCursor inner;
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::IBeamCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
