#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>

#include "platform/core/Exception.h"
#include "platform/data/MemTable.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/os/IniFile.h"
#include "platform/ui/DbGrid.h"

using core::Variant;
using grid::SortMarker;

namespace {

// A form with a grid over a small in-memory table of contracts.
struct GridForm {
    QWidget form;
    ui::DbGrid* grid;
    data::MemTable table;
    grid::DataSource source{&table};

    explicit GridForm(int rows = 4) {
        form.setObjectName(QStringLiteral("FTest"));
        grid = new ui::DbGrid(grid::GridKind::Eh, &form);
        grid->setObjectName(QStringLiteral("gr_Contracts"));
        grid->resize(500, 300);
        table.addField(QStringLiteral("ID"), data::DataType::Integer)->setRequired(true);
        table.addField(QStringLiteral("NUM"), data::DataType::String, 20);
        table.addField(QStringLiteral("SUMMA"), data::DataType::Float);
        table.open();
        for (int i = 1; i <= rows; ++i) {
            table.append();
            table[QStringLiteral("ID")].setValue(i);
            table[QStringLiteral("NUM")].setValue(QStringLiteral("Д-%1").arg(i));
            table[QStringLiteral("SUMMA")].setValue(i * 100.5);
            table.post();
        }
        table.first();
        std::vector<grid::Column> columns(3);
        columns[0] = {.fieldName = QStringLiteral("ID"), .width = 40, .title = QStringLiteral("Код"), .titleButton = true};
        columns[1] = {.fieldName = QStringLiteral("NUM"), .width = 120, .title = QStringLiteral("Договор|номер"),
                      .titleButton = true};
        columns[2] = {.fieldName = QStringLiteral("SUMMA"), .width = 90, .title = QStringLiteral("Сумма"),
                      .titleButton = false};
        grid->setColumns(columns);
        grid->setAutoSortMarking(true);
        grid->setDataSource(&source);
        form.resize(520, 320);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void clickTitle(int column, Qt::KeyboardModifiers mods = {}) {
        QHeaderView* header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, mods,
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    void clickRow(int row, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, grid->visualRect(grid->model()->index(row, 0)).center());
    }
};

TEST(DbGridTest, ShowsTheColumnsAndFollowsTheDataset) {
    GridForm f;
    QAbstractItemModel* m = f.grid->model();
    EXPECT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Договор\nномер"));
    EXPECT_EQ(m->data(m->index(2, 1)).toString(), QStringLiteral("Д-3"));
    EXPECT_EQ(f.grid->columnWidth(1), 120);
    EXPECT_EQ(f.grid->formName(), QStringLiteral("FTest"));
    f.table.setRecNo(3);
    EXPECT_EQ(f.grid->currentIndex().row(), 2);
    f.clickRow(1);
    EXPECT_EQ(f.table.recNo(), 2);
}

TEST(DbGridTest, TitleClicksCycleMarkersAndCtrlAddsThemInOrder) {
    GridForm f;
    int changes = 0;
    std::vector<int> titles;
    f.grid->onSortMarkingChanged = [&] { ++changes; };
    f.grid->onTitleClick = [&](int column) { titles.push_back(column); };
    f.clickTitle(1);
    EXPECT_EQ(f.grid->columns()[1].marker, SortMarker::Down);
    f.clickTitle(1);
    EXPECT_EQ(f.grid->columns()[1].marker, SortMarker::Up);
    f.clickTitle(0, Qt::ControlModifier);
    EXPECT_EQ(f.grid->sortMarkedColumns(), (std::vector<int>{1, 0}));
    f.clickTitle(2, Qt::ControlModifier);  // no title button: no marker, but the click is reported
    EXPECT_EQ(f.grid->sortMarkedColumns(), (std::vector<int>{1, 0}));
    f.clickTitle(0);  // without Ctrl the others go
    EXPECT_EQ(f.grid->sortMarkedColumns(), (std::vector<int>{0}));
    EXPECT_EQ(f.grid->columns()[1].marker, SortMarker::None);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(titles, (std::vector<int>{1, 1, 0, 2, 0}));
    EXPECT_TRUE(f.grid->model()->headerData(0, Qt::Horizontal).toString().endsWith(QStringLiteral("▼")));
}

TEST(DbGridTest, SelectionKeepsTheOrderOfClicks) {
    GridForm f;
    f.grid->setMultiSelect(true);
    f.clickRow(2);
    f.clickRow(0, Qt::ControlModifier);
    f.clickRow(1, Qt::ControlModifier);
    std::vector<int> ids;
    for (data::Bookmark b : f.grid->selectedBookmarks()) {
        f.table.gotoBookmark(b);
        ids.push_back(f.table[QStringLiteral("ID")].asInteger());
    }
    EXPECT_EQ(ids, (std::vector<int>{3, 1, 2}));
    f.clickRow(0, Qt::ControlModifier);  // deselects
    EXPECT_EQ(f.grid->selectedBookmarks().size(), 2u);
}

TEST(DbGridTest, EditingKeys) {
    GridForm f(2);
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    f.grid->setFocus();
    f.table.last();
    QTest::keyClick(f.grid, Qt::Key_Down);
    EXPECT_EQ(f.table.state(), data::DatasetState::Insert);
    EXPECT_EQ(f.grid->model()->rowCount(), 3);
    QTest::keyClick(f.grid, Qt::Key_Escape);
    EXPECT_EQ(f.table.state(), data::DatasetState::Browse);
    EXPECT_EQ(f.table.recordCount(), 2);

    // Typing into a cell edits the row; leaving the row posts it.
    f.table.first();
    const QModelIndex sum = f.grid->model()->index(0, 2);
    f.grid->setCurrentIndex(sum);
    EXPECT_TRUE(f.grid->model()->setData(sum, QStringLiteral("77.5"), Qt::EditRole));
    EXPECT_EQ(f.table.state(), data::DatasetState::Edit);
    f.clickRow(1);
    EXPECT_EQ(f.table.state(), data::DatasetState::Browse);
    f.table.first();
    EXPECT_DOUBLE_EQ(f.table[QStringLiteral("SUMMA")].asFloat(), 77.5);
    EXPECT_FALSE(f.grid->model()->setData(sum, QStringLiteral("abc"), Qt::EditRole));
    EXPECT_EQ(dialogs.shown.back().type, ui::MsgType::Error);
    f.table.cancel();

    dialogs.answers = {ui::ModalResult::No, ui::ModalResult::Yes};
    QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(f.table.recordCount(), 2);
    QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(f.table.recordCount(), 1);
    EXPECT_EQ(dialogs.texts().last(), QStringLiteral("Удалить запись?"));
    EXPECT_EQ(f.grid->model()->rowCount(), 1);
}

TEST(DbGridTest, LayoutRoundTripAndBadValues) {
    QTemporaryDir dir;
    os::IniFile ini(dir.filePath(QStringLiteral("sTolvanix.ini")));
    {
        GridForm f;
        f.grid->column(0).width = 55;
        f.grid->column(2).visible = false;
        f.grid->setSortMarker(1, SortMarker::Up);
        f.grid->saveLayout(ini, QStringLiteral("FTest_gr_Contracts"));
    }
    EXPECT_EQ(ini.readString(QStringLiteral("FTest_gr_Contracts"), QStringLiteral("gr_Contracts.NUM"), QString()),
              QStringLiteral("1,120,2,1,1,7,0"));
    GridForm g;
    g.grid->restoreLayout(ini, QStringLiteral("FTest_gr_Contracts"));
    EXPECT_EQ(g.grid->columns()[0].width, 55);
    EXPECT_FALSE(g.grid->columns()[2].visible);
    EXPECT_EQ(g.grid->model()->columnCount(), 2);
    EXPECT_EQ(g.grid->columns()[1].marker, SortMarker::None);  // markers are not restored

    ini.writeString(QStringLiteral("FTest_gr_Contracts"), QStringLiteral("gr_Contracts.ID"), QStringLiteral("x,1"));
    EXPECT_THROW(g.grid->restoreLayout(ini, QStringLiteral("FTest_gr_Contracts")), core::Exception);
}

TEST(DbGridTest, AWidthTheUserDragsIsTheColumnsWidth) {
    GridForm f;
    f.grid->horizontalHeader()->resizeSection(1, 233);
    EXPECT_EQ(f.grid->columns()[1].width, 233);
    // Hiding a column and binding the data again keep the widths as they are.
    f.grid->column(0).visible = false;
    f.grid->columnsChanged();
    f.grid->setDataSource(nullptr);
    f.grid->setDataSource(&f.source);
    EXPECT_EQ(f.grid->columns()[0].width, 40);
    EXPECT_EQ(f.grid->columns()[1].width, 233);
    EXPECT_EQ(f.grid->columnWidth(0), 233);  // NUM is the first shown column now
}

// Rows made on demand, counting how many were asked for.
class LargeDataset : public data::Dataset {
public:
    int produced = 0;

protected:
    void doOpen() override {
        addField(QStringLiteral("ID"), data::DataType::Integer);
        produced = 0;
    }
    bool doFetch(int count) override {
        for (int i = 0; i < count && produced < 100000; ++i) appendRow({Variant(++produced)});
        return produced < 100000;
    }
};

TEST(DbGridTest, FetchesAPageAtATime) {
    QWidget form;
    ui::DbGrid grid(grid::GridKind::Eh, &form);
    LargeDataset ds;
    grid::DataSource source(&ds);
    grid.setColumns({grid::Column{.fieldName = QStringLiteral("ID")}});
    grid.setDataSource(&source);
    ds.open();
    form.resize(300, 400);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_GE(grid.model()->rowCount(), 10);  // the first screen is there at once
    EXPECT_LE(ds.produced, 2 * ui::DatasetModel::kPage);
    grid.scrollToBottom();
    QCoreApplication::processEvents();
    EXPECT_LT(ds.produced, 100000);
}

}  // namespace

namespace {

TEST(DbGridTest, FooterKeyListsEditActionsEnabledStateAndAHintByColumn) {
    GridForm f(2);
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    // A footer row under the cells, in the grid's own frame.
    const int before = f.grid->viewport()->height();
    f.grid->setFooterRowCount(1);
    f.grid->setFooterText(QStringLiteral("SUMMA"), QStringLiteral("301.50"));
    QWidget* footer = f.grid->findChild<QWidget*>(QStringLiteral("footer"));
    ASSERT_TRUE(footer);
    EXPECT_TRUE(footer->isVisible());
    EXPECT_LT(f.grid->viewport()->height(), before);
    EXPECT_EQ(footer->geometry().top(), f.grid->viewport()->geometry().bottom() + 1);
    EXPECT_EQ(f.grid->columns()[2].footer, QStringLiteral("301.50"));
    EXPECT_THROW(f.grid->setFooterText(QStringLiteral("NOPE"), QString()), core::Exception);
    f.grid->setFooterRowCount(0);
    EXPECT_FALSE(footer->isVisible());
    EXPECT_EQ(f.grid->viewport()->height(), before);

    // Names shown for stored keys; an unknown key shows nothing; editing stores the key.
    grid::Column& num = f.grid->column(1);
    num.pickList = {QStringLiteral("перший"), QStringLiteral("другий")};
    num.keyList = {QStringLiteral("Д-1"), QStringLiteral("Д-2")};
    f.grid->columnsChanged();
    QAbstractItemModel* m = f.grid->model();
    EXPECT_EQ(m->index(0, 1).data().toString(), QStringLiteral("перший"));
    EXPECT_EQ(m->index(1, 1).data(Qt::EditRole).toString(), QStringLiteral("другий"));
    EXPECT_EQ(m->index(0, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
    f.table.first();
    f.table.edit();
    f.table[QStringLiteral("NUM")].setValue(QStringLiteral("X"));
    f.table.post();
    EXPECT_EQ(m->index(0, 1).data().toString(), QString());
    f.grid->setCurrentIndex(m->index(0, 1));
    f.grid->edit(m->index(0, 1));
    auto* combo = f.grid->findChild<QComboBox*>();
    ASSERT_TRUE(combo);
    EXPECT_FALSE(combo->isEditable());
    combo->setCurrentIndex(1);
    f.grid->setCurrentIndex(m->index(1, 1));  // leaving the cell commits the editor
    f.table.first();
    EXPECT_EQ(f.table[QStringLiteral("NUM")].asString(), QStringLiteral("Д-2"));

    // Update only: cells edit, the grid's keys neither append, insert nor delete.
    f.grid->setEditActions(grid::GridView::Update);
    EXPECT_TRUE(m->flags(m->index(0, 2)).testFlag(Qt::ItemIsEditable));
    f.grid->setFocus();
    f.table.last();
    QTest::keyClick(f.grid, Qt::Key_Down);
    QTest::keyClick(f.grid, Qt::Key_Insert);
    QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(f.table.state(), data::DatasetState::Browse);
    EXPECT_EQ(f.table.recordCount(), 2);
    EXPECT_TRUE(dialogs.shown.empty());
    f.grid->setEditActions(grid::GridView::Insert);
    EXPECT_FALSE(m->flags(m->index(0, 2)).testFlag(Qt::ItemIsEditable));

    f.grid->setGridEnabled(false);
    EXPECT_FALSE(f.grid->isEnabled());
    f.grid->setGridEnabled(true);
    EXPECT_TRUE(f.grid->isEnabled());

    // The hint of the column under the mouse.
    std::vector<int> seen;
    f.grid->onMouseMove = [&](int column) {
        seen.push_back(column);
        f.grid->setHint(column == 2 ? QStringLiteral("сума") : QString());
    };
    const QPoint overSum(f.grid->columnViewportPosition(2) + 5, 5);
    QTest::mouseMove(f.grid->viewport(), overSum);
    QTest::mouseMove(f.grid->viewport(), QPoint(f.grid->columnViewportPosition(0) + 5, 5));
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[seen.size() - 2], 2);
    EXPECT_EQ(seen.back(), 0);
    EXPECT_EQ(f.grid->mouseMovedOver(2), QStringLiteral("сума"));
    EXPECT_EQ(f.grid->hint(), QStringLiteral("сума"));
}

}  // namespace
