#include "platform/fb/Service.h"

#include <ibase.h>

#include <vector>

#include "platform/fb/Client.h"

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Status;

namespace {

struct ReleaseBuilder {
    IXpbBuilder* b;
    ~ReleaseBuilder() { b->dispose(); }
};

// The server's codes for a user name that its security database does not hold.
bool isNoSuchUser(const Error& e) {
    return e.hasGdsCode(isc_usrname_not_found) || e.hasGdsCode(isc_gsec_err_rec_not_found);
}

}  // namespace

Service::~Service() {
    try {
        detach();
    } catch (...) {
        // The server drops the attachment with the process either way.
    }
}

void Service::attach() {
    if (active()) return;
    const QString name =
        server_.isEmpty() ? QStringLiteral("service_mgr") : server_ + QStringLiteral(":service_mgr");
    Status st;
    service_ = call([&] {
        IXpbBuilder* spb = detail::util()->getXpbBuilder(&st, IXpbBuilder::SPB_ATTACH, nullptr, 0);
        ReleaseBuilder release{spb};
        spb->insertString(&st, isc_spb_user_name, detail::utf8(user_).constData());
        spb->insertString(&st, isc_spb_password, detail::utf8(password_).constData());
        // Names and passwords of the actions travel as UTF-8, as the database connection sends them.
        spb->insertTag(&st, isc_spb_utf8_filename);
        return detail::provider()->attachServiceManager(&st, detail::utf8(name).constData(),
                                                        spb->getBufferLength(&st), spb->getBuffer(&st));
    });
}

void Service::detach() {
    if (!service_) return;
    Status st;
    IService* s = service_;
    service_ = nullptr;
    call([&] { s->detach(&st); });
}

void Service::addUser(const QString& userName, const QString& password, const QString& firstName) {
    if (!active()) detail::raise(QStringLiteral("The service manager is not attached"));
    Status st;
    call([&] {
        IXpbBuilder* spb = detail::util()->getXpbBuilder(&st, IXpbBuilder::SPB_START, nullptr, 0);
        ReleaseBuilder release{spb};
        spb->insertTag(&st, isc_action_svc_add_user);
        spb->insertString(&st, isc_spb_sec_username, detail::utf8(userName).constData());
        spb->insertString(&st, isc_spb_sec_password, detail::utf8(password).constData());
        if (!firstName.isEmpty())
            spb->insertString(&st, isc_spb_sec_firstname, detail::utf8(firstName).constData());
        service_->start(&st, spb->getBufferLength(&st), spb->getBuffer(&st));
    });
    finishAction();
}

void Service::deleteUser(const QString& userName) {
    if (!active()) detail::raise(QStringLiteral("The service manager is not attached"));
    Status st;
    try {
        call([&] {
            IXpbBuilder* spb = detail::util()->getXpbBuilder(&st, IXpbBuilder::SPB_START, nullptr, 0);
            ReleaseBuilder release{spb};
            spb->insertTag(&st, isc_action_svc_delete_user);
            spb->insertString(&st, isc_spb_sec_username, detail::utf8(userName).constData());
            service_->start(&st, spb->getBufferLength(&st), spb->getBuffer(&st));
        });
        finishAction();
    } catch (const NoSuchUser&) {
        throw;
    } catch (const Error& e) {
        if (isNoSuchUser(e)) throw NoSuchUser(e.fullText(), e.firstMessage(), e.gdsCodes(), e.sqlCode());
        throw;
    }
}

void Service::finishAction() {
    // A user action writes no output; the server reports its outcome on the queries that follow.
    const unsigned char items[] = {isc_info_svc_line};
    std::vector<unsigned char> buffer(1024);
    for (;;) {
        Status st;
        call([&] {
            service_->query(&st, 0, nullptr, sizeof items, items, static_cast<unsigned>(buffer.size()),
                            buffer.data());
        });
        if (buffer[0] != isc_info_svc_line) return;
        const int length = static_cast<int>(isc_portable_integer(buffer.data() + 1, 2));
        if (length == 0) return;
    }
}

bool Service::running() {
    if (!active()) return false;
    const unsigned char items[] = {isc_info_svc_running};
    unsigned char buffer[16] = {};
    Status st;
    call([&] { service_->query(&st, 0, nullptr, sizeof items, items, sizeof buffer, buffer); });
    return buffer[0] == isc_info_svc_running && isc_portable_integer(buffer + 1, 4) != 0;
}

}  // namespace fb
