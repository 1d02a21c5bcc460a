#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "kvF_DynPropsEdit.h"
#include "kv_Exception.h"
#include "platform/core/Exception.h"
#include "platform/ui/CurrencyEdit.h"
#include "tests/KVLib/uForms/ModalHelper.h"

namespace {

using namespace utl::DynProps;
using tolvtest::onModal;

// The rows of the storage terms dialog: a list, a whole number, a flag and a number.
void addStorageLikeRows(DynPropsEdit& props) {
    props.add<ControlPrmsComboBox>(QStringLiteral("cb_Kind"), QStringLiteral("Тип"),
                                   QStringLiteral("Фиксированная сумма|От оценки|От суммы кредита|"), 1);
    props.add<ControlPrmsInt>(QStringLiteral("e_Days"), QStringLiteral("Мин. срок"), 3,
                              QStringLiteral("Мин. срок, сут."));
    props.add<ControlPrmsCheckBox>(QStringLiteral("cb_Flag"), QStringLiteral("Учитывать при начислении пени"),
                                   true);
    props.add<ControlPrmsFloat>(QStringLiteral("e_Val"), QStringLiteral("Значение"), 2, 7.5,
                                QStringLiteral("Величина"));
}

// With 6 units a column, rows of 2, 2, 1 and 2 units: three in the first column, the fourth at the top
// of the second; the window grows so the second column fits.
TEST(DynPropsEditTest, RowsFillAColumnThenStartTheNextAtTheTop) {
    TFKVDynPropsEdit dialog(nullptr, 6, QStringLiteral("Параметры"));
    DynPropsEdit& props = dialog.props();
    addStorageLikeRows(props);
    props.build();

    std::vector<int> units;
    for (const auto& row : props.rows()) units.push_back(row->heightUnits());
    EXPECT_EQ(units, (std::vector<int>{2, 2, 1, 2}));

    const int col = props.columnWidth();
    struct Place {
        const char* name;
        bool label;
        QPoint at;  // of the label when there is one, else of the control
    };
    const std::vector<Place> places = {
        {"cb_Kind", true, {10, 10}},
        {"e_Days", true, {10, 50}},
        {"cb_Flag", false, {10, 90}},
        {"e_Val", true, {col + 10, 10}},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.name);
        const QString name = QString::fromLatin1(p.name);
        QWidget* control = dialog.pnl_Props->findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->width(), col - 10);  // every control as wide as the widest
        auto* label = dialog.pnl_Props->findChild<QLabel*>(QStringLiteral("label_") + name);
        ASSERT_EQ(label != nullptr, p.label);
        if (label) {
            EXPECT_EQ(label->pos(), p.at);
            EXPECT_EQ(label->text(), props.findControlPrms(name).caption());
            EXPECT_EQ(control->pos(), p.at + QPoint(0, label->height() + 3));
        } else {
            EXPECT_EQ(control->pos(), p.at);
        }
    }
    EXPECT_EQ(dialog.pnl_Props->findChild<QWidget*>(QStringLiteral("e_Days"))->toolTip(),
              QStringLiteral("Мин. срок, сут."));
    auto* combo = dialog.pnl_Props->findChild<QComboBox*>(QStringLiteral("cb_Kind"));
    EXPECT_FALSE(combo->isEditable());  // a choice only
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 1);
    // The window grew just enough: to the second column's right edge and the first column's bottom.
    EXPECT_EQ(dialog.pnl_Props->minimumWidth(), 2 * col + 10);
    EXPECT_EQ(dialog.width(), 2 * col + 10);
    EXPECT_EQ(dialog.pnl_Props->minimumHeight(), 90 + 20);
    EXPECT_GE(dialog.width(), 200);
}

TEST(DynPropsEditTest, GetIntRoundsHalvesToEven) {
    struct Case {
        double value;
        int expected;
    };
    for (const Case c : {Case{2.5, 2}, Case{3.5, 4}, Case{2.4, 2}, Case{-2.5, -2}, Case{2.6, 3}}) {
        SCOPED_TRACE(c.value);
        TFKVDynPropsEdit dialog(nullptr, 6, QString());
        dialog.props().add<ControlPrmsFloat>(QStringLiteral("e_Val"), QString(), 1, c.value);
        dialog.props().build();
        EXPECT_EQ(dialog.props().getFloat(QStringLiteral("e_Val")), c.value);
        EXPECT_EQ(dialog.props().getInt(QStringLiteral("e_Val")), c.expected);
    }
}

