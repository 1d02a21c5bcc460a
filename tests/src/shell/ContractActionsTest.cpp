// The main window's actions on contracts and operations over the demo database: the questions they
// ask, what they write, what they refuse, the batch deletion being all or nothing, the windows of the
// desk reached through the contract dialogs, and the act lookups that decide a sale.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>

#include "PenaltyContracts.h"
#include "PenaltyInfoFrameUnit.h"
#include "PenaltyOperationEdit.h"
#include "U_LoggedUser.h"
#include "f_Main.h"
#include "f_PenaltyOrderEdit.h"
#include "kv_FbUtil.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"
#include "platform/grid/GridView.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Translations.h"
#include "tests/src/contracts/HooksRecording.h"
#include "tests/src/shell/ShellFixture.h"
#include "u_Act.h"
#include "u_ContractDialogs.h"
#include "u_DeskWindows.h"
#include "u_VersionConfig.h"

namespace {

using contracttest::scalar;
using TolvMain::TFMain;
using ui::ModalResult;

int count(const QString& sql) {
    return scalar(QStringLiteral("select count(*) as V from ") + sql).toInt();
}

int contractOf(const QString& client) {
    return scalar(QStringLiteral("select C.CONTRACT_ID as V from PENALTY_CONTRACTS C join CLIENTS CL on "
                                 "CL.CLIENT_ID = C.CLIENT_ID where CL.CLIENT_NAME starting with %1")
                      .arg(contracttest::lit(client)))
        .toInt();
}

int stateOf(int contractId) {
    return scalar(QStringLiteral("select CONTRACT_STATE as V from PENALTY_CONTRACTS where CONTRACT_ID = %1")
                      .arg(contractId))
        .toInt();
}

// The desk's windows as a test plays them: each call is written down and answered with `answer`.
struct RecordingDialogs {
    QStringList calls;
    int answer = TolvMain::mrOk;
    RecordingDialogs() {
        auto& d = TolvMain::contractDialogs();
        auto date = [](core::DateTime t) { return core::dateToStr(t); };
        d.scNewContract = [this, date](core::DateTime t, KassRegister::FiscalRegister*) {
            calls << QStringLiteral("scNewContract ") + date(t);
            return answer;
        };
        d.scEditContract = [this, date](int id, core::DateTime t) {
            calls << QStringLiteral("scEditContract %1 ").arg(id) + date(t);
            return answer;
        };
        d.scNewOperation = [this, date](int id, core::DateTime t, KassRegister::FiscalRegister*) {
            calls << QStringLiteral("scNewOperation %1 ").arg(id) + date(t);
            return answer;
        };
        d.scEditOperation = [this](int id, int opId) {
            calls << QStringLiteral("scEditOperation %1 %2").arg(id).arg(opId);
            return answer;
        };
        d.TToSaleForm = [this, date](QWidget*, core::DateTime t, int id) {
            calls << QStringLiteral("TToSaleForm %1 ").arg(id) + date(t);
            return answer;
        };
        d.scTakeOffSale = [this, date](int id, core::DateTime t, KassRegister::FiscalRegister*) {
            calls << QStringLiteral("scTakeOffSale %1 ").arg(id) + date(t);
            return answer;
        };
        d.scShowZayavlenie = [this, date](int id, core::DateTime t) {
            calls << QStringLiteral("scShowZayavlenie %1 ").arg(id) + date(t);
            return answer;
        };
        d.scShowSale = [this, date](QWidget*, int id, core::DateTime t) {
            calls << QStringLiteral("scShowSale %1 ").arg(id) + date(t);
            return answer;
        };
    }
};

// The cash layer refusing the orders of one contract.
class FailingWarrants : public TolvLogic::WarrantCalculationFactory {
public:
    explicit FailingWarrants(int contractId) : contractId_(contractId) {}
    std::unique_ptr<TolvLogic::WarrantCalculation> scCreate(core::DateTime, int, fb::Transaction*) override {
        return std::make_unique<Calculation>(*this);
    }
    int reached = 0;

private:
    struct Calculation : TolvLogic::WarrantCalculation {
        explicit Calculation(FailingWarrants& owner) : owner_(owner) {}
        void recalc(core::DateTime, TolvLogic::TPenaltyContractInfo& contract, const QString&,
                    TolvLogic::TPenaltyOperationInfo*, TolvLogic::ServicesList*, const QString&) override {
            if (contract.getContractValue(TolvLogic::TPenaltyContractInfo::cCONTRACT_ID).toInt() !=
                owner_.contractId_)
                return;
            ++owner_.reached;
            throw core::Exception(QStringLiteral("касовий ордер не записано"));
        }
        FailingWarrants& owner_;
    };
    int contractId_;
};

class ContractActionsTest : public tolvtest::MainWindowFixture {
protected:
    void SetUp() override {
        folder.withDemoDatabase();
        makeWindow();
    }
    void TearDown() override {
        TolvMain::contractDialogs() = {};
        MainWindowFixture::TearDown();
    }
    void login(const QString& name = QStringLiteral("MANAGER")) {
        ASSERT_TRUE(main->loginDialog.checkUser(name, QStringLiteral("any")));
        main->applyRights();
        main->createGlobalLists();
        showAll();
    }
    // The whole list again, as the search panel's reopen would show it.
    void showAll() {
        TolvMain::globalVersionConfig->getContracts()->clearFilter();
        main->reloadAtContract(-1);
    }
    data::Dataset& rows() { return *main->ContractsDS->dataSet(); }
    // Makes the contract the current row of the list.
    void select(int contractId) { ASSERT_TRUE(rows().locate(QStringLiteral("CONTRACT_ID"), contractId)); }
    // The handlers keep their own checks whatever the enabled states, which the list sets after a
    // pause: each action is run as enabled.
    void trigger(const char* name) {
        QAction* a = main->action(QString::fromLatin1(name));
        a->setEnabled(true);
        a->trigger();
    }
    QString text(const char* key) { return main->message(QString::fromLatin1(key)); }

