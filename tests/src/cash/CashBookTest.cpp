#include <gtest/gtest.h>

#include <algorithm>

#include "CashBook.h"
#include "CashCalc.h"
#include "PenaltyDirectories.h"
#include "PenaltyWarrants.h"
#include "kv_FbDbIni.h"
#include "platform/core/Formats.h"
#include "platform/grid/GridView.h"
#include "tests/support/ErrorText.h"

using namespace cashtest;
using contracttest::Contract;
using contracttest::newBranch;
using contracttest::newClient;
using contracttest::newContract;
using contracttest::scalar;
using TolvLogic::WarrantInfo;

namespace {

// A manual order of the branch, day, type and sum, with its texts, stored through its record.
int manualOrder(int branch, DateTime date, int type, int sum, const QString& number,
                const QString& subject = QStringLiteral("Іванов"),
                const QString& foundation = QStringLiteral("Внесок")) {
    WarrantInfo w;
    w.SetField(WarrantInfo::wID_FILIAL, branch);
    w.SetField(WarrantInfo::wW_DATE, date);
    w.SetField(WarrantInfo::wW_TYPE, type);
    w.SetField(WarrantInfo::wW_SUM, sum);
    w.SetField(WarrantInfo::wNUMBER, number);
    w.SetField(WarrantInfo::wOPERATION_SUBJECT, subject);
    w.SetField(WarrantInfo::wFOUNDATION, foundation);
    w.SetField(WarrantInfo::wACCOUNT_NUMBER, QStringLiteral("301"));
    w.save(nullptr);
    return scalar(QStringLiteral("select max(ID) as V from WARRANTES where ID_FILIAL = %1").arg(branch))
        .toInt();
}

void setGrouping(bool on) {
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("groupAutoOrdersInRegister"), on ? 1 : 0);
    udb::dbIniDropCache();
}

// The sheet's rows, its calculated fields joined by "|" in their order: summary "DOC_NUM|DOC_SUBJ|
// REC_SUM|EXP_SUM|DOC_TYPE", list "DOC_NUM|DOC_SUBJ|REC_SUM|EXP_SUM|W_DATE|DOC_TYPE|ACCOUNT_NUMBER".
std::vector<QString> rows(CashBook& book) {
    data::Dataset* ds = book.getDataSet();
    std::vector<QString> out;
    for (ds->first(); !ds->eof(); ds->next()) {
        QStringList row;
        for (int i = 0; i < ds->fieldCount(); ++i) {
            const data::Field* f = ds->field(i);
            if (f->kind() == data::FieldKind::Calculated) row << f->displayText();
        }
        out.push_back(row.join(u'|'));
    }
    return out;
}

std::vector<QString> sorted(std::vector<QString> v) {
    std::sort(v.begin(), v.end());
    return v;
}

QStringList columnFields(const CashBook& book) {
    QStringList names;
    for (const grid::Column& c : book.columnsEh()) names << c.fieldName;
    return names;
}

// The grid the sheet binds to, without widgets.
class SheetGrid : public grid::GridView {
public:
    SheetGrid() : GridView(grid::GridKind::Eh) {}
    QString gridName() const override { return QStringLiteral("grid_CashBook"); }
    QString formName() const override { return QString(); }
};

class CashBookTest : public CalcSuite {
protected:
    void TearDown() override {
        setGrouping(false);
        CalcSuite::TearDown();
    }
};

