// The operation dialog and the contract debt frame driven as a user would, on the offscreen platform.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "PenaltyInfoFrameUnit.h"
#include "PenaltyOperationEdit.h"
#include "kv_FbDbIni.h"
#include "kv_FrReportList.h"
#include "kv_ReportSystem.h"
#include "platform/data/MemTable.h"
#include "platform/os/Shell.h"
#include "platform/ui/ButtonEdit.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DateEdit.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/src/desk/DocumentRows.h"
#include "tests/src/desk/PaymentRows.h"
#include "u_TolvReportSystem.h"

using namespace desktest;
using namespace TolvLogic;

namespace {

class OperationDialogTest : public PaymentSuite {
protected:
    void SetUp() override {
        PaymentSuite::SetUp();
        recorded = std::make_unique<RecordedDocuments>();
        boxes.shown.clear();
    }
    void TearDown() override {
        recorded.reset();
        PaymentSuite::TearDown();
    }
    std::unique_ptr<TAddPenaltyOpForm> dialog(int contract, int opId = -1, DateTime date = kDebtDay,
                                              KassRegister::FiscalRegister* fr = nullptr) {
        auto form = std::make_unique<TAddPenaltyOpForm>(nullptr, *config);
        form->prepare(contract, opId, date, fr);
        form->show();
        return form;
    }
    static void typeSum(TAddPenaltyOpForm& f, const QString& text) {
        QLineEdit* line = f.SumEdit->findChild<QLineEdit*>();
        line->selectAll();
        QTest::keyClicks(line, text);
    }
    static QStringList documents(TAddPenaltyOpForm& f) {
        QStringList items;
        for (int i = 0; i < f.reportList->clbox_Reports->count(); ++i)
            items << f.reportList->clbox_Reports->item(i)->text();
        return items;
    }

