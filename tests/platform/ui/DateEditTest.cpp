#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "platform/ui/DateEdit.h"

namespace {

TEST(DateEditTest, EmptyShowsTheMaskAndAnswersZero) {
    ui::DateEdit edit;
    EXPECT_EQ(edit.text().trimmed(), ui::DateEdit::emptyText());
    EXPECT_TRUE(edit.isEmpty());
    EXPECT_TRUE(edit.date().isZero());

    edit.setDate(core::DateTime::encode(2026, 3, 7, 15, 30));
    EXPECT_EQ(edit.text(), "07.03.2026");
    EXPECT_EQ(edit.date(), core::DateTime::encode(2026, 3, 7));  // the time of day dropped

    edit.setDate(core::DateTime());
    EXPECT_TRUE(edit.isEmpty());
    EXPECT_TRUE(edit.date().isZero());
}

TEST(DateEditTest, ReadsTypedTextAndSignalsEachChange) {
    struct Case {
        QString typed;
        double date;  // 0: no date
    };
    const Case cases[] = {
        {"31122025", core::DateTime::encode(2025, 12, 31).value()},
        {"29022024", core::DateTime::encode(2024, 2, 29).value()},
        {"29022025", 0},  // no such day
        {"1203", 0},      // year missing
        {"", 0},
    };
    for (const Case& c : cases) {
        ui::DateEdit edit;
        edit.show();
        QSignalSpy spy(&edit, &ui::DateEdit::changed);
        edit.lineEdit()->setFocus();
        edit.lineEdit()->home(false);
        QTest::keyClicks(edit.lineEdit(), c.typed);
        EXPECT_EQ(edit.date().value(), c.date) << c.typed.toStdString();
        EXPECT_EQ(spy.count(), c.typed.size()) << c.typed.toStdString();
    }
}

TEST(DateEditTest, SpinButtonsStepByADayOnlyWhenOn) {
    ui::DateEdit edit;
    edit.show();
    const core::DateTime start = core::DateTime::encode(2026, 2, 28);
    edit.setDate(start);
    auto buttons = edit.findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_FALSE(buttons[0]->isVisible());
    QTest::keyClick(edit.lineEdit(), Qt::Key_Up);
    EXPECT_EQ(edit.date(), start);  // arrows do nothing without the buttons

    edit.setSpinButtons(true);
    EXPECT_TRUE(buttons[0]->isVisible());
    QTest::keyClick(edit.lineEdit(), Qt::Key_Up);
    EXPECT_EQ(edit.text(), "01.03.2026");
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(edit.text(), "27.02.2026");

    edit.setReadOnly(true);
    QTest::keyClick(edit.lineEdit(), Qt::Key_Up);
    EXPECT_EQ(edit.text(), "27.02.2026");

    edit.setReadOnly(false);
    edit.clear();
    QTest::keyClick(edit.lineEdit(), Qt::Key_Down);
    EXPECT_EQ(edit.date(), core::DateTime::today());
}

}  // namespace
