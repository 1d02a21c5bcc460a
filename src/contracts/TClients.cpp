#include "TClients.h"

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"

namespace TolvLogic {

using core::Variant;

const char* const clientsFields[10] = {"CLIENT_NAME",         "CLIENT_ADDRESS",      "CLIENT_PHONE",
                                       "CLIENT_INFO",         "CLIENT_ID",           "CLIENT_INN",
                                       "CLIENT_PASSPORT_SN",  "CLIENT_PASSPORT_NUM", "CLIENT_PASSPORT_INFO",
                                       "CLIENT_PASSPORT_DATE"};

TClientInfo::TClientInfo() : TDBRecord(QStringLiteral("CLIENTS"), QStringLiteral("CLIENT_ID"), 0, nullptr) {}

Variant TClientInfo::GetField(int index) const {
    return GetField(QString::fromLatin1(clientsFields[index]), true);
}

void TClientInfo::SetField(int index, const Variant& value) {
    SetField(QString::fromLatin1(clientsFields[index]), value, false);
}

std::vector<int> TClientInfo::getContractsByState(int state) const {
    ufb::AutoQuery q(QStringLiteral(" Select CONTRACT_ID from PENALTY_CONTRACTS  where CLIENT_ID = ") +
                         udb::var2DbVar(GetField(fCLIENT_ID)) + QStringLiteral("   and CONTRACT_STATE = ") +
                         QString::number(state),
                     nullptr);
    q->open();
    std::vector<int> ids;
    for (; !q->eof(); q->next()) ids.push_back(q->fieldByName(QStringLiteral("CONTRACT_ID")).asInteger());
    return ids;
}

QString TClients::NameById(int id) {
    TClientInfo client;
    client.SetField(TClientInfo::fCLIENT_ID, id);
    client.Select();
    return client.GetField(TClientInfo::fCLIENT_NAME).toText();
}

}  // namespace TolvLogic
