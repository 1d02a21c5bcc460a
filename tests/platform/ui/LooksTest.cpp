#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/Looks.h"

namespace {

// Edits with a read-only state keep their focus and text; the others are disabled. Both ways back.
TEST(LooksTest, ReadOnlyLookGoesAndComesBack) {
    QWidget form;
    auto* line = new QLineEdit(&form);
    auto* money = new ui::CurrencyEdit(&form);
    auto* memo = new QPlainTextEdit(&form);
    auto* date = new ui::DateEdit(&form);
    auto* combo = new QComboBox(&form);
    auto* box = new QCheckBox(&form);
    const QColor base = QApplication::palette().color(QPalette::Base);

    for (bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly);
        for (QWidget* w : std::initializer_list<QWidget*>{line, money, memo, date, combo, box})
            ui::setReadOnlyLook(w, readOnly);
        EXPECT_EQ(line->isReadOnly(), readOnly);
        EXPECT_EQ(money->isReadOnly(), readOnly);
        EXPECT_EQ(memo->isReadOnly(), readOnly);
        EXPECT_EQ(date->isReadOnly(), readOnly);
        EXPECT_EQ(date->lineEdit()->isReadOnly(), readOnly);
        for (QWidget* w : std::initializer_list<QWidget*>{line, money, memo}) EXPECT_TRUE(w->isEnabled());
        EXPECT_EQ(combo->isEnabled(), !readOnly);
        EXPECT_EQ(box->isEnabled(), !readOnly);
        for (QWidget* w : std::initializer_list<QWidget*>{line, money, memo, date}) {
            EXPECT_EQ(ui::hasReadOnlyLook(w), readOnly);
            EXPECT_EQ(w->palette().color(QPalette::Base) == base, !readOnly);
        }
        // The edit inside the date field takes the background of the field.
        EXPECT_EQ(ui::hasReadOnlyLook(date->lineEdit()), readOnly);
    }
}

TEST(LooksTest, TextLookColoursTheTextAndComesBackToTheWindowText) {
    ui::CurrencyEdit edit;
    const QColor normal = QApplication::palette().color(QPalette::WindowText);
    struct Case {
        ui::TextLook look;
        QColor colour;
    };
    for (const Case& c : {Case{ui::TextLook::Blue, Qt::blue}, Case{ui::TextLook::Red, Qt::red},
                          Case{ui::TextLook::Normal, normal}}) {
        ui::setTextLook(&edit, c.look);
        EXPECT_EQ(ui::textLook(&edit), c.look);
        EXPECT_EQ(edit.palette().color(QPalette::Text), c.colour);
        EXPECT_EQ(edit.palette().color(QPalette::WindowText), c.colour);
    }
}

// The first line names the field and stays; the second is replaced each time.
TEST(LooksTest, HintKeepsItsFirstLineAndReplacesTheSecond) {
    QLineEdit edit;
    edit.setToolTip(QStringLiteral("Процент за сутки, %"));
    ui::setHintSecondLine(&edit, QStringLiteral("5.00 грн"));
    EXPECT_EQ(edit.toolTip(), QStringLiteral("Процент за сутки, %\n5.00 грн"));
    ui::setHintSecondLine(&edit, QStringLiteral("1 000.50 грн"));
    EXPECT_EQ(ui::hintLines(&edit),
              (QStringList{QStringLiteral("Процент за сутки, %"), QStringLiteral("1 000.50 грн")}));

    // A system text with a CR LF break counts as two lines.
    edit.setToolTip(QStringLiteral("Расч. пени\r\nСумма возврата = сумма кредита + проценты"));
    ui::setHintSecondLine(&edit, QStringLiteral("10.50 грн"));
    EXPECT_EQ(edit.toolTip(), QStringLiteral("Расч. пени\n10.50 грн"));

    QLineEdit bare;
    ui::setHintSecondLine(&bare, QStringLiteral("x"));
    EXPECT_EQ(ui::hintLines(&bare), (QStringList{QString(), QStringLiteral("x")}));
}

}  // namespace