    contracttest::RecordingHooks hooks;
};

TEST_F(ContractActionsTest, DeletingOneContractAsksItsNumberAndKeepsTheRowNumber) {
    login();
    const int rowsBefore = rows().recordCount();
    const int id = contractOf(QStringLiteral("Іваненко"));
    select(id);
    const int recNo = rows().recNo();
    const QString number = TolvLogic::TPenaltyContracts::NumberById(id);
    boxes.answers = {ModalResult::No};
    trigger("DeleteContractAct");
    ASSERT_EQ(boxes.texts(), QStringList{text("IDS_41") + number + u'?'});
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1").arg(id)), 1);

    boxes.shown.clear();
    boxes.answers = {ModalResult::Yes};
    trigger("DeleteContractAct");
    EXPECT_EQ(boxes.texts(), QStringList{text("IDS_41") + number + u'?'});
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1").arg(id)), 0);
    EXPECT_EQ(rows().recordCount(), rowsBefore - 1);
    EXPECT_EQ(rows().recNo(), recNo);
}

TEST_F(ContractActionsTest, DeletingSeveralContractsAsksOnceAndDeletesThemAll) {
    login();
    const int first = contractOf(QStringLiteral("Мар'яненко"));
    const int second = contractOf(QStringLiteral("Дем'яненко"));
    for (int id : {first, second}) {
        select(id);
        main->gr_Contracts->selectBookmark(rows().bookmark());
    }
    boxes.answers = {ModalResult::Yes};
    trigger("DeleteContractAct");
    EXPECT_EQ(boxes.texts(), QStringList{text("IDS_24")});
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID in (%1, %2)").arg(first).arg(second)), 0);
    EXPECT_TRUE(main->gr_Contracts->selectedBookmarks().empty());
    EXPECT_FALSE(rows().locate(QStringLiteral("CONTRACT_ID"), first));
}

// Everything a batch deletion could touch.
QString snapshot() {
    QStringList parts;
    for (const char* table : {"PENALTY_CONTRACTS", "PENALTY_DEPOSITS", "PENALTY_OPERATIONS", "SUBJECTS", "SALES",
                              "TOSALE", "ZAYAVLENIYA", "WARRANTES", "ADD_SERVICES"})
        parts << QStringLiteral("%1=%2").arg(QString::fromLatin1(table)).arg(count(QString::fromLatin1(table)));
    return parts.join(u' ');
}

TEST_F(ContractActionsTest, ABatchWhoseThirdContractIsInAnActDeletesNone) {
    login();
    // Ascending ids: the sold, the on-sale and the closed contract, the last of them in an act.
    const int ids[] = {contractOf(QStringLiteral("Сидоров")), contractOf(QStringLiteral("Шевчук")),
                       contractOf(QStringLiteral("Коваленко"))};
    ASSERT_TRUE(ids[0] < ids[1] && ids[1] < ids[2]);
    udb::execSql(QStringLiteral("insert into ACT (ID, NUM, ACT_DATE, ID_WARE_FROM, ID_WARE_TO) "
                                "values (901, 'А-7', current_date, 1, 2)"));
    udb::execSql(QStringLiteral("insert into ACT_SUBJ (ID, ID_ACT, ID_CONTRACT) values (901, 901, %1)").arg(ids[2]));
    const QString before = snapshot();
    for (int id : ids) {
        select(id);
        main->gr_Contracts->selectBookmark(rows().bookmark());
    }
    boxes.answers = {ModalResult::Yes};
    trigger("DeleteContractAct");
    ASSERT_EQ(boxes.shown.size(), 2u) << boxes.texts().join(u'|').toStdString();
    EXPECT_EQ(boxes.shown[1].type, ui::MsgType::Error);
    EXPECT_TRUE(boxes.shown[1].text.contains(QStringLiteral("Этот договор добавлен в акт №")))
        << boxes.shown[1].text.toStdString();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ContractActionsTest, ACashOrderFailingAtAnyContractOfABatchKeepsAllThree) {
    login();
    const int ids[] = {contractOf(QStringLiteral("Іваненко")), contractOf(QStringLiteral("Дем'яненко")),
                       contractOf(QStringLiteral("Мар'яненко"))};
    const QString before = snapshot();
    for (int failing : ids) {
        FailingWarrants warrants(failing);
        TolvLogic::setWarrantCalculationFactory(&warrants);
        main->gr_Contracts->clearSelectedBookmarks();
        for (int id : ids) {
            select(id);
            main->gr_Contracts->selectBookmark(rows().bookmark());
        }
        boxes.shown.clear();
        boxes.answers = {ModalResult::Yes};
        trigger("DeleteContractAct");
        TolvLogic::setWarrantCalculationFactory(&hooks.warrants);
        EXPECT_GT(warrants.reached, 0) << failing;
        ASSERT_EQ(boxes.shown.size(), 2u) << boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(boxes.shown[1].text, QStringLiteral("касовий ордер не записано"));
        EXPECT_EQ(snapshot(), before) << failing;
    }
}

TEST_F(ContractActionsTest, OnlyTheLastOperationIsDeletedAndTheListIsNotReloaded) {
    login();
    const int id = contractOf(QStringLiteral("Іваненко"));
    const core::DateTime lastDay = core::DateTime::today().addDays(-5);
    udb::execSql(QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_DATE) "
                                "values (gen_id(GEN_OPERATIONS_ID, 1), %1, 100000, 0, %2)")
                     .arg(id)
                     .arg(contracttest::lit(lastDay)));
    main->reloadAtContract(id);
    data::Dataset& ops = *main->OpsDS->dataSet();
    ASSERT_EQ(ops.recordCount(), 2);

    ops.first();
    trigger("DeleteOpAct");
    EXPECT_EQ(boxes.texts(), QStringList{text("IDS_94")});
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(id)), 2);

    // The contract's number changes behind the window: a reloaded list would show the new one.
    const QString number = rows().fieldByName(QStringLiteral("CONTRACT_NUM")).asString();
    udb::execSql(
        QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_NUM = 'X-1' where CONTRACT_ID = %1").arg(id));
    QStringList steps;
    TFMain::setStepRecorder([&](const QString& s) { steps << s; });
    hooks.recorder.log.clear();
    boxes.shown.clear();
    ops.last();
    boxes.answers = {ModalResult::Yes};
    trigger("DeleteOpAct");
    TFMain::setStepRecorder({});
    EXPECT_EQ(boxes.texts(), QStringList{text("IDS_3")});
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(id)), 1);
    // The orders of its day were regenerated.
    EXPECT_TRUE(QStringList(hooks.recorder.log.begin(), hooks.recorder.log.end()).join(u'|').contains(QStringLiteral("calc ") + core::dateToStr(lastDay)))
        << QStringList(hooks.recorder.log.begin(), hooks.recorder.log.end()).join(u'|').toStdString();
    EXPECT_EQ(main->OpsDS->dataSet()->recordCount(), 1);
    EXPECT_EQ(rows().fieldByName(QStringLiteral("CONTRACT_NUM")).asString(), number);
    EXPECT_TRUE(steps.contains(QStringLiteral("recalcDebt")));
}

