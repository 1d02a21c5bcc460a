#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "kvF_SetGridColumns.h"
#include "kv_Translator.h"
#include "platform/os/IniFile.h"
#include "platform/ui/DbGrid.h"
#include "tests/KVLib/uForms/ModalHelper.h"

namespace {

using tolvtest::onModal;
using ufb::TFSetGridColumns;

// A grid on a window named as the directory form's.
class ColumnsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setObjectName(QStringLiteral("BookForm"));
        grid = new ui::DbGrid(grid::GridKind::Eh, &window);
        grid->setObjectName(QStringLiteral("DBGrid1"));
        grid->setColumns({
            {.fieldName = QStringLiteral("ID"), .width = 40, .title = QStringLiteral("Код")},
            {.fieldName = QStringLiteral("NAME"), .width = 150, .title = QStringLiteral("Название")},
            {.fieldName = QStringLiteral("CODE"),
             .width = 50,
             .title = QStringLiteral("Шифр"),
             .visible = false},
            {.fieldName = QStringLiteral("NOTE"), .width = 90, .title = QStringLiteral("Примечание")},
            {.fieldName = QStringLiteral("CITY"), .width = 90, .title = QStringLiteral("Город")},
        });
    }
    QStringList order() const {
        QStringList names;
        for (const grid::Column& c : grid->columns())
            names << c.fieldName + (c.visible ? QString() : QStringLiteral("-"));
        return names;
    }
    static QStringList entries(const TFSetGridColumns& d) {
        QStringList out;
        for (int i = 0; i < d.chLstBx_Columns->count(); ++i) {
            const QListWidgetItem* item = d.chLstBx_Columns->item(i);
            out << item->text() +
                       (item->checkState() == Qt::Checked ? QStringLiteral("+") : QStringLiteral("-")) +
                       (item->flags() & Qt::ItemIsUserCheckable ? QString() : QStringLiteral("!"));
        }
        return out;
    }
    static void toggle(TFSetGridColumns& d, int row) {
        d.chLstBx_Columns->setCurrentRow(row);
        QTest::keyClick(d.chLstBx_Columns, Qt::Key_Space);
    }

    tolvtest::ScopedUserIni user;
    QWidget window;
    ui::DbGrid* grid;
};

TEST_F(ColumnsTest, LockedNamesAreTrimmedOnBothSidesAndStillMove) {
    onModal<TFSetGridColumns>([](TFSetGridColumns& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Настройка колонок таблицы"));
        EXPECT_EQ(d.bt_Up->text(), QStringLiteral("Вверх"));
        EXPECT_EQ(d.bt_Down->text(), QStringLiteral("Вниз"));
        EXPECT_EQ(d.Button1->text(), QStringLiteral("Отмена"));
        EXPECT_EQ(d.bt_OK->text(), QStringLiteral("OK"));
        EXPECT_EQ(d.minimumSize(), QSize(200, 200));
        // The directory form joins the required names with ", ": every one of them stays locked.
        EXPECT_EQ(entries(d), QStringList({QStringLiteral("Код+!"), QStringLiteral("Название+!"),
                                           QStringLiteral("Примечание+"), QStringLiteral("Город+")}));
        toggle(d, 1);  // locked: no change
        toggle(d, 2);  // free: unchecked
        EXPECT_EQ(entries(d)[1], QStringLiteral("Название+!"));
        EXPECT_EQ(entries(d)[2], QStringLiteral("Примечание-"));
        d.chLstBx_Columns->setCurrentRow(1);
        d.bt_Down->click();  // a locked entry moves
        EXPECT_EQ(d.chLstBx_Columns->currentRow(), 2);
        EXPECT_EQ(d.chLstBx_Columns->item(2)->text(), QStringLiteral("Название"));
        d.bt_OK->click();
    });
    EXPECT_TRUE(TFSetGridColumns::scExecute(grid, QStringLiteral("ID, NAME"), QStringLiteral(" CODE ")));
    // Listed columns first in list order, then the left-out one (which kept its visibility).
    EXPECT_EQ(order(), QStringList({QStringLiteral("ID"), QStringLiteral("NOTE-"), QStringLiteral("NAME"),
                                    QStringLiteral("CITY"), QStringLiteral("CODE-")}));
    // Its own placement, in the section of the grid and the dialog.
    EXPECT_TRUE(os::IniFile(user.path()).sectionExists(QStringLiteral("BookForm_DBGrid1_FSetGridColumns")));
}

