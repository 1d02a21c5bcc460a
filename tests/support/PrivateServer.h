#pragma once
// A private Firebird server on a free loopback port for one test, with its own security database,
// stopped when the object goes. Its passwords are made when the tests run: none is written in a source.

#include <QString>
#include <QTemporaryDir>

namespace tolvtest {

class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    bool started() const { return started_; }
    // Why it did not start.
    const QString& error() const { return error_; }
    int port() const { return port_; }
    // "127.0.0.1/port": the server part of database and service names.
    QString host() const;
    // "127.0.0.1/port:<folder>/<file>", a database in the server's own folder.
    QString databaseUrl(const QString& fileName) const;
    // SYSDBA's password, one per test process.
    static QString sysdbaPassword();
    // A new password for a user the test creates on the server.
    static QString newPassword();

private:
    QTemporaryDir dir_;
    QString script_;
    int port_ = 0;
    bool started_ = false;
    QString error_;
};

}  // namespace tolvtest
