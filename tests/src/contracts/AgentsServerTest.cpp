// The users directory on a real Firebird server: storing, changing and deleting a user keeps the
// server's users and role grants in step with the AGENTS rows.

#include <gtest/gtest.h>

#include <QFile>
#include <memory>
#include <set>

#include "ContractRows.h"
#include "TClients.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Database.h"
#include "platform/fb/Error.h"
#include "platform/fb/Service.h"
#include "platform/fb/Statement.h"
#include "platform/fb/Table.h"
#include "platform/fb/Transaction.h"
#include "tests/support/ErrorText.h"
#include "tests/support/PrivateServer.h"

using core::Variant;
using TolvLogic::TAgents;
using tolvtest::errorText;
using tolvtest::PrivateServer;

namespace {

const QString kManagerPassword = QStringLiteral("Менеджер 1");
const QString kEmptyField = QStringLiteral("Необходимо заполнить все поля информации об агенте");
const QString kNoSecurity = QStringLiteral("Не удалось подключиться к системе безопасности");

std::unique_ptr<PrivateServer> server;
QString url;
std::unique_ptr<fb::Database> managerDb;
std::unique_ptr<fb::Transaction> changeTransact;

std::unique_ptr<fb::Database> connect(const QString& user, const QString& password,
                                      const QString& role = {}) {
    auto db = std::make_unique<fb::Database>(url);
    db->setUserName(user);
    db->setPassword(password);
    db->setRole(role);
    db->open();
    return db;
}

// Runs the statement on a connection of the administrator, committed; the first value of the first row.
Variant adminValue(const QString& sql) {
    auto db = connect(QStringLiteral("SYSDBA"), PrivateServer::sysdbaPassword());
    fb::Transaction t(db.get());
    fb::Statement q(&t);
    q.setSql(sql);
    q.execute();
    const Variant value = q.fetch() ? q.value(0) : Variant();
    t.commit();
    return value;
}

void adminExec(const QString& sql) {
    adminValue(sql);
}

// The roles granted to the user, "+" marking the admin option, whoever granted them.
std::multiset<QString> grants(const QString& user) {
    auto db = connect(QStringLiteral("SYSDBA"), PrivateServer::sysdbaPassword());
    fb::Transaction t(db.get());
    fb::Statement q(&t);
    q.setSql(QStringLiteral(
                 "select trim(trim(RDB$RELATION_NAME) || iif(coalesce(RDB$GRANT_OPTION, 0) > 0, '+', '')) "
                 "from RDB$USER_PRIVILEGES where RDB$PRIVILEGE = 'M' and RDB$USER = '") +
             user + u'\'');
    q.execute();
    std::multiset<QString> roles;
    while (q.fetch()) roles.insert(q.value(0).toText());
    return roles;
}

// The user's connection: its current role, or the code it is refused with.
QString loginRole(const QString& user, const QString& password, const QString& role) {
    try {
        auto db = connect(user, password, role);
        fb::Transaction t(db.get());
        fb::Statement q(&t);
        q.setSql(QStringLiteral("select CURRENT_ROLE from RDB$DATABASE"));
        q.execute();
        q.fetch();
        return q.value(0).toText().trimmed();
    } catch (const fb::Error& e) {
        return QString::number(e.gdsCode());
    }
}
const QString kRefused = QString::number(fb::gds::LoginFailed);

int rowsOf(const QString& login) {
    return adminValue(QStringLiteral("select count(*) from AGENTS where AGENT_LOGIN = '") + login + u'\'')
        .toInt();
}

class AgentsServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<PrivateServer>();
        if (!server->started()) return;
        url = server->databaseUrl(QStringLiteral("tolvanix.fdb"));
        tolvtest::TestDatabase::build(url, false, PrivateServer::sysdbaPassword());
        fb::Service service;
        service.setServerName(server->host());
        service.setPassword(PrivateServer::sysdbaPassword());
        service.attach();
        service.addUser(QStringLiteral("MANAGER"), kManagerPassword);
        managerDb = connect(QStringLiteral("manager"), kManagerPassword, QStringLiteral("MASTERROLE"));
        changeTransact = std::make_unique<fb::Transaction>(managerDb.get());
        changeTransact->setDefaultAction(fb::TransactionAction::Rollback);
        TolvMain::setZarvelDb(managerDb.get());
        TolvMain::setChangeTransact(changeTransact.get());
    }
    static void TearDownTestSuite() {
        TolvMain::setChangeTransact(nullptr);
        TolvMain::setZarvelDb(nullptr);
        changeTransact.reset();
        managerDb.reset();
        server.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(server->started()) << server->error().toStdString();
        settings_ = std::make_unique<contracttest::OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
        udb::sessionSysdbaPassword().clear();
        dialogs_.passwords = {PrivateServer::sysdbaPassword()};
    }
    void TearDown() override {
        udb::sessionSysdbaPassword().clear();
        settings_.reset();
    }

    // Adds a user through the list as a user of the directory would.
    static void add(TAgents& list, const QString& login, const QString& password, int group,
                    const QString& name = QStringLiteral("Шевченко Тарас")) {
        if (!list.getDataSet()->active()) list.open();
        data::Dataset& ds = *list.getDataSet();
        ds.append();
        ds.fieldByName(QStringLiteral("AGENT_NAME")).setValue(name);
        ds.fieldByName(QStringLiteral("AGENT_LOGIN")).setValue(login);
        ds.fieldByName(QStringLiteral("AGENT_PASSWORD")).setValue(password);
        ds.fieldByName(QStringLiteral("GROUP_ID")).setValue(group);
        ds.post();
        // The directory form commits what the handlers left open.
        if (list.getTransaction()->inTransaction()) list.getTransaction()->commit();
    }
    // Changes a stored user; a null group keeps the group.
    static void change(TAgents& list, const QString& login, const QString& password, Variant group = {},
                       const QString& name = {}) {
        if (!list.getDataSet()->active()) list.open();
        data::Dataset& ds = *list.getDataSet();
        ASSERT_TRUE(ds.locate(QStringLiteral("AGENT_LOGIN"), login));
        ds.edit();
        ds.fieldByName(QStringLiteral("AGENT_PASSWORD")).setValue(password);
        if (!group.isEmpty()) ds.fieldByName(QStringLiteral("GROUP_ID")).setValue(group);
        if (!name.isEmpty()) ds.fieldByName(QStringLiteral("AGENT_NAME")).setValue(name);
        ds.post();
        if (list.getTransaction()->inTransaction()) list.getTransaction()->commit();
    }
    static void remove(TAgents& list, const QString& login) {
        if (!list.getDataSet()->active()) list.open();
        data::Dataset& ds = *list.getDataSet();
        ASSERT_TRUE(ds.locate(QStringLiteral("AGENT_LOGIN"), login));
        ds.remove();
    }

    std::unique_ptr<contracttest::OwnSettingsFile> settings_;
    ui::ScriptedDialogs dialogs_;
    ui::ScopedDialogs scope_{&dialogs_};
};