TEST(DynPropsEditTest, UnknownNameRaisesWithThePlace) {
    TFKVDynPropsEdit dialog(nullptr, 6, QString());
    addStorageLikeRows(dialog.props());
    dialog.props().build();
    try {
        dialog.props().getBool(QStringLiteral("x"));
        FAIL() << "no exception";
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Параметр не найден. Имя: 'x'") +
                                   utl::placeTrailer(QStringLiteral("DynPropsEdit::findControlPrms"),
                                                     QStringLiteral("kv_dynPropsEdit"), 361));
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("Line: kv_dynPropsEdit:361\n\n")));
    }
    // Names compare exactly.
    EXPECT_THROW(dialog.props().getValue(QStringLiteral("E_VAL")), core::Exception);
}

TEST(DynPropsEditTest, PanelMustStandAloneInItsParentsLayout) {
    const QString text = QStringLiteral(
        "Align родительской панели для динамического редактирования свойств должен быть alClient");
    QWidget withSibling;
    auto* layout = new QVBoxLayout(&withSibling);
    auto* panel = new QWidget(&withSibling);
    layout->addWidget(panel);
    layout->addWidget(new QPushButton(&withSibling));
    QWidget noLayout;
    auto* loose = new QWidget(&noLayout);
    QWidget alone;
    auto* aloneLayout = new QVBoxLayout(&alone);
    auto* filling = new QWidget(&alone);
    aloneLayout->addWidget(filling);

    for (QWidget* p : {panel, loose}) {
        try {
            DynPropsEdit props(p, 6);
            ADD_FAILURE() << "no exception";
        } catch (const core::Exception& e) {
            EXPECT_EQ(e.message(), text);
        }
    }
    EXPECT_NO_THROW(DynPropsEdit(filling, 6));
}

// Rows go last first when the editor goes.
TEST(DynPropsEditTest, RowsAreDeletedLastFirst) {
    std::vector<QString> gone;
    struct Row : ControlPrmsCheckBox {
        Row(std::vector<QString>& log, const QString& name)
            : ControlPrmsCheckBox(name, name, false), log_(log) {}
        ~Row() override { log_.push_back(name()); }
        std::vector<QString>& log_;
    };
    {
        TFKVDynPropsEdit dialog(nullptr, 6, QString());
        for (const char* n : {"a", "b", "c"}) {
            Row& row = dialog.props().add<Row>(gone, QString::fromLatin1(n));
            EXPECT_EQ(row.owner(), &dialog.props());
        }
    }
    EXPECT_EQ(gone, (std::vector<QString>{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
}

// As a user: the window shows its caption and buttons; typed values come back after OK.
TEST(DynPropsEditTest, ValuesTypedAreReadAfterOk) {
    TFKVDynPropsEdit dialog(nullptr, 6, QStringLiteral("Параметры хранения"));
    addStorageLikeRows(dialog.props());
    dialog.props().build();
    onModal<TFKVDynPropsEdit>([](TFKVDynPropsEdit& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Параметры хранения"));
        EXPECT_EQ(d.OkBtn->text(), QStringLiteral("OK"));
        EXPECT_EQ(d.CancelBtn->text(), QStringLiteral("Отмена"));
        auto* val = d.pnl_Props->findChild<ui::CurrencyEdit*>(QStringLiteral("e_Val"));
        EXPECT_EQ(val->text(), QStringLiteral("7.50"));
        val->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(val, QStringLiteral("1234,5"));
        auto* days = d.pnl_Props->findChild<ui::CurrencyEdit*>(QStringLiteral("e_Days"));
        days->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(days, QStringLiteral("14"));
        QTest::mouseClick(d.pnl_Props->findChild<QCheckBox*>(QStringLiteral("cb_Flag")), Qt::LeftButton);
        d.pnl_Props->findChild<QComboBox*>(QStringLiteral("cb_Kind"))->setCurrentIndex(2);
        QTest::keyClick(val, Qt::Key_Return);
    });
    ASSERT_EQ(dialog.showModal(), ui::ModalResult::Ok);
    EXPECT_EQ(dialog.props().getFloat(QStringLiteral("e_Val")), 1234.5);
    EXPECT_EQ(dialog.props().getInt(QStringLiteral("e_Days")), 14);
    EXPECT_FALSE(dialog.props().getBool(QStringLiteral("cb_Flag")));
    EXPECT_EQ(dialog.props().getValue(QStringLiteral("cb_Kind")).toInt(), 2);
}

}  // namespace
