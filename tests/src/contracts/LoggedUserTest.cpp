// The working user: the login the shell's hook gives, the user record of AGENTS, the manager test and
// the failed reload.

#include <gtest/gtest.h>

#include "U_LoggedUser.h"
#include "kv_FbUtil.h"
#include "platform/fb/Transaction.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TestDatabase.h"

namespace {

using TolvMain::VuxSecur;

class LoggedUserTest : public tolvtest::DbSuite {
protected:
    void TearDown() override {
        VuxSecur::setLoginHook({});
        VuxSecur::reset();
    }
    void logIn(const QString& login, const QString& role = QString()) {
        VuxSecur::setLoginHook([login, role] { return VuxSecur::Login{login, role}; });
    }
};

TEST_F(LoggedUserTest, BeforeLoginThereIsNoUser) {
    EXPECT_TRUE(VuxSecur::getLogin().isEmpty());
    EXPECT_FALSE(VuxSecur::isMaster());
    logIn(QString(), QStringLiteral("MASTERROLE"));
    EXPECT_FALSE(VuxSecur::isMaster());
}

TEST_F(LoggedUserTest, LoginsThatDifferInCaseFindOneRow) {
    for (const QString& login :
         {QStringLiteral("manager"), QStringLiteral("MANAGER"), QStringLiteral("Manager")}) {
        logIn(login, QStringLiteral("MASTERROLE"));
        VuxSecur::reloadAgent();
        EXPECT_EQ(VuxSecur::getLogin(), login);
        EXPECT_EQ(VuxSecur::getAgentName(), QStringLiteral("Администратор"));
        EXPECT_EQ(VuxSecur::getKassirId(), QStringLiteral("1"));
    }
}

TEST_F(LoggedUserTest, TheManagerTestFollowsTheRoleOfTheLastLogin) {
    struct Case {
        QString login;
        QString role;
        bool master;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("MANAGER"), QStringLiteral("MASTERROLE"), true},
        {QStringLiteral("MANAGER"), QStringLiteral("AGENTROLE"), false},
        {QStringLiteral("ivan"), QStringLiteral("AGENTROLE"), false},
        {QStringLiteral("sysdba"), QString(), true},
    };
    for (const Case& c : cases) {
        logIn(c.login, c.role);
        EXPECT_EQ(VuxSecur::isMaster(), c.master) << c.login.toStdString() << " " << c.role.toStdString();
    }
}

TEST_F(LoggedUserTest, AfterAFailedReloadTheNameIsNeverEmpty) {
    logIn(QStringLiteral("MANAGER"), QStringLiteral("MASTERROLE"));
    EXPECT_EQ(VuxSecur::getAgentName(), QStringLiteral("Администратор"));
    // Another user, whose row does not exist.
    logIn(QStringLiteral("GHOST"), QStringLiteral("AGENTROLE"));
    const QString notFound =
        QStringLiteral("Невозможно идентифициоровать пользователя программы\nAGENT_LOGIN = GHOST");
    EXPECT_EQ(tolvtest::errorText([] { VuxSecur::reloadAgent(); }), notFound);
    EXPECT_EQ(tolvtest::errorText([] { VuxSecur::getAgentName(); }), notFound);
    EXPECT_EQ(tolvtest::errorText([] { VuxSecur::getKassirId(); }), notFound);
    // Once the row exists the record loads again.
    fb::Transaction t(&testDb().db());
    t.start();
    udb::execSql(QStringLiteral("insert into AGENTS (AGENT_NAME, AGENT_LOGIN, GROUP_ID, KASSIR_ID) "
                                "values ('Привид', 'ghost', 0, '9')"),
                 &t);
    t.commit();
    EXPECT_EQ(VuxSecur::getAgentName(), QStringLiteral("Привид"));
    EXPECT_EQ(VuxSecur::getKassirId(), QStringLiteral("9"));
}

}  // namespace
