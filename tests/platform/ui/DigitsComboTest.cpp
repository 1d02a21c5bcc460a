#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "platform/ui/DigitsCombo.h"

namespace {

// Keys and pastes that are not digits never reach the text; Backspace does.
TEST(DigitsComboTest, TakesDigitsOnlyFromKeysAndPastes) {
    ui::DigitsCombo combo;
    combo.show();
    combo.setFocus();
    QTest::keyClicks(&combo, QStringLiteral("3a-0.,5 x"));
    EXPECT_EQ(combo.currentText(), QStringLiteral("305"));
    EXPECT_EQ(combo.number(), 305);
    QTest::keyClick(&combo, Qt::Key_Backspace);
    EXPECT_EQ(combo.number(), 30);
    EXPECT_EQ(combo.count(), 0);  // typed text is never made an item

    QApplication::clipboard()->setText(QStringLiteral("12 дней"));
    combo.lineEdit()->paste();
    EXPECT_EQ(combo.currentText(), QStringLiteral("30"));
    QApplication::clipboard()->setText(QStringLiteral("45"));
    combo.lineEdit()->clear();
    combo.lineEdit()->paste();
    EXPECT_EQ(combo.number(), 45);

    combo.lineEdit()->clear();
    EXPECT_EQ(combo.number(), 0);
}

// A pick-only combo offers its items alone; back to free digits it guards the text again.
TEST(DigitsComboTest, PickOnlyOffersTheItemsAlone) {
    ui::DigitsCombo combo;
    combo.addItems({QStringLiteral("7"), QStringLiteral("14"), QStringLiteral("30")});
    combo.setPickOnly(true);
    EXPECT_TRUE(combo.pickOnly());
    EXPECT_EQ(combo.lineEdit(), nullptr);
    combo.setCurrentIndex(1);
    EXPECT_EQ(combo.number(), 14);

    combo.setPickOnly(false);
    combo.show();
    combo.setFocus();
    combo.lineEdit()->clear();
    QTest::keyClicks(&combo, QStringLiteral("9z9"));
    EXPECT_EQ(combo.currentText(), QStringLiteral("99"));
}

}  // namespace
