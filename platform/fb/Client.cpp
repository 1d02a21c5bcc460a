#include "platform/fb/Client.h"

#include <ibase.h>

#include <vector>

namespace fb::detail {

using namespace Firebird;

IMaster* master() {
    static IMaster* m = fb_get_master_interface();
    return m;
}

IUtil* util() {
    static IUtil* u = master()->getUtilInterface();
    return u;
}

IProvider* provider() {
    static IProvider* p = master()->getDispatcher();
    return p;
}

namespace {

// Formats a status vector into text, one message per line.
QString format(const intptr_t* vector) {
    IStatus* st = master()->getStatus();
    st->setErrors(vector);
    std::vector<char> buf(8192);
    const unsigned n = util()->formatStatus(buf.data(), static_cast<unsigned>(buf.size()), st);
    st->dispose();
    return QString::fromUtf8(buf.data(), static_cast<int>(std::min<size_t>(n, buf.size()))).trimmed();
}

// Length in slots of one argument of a status vector, its type included.
size_t argLength(intptr_t type) { return type == isc_arg_cstring ? 3 : 2; }

}  // namespace

Error toError(const FbException& e) {
    const intptr_t* v = e.getStatus()->getErrors();
    std::vector<long> codes;
    std::vector<intptr_t> first;
    bool firstDone = false;
    for (size_t i = 0; v[i] != isc_arg_end; i += argLength(v[i])) {
        if (v[i] == isc_arg_gds) {
            codes.push_back(static_cast<long>(v[i + 1]));
            if (!first.empty()) firstDone = true;
        } else if (v[i] == isc_arg_warning || v[i] == isc_arg_sql_state) {
            firstDone = true;
        }
        if (!firstDone) first.insert(first.end(), v + i, v + i + argLength(v[i]));
    }
    first.push_back(isc_arg_end);
    const int sqlCode = static_cast<int>(isc_sqlcode(reinterpret_cast<const ISC_STATUS*>(v)));
    return Error(format(v), format(first.data()), std::move(codes), sqlCode);
}

void raise(const QString& text) { throw Error(text, text, {}, 0); }

}  // namespace fb::detail