    std::unique_ptr<RecordedDocuments> recorded;
};

TEST_F(OperationDialogTest, TypingASumShowsWhatEachDebtBecomes) {
    const int contract = newPaymentContract();
    auto f = dialog(contract);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Новая операция"));
    EXPECT_EQ(f->NumEdit->text(), QStringLiteral("5.24.1"));
    EXPECT_EQ(f->edClient->text(), QStringLiteral("Петренко Іван"));
    typeSum(*f, QStringLiteral("100"));
    EXPECT_EQ(f->PercDebtLab->text(), QStringLiteral("70 (-80)"));
    EXPECT_EQ(f->PenaltyDebtLab->text(), QStringLiteral("0 (-20)"));
    EXPECT_EQ(f->l_Total->text(), QStringLiteral("1080 (-100)"));
    EXPECT_EQ(f->l_AllSum->text(), QStringLiteral("Итого к оплате "));
    EXPECT_EQ(f->l_AllSumVal->text(), QStringLiteral("100.00"));

    typeSum(*f, QStringLiteral("180"));
    EXPECT_EQ(f->cb_OpVid->currentIndex(), okREPLEDGE) << "the charges make a re-pledge";
    f->SumEdit->setValue(-100);
    EXPECT_EQ(f->SumEdit->hundredths(), 10000) << "a minus is dropped";
    EXPECT_EQ(f->PercDebtLab->text(), QStringLiteral("70 (-80)"));
    EXPECT_EQ(f->cb_OpVid->currentIndex(), okREPAY);

    f->cb_OpVid->setCurrentIndex(okCLOSE);
    EXPECT_FALSE(f->SumEdit->isEnabled());
    EXPECT_EQ(f->SumEdit->hundredths(), 118000);
    EXPECT_EQ(f->NoteMemo->text(), QStringLiteral("Закрытие договора"));
    EXPECT_TRUE(documents(*f).join(u'|').contains(QStringLiteral("Закрыт")))
        << documents(*f).join(u'|').toStdString();

    f->cb_OpVid->setCurrentIndex(okINCREASE);
    EXPECT_FALSE(f->chBx_IncldCurDay->isVisible());
    typeSum(*f, QStringLiteral("250"));
    EXPECT_EQ(f->BaseDebtLab->text(), QStringLiteral("1250 (+250)"));
    EXPECT_EQ(f->l_AllSum->text(), QStringLiteral("Итого к выдаче "));
    EXPECT_EQ(f->l_AllSumVal->text(), QStringLiteral("250.00"));
}

TEST_F(OperationDialogTest, WhatTheUserMayDo) {
    const int indexed =
        newPaymentContract({.set = QStringLiteral("IS_USD_EXCHANGE = 1, DOLLAR_PRICE = 10000")});
    {
        auto f = dialog(indexed);
        EXPECT_EQ(f->cb_OpVid->count(), 3) << "no increase for an indexed contract";
        EXPECT_TRUE(f->spbt_ExchangeInfo->isVisible());
    }
    const int contract = newPaymentContract();
    const int first = newOperation(contract, {.date = kStart.addDays(5), .perc = 100});
    const int last = newOperation(contract, {.date = kStart.addDays(10), .perc = 100});
    {
        auto f = dialog(contract, last, DateTime());
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Редактирование операции"));
        EXPECT_EQ(f->AddBtn->text(), QStringLiteral("Сохранить"));
        EXPECT_TRUE(f->AddBtn->isEnabled());
    }
    {
        auto f = dialog(contract, first, DateTime());
        EXPECT_FALSE(f->AddBtn->isEnabled());
        ASSERT_TRUE(f->bt_ForceEdit->isVisible());
        boxes.answers = {ui::ModalResult::Yes};
        f->bt_ForceEdit->click();
        EXPECT_TRUE(f->AddBtn->isEnabled());
        EXPECT_TRUE(f->SumEdit->isEnabled());
    }
    login(false);
    auto f = dialog(contract, last, DateTime());
    EXPECT_FALSE(f->AddBtn->isEnabled());
    EXPECT_FALSE(f->bt_ForceEdit->isVisible());
}

TEST_F(OperationDialogTest, AnImportedContractIsOnlyShown) {
    const int contract = newPaymentContract();
    udb::execSql(QStringLiteral("insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME, AGENT_NAME) values "
                                "(%1, 'Сидоренко Олег', 'kasa2')")
                     .arg(contract));
    auto f = dialog(contract);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Просмотр операции [Импортирована]"));
    EXPECT_FALSE(f->AddBtn->isVisible());
    EXPECT_EQ(f->CancelBtn->text(), QStringLiteral("Закрыть"));
    EXPECT_FALSE(f->edClient->isVisible());
    EXPECT_EQ(f->edClientImported->text(), QStringLiteral("Сидоренко Олег"));
    EXPECT_EQ(f->AgentEdit->text(), QStringLiteral("kasa2"));
    EXPECT_FALSE(f->grBx_Op->isEnabled());
}

// The save as the OK button runs it: a refused close or receipt keeps the dialog open with its input.
TEST_F(OperationDialogTest, OkClosesTheDialogOnlyAfterASave) {
    const int contract = newPaymentContract();
    RecordingRegister fr;
    fr.date = kDebtDay;
    fr.fail = RecordingRegister::Fail::Refuse;
    auto f = dialog(contract, -1, kDebtDay, &fr);
    typeSum(*f, QStringLiteral("1180"));
    boxes.answers = {ui::ModalResult::No};
    f->AddBtn->click();
    EXPECT_EQ(f->modalResult(), ui::ModalResult::None);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->SumEdit->hundredths(), 118000);

    boxes.answers = {ui::ModalResult::Yes};
    f->AddBtn->click();
    EXPECT_EQ(f->modalResult(), ui::ModalResult::None) << "a refused receipt stores nothing";
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(contract)), 0);

    fr.fail = RecordingRegister::Fail::None;
    boxes.answers = {ui::ModalResult::Yes};
    f->AddBtn->click();
    EXPECT_EQ(f->modalResult(), ui::ModalResult::Ok);
    EXPECT_EQ(fr.receipts, 1);
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(contract)), 1);
}

TEST_F(OperationDialogTest, ValidationFocusesTheField) {
    const int contract = newPaymentContract();
    auto f = dialog(contract);
    f->AddBtn->click();
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Не указана сумма операции"));
    EXPECT_TRUE(f->focusWidget() == f->SumEdit || f->SumEdit->isAncestorOf(f->focusWidget()));
    EXPECT_EQ(f->modalResult(), ui::ModalResult::None);
}

