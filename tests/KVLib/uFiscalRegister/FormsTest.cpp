// The register's forms driven as a cashier would, against the simulator: the payment dialog of a
// receipt (its lines, imposed taxes, modes, cash and change, OK, Cancel, the close box, a register
// failing under OK) and the service cash, return receipt and password dialog.
#include <QGroupBox>
#include <QTest>

#include "RegisterFixture.h"
#include "f_FROplata.h"
#include "f_FRSumSlyzh.h"
#include "kv_frForms.h"
#include "platform/data/MemTable.h"
#include "platform/ui/CurrencyEdit.h"
#include "tests/KVLib/uForms/ModalHelper.h"

namespace {

using namespace KassRegister;
using frsim::Script;
using frtest::OwnSettingsFile;
using frtest::RegisterTest;
using tolvtest::onModal;

QString zeros(int n) {
    return QString(n, QLatin1Char('0'));
}
QString f10(qint64 v) {
    return QString::number(v).rightJustified(10, QLatin1Char('0'));
}

void type(ui::CurrencyEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QStringList row(data::MemTable* table, int n) {
    table->first();
    for (int i = 0; i < n; ++i) table->next();
    QStringList out;
    for (const char* f : {"NAME", "SUMM", "TAX_TYPE", "TAX_SUMM", "TOTAL"})
        out << table->fieldByName(QString::fromLatin1(f)).displayText();
    return out;
}

class FormsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        // Scheme А an imposed added 20 %, Б an imposed subtracted 15 %, В an included 20 %.
        sim.setScheme(1, {QStringLiteral("20260101"), 1, 2000});
        sim.setScheme(2, {QStringLiteral("20260101"), 2, 1500});
        sim.setScheme(3, {QStringLiteral("20260101"), 0, 2000});
        connectWithSchemes();
        installFiscalRegisterForms();
    }
};

TEST_F(FormsTest, LinesShowTheirImposedTaxes) {
    TFROplata dialog(
        fr,
        {FRLine{QStringLiteral("Оценка"), 10000, 1, 1, 0}, FRLine{QStringLiteral("ВIДСОТКИ"), 5000, 4, 2, 0},
         FRLine{QStringLiteral("ОСН.СУМА"), 2000, 3, 3, 3}, FRLine{QStringLiteral("Двi"), 1000, 3, 1, 2},
         FRLine{QStringLiteral("Нуль"), 0, 3, 1, 0}});
    EXPECT_EQ(row(dialog.toPayTable(), 0), (QStringList{"Оценка", "100.00", "+А 20.00%", "20.00", "120.00"}));
    EXPECT_EQ(row(dialog.toPayTable(), 1), (QStringList{"ВIДСОТКИ", "50.00", "-Б 15.00%", "-7.50", "42.50"}));
    // Included taxes are in the price already.
    EXPECT_EQ(row(dialog.toPayTable(), 2), (QStringList{"ОСН.СУМА", "20.00", "", "", "20.00"}));
    EXPECT_EQ(row(dialog.toPayTable(), 3),
              (QStringList{"Двi", "10.00", "+А 20.00%; -Б 15.00%", "0.50", "10.50"}));
    EXPECT_EQ(dialog.toPayTable()->recordCount(), 4);
    EXPECT_EQ(dialog.totalHundredths(), 12000 + 4250 + 2000 + 1050);
    EXPECT_TRUE(dialog.gr_ToPayOut->isHidden());
    EXPECT_FALSE(dialog.payOutMode());
}

// The sums, taxes and total used to be floats: lines of 0.10 and 0.20 with cash 0.30 left OK disabled.
TEST_F(FormsTest, CashEqualToTheAmountEnablesOkAndAHundredthLessDoesNot) {
    TFROplata dialog(fr, {FRLine{QStringLiteral("a"), 10}, FRLine{QStringLiteral("b"), 20}});
    EXPECT_FALSE(dialog.bt_OK->isEnabled());
    type(dialog.ced_Cash, QStringLiteral("0.30"));
    EXPECT_EQ(dialog.changeHundredths(), 0);
    EXPECT_TRUE(dialog.bt_OK->isEnabled());
    type(dialog.ced_Cash, QStringLiteral("0.29"));
    EXPECT_FALSE(dialog.bt_OK->isEnabled());
    // A forced click does nothing.
    dialog.bt_OK->setEnabled(true);
    dialog.bt_OK->click();
    EXPECT_TRUE(sim.log().isEmpty());
    EXPECT_FALSE(dialog.result());
}

