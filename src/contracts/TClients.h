#pragma once
// The borrowers (CLIENTS): the record of one client and the lookups of a client by id.

#include <QString>
#include <vector>

#include "kv_DBRecord.h"

namespace TolvLogic {

// Positions of the client record's columns (GetField, SetField).
extern const char* const clientsFields[10];

// One CLIENTS row on the program database; CLIENT_ID starts as 0.
class TClientInfo : public ufb::TDBRecord {
public:
    enum Column {
        fCLIENT_NAME = 0,
        fCLIENT_ADDRESS,
        fCLIENT_PHONE,
        fCLIENT_INFO,
        fCLIENT_ID,
        fCLIENT_INN,
        fCLIENT_PASSPORT_SN,
        fCLIENT_PASSPORT_NUM,
        fCLIENT_PASSPORT_INFO,
        fCLIENT_PASSPORT_DATE
    };

    TClientInfo();

    using TDBRecord::GetField;
    using TDBRecord::SetField;
    // A column the record does not hold raises the record's missing-field error.
    core::Variant GetField(int index) const;
    // CLIENT_ID, being the key, moves the key with it.
    void SetField(int index, const core::Variant& value);

    // CONTRACT_IDs of this client's contracts in the state, in the order the database gives them.
    std::vector<int> getContractsByState(int state) const;
};

// The client directory. Here: its lookups by id.
class TClients {
public:
    // CLIENT_NAME of the client; a client without a row raises the record's missing-field error.
    static QString NameById(int id);
};

}  // namespace TolvLogic
