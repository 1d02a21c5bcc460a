// The register started as the main window starts it, against the simulator and the seed database's
// manager, and the actions of the menu "Регистратор".
#include <QAction>
#include <QMenu>

#include "U_LoggedUser.h"
#include "tests/KVLib/uFiscalRegister/RegisterFixture.h"
#include "tests/support/TestDatabase.h"
#include "u_FiscalRegisterStart.h"

namespace {

using KassRegister::FiscalRegister;
using KassRegister::FRMariya;
using TolvMain::VuxSecur;

class FiscalStartTest : public tolvtest::DbSuite {
protected:
    void SetUp() override {
        VuxSecur::setLoginHook([] {
            return VuxSecur::Login{QStringLiteral("manager"), QStringLiteral("MASTERROLE")};
        });
        FiscalRegister::setDialogs(&forms);
        menu.menuAction()->setVisible(false);
    }
    void TearDown() override {
        FiscalRegister::setDialogs(nullptr);
        VuxSecur::setLoginHook({});
        VuxSecur::reset();
    }
    QByteArray ini() const {
        return "[FISCAL_MARIYA]\r\nFRComPort=" + sim.path().toUtf8() + "\r\nFRTimeOut=100\r\n";
    }

    frsim::RegisterSimulator sim;
    frtest::ScriptedForms forms;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scope{&boxes};
    QMenu menu;
    FRMariya fr;
};

TEST_F(FiscalStartTest, TheStartRegistersTheWorkingUsersCashierAndShowsTheMenu) {
    tolvtest::OwnSettingsFile settings(ini());
    EXPECT_TRUE(TolvMain::startFiscalRegister(
        fr, &menu, QStringLiteral("Программа работает с фискальным регистратором.")));
    EXPECT_EQ(sim.log(), (QStringList{"U", "U", "U", "SYNC", "UPAS40729583161   ", "CNAL", "CONf"}));
    EXPECT_TRUE(menu.menuAction()->isVisible());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Information);
    EXPECT_FALSE(utl::SettingsFile::readString(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRSSP"), {})
                     .isEmpty());
}

TEST_F(FiscalStartTest, ARefusedRegistrationChangesNothing) {
    tolvtest::OwnSettingsFile settings(ini());
    sim.script(QStringLiteral("UPAS"), frsim::Script{.packets = {"SOFTPARAM"}});
    EXPECT_FALSE(TolvMain::startFiscalRegister(fr, &menu, QStringLiteral("started")));
    EXPECT_FALSE(menu.menuAction()->isVisible());
    for (const auto& box : boxes.shown) EXPECT_NE(box.text, QStringLiteral("started"));
    EXPECT_TRUE(utl::SettingsFile::readString(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRSSP"), {})
                    .isEmpty());
}

TEST_F(FiscalStartTest, TheActionsCallTheRegister) {
    tolvtest::OwnSettingsFile settings(ini());
    TolvMain::FiscalActions a;
    std::vector<std::unique_ptr<QAction>> owned;
    auto make = [&owned] {
        owned.push_back(std::make_unique<QAction>());
        return owned.back().get();
    };
    a.mFR = &menu;
    for (QAction** slot :
         {&a.a_SlyzhIz, &a.a_SlyzhVnes, &a.a_printNullCheck, &a.a_printXOtchet, &a.a_printZOtchet,
          &a.a_printZOtchetZaPeriod, &a.a_registerSettings, &a.a_registerPoSettings, &a.a_printVozvrCheck})
        *slot = make();
    int starts = 0;
    TolvMain::bindFiscalActions(a, fr, false, ui::runGuarded, [&] {
        ++starts;
        return TolvMain::startFiscalRegister(fr, &menu, QStringLiteral("started"));
    });
    EXPECT_FALSE(a.a_registerSettings->isVisible());
    EXPECT_FALSE(a.a_registerPoSettings->isVisible());

    // Settings of a register not connected: started first, then its settings dialog.
    a.a_registerSettings->trigger();
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(fr.isConnected());
    EXPECT_EQ(forms.calls, QStringList{"settings"});
    sim.clearLog();
    a.a_printNullCheck->trigger();
    a.a_printXOtchet->trigger();
    a.a_SlyzhIz->trigger();
    a.a_SlyzhVnes->trigger();
    a.a_printVozvrCheck->trigger();
    a.a_printZOtchetZaPeriod->trigger();
    EXPECT_EQ(sim.log(), (QStringList{"NULL", "ZREP"}));
    EXPECT_EQ(forms.calls, (QStringList{"settings", "sluzh 1", "sluzh 0", "sluzh 2", "zperiod"}));
    boxes.shown.clear();
    a.a_registerPoSettings->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.endsWith(QStringLiteral("TFRNalogs")));

    // A register that cannot be started: the no-signal error.
    fr.close();
    sim.script(QStringLiteral("SYNC"), frsim::Script{.silent = true});
    boxes.shown.clear();
    a.a_registerSettings->trigger();
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text.left(33), QStringLiteral("Нет сигнала от Фиск. регистратора"));
}

}  // namespace
