// Starting the register as the shell does: the settings file's port and timeout, the sequence on the
// line, and the ways a start fails.
#include "RegisterFixture.h"

namespace {

using namespace KassRegister;
using frsim::Script;
using frtest::OwnSettingsFile;
using frtest::RegisterTest;

TEST(StartSettingsTest, PortNamesAndTheirDevices) {
    struct Case {
        QByteArray ini;
        QString name;
        QString path;
    };
    const std::vector<Case> cases{
        {"", "COM1", "/dev/ttyS0"},
        {"[FISCAL_MARIYA]\r\nFRComPort=2\r\n", "COM3", "/dev/ttyS2"},
        {"[FISCAL_MARIYA]\r\nFRComPort=COM2\r\n", "COM2", "/dev/ttyS1"},
        {"[FISCAL_MARIYA]\r\nFRComPort=COM2\r\n[SERIAL_PORTS]\r\nCOM2=/dev/ttyUSB0\r\n", "COM2",
         "/dev/ttyUSB0"},
        {"[FISCAL_MARIYA]\r\nFRComPort=/dev/pts/7\r\n", "/dev/pts/7", "/dev/pts/7"},
    };
    for (const Case& c : cases) {
        OwnSettingsFile ini(c.ini);
        EXPECT_EQ(FRMariya::startPortName(), c.name) << c.ini.toStdString();
        EXPECT_EQ(FRMariya::portPath(FRMariya::startPortName()), c.path) << c.ini.toStdString();
    }
}

// A negative timeout used to wait without end and 0 to give up at once.
TEST(StartSettingsTest, TheTimeoutIsHeldToTheSettingsDialogsRange) {
    const std::vector<std::pair<QByteArray, int>> cases{
        {"", 2000}, {"-5", 100}, {"0", 100}, {"50", 100}, {"100", 100}, {"8000", 8000}, {"99999", 8000}};
    for (const auto& [value, expected] : cases) {
        OwnSettingsFile ini(value.isEmpty() ? QByteArray()
                                            : "[FISCAL_MARIYA]\r\nFRTimeOut=" + value + "\r\n");
        EXPECT_EQ(FRMariya::startTimeout(), expected) << value.toStdString();
    }
}

class StartTest : public RegisterTest {
protected:
    QByteArray ini() const {
        return "[FISCAL_MARIYA]\r\nFRComPort=" + sim.path().toUtf8() + "\r\nFRTimeOut=100\r\n";
    }
};

TEST_F(StartTest, TheStartRunsSyncRegistrationSchemesAndConfiguration) {
    OwnSettingsFile settings(ini());
    FRMariya reg;
    EXPECT_TRUE(reg.start(QStringLiteral("7")));
    EXPECT_EQ(reg.timeOut(), 100);
    EXPECT_EQ(sim.log(), (QStringList{"U", "U", "U", "SYNC",
                                      "UPAS4072958316"
                                      "7   ",
                                      "CNAL", "CONf"}));
    EXPECT_EQ(FiscalRegister::scCryptPassword(
                  utl::SettingsFile::readString(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRSSP"), {}),
                  false),
              QStringLiteral("4072958316"));
}

TEST_F(StartTest, ANewPasswordTypedAtTheStartIsStoredEnciphered) {
    OwnSettingsFile settings(ini());
    sim.script(QStringLiteral("UPAS"), Script{.packets = {"SOFTUPAS"}});
    forms.passwords = {QStringLiteral("55")};
    FRMariya reg;
    EXPECT_TRUE(reg.start(QStringLiteral("7")));
    const QString stored =
        utl::SettingsFile::readString(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRSSP"), {});
    EXPECT_FALSE(stored.contains(QStringLiteral("55")));
    EXPECT_EQ(FiscalRegister::scCryptPassword(stored, false), QStringLiteral("55        "));
}

TEST_F(StartTest, ACancelledPromptASilentRegisterAndAMissingPortAreNoSignal) {
    {
        OwnSettingsFile settings(ini());
        sim.script(QStringLiteral("UPAS"), Script{.packets = {"SOFTUPAS"}});
        FRMariya reg;
        EXPECT_THROW(reg.start(QStringLiteral("7")), FRNoSignal);
        EXPECT_EQ(forms.calls, QStringList{"password"});
    }
    {
        OwnSettingsFile settings(ini());
        sim.clearLog();
        sim.script(QStringLiteral("SYNC"), Script{.silent = true});
        FRMariya reg;
        try {
            reg.start(QStringLiteral("7"));
            FAIL();
        } catch (const FRNoSignal& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Нет сигнала от Фиск. регистратора"));
            EXPECT_EQ(e.getRegister(), &reg);
        }
        EXPECT_EQ(sim.log(), (QStringList{"U", "U", "U", "SYNC"}));
    }
    {
        OwnSettingsFile settings(
            "[FISCAL_MARIYA]\r\nFRComPort=COM9\r\n[SERIAL_PORTS]\r\nCOM9=/dev/no-such-tty\r\n");
        FRMariya reg;
        try {
            reg.start(QStringLiteral("7"));
            FAIL();
        } catch (const FRNoSignal& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral(
                "Нет сигнала от Фиск. регистратора\nошибка при подключении к COM-порту:\n\n")));
        }
    }
}

}  // namespace