TEST_F(FormsTest, OkClosesTheReceiptWithTheCashAndShowsTheChange) {
    fr.beginCheck(QStringLiteral("01"));
    fr.fiscalLine(QStringLiteral("ВIДСОТКИ"), 1, 5000, true, 2, 0, 4);
    sim.clearLog();
    onModal<TFROplata>([](TFROplata& d) {
        EXPECT_EQ(d.ced_Summa->hundredths(), 4250);
        type(d.ced_Cash, QStringLiteral("50"));
        EXPECT_EQ(d.ced_Change->hundredths(), 750);
        QTest::mouseClick(d.bt_OK, Qt::LeftButton);
    });
    EXPECT_TRUE(fr.showPayment({FRLine{QStringLiteral("ВIДСОТКИ"), 5000, 4, 2, 0}}));
    EXPECT_EQ(sim.log(), (QStringList{"COMP" + f10(5000) + zeros(40) + f10(5000), "KASS"}));
}

TEST_F(FormsTest, PayOutModeWithBothGroups) {
    fr.beginCheck(QStringLiteral("01"));
    fr.fiscalLine(QStringLiteral("Оценка"), 1, 20000, true, 0, 0, 7);
    fr.setReturnMode();
    fr.fiscalLine(QStringLiteral("ПОЗИКА"), 1, 150000, true, 0, 0, 1);
    sim.clearLog();
    onModal<TFROplata>([](TFROplata& d) {
        EXPECT_TRUE(d.payOutMode());
        EXPECT_TRUE(d.gr_ToPay->isVisible());
        EXPECT_TRUE(d.gr_ToPayOut->isVisible());
        EXPECT_FALSE(d.ced_Cash->isVisible());
        EXPECT_EQ(d.l_Summa->text(), QStringLiteral("Сумма к выдаче"));
        EXPECT_EQ(d.ced_Summa->hundredths(), 130000);
        EXPECT_TRUE(d.bt_OK->isEnabled());
        QTest::mouseClick(d.bt_OK, Qt::LeftButton);
    });
    EXPECT_TRUE(fr.showPayment(
        {FRLine{QStringLiteral("Оценка"), 20000, 7}, FRLine{QStringLiteral("ПОЗИКА"), -150000, 1}}));
    EXPECT_EQ(sim.log(), (QStringList{"COMP" + f10(20000) + f10(150000) + zeros(40), "KASS"}));
}

