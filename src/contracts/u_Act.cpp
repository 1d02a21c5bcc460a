#include "u_Act.h"

#include "kv_FbUtil.h"

namespace TolvLogic {

bool Act::scGetWareFrom(int actId) {
    return udb::getField(QStringLiteral("ACT"), QStringLiteral("ID_WARE_FROM"), actId, QStringLiteral("ID"))
        .isNull();
}

bool Act::scGetWareTo(int actId) {
    return udb::getField(QStringLiteral("ACT"), QStringLiteral("ID_WARE_TO"), actId, QStringLiteral("ID"))
        .isNull();
}

}  // namespace TolvLogic
