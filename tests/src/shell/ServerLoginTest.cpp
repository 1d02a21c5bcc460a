// The main window's login, reconnect, change of database and lock on a Firebird server, where
// passwords and role grants are checked. The server and its users' passwords are made for the run.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <map>

#include "MainData.h"
#include "U_LoggedUser.h"
#include "f_Main.h"
#include "kvF_Login.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "platform/fb/Database.h"
#include "platform/fb/Script.h"
#include "platform/ui/Form.h"
#include "tests/src/shell/ShellFixture.h"
#include "tests/support/PrivateServer.h"
#include "u_TolvGlobal.h"

namespace {

using TolvMain::TFMain;
using tolvtest::onModal;
using tolvtest::PrivateServer;
using utl::TFKVLogin;

// The server, its two databases (the second a copy of the first, marked) and the users' passwords.
struct Server {
    PrivateServer server;
    QString url;
    QString url2;
    std::map<QString, QString> passwords;
};
Server* theServer = nullptr;

void asAdministrator(const QString& url, const QStringList& statements) {
    fb::Database db(url);
    db.setUserName(QStringLiteral("SYSDBA"));
    db.setPassword(PrivateServer::sysdbaPassword());
    db.open();
    fb::runScript(db, statements.join(QStringLiteral(";\n")) + u';');
    db.close();
}

QString localPath(const QString& url) {
    return url.mid(url.indexOf(u':') + 1);
}

class ServerLoginTest : public tolvtest::MainWindowFixture {
protected:
    static void SetUpTestSuite() {
        theServer = new Server;
        Server& s = *theServer;
        if (!s.server.started()) return;
        s.url = s.server.databaseUrl(QStringLiteral("tolvanix.fdb"));
        s.url2 = s.server.databaseUrl(QStringLiteral("second.fdb"));
        tolvtest::TestDatabase::build(s.url, true, PrivateServer::sysdbaPassword());
        QStringList statements;
        for (const char* user : {"MANAGER", "KASSA1", "BOSS", "NOROLE"}) {
            const QString password = PrivateServer::newPassword();
            s.passwords[QString::fromLatin1(user)] = password;
            statements << QStringLiteral("create user %1 password '%2'").arg(QLatin1String(user), password);
        }
        statements << QStringLiteral(
                          "insert into AGENTS (AGENT_NAME, AGENT_LOGIN, GROUP_ID, KASSIR_ID) "
                          "values ('Директор', 'BOSS', 1, '5')")
                   << QStringLiteral("grant MASTERROLE to BOSS")
                   << QStringLiteral(
                          "insert into AGENTS (AGENT_NAME, AGENT_LOGIN, GROUP_ID, KASSIR_ID) "
                          "values ('Без ролі', 'NOROLE', 0, '6')");
        asAdministrator(s.url, statements);
        // The second database: the same users, marked so that a test sees which one it reads.
        const QString second = localPath(s.url2);
        QFile::copy(localPath(s.url), second);
        QFile::setPermissions(second, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                          QFileDevice::ReadOther | QFileDevice::WriteOther);
        asAdministrator(s.url2,
                        {QStringLiteral("insert into INI (SECTION, NAME, VAL) values ('TEST', 'DB', '2')")});
    }
    static void TearDownTestSuite() {
        delete theServer;
        theServer = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(theServer->server.started()) << theServer->server.error().toStdString();
        writeIni(QString());
        makeWindow();
        previousTerminate = ui::setTerminateHook([this] { ++terminations; });
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        ui::setTerminateHook(std::move(previousTerminate));
    }
    void writeIni(const QString& path2) {
        folder.writeIni("[DB]\nPATH=" + theServer->url.toUtf8() + "\nPATH2=" + path2.toUtf8() + "\n");
    }
    static QString password(const QString& user) { return theServer->passwords.at(user); }

    // One try in the login window that the action shows; the window is cancelled when it stays open.
    // Answers whether it stayed.
    bool oneTry(const std::function<void()>& action, const QString& login, const QString& pass) {
        bool stayed = false;
        onModal<TFKVLogin>([&](TFKVLogin& f) {
            if (!f.e_Name->isReadOnly()) f.e_Name->setText(login);
            f.e_Pass->setText(pass);
            f.bt_OK->click();
            stayed = f.isVisible();
            noticeShown = f.pnl_Top->isVisible();
            if (stayed) f.bt_Cancel->click();
        });
        action();
        return stayed;
    }
    bool login(const QString& user, const QString& pass) {
        return oneTry([this] { main->loginDialog.execute(); }, user, pass);
    }
    fb::Database& db() { return data->ZarvelDb; }
    QString currentRole() {
        ufb::AutoQuery q(QStringLiteral("select current_role from rdb$database"), nullptr);
        q->open();
        return q->field(0)->asString().trimmed();
    }

