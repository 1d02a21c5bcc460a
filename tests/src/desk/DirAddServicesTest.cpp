// The directory of services as its editor drives it: article numbers, defaults, protected rows, the
// formula hint, the event column.

#include <gtest/gtest.h>

#include "ServicesRows.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Query.h"
#include "tests/support/ErrorText.h"

using namespace desktest;
using namespace TolvLogic;

namespace {

class DirAddServicesTest : public ContractSuite {
protected:
    void SetUp() override { clearServices(); }
    // A new row of the list posted as the editor posts it: the values, then the post that leaves it.
    static void addRow(DirAddServices& dir, const QString& name, int event,
                       const QString& formula = QString()) {
        data::Dataset& ds = *dir.getDataSet();
        ds.append();
        ds.fieldByName(QStringLiteral("NAME")).setValue(name);
        ds.fieldByName(QStringLiteral("ID_EVENT")).setValue(event);
        if (!formula.isEmpty()) ds.fieldByName(QStringLiteral("FORMULA")).setValue(formula);
        ds.post();
        ds.post();  // AfterPost left its defaults in an edit
    }
    static void apply(DirAddServices& dir) {
        auto* q = static_cast<fb::Query*>(dir.getDataSet());
        q->applyUpdates();
        dir.getTransaction()->commitRetaining();
    }

    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scope{&boxes};
};

TEST_F(DirAddServicesTest, NewRowsTakeTheSmallestFreeArticleFrom91) {
    struct Case {
        std::vector<int> used;
        int expected;
    };
    const std::vector<Case> cases = {
        {{91, 92, 94}, 93}, {{}, 91}, {{91, 92, 93, 94, 95}, 96}, {{5, 17, 91}, 92}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        clearServices();
        for (int a : c.used) newService(QStringLiteral("S%1").arg(a), astCONTRACT, QString(), false, a);
        DirAddServices dir(astALL, nullptr);
        dir.open();
        addRow(dir, QStringLiteral("Новая"), astOP_PAY);
        EXPECT_EQ(dir.getDataSet()->fieldByName(QStringLiteral("ARTICLE_NUM")).asInteger(), c.expected);
        dir.close();
    }
}

TEST_F(DirAddServicesTest, ANewRowIsStoredAutomaticWithItsNumberAndFreedNumbersAreReused) {
    newService(QStringLiteral("Оценка"), astCONTRACT, QString(), false, 91, QStringLiteral("VALUATION"));
    DirAddServices dir(astALL, nullptr);
    dir.open();
    addRow(dir, QStringLiteral("Справка"), astOP_PAY, QStringLiteral("OP_SUM*0.01"));
    addRow(dir, QStringLiteral("Выписка"), astOP_PAY);
    data::Dataset& ds = *dir.getDataSet();
    EXPECT_EQ(ds.fieldByName(QStringLiteral("ARTICLE_NUM")).asInteger(), 93);
    // Deleting a row without a code frees its number, also for a row never stored.
    ds.remove();
    addRow(dir, QStringLiteral("Копия"), astOP_PAY);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("ARTICLE_NUM")).asInteger(), 93);
    apply(dir);
    EXPECT_EQ(scalar(QStringLiteral("select IS_ACTIVE || ':' || ARTICLE_NUM || ':' || FORMULA as V from "
                                    "DIR_ADD_SERVICES where NAME = 'Справка'"))
                  .toText(),
              QStringLiteral("1:92:OP_SUM*0.01"));
    EXPECT_EQ(scalar(QStringLiteral(
                         "select IS_ACTIVE || ':' || ARTICLE_NUM as V from DIR_ADD_SERVICES where NAME = "
                         "'Копия'"))
                  .toText(),
              QStringLiteral("1:93"));
    EXPECT_EQ(
        scalar(QStringLiteral("select count(*) as V from DIR_ADD_SERVICES where NAME = 'Выписка'")).toInt(),
        0);
    // A stored row deleted gives its number back while the list is open.
    ASSERT_TRUE(ds.locate(QStringLiteral("NAME"), QStringLiteral("Справка")));
    ds.remove();
    addRow(dir, QStringLiteral("Ещё"), astOP_PAY);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("ARTICLE_NUM")).asInteger(), 92);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_F(DirAddServicesTest, AServiceTheReportCountsCannotBeDeleted) {
    newService(QStringLiteral("Оценка"), astCONTRACT, QString(), false, 91, QStringLiteral("VALUATION"));
    newService(QStringLiteral("Справка"), astCONTRACT, QString(), false, 92);
    DirAddServices dir(astCONTRACT, nullptr);
    dir.open();
    data::Dataset& ds = *dir.getDataSet();
    ASSERT_TRUE(ds.locate(QStringLiteral("NAME"), QStringLiteral("Оценка")));
    ds.fetchAll();
    EXPECT_EQ(tolvtest::errorText([&] { ds.remove(); }),
              QStringLiteral("Удаление этой записи невозможно, \nт.к. её наличие является обязательным."));
    EXPECT_EQ(ds.recordCount(), 2);
    ASSERT_TRUE(ds.locate(QStringLiteral("NAME"), QStringLiteral("Справка")));
    ds.remove();
    apply(dir);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) as V from DIR_ADD_SERVICES")).toInt(), 1);
}