TEST_F(AgentsServerTest, NewAgentAndManagerBecomeServerUsersWithTheirRoles) {
    TAgents list;
    const QString password = QStringLiteral("Пароль з пробілами 7");
    add(list, QStringLiteral("kasir1"), password, 0);
    EXPECT_EQ(dialogs_.prompts, 1);  // no administrator password known yet
    EXPECT_EQ(loginRole(QStringLiteral("kasir1"), password, QStringLiteral("AGENTROLE")),
              QStringLiteral("AGENTROLE"));
    EXPECT_EQ(loginRole(QStringLiteral("KASIR1"), QStringLiteral("Пароль"), QStringLiteral("AGENTROLE")),
              kRefused);
    EXPECT_EQ(grants(QStringLiteral("KASIR1")), std::multiset<QString>{QStringLiteral("AGENTROLE")});
    EXPECT_EQ(
        adminValue(QStringLiteral("select AGENT_PASSWORD from AGENTS where AGENT_LOGIN = 'kasir1'")).toText(),
        TAgents::passwordMask);

    // A manager, added in the same session without a second question, can itself add a user.
    add(list, QStringLiteral("Boss_2"), QStringLiteral("b2"), 1);
    EXPECT_EQ(dialogs_.prompts, 1);
    EXPECT_EQ(grants(QStringLiteral("BOSS_2")),
              (std::multiset<QString>{QStringLiteral("AGENTROLE+"), QStringLiteral("MASTERROLE+")}));
    auto boss = connect(QStringLiteral("BOSS_2"), QStringLiteral("b2"), QStringLiteral("MASTERROLE"));
    {
        TAgents bossList(boss.get());
        add(bossList, QStringLiteral("kasir2"), QStringLiteral("k2"), 0);
    }
    EXPECT_EQ(loginRole(QStringLiteral("KASIR2"), QStringLiteral("k2"), QStringLiteral("AGENTROLE")),
              QStringLiteral("AGENTROLE"));

    // The typed passwords are nowhere in the database or the settings file.
    for (const QString& typed :
         {password, QStringLiteral("b2"), QStringLiteral("k2"), PrivateServer::sysdbaPassword()}) {
        const QString quoted = QString(typed).replace(u'\'', QStringLiteral("''"));
        EXPECT_EQ(adminValue(QStringLiteral("select count(*) from AGENTS where AGENT_PASSWORD = '") + quoted +
                             QStringLiteral("' or AGENT_NAME containing '") + quoted + u'\'')
                      .toInt(),
                  0);
        EXPECT_EQ(adminValue(QStringLiteral("select count(*) from LOG where LOG_INFO containing '") + quoted +
                             u'\'')
                      .toInt(),
                  0);
    }
    QFile ini(utl::SettingsFile::fileName());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString settings = QString::fromUtf8(ini.readAll());
    EXPECT_FALSE(settings.contains(password));
    EXPECT_FALSE(settings.contains(PrivateServer::sysdbaPassword()));
}

