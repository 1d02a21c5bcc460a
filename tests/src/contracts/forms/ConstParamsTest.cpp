#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "FormsFixture.h"
#include "f_ConstParams.h"
#include "platform/ui/NumberEdit.h"

using namespace formstest;

namespace {

const char* const kKeys[] = {
    "percent",     "penalty",    "minAccrualDays", "isCalcPercWithPenalty", "isPenalCalcFromRetSum",
    "StorageType", "StorageVal", "StorageMinDays", "isStorageCalcWPenalty"};

class ConstParamsTest : public FormsSuite {
protected:
    void SetUp() override {
        FormsSuite::SetUp();
        // Nothing stored: the dialog shows the defaults.
        udb::execSql(
            QStringLiteral("delete from INI where SECTION = 'DEFAULTS' and NAME in ('percent', 'penalty', "
                           "'minAccrualDays', 'isCalcPercWithPenalty', 'isPenalCalcFromRetSum', "
                           "'StorageType', 'StorageVal', 'StorageMinDays', 'isStorageCalcWPenalty')"));
        udb::dbIniDropCache();
    }
    static QStringList stored() {
        QStringList out;
        for (const char* key : kKeys) {
            const core::Variant v =
                scalar(QStringLiteral("select VAL as V from INI where SECTION = 'DEFAULTS' and NAME = '%1'")
                           .arg(QLatin1String(key)));
            out << (v.isEmpty() ? QStringLiteral("<none>") : v.toText());
        }
        return out;
    }
    static void type(ui::NumberEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static QStringList shown(TFConstParams& d) {
        return {d.DayPercEdit->text(),
                d.PenaltyPercEdit->text(),
                d.ce_minAccrualDays->text(),
                d.chBx_isCalcPercWithPenalty->isChecked() ? "ticked" : "not ticked",
                d.chBx_isPenaltyCalcFromRetSum->isChecked() ? "ticked" : "not ticked",
                d.cbox_StorageTypes->currentText(),
                d.cedit_StorageVal->text(),
                d.cedit_MinStorageDays->text(),
                d.chbox_isStorCalcWPen->isChecked() ? "ticked" : "not ticked"};
    }
};

TEST_F(ConstParamsTest, ShowsDefaultsAndOkStoresThemUnchanged) {
    tolvtest::onModal<TFConstParams>([](TFConstParams& d) {
        EXPECT_EQ(d.windowTitle(), "Постоянные параметры");
        EXPECT_EQ(shown(d), (QStringList{"0.00", "0.00", "0", "ticked", "not ticked", "Фиксированная сумма",
                                         "0.00", "0", "ticked"}));
        QStringList kinds;
        for (int i = 0; i < d.cbox_StorageTypes->count(); ++i) kinds << d.cbox_StorageTypes->itemText(i);
        EXPECT_EQ(kinds, (QStringList{"Фиксированная сумма", "От оценки", "От суммы кредита"}));
        EXPECT_EQ(d.DayPercEdit->toolTip(), "Процентная ставка за сутки, %/сутки");
        EXPECT_EQ(d.b_OK->text(), "ОК");
        QTest::mouseClick(d.b_OK, Qt::LeftButton);
    });
    TFConstParams::scExecute();
    EXPECT_EQ(stored(), (QStringList{"0", "0", "0", "1", "0", "1", "0", "0", "1"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ConstParamsTest, KeyedValuesAreStoredWithTheKindNumberedFromOne) {
    tolvtest::onModal<TFConstParams>([](TFConstParams& d) {
        type(d.DayPercEdit, "1 234,5");
        type(d.PenaltyPercEdit, "0.75");
        type(d.ce_minAccrualDays, "7");
        QTest::mouseClick(d.chBx_isCalcPercWithPenalty, Qt::LeftButton);
        d.chBx_isPenaltyCalcFromRetSum->setFocus();
        QTest::keyClick(d.chBx_isPenaltyCalcFromRetSum, Qt::Key_Space);
        d.cbox_StorageTypes->setFocus();
        QTest::keyClick(d.cbox_StorageTypes, Qt::Key_Down);
        QTest::keyClick(d.cbox_StorageTypes, Qt::Key_Down);
        type(d.cedit_StorageVal, "12.34");
        type(d.cedit_MinStorageDays, "3");
        QTest::mouseClick(d.chbox_isStorCalcWPen, Qt::LeftButton);
        // The field being typed in shows its thousands once it is left.
        d.DayPercEdit->interpretText();
        EXPECT_EQ(d.DayPercEdit->text(), "1 234.50");
        QTest::mouseClick(d.b_OK, Qt::LeftButton);
    });
    TFConstParams::scExecute();
    EXPECT_EQ(stored(), (QStringList{"1234.5", "0.75", "7", "0", "1", "3", "12.34", "3", "0"}));

    // Shown again as stored.
    udb::dbIniDropCache();
    TFConstParams again;
    again.fill();
    EXPECT_EQ(shown(again), (QStringList{"1 234.50", "0.75", "7", "not ticked", "ticked", "От суммы кредита",
                                         "12.34", "3", "not ticked"}));
}

TEST_F(ConstParamsTest, NoKindSelectedStoresZeroAndCancelStoresNothing) {
    tolvtest::onModal<TFConstParams>([](TFConstParams& d) {
        type(d.DayPercEdit, "5");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    TFConstParams::scExecute();
    EXPECT_EQ(stored(), QStringList(9, QStringLiteral("<none>")));

    tolvtest::onModal<TFConstParams>([](TFConstParams& d) {
        type(d.DayPercEdit, "5");
        QTest::mouseClick(d.b_Cancel, Qt::LeftButton);
    });
    TFConstParams::scExecute();
    EXPECT_EQ(stored(), QStringList(9, QStringLiteral("<none>")));

    tolvtest::onModal<TFConstParams>([](TFConstParams& d) {
        d.cbox_StorageTypes->setCurrentIndex(-1);
        QTest::mouseClick(d.b_OK, Qt::LeftButton);
    });
    TFConstParams::scExecute();
    EXPECT_EQ(stored()[5], "0");
}

TEST_F(ConstParamsTest, UkrainianTexts) {
    ui::Form::setLanguage(ui::kLanguageUkrainian);
    TFConstParams d;
    EXPECT_EQ(d.windowTitle(), "Постійні параметри");
    EXPECT_EQ(d.GroupBox2->title(), "Розрахунок зберігання");
    EXPECT_EQ(d.chbox_isStorCalcWPen->text(), "Нараховувати зберігання при нарахуванні пені");
    EXPECT_EQ(d.b_Cancel->text(), "Відміна");
}

}  // namespace