TEST_F(DirAddServicesTest, ABadFormulaIsStoredAfterTheBox) {
    DirAddServices dir(astCONTRACT, nullptr);
    dir.open();
    data::Dataset& ds = *dir.getDataSet();
    ds.append();
    ds.fieldByName(QStringLiteral("NAME")).setValue(QStringLiteral("Ошибка"));
    ds.fieldByName(QStringLiteral("ID_EVENT")).setValue(0);
    ds.fieldByName(QStringLiteral("FORMULA")).setValue(QStringLiteral("CONTR_SUM*"));
    ds.post();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("\n1*\n")));  // every parameter is 1
    ds.post();
    apply(dir);
    EXPECT_EQ(scalar(QStringLiteral("select FORMULA as V from DIR_ADD_SERVICES")).toText(),
              QStringLiteral("CONTR_SUM*"));
    // A row without an event is refused by the dataset.
    ds.append();
    ds.fieldByName(QStringLiteral("NAME")).setValue(QStringLiteral("Без события"));
    EXPECT_FALSE(tolvtest::errorText([&] { ds.post(); }).isEmpty());
    ds.cancel();
}

TEST_F(DirAddServicesTest, TheGridShowsEventsByNameShadesCountedRowsAndHintsTheParameters) {
    newService(QStringLiteral("Увеличение"), astOP_INC, QString(), false, 91, QStringLiteral("INSURE"));
    newService(QStringLiteral("Справка"), astOP_INC, QString(), false, 92);
    newService(QStringLiteral("Договор"), astCONTRACT, QString(), false, 93);
    DirAddServices dir(astOP_INC, nullptr);
    ListGrid grid;
    dir.bindGridEh(&grid);
    dir.open();
    dir.getDataSet()->fetchAll();
    EXPECT_EQ(dir.getDataSet()->recordCount(), 2);
    const std::vector<grid::Column>& columns = grid.columns();
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[0].title, QStringLiteral("Авто добавл."));
    EXPECT_TRUE(columns[0].checkBox);
    EXPECT_EQ(columns[2].fieldName, QStringLiteral("ID_EVENT"));
    EXPECT_EQ(columns[2].pickList, QStringList{QStringLiteral("Операция увеличения кредита")});
    EXPECT_EQ(grid::shownValue(columns[2], QStringLiteral("2")),
              QStringLiteral("Операция увеличения кредита"));
    EXPECT_EQ(grid::shownValue(columns[4], QString()), QStringLiteral("не учитывать"));
    EXPECT_EQ(grid::shownValue(columns[4], QStringLiteral("INSURE")), QStringLiteral("как страховку"));

    data::Dataset& rows = *dir.getDataSet();
    const int countedRow = rows.valueAt(0, rows.fieldByName(QStringLiteral("NAME")).index()).toText() ==
                                   QStringLiteral("Увеличение")
                               ? 0
                               : 1;
    grid::CellStyle counted, plain;
    grid.onCellStyle(countedRow, columns[1], counted);
    grid.onCellStyle(1 - countedRow, columns[1], plain);
    EXPECT_TRUE(counted.background.has_value());
    EXPECT_FALSE(plain.background.has_value());

    EXPECT_EQ(grid.mouseMovedOver(3), AddServices::scGetParametersHelp());
    EXPECT_EQ(grid.mouseMovedOver(1), QString());
    EXPECT_EQ(grid.mouseMovedOver(-1), QString());

    DirAddServices all(astALL, nullptr);
    ListGrid allGrid;
    all.bindGridEh(&allGrid);
    all.open();
    EXPECT_EQ(allGrid.columns()[2].pickList.size(), 5);
    data::Dataset& ds = *all.getDataSet();
    QList<int> events;
    for (ds.first(); !ds.eof(); ds.next()) events << ds.fieldByName(QStringLiteral("ID_EVENT")).asInteger();
    EXPECT_EQ(events, (QList<int>{0, 2, 2}));
}

}  // namespace
