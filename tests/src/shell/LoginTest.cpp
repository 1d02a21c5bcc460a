// The login check of the main window on the embedded engine: the data module's connection, the role
// chosen, the refusals, the connection errors and the hourglass.

#include <gtest/gtest.h>

#include <QTcpServer>

#include "MainData.h"
#include "U_LoggedUser.h"
#include "f_Main.h"
#include "kv_MainDb.h"
#include "platform/fb/Error.h"
#include "tests/src/shell/ShellFixture.h"
#include "tests/support/ErrorText.h"
#include "u_TolvGlobal.h"

namespace {

using TolvMain::TFMain;
using TolvMain::TMainDataMod;

// Counts the hourglass and notes its depth whenever a box shows.
class CountingCursor : public ui::BusyCursor {
public:
    void push() override {
        ++depth;
        ++pushes;
    }
    void pop() override { --depth; }
    int depth = 0;
    int pushes = 0;
};

class DepthDialogs : public ui::ScriptedDialogs {
public:
    explicit DepthDialogs(const CountingCursor& cursor) : cursor_(cursor) {}
    ui::ModalResult message(const QString& text, ui::MsgType type, ui::Buttons buttons,
                            const QString& caption) override {
        depths.push_back(cursor_.depth);
        return ScriptedDialogs::message(text, type, buttons, caption);
    }
    std::vector<int> depths;

private:
    const CountingCursor& cursor_;
};

class LoginCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedCursor_ = &ui::busyCursor();
        ui::setBusyCursor(&cursor);
        folder.withDemoDatabase();
        TolvGlobal::initSettingsFile();
        data = std::make_unique<TMainDataMod>();
        main = std::make_unique<TFMain>();
    }
    void TearDown() override {
        main.reset();
        data.reset();
        ui::setBusyCursor(savedCursor_);
    }
    fb::Database& db() { return data->ZarvelDb; }

    tolvtest::ScopedUserIni user;
    tolvtest::ProgramFolder folder;
    CountingCursor cursor;
    DepthDialogs boxes{cursor};
    ui::ScopedDialogs scoped{&boxes};
    std::unique_ptr<TMainDataMod> data;
    std::unique_ptr<TFMain> main;
    ui::BusyCursor* savedCursor_ = nullptr;
};

TEST_F(LoginCheckTest, BeforeLoginTheConnectionHoldsNoCredentialAndIsClosed) {
    EXPECT_FALSE(db().connected());
    EXPECT_TRUE(db().userName().isEmpty());
    EXPECT_TRUE(db().password().isEmpty());
    EXPECT_TRUE(db().role().isEmpty());
    EXPECT_EQ(TolvMain::getZarvelDb(), &db());
    EXPECT_EQ(TolvMain::getChangeTransact(), &data->ChangeTransact);
    EXPECT_EQ(db().databaseName(), folder.filePath(QStringLiteral("tolvanix.fdb")));
    EXPECT_TRUE(TolvMain::VuxSecur::getLogin().isEmpty());
    EXPECT_FALSE(TolvMain::VuxSecur::isMaster());
}

