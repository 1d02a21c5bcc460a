// The main window after the login: the start sequence in its order, the global lists, what the close
// keeps, the caption, the rights of managers and agents, and the reconnect when the database is gone.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "MainData.h"
#include "PenaltyDirectories.h"
#include "U_LoggedUser.h"
#include "WinMain.h"
#include "f_Main.h"
#include "kvF_Login.h"
#include "kv_FbDbIni.h"
#include "kv_MainDb.h"
#include "platform/os/IniFile.h"
#include "platform/ui/LookupCombo.h"
#include "tests/src/shell/ShellFixture.h"
#include "u_TolvGlobal.h"
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
        for (QAction* a : w.actionList) {
            if (a->property("Tag").toInt() == 1)
                EXPECT_TRUE(a->isVisible() && a->isEnabled()) << a->objectName().toStdString();
        }
        steps.clear();
    });
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(shown);
    EXPECT_EQ(steps, QStringList({"freeGlobalLists"}));
    EXPECT_TRUE(noListExists());
    const os::IniFile ini(user.path());
    EXPECT_EQ(ini.readInt(QStringLiteral("FMain"), QStringLiteral("combo_FilialFilter"), -1), 0);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(MainWindowStartTest, ACancelledLoginRunsNothingAndKeepsNothing) {
    folder.withDemoDatabase();
    onModal<TFKVLogin>([](TFKVLogin& f) { f.reject(); });
    start();
    EXPECT_TRUE(steps.isEmpty()) << steps.join(u',').toStdString();
    EXPECT_TRUE(noListExists());
    EXPECT_EQ(
        os::IniFile(user.path()).readInt(QStringLiteral("FMain"), QStringLiteral("combo_FilialFilter"), -1),
        -1);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.withDemoDatabase();
        TolvGlobal::initSettingsFile();
        data = std::make_unique<TolvMain::TMainDataMod>();
        main = std::make_unique<TFMain>();
    }
    void TearDown() override {
        main->freeGlobalLists();
        main.reset();
        data.reset();
    }
    void login(const QString& name) {
        ASSERT_TRUE(main->loginDialog.checkUser(name, QStringLiteral("any")));
        main->applyRights();
    }

    tolvtest::ScopedUserIni user;
    tolvtest::ProgramFolder folder;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
    std::unique_ptr<TolvMain::TMainDataMod> data;
    std::unique_ptr<TFMain> main;
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
