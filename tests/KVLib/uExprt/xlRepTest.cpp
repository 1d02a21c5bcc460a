#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "ReportFixture.h"
#include "kv_Money100Field.h"
#include "kv_xlRep.h"
#include "platform/data/MemTable.h"
#include "platform/os/Shell.h"
#include "platform/xlsx/Workbook.h"

using namespace ExcelReport;
using namespace xlreptest;

namespace {

QString messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const core::Exception& e) {
        return e.message();
    }
    return QStringLiteral("<no exception>");
}

// NAME, SUM (money in hundredths), DAY, FLAG; rows of (name, hundredths).
struct Records {
    data::MemTable t;
    explicit Records(int rows) {
        t.addField(QStringLiteral("NAME"), data::DataType::String, 20);
        t.adoptField(std::make_unique<ufb::TMoney100Field>(), QStringLiteral("SUM"));
        t.addField(QStringLiteral("DAY"), data::DataType::Date);
        t.addField(QStringLiteral("FLAG"), data::DataType::Boolean);
        t.open();
        for (int i = 0; i < rows; ++i) {
            t.append();
            t[QStringLiteral("NAME")].setValue(QStringLiteral("Имя %1").arg(i + 1));
            t[QStringLiteral("SUM")].setValue(123456 + i);
            t[QStringLiteral("DAY")].setValue(core::DateTime::encode(2024, 3, 15 + i));
            t[QStringLiteral("FLAG")].setValue(i % 2 == 0);
            t.post();
        }
        t.first();
    }
};

class XlRep : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString out(const QString& name) const { return dir.filePath(name); }
};

}  // namespace

TEST(XlRepAddress, ColumnsAndAddresses) {
    const std::vector<std::pair<QString, int>> indexes = {
        {"ab", 28}, {"AA", 27}, {"AZ", 52}, {"ABC", 1}, {"A", 1}};
    for (const auto& [letters, index] : indexes)
        EXPECT_EQ(colIndexOf(letters), index) << letters.toStdString();
    const std::vector<std::pair<int, QString>> letters = {
        {27, "AA"}, {52, "AZ"}, {26, "Z"}, {702, "ZZ"}, {1, "A"}};
    for (const auto& [number, text] : letters) EXPECT_EQ(colLettersOf(number), text) << number;
    QString l;
    int row = 0;
    splitCellAddress(QStringLiteral("$AB$12"), l, row);
    EXPECT_EQ(l, "AB");
    EXPECT_EQ(row, 12);
    EXPECT_THROW(splitCellAddress(QString(), l, row), core::Exception);
    EXPECT_TRUE(CellAdrSN().isUndefined());
    EXPECT_EQ(cellUndefinedName, "CELL_UNDEFINED");
    EXPECT_TRUE(CellAdrSN::fromString(QString()).isUndefined());
    EXPECT_EQ(CellAdrSN(QStringLiteral("$B$7")).offset(2, 3).toString(), "$D$10");
}

TEST_F(XlRep, LabelsMatchWholeTextOnly) {
    ExcelManagerNative xl(kReport);
    EXPECT_EQ(xl.findCell(QStringLiteral("TITLE")), "$A$1");
    EXPECT_EQ(xl.findCell(QStringLiteral("TITLE ")), "$B$1");  // the trailing blank is part of the text
    EXPECT_EQ(xl.findCell(QStringLiteral("title")), "");
    EXPECT_TRUE(xl.getCellAdr(QStringLiteral("NOWHERE")).isUndefined());
}

