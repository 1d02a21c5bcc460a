// The document choice frame on real widgets: order of the items, remembered ticks, printing.

#include <gtest/gtest.h>

#include <QDialog>
#include <QListWidget>

#include "ReportSystemFixture.h"
#include "kv_FrReportList.h"
#include "kv_Translator.h"
#include "platform/ui/Form.h"

using ReportSys::TFrKVReportList;

namespace {

class ChoiceDialog : public QDialog {
    Q_OBJECT
};

}  // namespace

namespace desk {
class PaymentDialog : public QDialog {
    Q_OBJECT
};
}  // namespace desk

namespace {

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
    EXPECT_EQ(items(*f), (QStringList{"[ru] CB_WEXPENSE", "[ru] CB_WRECEIPT", "[ru] CB_WRECEIPT (услуги)",
                                      "[ru] CNTR_CLOSE", "[ru] OP_PAY"}));
    EXPECT_TRUE(f->containsEvent(QStringLiteral("CB_WRECEIPT"), QStringLiteral("SRV")));
    EXPECT_EQ(f->getEvent(QStringLiteral("CB_WRECEIPT"), QStringLiteral("SRV")),
              sys().getEventByCode(QStringLiteral("CB_WRECEIPT")));

    // A removed key's caption stays for the next time the key comes without one.
    f->removeEvent(QStringLiteral("CB_WRECEIPT"), QStringLiteral("SRV"));
    EXPECT_EQ(f->clbox_Reports->count(), 4);
    EXPECT_EQ(f->getEvent(QStringLiteral("CB_WRECEIPT"), QStringLiteral("SRV")), nullptr);
    f->addEvent(sys().getEventByCode(QStringLiteral("CB_WRECEIPT")), {}, QStringLiteral("SRV"));
    EXPECT_EQ(items(*f).at(2), "[ru] CB_WRECEIPT (услуги)");

    f->addEvent(nullptr, QStringLiteral("нічого"));
    EXPECT_EQ(f->clbox_Reports->count(), 5);
}

TEST_F(Frame, RefreshIfMissingRefillsOnlyWithoutTheBareCode) {
    ChoiceDialog dialog;
    auto f = frame(dialog, false);
    f->clear();
    f->addEvent(sys().getEventByCode(QStringLiteral("OP_PAY")), {}, QStringLiteral("2"));
    f->clbox_Reports->addItem(QStringLiteral("stray"));
    f->refreshIfMissing(QStringLiteral("OP_PAY"));
    EXPECT_EQ(items(*f), QStringList{"[ru] OP_PAY"});
    f->addEvent(sys().getEventByCode(QStringLiteral("OP_PAY")));
    f->clbox_Reports->addItem(QStringLiteral("stray"));
    f->refreshIfMissing(QStringLiteral("OP_PAY"));
    EXPECT_EQ(f->clbox_Reports->count(), 3);
}

TEST_F(Frame, TicksAreKeptUnderTheFormsClassAndTheFramesNameByTemplateFile) {
    {
        ChoiceDialog dialog;
        auto f = frame(dialog, true);
        f->clbox_Reports->item(3)->setCheckState(Qt::Unchecked);  // OP_PAY
        f->saveChecks();
    }
    const QString ini = QString::fromUtf8(rstest::readFile(dir_.filePath(QStringLiteral("user.ini"))));
    EXPECT_TRUE(ini.contains(QStringLiteral("[ChoiceDialogfr_Reports]"))) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("_ru_OP_PAY.rtf=0"))) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("_ru_CNTR_CLOSE.rtf=1"))) << ini.toStdString();
    {
        desk::PaymentDialog named;
        TFrKVReportList f(&named, true);
        f.setObjectName(QStringLiteral("fr_Docs"));
        f.addEvent(sys().getEventByCode(QStringLiteral("OP_PAY")));
        f.saveChecks();
    }
    EXPECT_TRUE(QString::fromUtf8(rstest::readFile(dir_.filePath(QStringLiteral("user.ini"))))
                    .contains(QStringLiteral("[PaymentDialogfr_Docs]")));

    // A template added since starts ticked; the unticked one stays unticked.
    putTemplate(QStringLiteral("OP_PAY"), QStringLiteral("[ru]OP_PAY копія.rtf"));
    sys()
        .getEventByCode(QStringLiteral("OP_PAY"))
        ->addTemplate(QStringLiteral("копія"), QStringLiteral("[ru]OP_PAY копія.rtf"), true, -1);
    ChoiceDialog dialog;
    auto f = frame(dialog, false);
    EXPECT_EQ(items(*f).filter(QStringLiteral("+")).size(), 0);
    f->enableRememberChecks();
    EXPECT_EQ(items(*f).mid(3), (QStringList{"[ru] OP_PAY", "[ru] копія+"}));
}

TEST_F(Frame, PopupCaptionsFollowTheInterfaceLanguage) {
    for (const auto& [key, text] : ReportSys::reportSystemTexts(2))
        KVLibTranslator::instance().set(key, text);
    ChoiceDialog dialog;
    TFrKVReportList uk(&dialog, false);
    EXPECT_EQ(uk.N_SelectAll->text(), "Вибрати всі");
    EXPECT_EQ(uk.N_DeselectAll->text(), "Скасувати всі");
    for (const auto& [key, text] : ReportSys::reportSystemTexts(1))
        KVLibTranslator::instance().set(key, text);
    TFrKVReportList ru(&dialog, false);
    EXPECT_EQ(ru.N_SelectAll->text(), "Выбрать все");
    EXPECT_EQ(ru.N_DeselectAll->text(), "Отменить все");
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
        ASSERT_EQ(opened_.size(), 2);
        EXPECT_TRUE(QFileInfo(opened_[0]).fileName().contains(QStringLiteral("CB_WRECEIPT")))
            << opened_[0].toStdString();
        EXPECT_TRUE(QFileInfo(opened_[1]).fileName().contains(QStringLiteral("CNTR_CLOSE")))
            << opened_[1].toStdString();
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
