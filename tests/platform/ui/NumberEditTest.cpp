#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "platform/ui/NumberEdit.h"

namespace {

TEST(NumberEditTest, ShowsThePatternWithThousandsGrouped) {
    struct Case {
        int decimals;
        QString pattern;  // empty: the default one
        double value;
        QString text;
    };
    const Case cases[] = {
        {2, {}, 0.0, "0.00"},
        {2, {}, 1234567.891, "1 234 567.89"},
        {0, {}, 1500.0, "1 500"},
        {2, {}, -1234.5, "-1 234.50"},
        {4, ",0.0000##", 41.25, "41.2500"},
        {4, ",0.0000##", 12345.123456, "12 345.123456"},
    };
    for (const Case& c : cases) {
        ui::NumberEdit edit(c.decimals);
        if (!c.pattern.isEmpty()) edit.setDisplayFormat(c.pattern);
        edit.setDecimals(6);
        edit.setValue(c.value);
        EXPECT_EQ(edit.text(), c.text) << c.value;
    }
}

TEST(NumberEditTest, ReadsWhatTheUserTypes) {
    struct Case {
        QString typed;
        double value;
    };
    const Case cases[] = {
        {"12,5", 12.5}, {"12.5", 12.5}, {"1 234.56", 1234.56}, {"", 0.0}, {"-3", -3.0}, {"7x", 7.0},
    };
    for (const Case& c : cases) {
        ui::NumberEdit edit(2);
        edit.setValue(99);
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Delete);
        QTest::keyClicks(&edit, c.typed);
        edit.interpretText();
        EXPECT_DOUBLE_EQ(edit.value(), c.value) << c.typed.toStdString();
    }
    double v = 1;
    EXPECT_FALSE(ui::NumberEdit::parse(QStringLiteral("abc"), v));
    EXPECT_TRUE(ui::NumberEdit::parse(QStringLiteral("  "), v));
    EXPECT_EQ(v, 0.0);
}

}  // namespace
