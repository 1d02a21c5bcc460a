#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "PenaltyWarrants.h"
#include "WarrantEdit.h"
#include "kv_BookPick.h"
#include "kv_DataSetWrapper.h"
#include "kv_FbDbIni.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/ui/ButtonEdit.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DateEdit.h"
#include "tests/src/cash/CashCalc.h"
#include "tests/support/ErrorText.h"

using namespace cashtest;
using contracttest::newBranch;
using contracttest::scalar;
using TolvLogic::WarrantInfo;

namespace {

// The control, or the edit inside it, holds the dialog's focus.
bool focused(QWidget& dialog, QWidget* control) {
    QWidget* f = dialog.focusWidget();
    return f && (f == control || control->isAncestorOf(f));
}

class WarrantEditTest : public contracttest::ContractSuite {
protected:
    void SetUp() override {
        ui::Form::setLanguage(ui::kLanguageRussian);
        settings_ = std::make_unique<contracttest::OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
        static int number = 900;
        branch = newBranch(++number, QStringLiteral("Каса"), false);
        setCounters(branch, 23, 9);
    }
    void TearDown() override {
        udb::execSql(QStringLiteral("delete from INI where NAME = 'CanAgentSeeCashDate'"));
        udb::dbIniDropCache();
        ufb::setBookPicker(nullptr);
        settings_.reset();
        ContractSuite::TearDown();
    }
    // A new order's dialog of the branch on the day, filled as the user would.
    std::unique_ptr<TFWarrantEdit> newDialog() {
        auto d = std::make_unique<TFWarrantEdit>();
        d->setBranch(branch);
        d->setNew();
        d->de_Date->setDate(day);
        return d;
    }
    static void fill(TFWarrantEdit& d, qint64 sum, const QString& subject = QStringLiteral("Іванов"),
                     const QString& foundation = QStringLiteral("Внесок")) {
        d.ce_Sum->setHundredths(sum);
        d.ed_OperationSubject->setText(subject);
        d.ed_Foundation->setText(foundation);
    }
    // "NUMBER|W_TYPE|W_SUM|IDENTIFICATION_DATA" of the branch's orders by ID.
    QStringList stored() const {
        QStringList out;
        ufb::AutoQuery q(
            QStringLiteral("select NUMBER, W_TYPE, W_SUM, cast(IDENTIFICATION_DATA as varchar(255)) "
                           "as I from WARRANTES where ID_FILIAL = %1 order by ID")
                .arg(branch),
            nullptr);
        q->open();
        for (; !q->eof(); q->next()) {
            out << QStringList{q->fieldByName(QStringLiteral("NUMBER")).asString(),
                               q->fieldByName(QStringLiteral("W_TYPE")).asString(),
                               q->fieldByName(QStringLiteral("W_SUM")).asString(),
                               q->fieldByName(QStringLiteral("I")).asString()}
                       .join(u'|');
        }
        return out;
    }
    static void allowDate() {
        udb::dbIniWrite(QStringLiteral("PERMISSION"), QStringLiteral("CanAgentSeeCashDate"), 1);
        udb::dbIniDropCache();
    }
    std::unique_ptr<contracttest::OwnSettingsFile> settings_;
    int branch = 0;
    const DateTime day = d24(14, 3);
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
};

TEST_F(WarrantEditTest, NumbersComeFromTheCountersUnlessEdited) {
    auto d = newDialog();
    EXPECT_EQ(d->ed_Number->text(), QStringLiteral("23"));
    EXPECT_FALSE(d->ed_IdentificationData->isVisibleTo(d.get()));
    EXPECT_EQ(d->lab_OperationSubject->text(), QStringLiteral("Принято от"));
    fill(*d, 10000);
    QTest::mouseClick(d->bt_AddChange, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(d->result(), 1);
    EXPECT_EQ(stored(), QStringList{QStringLiteral("23|0|10000|")});
    EXPECT_EQ(counters(branch), QStringLiteral("24 / 9"));

    // An edited number is stored as typed and moves no counter.
    d = newDialog();
    EXPECT_EQ(d->ed_Number->text(), QStringLiteral("24"));
    d->ed_Number->setText(QStringLiteral("24/1"));
    fill(*d, -500);
    QTest::mouseClick(d->bt_AddChange, Qt::LeftButton);
    EXPECT_EQ(stored().last(), QStringLiteral("24/1|0|-500|"));
    EXPECT_EQ(counters(branch), QStringLiteral("24 / 9"));

    // Expense: its own counter, the identity field shown and required.
    d = newDialog();
    d->cb_Type->setCurrentIndex(1);
    EXPECT_EQ(d->ed_Number->text(), QStringLiteral("9"));
    EXPECT_TRUE(d->ed_IdentificationData->isVisibleTo(d.get()));
    EXPECT_EQ(d->lab_OperationSubject->text(), QStringLiteral("Выдать"));
    fill(*d, 3000);
    d->show();
    QTest::mouseClick(d->bt_AddChange, Qt::LeftButton);
    ASSERT_EQ(boxes.texts(),
              QStringList{QStringLiteral("Не указана информация, которая удостоверяет личность получателя")});
    EXPECT_TRUE(focused(*d, d->ed_IdentificationData));
    EXPECT_EQ(d->result(), 0);
    d->ed_IdentificationData->setText(QStringLiteral("Паспорт ВК 123456"));
    QTest::mouseClick(d->bt_AddChange, Qt::LeftButton);
    EXPECT_EQ(stored().last(), QStringLiteral("9|1|3000|Паспорт ВК 123456"));
    EXPECT_EQ(counters(branch), QStringLiteral("24 / 10"));
}

TEST_F(WarrantEditTest, ChecksInOrderEachFocusingItsControl) {
    allowDate();
    auto d = newDialog();
    d->show();
    d->cb_Type->setCurrentIndex(1);
    struct Step {
        std::function<void()> before;  // breaks nothing more; fixes the previous failure
        QWidget* control;
        const char16_t* text;
    };
    const Step steps[] = {
        {[&] {
             d->ed_Number->setText(QStringLiteral("  "));
             d->de_Date->clear();
         },
         d->ed_Number, u"Не указан номер ордера"},
        {[&] { d->ed_Number->setText(QStringLiteral("9")); }, d->de_Date, u"Не указана дата ордера"},
        {[&] { d->de_Date->setDate(day); }, d->ce_Sum, u"Не указана сумма ордера"},
        {[&] { d->ce_Sum->setHundredths(100); }, d->ed_OperationSubject,
         u"Не указано от кого принято или кому выдано"},
        {[&] { d->ed_OperationSubject->setText(QStringLiteral("Іванов")); }, d->ed_Foundation,
         u"Не указано основание"},
        {[&] { d->ed_Foundation->setText(QStringLiteral("Видача")); }, d->ed_IdentificationData,
         u"Не указана информация, которая удостоверяет личность получателя"},
    };
    for (const Step& s : steps) {
        s.before();
        boxes.shown.clear();
        QTest::mouseClick(d->bt_AddChange, Qt::LeftButton);
        ASSERT_EQ(boxes.texts(), QStringList{QString::fromUtf16(s.text)});
        EXPECT_TRUE(focused(*d, s.control)) << boxes.texts().join(u' ').toStdString();
    }
    EXPECT_TRUE(stored().isEmpty());
}

// A save that fails after the insert leaves the order new: the next OK stores it once.
TEST_F(WarrantEditTest, SaveRetryAfterAFailureStoresTheOrderOnce) {
    // The counter advance, the step after the insert, fails while this trigger exists.
    udb::execSql(QStringLiteral("create exception E_TEST_COUNTER 'counter refused'"));
    udb::execSql(
        QStringLiteral("create trigger T_TEST_COUNTER for DIR_FILIAL before update as begin if "
                       "(new.WNT_RECEIPT_NUM_AUTOINC <> old.WNT_RECEIPT_NUM_AUTOINC) then exception "
                       "E_TEST_COUNTER; end"));
    auto d = newDialog();
    fill(*d, 10000);
    QTest::mouseClick(d->bt_AddChange, Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("counter refused")))
        << boxes.shown[0].text.toStdString();
    EXPECT_EQ(d->result(), 0);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(d->order().GetField(WarrantInfo::wID).toInt(), -1);

    udb::execSql(QStringLiteral("drop trigger T_TEST_COUNTER"));
    udb::execSql(QStringLiteral("drop exception E_TEST_COUNTER"));
    boxes.shown.clear();
    QTest::mouseClick(d->bt_AddChange, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(d->result(), 1);
    EXPECT_EQ(stored(), QStringList{QStringLiteral("23|0|10000|")});
    EXPECT_EQ(counters(branch), QStringLiteral("24 / 9"));
}

TEST_F(WarrantEditTest, EditingLocksWhatTheOrderForbids) {
    const int automaticTemplate = scalar(QStringLiteral("select ID as V from DIR_WARRANTES where CODE = "
                                                        "'EXPENSE_DEPOSIT'"))
                                      .toInt();
    const int automatic = newOrder(Order{.date = day,
                                         .templateId = automaticTemplate,
                                         .filialId = branch,
                                         .sum = 70000,
                                         .number = QStringLiteral("5")});
    udb::execSql(
        QStringLiteral("update WARRANTES set W_TYPE = 1, OPERATION_SUBJECT = 'Договори', FOUNDATION = "
                       "'Видача' where ID = %1")
            .arg(automatic));
    TFWarrantEdit d;
    d.setEdit(automatic);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Редактировать ордер"));
    EXPECT_EQ(d.bt_AddChange->text(), QStringLiteral("Сохранить"));
    EXPECT_FALSE(d.cb_Type->isEnabled());
    for (QWidget* w : {static_cast<QWidget*>(d.de_Date), static_cast<QWidget*>(d.ce_Sum),
                       static_cast<QWidget*>(d.ed_OperationSubject), static_cast<QWidget*>(d.ed_Foundation),
                       static_cast<QWidget*>(d.ed_Addition), static_cast<QWidget*>(d.ed_IdentificationData)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(d.ed_Number->isEnabled());
    EXPECT_TRUE(d.ed_AccountNumber->isEnabled());
    // An automatic expense order needs no identity text.
    d.ed_Number->setText(QStringLiteral("5а"));
    QTest::mouseClick(d.bt_AddChange, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(stored(), QStringList{QStringLiteral("5а|1|70000|")});
    EXPECT_EQ(counters(branch), QStringLiteral("23 / 9"));

    // An imported branch's order: everything locked.
    const int imported = newBranch(990, QStringLiteral("Імпорт"), true);
    const int foreign = newOrder(Order{.date = day, .filialId = imported, .sum = 100});
    TFWarrantEdit locked;
    locked.setEdit(foreign);
    for (QWidget* w : locked.findChildren<QWidget*>()) {
        if (w->inherits("QLineEdit") && w->parentWidget() == &locked)
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    }
    EXPECT_FALSE(locked.ed_Number->isEnabled());
    EXPECT_FALSE(locked.ed_AccountNumber->isEnabled());

    // A missing order.
    EXPECT_EQ(tolvtest::errorText([] {
                  TFWarrantEdit missing;
                  missing.setEdit(-77);
              }),
              QStringLiteral("Ошибка открытия ордера!"));
}

TEST_F(WarrantEditTest, TemplatePickerAndDateRight) {
    const int own = newTemplate(1, QStringLiteral("377"), QStringLiteral("Видача готівки"), std::nullopt);
    newTemplate(0, QStringLiteral("301"), QStringLiteral("Внесок"), std::nullopt);
    std::vector<int> listed;
    ufb::setBookPicker([&](const ufb::BookPick& pick) -> ufb::PickedRow {
        EXPECT_EQ(pick.storageKey, QStringLiteral("TFWarrantEdit::ed_FoundationButtonClick"));
        EXPECT_EQ(pick.caption, QStringLiteral("Справочник типов ордеров"));
        pick.wrapper->open();
        data::Dataset* ds = pick.wrapper->getDataSet();
        std::map<QString, core::Variant> row;
        for (ds->first(); !ds->eof(); ds->next()) {
            listed.push_back(ds->fieldByName(QStringLiteral("ID")).asInteger());
            if (listed.back() == own) {
                for (const char* f : {"ACCOUNT_NUMBER", "OPERATION_SUBJECT", "FOUNDATION"})
                    row[QString::fromLatin1(f)] = ds->fieldByName(QString::fromLatin1(f)).value();
            }
        }
        return row;
    });
    auto d = newDialog();
    d->cb_Type->setCurrentIndex(1);
    d->ed_Foundation->clickButton();
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(listed, std::vector<int>{own});
    EXPECT_EQ(d->ed_AccountNumber->text(), QStringLiteral("377"));
    EXPECT_EQ(d->ed_OperationSubject->text(), QStringLiteral("Видача готівки"));
    EXPECT_EQ(d->ed_Foundation->text(), QStringLiteral("Видача готівки (підстава)"));

    // The date: only for a manager or with the agents' right.
    EXPECT_FALSE(d->de_Date->isEnabled());
    allowDate();
    EXPECT_TRUE(newDialog()->de_Date->isEnabled());
}

}  // namespace