TEST_F(ContractActionsTest, ArchivingAClosedContractAsksNothingAnOpenOneNeedsAManagersOk) {
    struct Case {
        const char* user;
        const char* client;
        std::vector<ModalResult> answers;
        QStringList keys;  // the boxes shown
        int archived;
    };
    const Case cases[] = {
        {"MANAGER", "Коваленко", {}, {}, 1},
        {"MANAGER", "Дем'яненко", {ModalResult::Ok}, {"IDS_56"}, 1},
        {"MANAGER", "Дем'яненко", {ModalResult::Cancel}, {"IDS_56"}, 0},
        {"KASSA1", "Дем'яненко", {}, {"IDS_58"}, 0},
        {"KASSA1", "Сидоров", {}, {}, 1},
    };
    for (const Case& c : cases) {
        login(QString::fromLatin1(c.user));
        const int id = contractOf(QString::fromUtf8(c.client));
        udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set IS_ARCHIVE = 0 where CONTRACT_ID = %1").arg(id));
        showAll();
        select(id);
        boxes.shown.clear();
        boxes.answers.assign(c.answers.begin(), c.answers.end());
        trigger("SendToArchive");
        QStringList expected;
        for (const QString& key : c.keys) expected << main->message(key);
        EXPECT_EQ(boxes.texts(), expected) << c.user << " " << c.client;
        EXPECT_EQ(scalar(QStringLiteral("select IS_ARCHIVE as V from PENALTY_CONTRACTS where CONTRACT_ID = %1")
                             .arg(id))
                      .toInt(),
                  c.archived)
            << c.user << " " << c.client;
        // The list shows just that contract.
        EXPECT_EQ(rows().recordCount(), 1);
        if (c.archived) {
            trigger("GetFormArchive");
            EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where IS_ARCHIVE = 1")), 0);
        }
        main->freeGlobalLists();
    }
}