TEST_F(AgentsServerTest, NewPasswordReplacesTheOldAndTheMaskTouchesNothing) {
    TAgents list;
    add(list, QStringLiteral("kasir3"), QStringLiteral("old"), 0);
    change(list, QStringLiteral("kasir3"), QStringLiteral("new one"));
    EXPECT_EQ(loginRole(QStringLiteral("KASIR3"), QStringLiteral("old"), QStringLiteral("AGENTROLE")),
              kRefused);
    EXPECT_EQ(loginRole(QStringLiteral("KASIR3"), QStringLiteral("new one"), QStringLiteral("AGENTROLE")),
              QStringLiteral("AGENTROLE"));

    // With the mask and the same group nothing asks for the server: a wrong password would bring the prompt.
    udb::sessionSysdbaPassword() = QStringLiteral("wrong");
    dialogs_.prompts = 0;
    change(list, QStringLiteral("kasir3"), TAgents::passwordMask, Variant(), QStringLiteral("Касир Третій"));
    EXPECT_EQ(dialogs_.prompts, 0);
    EXPECT_EQ(
        adminValue(QStringLiteral("select AGENT_NAME from AGENTS where AGENT_LOGIN = 'kasir3'")).toText(),
        QStringLiteral("Касир Третій"));
    EXPECT_EQ(grants(QStringLiteral("KASIR3")), std::multiset<QString>{QStringLiteral("AGENTROLE")});
}

// Demoting a manager leaves it AGENTROLE alone, whichever manager made it and whether or not a password
// is typed with the change.
TEST_F(AgentsServerTest, DemotedManagerKeepsOnlyTheAgentRole) {
    struct Case {
        const char* login;
        bool madeByOtherManager;
        bool newPassword;
    };
    const Case cases[] = {{"DEMOTE1", false, true},
                          {"DEMOTE2", false, false},
                          {"DEMOTE3", true, true},
                          {"DEMOTE4", true, false}};
    TAgents list;
    add(list, QStringLiteral("BOSS3"), QStringLiteral("b3"), 1);
    auto boss = connect(QStringLiteral("BOSS3"), QStringLiteral("b3"), QStringLiteral("MASTERROLE"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.login);
        const QString login = QString::fromLatin1(c.login);
        if (c.madeByOtherManager) {
            TAgents bossList(boss.get());
            add(bossList, login, QStringLiteral("m1"), 1);
        } else {
            add(list, login, QStringLiteral("m1"), 1);
        }
        list.close();
        change(list, login, c.newPassword ? QStringLiteral("a1") : TAgents::passwordMask, 0);
        EXPECT_EQ(grants(login), std::multiset<QString>{QStringLiteral("AGENTROLE")});
        const QString password = c.newPassword ? QStringLiteral("a1") : QStringLiteral("m1");
        EXPECT_EQ(loginRole(login, password, QStringLiteral("MASTERROLE")), QStringLiteral("NONE"));
        EXPECT_EQ(loginRole(login, password, QStringLiteral("AGENTROLE")), QStringLiteral("AGENTROLE"));
    }
    EXPECT_EQ(dialogs_.prompts, 1);
}

