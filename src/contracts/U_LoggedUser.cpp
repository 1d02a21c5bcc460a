#include "U_LoggedUser.h"

#include "TClients.h"

namespace TolvMain {

const QString MASTER_ROLE = QStringLiteral("MASTERROLE");
const QString AGENT_ROLE = QStringLiteral("AGENTROLE");

namespace {

VuxSecur::LoginHook& loginHook() {
    static VuxSecur::LoginHook hook;
    return hook;
}

VuxSecur::Login currentLogin() {
    return loginHook() ? loginHook()() : VuxSecur::Login{};
}

std::unique_ptr<VuxSecur>& single() {
    static std::unique_ptr<VuxSecur> instance;
    return instance;
}

}  // namespace

VuxSecur::VuxSecur() = default;

VuxSecur::~VuxSecur() = default;

void VuxSecur::load() {
    agent_.reset();
    agent_ = std::make_unique<TolvLogic::TAgentInfo>(getLogin(), nullptr);
}

VuxSecur& VuxSecur::instance() {
    if (!single()) {
        std::unique_ptr<VuxSecur> made(new VuxSecur());
        made->load();
        single() = std::move(made);
    }
    return *single();
}

const TolvLogic::TAgentInfo& VuxSecur::agent() {
    if (!agent_) load();
    return *agent_;
}

QString VuxSecur::getLogin() {
    return currentLogin().login;
}

QString VuxSecur::getAgentName() {
    return instance().agent().agentName();
}

QString VuxSecur::getKassirId() {
    return instance().agent().kassirId();
}

bool VuxSecur::isMaster() {
    const Login current = currentLogin();
    if (current.login.isEmpty()) return false;
    return current.login.toUpper() == QStringLiteral("SYSDBA") || current.role == MASTER_ROLE;
}

void VuxSecur::reloadAgent() {
    if (!single()) {
        instance();
        return;
    }
    single()->load();
}

void VuxSecur::setLoginHook(LoginHook hook) {
    loginHook() = std::move(hook);
}

void VuxSecur::reset() {
    single().reset();
}

}  // namespace TolvMain
