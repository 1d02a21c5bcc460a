#include <gtest/gtest.h>

#include "CashBookPrint.h"
#include "CashCalc.h"
#include "tests/support/ErrorText.h"

using namespace cashtest;
using contracttest::newBranch;
using core::Variant;
using TolvLogic::bookPrintEvents;
using TolvLogic::CashPrintEvent;
using TolvLogic::rowPrintEvent;

namespace {

class CashBookPrintTest : public CalcSuite {};

QString text(const CashPrintEvent& e) {
    QStringList parts{e.code};
    for (const Variant& v : e.params) parts << v.toText();
    return parts.join(u'|');
}

// The form follows the recorded type, not the sign of the amount.
TEST_F(CashBookPrintTest, RowEventByTheRecordedType) {
    const int branch = newBranch(861, QStringLiteral("Друк"), false);
    const DateTime day = d24(14, 3);
    const int negativeReceipt = newOrder(Order{.date = day, .filialId = branch, .sum = -500});
    const int expense = newOrder(Order{.date = day, .filialId = branch, .sum = 300});
    udb::execSql(QStringLiteral("update WARRANTES set W_TYPE = 1 where ID = %1").arg(expense));
    auto reg = [&](int type) {
        const int id = udb::genId(QStringLiteral("GEN_REGISTERS_ID"));
        udb::execSql(
            QStringLiteral("insert into REGISTERS (ID, ID_FILIAL, R_TYPE, R_NUMBER, R_DATE) values (%1, "
                           "%2, %3, 1, %4)")
                .arg(id)
                .arg(branch)
                .arg(type)
                .arg(lit(day)));
        return id;
    };
    const int receiptRegister = reg(1);
    const int expenseRegister = reg(2);
    struct Case {
        int id;
        Variant dir;
        int method;
        bool grouping;
        QString expected;
    };
    const Case cases[] = {
        {negativeReceipt, Variant::null(), 2, true,
         QStringLiteral("CB_WRECEIPT|%1|-1|-1|0").arg(negativeReceipt)},
        {expense, Variant::null(), 1, false, QStringLiteral("CB_WEXPENSE|%1|-1|-1|0").arg(expense)},
        {receiptRegister, Variant(-1), 2, true, QStringLiteral("CB_RRECEIPT|%1").arg(receiptRegister)},
        {expenseRegister, Variant(-1), 2, true, QStringLiteral("CB_REXPENSE|%1").arg(expenseRegister)},
    };
    for (const Case& c : cases) EXPECT_EQ(text(rowPrintEvent(c.id, c.dir, c.method, c.grouping)), c.expected);
    // A row whose order is gone prints nothing and says why.
    EXPECT_EQ(tolvtest::errorText([] { rowPrintEvent(-55, Variant::null(), 2, true); }),
              QStringLiteral("Невозможно загрузить ордер. ID=-55"));
}

TEST_F(CashBookPrintTest, NoCashBookPageForADayWithoutMoney) {
    const int branch = newBranch(862, QStringLiteral("Книга"), false);
    const DateTime day = d24(14, 3);
    const QString date = Variant(day).toText();
    auto codes = [&](DateTime d) {
        QStringList out;
        for (const CashPrintEvent& e : bookPrintEvents(d, branch, true)) out << text(e);
        return out;
    };
    EXPECT_EQ(codes(day), QStringList{QStringLiteral("CB_REGBOOK|%1|%1|%2").arg(date).arg(branch)});
    newOrder(Order{.date = day, .filialId = branch, .sum = 100000});
    EXPECT_EQ(
        codes(day),
        (QStringList{QStringLiteral("CB_CASHBOOK|%1|%2|%3").arg(date).arg(branch).arg(Variant(true).toText()),
                     QStringLiteral("CB_REGBOOK|%1|%1|%2").arg(date).arg(branch)}));
}

}  // namespace