TEST_F(AgentsServerTest, RefusedRowsReachNeitherTheTableNorTheServer) {
    TAgents list;
    add(list, QStringLiteral("kasir4"), QStringLiteral("k4"), 0);
    dialogs_.prompts = 0;
    udb::sessionSysdbaPassword().clear();
    dialogs_.passwords.clear();  // any question would be cancelled

    const QString badLogin = QStringLiteral(
        "Логин пользователя должен начинаться с латинской буквы и содержать только латинские буквы, "
        "цифры, \"_\" и \"$\", не более 31 символа: ");
    for (const QString& login : {QStringLiteral("ivan ov"), QStringLiteral("o'neil"),
                                 QStringLiteral("x\" or 1"), QStringLiteral("1ivanov")}) {
        EXPECT_EQ(errorText([&] { add(list, login, QStringLiteral("p"), 0); }), badLogin + login);
        list.getDataSet()->cancel();
        list.getTransaction()->rollback();
        EXPECT_EQ(rowsOf(QString(login).replace(u'\'', QStringLiteral("''"))), 0);
    }
    EXPECT_EQ(errorText([&] { add(list, QStringLiteral("Kasir4"), QStringLiteral("p"), 0); }),
              QStringLiteral("Пользователь с таким логином уже существует: Kasir4"));
    list.getDataSet()->cancel();
    EXPECT_EQ(dialogs_.prompts, 0);

    // A changed login; an empty field cancels the edit.
    list.close();
    list.open();
    data::Dataset& ds = *list.getDataSet();
    ASSERT_TRUE(ds.locate(QStringLiteral("AGENT_LOGIN"), QStringLiteral("kasir4")));
    ds.edit();
    ds.fieldByName(QStringLiteral("AGENT_LOGIN")).setValue(QStringLiteral("kasir5"));
    EXPECT_EQ(errorText([&] { ds.post(); }), QStringLiteral("Нельзя изменять логин пользователя"));
    ds.cancel();
    ds.append();
    ds.fieldByName(QStringLiteral("AGENT_LOGIN")).setValue(QStringLiteral("kasir6"));
    ds.fieldByName(QStringLiteral("AGENT_PASSWORD")).setValue(QStringLiteral("k6"));
    ds.fieldByName(QStringLiteral("GROUP_ID")).setValue(0);
    EXPECT_EQ(errorText([&] { ds.post(); }), kEmptyField);
    EXPECT_EQ(ds.state(), data::DatasetState::Browse);
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(dialogs_.prompts, 0);

    // A plain identifier is taken in any case and logs in.
    dialogs_.passwords = {PrivateServer::sysdbaPassword()};
    add(list, QStringLiteral("ivanov"), QStringLiteral("i1"), 0);
    EXPECT_EQ(loginRole(QStringLiteral("ivanov"), QStringLiteral("i1"), QStringLiteral("AGENTROLE")),
              QStringLiteral("AGENTROLE"));
}

TEST_F(AgentsServerTest, WrongAdministratorPasswordStoresNothing) {
    TAgents list;
    udb::sessionSysdbaPassword() = QStringLiteral("wrong");
    dialogs_.passwords = {QStringLiteral("bad 1"), QStringLiteral("bad 2")};
    const QString typed = QStringLiteral("secret 9");
    const QString error = errorText([&] { add(list, QStringLiteral("kasir7"), typed, 0); });
    EXPECT_EQ(error, kNoSecurity);
    EXPECT_EQ(dialogs_.prompts, 2);
    EXPECT_EQ(dialogs_.texts(), (QStringList{QStringLiteral("Введите пароль SYSDBA"),
                                             QStringLiteral("Введите пароль SYSDBA")}));
    EXPECT_EQ(rowsOf(QStringLiteral("kasir7")), 0);
    EXPECT_TRUE(list.getDataSet()->active());
    EXPECT_EQ(list.getDataSet()->state(), data::DatasetState::Browse);
    EXPECT_EQ(loginRole(QStringLiteral("kasir7"), typed, QString()), kRefused);
    EXPECT_EQ(udb::sessionSysdbaPassword(), QStringLiteral("wrong"));
}

// A list on a manager's connection whose roles came without the admin option: the server user is
// written, the grant is refused, and the row goes with the rolled back transaction.
TEST_F(AgentsServerTest, RefusedRoleStatementLeavesNoRow) {
    adminExec(QStringLiteral("create user LIMITED password 'l1'"));
    adminExec(QStringLiteral("grant MASTERROLE to LIMITED"));
    auto limited = connect(QStringLiteral("LIMITED"), QStringLiteral("l1"), QStringLiteral("MASTERROLE"));
    TAgents list(limited.get());
    const QString error =
        errorText([&] { add(list, QStringLiteral("kasir8"), QStringLiteral("secret k8"), 0); });
    EXPECT_NE(error, QStringLiteral("<no error>"));
    EXPECT_FALSE(error.contains(QStringLiteral("secret"))) << error.toStdString();
    EXPECT_TRUE(list.getDataSet()->active());
    list.getTransaction()->commit();
    EXPECT_EQ(rowsOf(QStringLiteral("kasir8")), 0);
    EXPECT_TRUE(grants(QStringLiteral("KASIR8")).empty());
}