TEST_F(LoginCheckTest, RolesOnTheEmbeddedEngine) {
    tolvtest::runAsAdministrator(
        folder.filePath(QStringLiteral("tolvanix.fdb")),
        {QStringLiteral("insert into AGENTS (AGENT_NAME, AGENT_LOGIN, GROUP_ID, KASSIR_ID) "
                        "values ('Касир', 'CASHIER', 0, '7')"),
         QStringLiteral("grant AGENTROLE to CASHIER"),
         QStringLiteral("insert into AGENTS (AGENT_NAME, AGENT_LOGIN, GROUP_ID, KASSIR_ID) "
                        "values ('Без ролі', 'NOROLE', 0, '8')")});
    db().close();

    EXPECT_TRUE(main->checkUser(QStringLiteral("manager"), QStringLiteral("any")));
    EXPECT_TRUE(db().connected());
    EXPECT_EQ(db().userName(), QStringLiteral("manager"));
    EXPECT_EQ(db().role(), QStringLiteral("MASTERROLE"));
    EXPECT_EQ(main->loginRole(), QStringLiteral("MASTERROLE"));

    EXPECT_TRUE(main->checkUser(QStringLiteral("CASHIER"), QString()));
    EXPECT_EQ(db().role(), QStringLiteral("AGENTROLE"));
    EXPECT_EQ(main->loginRole(), QStringLiteral("AGENTROLE"));

    // A user of no role connects with AGENTROLE too, and the server decides what it may read: here not
    // the users table, so the check fails with the server's error and the connection closes.
    const QString error = tolvtest::errorText([&] { main->checkUser(QStringLiteral("NOROLE"), QString()); });
    EXPECT_EQ(db().role(), QStringLiteral("AGENTROLE"));
    EXPECT_TRUE(error.contains(QStringLiteral("AGENTS"))) << error.toStdString();
    EXPECT_FALSE(db().connected());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(LoginRoleWalk, ChoosesMasterRoleOnlyForItsExactName) {
    struct Case {
        QStringList rows;
        QString role;
    };
    const std::vector<Case> cases = {
        {{}, QStringLiteral("AGENTROLE")},
        {{QStringLiteral("AGENTROLE")}, QStringLiteral("AGENTROLE")},
        {{QStringLiteral("AGENTROLE"), QStringLiteral("MASTERROLE")}, QStringLiteral("MASTERROLE")},
        {{QStringLiteral("MASTERROLE                      ")}, QStringLiteral("MASTERROLE")},
        {{QStringLiteral("masterrole")}, QStringLiteral("AGENTROLE")},
        {{QStringLiteral("MASTERROLE2")}, QStringLiteral("AGENTROLE")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TFMain::chooseRole(c.rows), c.role) << c.rows.join(u',').toStdString();
}

TEST_F(LoginCheckTest, SysdbaAndUnknownLoginsAreRefusedAndTheConnectionClosed) {
    // A server user of the agents' role whose AGENTS row is gone.
    tolvtest::runAsAdministrator(folder.filePath(QStringLiteral("tolvanix.fdb")),
                                 {QStringLiteral("grant AGENTROLE to STRANGER")});
    db().close();
    EXPECT_FALSE(main->checkUser(QStringLiteral("sysdba"), QStringLiteral("x")));
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Имя пользователя или пароль указаны неверно")});
    EXPECT_FALSE(db().connected());

    EXPECT_EQ(tolvtest::errorText([&] { main->checkUser(QStringLiteral("STRANGER"), QString()); }),
              QStringLiteral("Агент с таким именем не найден в базе данных"));
    EXPECT_FALSE(db().connected());
    EXPECT_TRUE(main->loginRole().isEmpty());
    EXPECT_TRUE(main->loginDialog.login.isEmpty());
}

TEST_F(LoginCheckTest, TheHourglassShowsOnEveryPath) {
    const std::vector<std::function<void()>> paths = {
        [&] { main->checkUser(QStringLiteral("MANAGER"), QString()); },
        [&] { main->checkUser(QStringLiteral("SYSDBA"), QString()); },
        [&] { main->checkUser(QStringLiteral("NOROLE"), QString()); },
        [&] {
            db().close();
            db().setDatabaseName(folder.filePath(QStringLiteral("missing.fdb")));
            main->checkUser(QStringLiteral("MANAGER"), QString());
        },
    };
    for (const auto& path : paths) {
        const int before = cursor.pushes;
        tolvtest::errorText(path);
        EXPECT_EQ(cursor.pushes, before + 1);
        EXPECT_EQ(cursor.depth, 0);
    }
    // Every box of the check showed under the hourglass.
    ASSERT_EQ(boxes.depths.size(), 2u);
    for (int d : boxes.depths) EXPECT_EQ(d, 1);
}

// A port on the loopback interface that nothing listens on.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

TEST_F(LoginCheckTest, ConnectionErrorsShowThePathAdviceAndRereadThePath) {
    struct Case {
        QByteArray path;
        long code;
    };
    const std::vector<Case> cases = {
        {"missing.fdb", fb::gds::IoError},
        {"127.0.0.1/" + QByteArray::number(closedPort()) + ":/nowhere/x.fdb", fb::gds::NetworkError},
    };
    int hookRuns = 0;
    TFMain::setDbPathSettingsHook([&] {
        ++hookRuns;
        // The user corrects the path in the settings dialog.
        folder.writeIni("[DB]\nPATH=tolvanix.fdb\n");
    });
    for (const Case& c : cases) {
        boxes.shown.clear();
        folder.writeIni("[DB]\nPATH=" + c.path + "\n");
        main->setDatabasePath(QStringLiteral("PATH"));
        const QString name = db().databaseName();
        EXPECT_FALSE(main->checkUser(QStringLiteral("MANAGER"), QString()));
        ASSERT_EQ(boxes.shown.size(), 1u) << c.path.constData();
        const QString prefix = main->connectErrorText(c.code, name, QString());
        const QString text = boxes.shown[0].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("Невозможно получить доступ к файлу базы данных ") + name +
                                    QStringLiteral("\nПроверьте правильность пути к базе\n\nОшибка: ")))
            << text.toStdString();
        EXPECT_GT(text.size(), prefix.size());
        EXPECT_FALSE(text.contains(QStringLiteral("SERVER_COMP")));
        EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);
        // The corrected path is taken, and the next try logs in.
        EXPECT_EQ(db().databaseName(), folder.filePath(QStringLiteral("tolvanix.fdb")));
        EXPECT_TRUE(main->checkUser(QStringLiteral("MANAGER"), QString()));
    }
    EXPECT_EQ(hookRuns, 2);
    TFMain::setDbPathSettingsHook({});
}

TEST_F(LoginCheckTest, MessageCompositionAddsTheAdviceForAnUnavailableDatabase) {
    const QString head = QStringLiteral(
        "Невозможно получить доступ к файлу базы данных srv:/db.fdb"
        "\nПроверьте правильность пути к базе\n\n");
    const QString advice = QStringLiteral(
        "Если это клиентский компьютер, то укажите путь к файлу базы данных на сервере\n"
        "в формате: ИМЯ_СЕРВЕРА:Путь_к_файлу_базы_данных_на_сервере\n"
        "Пример: SERVER_COMP:C:\\Program Files\\Tolvanix\\DB\\zarvel2.gdb\n\n"
        "Если это серверный компьютер, то проверьте, запущена ли служба Firebird \n"
        "(Панель управления -> Администрирование -> Службы -> Firebird Server)\n\n");
    const QString tail = QStringLiteral("Ошибка: server says");
    struct Case {
        long code;
        QString text;
    };
    const std::vector<Case> cases = {
        {fb::gds::IoError, head + tail},
        {fb::gds::NetworkError, head + tail},
        {fb::gds::Unavailable, head + advice + tail},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            main->connectErrorText(c.code, QStringLiteral("srv:/db.fdb"), QStringLiteral("server says")),
            c.text);

    ui::Translations::setLanguage(ui::kLanguageUkrainian);
    EXPECT_EQ(main->connectErrorText(fb::gds::IoError, QStringLiteral("x"), QStringLiteral("y")),
              QStringLiteral(
                  "Неможливо отримати доступ до файлу бази данихx\nПеревірте правильність шляху до бази\n\n"
                  "Помилка:y"));
    ui::Translations::setLanguage(ui::kLanguageRussian);
}

}  // namespace
