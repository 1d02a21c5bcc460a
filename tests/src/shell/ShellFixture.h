#pragma once
// The program's own folder for a test: a program file name, "db.ini" and database files beside it, a
// per-user folder of its own, and scripted boxes. The demo database is built once per test program and
// copied for every test that needs one.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "MainData.h"
#include "f_Main.h"
#include "kvF_Login.h"

#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Database.h"
#include "platform/fb/Script.h"
#include "platform/os/Program.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/support/TestDatabase.h"
#include "u_TolvGlobal.h"

namespace tolvtest {

// A copy of the demo database (built on first use) at the path.
inline void copyDemoDatabase(const QString& path) {
    static QTemporaryDir cache;
    const QString demo = cache.filePath(QStringLiteral("demo.fdb"));
    if (!QFile::exists(demo)) TestDatabase::build(demo, true);
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(demo, path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Runs statements on the database file as the administrator, committed, before the program opens it.
inline void runAsAdministrator(const QString& path, const QStringList& statements) {
    fb::Database db(path);
    db.open();
    fb::runScript(db, statements.join(QStringLiteral(";\n")) + u';');
    db.close();
}

// Runs the action once the main window is visible, then closes it (ending the message loop).
inline void onMainWindow(std::function<void(TolvMain::TFMain&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (!TolvMain::FMain || !TolvMain::FMain->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action(*TolvMain::FMain);
        TolvMain::FMain->close();
    });
    timer->start();
}

inline void typeLogin(utl::TFKVLogin& f, const QString& login) {
    f.e_Name->setText(login);
    f.e_Pass->setFocus();
    QTest::keyClick(f.e_Pass, Qt::Key_Return);
}

class ProgramFolder {
public:
    ProgramFolder() { os::setProgramFile(dir_.filePath(QStringLiteral("tolvanix"))); }
    ~ProgramFolder() {
        utl::SettingsFile::reset();
        os::setProgramFile(QString());
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    void writeIni(const QByteArray& content) const {
        QFile ini(filePath(QStringLiteral("db.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(content);
    }
    // The demo database as "tolvanix.fdb" and a "db.ini" whose PATH names it relative to the folder.
    void withDemoDatabase() const {
        copyDemoDatabase(filePath(QStringLiteral("tolvanix.fdb")));
        writeIni("[DB]\nPATH=tolvanix.fdb\n");
    }

private:
    QTemporaryDir dir_;
};

// A main window over the program folder without its start: the tests log in and make the lists
// themselves. makeWindow once the folder holds its "db.ini".
class MainWindowFixture : public ::testing::Test {
protected:
    void makeWindow() {
        TolvGlobal::initSettingsFile();
        data = std::make_unique<TolvMain::TMainDataMod>();
        main = std::make_unique<TolvMain::TFMain>();
    }
    void TearDown() override {
        if (main) main->freeGlobalLists();
        main.reset();
        data.reset();
    }

    ScopedUserIni user;
    ProgramFolder folder;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
    std::unique_ptr<TolvMain::TMainDataMod> data;
    std::unique_ptr<TolvMain::TFMain> main;
};

}  // namespace tolvtest
