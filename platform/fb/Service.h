#pragma once
// A connection to a Firebird server's service manager (user administration, backup), made with a
// user name and password: the server checks them, so attaching is also a password test.

#include <QString>

namespace Firebird {
class IService;
}

namespace fb {

class Service {
public:
    Service() = default;
    ~Service();
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // "" or "localhost" for this computer, else "host" or "host/port".
    void setServerName(const QString& server) { server_ = server; }
    const QString& serverName() const { return server_; }
    void setUserName(const QString& user) { user_ = user; }
    const QString& userName() const { return user_; }
    void setPassword(const QString& password) { password_ = password; }

    // Raises fb::Error (335544472 for a wrong user name or password).
    void attach();
    void detach();
    bool active() const { return service_ != nullptr; }
    Firebird::IService* handle() const { return service_; }

private:
    QString server_;
    QString user_ = QStringLiteral("SYSDBA");
    QString password_;
    Firebird::IService* service_ = nullptr;
};

}  // namespace fb
