// The storage fee field of the contract editor and its dialog, driven as a user would.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "f_StorageTerms.h"
#include "kvF_DynPropsEdit.h"
#include "kv_FbUtil.h"
#include "kv_Valuta.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/Form.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/src/contracts/ContractRows.h"

using namespace contracttest;
using TolvLogic::StorageTerms;
using TolvLogic::TPenaltyContractInfo;
using tolvtest::onModal;
using utl::DynProps::TFKVDynPropsEdit;

namespace {

// The editor's corner with the fee field and its button, over a new contract.
class StorageDialogTest : public ContractSuite {
protected:
    void SetUp() override {
        settings_ = std::make_unique<OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
        udb::getFieldCache(QStringLiteral("!"), QString(), QString(), QString());
        form = std::make_unique<ui::Form>(QStringLiteral("PenaltyOrderEditForm"));
        auto* layout = new QHBoxLayout(form.get());
        e_Storage = new ui::CurrencyEdit(form.get());
        e_Storage->setObjectName(QStringLiteral("e_Storage"));
        utl::Valuta::applyMoneyFormat(e_Storage, QString());
        b_Storage = new QPushButton(QStringLiteral("..."), form.get());
        layout->addWidget(e_Storage);
        layout->addWidget(b_Storage);
        contract = std::make_unique<TPenaltyContractInfo>(change());
        contract->setDepositInt(TPenaltyContractInfo::dSUBJECT_PRICE, 100000);
        contract->setDepositInt(TPenaltyContractInfo::dDEPOSIT_SUM, 250000);
        types = std::make_unique<TolvLogic::StorageTypes>();
        field = std::make_unique<TolvMain::StorageFeeField>(e_Storage, b_Storage, *contract, *types, terms);
        field->showStorage();
        form->show();
    }
    void TearDown() override {
        field.reset();
        types.reset();
        contract.reset();
        form.reset();
        settings_.reset();
        ContractSuite::TearDown();
    }

    // The dialog opened by "...", set as the user would, closed by OK or Cancel.
    void useDialog(int typeIndex, const QString& value, const QString& days, bool flag, bool ok) {
        onModal<TFKVDynPropsEdit>([=](TFKVDynPropsEdit& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Параметры хранения"));
            auto* kinds = d.pnl_Props->findChild<QComboBox*>(QStringLiteral("cb_StorageParam"));
            EXPECT_EQ(kinds->count(), 3);
            EXPECT_EQ(kinds->itemText(0), QStringLiteral("Фиксированная сумма"));
            kinds->setCurrentIndex(typeIndex);
            auto* val = d.pnl_Props->findChild<ui::CurrencyEdit*>(QStringLiteral("e_StorageVal"));
            val->findChild<QLineEdit*>()->selectAll();
            QTest::keyClicks(val, value);
            auto* minDays = d.pnl_Props->findChild<ui::CurrencyEdit*>(QStringLiteral("e_minStorageDays"));
            minDays->findChild<QLineEdit*>()->selectAll();
            QTest::keyClicks(minDays, days);
            auto* box = d.pnl_Props->findChild<QCheckBox*>(QStringLiteral("cb_isStorageStartWPen"));
            if (box->isChecked() != flag)
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            QTest::mouseClick(ok ? d.OkBtn : d.CancelBtn, Qt::LeftButton);
        });
        QTest::mouseClick(b_Storage, Qt::LeftButton);
    }
    QStringList hint() const { return e_Storage->toolTip().split(u'\n'); }