TEST_F(XlRep, DataSetRowsInsertedBelowTheStartRowWithItsFormats) {
    struct Case {
        int records;
        QString totalAt;
    };
    for (const Case& c : std::vector<Case>{{1, "$A$5"}, {3, "$A$7"}, {0, "$A$5"}}) {
        Records rec(c.records);
        ExcelManagerNative xl(kReport);
        xl.outDataSet(QStringLiteral("$A$3"), rec.t, true);
        EXPECT_EQ(xl.findCell(QStringLiteral("TOTAL")), c.totalAt) << c.records;
        xl.save(out(QStringLiteral("data%1.xlsx").arg(c.records)), false);
    }
    const QJsonObject s = sheetOf(tolvtest::openpyxlDump(out("data3.xlsx")), QStringLiteral("Список"));
    EXPECT_EQ(cellOf(s, "A5"), "Имя 3");
    EXPECT_TRUE(s["cells"]["A5"].toArray()[2].toBool());  // bold from the template row
    EXPECT_EQ(cellOf(s, "B3"), "1234.56");                // money in currency units
    EXPECT_EQ(cellOf(s, "B4", 1), "0.00");
    EXPECT_EQ(cellOf(s, "C4"), "2024-03-16");  // a date as text
    EXPECT_EQ(cellOf(s, "D3"), "1");
    EXPECT_EQ(cellOf(s, "D4"), "0");
    EXPECT_TRUE(s["widths"].toObject().contains("A"));
    EXPECT_EQ(cellOf(sheetOf(tolvtest::openpyxlDump(out("data0.xlsx")), QStringLiteral("Список")), "A3"),
              "DATA");
}

TEST_F(XlRep, ListedFieldsInListOrderAndEditTextMode) {
    Records rec(2);
    rec.t.fieldByName(QStringLiteral("SUM")).setVisible(false);  // listed fields are written even hidden
    ExcelManagerNative xl(kReport);
    xl.FieldValueOutType = 1;
    xl.outDataSetFields(CellAdrSN(QStringLiteral("$A$3")), rec.t,
                        {QStringLiteral("SUM"), QStringLiteral("NAME")});
    EXPECT_EQ(xl.workbook().sheet(0).text(2, 0), "1234.56");
    EXPECT_EQ(xl.workbook().sheet(0).text(3, 1), "Имя 2");
}

TEST_F(XlRep, ValuesForAllSheetsAreWrittenOncePerLabelledCell) {
    ExcelManagerNative xl(kReport);
    xl.setActiveSheet(2);
    xl.setValueByNameAllSheets(QStringLiteral("SHARED"), core::Variant::null());
    EXPECT_EQ(xl.workbook().sheet(0).text(20, 0), " ");
    EXPECT_EQ(xl.workbook().sheet(1).text(6, 0), " ");
    EXPECT_EQ(xl.activeSheetIndex(), 1);
    EXPECT_EQ(xl.sheetName(0), "Группы");  // 0 names the active sheet
    // A value equal to the label is written once and the call returns.
    xl.setValueByNameAllSheets(QStringLiteral("TITLE"), QStringLiteral("TITLE"));
    EXPECT_EQ(xl.workbook().sheet(0).text(0, 0), "TITLE");
}

TEST_F(XlRep, SumAboveALabel) {
    ExcelManagerNative xl(kReport);
    xl.calcAggreg4Colum(0, QStringLiteral("AGG"), 5);
    EXPECT_EQ(xl.workbook().sheet(0).formula(19, 3), "SUM(D15:D19)");
    xl.calcAggreg4Colum(1, QStringLiteral("ABSENT"), 5);  // nothing, whatever the kind
    xl.setCellValue(QStringLiteral("$D$20"), QStringLiteral("AGG"));
    // Over no rows: 0, not SUM(D20:D19), which would hold its own cell.
    xl.calcAggreg4Colum(0, QStringLiteral("AGG"), 0);
    EXPECT_EQ(xl.workbook().sheet(0).formula(19, 3), "");
    EXPECT_EQ(xl.workbook().sheet(0).text(19, 3), "0");
}

