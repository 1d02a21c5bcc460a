#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "FormsFixture.h"
#include "PenaltyContracts.h"
#include "f_ExchangeInfo.h"
#include "platform/core/Formats.h"
#include "u_PercCalc.h"

using namespace formstest;
using core::DateTime;

namespace {

// A contract of 01.03 indexed at 41.2500 for 30 days at 15 %, in a branch with rates on 01.03
// (41.2500), 10.03 (42.0000) and 20.03 (43.0000).
class ExchangeInfoTest : public FormsSuite {
protected:
    void SetUp() override {
        FormsSuite::SetUp();
        filial = branch();
        addRate(filial, day(1, 3), 412500);
        addRate(filial, day(10, 3), 420000);
        addRate(filial, day(20, 3), 430000);
        contractId = indexedContract(filial, day(1, 3), 412500);
    }
    struct Shown {
        QString days, first, current;
        bool blue;
        QString perc;
    };
    Shown refreshed(DateTime date) {
        TFExchangeInfo w(nullptr, nullptr, date, contractId);
        w.refresh();
        const bool blue = w.l_CurExchangeVal->palette().color(QPalette::WindowText) == QColor(Qt::blue);
        EXPECT_TRUE(blue || w.l_CurExchangeVal->palette().color(QPalette::WindowText) == QColor(Qt::black));
        TolvLogic::TPenaltyContractInfo contract(contractId, nullptr);
        EXPECT_EQ(
            w.l_PercExchangeVal->text(),
            core::formatFixed(static_cast<double>(TolvLogic::PercCalc::scGetDayRate(contract, date)), 2));
        return {w.l_CreditDaysVal->text(), w.l_FirstExchangeVal->text(), w.l_CurExchangeVal->text(), blue,
                w.l_PercExchangeVal->text()};
    }
    int filial = 0;
    int contractId = 0;
};

TEST_F(ExchangeInfoTest, RatesDaysAndIndexedPercent) {
    // 10.03, its own rate: (100/30 + 0.5) * 42/41.25 - 100/30.
    Shown s = refreshed(day(10, 3));
    EXPECT_EQ(s.days, "10");
    EXPECT_EQ(s.first, "41.2500");
    EXPECT_EQ(s.current, "42.0000");
    EXPECT_FALSE(s.blue);
    EXPECT_EQ(s.perc, "0.57");

    // No rate of its own on 05.03: the 01.03 rate carried, in blue.
    s = refreshed(day(5, 3));
    EXPECT_EQ(s.days, "5");
    EXPECT_EQ(s.current, "41.2500");
    EXPECT_TRUE(s.blue);
    EXPECT_EQ(s.perc, "0.50");

    // A payment on 05.03: the period starts there; a later payment on 20.03 gives the rate of its day.
    newOperation(contractId, {.date = day(5, 3), .sum = 1000});
    newOperation(contractId, {.date = day(20, 3), .sum = 1000});
    s = refreshed(day(10, 3));
    EXPECT_EQ(s.days, "5");
    EXPECT_EQ(s.current, "43.0000");
    EXPECT_FALSE(s.blue);
    // A loan increase is no payment: neither start nor rate day.
    newOperation(contractId, {.date = day(8, 3), .sum = -1000});
    EXPECT_EQ(refreshed(day(10, 3)).days, "5");
}

TEST_F(ExchangeInfoTest, BranchWithoutRatesAndContractWithoutPrice) {
    const int bare = branch(QStringLiteral("Без курсів"));
    contractId = indexedContract(bare, day(1, 3), 412500);
    Shown s = refreshed(day(10, 3));
    EXPECT_EQ(s.current, "1.0000");
    EXPECT_TRUE(s.blue);

    // Without a dollar price the interest is not indexed: 15 % over 30 days.
    contractId = indexedContract(filial, day(1, 3), 0);
    s = refreshed(day(10, 3));
    EXPECT_EQ(s.first, "0.0000");
    EXPECT_EQ(s.current, "42.0000");
    EXPECT_EQ(s.perc, "0.50");
}

TEST_F(ExchangeInfoTest, ShowRefreshesAndTheButtonIsPressedWhileNotFixed) {
    auto contract = std::make_unique<TolvLogic::TPenaltyContractInfo>(contractId, nullptr);
    TFExchangeInfo w(nullptr, std::move(contract), day(1, 3), 0);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::Tool));
    w.setDate(day(10, 3));
    w.show();
    EXPECT_EQ(w.l_CurExchangeVal->text(), "42.0000");
    EXPECT_EQ(w.l_CreditDays->text(), "Фактический срок пользования кредитом, дн");

    EXPECT_FALSE(w.isFixed());
    EXPECT_TRUE(w.spbt_Fix->isChecked());
    QTest::mouseClick(w.spbt_Fix, Qt::LeftButton);
    EXPECT_TRUE(w.isFixed());
    EXPECT_FALSE(w.spbt_Fix->isChecked());
    QTest::mouseClick(w.spbt_Fix, Qt::LeftButton);
    EXPECT_FALSE(w.isFixed());
    for (bool fixed : {true, false, true}) {
        w.setFixed(fixed);
        EXPECT_EQ(w.isFixed(), fixed);
        EXPECT_EQ(w.spbt_Fix->isChecked(), !fixed);
    }

    ui::Form::setLanguage(ui::kLanguageUkrainian);
    EXPECT_EQ(w.l_PercExchange->text(), "Добовий відсоток з урахуванням курсу, %");
    EXPECT_EQ(w.spbt_Fix->toolTip(), "Зафіксувати розташування форми");
}

}  // namespace
