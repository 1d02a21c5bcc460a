// The contract editor's window driven as a user would: the fields follow the logic, Save refuses with
// the field's text, and a saved contract closes the dialog with OK after its documents.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "f_PenaltyOrderEdit.h"
#include "kvF_DynPropsEdit.h"
#include "kv_DbGridUtl.h"
#include "kv_FrReportList.h"
#include "kv_settingsFile.h"
#include "platform/os/IniFile.h"
#include "platform/ui/ButtonEdit.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DbGrid.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/src/desk/DocumentRows.h"
#include "tests/src/desk/EditorRows.h"

using namespace desktest;
using TolvMain::TPenaltyOrderEditForm;
using utl::DynProps::TFKVDynPropsEdit;

namespace {

class ContractEditorFormTest : public EditorSuite {
protected:
    void SetUp() override {
        EditorSuite::SetUp();
        documents = std::make_unique<RecordedDocuments>();
    }
    void TearDown() override {
        documents.reset();
        EditorSuite::TearDown();
    }
    std::unique_ptr<TPenaltyOrderEditForm> form() {
        auto f = std::make_unique<TPenaltyOrderEditForm>(nullptr, *config);
        f->setNew(kStart, nullptr);
        f->show();
        return f;
    }

    std::unique_ptr<RecordedDocuments> documents;
};

TEST_F(ContractEditorFormTest, ANewContractIsTypedSavedAndClosesWithOk) {
    auto f = form();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Новый договор"));
    EXPECT_EQ(f->btn_Save->text(), QStringLiteral("Добавить"));
    EXPECT_EQ(f->NumEdit->text(), f->logic().number());
    EXPECT_FALSE(f->bt_EditForce->isVisible());

    // A refusal names the field and leaves the dialog open.
    f->NumEdit->clear();
    QTest::keyClicks(f->NumEdit, QStringLiteral(" "));
    QTest::mouseClick(f->btn_Save, Qt::LeftButton);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Не указан номер договора"));
    EXPECT_EQ(f->modalResult(), ui::ModalResult::None);

    QTest::keyClicks(f->NumEdit, QStringLiteral("K-15"));
    f->logic().setClient(client, QStringLiteral("Коваль Олег"));
    f->logic().setPlace(place);
    addItem(f->logic(), QStringLiteral("Ноутбук"), 60000, 50000);
    f->DayPercEdit->setValue(0.5);
    f->PenaltyPercEdit->setValue(1);
    f->DollarPriceEdit->setValue(1);
    EXPECT_EQ(f->ClientEdit->text(), QStringLiteral("Коваль Олег"));
    EXPECT_EQ(f->DepositSumEdit->hundredths(), 50000);
    EXPECT_EQ(f->SubjPriceEdit->hundredths(), 60000);
    EXPECT_DOUBLE_EQ(f->PercEdit->value(), 15.0);
    EXPECT_TRUE(f->DayPercEdit->toolTip().endsWith(QStringLiteral("2.50 грн")));

    boxes.shown.clear();
    QTest::mouseClick(f->btn_Save, Qt::LeftButton);
    // Whatever the documents do, the contract is committed and the dialog closes with OK.
    EXPECT_EQ(f->modalResult(), ui::ModalResult::Ok);
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_NUM = 'K-15'")), 1);
}

// "..." beside the fee opens the storage dialog over the editor's terms: Cancel keeps them, OK with a
// rate on the valuation shows that day's fee and its hint.
TEST_F(ContractEditorFormTest, TheStorageButtonEditsTheTermsInTheDialog) {
    auto f = form();
    addItem(f->logic(), QStringLiteral("Ноутбук"), 100000, 50000);
    auto* b_Storage = f->findChild<QAbstractButton*>(QStringLiteral("b_Storage"));
    ASSERT_NE(b_Storage, nullptr);
    const qint64 before = f->logic().storageSum();
    for (const bool ok : {false, true}) {
        bool shown = false;
        tolvtest::onModal<TFKVDynPropsEdit>([&](TFKVDynPropsEdit& d) {
            shown = true;
            d.pnl_Props->findChild<QComboBox*>(QStringLiteral("cb_StorageParam"))->setCurrentIndex(1);
            auto* val = d.pnl_Props->findChild<ui::CurrencyEdit*>(QStringLiteral("e_StorageVal"));
            val->findChild<QLineEdit*>()->selectAll();
            QTest::keyClicks(val, QStringLiteral("0.5"));
            QTest::mouseClick(ok ? d.OkBtn : d.CancelBtn, Qt::LeftButton);
        });
        QTest::mouseClick(b_Storage, Qt::LeftButton);
        ASSERT_TRUE(shown);
        if (!ok) EXPECT_EQ(f->logic().storageSum(), before);
    }
    EXPECT_EQ(f->logic().storageType(), 2);
    EXPECT_EQ(f->logic().storageSum(), 500);
    EXPECT_EQ(f->e_Storage->hundredths(), 500);
    EXPECT_EQ(f->e_Storage->toolTip().split(u'\n').value(1), QStringLiteral("Ставка: 0.50 %"));
}

// The items' column widths go to the per-user file when the dialog closes, under the pledge kind's
// section, and the next dialog shows them.
TEST_F(ContractEditorFormTest, TheItemsColumnWidthsAreKeptPerPledgeKind) {
    const QString section = QStringLiteral("PenaltyOrderEditForm_subjGrid_DEFAULT");
    {
        auto f = form();
        grid::Column* name = utl::DbGridUtl::findColumn(*f->rg_Subjs, QStringLiteral("NAME"));
        ASSERT_NE(name, nullptr);
        name->width = 321;
        f->close();
    }
    EXPECT_EQ(os::IniFile(utl::SettingsFile::userIniFileName()).readInt(section, QStringLiteral("NAME"), 0), 321);
    auto f = form();
    EXPECT_EQ(utl::DbGridUtl::findColumn(*f->rg_Subjs, QStringLiteral("NAME"))->width, 321);
}

}  // namespace
