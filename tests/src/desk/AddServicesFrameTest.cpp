// The services frame driven as a user would: adding from the directory form, deleting, and the
// directory form's own transaction, seen from a second workstation.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "Book.h"
#include "fr_AddServices.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/ui/DbGrid.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/src/desk/ServicesRows.h"

using namespace desktest;
using namespace TolvLogic;
using tolvtest::onModal;

namespace {

class AddServicesFrameTest : public ContractSuite {
protected:
    void SetUp() override {
        clearServices();
        dialog = udb::createTransaction(TolvMain::getZarvelDb());
        dialog->setDefaultAction(fb::TransactionAction::Rollback);
    }
    int temporaryRows(fb::Transaction* transaction = nullptr) {
        return scalar(QStringLiteral("select count(*) as V from ADD_SERVICES where ID_OBJ = -1"), transaction)
            .toInt();
    }
    // Picks the named row of the directory form, or cancels it for an empty name.
    static void pick(const QString& name, QStringList* offered = nullptr) {
        onModal<ufb::TBookForm>([name, offered](ufb::TBookForm& form) {
            data::Dataset& ds = *form.DataSource1.dataSet();
            if (offered) {
                for (ds.first(); !ds.eof(); ds.next())
                    *offered << ds.fieldByName(QStringLiteral("NAME")).asString();
            }
            if (name.isEmpty()) {
                form.bt_Cancel->click();
                return;
            }
            ds.locate(QStringLiteral("NAME"), name);
            form.btn_OK->click();
        });
    }

    tolvtest::ScopedUserIni userIni;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scope{&boxes};
    std::unique_ptr<fb::Transaction> dialog;
    QWidget owner;
};

TEST_F(AddServicesFrameTest, AddingAndDeletingGoThroughTheList) {
    newService(QStringLiteral("Оценка"), astOP_PAY, QStringLiteral("OP_SUM*0.01"), false, 91);
    newService(QStringLiteral("Справка"), astOP_PAY, QStringLiteral("5"), false, 92);
    newService(QStringLiteral("Переоценка"), astOP_INC, QStringLiteral("1"), false, 93);
    NewOperationPayService list(-1, day(5, 3), dialog.get());
    NewOperationIncService increase(-1, day(5, 3), dialog.get());
    list.setOpSum(200.0, true);
    int changes = 0;
    list.onChange = [&] { ++changes; };
    TFr_AddServicesList frame(&owner, dialog.get(), nullptr, &list);
    frame.resize(300, 150);
    EXPECT_FALSE(frame.gr_Prices->isEnabled());
    frame.b_DeleteService->click();
    EXPECT_TRUE(boxes.shown.empty());

    QStringList offered;
    pick(QString(), &offered);
    frame.b_AddService->click();
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Оценка"), QStringLiteral("Справка")}));
    EXPECT_EQ(shownServices(list), QString());
    EXPECT_EQ(changes, 0);

    pick(QStringLiteral("Оценка"));
    frame.b_AddService->click();
    EXPECT_EQ(shownServices(list), QStringLiteral("Оценка:200"));
    EXPECT_TRUE(frame.gr_Prices->isEnabled());
    EXPECT_EQ(frame.gr_Prices->columns()[1].footer, QStringLiteral("2.00"));
    EXPECT_GT(changes, 0);

    boxes.answers = {ui::ModalResult::No};
    frame.b_DeleteService->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Удалить доп.услугу 'Оценка'?"));
    EXPECT_EQ(boxes.shown[0].buttons, ui::Buttons(ui::Button::Yes) | ui::Button::No);
    EXPECT_EQ(shownServices(list), QStringLiteral("Оценка:200"));
    boxes.answers = {ui::ModalResult::Yes};
    frame.b_DeleteService->click();
    EXPECT_EQ(shownServices(list), QString());
    EXPECT_FALSE(frame.gr_Prices->isEnabled());
    EXPECT_EQ(frame.gr_Prices->columns()[1].footer, QStringLiteral("0.00"));

    // The operation turns into a loan increase: the picker offers the increase services.
    frame.setServices(&increase);
    offered.clear();
    pick(QString(), &offered);
    frame.b_AddService->click();
    EXPECT_EQ(offered, QStringList{QStringLiteral("Переоценка")});
}

TEST_F(AddServicesFrameTest, EditingTheDirectoryInThePickerCommitsNothingOfTheDialog) {
    newService(QStringLiteral("Оценка"), astOP_PAY, QStringLiteral("OP_SUM*0.01"), true, 91);
    fb::Database other(testDb().path());
    other.open();
    NewOperationPayService list(-1, day(5, 3), dialog.get());
    list.setOpSum(200.0, true);
    TFr_AddServicesList frame(&owner, dialog.get(), nullptr, &list);

    // The user switches the picker to editing, adds a service, switches back and picks it.
    onModal<ufb::TBookForm>([](ufb::TBookForm& form) {
        form.rg_ModeItem0->click();
        data::Dataset& ds = *form.DataSource1.dataSet();
        ds.append();
        ds.fieldByName(QStringLiteral("NAME")).setValue(QStringLiteral("Срочность"));
        ds.fieldByName(QStringLiteral("ID_EVENT")).setValue(1);
        ds.fieldByName(QStringLiteral("FORMULA")).setValue(QStringLiteral("7"));
        ds.post();
        form.rg_ModeItem1->click();
        ds.locate(QStringLiteral("NAME"), QStringLiteral("Срочность"));
        form.btn_OK->click();
    });
    frame.b_AddService->click();
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(shownServices(list), QStringLiteral("Оценка:200 Срочность:700"));

    // The new service is committed; the dialog's rows are not, on this workstation or another.
    std::unique_ptr<fb::Transaction> there = udb::createTransaction(&other);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) as V from DIR_ADD_SERVICES where NAME = 'Срочность'"),
                     there.get())
                  .toInt(),
              1);
    EXPECT_EQ(temporaryRows(there.get()), 0);
    EXPECT_EQ(temporaryRows(), 0);
    EXPECT_EQ(temporaryRows(dialog.get()), 2);

    // Cancel undoes every row of the dialog.
    dialog->rollback();
    EXPECT_EQ(temporaryRows(), 0);
    there->commit();
}

}  // namespace
