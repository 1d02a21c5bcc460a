// The currency edit over the number edit: its pattern as a property, typed input with either decimal
// point and negatives, whole numbers, hundredths and the change signal.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "platform/core/Formats.h"
#include "platform/ui/CurrencyEdit.h"

namespace {

TEST(CurrencyEditTest, ShowsTheValueThroughItsPatternWithoutTheFocus) {
    struct Case {
        QString format;
        int decimals;
        double value;
        QString text;
    };
    const std::vector<Case> cases = {
        {QStringLiteral(",0.00 грн'.';-,0.00 грн'.'"), 2, 1234567.5, QStringLiteral("1 234 567.50 грн.")},
        {QStringLiteral(",0.00 грн'.';-,0.00 грн'.'"), 2, -12.345, QStringLiteral("-12.35 грн.")},
        {QStringLiteral(",0;-,0"), 0, 12345.6, QStringLiteral("12 346")},
        {QStringLiteral(",0;-,0"), 0, -7, QStringLiteral("-7")},
    };
    for (const Case& c : cases) {
        ui::CurrencyEdit edit(nullptr, c.decimals);
        EXPECT_TRUE(edit.setProperty("displayFormat", c.format));
        edit.setValue(c.value);
        EXPECT_EQ(edit.text(), c.text) << c.format.toStdString();
    }
}

TEST(CurrencyEditTest, TypedInputTakesEitherPointAndNegatives) {
    struct Case {
        int decimals;
        QString typed;
        double value;
    };
    const std::vector<Case> cases = {
        {2, QStringLiteral("12,5"), 12.5},  {2, QStringLiteral("12.75"), 12.75},
        {2, QStringLiteral("-3.1"), -3.1},  {2, QStringLiteral("1.234"), 1.23},  // a third decimal is refused
        {0, QStringLiteral("42.5"), 425.0},  // whole numbers: the point is refused
        {2, QStringLiteral("abc7"), 7.0},
    };
    for (const Case& c : cases) {
        ui::CurrencyEdit edit(nullptr, c.decimals);
        edit.show();
        edit.setFocus();
        edit.selectAll();
        QSignalSpy changed(&edit, &ui::CurrencyEdit::valueChanged);
        QTest::keyClicks(&edit, c.typed);
        EXPECT_DOUBLE_EQ(edit.value(), c.value) << c.typed.toStdString();
        EXPECT_GT(changed.count(), 0);
    }
}

TEST(CurrencyEditTest, HundredthsAndTheValueProperty) {
    ui::CurrencyEdit edit;
    QSignalSpy changed(&edit, &ui::CurrencyEdit::valueChanged);
    edit.setHundredths(-123456);
    EXPECT_DOUBLE_EQ(edit.value(), -1234.56);
    EXPECT_EQ(edit.hundredths(), -123456);
    EXPECT_EQ(changed.count(), 1);
    edit.setProperty("value", 0.29);
    EXPECT_EQ(edit.hundredths(), 29);
    edit.setValue(0.29);  // no change, no signal
    EXPECT_EQ(changed.count(), 2);
    EXPECT_DOUBLE_EQ(edit.property("value").toDouble(), 0.29);
}

TEST(CurrencyEditTest, MoneyDisplayGroupsWithTheProcessSeparatorAndTakesNoTyping) {
    ui::MoneyDisplay display;
    display.setHundredths(123456);
    EXPECT_EQ(display.text(), QStringLiteral("1 234.56"));
    display.setHundredths(-99);
    EXPECT_EQ(display.text(), QStringLiteral("-0.99"));
    const QChar saved = core::formats().thousandSeparator;
    core::formats().thousandSeparator = u',';
    display.setHundredths(123456789);
    EXPECT_EQ(display.text(), QStringLiteral("1,234,567.89"));
    core::formats().thousandSeparator = saved;
    display.show();
    display.setFocus();
    QTest::keyClicks(&display, QStringLiteral("5"));
    EXPECT_EQ(display.hundredths(), 123456789);
}

}  // namespace
