// The services lists over a real database: pricing, saving, splitting, the two-workstation rules of
// rows under -1, and the contract layer calling the real lists.

#include <gtest/gtest.h>

#include "PenaltyOperations.h"
#include "ServicesRows.h"
#include "kv_Translator.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Query.h"
#include "tests/src/contracts/HooksRecording.h"
#include "tests/support/ErrorText.h"

using namespace desktest;
using namespace TolvLogic;
using core::DateTime;

namespace {

class AddServicesTest : public ContractSuite {
protected:
    void SetUp() override {
        clearServices();
        dialog = udb::createTransaction(TolvMain::getZarvelDb());
        dialog->setDefaultAction(fb::TransactionAction::Rollback);
    }
    int count(const QString& where, fb::Transaction* transaction = nullptr) {
        return scalar(QStringLiteral("select count(*) as V from ADD_SERVICES where ") + where, transaction)
            .toInt();
    }

    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scope{&boxes};
    std::unique_ptr<fb::Transaction> dialog;  // the dialog's transaction
};

TEST_F(AddServicesTest, ANewContractsAutomaticServicesArePricedWhenTheParametersCome) {
    newService(QStringLiteral("Оценка"), astCONTRACT, QStringLiteral("CONTR_SUM*0.01"), true);
    newService(QStringLiteral("Страховка"), astCONTRACT, QStringLiteral("50"), true);
    newService(QStringLiteral("Хранение"), astCONTRACT, QStringLiteral("CONTR_SUM*0.1"), false);
    newService(QStringLiteral("Закрытие"), astCLOSE, QStringLiteral("1"), true);
    NewContractService list(-1, day(5, 3), dialog.get());
    ListGrid grid;
    int changes = 0;
    list.onChange = [&] { ++changes; };
    list.bindGridEh(&grid);
    EXPECT_EQ(shownServices(list), QStringLiteral("Оценка:0 Страховка:0"));
    EXPECT_TRUE(grid.gridEnabled());
    EXPECT_EQ(grid.footerRowCount(), 1);
    EXPECT_EQ(grid.editActions(), unsigned(grid::GridView::Update));

    list.setContrSum(1000.0, true);
    EXPECT_EQ(shownServices(list), QStringLiteral("Оценка:1000 Страховка:5000"));
    EXPECT_EQ(grid.columns()[0].footer, QStringLiteral("Итого:"));
    EXPECT_EQ(grid.columns()[1].footer, QStringLiteral("60.00"));
    EXPECT_EQ(grid.columns()[1].title, QStringLiteral("Цена, грн"));
    EXPECT_EQ(changes, 2);  // one per repriced row
    EXPECT_EQ(list.getTotal(true), 6000);
    EXPECT_EQ(list.getTotal(false), 6000);

    // An inactive service comes only when added, priced at once from the parameters held.
    changes = 0;
    const int storage =
        scalar(QStringLiteral("select ID as V from DIR_ADD_SERVICES where NAME = 'Хранение'")).toInt();
    list.addService(storage, QStringLiteral("Хранение"));
    EXPECT_EQ(shownServices(list), QStringLiteral("Оценка:1000 Страховка:5000 Хранение:10000"));
    EXPECT_EQ(grid.columns()[1].footer, QStringLiteral("160.00"));
    EXPECT_EQ(list.getDataSet()->recNo(), 3);
    EXPECT_EQ(changes, 2);  // the row's post and the addition
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AddServicesTest, SavingKeepsEveryRowNotPricedZero) {
    const int a = newService(QStringLiteral("A"), astOP_PAY, QStringLiteral("OP_SUM*0.1"), true);
    const int b = newService(QStringLiteral("B"), astOP_PAY, QString(), true);
    newService(QStringLiteral("C"), astOP_PAY, QStringLiteral("50"), true);
    const auto price = [](NewOperationPayService& list, int serviceId, int hundredths) {
        data::Dataset& ds = *list.getDataSet();
        ASSERT_TRUE(ds.locate(QStringLiteral("ID_SERVICE"), serviceId));
        ds.edit();
        ds.fieldByName(QStringLiteral("PRICE")).setValue(hundredths);
        ds.post();
    };
    struct Case {
        const char* name;
        std::function<void(NewOperationPayService&)> fill;
        QString kept;
    };
    const std::vector<Case> cases = {
        {"all zero", [](NewOperationPayService&) {}, QString()},
        {"10, 0, 50", [](NewOperationPayService& l) { l.setOpSum(100.0, true); },
         QStringLiteral("A:1000 C:5000")},
        {"+10 and -10",
         [&](NewOperationPayService& l) {
             price(l, a, 1000);
             price(l, b, -1000);
         },
         QStringLiteral("A:1000 B:-1000")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int opId = udb::genId(QStringLiteral("GEN_OPERATIONS_ID"));
        {
            NewOperationPayService list(-1, day(5, 3), dialog.get());
            c.fill(list);
            list.save(opId, false);
            EXPECT_EQ(list.getObjectId(), opId);
            EXPECT_EQ(storedServices(opId, dialog.get()), c.kept);
            EXPECT_EQ(count(QStringLiteral("ID_OBJ = -1"), dialog.get()), 0);
        }
        dialog->commit();
        EXPECT_EQ(storedServices(opId), c.kept);
    }
    // An existing object: read as stored, without repricing; saving under the same id drops zeros.
    const int opId = scalar(QStringLiteral("select max(ID_OBJ) as V from ADD_SERVICES")).toInt();
    NewOperationPayService stored(opId, day(5, 3), dialog.get());
    EXPECT_EQ(shownServices(stored), QStringLiteral("A:1000 B:-1000"));
    stored.setOpSum(0.0, false);
    EXPECT_EQ(shownServices(stored), QStringLiteral("A:1000 B:-1000"));
    stored.setOpSum(50.0, true);  // B has no formula: repriced to 0.00
    EXPECT_EQ(shownServices(stored), QStringLiteral("A:500 B:0"));
    stored.save(opId, true);
    EXPECT_FALSE(dialog->inTransaction());
    EXPECT_EQ(storedServices(opId), QStringLiteral("A:500"));
}

TEST_F(AddServicesTest, TheCashSplitPutsNegativePricesInTheExpenseList) {
    newService(QStringLiteral("A"), astOP_INC, QStringLiteral("10"), true);
    newService(QStringLiteral("B"), astOP_INC, QString(), true);
    newService(QStringLiteral("C"), astOP_INC, QStringLiteral("1"), true);
    NewOperationIncService list(-1, day(5, 3), dialog.get());
    list.recalc();
    data::Dataset& ds = *list.getDataSet();
    ds.last();
    ds.edit();
    ds.fieldByName(QStringLiteral("PRICE")).setText(QStringLiteral("-20.00"));
    ds.post();
    ServicesCashType split(&list, true);
    const auto names = [](ufb::RxMemWrapper& l) {
        QStringList out;
        data::Dataset& d = *l.getDataSet();
        for (d.first(); !d.eof(); d.next()) {
            out << d.fieldByName(QStringLiteral("NAME")).asString() + u':' +
                       d.fieldByName(QStringLiteral("PRICE")).asString();
        }
        return out.join(u' ');
    };
    EXPECT_EQ(names(*split.getReceipt()), QStringLiteral("A:1000 B:0"));
    EXPECT_EQ(names(*split.getExpense()), QStringLiteral("C:-2000"));
    EXPECT_EQ(ds.recNo(), 3);  // the list keeps its place
    // The contract layer reads the same rows.
    ServicesList& hook = list;
    EXPECT_EQ(hook.rows().fieldByName(QStringLiteral("PRICE")).asInteger(), -2000);
}

TEST_F(AddServicesTest, EventNamesCodesAndTheParameterHelp) {
    EXPECT_EQ(AddServices::scGetServiceName(astOP_INC), QStringLiteral("Операция увеличения кредита"));
    EXPECT_EQ(AddServices::scGetServiceCode(astSALEDOWN), QStringLiteral("SALEDOWN"));
    EXPECT_EQ(AddServices::scGetServiceName(astALL), QString());
    EXPECT_EQ(AddServices::scGetServiceCode(astALL), QString());
    EXPECT_EQ(tolvtest::errorText([] { AddServices::scGetServiceName(5); }),
              QStringLiteral("Для данного события нет названия"));
    EXPECT_EQ(tolvtest::errorText([] { AddServices::scGetServiceCode(5); }),
              QStringLiteral("Для данного события нет названия кода"));
    EXPECT_EQ(tolvtest::errorText([&] { AddServices list(5, -1, day(5, 3), dialog.get()); }),
              QStringLiteral("Для данного события нет названия"));
    const QString help = AddServices::scGetParametersHelp();
    EXPECT_TRUE(help.startsWith(QStringLiteral("CONTR_PRICE - Оценка по договору\nCONTR_SUM - ")));
    EXPECT_TRUE(help.endsWith(QStringLiteral("\nPENALTY_DAYS_CUR - Текущий срок пользования кредитом")));
    EXPECT_EQ(help.count(u'\n'), 5);
}

TEST_F(AddServicesTest, SetDateMovesTheRowsOnlyWhenTheDateChanges) {
    newService(QStringLiteral("A"), astCONTRACT, QStringLiteral("10"), true);
    NewContractService list(-1, day(5, 3, 2009), dialog.get());
    const auto updates = [&] {
        return scalar(QStringLiteral(
                          "select count(*) as V from LOG where LOG_TABLE = 'ADD_SERVICES' and LOG_TYPE = 2"),
                      dialog.get())
            .toInt();
    };
    const int before = updates();
    list.setDate(day(5, 3, 2009));
    EXPECT_EQ(updates(), before);  // no statement ran
    list.setDate(day(6, 4, 2009));
    EXPECT_EQ(updates(), before + 1);
    EXPECT_EQ(scalar(QStringLiteral("select DATA as V from ADD_SERVICES where ID_OBJ = -1"), dialog.get())
                  .toDateTime(),
              day(6, 4, 2009));
    EXPECT_EQ(list.getDataSet()->recordCount(), 1);
    // The statements write dates day first: 5 March stays 5 March.
    list.setDate(day(5, 3, 2009));
    EXPECT_EQ(scalar(QStringLiteral("select DATA as V from ADD_SERVICES where ID_OBJ = -1"), dialog.get())
                  .toDateTime(),
              day(5, 3, 2009));
}

TEST_F(AddServicesTest, ABadFormulaShowsTheBoxAndPricesZero) {
    newService(QStringLiteral("A"), astCONTRACT, QStringLiteral("CONTR_SUMM*2"), true);
    NewContractService list(-1, day(5, 3), dialog.get());
    list.setContrSum(1000.0, true);
    EXPECT_EQ(shownServices(list), QStringLiteral("A:0"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("1000M*2")));
}

// A dialog on one workstation and a list of the same event on another: neither sees, moves or drops
// the other's rows under -1, and the dialog's Cancel undoes all of its rows.
TEST_F(AddServicesTest, RowsOfANewObjectBelongToTheirListOnly) {
    newService(QStringLiteral("A"), astOP_PAY, QStringLiteral("OP_SUM*0.01"), true);
    fb::Database other(testDb().path());
    other.open();
    std::unique_ptr<fb::Transaction> otherDialog = udb::createTransaction(&other);
    otherDialog->setDefaultAction(fb::TransactionAction::Rollback);

    auto mine = std::make_unique<NewOperationPayService>(-1, day(5, 3), dialog.get());
    mine->setOpSum(200.0, true);
    // A list in the same transaction (the operation dialog switching events back and forth).
    {
        NewOperationPayService second(-1, day(5, 3), dialog.get());
        EXPECT_EQ(shownServices(second), QStringLiteral("A:0"));
        second.setOpSum(500.0, true);
        second.save(-1, false);
    }
    EXPECT_EQ(shownServices(*mine), QStringLiteral("A:200"));
    EXPECT_EQ(count(QStringLiteral("ID_OBJ = -1"), dialog.get()), 1);  // the second list dropped only its own

    NewOperationPayService theirs(-1, day(5, 3), otherDialog.get());
    theirs.setOpSum(300.0, true);
    const int theirOp = 900001;
    theirs.save(theirOp, false);
    otherDialog->commit();
    EXPECT_EQ(storedServices(theirOp), QStringLiteral("A:300"));
    EXPECT_EQ(count(QStringLiteral("ID_OBJ = -1")), 0);  // nothing under -1 was ever committed

    mine->setOpSum(100.0, true);
    EXPECT_EQ(mine->getTotal(false), 100);
    mine.reset();
    dialog->rollback();
    EXPECT_EQ(count(QStringLiteral("ID_OBJ = -1")), 0);
    EXPECT_EQ(storedServices(theirOp), QStringLiteral("A:300"));
}

TEST_F(AddServicesTest, TheArticleLookupNamesTheServiceItCannotNumber) {
    installServicesFactory();
    const int numbered = newService(QStringLiteral("Оценка"), astCONTRACT, QString(), false, 93);
    const int bare = newService(QStringLiteral("Страховка"), astCONTRACT, QString(), false);
    EXPECT_EQ(serviceArticleNum(numbered), 93);
    EXPECT_EQ(tolvtest::errorText([&] { serviceArticleNum(bare); }),
              QStringLiteral("У услуги 'Страховка' (код %1) не задан номер артикула").arg(bare));
    EXPECT_EQ(tolvtest::errorText([] { serviceArticleNum(987654); }),
              QStringLiteral("Услуга с кодом 987654 не найдена в справочнике дополнительных услуг"));
    setServicesFactory(nullptr);
}

TEST_F(AddServicesTest, TaxLettersAreKeptPerServiceInTheSettingsFile) {
    udb::execSql(QStringLiteral("insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (7, 'Оценка', 0)"));
    udb::execSql(
        QStringLiteral("insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (8, 'Хранение', 1)"));
    OwnSettingsFile ini("[FISCAL_MARIYA]\r\nADD_SRVS_8_TAX1=12\r\nADD_SRVS_8_TAX2=1\r\n");
    const QStringList names = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")};
    ListGrid grid;
    DirAddServicesTax taxes(&names, &grid);
    EXPECT_EQ(grid.columns()[1].title, QStringLiteral("Налог 1"));
    EXPECT_EQ(grid.editActions(), unsigned(grid::GridView::Update));
    data::Dataset& ds = *taxes.getDataSet();
    ASSERT_TRUE(ds.locate(QStringLiteral("ID"), 8));
    EXPECT_EQ(grid::shownValue(grid.columns()[1], ds.fieldByName(QStringLiteral("TAX1")).asString()),
              QStringLiteral("А"));  // beyond the names: the first
    EXPECT_EQ(grid::shownValue(grid.columns()[2], ds.fieldByName(QStringLiteral("TAX2")).asString()),
              QStringLiteral("Б"));
    ASSERT_TRUE(ds.locate(QStringLiteral("ID"), 7));
    ds.edit();
    ds.fieldByName(QStringLiteral("TAX1")).setValue(2);
    ds.fieldByName(QStringLiteral("TAX2")).setValue(2);
    ds.post();
    taxes.writeTaxes();
    EXPECT_FALSE(ds.active());
    EXPECT_EQ(
        utl::SettingsFile::readInt(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("ADD_SRVS_7_TAX1"), -1),
        2);
    EXPECT_EQ(
        utl::SettingsFile::readInt(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("ADD_SRVS_7_TAX2"), -1),
        2);
    EXPECT_EQ(DirAddServicesTax::scGetTaxKey(7), QStringLiteral("ADD_SRVS_7_TAX"));
}

// The contract layer with the real lists: the services move to the new operation, a deleted
// operation or contract takes its services with it, and the placeholder list leaves nothing under -1.
class ServicesEndToEndTest : public AddServicesTest {
protected:
    void SetUp() override {
        AddServicesTest::SetUp();
        installServicesFactory();
        setWarrantCalculationFactory(&warrants);
    }
    void TearDown() override {
        setServicesFactory(nullptr);
        setWarrantCalculationFactory(nullptr);
        AddServicesTest::TearDown();
    }
    Recorder recorder;
    RecordingWarrants warrants{recorder};
};

TEST_F(ServicesEndToEndTest, DeletedObjectsTakeTheirServicesWithThem) {
    newService(QStringLiteral("Погашение"), astOP_PAY, QStringLiteral("OP_SUM*0.01"), true);
    const int contractFee = newService(QStringLiteral("Оценка"), astCONTRACT, QStringLiteral("20"), false, 0,
                                       QStringLiteral("VALUATION"));
    const int contract = newContract({.clientId = newClient(QStringLiteral("Дем'яненко"))});

    TPenaltyOperations operations(TolvMain::getZarvelDb(), nullptr);
    TPenaltyOperationInfo op;
    op.setValue(TPenaltyOperationInfo::oDEPOSIT_ID, contract);
    op.setValue(TPenaltyOperationInfo::oOP_DATE, day(10, 3));
    op.setValue(TPenaltyOperationInfo::oOP_SUM, 50000);
    op.setValue(TPenaltyOperationInfo::oOP_STORAGE_SUM, 0);
    op.setValue(TPenaltyOperationInfo::oOP_PERC_SUM, 0);
    op.setValue(TPenaltyOperationInfo::oOP_PENALTY_SUM, 0);
    op.setValue(TPenaltyOperationInfo::oNON_CALC_DAYS, 0);
    {
        NewOperationPayService list(-1, day(10, 3), dialog.get());
        list.setOpSum(500.0, true);
        op.setTransaction(dialog.get());
        operations.insertOperation(op, &list);
        dialog->commit();
    }
    const int opId = op.getValue(TPenaltyOperationInfo::oOP_ID).toInt();
    EXPECT_EQ(storedServices(opId, astOP_PAY), QStringLiteral("Погашение:500"));
    {
        NewContractService list(contract, day(5, 3), nullptr);
        list.addService(contractFee, QStringLiteral("Оценка"));
        list.save(contract, true);
    }
    EXPECT_EQ(storedServices(contract, astCONTRACT), QStringLiteral("Оценка:2000"));

    TPenaltyOperationInfo stored(opId, false);
    operations.deleteOperation(stored, nullptr);  // the placeholder list made its own rows under -1
    EXPECT_EQ(storedServices(opId, astOP_PAY), QString());
    EXPECT_EQ(storedServices(contract, astCONTRACT), QStringLiteral("Оценка:2000"));
    EXPECT_EQ(count(QStringLiteral("ID_OBJ = -1")), 0);

    TPenaltyContractInfo info(nullptr);
    info.setContractValue(TPenaltyContractInfo::cCONTRACT_ID, contract);
    info.remove();
    EXPECT_EQ(storedServices(contract, astCONTRACT), QString());
    EXPECT_EQ(count(QStringLiteral("ID_OBJ = -1")), 0);
}

}  // namespace