TEST_F(CashBookTest, SummaryDayListsTheOrdersWithTheirParties) {
    const SummaryDay s = summaryDay(81);
    const DateTime D = d24(15, 3);
    regenerate(D, s.c1);
    manualOrder(s.branch, D, 0, 12345, QStringLiteral("7"), QStringLiteral("Петров"));

    CashBook book(D, D, s.branch, false);
    ASSERT_EQ(book.layout(), CashBook::Summary);
    EXPECT_EQ(sorted(rows(book)),
              sorted({QStringLiteral("  р. 5|Выдача займа Договоры 1.24.5; 1.24.8||600.00|"),
                      QStringLiteral("пр. 10|Возврат займа Договоры 1.24.7; 1.24.9|500.00||"),
                      QStringLiteral("пр. 11|Проценты Договоры 1.24.7; 1.24.9|24.00||"),
                      QStringLiteral("пр. 12|Хранение Договоры 1.24.7|3.00||"),
                      QStringLiteral("пр. 13|Пеня Договоры 1.24.9|2.50||"),
                      QStringLiteral("пр. 7|Петров|123.45||")}));
    EXPECT_EQ(columnFields(book),
              (QStringList{"DOC_NUM", "DOC_SUBJ", "ACCOUNT_NUMBER", "REC_SUM", "EXP_SUM"}));

    // Automatic rows are shaded, the manual one keeps the grid's colours; no title sorts.
    SheetGrid grid;
    grid::DataSource source(book.getDataSet());
    grid.setDataSource(&source);
    book.bindGridEh(&grid);
    ASSERT_TRUE(grid.onCellStyle);
    data::Dataset* ds = book.getDataSet();
    int shaded = 0;
    int row = 0;
    for (ds->first(); !ds->eof(); ds->next(), ++row) {
        grid::CellStyle style;
        grid.onCellStyle(row, grid.columns()[0], style);
        const bool manual = ds->fieldByName(QStringLiteral("DOC_NUM")).asString() == QStringLiteral("пр. 7");
        EXPECT_EQ(style.background.has_value(), !manual);
        if (style.background) {
            EXPECT_EQ(*style.background, CashBook::kShade);
            ++shaded;
        }
    }
    EXPECT_EQ(shaded, 5);
    for (const grid::Column& c : grid.columns()) EXPECT_FALSE(c.titleButton) << c.fieldName.toStdString();
    // Another branch's day is empty.
    EXPECT_TRUE(rows(*std::make_unique<CashBook>(D, D, 1, false)).empty());
}

class DetailedCashBookTest : public CashBookTest {
protected:
    // The detailed example's repayment on 18.03.2024 (register 3, 218.50) beside manual orders.
    void SetUp() override {
        CashBookTest::SetUp();
        setMethod(2);
        static int number = 820;
        branch = newBranch(++number, QStringLiteral("Детальна"), false);
        setCounters(branch, 20, 7, 3, 1);
        const int client = newClient(QStringLiteral("Петренко П.П."));
        pledge = TDepositTypes::scGetIdByCode(QStringLiteral("GOLD"));
        const int c1 = newContract(Contract{.clientId = client,
                                            .date = d24(1, 3),
                                            .number = QStringLiteral("1.24.7"),
                                            .filialId = branch,
                                            .depositSum = 100000,
                                            .depositType = pledge});
        TPenaltyOperationInfo pay = operationRecord(day, c1, 20000, 300, 1550);
        TPenaltyOperations(TolvMain::getZarvelDb(), nullptr).insertOperation(pay, nullptr);
        manualOrder(branch, day, 0, 5000, QStringLiteral("4"), QStringLiteral("Сидоренко"));
        manualOrder(branch, day, 1, 1200, QStringLiteral("2"), QStringLiteral("Коваль"));
    }
    const DateTime day = d24(18, 3);
    int branch = 0;
    int pledge = 0;
};

TEST_F(DetailedCashBookTest, GroupedRegistersAndManualOrders) {
    const QString pledgeName = TDepositTypes::scGetName(pledge);
    struct Case {
        bool grouping;
        std::vector<QString> expected;
    };
    const Case cases[] = {
        {true,
         {QStringLiteral("Орд.пр.4|Сидоренко|50.00||||301"), QStringLiteral("Орд.р.2|Коваль||12.00|||301"),
          QStringLiteral("Вед.пр.3|Приходные операции: ") + pledgeName + QStringLiteral("|218.50||||")}},
        {false,
         {QStringLiteral("Орд.пр.20|Петренко П.П.|218.50||||"),
          QStringLiteral("Орд.пр.4|Сидоренко|50.00||||301"), QStringLiteral("Орд.р.2|Коваль||12.00|||301")}},
    };
    for (const Case& c : cases) {
        setGrouping(c.grouping);
        CashBook book(day, day, branch, false);
        ASSERT_EQ(book.layout(), CashBook::List);
        EXPECT_EQ(sorted(rows(book)), sorted(c.expected)) << c.grouping;
        EXPECT_EQ(columnFields(book),
                  (QStringList{"DOC_NUM", "DOC_SUBJ", "ACCOUNT_NUMBER", "REC_SUM", "EXP_SUM"}));
    }
    // The register row is shaded.
    setGrouping(true);
    CashBook book(day, day, branch, false);
    int row = 0, shaded = 0;
    data::Dataset* ds = book.getDataSet();
    for (ds->first(); !ds->eof(); ds->next(), ++row) {
        grid::CellStyle style;
        book.getCellParams(row, grid::Column{}, style);
        if (style.background) {
            ++shaded;
            EXPECT_TRUE(ds->fieldByName(QStringLiteral("DOC_NUM")).asString().startsWith(u"Вед."));
        }
    }
    EXPECT_EQ(shaded, 1);
}

