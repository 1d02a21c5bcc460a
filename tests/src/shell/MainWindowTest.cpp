// The main window after the login: the start sequence in its order, the global lists, what the close
// keeps, the caption, the rights of managers and agents, and the reconnect when the database is gone.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "MainData.h"
#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "U_LoggedUser.h"
#include "WinMain.h"
#include "f_Main.h"
#include "kvF_Login.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "kv_ReportSystem.h"
#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/os/IniFile.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/Translations.h"
#include "tests/src/shell/ShellFixture.h"
#include "tests/support/ErrorText.h"
#include "tests/support/RegisterSimulator.h"
#include "u_PercCalc.h"
#include "u_TolvGlobal.h"
#include "u_VersionConfig.h"
#include "u_filials.h"

namespace {

using TolvMain::TFMain;
using tolvtest::onModal;
using utl::TFKVLogin;

using tolvtest::onMainWindow;
using tolvtest::typeLogin;

bool listsExist() {
    return TolvMain::globalVersionConfig && TolvMain::globalClients && TolvMain::globalAgents &&
           TolvMain::globalPlaces && TolvMain::globalDepositTypes && TolvMain::globalPasportData &&
           TolvMain::globalDirWarrantes && TolvLogic::getGlobalGoldTarifs();
}

bool noListExists() {
    return !TolvMain::globalVersionConfig && !TolvMain::globalClients && !TolvMain::globalAgents &&
           !TolvMain::globalPlaces && !TolvMain::globalDepositTypes && !TolvMain::globalPasportData &&
           !TolvMain::globalDirWarrantes && !TolvLogic::getGlobalGoldTarifs();
}

class MainWindowStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        QCoreApplication::setApplicationVersion(QStringLiteral(TOLV_VERSION));
        TFMain::setStepRecorder([this](const QString& s) { steps << s; });
    }
    void TearDown() override {
        TFMain::setStepRecorder({});
        QCoreApplication::setApplicationVersion(QString());
    }
    int start() {
        TolvMain::StartOptions options;
        options.splashMinimumMs = 0;
        return TolvMain::WinMain(options);
    }
    QStringList steps;
    tolvtest::ScopedUserIni user;
    tolvtest::ProgramFolder folder;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
};