TEST_F(ColumnsTest, UpAndDownAtTheEndsOrWithoutSelectionDoNothing) {
    onModal<TFSetGridColumns>([](TFSetGridColumns& d) {
        const QStringList before = entries(d);
        d.chLstBx_Columns->clearSelection();
        d.chLstBx_Columns->setCurrentRow(-1);
        d.bt_Up->click();
        d.bt_Down->click();
        EXPECT_EQ(entries(d), before);
        d.chLstBx_Columns->setCurrentRow(0);
        d.bt_Up->click();
        EXPECT_EQ(entries(d), before);
        EXPECT_EQ(d.chLstBx_Columns->currentRow(), 0);
        d.chLstBx_Columns->setCurrentRow(d.chLstBx_Columns->count() - 1);
        d.bt_Down->click();
        EXPECT_EQ(entries(d), before);
        d.bt_Up->click();
        EXPECT_EQ(d.chLstBx_Columns->item(3)->text(), QStringLiteral("Город"));
        EXPECT_EQ(d.chLstBx_Columns->currentRow(), 3);
        d.bt_OK->click();
    });
    EXPECT_TRUE(TFSetGridColumns::scExecute(grid, QString(), QString()));
    EXPECT_EQ(order(), QStringList({QStringLiteral("ID"), QStringLiteral("NAME"), QStringLiteral("CODE-"),
                                    QStringLiteral("CITY"), QStringLiteral("NOTE")}));
}

TEST_F(ColumnsTest, EmptyTextsListEverythingChangeable) {
    onModal<TFSetGridColumns>([](TFSetGridColumns& d) {
        EXPECT_EQ(entries(d),
                  QStringList({QStringLiteral("Код+"), QStringLiteral("Название+"), QStringLiteral("Шифр-"),
                               QStringLiteral("Примечание+"), QStringLiteral("Город+")}));
        toggle(d, 2);
        toggle(d, 0);
        d.bt_OK->click();
    });
    EXPECT_TRUE(TFSetGridColumns::scExecute(grid, QString(), QString()));
    EXPECT_EQ(order(), QStringList({QStringLiteral("ID-"), QStringLiteral("NAME"), QStringLiteral("CODE"),
                                    QStringLiteral("NOTE"), QStringLiteral("CITY")}));
}

TEST_F(ColumnsTest, CancelLeavesTheGridAsItWas) {
    const QStringList before = order();
    onModal<TFSetGridColumns>([](TFSetGridColumns& d) {
        toggle(d, 0);
        d.chLstBx_Columns->setCurrentRow(3);
        d.bt_Up->click();
        d.bt_Up->click();
        d.Button1->click();
    });
    EXPECT_FALSE(TFSetGridColumns::scExecute(grid, QString(), QString()));
    EXPECT_EQ(order(), before);
    onModal<TFSetGridColumns>([](TFSetGridColumns& d) {
        d.chLstBx_Columns->setCurrentRow(3);
        d.bt_Up->click();
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_FALSE(TFSetGridColumns::scExecute(grid, QString(), QString()));
    EXPECT_EQ(order(), before);
}

TEST_F(ColumnsTest, TextsComeFromTheTranslator) {
    KVLibTranslator::instance().set(QStringLiteral("kvF_SetGridColumns.Caption"),
                                    QStringLiteral("Настроювання колонок таблиці"));
    KVLibTranslator::instance().set(QStringLiteral("kvF_SetGridColumns.Button1.Caption"),
                                    QStringLiteral("Скасувати"));
    TFSetGridColumns d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Настроювання колонок таблиці"));
    EXPECT_EQ(d.Button1->text(), QStringLiteral("Скасувати"));
    EXPECT_EQ(d.bt_Up->text(), QStringLiteral("Вверх"));
    KVLibTranslator::instance().set(QStringLiteral("kvF_SetGridColumns.Caption"),
                                    QStringLiteral("Настройка колонок таблицы"));
    KVLibTranslator::instance().set(QStringLiteral("kvF_SetGridColumns.Button1.Caption"),
                                    QStringLiteral("Отмена"));
}

}  // namespace