TEST_F(XlRep, RangesAppendedAndBlocksDeleted) {
    ExcelManagerNative xl(kReport);
    xl.setActiveSheet(2);
    xl.appendRangeCount(QStringLiteral("SERVICE_FILIAL_NAME_GROUP_NAME"), QStringLiteral("SERVICE_GROUP_SUM"),
                        2);
    xlsx::Worksheet& ws = xl.workbook().sheet(1);
    // The copies start right below the range, from its first column through one past its last.
    EXPECT_EQ(ws.text(5, 1), "SERVICE");
    EXPECT_EQ(ws.text(8, 1), "SERVICE");
    EXPECT_EQ(ws.text(8, 0), "");
    EXPECT_EQ(ws.text(11, 0), "AFTER");
    const int style = ws.style(5, 2);
    xl.deleteLabeledBlocks(QStringLiteral("SERVICE"), 1, 2);
    EXPECT_EQ(xl.findCell(QStringLiteral("SERVICE")), "");
    EXPECT_EQ(ws.style(5, 2), style);  // cleared, formats kept
    xl.outVector(CellAdrSN(QStringLiteral("$A$1")), {1, core::Variant::null(), QStringLiteral("x")}, false);
    EXPECT_EQ(ws.text(0, 2), "x");
    xl.setSheetName(QStringLiteral("Новое"), 0);
    EXPECT_EQ(xl.findSheetIndx(QStringLiteral("Новое"), true), 2);
    xl.deleteSheet(0);
    EXPECT_EQ(xl.workbook().sheetCount(), 1);
    xl.save(out("sheets.xlsx"), false);
    const auto csv = tolvtest::libreOfficeCsv({out("sheets.xlsx")});
    EXPECT_EQ(csvCell(csv, "sheets-Новое", 12, 0), "AFTER");
}

TEST_F(XlRep, ErrorTexts) {
    ExcelManagerNative xl(kReport);
    QFile old(out("old.xls"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(512, '\0'));
    old.close();
    const QString notFound = "Файл шаблона для отчёта не найден либо повреждён";
    for (const QString& path : {out("missing.xlsx"), out("old.xls")}) {
        EXPECT_EQ(messageOf([&] { ExcelManagerNative other(path); }), notFound);
        EXPECT_EQ(messageOf([&] { xl.openTemplate(path); }), notFound);
    }
    const auto place = [](const QString& text) { return text.left(text.indexOf("\n\nFunc: ")); };
    const auto func = [](const QString& text) { return text.section("\n\nFunc: ", 1).section("()", 0, 0); };
    struct Case {
        std::function<void()> call;
        QString text, function;
    };
    Records rec(1);
    const std::vector<Case> cases = {
        {[&] { xl.setCellValueByName(QStringLiteral("NOPE"), 1, true); },
         "Лист Список\nМетка 'NOPE' не найдена в шаблоне документа",
         "ExcelManagerNative::setCellValueByName"},
        {[&] { xl.findSheetIndx(QStringLiteral("Нет"), true); }, "Лист Нет не найден",
         "ExcelManagerNative::findSheetIndx"},
        {[&] { xl.appendRangeCount(CellAdrSN(), CellAdrSN(QStringLiteral("$A$1")), 1); },
         "Ячейка начала диапазона копирования не определена", "ExcelManagerNative::appendRangeCount"},
        {[&] { xl.appendRangeCount(CellAdrSN(QStringLiteral("$A$1")), CellAdrSN(), 1); },
         "Ячейка конца диапазона копирования не определена", "ExcelManagerNative::appendRangeCount"},
        {[&] { xl.calcAggreg4Colum(1, QStringLiteral("AGG"), 1); }, "Неизвестный тип агрегатной функции",
         "ExcelManagerNative::calcAggreg4Colum"},
        {[&] {
             xl.FieldValueOutType = 5;
             xl.sValue(rec.t.fieldByName(QStringLiteral("NAME")));
         },
         "Неизвестное значение FieldValueOutType", "ExcelManager::sValue"},
    };
    for (const Case& c : cases) {
        const QString m = messageOf(c.call);
        EXPECT_EQ(place(m), c.text);
        EXPECT_EQ(func(m), c.function) << m.toStdString();
        EXPECT_TRUE(m.endsWith("\n\n"));
    }
    EXPECT_EQ(xl.findSheetIndx(QStringLiteral("Нет"), false), 0);
    EXPECT_NO_THROW(xl.setCellValueByName(QStringLiteral("NOPE"), 1, false));
}

TEST_F(XlRep, SaveCreatesTheFolderAndOpensThroughTheShell) {
    QStringList opened;
    const auto old = os::setOpenHandler([&](const QString& p) {
        opened << p;
        return true;
    });
    ExcelManagerNative xl(kReport);
    xl.save(out("new/report.xlsx"), true);
    os::setOpenHandler(old);
    EXPECT_EQ(opened, QStringList{out("new/report.xlsx")});
    EXPECT_EQ(xl.outputFileName(), out("new/report.xlsx"));
}