TEST_F(MainWindowStartTest, TheStartRunsInOrderAndTheCloseKeepsTheFilterAndLayouts) {
    folder.withDemoDatabase();
    tolvtest::runAsAdministrator(
        folder.filePath(QStringLiteral("tolvanix.fdb")),
        {QStringLiteral("insert into DIR_FILIAL (ID, NUMBER, NAME, IS_IMPORT, IS_CURENT) "
                        "values (7, 7, 'Подол', 0, 0)")});
    core::Variant branchWithLists;
    TFMain::setStepRecorder([&](const QString& s) {
        steps << s;
        if (s == QLatin1String("recalcDebt"))
            branchWithLists = TolvMain::FMain->combo_FilialFilter->keyValue();
    });
    // A branch stored at the last close is applied with the lists and replaced by all branches.
    os::IniFile(user.path()).writeInt(QStringLiteral("FMain"), QStringLiteral("combo_FilialFilter"), 7);
    onModal<TFKVLogin>([](TFKVLogin& f) { typeLogin(f, QStringLiteral("MANAGER")); });
    bool shown = false;
    onMainWindow([&](TFMain& w) {
        shown = true;
        EXPECT_EQ(steps, QStringList({"runLangWizard", "registerTextKeys", "setDocumentLanguages",
                                      "createDocumentEvents(first)", "createAddServices", "scCreateFR",
                                      "createGlobalLists", "recalcDebt", "openContractList",
                                      "updateContractActions", "updateOperationActions"}));
        EXPECT_TRUE(listsExist());
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Ломбард - MANAGER [tolvanix.fdb] "));
        EXPECT_FALSE(w.mFR->menuAction()->isVisible());  // FRisEnabled 0
        EXPECT_EQ(w.workDate(), core::DateTime::today());
        EXPECT_EQ(w.pc_ContrInfo->currentIndex(), 0);
        EXPECT_EQ(w.cb_contrFilter->currentIndex(), 0);
        EXPECT_EQ(branchWithLists.toInt(), 7);
        EXPECT_EQ(w.combo_FilialFilter->keyValue().toInt(), 0);
        EXPECT_EQ(w.contractGridSuffix(), QStringLiteral("_contracts"));
        EXPECT_TRUE(w.NLang_rus->isChecked());
        EXPECT_FALSE(w.NLang_ukr->isChecked());
        // A manager sees every manager's action; those of the selected contract and operation are
        // enabled by their state, the others at once.
        const QStringList bySelection = {"Договоры", "Операции", "Реализация"};
        for (QAction* a : w.actionList) {
            if (a->property("Tag").toInt() != 1) continue;
            EXPECT_TRUE(a->isVisible()) << a->objectName().toStdString();
            if (!bySelection.contains(a->property("category").toString()))
                EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
        }
        // The document events, registered in the program's order with their Russian names.
        ReportSys::ReportSystem& documents = ReportSys::ReportSystem::instance();
        ASSERT_EQ(documents.getEventsCount(), 11);
        EXPECT_EQ(documents.getEvent(0)->getCode(), QStringLiteral("CNTR_OPEN"));
        EXPECT_EQ(documents.getEvent(0)->getName(), QStringLiteral("Договор - Заключение договора"));
        EXPECT_EQ(documents.getEvent(10)->getCode(), QStringLiteral("CB_WEXPENSE"));
        // Its template languages, the country's current.
        EXPECT_EQ(documents.getLanguageCodes(), QStringList({"no", "ru", "ua"}));
        EXPECT_EQ(documents.getLanguageName(QStringLiteral("ru")), QStringLiteral("Русский"));
        EXPECT_EQ(documents.getCurrentLanguage(), QStringLiteral("ru"));
        // A reconnect applies the stored branch again.
        auto* oldClients = TolvMain::globalClients;
        w.ReconnectActExecute();
        EXPECT_TRUE(listsExist());
        EXPECT_NE(TolvMain::globalClients, oldClients);
        EXPECT_EQ(w.combo_FilialFilter->keyValue().toInt(), 7);
        steps.clear();
    });
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(shown);
    EXPECT_EQ(steps, QStringList({"freeGlobalLists"}));
    EXPECT_TRUE(noListExists());
    const os::IniFile ini(user.path());
    EXPECT_EQ(ini.readInt(QStringLiteral("FMain"), QStringLiteral("combo_FilialFilter"), -1), 7);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(MainWindowStartTest, ACancelledLoginOrAFailedVersionCheckRunsNothingAndKeepsNothing) {
    const struct {
        const char* name;
        QString dbVersion;  // empty: the login is cancelled
    } cases[] = {{"cancelled login", QString()}, {"newer database", QStringLiteral("99.0.0.999999")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        steps.clear();
        folder.withDemoDatabase();
        if (c.dbVersion.isEmpty()) {
            onModal<TFKVLogin>([](TFKVLogin& f) { f.reject(); });
        } else {
            tolvtest::runAsAdministrator(
                folder.filePath(QStringLiteral("tolvanix.fdb")),
                {QStringLiteral("update DB_VERSION set VER_NUM = '%1'").arg(c.dbVersion)});
            onModal<TFKVLogin>([](TFKVLogin& f) { typeLogin(f, QStringLiteral("MANAGER")); });
        }
        start();
        EXPECT_TRUE(steps.isEmpty()) << steps.join(u',').toStdString();
        EXPECT_TRUE(noListExists());
        const os::IniFile ini(user.path());
        EXPECT_FALSE(ini.sectionExists(QStringLiteral("FMain")));
        for (const QString& section : ini.sections())
            EXPECT_FALSE(section.startsWith(QStringLiteral("FMain_"))) << section.toStdString();
    }
}

TEST_F(MainWindowStartTest, TheCloseKeepsTheContractLayoutUnderTheSuffixOfTheListShown) {
    folder.withDemoDatabase();
    const QString all[] = {QStringLiteral("_contracts"), QStringLiteral("_debitors"),
                           QStringLiteral("_contractsInAct")};
    const struct {
        int filter;
        QString suffix;
    } cases[] = {{1, all[0]}, {5, all[1]}, {7, all[2]}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        QFile::remove(user.path());
        onModal<TFKVLogin>([](TFKVLogin& f) { typeLogin(f, QStringLiteral("MANAGER")); });
        onMainWindow([&](TFMain& w) {
            w.cb_contrFilter->setCurrentIndex(c.filter);
            w.ReconnectActExecute();
            EXPECT_EQ(w.contractGridSuffix(), c.suffix);
            // The grid has columns to keep once its list is open.
            TolvLogic::TVersionConfig& lists = *TolvMain::globalVersionConfig;
            TolvLogic::TPenaltyContracts* shown = lists.getContracts();
            if (c.filter == 5) {
                lists.getDebitors()->setDebtDate(core::DateTime::today());
                shown = lists.getDebitors();
            } else if (c.filter == 7) {
                shown = lists.getInActs();
            }
            shown->bindGridEh(w.gr_Contracts);
            EXPECT_EQ(tolvtest::errorText([&] { shown->open(); }), QStringLiteral("<no error>"));
        });
        EXPECT_EQ(start(), 0);
        const os::IniFile ini(user.path());
        for (const QString& suffix : all)
            EXPECT_EQ(ini.sectionExists(QStringLiteral("FMain_gr_Contracts") + suffix), suffix == c.suffix)
                << suffix.toStdString();
    }
}

TEST_F(MainWindowStartTest, InUkrainianTheWindowAndTheDocumentEventsSpeakUkrainian) {
    folder.withDemoDatabase();
    folder.writeIni(
        "[DB]\nPATH=tolvanix.fdb\n[LANG_MASTER]\ninterfeyce_lang=2\nis_showed_once=1\ncountry_index=2\n");
    onModal<TFKVLogin>([](TFKVLogin& f) { typeLogin(f, QStringLiteral("MANAGER")); });
    bool shown = false;
    onMainWindow([&](TFMain& w) {
        shown = true;
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Ломбард -MANAGER [tolvanix.fdb] "));
        EXPECT_FALSE(steps.contains(QStringLiteral("runLangWizard")));
        EXPECT_TRUE(steps.contains(QStringLiteral("createDocumentEvents")));
        EXPECT_TRUE(w.NLang_ukr->isChecked());
        EXPECT_FALSE(w.NLang_rus->isChecked());
        const std::pair<const char*, const char*> menus[] = {
            {"mApp", "Програма"},   {"mContracts", "Договори"}, {"mBooks", "Довідники"},
            {"N_Reports", "Звіти"}, {"mService", "Сервіс"},     {"mFR", "Реєстратор"},
            {"mHelp", "Допомога"},  {"N_Lang", "Мова"},         {"N_CurFilial", "Поточна філія"}};
        for (const auto& [name, title] : menus) {
            auto* menu = w.findChild<QMenu*>(QString::fromLatin1(name));
            ASSERT_TRUE(menu) << name;
            EXPECT_EQ(menu->title(), QString::fromUtf8(title)) << name;
        }
        // Every action with a caption shows its Ukrainian one.
        for (QAction* a : w.actionList) {
            if (a->property("caption_ru").toString().isEmpty()) continue;
            EXPECT_FALSE(a->text().isEmpty()) << a->objectName().toStdString();
            EXPECT_EQ(a->text(), a->property("caption_uk").toString()) << a->objectName().toStdString();
        }
        EXPECT_EQ(w.action(QStringLiteral("CreateContractAct"))->text(), QStringLiteral("Новий договір"));
        EXPECT_EQ(w.action(QStringLiteral("ReconnectAct"))->toolTip(),
                  QStringLiteral("Оновити дані, змінені іншими користувачами"));
        EXPECT_EQ(w.pc_ContrInfo->tabText(0), QStringLiteral("Операції"));
        EXPECT_EQ(w.pc_ContrInfo->tabText(1), QStringLiteral("Дод. послуги"));
        EXPECT_EQ(w.pc_ContrInfo->tabText(2), QStringLiteral("Реалізація"));
        EXPECT_EQ(w.cb_contrFilter->itemText(0), QStringLiteral("Усі"));
        EXPECT_EQ(w.cb_contrFilter->itemText(5), QStringLiteral("Боржники"));
        EXPECT_EQ(w.combo_FilialFilter->currentText(), QStringLiteral("<усі філії>"));
        EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lb_NumFilterEdit"))->text(),
                  QStringLiteral("Номер договору"));
        EXPECT_EQ(w.bt_Search->text(), QStringLiteral("Шукати"));
        EXPECT_EQ(w.chBx_showArchive->text(), QStringLiteral("Відображати архівні"));
        ReportSys::ReportSystem& documents = ReportSys::ReportSystem::instance();
        EXPECT_EQ(documents.getEventByCode(QStringLiteral("CNTR_OPEN"))->getName(),
                  QStringLiteral("Договір - Укладання договору"));
        EXPECT_EQ(documents.getLanguageName(QStringLiteral("ua")), QStringLiteral("Українська"));
        EXPECT_EQ(documents.getCurrentLanguage(), QStringLiteral("ua"));
    });
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(shown);
    ui::Translations::setLanguage(ui::kLanguageRussian);
}

// The start with the register switched on in db.ini, over the register simulator.
class MainWindowRegisterTest : public MainWindowStartTest {
protected:
    void SetUp() override {
        MainWindowStartTest::SetUp();
        folder.withDemoDatabase();
        folder.writeIni("[DB]\nPATH=tolvanix.fdb\n[FISCAL_MARIYA]\nFRisEnabled=1\nFRComPort=" +
                        sim.path().toUtf8() + "\nFRTimeOut=100\n");
    }
    bool registerEnabled() const {
        return os::IniFile(folder.filePath(QStringLiteral("db.ini")))
            .readBool(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRisEnabled"), false);
    }
    const QString connected = QStringLiteral("Ломбард - MANAGER [tolvanix.fdb]  - ФР подключен ");
    const QString noSignal =
        QStringLiteral("Подключите фискальный регистратор!!!\n\nНет сигнала от Фиск. регистратора");
    frsim::RegisterSimulator sim;
};

TEST_F(MainWindowRegisterTest, AConnectedRegisterShowsInTheCaptionAndANoSignalSwitchesItOffForAManager) {
    onModal<TFKVLogin>([](TFKVLogin& f) { typeLogin(f, QStringLiteral("MANAGER")); });
    bool shown = false;
    onMainWindow([&](TFMain& w) {
        shown = true;
        EXPECT_EQ(w.windowTitle(), connected);
        EXPECT_TRUE(w.mFR->menuAction()->isVisible());
        EXPECT_EQ(boxes.texts(),
                  QStringList{QStringLiteral("Программа работает с фискальным регистратором.")});
        boxes.shown.clear();
        // The register stops answering during an action of its menu.
        sim.clearLog();
        w.action(QStringLiteral("a_printXOtchet"))->trigger();
        EXPECT_EQ(sim.log(), QStringList{QStringLiteral("ZREP")});
        sim.script(QStringLiteral("NULL"), frsim::Script{.silent = true});
        w.action(QStringLiteral("a_printNullCheck"))->trigger();
        ASSERT_EQ(boxes.shown.size(), 2u) << boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);
        EXPECT_TRUE(boxes.shown[0].text.startsWith(noSignal)) << boxes.shown[0].text.toStdString();
        EXPECT_EQ(boxes.shown[1].type, ui::MsgType::Warning);
        EXPECT_TRUE(boxes.shown[1].text.startsWith(QStringLiteral("Фискальный регистратор будет отключен.")));
        EXPECT_FALSE(w.mFR->menuAction()->isVisible());
        EXPECT_FALSE(w.fiscalRegister->isConnected());
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Ломбард - MANAGER [tolvanix.fdb] "));
        EXPECT_FALSE(registerEnabled());
    });
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(shown);
}

TEST_F(MainWindowRegisterTest, ARegisterSilentAtTheStartIsSwitchedOffAndTheStartGoesOn) {
    sim.script(QStringLiteral("SYNC"), frsim::Script{.silent = true});
    onModal<TFKVLogin>([](TFKVLogin& f) { typeLogin(f, QStringLiteral("MANAGER")); });
    bool shown = false;
    onMainWindow([&](TFMain& w) {
        shown = true;
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Ломбард - MANAGER [tolvanix.fdb] "));
        EXPECT_FALSE(w.mFR->menuAction()->isVisible());
        EXPECT_TRUE(listsExist());
        EXPECT_TRUE(steps.contains(QStringLiteral("updateOperationActions")));
        ASSERT_EQ(boxes.shown.size(), 2u) << boxes.texts().join(u'|').toStdString();
        EXPECT_TRUE(boxes.shown[0].text.startsWith(noSignal));
        EXPECT_EQ(boxes.shown[1].type, ui::MsgType::Warning);
    });
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(registerEnabled());
}

TEST_F(MainWindowRegisterTest, ANoSignalEndsTheProgramOfACashier) {
    onModal<TFKVLogin>([](TFKVLogin& f) { typeLogin(f, QStringLiteral("KASSA1")); });
    bool shown = false;
    bool closedByRegister = false;
    onMainWindow([&](TFMain& w) {
        shown = true;
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Ломбард - KASSA1 [tolvanix.fdb]  - ФР подключен "));
        boxes.shown.clear();
        sim.script(QStringLiteral("NULL"), frsim::Script{.silent = true});
        w.action(QStringLiteral("a_printNullCheck"))->trigger();
        closedByRegister = !w.isVisible();
        ASSERT_EQ(boxes.shown.size(), 1u) << boxes.texts().join(u'|').toStdString();
        EXPECT_TRUE(boxes.shown[0].text.startsWith(noSignal));
    });
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(closedByRegister);
    EXPECT_TRUE(noListExists());
    // The setting stays: only a manager switches the register off.
    EXPECT_TRUE(registerEnabled());
}

class MainWindowTest : public tolvtest::MainWindowFixture {
protected:
    void SetUp() override {
        folder.withDemoDatabase();
        makeWindow();
    }
    void login(const QString& name) {
        ASSERT_TRUE(main->loginDialog.checkUser(name, QStringLiteral("any")));
        main->applyRights();
    }
};

TEST_F(MainWindowTest, EachPermissionKeyOpensExactlyItsOwnActionToAnAgent) {
    const std::pair<const char*, const char*> keys[] = {
        {"", ""},  // every key 0
        {"CanAgentEditGoldTarif", "A_GoldTariff"},
        {"CanAgentMakeActs", "a_Acts"},
        {"CanAgentMakeGeneralReport", "A_genRep"},
        {"CanAgentMakeOtherReps", "OtherReportsAct"},
        {"CanAgentMakeExpReport", "A_repAccruals"},
        {"CanAgentMakePercReport", "A_repAccrualsPerc"},
        {"CanAgentWorkWithInventReport", "ShowInventReport"},
        {"CanAgentMakeAddServicesRep", "a_AddServiceRep"},
        {"CanAgentMakeSpreadsheetRep", "a_FilialSpreadSheet"},
        {"CanAgentExpExcelContracts", "a_Export2ExcelContracts"},
        {"CanAgentExpExcelSubject", "a_Export2ExcelSubjs"},
        {"CanAgentExportData", "a_ExportPenalty"},
        {"CanAgentImportData", "a_ImportPenalty"},
        {"CanAgentSeeExpHistory", "a_ExportHistory"},
        {"CanAgentSeeImpHistory", "a_ImportHistory"},
        {"CanAgentDoDataDump", "a_DataDump"},
    };
    login(QStringLiteral("KASSA1"));
    EXPECT_EQ(TolvMain::getZarvelDb()->role(), QStringLiteral("AGENTROLE"));
    EXPECT_FALSE(TolvMain::VuxSecur::isMaster());
    const QStringList gated = {"a_AddServiceRep", "a_FilialSpreadSheet", "a_DataDump"};
    for (const auto& [key, opened] : keys) {
        for (const auto& [k, a] : keys)
            if (*k)
                udb::dbIniWrite(QStringLiteral("PERMISSION"), QString::fromLatin1(k),
                                QString::fromLatin1(k) == QLatin1String(key));
        main->applyRights();
        for (QAction* a : main->actionList) {
            const bool managerOnly = a->property("Tag").toInt() == 1 || gated.contains(a->objectName());
            if (!managerOnly) continue;
            const bool expected = a->objectName() == QLatin1String(opened);
            EXPECT_EQ(a->isVisible(), expected) << key << " " << a->objectName().toStdString();
            EXPECT_EQ(a->isEnabled(), expected) << key << " " << a->objectName().toStdString();
        }
    }
    EXPECT_EQ(main->workDate(), core::DateTime::today());
}

TEST_F(MainWindowTest, AManagerSeesEveryManagerActionWhateverThePermissionKeys) {
    login(QStringLiteral("MANAGER"));
    for (const char* key : {"CanAgentMakeAddServicesRep", "CanAgentMakeSpreadsheetRep", "CanAgentDoDataDump",
                            "CanAgentEditGoldTarif"})
        udb::dbIniWrite(QStringLiteral("PERMISSION"), QString::fromLatin1(key), false);
    main->applyRights();
    EXPECT_TRUE(TolvMain::VuxSecur::isMaster());
    for (QAction* a : main->actionList) {
        if (a->property("Tag").toInt() == 1) {
            EXPECT_TRUE(a->isVisible() && a->isEnabled()) << a->objectName().toStdString();
        }
    }
    // The keys would hide these three from an agent; a manager's rights never read them.
    for (const char* name : {"a_AddServiceRep", "a_FilialSpreadSheet", "a_DataDump"})
        EXPECT_TRUE(main->action(QString::fromLatin1(name))->isVisible()) << name;
}

TEST_F(MainWindowTest, AReconnectMakesNewListsAndClearsTheWholeDebtCache) {
    login(QStringLiteral("MANAGER"));
    main->createGlobalLists();
    int contractId = 0;
    {
        // An open contract without operations: its debt is computed from the contract alone.
        ufb::AutoQuery q(QStringLiteral("select first 1 C.CONTRACT_ID from PENALTY_CONTRACTS C "
                                        "where C.CONTRACT_STATE = 0 and not exists (select 1 from "
                                        "PENALTY_OPERATIONS O where O.DEPOSIT_ID = C.CONTRACT_ID) "
                                        "order by C.CONTRACT_ID"),
                         nullptr);
        q->open();
        contractId = q->field(0)->asInteger();
    }
    ASSERT_GT(contractId, 0);
    const auto debt = [&] {
        TolvLogic::PercCalc calc(contractId, nullptr);
        return calc.getDebt(core::DateTime::today(), false, true);
    };
    const TolvLogic::DebtSums before = debt();
    {
        ufb::AutoQuery q(QStringLiteral("update PENALTY_DEPOSITS set DEPOSIT_SUM = DEPOSIT_SUM * 2 "
                                        "where CONTRACT_ID = ") +
                             QString::number(contractId),
                         nullptr);
        q->execSql();
        q->transaction()->commit();
    }
    EXPECT_EQ(debt(), before);  // from the cache
    main->ReconnectActExecute();
    EXPECT_TRUE(listsExist());
    EXPECT_NE(debt().base, before.base);
}

TEST_F(MainWindowTest, AReconnectWithTheDatabaseGoneShowsTheErrorAndTheLogin) {
    login(QStringLiteral("MANAGER"));
    main->createGlobalLists();
    // A plain reconnect makes the lists again and reopens the contract list.
    QStringList steps;
    TFMain::setStepRecorder([&](const QString& s) { steps << s; });
    main->ReconnectActExecute();
    TFMain::setStepRecorder({});
    EXPECT_EQ(steps, QStringList({"freeGlobalLists", "createGlobalLists", "openContractList"}));
    EXPECT_TRUE(listsExist());
    EXPECT_EQ(TolvMain::getZarvelDb()->role(), QStringLiteral("MASTERROLE"));

    const QString file = folder.filePath(QStringLiteral("tolvanix.fdb"));
    const QString away = folder.filePath(QStringLiteral("away.fdb"));
    ASSERT_TRUE(QFile::rename(file, away));
    bool loginShown = false;
    onModal<TFKVLogin>([&](TFKVLogin& f) {
        loginShown = true;
        EXPECT_TRUE(noListExists());
        ASSERT_TRUE(QFile::rename(away, file));
        typeLogin(f, QStringLiteral("MANAGER"));
    });
    main->ReconnectActExecute();
    EXPECT_TRUE(loginShown);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);
    EXPECT_TRUE(listsExist());
    EXPECT_TRUE(TolvMain::getZarvelDb()->connected());
}

