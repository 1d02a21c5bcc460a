#pragma once
// The working user, for the whole program: the login in use, the user's name and cashier number from
// AGENTS, and whether the user is a manager. The application shell keeps the login and the server
// role of the last successful login and gives them here through a hook, so the windows of every layer
// reach the working user without reaching the shell.

#include <QString>
#include <functional>
#include <memory>

namespace TolvLogic {
class TAgentInfo;
}

namespace TolvMain {

class VuxSecur {
public:
    // What the shell's last successful login accepted: the login as typed and the server role chosen.
    struct Login {
        QString login;
        QString role;
    };
    using LoginHook = std::function<Login()>;

    virtual ~VuxSecur();
    VuxSecur(const VuxSecur&) = delete;
    VuxSecur& operator=(const VuxSecur&) = delete;

    // Made on the first call, loading the user record of the current login (raises when AGENTS holds
    // no single row for it, and the next call tries again).
    static VuxSecur& instance();
    // Empty before the first login.
    static QString getLogin();
    // Of the owned record. After a failed reload they load it again, and raise the same not-found
    // error while the row is still missing, so nothing prints an empty name.
    static QString getAgentName();
    static QString getKassirId();
    // True when the last login chose MASTERROLE, and for SYSDBA; false before the first login.
    static bool isMaster();
    // Replaces the owned record by a fresh one for the current login; on failure none is kept.
    static void reloadAgent();

    // The shell's source of the login; an empty hook takes it away.
    static void setLoginHook(LoginHook hook);
    // Forgets the singleton and its record (the program's end; tests).
    static void reset();

private:
    VuxSecur();
    const TolvLogic::TAgentInfo& agent();
    void load();

    std::unique_ptr<TolvLogic::TAgentInfo> agent_;
};

// The manager's server role; every other user connects with AGENTROLE.
extern const QString MASTER_ROLE;
extern const QString AGENT_ROLE;

}  // namespace TolvMain