TEST_F(ContractActionsTest, ASoldContractReopenedWithNoStaysAndWithYesGoesBackOnSale) {
    login();
    const int id = contractOf(QStringLiteral("Сидоров"));
    select(id);
    boxes.answers = {ModalResult::Yes, ModalResult::No};
    trigger("a_ReopenContractManual");
    EXPECT_EQ(boxes.texts(), (QStringList{text("IDS_27"), text("IDS_80")}));
    EXPECT_EQ(stateOf(id), 2);
    EXPECT_EQ(count(QStringLiteral("SALES where CONTRACT_ID = %1").arg(id)), 1);

    boxes.shown.clear();
    boxes.answers = {ModalResult::Yes, ModalResult::Yes};
    trigger("a_ReopenContractManual");
    EXPECT_EQ(stateOf(id), 3);
    EXPECT_EQ(count(QStringLiteral("SALES where CONTRACT_ID = %1").arg(id)), 0);
    EXPECT_EQ(rows().recordCount(), 1);

    // A closed one opens again.
    const int closed = contractOf(QStringLiteral("Коваленко"));
    main->reloadAtContract(closed);
    boxes.shown.clear();
    boxes.answers = {ModalResult::Yes};
    trigger("a_ReopenContractManual");
    EXPECT_EQ(boxes.texts(), QStringList{text("IDS_27")});
    EXPECT_EQ(stateOf(closed), 0);
}