// The documents print after the commit; a broken template shows its error and the payment stays.
TEST_F(OperationDialogTest, APrintingErrorLeavesThePaymentSaved) {
    const int contract = newPaymentContract();
    auto f = dialog(contract);
    typeSum(*f, QStringLiteral("100"));
    ASSERT_GT(f->reportList->clbox_Reports->count(), 0);
    f->reportList->N_SelectAllClick();
    // Every template file of the payment documents goes: printing them fails.
    QDirIterator it(os::programDir() + QStringLiteral("/reportSystem"), QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive)) QFile::remove(file);
    }
    f->AddBtn->click();
    EXPECT_EQ(f->modalResult(), ui::ModalResult::Ok);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_TRUE(boxes.shown.back().text.startsWith(QStringLiteral("Ошибка печати:\n\n")))
        << boxes.shown.back().text.toStdString();
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(contract)), 1);
}

TEST_F(OperationDialogTest, ThePaymentDocumentIsPrintedForTheSavedOperation) {
    const int contract = newPaymentContract();
    auto f = dialog(contract);
    typeSum(*f, QStringLiteral("100"));
    f->reportList->N_SelectAllClick();
    f->AddBtn->click();
    EXPECT_EQ(f->modalResult(), ui::ModalResult::Ok);
    EXPECT_FALSE(recorded->opened.isEmpty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(OperationDialogTest, TheEntryPointsShowTheDialogModally) {
    const int contract = newPaymentContract();
    TAddPenaltyOpForm::setVersionConfig(config.get());
    tolvtest::onModal<TAddPenaltyOpForm>([](TAddPenaltyOpForm& f) {
        EXPECT_EQ(f.de_OpDate->date(), kDebtDay);
        f.CancelBtn->click();
    });
    EXPECT_EQ(TAddPenaltyOpForm::scAddOperation(contract, kDebtDay, nullptr), ui::ModalResult::Cancel);
    TAddPenaltyOpForm::setVersionConfig(nullptr);
    EXPECT_EQ(count(QStringLiteral("ADD_SERVICES where ID_OBJ = -1")), 0);
}

// ---- the debt frame --------------------------------------------------------------------------------

class DebtFrameTest : public PaymentSuite {
protected:
    void SetUp() override {
        PaymentSuite::SetUp();
        for (auto [name, type] : std::initializer_list<std::pair<const char*, data::DataType>>{
                 {"CONTRACT_ID", data::DataType::Integer},
                 {"CONTRACT_DATE", data::DataType::Date},
                 {"IS_USD_EXCHANGE", data::DataType::Integer},
                 {"FILIAL_ID", data::DataType::Integer},
                 {"CONTRACT_NUM", data::DataType::String},
                 {"CLIENT_NAME", data::DataType::String}}) {
            list.addField(QString::fromLatin1(name), type, type == data::DataType::String ? 80 : 0);
        }
        list.open();
        frame = std::make_unique<TPenaltyContractInfoFrame>(nullptr, &source);
        frame->show();
    }
    void TearDown() override {
        frame.reset();
        udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("CalcExchange"), 0);
        PaymentSuite::TearDown();
    }
    void row(const core::Variant& id, DateTime date, int indexed, int branch) {
        list.append();
        list.fieldByName(QStringLiteral("CONTRACT_ID")).setValue(id);
        list.fieldByName(QStringLiteral("CONTRACT_DATE")).setValue(date);
        list.fieldByName(QStringLiteral("IS_USD_EXCHANGE")).setValue(indexed);
        list.fieldByName(QStringLiteral("FILIAL_ID")).setValue(branch);
        list.fieldByName(QStringLiteral("CONTRACT_NUM")).setValue(QStringLiteral("5.24.1"));
        list.fieldByName(QStringLiteral("CLIENT_NAME")).setValue(QStringLiteral("Петренко Іван"));
        list.post();
    }
    QStringList amounts() const {
        return {frame->Label1->text(), frame->Label2->text(), frame->Label3->text(), frame->l_Storage->text(),
                frame->TotalLabel->text()};
    }

    data::MemTable list;
    grid::DataSource source{&list};
    std::unique_ptr<TPenaltyContractInfoFrame> frame;
};

TEST_F(DebtFrameTest, TheDebtOfTheSelectedContract) {
    const QStringList nothing(5, QStringLiteral(". . ."));
    EXPECT_EQ(amounts(), nothing);
    frame->refreshDebt();
    EXPECT_EQ(amounts(), nothing) << "no contract";
    EXPECT_EQ(frame->debtDate(), DateTime::today()) << "an empty date becomes today";

    const int contract = newPaymentContract();
    row(contract, kStart, 0, 0);
    EXPECT_EQ(frame->dbl_ContractNum->text(), QStringLiteral("5.24.1"));
    EXPECT_EQ(frame->dbl_Client->text(), QStringLiteral("Петренко Іван"));
    frame->DebtDateEdit->setDate(kDebtDay);
    EXPECT_EQ(amounts(), (QStringList{"1000.00", "150.00", "20.00", "10.00", "1180.00"}));
    frame->DebtDateEdit->setDate(kStart.addDays(-3));
    EXPECT_EQ(amounts(), (QStringList{"1000.00", "7.50", "0.00", "0.50", "1008.00"}))
        << "a date before the contract shows the contract date's debt";
    frame->clearDebt();
    EXPECT_EQ(amounts(), nothing);
    frame->DebtDateEdit->clear();
    frame->refreshDebt();
    EXPECT_EQ(frame->debtDate(), DateTime::today());
}

TEST_F(DebtFrameTest, TheDollarRateRow) {
    const int branch = newBranch(731, QStringLiteral("Курсова"), false);
    udb::execSql(QStringLiteral("insert into DIR_EXCHANGE (ID, ID_FILIAL, USD_EXCHANGE, DATA) values "
                                "(gen_id(GEN_DIR_EXCHANGE_ID, 1), %1, 412500, %2)")
                     .arg(branch)
                     .arg(lit(kDebtDay.addDays(-1))));
    const int noRates = newBranch(732, QStringLiteral("Без курсу"), false);
    const int contract = newPaymentContract();
    row(contract, kStart, 1, branch);
    frame->DebtDateEdit->setDate(kDebtDay);
    ASSERT_TRUE(frame->st_Exchange->isVisible());
    EXPECT_EQ(frame->st_Exchange->text(), QStringLiteral(" 41.2500"));
    EXPECT_TRUE(frame->st_Exchange->styleSheet().contains(QStringLiteral("blue")));
    EXPECT_EQ(frame->st_Exchange->toolTip(),
              QStringLiteral("На данный день курс не задан, взят курс предыдущего дня"));
    EXPECT_EQ(frame->l_Exchange->text(), QStringLiteral("Курс $ (Филиал - 731)"));

    list.edit();
    list.fieldByName(QStringLiteral("FILIAL_ID")).setValue(noRates);
    list.post();
    frame->refreshDebt();
    EXPECT_EQ(frame->st_Exchange->text(), QStringLiteral(" 1.0000"));

    list.edit();
    list.fieldByName(QStringLiteral("IS_USD_EXCHANGE")).setValue(0);
    list.post();
    frame->refreshDebt();
    EXPECT_FALSE(frame->st_Exchange->isVisible()) << "CalcExchange off: no row for an unindexed contract";
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("CalcExchange"), 1);
    frame->refreshDebt();
    EXPECT_TRUE(frame->st_Exchange->isVisible());
}

TEST_F(DebtFrameTest, TheRateButtonWithoutABranchWarns) {
    const int current = FilialsDir::scGetCurentFilialId();
    udb::execSql(QStringLiteral("update DIR_FILIAL set IS_CURENT = 0"));
    list.append();
    list.fieldByName(QStringLiteral("FILIAL_ID")).setValue(0);
    list.post();
    frame->bt_ExchangeClick();
    udb::execSql(QStringLiteral("update DIR_FILIAL set IS_CURENT = 1 where ID = %1").arg(current));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral(
                  "Невозможно определить филиал, для которого выводить курс доллара США.\nУбедитесь, что "
                  "выбран договор либо \nустановлен текущий филиал в меню \"Справочники\"->\"Текущий "
                  "филиал\". "));
    EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Warning);
}

}  // namespace
