// The document choice frame on real widgets: order of the items, remembered ticks, printing.

#include <gtest/gtest.h>

#include <QDialog>
#include <QListWidget>

#include "ReportSystemFixture.h"
#include "kv_FrReportList.h"
#include "platform/ui/Form.h"

using ReportSys::TFrKVReportList;

namespace {

class ChoiceDialog : public QDialog {
    Q_OBJECT
};

class Frame : public rstest::ReportSystemTest {
protected:
    void SetUp() override {
        ReportSystemTest::SetUp();
        const QString ini = dir_.filePath(QStringLiteral("user.ini"));
        ui::Form::setPlacementFileHook([ini] { return ini; });
        for (const char* code : {"OP_PAY", "CNTR_CLOSE", "CB_WRECEIPT", "CB_WEXPENSE"}) {
            putTemplate(QLatin1String(code),
                        QStringLiteral("[ru]") + QLatin1String(code) + QStringLiteral(".rtf"));
            rstest::TestEvent* e = add(QLatin1String(code), QLatin1String(code), {QStringLiteral("COMMON")});
            e->getParamGroup(QStringLiteral("COMMON"))->addParam(QStringLiteral("X"), 1);
            for (int i = 0; i < e->getTemplatesCount(); ++i) e->getTemplate(i)->setActive(true);
        }
    }
    void TearDown() override {
        ui::Form::setPlacementFileHook({});
        ReportSystemTest::TearDown();
    }
    static QStringList items(TFrKVReportList& f) {
        QStringList texts;
        for (int i = 0; i < f.clbox_Reports->count(); ++i)
            texts << f.clbox_Reports->item(i)->text() + (f.clbox_Reports->item(i)->checkState() == Qt::Checked
                                                             ? QStringLiteral("+")
                                                             : QString());
        return texts;
    }
    std::unique_ptr<TFrKVReportList> frame(ChoiceDialog& dialog, bool remember) {
        auto f = std::make_unique<TFrKVReportList>(&dialog, remember);
        f->setObjectName(QStringLiteral("fr_Reports"));
        for (const char* code : {"OP_PAY", "CNTR_CLOSE", "CB_WRECEIPT", "CB_WEXPENSE"})
            f->addEvent(sys().getEventByCode(QLatin1String(code)));
        return f;
    }
};

TEST_F(Frame, ItemsFollowTheKeysAndASuffixAddsASecondSet) {
    ChoiceDialog dialog;
    auto f = frame(dialog, false);
    EXPECT_EQ(items(*f),
              (QStringList{"[ru] CB_WEXPENSE", "[ru] CB_WRECEIPT", "[ru] CNTR_CLOSE", "[ru] OP_PAY"}));
    f->addEvent(sys().getEventByCode(QStringLiteral("OP_PAY")), QStringLiteral("другой"));
    EXPECT_EQ(f->clbox_Reports->count(), 4);
    f->addEvent(sys().getEventByCode(QStringLiteral("CB_WRECEIPT")), QStringLiteral("услуги"),
                QStringLiteral("SRV"));
    EXPECT_EQ(items(*f).at(2), "[ru] CB_WRECEIPT (услуги)");
    EXPECT_TRUE(f->containsEvent(QStringLiteral("CB_WRECEIPT"), QStringLiteral("SRV")));
}

TEST_F(Frame, RememberedTicksSurviveAndDisabledOrClearedItemsDoNotPrint) {
    {
        ChoiceDialog dialog;
        auto f = frame(dialog, true);
        EXPECT_EQ(items(*f).filter(QStringLiteral("+")).size(), 4);
        f->clbox_Reports->item(3)->setCheckState(Qt::Unchecked);  // OP_PAY
        auto* disabled = f->clbox_Reports->item(0);
        disabled->setFlags(disabled->flags() & ~Qt::ItemIsEnabled);
        f->printChecked();
        EXPECT_EQ(opened_.size(), 2);
    }
    {
        ChoiceDialog dialog;
        auto f = frame(dialog, true);
        EXPECT_EQ(items(*f).at(3), "[ru] OP_PAY");
        EXPECT_EQ(items(*f).at(2), "[ru] CNTR_CLOSE+");
        opened_.clear();
        f->clear();
        EXPECT_EQ(f->clbox_Reports->count(), 4);
        f->printChecked();
        EXPECT_TRUE(opened_.isEmpty());
    }
}

TEST_F(Frame, SelectAllAndDeselectAll) {
    ChoiceDialog dialog;
    auto f = frame(dialog, false);
    f->N_SelectAll->trigger();
    EXPECT_EQ(items(*f).filter(QStringLiteral("+")).size(), 4);
    f->N_DeselectAll->trigger();
    EXPECT_EQ(items(*f).filter(QStringLiteral("+")).size(), 0);
    EXPECT_EQ(f->N_SelectAll->text(), "Выбрать все");
}

}  // namespace

#include "FrReportListTest.moc"