TEST_F(ContractActionsTest, ClosingByHandStoresTheStateAndTheWorkDateInItsOwnTransaction) {
    login();
    const int id = contractOf(QStringLiteral("Дем'яненко"));
    select(id);
    boxes.answers = {ModalResult::No};
    trigger("a_CloseContractManual");
    EXPECT_EQ(boxes.texts(), QStringList{text("IDS_28")});
    EXPECT_EQ(stateOf(id), 0);

    boxes.answers = {ModalResult::Yes};
    trigger("a_CloseContractManual");
    EXPECT_EQ(stateOf(id), 1);
    EXPECT_EQ(scalar(QStringLiteral("select CONTRACT_CLOSE as V from PENALTY_CONTRACTS where CONTRACT_ID = %1")
                         .arg(id))
                  .toDateTime(),
              main->workDate());
    ASSERT_EQ(rows().recordCount(), 1);
    EXPECT_EQ(rows().fieldByName(QStringLiteral("CONTRACT_STATE")).asInteger(), 1);
}

TEST_F(ContractActionsTest, TheDeferralGoesOnlyWhenThePledgeIsReallyPutOnSale) {
    login();
    const int id = contractOf(QStringLiteral("Іваненко"));
    const QString until = core::dateToStr(core::DateTime::today().addDays(12));
    const QString question = text("IDS_44") + until + text("IDS_45");
    struct Case {
        ModalResult answer;
        int dialogAnswer;
        bool dialogShown;
        int applications;
    };
    const Case cases[] = {
        {ModalResult::No, TolvMain::mrOk, false, 1},
        {ModalResult::Yes, TolvMain::mrCancel, true, 1},
        {ModalResult::Yes, TolvMain::mrOk, true, 0},
    };
    for (const Case& c : cases) {
        RecordingDialogs dialogs;
        dialogs.answer = c.dialogAnswer;
        main->reloadAtContract(id);
        boxes.shown.clear();
        boxes.answers = {c.answer};
        trigger("AddToSaleAct");
        EXPECT_EQ(boxes.texts(), QStringList{question});
        EXPECT_EQ(dialogs.calls.size(), c.dialogShown ? 1 : 0);
        EXPECT_EQ(count(QStringLiteral("ZAYAVLENIYA where CONTRACT_ID = %1").arg(id)), c.applications);
        EXPECT_EQ(stateOf(id), 0);
    }
}

