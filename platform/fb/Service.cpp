#include "platform/fb/Service.h"

#include <ibase.h>

#include "platform/fb/Client.h"

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Status;

Service::~Service() {
    try {
        detach();
    } catch (...) {
        // The server drops the attachment with the process either way.
    }
}

void Service::attach() {
    if (active()) return;
    const QString name = server_.isEmpty() ? QStringLiteral("service_mgr") : server_ + QStringLiteral(":service_mgr");
    Status st;
    service_ = call([&] {
        IXpbBuilder* spb = detail::util()->getXpbBuilder(&st, IXpbBuilder::SPB_ATTACH, nullptr, 0);
        struct Release {
            IXpbBuilder* b;
            ~Release() { b->dispose(); }
        } release{spb};
        spb->insertString(&st, isc_spb_user_name, detail::utf8(user_).constData());
        spb->insertString(&st, isc_spb_password, detail::utf8(password_).constData());
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

}  // namespace fb
