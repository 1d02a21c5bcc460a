// The cash book window printing its orders through the document events it gets at start: the shipped
// sample of the order's recorded type, filled with the order and read back by a word processor.

#include <QPushButton>
#include <QTest>

#include "CashBook.h"
#include "f_CashBook.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/LookupCombo.h"
#include "tests/src/documents/ShippedEvents.h"
#include "tests/support/WriterText.h"
#include "u_CashBookPrinting.h"

using namespace doctest;

namespace {

class CashBookPrinting : public ShippedEvents {
protected:
    void SetUp() override {
        ShippedEvents::SetUp();
        TolvReports::installCashBookPrinting();
    }
    void TearDown() override {
        TFCashBook::setCashPrinting(nullptr);
        ShippedEvents::TearDown();
    }
};

TEST_F(CashBookPrinting, AnOrderPrintsTheSampleOfItsRecordedType) {
    TolvReports::createDocumentEvents(false);
    const int branch = newBranch(871, QStringLiteral("Друк ордерів"), false);
    const core::DateTime day = core::DateTime::encode(2024, 3, 14);
    const struct {
        int type;
        int sum;
        const char* number;
        QStringList lines;
    } cases[] = {
        // A receipt of a negative amount is still a receipt.
        {0, -500, "77", {"Приходный кассовый ордер № 77 от 14.03.2024", "Сумма: -5.00", "Кому/от кого: Іванов"}},
        {1, 30000, "78", {"Расходный кассовый ордер № 78 от 14.03.2024", "Сумма: 300.00", "Документ: Паспорт ВК 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        const int order = cashtest::newOrder(
            {.date = day, .filialId = branch, .sum = c.sum, .number = QString::fromLatin1(c.number)});
        udb::execSql(QStringLiteral("update WARRANTES set W_TYPE = %1, OPERATION_SUBJECT = 'Іванов', "
                                    "FOUNDATION = 'Внесок', IDENTIFICATION_DATA = 'Паспорт ВК 1' where ID = %2")
                         .arg(c.type)
                         .arg(order));
        opened_.clear();
        TFCashBook w;
        w.combo_FilialFilter->setKeyValue(branch);
        w.de_Date->setDate(day);
        ASSERT_TRUE(w.sheet()->getDataSet()->locate(QStringLiteral("ID"), order));
        QTest::mouseClick(w.btn_Warrs, Qt::LeftButton);
        EXPECT_TRUE(boxes_.shown.empty()) << boxes_.texts().join(u'\n').toStdString();
        ASSERT_EQ(opened_.size(), 1);
        const QString text = testsupport::writerText(opened_[0], dir_.path());
        for (const QString& line : c.lines) EXPECT_TRUE(text.contains(line)) << text.toStdString();
    }

    // The book's events are not filled by this layer: the choice says so rather than print stale values.
    TolvReports::CashBookPrinting printing;
    EXPECT_EQ(tolvtest::errorText([&] { printing.fillParams({QStringLiteral("CNTR_OPEN"), {}}); }),
              QStringLiteral("Печать этого кассового документа не подключена: CNTR_OPEN"));
}

}  // namespace