TEST_F(ContractActionsTest, EachWindowIsCalledWithItsContractAndTheResultDecidesTheReload) {
    login();
    const QString today = core::dateToStr(core::DateTime::today());
    const int open = contractOf(QStringLiteral("Дем'яненко"));
    const int onSale = contractOf(QStringLiteral("Шевчук"));
    const int sold = contractOf(QStringLiteral("Сидоров"));
    struct Case {
        const char* action;
        int contract;
        int answer;
        QString call;  // empty: no window
        int listed;    // rows after, -1: the whole list
    };
    const Case cases[] = {
        {"CreateContractAct", open, sold, QStringLiteral("scNewContract ") + today, 1},
        {"CreateContractAct", open, -1, QStringLiteral("scNewContract ") + today, -1},
        {"EditContractAct", open, TolvMain::mrOk, QStringLiteral("scEditContract %1 ").arg(open) + today, 1},
        {"EditContractAct", open, TolvMain::mrCancel, QStringLiteral("scEditContract %1 ").arg(open) + today, -1},
        {"AddOpAct", open, TolvMain::mrOk, QStringLiteral("scNewOperation %1 ").arg(open) + today, 1},
        {"AddOpAct", open, TolvMain::mrCancel, QStringLiteral("scNewOperation %1 ").arg(open) + today, -1},
        {"DeleteToSaleAct", onSale, TolvMain::mrOk, QStringLiteral("scTakeOffSale %1 ").arg(onSale) + today, 1},
        {"DeleteToSaleAct", onSale, 0, QStringLiteral("scTakeOffSale %1 ").arg(onSale) + today, -1},
        {"AddSaleAct", sold, TolvMain::mrOk, QStringLiteral("scShowSale %1 ").arg(sold) + today, 1},
        {"ZayavlAct", open, TolvMain::mrOk, QStringLiteral("scShowZayavlenie %1 ").arg(open) + today, -1},
    };
    for (const Case& c : cases) {
        RecordingDialogs dialogs;
        dialogs.answer = c.answer;
        showAll();
        const int all = rows().recordCount();
        select(c.contract);
        boxes.shown.clear();
        trigger(c.action);
        EXPECT_TRUE(boxes.shown.empty()) << c.action << " " << boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(dialogs.calls, QStringList{c.call}) << c.action;
        EXPECT_EQ(rows().recordCount(), c.listed == -1 ? all : c.listed) << c.action << " " << c.answer;
    }
}

TEST_F(ContractActionsTest, TheWindowsOwnRefusalsHoldWhateverTheEnabledStates) {
    login();
    RecordingDialogs dialogs;
    struct Case {
        const char* action;
        const char* client;
        const char* key;  // the box shown
        ui::MsgType type;
    };
    const Case cases[] = {
        // A payment on a contract on sale, run before the enabled states caught up.
        {"AddOpAct", "Шевчук", "IDS_4", ui::MsgType::Error},
        {"ZayavlAct", "Коваленко", "IDS_59", ui::MsgType::Information},
    };
    for (const Case& c : cases) {
        showAll();
        select(contractOf(QString::fromUtf8(c.client)));
        boxes.shown.clear();
        trigger(c.action);
        ASSERT_EQ(boxes.shown.size(), 1u) << c.action;
        EXPECT_EQ(boxes.shown[0].text, text(c.key).replace(QStringLiteral("\\n"), QStringLiteral("\n")))
            << c.action;
        EXPECT_EQ(boxes.shown[0].type, c.type) << c.action;
    }
    EXPECT_TRUE(dialogs.calls.isEmpty()) << dialogs.calls.join(u'|').toStdString();

    // Imported contracts: no payment and no operation deleted, silently; sale steps and reopening warn.
    const int id = contractOf(QStringLiteral("Дем'яненко"));
    udb::execSql(QStringLiteral("insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME) values (%1, 'Імпорт')")
                     .arg(id));
    main->reloadAtContract(id);
    ASSERT_EQ(rows().fieldByName(QStringLiteral("IS_IMPORT")).asInteger(), 1);
    const std::pair<const char*, const char*> imported[] = {
        {"AddOpAct", nullptr}, {"DeleteOpAct", nullptr}, {"AddToSaleAct", "IDS_40"}, {"DeleteToSaleAct", "IDS_46"}};
    for (const auto& [name, key] : imported) {
        boxes.shown.clear();
        trigger(name);
        EXPECT_EQ(boxes.texts(), key ? QStringList{text(key)} : QStringList{}) << name;
    }
    boxes.shown.clear();
    boxes.answers = {ModalResult::Yes};
    trigger("a_ReopenContractManual");
    EXPECT_EQ(boxes.texts(), (QStringList{text("IDS_27"), text("IDS_90")}));
    EXPECT_TRUE(dialogs.calls.isEmpty()) << dialogs.calls.join(u'|').toStdString();
}

