// The entry routine driven whole, offscreen, with the real login window: the good start, the missing
// settings file, connection errors corrected through the settings hook, refused logins, cancel, the
// version check and the splash time.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "MainData.h"
#include "U_LoggedUser.h"
#include "WinMain.h"
#include "f_Main.h"
#include "f_Splash.h"
#include "kvF_Login.h"
#include "kv_MainDb.h"
#include "tests/src/shell/ShellFixture.h"
#include "tests/support/ErrorText.h"

namespace {

using TolvMain::TFMain;
using tolvtest::onModal;
using utl::TFKVLogin;

const QString kVersion = QStringLiteral(TOLV_VERSION);

using tolvtest::onMainWindow;
using tolvtest::typeLogin;

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { QCoreApplication::setApplicationVersion(kVersion); }
    void TearDown() override { QCoreApplication::setApplicationVersion(QString()); }

    int start() {
        TolvMain::StartOptions options;
        options.splashMinimumMs = 0;
        return TolvMain::WinMain(options);
    }

    tolvtest::ScopedUserIni user;
    tolvtest::ProgramFolder folder;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
};

TEST_F(StartupTest, ManagerOpensTheBareWindowWithTheManagerRole) {
    folder.withDemoDatabase();
    // The relative path is the program folder's, whatever the working folder.
    QTemporaryDir elsewhere;
    const QString savedCwd = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());

    bool shown = false;
    onModal<TFKVLogin>([](TFKVLogin& f) { typeLogin(f, QStringLiteral("MANAGER")); });
    onMainWindow([&](TFMain& w) {
        shown = true;
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Ломбард - MANAGER [tolvanix.fdb] "));
        EXPECT_EQ(TolvMain::VuxSecur::getLogin(), QStringLiteral("MANAGER"));
        EXPECT_EQ(TolvMain::VuxSecur::getAgentName(), QStringLiteral("Администратор"));
        EXPECT_EQ(TolvMain::VuxSecur::getKassirId(), QStringLiteral("1"));
        EXPECT_TRUE(TolvMain::VuxSecur::isMaster());
        EXPECT_EQ(TolvMain::getZarvelDb()->role(), QStringLiteral("MASTERROLE"));
        EXPECT_TRUE(TolvMain::getZarvelDb()->connected());
    });
    EXPECT_EQ(start(), 0);
    QDir::setCurrent(savedCwd);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
    // Everything the routine made is gone with it.
    EXPECT_EQ(TolvMain::FMain, nullptr);
    EXPECT_EQ(TolvMain::MainDataMod, nullptr);
}

TEST_F(StartupTest, WithoutTheSettingsFileOnlyTheBoxShowsAndNothingIsOpened) {
    bool splashSeen = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TolvMain::TFSplash*>(w) && w->isVisible()) splashSeen = true;
    });
    probe.start(0);
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Settings file not exists\n") +
                                         folder.filePath(QStringLiteral("db.ini"))});
    EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);
    EXPECT_EQ(TolvMain::MainDataMod, nullptr);
    EXPECT_NE(tolvtest::errorText([] { TolvMain::getZarvelDb(); }), QStringLiteral("<no error>"));
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
}

TEST_F(StartupTest, AMissingFileIsCorrectedThroughTheSettingsHookAndTheNextOkLogsIn) {
    folder.withDemoDatabase();
    folder.writeIni("[DB]\nPATH=gone.fdb\n");
    int hookRuns = 0;
    TFMain::setDbPathSettingsHook([&] {
        ++hookRuns;
        folder.writeIni("[DB]\nPATH=tolvanix.fdb\n");
    });
    onModal<TFKVLogin>([&](TFKVLogin& f) {
        typeLogin(f, QStringLiteral("MANAGER"));
        EXPECT_TRUE(f.isVisible());
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_TRUE(boxes.shown[0].text.startsWith(
            QStringLiteral("Невозможно получить доступ к файлу базы данных ") +
            folder.filePath(QStringLiteral("gone.fdb")) +
            QStringLiteral("\nПроверьте правильность пути к базе\n\nОшибка: ")));
        typeLogin(f, QStringLiteral("MANAGER"));
    });
    bool shown = false;
    onMainWindow([&](TFMain&) { shown = true; });
    EXPECT_EQ(start(), 0);
    TFMain::setDbPathSettingsHook({});
    EXPECT_EQ(hookRuns, 1);
    EXPECT_TRUE(shown);
}

