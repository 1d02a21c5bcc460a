// The client layer against a private Firebird server on loopback: passwords and roles matter there.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/fb/Database.h"
#include "platform/fb/Error.h"
#include "platform/fb/Service.h"
#include "platform/fb/Statement.h"
#include "platform/fb/Transaction.h"

namespace {

int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(s);
    return ntohs(addr.sin_port);
}

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        port_ = freePort();
        script_ = QStringLiteral(TOLV_SOURCE_DIR "/tests/support/fbserver.sh");
        QProcess p;
        p.start(QStringLiteral("bash"), {script_, QStringLiteral("start"), dir_.path(), QString::number(port_),
                                         QStringLiteral("masterkey")});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        started_ = true;
    }
    void TearDown() override {
        if (!started_) return;
        QProcess p;
        p.start(QStringLiteral("bash"), {script_, QStringLiteral("stop"), dir_.path()});
        p.waitForFinished(30000);
    }
    QString url() const { return QStringLiteral("127.0.0.1/%1:%2/app.fdb").arg(port_).arg(dir_.path()); }

    QTemporaryDir dir_;
    QString script_;
    int port_ = 0;
    bool started_ = false;
};

TEST_F(ServerTest, UserPasswordAndRoleThroughTheServer) {
    {
        fb::Database admin(url());
        admin.setUserName(QStringLiteral("SYSDBA"));
        admin.setPassword(QStringLiteral("masterkey"));
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
    service.setServerName(QStringLiteral("127.0.0.1/%1").arg(port_));
    service.setPassword(QStringLiteral("wrong"));
    try {
        service.attach();
        FAIL() << "the service manager accepted a wrong password";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.gdsCode(), fb::gds::LoginFailed) << e.fullText().toStdString();
    }
    service.setPassword(QStringLiteral("masterkey"));
    service.attach();
    EXPECT_TRUE(service.active());
    service.detach();
    EXPECT_FALSE(service.active());
}

}  // namespace
