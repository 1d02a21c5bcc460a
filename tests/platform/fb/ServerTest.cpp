// The client layer against a private Firebird server on loopback: passwords and roles matter there.
#include <gtest/gtest.h>

#include "platform/fb/Database.h"
#include "platform/fb/Error.h"
#include "platform/fb/Service.h"
#include "platform/fb/Statement.h"
#include "platform/fb/Transaction.h"
#include "tests/support/PrivateServer.h"

namespace {

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.started()) << server_.error().toStdString(); }
    QString url() const { return server_.databaseUrl(QStringLiteral("app.fdb")); }
    tolvtest::PrivateServer server_;
};

TEST_F(ServerTest, UserPasswordAndRoleThroughTheServer) {
    {
        fb::Database admin(url());
        admin.setUserName(QStringLiteral("SYSDBA"));
        admin.setPassword(tolvtest::PrivateServer::sysdbaPassword());
        admin.create();
        fb::Transaction t(&admin);
        fb::Statement q(&t);
        for (const char* sql : {"create role MASTERROLE", "create user CASHIER password 'kassa1'",
                                "grant MASTERROLE to CASHIER"}) {
            q.setSql(QString::fromLatin1(sql));
            q.execute();
            t.commit();
        }
    }
    {
        fb::Database db(url());
        db.setUserName(QStringLiteral("cashier"));
        db.setPassword(QStringLiteral("kassa1"));
        db.setRole(QStringLiteral("MASTERROLE"));
        db.open();
        fb::Transaction t(&db);
        fb::Statement q(&t);
        q.setSql(QStringLiteral("select CURRENT_USER, CURRENT_ROLE from RDB$DATABASE"));
        q.execute();
        ASSERT_TRUE(q.fetch());
        EXPECT_EQ(q.value(0).toText(), QStringLiteral("CASHIER"));
        EXPECT_EQ(q.value(1).toText(), QStringLiteral("MASTERROLE"));
    }
    fb::Database wrong(url());
    wrong.setUserName(QStringLiteral("CASHIER"));
    wrong.setPassword(QStringLiteral("wrong"));
    try {
        wrong.open();
        FAIL() << "a wrong password was accepted";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.gdsCode(), fb::gds::LoginFailed) << e.fullText().toStdString();
    }
    EXPECT_FALSE(wrong.connected());

    // The service manager checks the administrator's password too.
    fb::Service service;
    service.setServerName(server_.host());
    service.setPassword(QStringLiteral("wrong"));
    try {
        service.attach();
        FAIL() << "the service manager accepted a wrong password";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.gdsCode(), fb::gds::LoginFailed) << e.fullText().toStdString();
    }
    service.setPassword(tolvtest::PrivateServer::sysdbaPassword());
    service.attach();
    EXPECT_TRUE(service.active());
    service.detach();
    EXPECT_FALSE(service.active());
}

// Server users through the service manager: the name in any case is one upper-case user, a password
// with Cyrillic letters and blanks logs in, and a user that is not there is told apart.
TEST_F(ServerTest, ServiceManagerAddsAndDeletesServerUsers) {
    {
        fb::Database admin(url());
        admin.setPassword(tolvtest::PrivateServer::sysdbaPassword());
        admin.create();
    }
    const QString password = QStringLiteral("Мій пароль 2024");
    const auto login = [this](const QString& user, const QString& pass) {
        fb::Database db(url());
        db.setUserName(user);
        db.setPassword(pass);
        db.open();
        fb::Transaction t(&db);
        fb::Statement q(&t);
        q.setSql(QStringLiteral("select CURRENT_USER from RDB$DATABASE"));
        q.execute();
        return q.fetch() ? q.value(0).toText() : QString();
    };
    const auto refusal = [&login](const QString& user, const QString& pass) -> long {
        try {
            login(user, pass);
            return 0;
        } catch (const fb::Error& e) {
            return e.gdsCode();
        }
    };

    fb::Service service;
    service.setServerName(server_.host());
    service.setPassword(tolvtest::PrivateServer::sysdbaPassword());
    service.attach();
    service.addUser(QStringLiteral("ivanov"), password, QStringLiteral("ivanov"));
    EXPECT_FALSE(service.running());
    EXPECT_EQ(login(QStringLiteral("IVANOV"), password), QStringLiteral("IVANOV"));
    EXPECT_EQ(login(QStringLiteral("Ivanov"), password), QStringLiteral("IVANOV"));
    EXPECT_EQ(refusal(QStringLiteral("ivanov"), QStringLiteral("Мій пароль")), fb::gds::LoginFailed);
    // A second user of the same name in another case is the same user.
    try {
        service.addUser(QStringLiteral("IVANOV"), QStringLiteral("x"));
        FAIL() << "a second server user of the same name was added";
    } catch (const fb::NoSuchUser&) {
        FAIL() << "an existing user was reported missing";
    } catch (const fb::Error&) {
    }

    try {
        service.deleteUser(QStringLiteral("NEVER1"));
        FAIL() << "a user that never was was deleted";
    } catch (const fb::NoSuchUser&) {
    } catch (const fb::Error& e) {
        QStringList codes;
        for (long c : e.gdsCodes()) codes << QString::number(c);
        FAIL() << codes.join(u' ').toStdString() << " " << e.fullText().toStdString();
    }
    service.deleteUser(QStringLiteral("Ivanov"));
    EXPECT_EQ(refusal(QStringLiteral("IVANOV"), password), fb::gds::LoginFailed);
    EXPECT_THROW(service.deleteUser(QStringLiteral("IVANOV")), fb::NoSuchUser);
    // The attachment stays usable after a refused action.
    service.addUser(QStringLiteral("PETROV"), QStringLiteral("p1"));
    EXPECT_EQ(login(QStringLiteral("petrov"), QStringLiteral("p1")), QStringLiteral("PETROV"));
    service.detach();
    EXPECT_THROW(service.deleteUser(QStringLiteral("PETROV")), fb::Error);
}

}  // namespace
