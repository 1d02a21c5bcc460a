#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include "platform/xlsx/Workbook.h"
#include "tests/support/SpreadsheetCheck.h"

using namespace xlsx;

namespace {

const QString kTemplate = QStringLiteral(TOLV_XLSX_TEMPLATE);
const QString kReport = QStringLiteral("Отчёт");

QJsonObject sheetOf(const QJsonValue& dump, const QString& name) {
    for (const QJsonValue& s : dump[QStringLiteral("sheets")].toArray())
        if (s[QStringLiteral("name")].toString() == name) return s.toObject();
    return {};
}

QString cellOf(const QJsonObject& sheet, const QString& ref, int item = 0) {
    return sheet[QStringLiteral("cells")][ref].toArray()[item].toVariant().toString();
}

QJsonValue dump(const QString& file) {
    QString error;
    const QJsonValue v = tolvtest::openpyxlDump(file, &error);
    EXPECT_FALSE(v.isUndefined()) << error.toStdString();
    return v;
}

// The CSV cell (1-based row, 0-based column) LibreOffice computed.
QString csvCell(const std::map<QString, QString>& csv, const QString& key, int row, int column) {
    const auto it = csv.find(key);
    if (it == csv.end()) return QStringLiteral("<no sheet %1>").arg(key);
    const auto rows = tolvtest::csvRows(it->second);
    if (row - 1 >= static_cast<int>(rows.size()) || column >= rows[row - 1].size()) return {};
    return rows[row - 1][column];
}

class XlsxWorkbook : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString out(const QString& name) const { return dir.filePath(name); }
};

}  // namespace

TEST_F(XlsxWorkbook, TemplateRoundTripsAndNewValuesReadBack) {
    auto book = Workbook::load(kTemplate);
    ASSERT_EQ(book->sheetCount(), 2);
    Worksheet& ws = book->sheet(0);
    EXPECT_EQ(ws.name(), kReport);
    EXPECT_EQ(ws.text(0, 0), "Заголовок отчёта");
    EXPECT_EQ(ws.text(1, 3), "DATA");
    EXPECT_EQ(ws.formula(9, 3), "SUM(D6:D9)");
    EXPECT_EQ(ws.merges().size(), 2u);
    EXPECT_TRUE(ws.rowHidden(10));
    // New values in cells that carry styles (C2 "0.00" italic) and in plain ones.
    ws.setValue(1, 2, 7.5);
    ws.setValue(13, 0, QStringLiteral("  концы  \nвторая строка"));
    ws.setValue(13, 1, 1234.56);
    ws.setValue(13, 2, core::DateTime::encode(2024, 2, 29));
    ws.setValue(13, 3, true);
    ws.setValue(14, 0, 0.1 + 0.2);
    ws.setValue(5, 3, core::Variant::null());
    book->save(out("round.xlsx"));

    const QJsonValue d = dump(out("round.xlsx"));
    const QJsonObject s = sheetOf(d, kReport);
    EXPECT_EQ(cellOf(s, "A1"), "Заголовок отчёта");
    EXPECT_TRUE(s["cells"]["A1"].toArray()[2].toBool());  // bold kept
    EXPECT_EQ(cellOf(s, "A2"), "2024-03-15");
    EXPECT_EQ(cellOf(s, "A2", 1), "dd\\.mm\\.yyyy");
    EXPECT_EQ(cellOf(s, "B2"), "Ґанок і їжак");
    EXPECT_EQ(cellOf(s, "C2"), "7.5");
    EXPECT_EQ(cellOf(s, "C2", 1), "0.00");
    EXPECT_TRUE(s["cells"]["C2"].toArray()[3].toBool());  // italic kept
    EXPECT_EQ(cellOf(s, "A14"), "  концы  \nвторая строка");
    EXPECT_EQ(cellOf(s, "B14"), "1234.56");
    EXPECT_EQ(cellOf(s, "C14"), "2024-02-29");
    EXPECT_EQ(cellOf(s, "C14", 1), "dd.mm.yyyy");
    EXPECT_EQ(cellOf(s, "D14"), "TRUE");
    EXPECT_EQ(cellOf(s, "A15"), "0.30000000000000004");
    EXPECT_FALSE(s["cells"].toObject().contains("D6"));
    EXPECT_EQ(cellOf(s, "D10"), "=SUM(D6:D9)");
    EXPECT_EQ(s["merges"].toArray(), QJsonArray({"A12:B12", "A1:D1"}));
    EXPECT_NEAR(s["widths"]["A"].toDouble(), 22.32, 0.01);
    EXPECT_NEAR(s["heights"]["1"].toDouble(), 28.35, 0.01);
    EXPECT_EQ(s["hidden"].toArray(), QJsonArray({11}));
    EXPECT_EQ(s["orientation"].toString(), "landscape");
    EXPECT_EQ(cellOf(sheetOf(d, "Second"), "A1"), "=Отчёт!D10*2");

    const auto csv = tolvtest::libreOfficeCsv({out("round.xlsx")});
    EXPECT_EQ(csvCell(csv, "round-Отчёт", 10, 3), "9");  // D6 emptied: 2+3+4
    EXPECT_EQ(csvCell(csv, "round-Second", 1, 0), "18");
    EXPECT_EQ(csvCell(csv, "round-Отчёт", 14, 2), "02/29/2024");
}

