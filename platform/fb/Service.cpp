#include "platform/fb/Service.h"

#include <ibase.h>

#include <QElapsedTimer>
#include <QThread>
#include <functional>

#include "platform/fb/Client.h"

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Status;

namespace {

// A user action takes milliseconds; a server that has not finished one by then is stuck.
constexpr qint64 kActionTimeoutMs = 30000;

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
    actionPending_ = false;
    if (!service_) return;
    Status st;
    IService* s = service_;
    service_ = nullptr;
    call([&] { s->detach(&st); });
}

void Service::startAction(const std::function<void(IXpbBuilder*, IStatus*)>& fill) {
    if (!active()) detail::raise(QStringLiteral("The service manager is not attached"));
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        try {
            Status st;
            call([&] {
                IXpbBuilder* spb = detail::util()->getXpbBuilder(&st, IXpbBuilder::SPB_START, nullptr, 0);
                ReleaseBuilder release{spb};
                fill(spb, st.get());
                service_->start(&st, spb->getBufferLength(&st), spb->getBuffer(&st));
            });
            break;
        } catch (const Error& e) {
            // The server may still be closing the previous action after it reported the outcome.
            if (!e.hasGdsCode(isc_svc_in_use) || waited.elapsed() > kActionTimeoutMs) throw;
            QThread::msleep(10);
        }
    }
    actionPending_ = true;
    finishAction();
}

void Service::addUser(const QString& userName, const QString& password, const QString& firstName) {
    startAction([&](IXpbBuilder* spb, IStatus* status) {
        ThrowStatusWrapper st(status);
        spb->insertTag(&st, isc_action_svc_add_user);
        spb->insertString(&st, isc_spb_sec_username, detail::utf8(userName).constData());
        spb->insertString(&st, isc_spb_sec_password, detail::utf8(password).constData());
        if (!firstName.isEmpty())
            spb->insertString(&st, isc_spb_sec_firstname, detail::utf8(firstName).constData());
    });
}

void Service::deleteUser(const QString& userName) {
    try {
        startAction([&](IXpbBuilder* spb, IStatus* status) {
            ThrowStatusWrapper st(status);
            spb->insertTag(&st, isc_action_svc_delete_user);
            spb->insertString(&st, isc_spb_sec_username, detail::utf8(userName).constData());
        });
    } catch (const Error& e) {
        if (isNoSuchUser(e)) throw NoSuchUser(e.fullText(), e.firstMessage(), e.gdsCodes(), e.sqlCode());
        throw;
    }
}

void Service::finishAction() {
    // The server runs the action on a thread of its own and reports a failure on a query that
    // follows its end: ask until it is done, then once more.
    struct Done {
        bool& pending;
        ~Done() { pending = false; }
    } done{actionPending_};
    QElapsedTimer waited;
    waited.start();
    while (running() && waited.elapsed() < kActionTimeoutMs) QThread::msleep(5);
    const unsigned char items[] = {isc_info_svc_line};
    unsigned char buffer[256] = {};
    Status st;
    call([&] { service_->query(&st, 0, nullptr, sizeof items, items, sizeof buffer, buffer); });
}

bool Service::running() {
    // A refused start leaves nothing running, and a query would only repeat the refusal.
    if (!active() || !actionPending_) return false;
    const unsigned char items[] = {isc_info_svc_running};
    unsigned char buffer[16] = {};
    Status st;
    call([&] { service_->query(&st, 0, nullptr, sizeof items, items, sizeof buffer, buffer); });
    return buffer[0] == isc_info_svc_running && isc_portable_integer(buffer + 1, 4) != 0;
}

}  // namespace fb