TEST_F(FormsTest, CancelCancelsAndTheCloseBoxLeavesTheReceiptOpen) {
    onModal<TFROplata>([](TFROplata& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    EXPECT_FALSE(fr.showPayment({FRLine{QStringLiteral("a"), 100}}));
    EXPECT_EQ(sim.log(), QStringList{"CANC"});
    sim.clearLog();
    onModal<TFROplata>([](TFROplata& d) { d.close(); });
    EXPECT_FALSE(fr.showPayment({FRLine{QStringLiteral("a"), 100}}));
    EXPECT_TRUE(sim.log().isEmpty());
}

TEST_F(FormsTest, ARegisterFailingUnderOkLeavesTheDialogOpenAndItsResultUnchanged) {
    sim.script(QStringLiteral("COMP"), Script{.silent = true});
    onModal<TFROplata>([this](TFROplata& d) {
        type(d.ced_Cash, QStringLiteral("1"));
        QTest::mouseClick(d.bt_OK, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(d.result());
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Нет сигнала от Фиск. регистратора"));
        QTest::mouseClick(d.bt_Cnacel, Qt::LeftButton);
    });
    EXPECT_FALSE(fr.showPayment({FRLine{QStringLiteral("a"), 100}}));
    EXPECT_EQ(sim.log().last(), QStringLiteral("CANC"));
}

TEST_F(FormsTest, ARepaymentEndToEnd) {
    OwnSettingsFile ini("[FISCAL_MARIYA]\r\nPAY_TAX1=3\r\n");
    sim.clearLog();
    onModal<TFROplata>([](TFROplata& d) {
        EXPECT_EQ(d.ced_Summa->hundredths(), 67000);
        type(d.ced_Cash, QStringLiteral("700"));
        EXPECT_EQ(d.ced_Change->hundredths(), 3000);
        QTest::mouseClick(d.bt_OK, Qt::LeftButton);
    });
    EXPECT_TRUE(fr.printPaymentCheck(QStringLiteral("A-17"), 50000, 0, 15000, 2000, {}));
    const QStringList log = sim.log();
    EXPECT_EQ(log.mid(log.size() - 2), (QStringList{"COMP" + f10(67000) + zeros(40) + f10(70000), "KASS"}));
    EXPECT_EQ(fr.salesTax(), 11166);

    onModal<TFROplata>([](TFROplata& d) {
        QStringList names;
        for (auto* t = d.toPayTable(); !t->eof(); t->next())
            names << t->fieldByName(QStringLiteral("NAME")).asString();
        EXPECT_EQ(names, (QStringList{"ОСН.СУМА", "Оценка", "ВIДСОТКИ", "Страховка"}));
        EXPECT_EQ(d.ced_Summa->hundredths(), 85500);
        QTest::mouseClick(d.bt_Cnacel, Qt::LeftButton);
    });
    EXPECT_FALSE(
        fr.printPaymentCheck(QStringLiteral("A-17"), 50000, 0, 15000, 0,
                             {{QStringLiteral("0_7"), FRLine{QStringLiteral("Оценка"), 20000, 12}},
                              {QStringLiteral("1_3"), FRLine{QStringLiteral("Страховка"), 500, 13}}}));

    sim.clearLog();
    onModal<TFROplata>([](TFROplata& d) {
        EXPECT_TRUE(d.payOutMode());
        EXPECT_TRUE(d.gr_ToPay->isHidden());
        EXPECT_EQ(d.ced_Summa->hundredths(), 150000);
        QTest::mouseClick(d.bt_OK, Qt::LeftButton);
    });
    EXPECT_TRUE(fr.printCreditCheck(QStringLiteral("A-18"),
                                    {{QStringLiteral("a"), 100000}, {QStringLiteral("b"), 50000}}, {}));
    EXPECT_EQ(sim.log().mid(sim.log().size() - 2),
              (QStringList{"COMP" + f10(0) + f10(150000) + zeros(40), "KASS"}));
}

// The amount used to go as amount × 100 truncated: 1.15 as 114, 19.99 as 1998.
TEST_F(FormsTest, ServiceCashSendsTheTypedAmountInHundredths) {
    struct Case {
        int mode;
        QString typed;
        QString sent;
    };
    const std::vector<Case> cases{{0, "150.25", "CAIOI" + f10(15025)},
                                  {0, "1.15", "CAIOI" + f10(115)},
                                  {1, "19,99", "CAIOO" + f10(1999)}};
    for (const Case& c : cases) {
        sim.clearLog();
        onModal<TFRSumSlyzh>([&c](TFRSumSlyzh& d) {
            EXPECT_EQ(d.windowTitle(), c.mode == 0 ? QStringLiteral("Служебное внесение")
                                                   : QStringLiteral("Служебное изъятие"));
            type(d.ced_FRSum, c.typed);
            QTest::mouseClick(d.bt_OK, Qt::LeftButton);
        });
        c.mode == 0 ? fr.showSluzhVnesenie() : fr.showSluzhIzyatie();
        EXPECT_EQ(sim.log(), (QStringList{c.sent, "KASS"})) << c.typed.toStdString();
    }
}

TEST_F(FormsTest, ReturnReceiptPasswordCancelAndAnUnknownMode) {
    onModal<TFRSumSlyzh>([](TFRSumSlyzh& d) {
        EXPECT_FALSE(d.ced_FRSum->isVisible());
        QTest::keyClicks(d.ed_Text, QStringLiteral("12"));
        QTest::keyClick(d.ed_Text, Qt::Key_Return);
    });
    fr.showReturnCheck();
    EXPECT_EQ(sim.log(), QStringList{"BCHN12"});

    for (int mode : {0, 1, 2}) {
        sim.clearLog();
        onModal<TFRSumSlyzh>([](TFRSumSlyzh& d) { QTest::mouseClick(d.bt_Cancel, Qt::LeftButton); });
        TFRSumSlyzh::scShowSlysh(fr, mode);
        EXPECT_TRUE(sim.log().isEmpty());
    }

    onModal<TFRSumSlyzh>([](TFRSumSlyzh& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Пароль"));
        QTest::keyClicks(d.ed_Text, QStringLiteral("12345678901"));
        EXPECT_EQ(d.ed_Text->text().size(), 10);
        EXPECT_EQ(d.ed_Text->echoMode(), QLineEdit::Password);
        QTest::mouseClick(d.bt_OK, Qt::LeftButton);
    });
    EXPECT_EQ(fr.askPassword(), QStringLiteral("1234567890"));
    onModal<TFRSumSlyzh>([](TFRSumSlyzh& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    EXPECT_THROW(fr.askPassword(), FRNoSignal);
    onModal<TFRSumSlyzh>([](TFRSumSlyzh& d) { d.close(); });
    EXPECT_THROW(TFRSumSlyzh::scShowPassword(fr), FRNoSignal);

    try {
        TFRSumSlyzh::scShowSlysh(fr, 4);
        ADD_FAILURE();
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Неподдерживаемый режим показа формы\n\nFunc: TFRSumSlyzh::scShowSlysh()\n"
                                 "Line: f_FRSumSlyzh:77\n\n"));
    }
}

}  // namespace
