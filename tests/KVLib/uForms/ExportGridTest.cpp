#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "kvF_xlExportGrid.h"
#include "kv_Money100Field.h"
#include "platform/data/MemTable.h"
#include "platform/os/Shell.h"
#include "platform/ui/DbGrid.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/support/SpreadsheetCheck.h"

namespace {

using tolvtest::onModal;
using ufb::TF_xlExportGrid;

const QString kTemplate = QStringLiteral(TOLV_REPORTS_DIR "/contractList.xlsx");

// A grid whose columns stand in another order than the dataset's fields, with a column of no field.
class ExportGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.addField(QStringLiteral("ID"), data::DataType::Integer);
        table.addField(QStringLiteral("NAME"), data::DataType::String, 30);
        table.adoptField(std::make_unique<ufb::TMoney100Field>(), QStringLiteral("SUMMA"));
        table.open();
        const std::vector<std::tuple<int, QString, int>> rows = {
            {1, "Иванов", 123456}, {2, "Петренко", 50}, {3, "Сидоренко", 700000}};
        for (const auto& [id, name, sum] : rows) {
            table.append();
            table[QStringLiteral("ID")].setValue(id);
            table[QStringLiteral("NAME")].setValue(name);
            table[QStringLiteral("SUMMA")].setValue(sum);
            table.post();
        }
        grid = new ui::DbGrid(grid::GridKind::Eh, &window);
        grid->setColumns({{.fieldName = QStringLiteral("SUMMA"), .title = QStringLiteral("Сумма")},
                          {.fieldName = QStringLiteral("GONE"), .title = QStringLiteral("Нет поля")},
                          {.fieldName = QStringLiteral("NAME"), .title = QStringLiteral("Клиент")},
                          {.fieldName = QStringLiteral("ID"), .title = QStringLiteral("Код")}});
        source.setDataSet(&table);
        grid->setDataSource(&source);
        os::setOpenHandler([this](const QString& path) {
            opened << path;
            return true;
        });
    }
    void TearDown() override { os::setOpenHandler({}); }

    static QStringList entries(const TF_xlExportGrid& d) {
        QStringList out;
        for (int i = 0; i < d.chLBox->count(); ++i)
            out << d.chLBox->item(i)->text() + (d.chLBox->item(i)->checkState() == Qt::Checked ? "+" : "-");
        return out;
    }
    void exportAs(const QString& output, int mode) {
        TF_xlExportGrid::scExportGrid(grid, kTemplate, output, mode, QStringLiteral("$A$1"),
                                      QStringLiteral("$A$2"));
    }

    QTemporaryDir dir;
    data::MemTable table;
    grid::DataSource source;
    QWidget window;
    ui::DbGrid* grid;
    QStringList opened;
};

}  // namespace

TEST_F(ExportGridTest, ListsTheGridsColumnsWithFieldsInColumnOrderWhateverTheSort) {
    grid->setSortMarker(2, grid::SortMarker::Up);
    onModal<TF_xlExportGrid>([](TF_xlExportGrid& d) {
        EXPECT_EQ(d.windowTitle(), "Экспорт в Excel");
        EXPECT_EQ(d.b_Ok->text(), "Экспорт");
        EXPECT_EQ(d.b_Cancel->text(), "Отмена");
        EXPECT_EQ(d.size(), QSize(270, 201));
        EXPECT_EQ(d.chLBox->geometry(), QRect(8, 9, 174, 183));
        EXPECT_EQ(d.b_Ok->geometry(), QRect(192, 4, 75, 25));
        EXPECT_EQ(d.b_Cancel->geometry(), QRect(192, 31, 75, 25));
        EXPECT_EQ(entries(d), (QStringList{"Сумма+", "Клиент+", "Код+"}));
        QTest::mouseClick(d.b_Cancel, Qt::LeftButton);
    });
    exportAs(dir.filePath("cancel.xlsx"), 0);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("cancel.xlsx")));
}

TEST_F(ExportGridTest, NothingTickedStillSavesAndOpensTheTemplatesCopy) {
    onModal<TF_xlExportGrid>([](TF_xlExportGrid& d) {
        for (int i = 0; i < d.chLBox->count(); ++i) {
            d.chLBox->setCurrentRow(i);
            QTest::keyClick(d.chLBox, Qt::Key_Space);
        }
        EXPECT_EQ(entries(d), (QStringList{"Сумма-", "Клиент-", "Код-"}));
        QTest::mouseClick(d.b_Ok, Qt::LeftButton);
    });
    exportAs(dir.filePath("none.xlsx"), 0);
    ASSERT_EQ(opened, QStringList{dir.filePath("none.xlsx")});
    const QJsonObject s = tolvtest::openpyxlDump(opened[0])["sheets"][0].toObject();
    EXPECT_TRUE(s["cells"].toObject().isEmpty());
}

TEST_F(ExportGridTest, ModeZeroWritesAmountsModeOneDisplayTexts) {
    for (int mode : {0, 1}) {
        onModal<TF_xlExportGrid>([](TF_xlExportGrid& d) {
            d.chLBox->setCurrentRow(2);
            QTest::keyClick(d.chLBox, Qt::Key_Space);  // no "Код"
            QTest::keyClick(&d, Qt::Key_Return);
        });
        exportAs(dir.filePath(QStringLiteral("mode%1.xlsx").arg(mode)), mode);
    }
    ASSERT_EQ(opened.size(), 2);
    struct Expect {
        QString cell, value, type;
    };
    const std::vector<std::vector<Expect>> expected = {
        {{"A1", "Сумма", "str"},
         {"B1", "Клиент", "str"},
         {"A2", "1234.56", "float"},
         {"A3", "0.5", "float"},
         {"B4", "Сидоренко", "str"}},
        {{"A1", "Сумма", "str"}, {"A2", "1234.56", "str"}, {"A3", "0.50", "str"}, {"A4", "7000.00", "str"}}};
    for (int mode : {0, 1}) {
        const QJsonObject s = tolvtest::openpyxlDump(opened[mode])["sheets"][0].toObject();
        for (const Expect& e : expected[mode]) {
            const QJsonArray cell = s["cells"][e.cell].toArray();
            EXPECT_EQ(cell[0].toString(), e.value) << mode << " " << e.cell.toStdString();
            EXPECT_EQ(cell[4].toString(), e.type) << mode << " " << e.cell.toStdString();
        }
        EXPECT_FALSE(s["cells"].toObject().contains("C2"));
        EXPECT_TRUE(s["cells"]["A1"].toArray()[2].toBool());  // the caption row's bold font
        EXPECT_TRUE(s["widths"].toObject().contains("B"));
    }
    const auto csv = tolvtest::libreOfficeCsv(opened);
    EXPECT_EQ(csv.size(), 2u);
}

TEST_F(ExportGridTest, AnUnwritableFolderShowsTheErrorClosesAndOpensNothing) {
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
    bool closed = false;
    onModal<TF_xlExportGrid>([&](TF_xlExportGrid& d) {
        QTest::mouseClick(d.b_Ok, Qt::LeftButton);
        closed = !d.isVisible();
    });
    exportAs(dir.filePath("file/sub/out.xlsx"), 0);
    EXPECT_TRUE(closed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);
    EXPECT_TRUE(opened.isEmpty());
}
