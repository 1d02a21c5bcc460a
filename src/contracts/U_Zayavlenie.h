#pragma once
// The deferral application of a contract (ZAYAVLENIYA, at most one row per contract): the record the
// application dialog writes, the main window deletes and the PROLONG document group reads.

#include <QString>
#include <utility>
#include <vector>

#include "kv_DBRecord.h"

namespace TolvLogic {

class Zayavlenie : public ufb::TDBRecord {
public:
    // Positions in zayavleniyaFields.
    enum Column { zCONTRACT_ID = 0, zDATE_CUR, zDATE_TO, zNOTE };

    // Keyed by the contract, on the program database; Select, Insert, Update and Delete each commit
    // on their own.
    explicit Zayavlenie(int contractId);

    using TDBRecord::GetField;
    using TDBRecord::SetField;
    core::Variant GetField(int index) const;
    void SetField(int index, const core::Variant& value);

    // Whether the contract has an application.
    static bool scExists(int contractId);
    // Deletes the contract's application once the user agrees; without one only says so.
    static void scDelZayav(int contractId);
};

// The texts of this unit's translator keys in the language (1 Russian, 2 Ukrainian), for the shell to
// copy into the translator; each entry is {key, text}.
std::vector<std::pair<QString, QString>> zayavlenieTexts(int language);

}  // namespace TolvLogic