TEST_F(XlsxWorkbook, InsertedRowsMoveCellsMergesAndReferences) {
    auto book = Workbook::load(kTemplate);
    book->insertRows(0, 4, 2);  // two rows below row 5
    Worksheet& ws = book->sheet(0);
    EXPECT_EQ(ws.formula(11, 3), "SUM(D8:D11)");
    EXPECT_EQ(ws.formula(4, 3), "B5*C5");
    EXPECT_EQ(ws.rowHeight(5), ws.rowHeight(4));
    EXPECT_EQ(book->sheet(1).formula(0, 0), "Отчёт!D12*2");
    book->insertRows(0, 4, 0);
    EXPECT_EQ(ws.formula(11, 3), "SUM(D8:D11)");
    book->save(out("inserted.xlsx"));

    const QJsonObject s = sheetOf(dump(out("inserted.xlsx")), kReport);
    EXPECT_EQ(cellOf(s, "D12"), "=SUM(D8:D11)");
    EXPECT_EQ(s["merges"].toArray(), QJsonArray({"A14:B14", "A1:D1"}));
    EXPECT_EQ(s["hidden"].toArray(), QJsonArray({13}));
    const auto csv = tolvtest::libreOfficeCsv({out("inserted.xlsx")});
    EXPECT_EQ(csvCell(csv, "inserted-Отчёт", 12, 3), "10");
    EXPECT_EQ(csvCell(csv, "inserted-Second", 1, 0), "20");
}

TEST_F(XlsxWorkbook, CopiedBlockMovesRelativeReferencesAndMerges) {
    auto book = Workbook::load(kTemplate);
    book->copyBlock(0, {4, 0, 4, 3}, 0, 5, 0, true);    // row 5 one row down
    book->copyBlock(0, {11, 0, 11, 1}, 1, 4, 0, true);  // a merged block onto another sheet
    EXPECT_EQ(book->sheet(0).formula(5, 3), "B6*C6");
    book->save(out("copied.xlsx"));
    const QJsonValue d = dump(out("copied.xlsx"));
    EXPECT_EQ(cellOf(sheetOf(d, kReport), "D6"), "=B6*C6");
    EXPECT_EQ(cellOf(sheetOf(d, "Second"), "A5"), "Ниже");
    EXPECT_EQ(sheetOf(d, "Second")["merges"].toArray(), QJsonArray({"A5:B5"}));
    const auto csv = tolvtest::libreOfficeCsv({out("copied.xlsx")});
    EXPECT_EQ(csvCell(csv, "copied-Отчёт", 6, 3), "6");
}

TEST_F(XlsxWorkbook, NewWorkbookFormulaWithSemicolonsComputes) {
    Workbook book;
    Worksheet& ws = book.sheet(0);
    for (int r = 11; r <= 19; ++r) ws.setValue(r, 7, 1);
    for (int r = 24; r <= 30; ++r) ws.setValue(r, 7, 10);
    ws.setFormula(32, 7, QStringLiteral("SUM(H12:H20;H25:H31)"));
    ws.setValue(0, 0, QStringLiteral("Ширина"));
    ws.autoFitColumn(0);
    EXPECT_GT(ws.columnWidth(0), 6.0);
    book.save(out("new.xlsx"));
    const QJsonObject s = sheetOf(dump(out("new.xlsx")), "Sheet1");
    EXPECT_EQ(cellOf(s, "H33"), "=SUM(H12:H20,H25:H31)");
    const auto csv = tolvtest::libreOfficeCsv({out("new.xlsx")});
    EXPECT_EQ(csvCell(csv, "new-Sheet1", 33, 7), "79");
}

TEST_F(XlsxWorkbook, RenamedAndDeletedSheetsLeaveFilesThatOpen) {
    auto renamed = Workbook::load(kTemplate);
    renamed->renameSheet(0, QStringLiteral("Итоги 2024"));
    EXPECT_EQ(renamed->findSheet(QStringLiteral("Итоги 2024")), 0);
    EXPECT_EQ(renamed->findSheet(kReport), -1);
    EXPECT_EQ(renamed->sheet(1).formula(0, 0), "'Итоги 2024'!D10*2");
    renamed->save(out("renamed.xlsx"));
    auto deleted = Workbook::load(kTemplate);
    deleted->deleteSheet(1);
    EXPECT_EQ(deleted->sheetCount(), 1);
    deleted->save(out("deleted.xlsx"));

    const QJsonValue r = dump(out("renamed.xlsx"));
    EXPECT_EQ(cellOf(sheetOf(r, "Second"), "A1"), "='Итоги 2024'!D10*2");
    const QJsonValue d = dump(out("deleted.xlsx"));
    EXPECT_EQ(d["sheets"].toArray().size(), 1);
    const auto csv = tolvtest::libreOfficeCsv({out("renamed.xlsx"), out("deleted.xlsx")});
    EXPECT_EQ(csvCell(csv, "renamed-Second", 1, 0), "20");
    EXPECT_EQ(csvCell(csv, "renamed-Итоги 2024", 10, 3), "10");
    EXPECT_EQ(csvCell(csv, "deleted-Отчёт", 10, 3), "10");
}

TEST_F(XlsxWorkbook, MissingOldOrDamagedFilesRaise) {
    QFile old(out("old.xls"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(512, '\0'));
    old.close();
    QFile damaged(out("damaged.xlsx"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    QFile tpl(kTemplate);
    ASSERT_TRUE(tpl.open(QIODevice::ReadOnly));
    damaged.write(tpl.readAll().left(300));
    damaged.close();
    for (const QString& name : {out("missing.xlsx"), out("old.xls"), out("damaged.xlsx")})
        EXPECT_THROW(Workbook::load(name), Error) << name.toStdString();
    Workbook book;
    EXPECT_THROW(book.save(out("no/such/folder/x.xlsx")), Error);
}