TEST_F(MainWindowTest, TheBranchMenuListsByNumberAndMakesTheChosenOneCurrent) {
    tolvtest::runAsAdministrator(
        folder.filePath(QStringLiteral("tolvanix.fdb")),
        {QStringLiteral("insert into DIR_FILIAL (ID, NUMBER, NAME, IS_IMPORT, IS_CURENT) "
                        "values (7, 0, 'Подол', 0, 0)")});
    login(QStringLiteral("MANAGER"));
    main->createGlobalLists();
    auto items = [&] {
        QStringList out;
        for (QAction* a : main->N_CurFilial->actions())
            out << a->text() + (a->isChecked() ? QStringLiteral(" *") : QString());
        return out;
    };
    const QString own = TolvLogic::FilialsDir::scGetFilialName(TolvLogic::FilialsDir::scGetCurentFilialId());
    EXPECT_EQ(items(), QStringList({"0 - Подол", "1 - " + own + " *"}));
    main->N_CurFilial->actions()[0]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(TolvLogic::FilialsDir::scGetCurentFilialId(), 7);
    EXPECT_EQ(items(), QStringList({"0 - Подол *", "1 - " + own}));

    // Own branches only: both; imported ones only: none, and the menu is empty.
    TolvLogic::FilialsDir dir;
    dir.setImportFilter(1);
    EXPECT_EQ(dir.fillMenu().size(), 2u);
    dir.setImportFilter(2);
    EXPECT_TRUE(dir.fillMenu().empty());
}

}  // namespace
