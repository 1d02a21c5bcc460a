#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ReportFixture.h"
#include "kv_FbUtil.h"
#include "kv_xlRep.h"
#include "platform/fb/Transaction.h"
#include "platform/xlsx/Workbook.h"
#include "tests/support/TestDatabase.h"

using namespace ExcelReport;
using namespace xlreptest;

namespace {

// A base statement as the grouped listing takes it: a single "*" select list, no where clause; the
// inner "*" of the product and of s.* must stay as they are.
const QString kBase = QStringLiteral("select * from (select s.*, s.AMOUNT * 1 as DOUBLED from XL_SERVICE s)");

class XlRepGrouped : public tolvtest::DbSuite {
protected:
    static void SetUpTestSuite() {
        DbSuite::SetUpTestSuite();
        udb::execSql(
            QStringLiteral("create table XL_SERVICE (FILIAL_NUMBER integer, FILIAL_NAME varchar(30), "
                           "CLIENT varchar(30), AMOUNT numeric(15,2))"));
    }
    void SetUp() override { udb::execSql(QStringLiteral("delete from XL_SERVICE")); }
    static void add(const QString& number, const QString& name, const QString& client,
                    const QString& amount) {
        udb::execSql(QStringLiteral("insert into XL_SERVICE values (%1, %2, %3, %4)")
                         .arg(number, udb::var2DbVar(name), udb::var2DbVar(client), amount));
    }
    void list(ExcelManagerNative& xl, const QString& groupField) {
        xl.setActiveSheet(2);
        xl.outGroupedQuery(
            QStringLiteral("SERVICE"), kBase, groupField, groupField, QStringLiteral("CLIENT asc"),
            {QStringLiteral("FILIAL_NUMBER"), QStringLiteral("FILIAL_NAME"), QStringLiteral("DOUBLED")}, true,
            true);
    }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(XlRepGrouped, NumbersRunOnAndSumsCoverTheirGroup) {
    for (const char* c : {"A", "B", "C"}) add("1", "Первый", c, "10");
    add("2", "Второй", "D", "1");
    add("2", "Второй", "E", "2");
    ExcelManagerNative xl(kReport);
    list(xl, QStringLiteral("FILIAL_NUMBER"));
    xlsx::Worksheet& ws = xl.workbook().sheet(1);
    const std::vector<std::pair<int, QString>> numbers = {{2, "1"}, {3, "2"}, {4, "3"}, {7, "4"}, {8, "5"}};
    for (const auto& [row, number] : numbers) EXPECT_EQ(ws.text(row, 0), number) << row;
    EXPECT_EQ(ws.text(1, 1), "'Первый'");
    EXPECT_EQ(ws.text(6, 1), "'Второй'");
    EXPECT_EQ(ws.text(8, 1), "E");
    EXPECT_EQ(ws.formula(5, 2), "SUM(C3:C5)");
    EXPECT_EQ(ws.formula(9, 2), "SUM(C8:C9)");
    EXPECT_EQ(ws.text(11, 0), "AFTER");
    const QString file = dir.filePath("grouped.xlsx");
    xl.save(file, false);
    const QJsonObject s = sheetOf(tolvtest::openpyxlDump(file), QStringLiteral("Группы"));
    EXPECT_EQ(cellOf(s, "C10"), "=SUM(C8:C9)");
    EXPECT_TRUE(s["cells"]["C10"].toArray()[2].toBool());
    const auto csv = tolvtest::libreOfficeCsv({file});
    EXPECT_EQ(csvCell(csv, "grouped-Группы", 6, 2), "30");
    EXPECT_EQ(csvCell(csv, "grouped-Группы", 10, 2), "3");
}

TEST_F(XlRepGrouped, NullAndQuotedGroupValuesFindTheirRows) {
    add("null", "O'Key", "A", "5");
    add("null", "O'Key", "B", "6");
    add("3", "Третий", "C", "7");
    for (const QString& field : {QStringLiteral("FILIAL_NUMBER"), QStringLiteral("FILIAL_NAME")}) {
        ExcelManagerNative xl(kReport);
        list(xl, field);
        xlsx::Worksheet& ws = xl.workbook().sheet(1);
        QStringList clients;
        for (int r = 0; r <= ws.lastRow(); ++r)
            if (ws.text(r, 1).size() == 1) clients << ws.text(r, 1);
        clients.sort();
        EXPECT_EQ(clients, (QStringList{"A", "B", "C"})) << field.toStdString();
    }
}

TEST_F(XlRepGrouped, NoGroupsIsAnError) {
    ExcelManagerNative xl(kReport);
    try {
        list(xl, QStringLiteral("FILIAL_NUMBER"));
        FAIL();
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.message(), "По выбранному запросу нет данных.");
    }
}
