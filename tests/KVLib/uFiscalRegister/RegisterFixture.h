#pragma once
// A register driver on the slave side of a pseudo-terminal, the simulator on its master side, with
// T = 100 ms, scripted boxes and scripted register forms.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/os/Program.h"
#include "tests/support/OwnSettingsFile.h"
#include "tests/support/RegisterSimulator.h"

namespace frtest {

// The register's forms as a test answers them.
struct ScriptedForms : KassRegister::FRDialogs {
    std::deque<std::optional<QString>> passwords;
    std::vector<KassRegister::FRLine> paymentLines;
    QStringList calls;
    void showSluzh(KassRegister::FiscalRegister&, int mode) override {
        calls << QStringLiteral("sluzh %1").arg(mode);
    }
    void showZReportPeriod(KassRegister::FiscalRegister&) override { calls << QStringLiteral("zperiod"); }
    void showSettings(KassRegister::FiscalRegister&) override { calls << QStringLiteral("settings"); }
    std::optional<QString> askPassword(KassRegister::FiscalRegister&) override {
        calls << QStringLiteral("password");
        if (passwords.empty()) return std::nullopt;
        auto answer = passwords.front();
        passwords.pop_front();
        return answer;
    }
    // With cash set, the payment closes the receipt as the dialog's OK does; otherwise it answers true.
    std::optional<qint64> payCash;
    int payments = 0;
    bool showPayment(KassRegister::FiscalRegister& fr,
                     const std::vector<KassRegister::FRLine>& lines) override {
        ++payments;
        paymentLines = lines;
        if (payCash) fr.closeCheckPayments(*payCash, 0, 0, 0);
        return true;
    }
};

// Counts the hourglass, to see it put back on every way out of a wait.
struct CountingCursor : ui::BusyCursor {
    int depth = 0;
    int pushes = 0;
    void push() override {
        ++depth;
        ++pushes;
    }
    void pop() override { --depth; }
};

using tolvtest::OwnSettingsFile;

class RegisterTest : public ::testing::Test {
protected:
    void SetUp() override {
        KassRegister::FiscalRegister::setDialogs(&forms);
        savedCursor_ = &ui::busyCursor();
        ui::setBusyCursor(&cursor);
        fr.setTimeOut(100);
        fr.setComPortName(sim.path());
    }
    void TearDown() override {
        KassRegister::FiscalRegister::setDialogs(nullptr);
        ui::setBusyCursor(savedCursor_);
        EXPECT_EQ(cursor.depth, 0);
    }
    // Connected, the log emptied.
    void connect() {
        fr.open();
        sim.clearLog();
    }
    // The schemes read from the register, as registration leaves them.
    void connectWithSchemes() {
        connect();
        fr.initNalogsFromFR();
        sim.clearLog();
    }

    frsim::RegisterSimulator sim;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs boxScope{&boxes};
    ScriptedForms forms;
    CountingCursor cursor;
    KassRegister::FRMariya fr;

private:
    ui::BusyCursor* savedCursor_ = nullptr;
};

// A driver on the simulator's line, T = 100 ms, connected with the tax schemes read: a register as the
// program has it after start-up.
inline void openOnSimulator(KassRegister::FRMariya& fr, const frsim::RegisterSimulator& sim) {
    fr.setTimeOut(100);
    fr.setComPortName(sim.path());
    fr.open();
    fr.initNalogsFromFR();
}

inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

}  // namespace frtest