    std::unique_ptr<OwnSettingsFile> settings_;
    std::unique_ptr<ui::Form> form;
    ui::CurrencyEdit* e_Storage = nullptr;
    QPushButton* b_Storage = nullptr;
    std::unique_ptr<TPenaltyContractInfo> contract;
    std::unique_ptr<TolvLogic::StorageTypes> types;
    StorageTerms terms;
    std::unique_ptr<TolvMain::StorageFeeField> field;
};

// Type 2 takes the valuation (1000.00), type 3 the loan (2500.00).
TEST_F(StorageDialogTest, DialogTermsShowTheDailyFee) {
    struct Case {
        int typeIndex;
        QString value;
        int fee;
        QString rateLine;
    };
    const std::vector<Case> cases = {
        {1, QStringLiteral("0,5"), 500, QStringLiteral("Ставка: 0.50 %")},
        {2, QStringLiteral("0.30"), 750, QStringLiteral("Ставка: 0.30 %")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typeIndex);
        useDialog(c.typeIndex, c.value, QStringLiteral("2"), false, true);
        EXPECT_EQ(terms.type, c.typeIndex + 1);
        EXPECT_EQ(e_Storage->hundredths(), c.fee);
        EXPECT_TRUE(e_Storage->text().startsWith(QString::number(c.fee / 100.0, 'f', 2)))
            << e_Storage->text().toStdString();
        EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_SUM), c.fee);
        EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_MIN_DAYS), 2);
        EXPECT_EQ(hint().value(1), c.rateLine);
    }
}

// Whatever the type was, a typed fee is a fixed sum.
TEST_F(StorageDialogTest, TypingAFeeMakesItAFixedSum) {
    useDialog(1, QStringLiteral("0.5"), QStringLiteral("0"), false, true);
    ASSERT_EQ(terms.type, 2);
    e_Storage->setFocus();
    e_Storage->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(e_Storage, QStringLiteral("7.50"));
    EXPECT_EQ(e_Storage->findChild<QLineEdit*>()->text(), QStringLiteral("7.50"));  // the text typed stays as typed
    EXPECT_EQ(terms, (StorageTerms{1, 7.5, 0, false}));
    EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_TYPE), 1);
    EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_VAL), 750);
    EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_SUM), 750);
    EXPECT_EQ(hint().value(0), QStringLiteral("Тип хранения: фиксированная сумма"));
}

TEST_F(StorageDialogTest, FixedSumWithDaysAndFlagGivesTheFourHintLines) {
    useDialog(0, QStringLiteral("7.5"), QStringLiteral("3"), true, true);
    EXPECT_EQ(terms, (StorageTerms{1, 7.5, 3, true}));
    EXPECT_EQ(hint(),
              (QStringList{QStringLiteral("Тип хранения: фиксированная сумма"),
                           QStringLiteral("Ставка: 7.50 грн"), QStringLiteral("Мин. срок начислений: 3"),
                           QStringLiteral("Начислять при старте пени: Да")}));
    EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dIS_STORAGE_START_W_PEN), 1);
}

TEST_F(StorageDialogTest, CancelChangesNothing) {
    useDialog(2, QStringLiteral("0.3"), QStringLiteral("4"), true, true);
    const StorageTerms before = terms;
    const QString text = e_Storage->text(), tip = e_Storage->toolTip();
    const int fee = contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_SUM);

    useDialog(0, QStringLiteral("99"), QStringLiteral("9"), false, false);
    EXPECT_EQ(terms, before);
    EXPECT_EQ(e_Storage->text(), text);
    EXPECT_EQ(e_Storage->toolTip(), tip);
    EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_SUM), fee);
    EXPECT_EQ(TolvLogic::readStorageTerms(*contract), before);
}

// A fee too large for the contract sets the fee to 0 and says why.
TEST_F(StorageDialogTest, AFeeTooLargeFallsBackToZero) {
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scope{&boxes};
    e_Storage->setFocus();
    e_Storage->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(e_Storage, QStringLiteral("30000000"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);
    EXPECT_EQ(terms.value, 0);
    EXPECT_EQ(e_Storage->value(), 0);
    EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_SUM), 0);
}

// The editor's table gives the texts in the interface language.
TEST_F(StorageDialogTest, TextsFollowTheEditorsLanguage) {
    TolvMain::addStorageMessages(*form);
    ui::Form::setLanguage(2);
    const TolvLogic::StorageTexts uk = TolvMain::storageTexts(*form);
    ui::Form::setLanguage(1);
    EXPECT_EQ(uk.dialogCaption, QStringLiteral("Параметри зберігання"));
    EXPECT_EQ(uk.yes, QStringLiteral("Так"));
    EXPECT_EQ(TolvMain::storageTexts(*form).startLine, QStringLiteral("Начислять при старте пени: "));
}

}  // namespace