    ui::TerminateHook previousTerminate;
    int terminations = 0;
    bool noticeShown = false;
};

TEST_F(ServerLoginTest, TheRoleAndTheRefusalsFollowTheServersGrantsAndPasswords) {
    const QString agentsRefused = QStringLiteral("AGENTS");
    struct Case {
        const char* login;
        QString password;  // empty: the user's own
        QString role;      // empty: refused, the window stays
        QString box;       // a part of the only box shown; empty: none
    };
    const std::vector<Case> cases = {
        {"MANAGER", {}, QStringLiteral("MASTERROLE"), {}},
        {"BOSS", {}, QStringLiteral("MASTERROLE"), {}},
        {"KASSA1", {}, QStringLiteral("AGENTROLE"), {}},
        {"NOROLE", {}, {}, agentsRefused},
        {"KASSA1", QStringLiteral("wrong"), {}, {}},
        {"SYSDBA",
         PrivateServer::sysdbaPassword(),
         {},
         QStringLiteral("Имя пользователя или пароль указаны неверно")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.login);
        boxes.shown.clear();
        const QString name = QString::fromLatin1(c.login);
        const QString pass = c.password.isEmpty() ? password(name) : c.password;
        const bool stayed = login(name, pass);
        EXPECT_EQ(stayed, c.role.isEmpty());
        if (c.role.isEmpty()) {
            EXPECT_FALSE(db().connected());
            // A wrong password shows only the window's own notice.
            if (c.box.isEmpty()) {
                EXPECT_TRUE(noticeShown);
            }
        } else {
            EXPECT_TRUE(db().connected());
            EXPECT_EQ(main->loginRole(), c.role);
            EXPECT_EQ(currentRole(), c.role);
            const bool master = c.role == QLatin1String("MASTERROLE");
            EXPECT_EQ(TolvMain::VuxSecur::isMaster(), master);
            // An agent's rights: the manager's actions are hidden.
            EXPECT_EQ(main->action(QStringLiteral("DeleteOpAct"))->isVisible(), master);
        }
        if (c.box.isEmpty()) {
            EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
        } else {
            ASSERT_EQ(boxes.shown.size(), 1u) << boxes.texts().join(u'|').toStdString();
            EXPECT_TRUE(boxes.shown[0].text.contains(c.box)) << boxes.shown[0].text.toStdString();
        }
    }
}

TEST_F(ServerLoginTest, AReconnectKeepsTheRole) {
    for (const char* user : {"KASSA1", "BOSS"}) {
        const QString name = QString::fromLatin1(user);
        ASSERT_FALSE(login(name, password(name)));
        const QString role = main->loginRole();
        main->createGlobalLists();
        main->ReconnectActExecute();
        EXPECT_TRUE(TolvMain::globalVersionConfig);
        EXPECT_EQ(currentRole(), role) << user;
        EXPECT_EQ(main->loginRole(), role) << user;
    }
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(ServerLoginTest, TheSecondDatabaseLoginAndCancelEndingTheProgram) {
    const auto marker = [] {
        return udb::dbIniReadString(QStringLiteral("TEST"), QStringLiteral("DB"), QStringLiteral("1"));
    };
    ASSERT_FALSE(login(QStringLiteral("KASSA1"), password(QStringLiteral("KASSA1"))));
    main->createGlobalLists();
    EXPECT_EQ(marker(), QStringLiteral("1"));

    // No second path: the same database again, under the user now typed.
    EXPECT_FALSE(oneTry([this] { main->Relogin2ActExecute(); }, QStringLiteral("BOSS"),
                        password(QStringLiteral("BOSS"))));
    EXPECT_EQ(db().databaseName(), theServer->url);
    EXPECT_EQ(marker(), QStringLiteral("1"));
    EXPECT_EQ(currentRole(), QStringLiteral("MASTERROLE"));
    EXPECT_TRUE(TolvMain::globalVersionConfig);

    // A second path: the other database.
    writeIni(theServer->url2);
    EXPECT_FALSE(oneTry([this] { main->Relogin2ActExecute(); }, QStringLiteral("KASSA1"),
                        password(QStringLiteral("KASSA1"))));
    EXPECT_EQ(db().databaseName(), theServer->url2);
    EXPECT_EQ(marker(), QStringLiteral("2"));
    EXPECT_EQ(currentRole(), QStringLiteral("AGENTROLE"));
    EXPECT_EQ(terminations, 0);

    // Cancel in the login window of either change ends the program, and nothing is made again.
    for (auto change : {&TFMain::Relogin2ActExecute, &TFMain::ReloginActExecute}) {
        const int before = terminations;
        EXPECT_TRUE(
            oneTry([&] { (main.get()->*change)(); }, QStringLiteral("KASSA1"), QStringLiteral("wrong")));
        EXPECT_EQ(terminations, before + 1);
        EXPECT_FALSE(db().connected());
    }
    // The change of user went back to the first database.
    EXPECT_EQ(db().databaseName(), theServer->url);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(ServerLoginTest, InLockModeOnlyTheLastPasswordOpens) {
    ASSERT_FALSE(login(QStringLiteral("KASSA1"), password(QStringLiteral("KASSA1"))));
    // Another user's right password, then a wrong one: the lock stays; its cancel ends the program.
    for (const QString& other : {password(QStringLiteral("MANAGER")), QStringLiteral("wrong")}) {
        const int before = terminations;
        EXPECT_TRUE(oneTry([this] { main->LockAppActExecute(); }, QString(), other));
        EXPECT_GT(terminations, before);
    }
    const int before = terminations;
    EXPECT_FALSE(
        oneTry([this] { main->LockAppActExecute(); }, QString(), password(QStringLiteral("KASSA1"))));
    EXPECT_EQ(terminations, before);
    EXPECT_FALSE(main->loginDialog.lockMode);
    EXPECT_EQ(main->loginRole(), QStringLiteral("AGENTROLE"));
    EXPECT_TRUE(db().connected());
}

}  // namespace
