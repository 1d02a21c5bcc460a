#pragma once
// The branches of the office (DIR_FILIAL): the record of one branch with its number counters, and the
// lookups by branch id that the whole program asks.

#include <QString>

#include <vector>

#include "kv_DBRecord.h"
#include "kv_QueryWrapper.h"
#include "platform/core/DateTime.h"

namespace TolvLogic {

// Positions of the branch record's columns (getField, setField).
extern const char* const dirFilialFields[11];

// One DIR_FILIAL row, read when it is made. Without a transaction each statement runs in a
// transaction of its own on the program database.
class FilialInfo : public ufb::TDBRecord {
public:
    enum Column {
        fID = 0,
        fNUMBER,
        fNAME,
        fIS_IMPORT,
        fIS_CURENT,
        fORDER_NUM_AUTOINC,
        fWNT_RECEIPT_NUM_AUTOINC,
        fWNT_EXPENSE_NUM_AUTOINC,
        fREG_RECEIPT_NUM_AUTOINC,
        fREG_EXPENSE_NUM_AUTOINC,
        fGUID
    };

    // Raises "FilialInfo::FilialInfo() - <text> id = <id>" when the branch has no row.
    explicit FilialInfo(int id, fb::Transaction* transaction = nullptr);

    // A column the row does not carry raises the record's missing-field error.
    core::Variant getField(int index) const;
    // ID becomes the record's key; any other column is a plain value, stored by Update.
    void setField(int index, const core::Variant& value);
    // "NUMBER - NAME", the way every list shows a branch.
    QString getNumberName() const;

    // Takes the number a counter column of the branch holds (each counter holds the next number to
    // give) and advances that column alone, in one statement of a short transaction of its own that
    // commits at once: workstations taking numbers at the same time get distinct ones, an advance of
    // another counter of the row is never overwritten, and a number taken stays used up even when the
    // caller's own work rolls back. With restart the number given is 1 and the counter holds 2 (the
    // yearly, monthly or daily restart of contract numbers). Raises the record's missing-branch error
    // for a branch without a row. The program database when none is given.
    static int scTakeNumber(int filialId, int counterIndex, bool restart = false,
                            fb::Database* database = nullptr);

    // CONTRACT_DATE of the branch's contract with the highest CONTRACT_ID, read in the record's
    // transaction; the zero date when the branch has none.
    static core::DateTime scGetLastContractDate(const FilialInfo& filial);
};

// The branch directory: the list of branches by number with the import filter, the entries of the
// main window's "Текущий филиал" menu and the choice of the current branch from it, and the lookups by
// branch id, each on the given transaction or, without one, in a transaction of its own.
class FilialsDir : public ufb::UpdQueryWrapper {
public:
    // One item of the branch menu: number " - " name, the branch id, checked for the current branch.
    struct MenuEntry {
        QString caption;
        int id = 0;
        bool checked = false;
    };

    // The list is built, not opened.
    explicit FilialsDir(fb::Database* database = nullptr);
    explicit FilialsDir(fb::Transaction* transaction);

    // 0 all branches, 1 own branches only, 2 imported ones only. An open list is reopened at once.
    void setImportFilter(int filter);
    int importFilter() const { return importFilter_; }
    // Applies the filter, opens and fetches every row; with filter 1 stands on the current branch.
    bool open() override;

    // The entries of the branch menu in the list's order; opens the list when it is closed and leaves
    // its current row where it was.
    std::vector<MenuEntry> fillMenu();
    // Makes the branch current (one committed transaction), reopens the list on the row it stood on,
    // and answers the refilled menu.
    std::vector<MenuEntry> menuItemClick(int filialId);

    // The branch marked current when exactly one is; otherwise 0, or "Текущий филиал не задан" when
    // mustExist is set.
    static int scGetCurentFilialId(bool mustExist = false);
    // NAME, or a single blank for an unknown branch.
    static QString scGetFilialName(int filialId, fb::Transaction* transaction = nullptr);
    // NUMBER, or -1 for an unknown branch.
    static int scGetFilialNumber(int filialId, fb::Transaction* transaction = nullptr);
    // IS_IMPORT; an unknown branch counts as imported, so nothing is regenerated for it.
    static bool scIsFilialImported(int filialId, fb::Transaction* transaction = nullptr);

private:
    int importFilter_ = 0;
};

}  // namespace TolvLogic