TEST_F(AgentsServerTest, DeletingRemovesTheServerUserAndEveryGrant) {
    TAgents list;
    add(list, QStringLiteral("BOSS4"), QStringLiteral("b4"), 1);
    auto boss = connect(QStringLiteral("BOSS4"), QStringLiteral("b4"), QStringLiteral("MASTERROLE"));
    {
        TAgents bossList(boss.get());
        add(bossList, QStringLiteral("gone1"), QStringLiteral("g1"), 1);
        add(bossList, QStringLiteral("busy1"), QStringLiteral("u1"), 0);
    }
    list.close();

    // A user with contracts stays, on the server too.
    const int busy =
        adminValue(QStringLiteral("select AGENT_ID from AGENTS where AGENT_LOGIN = 'busy1'")).toInt();
    adminExec(
        QStringLiteral(
            "insert into PENALTY_CONTRACTS (CONTRACT_ID, CLIENT_ID, AGENT_ID, CONTRACT_NUM, CONTRACT_DATE) "
            "values (900001, null, %1, 'Д-1', current_date)")
            .arg(busy));
    EXPECT_EQ(
        errorText([&] { remove(list, QStringLiteral("busy1")); }),
        QStringLiteral("Невозможно удалить пользователя, т.к. существуют созданные им договора.\nЕсли вы "
                       "хотите удалить этого пользователя, удалите все договора созданные им."));
    EXPECT_EQ(loginRole(QStringLiteral("BUSY1"), QStringLiteral("u1"), QStringLiteral("AGENTROLE")),
              QStringLiteral("AGENTROLE"));

    // The connected user, connected under its name in another case.
    const QString current = errorText([&] { remove(list, QStringLiteral("MANAGER")); });
    EXPECT_TRUE(current.startsWith(QStringLiteral("Нельзя удалить текущего пользователя \n\nInfo: ")))
        << current.toStdString();

    // A manager made by another manager: its server user and both grants go.
    remove(list, QStringLiteral("gone1"));
    EXPECT_EQ(rowsOf(QStringLiteral("gone1")), 0);
    EXPECT_EQ(loginRole(QStringLiteral("GONE1"), QStringLiteral("g1"), QString()), kRefused);
    EXPECT_TRUE(grants(QStringLiteral("GONE1")).empty());

    // A row whose server user is gone already can still be deleted.
    add(list, QStringLiteral("gone2"), QStringLiteral("g2"), 0);
    fb::Service service;
    service.setServerName(server->host());
    service.setPassword(PrivateServer::sysdbaPassword());
    service.attach();
    service.deleteUser(QStringLiteral("GONE2"));
    remove(list, QStringLiteral("gone2"));
    EXPECT_EQ(rowsOf(QStringLiteral("gone2")), 0);
    EXPECT_TRUE(grants(QStringLiteral("GONE2")).empty());
}

// With the embedded engine and no server on this computer a new password cannot be written.
class AgentsEmbeddedTest : public contracttest::ContractSuite {};

TEST_F(AgentsEmbeddedTest, NewPasswordWithoutAServerIsRefused) {
    contracttest::OwnSettingsFile settings("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    udb::sessionSysdbaPassword().clear();
    dialogs.passwords = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    TAgents list;
    list.open();
    data::Dataset& ds = *list.getDataSet();
    ds.append();
    ds.fieldByName(QStringLiteral("AGENT_NAME")).setValue(QStringLiteral("Без сервера"));
    ds.fieldByName(QStringLiteral("AGENT_LOGIN")).setValue(QStringLiteral("LOCAL1"));
    ds.fieldByName(QStringLiteral("AGENT_PASSWORD")).setValue(QStringLiteral("p1"));
    ds.fieldByName(QStringLiteral("GROUP_ID")).setValue(0);
    EXPECT_EQ(errorText([&] { ds.post(); }), kNoSecurity);
    EXPECT_EQ(dialogs.prompts, 3);
    EXPECT_TRUE(udb::sessionSysdbaPassword().isEmpty());
    EXPECT_EQ(
        contracttest::scalar(QStringLiteral("select count(*) as V from AGENTS where AGENT_LOGIN = 'LOCAL1'"))
            .toInt(),
        0);
}

}  // namespace