TEST_F(ContractActionsTest, AWindowNotInstalledSaysSoInTheInterfaceLanguage) {
    login();
    select(contractOf(QStringLiteral("Дем'яненко")));
    const std::pair<int, QString> languages[] = {
        {1, QStringLiteral("Окно «Новая операция» в этой программе не подключено.")},
        {2, QStringLiteral("Вікно «Нова операція» у цій програмі не підключено.")},
    };
    for (const auto& [language, expected] : languages) {
        ui::Translations::setLanguage(language);
        main->applyActionTexts(language);
        boxes.shown.clear();
        trigger("AddOpAct");
        EXPECT_EQ(boxes.texts(), QStringList{expected});
    }
    ui::Translations::setLanguage(1);
}

TEST_F(ContractActionsTest, TheInstalledOperationDialogOpensFromTheActionAndTheFrameSitsInItsPlace) {
    TolvMain::installDeskWindows();
    login();
    // The dialog offers the documents of its event.
    main->createDocumentEvents(false);
    auto* frame = qobject_cast<TPenaltyContractInfoFrame*>(main->contractInfoFrame());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->parentWidget(), main->InfoFramePlace);
    const int id = contractOf(QStringLiteral("Дем'яненко"));
    main->reloadAtContract(id);
    EXPECT_EQ(frame->dbl_ContractNum->text(), TolvLogic::TPenaltyContracts::NumberById(id));

    // A manager works as of the frame's date.
    const core::DateTime earlier = core::DateTime::today().addDays(-7);
    frame->DebtDateEdit->setDate(earlier);
    EXPECT_EQ(main->workDate(), earlier);
    frame->DebtDateEdit->clear();
    EXPECT_EQ(main->workDate(), core::DateTime::today());

    bool shown = false;
    tolvtest::onModal<TAddPenaltyOpForm>([&](TAddPenaltyOpForm& form) {
        shown = true;
        form.reject();
    });
    trigger("AddOpAct");
    EXPECT_TRUE(shown);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(id)), 0);

    // The contract editor behind "Новый договор" and "Редактировать договор".
    const int contracts = count(QStringLiteral("PENALTY_CONTRACTS"));
    for (const char* act : {"CreateContractAct", "EditContractAct"}) {
        shown = false;
        tolvtest::onModal<TolvMain::TPenaltyOrderEditForm>([&](TolvMain::TPenaltyOrderEditForm& form) {
            shown = true;
            form.reject();
        });
        main->reloadAtContract(id);
        trigger(act);
        EXPECT_TRUE(shown) << act;
        EXPECT_TRUE(boxes.shown.empty()) << act << boxes.texts().join(u'|').toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS")), contracts);
}

TEST_F(ContractActionsTest, AnActWithoutASourceOrADestinationWarehouseMovedTheGoods) {
    login();
    struct Case {
        const char* from;
        const char* to;
        bool imported;
        bool toCentral;
    };
    const Case cases[] = {{"1", "2", false, false}, {"null", "2", true, false}, {"1", "null", false, true},
                          {"null", "null", true, true}};
    int id = 900;
    for (const Case& c : cases) {
        ++id;
        udb::execSql(QStringLiteral("insert into ACT (ID, NUM, ID_WARE_FROM, ID_WARE_TO) values (%1, '%1', %2, %3)")
                         .arg(id)
                         .arg(QString::fromLatin1(c.from), QString::fromLatin1(c.to)));
        EXPECT_EQ(TolvLogic::Act::scGetWareFrom(id), c.imported) << id;
        EXPECT_EQ(TolvLogic::Act::scGetWareTo(id), c.toCentral) << id;
    }
}

}  // namespace