TEST_F(StartupTest, RefusedLoginsKeepTheWindowOpenAndCancelEndsBeforeTheMainWindow) {
    folder.withDemoDatabase();
    tolvtest::runAsAdministrator(folder.filePath(QStringLiteral("tolvanix.fdb")),
                                 {QStringLiteral("grant AGENTROLE to NOBODY")});
    bool mainShown = false;
    onModal<TFKVLogin>([&](TFKVLogin& f) {
        typeLogin(f, QStringLiteral("SYSDBA"));
        EXPECT_TRUE(f.isVisible());
        typeLogin(f, QStringLiteral("NOBODY"));
        EXPECT_TRUE(f.isVisible());
        QTest::mouseClick(f.bt_Cancel, Qt::LeftButton);
    });
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (TolvMain::FMain && TolvMain::FMain->isVisible()) mainShown = true;
    });
    probe.start(0);
    EXPECT_EQ(start(), 0);
    EXPECT_FALSE(mainShown);
    EXPECT_EQ(boxes.texts(), (QStringList{QStringLiteral("Имя пользователя или пароль указаны неверно"),
                                          QStringLiteral("Агент с таким именем не найден в базе данных")}));
}

TEST_F(StartupTest, AFailedVersionCheckEndsTheProgramBeforeTheWindowShows) {
    struct Case {
        QString program;
        QString dbVersion;
        QString box;
    };
    const std::vector<Case> cases = {
        {kVersion, QString(), QStringLiteral("Не получилось определить версию базы данных.")},
        {QStringLiteral("6.3.1.517"), QStringLiteral("6.3.1.518"),
         QStringLiteral("Версия программы меньше, чем версия базы данных:\n6.3.1.517\n6.3.1.518.\n"
                        "Обновите программу, пожалуйста.")},
    };
    for (const Case& c : cases) {
        boxes.shown.clear();
        folder.withDemoDatabase();
        tolvtest::runAsAdministrator(
            folder.filePath(QStringLiteral("tolvanix.fdb")),
            {QStringLiteral("update DB_VERSION set VER_NUM = '%1'").arg(c.dbVersion)});
        QCoreApplication::setApplicationVersion(c.program);
        bool mainShown = false;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (TolvMain::FMain && TolvMain::FMain->isVisible()) mainShown = true;
        });
        probe.start(0);
        onModal<TFKVLogin>([](TFKVLogin& f) { typeLogin(f, QStringLiteral("MANAGER")); });
        EXPECT_EQ(start(), 0);
        EXPECT_FALSE(mainShown);
        EXPECT_EQ(boxes.texts(), QStringList{c.box});
    }
}

TEST_F(StartupTest, TheSplashStaysUpForTheMinimumFromTheStart) {
    struct Case {
        qint64 creation;
        std::vector<qint64> sleeps;
    };
    const std::vector<Case> cases = {{300, {2200}}, {2700, {}}, {2500, {}}};
    // A path that cannot be opened: nothing before the login may try it, so no box shows.
    folder.writeIni("[DB]\nPATH=gone.fdb\n");
    for (const Case& c : cases) {
        std::vector<qint64> slept;
        qint64 now = 1000;
        int reads = 0;
        TolvMain::StartOptions options;
        // The start moment, then the moment the windows are made.
        options.clock = [&] { return reads++ == 0 ? now : now + c.creation; };
        options.sleep = [&](qint64 ms) { slept.push_back(ms); };
        onModal<TFKVLogin>([](TFKVLogin& f) { QTest::mouseClick(f.bt_Cancel, Qt::LeftButton); });
        EXPECT_EQ(TolvMain::WinMain(options), 0);
        EXPECT_EQ(slept, c.sleeps) << c.creation;
    }
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
    EXPECT_EQ(TolvMain::splashRemainder(0, 2500), 2500);
    EXPECT_EQ(TolvMain::splashRemainder(3000, 2500), 0);
}

}  // namespace