TEST_F(DetailedCashBookTest, ByModificationDateListsOrdersByTypeThenNumber) {
    udb::execSql(QStringLiteral("update WARRANTES set MODIFY_DATE = %1 where ID_FILIAL = %2")
                     .arg(lit(day))
                     .arg(branch));
    const QString date = core::dateToStr(day);
    CashBook plain(day, day.addDays(1), branch, true);
    EXPECT_EQ(rows(plain),
              (std::vector<QString>{QStringLiteral("Орд.пр.20|Петренко П.П.|218.50||") + date + "|Ордер|",
                                    QStringLiteral("Орд.пр.4|Сидоренко|50.00||") + date + "|Ордер|301",
                                    QStringLiteral("Орд.р.2|Коваль||12.00|") + date + "|Ордер|301"}));
    EXPECT_EQ(columnFields(plain), (QStringList{"DOC_NUM", "DOC_TYPE", "W_DATE", "DOC_SUBJ", "ACCOUNT_NUMBER",
                                                "REC_SUM", "EXP_SUM"}));
    setGrouping(true);
    CashBook grouped(day, day.addDays(1), branch, true);
    EXPECT_EQ(sorted(rows(grouped)),
              sorted({QStringLiteral("Орд.пр.4|Сидоренко|50.00||") + date + "|Ордер|301",
                      QStringLiteral("Орд.р.2|Коваль||12.00|") + date + "|Ордер|301",
                      QStringLiteral("Вед.пр.3|Приходные операции: ") + TDepositTypes::scGetName(pledge) +
                          "|218.50||" + date + "|Ведомость|"}));
}

// The end date's method decides the layout; long parties are cut; a vanished row raises its error.
TEST_F(CashBookTest, LayoutOfTheEndDateLongTextsAndVanishedRows) {
    const int branch = newBranch(83, QStringLiteral("Змішана"), false);
    setMethod(2);
    // A party of the column's full 10000 characters, written by the server itself.
    const QString longSubject(10000, u'Z');
    const int id = manualOrder(branch, d24(10, 4), 1, 12345, QStringLiteral("1"));
    udb::execSql(
        QStringLiteral("update WARRANTES set OPERATION_SUBJECT = rpad(cast('' as varchar(1) character set "
                       "win1251), 10000, cast('Z' as varchar(1) character set win1251)) where ID = %1")
            .arg(id));
    // A summary marker on the 11th.
    udb::execSql(QStringLiteral("insert into REGISTERS (ID, ID_FILIAL, R_TYPE, R_NUMBER, R_DATE) values "
                                "(gen_id(GEN_REGISTERS_ID, 1), %1, 0, -1, %2)")
                     .arg(branch)
                     .arg(lit(d24(11, 4))));
    CashBook summary(d24(10, 4), d24(11, 4), branch, false);
    EXPECT_EQ(summary.layout(), CashBook::Summary);
    ASSERT_EQ(rows(summary).size(), 1u);
    EXPECT_EQ(rows(summary)[0], QStringLiteral("  р. 1|") + longSubject.left(510) + "||123.45|");

    setGrouping(true);
    CashBook list(d24(10, 4), d24(10, 4), branch, false);
    EXPECT_EQ(list.layout(), CashBook::List);
    EXPECT_EQ(rows(list),
              (std::vector<QString>{QStringLiteral("Орд.р.1|") + longSubject.left(510) + "||123.45|||301"}));
    // The marker is never listed.
    CashBook marker(d24(11, 4), d24(11, 4), branch, false);
    EXPECT_TRUE(rows(marker).empty());

    // The order deleted after the list read it: the row's calculation raises the order's load error.
    udb::execSql(QStringLiteral("delete from WARRANTES where ID = %1").arg(id));
    data::Dataset* ds = list.getDataSet();
    ds->first();
    EXPECT_EQ(tolvtest::errorText([&] { list.OnCalcFields(*ds); }),
              QStringLiteral("Невозможно загрузить ордер. ID=%1").arg(id));
}

}  // namespace
