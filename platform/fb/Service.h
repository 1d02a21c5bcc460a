#pragma once
// A connection to a Firebird server's service manager (user administration, backup), made with a
// user name and password: the server checks them, so attaching is also a password test.

#include <QString>
#include <functional>

#include "platform/fb/Error.h"

namespace Firebird {
class IService;
class IStatus;
class IXpbBuilder;
}  // namespace Firebird

namespace fb {

// The server has no user of that name: a user that is already gone is often no failure to the caller.
class NoSuchUser : public Error {
public:
    using Error::Error;
};

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

    // Server users. The server keeps user names in upper case, whatever case they are given in. Each
    // call waits for the server's answer and raises its failure; deleting a user the server does not
    // have raises NoSuchUser.
    void addUser(const QString& userName, const QString& password, const QString& firstName = QString());
    void deleteUser(const QString& userName);
    // Whether the service is still busy with the last action started on this attachment.
    bool running();

private:
    // Starts the action the builder describes, once the server is free for it, and waits for its end.
    void startAction(const std::function<void(Firebird::IXpbBuilder*, Firebird::IStatus*)>& fill);
    // Reads the service's answer to the action just started until it is done; raises its failure.
    void finishAction();

    QString server_;
    QString user_ = QStringLiteral("SYSDBA");
    QString password_;
    Firebird::IService* service_ = nullptr;
    bool actionPending_ = false;
};

}  // namespace fb
