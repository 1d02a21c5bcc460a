#pragma once
// The small directories a contract refers to: pledge types, standard pledged-item names, passport
// issuers, the two tariff scales, storage-fee kinds, precious-metal kinds and the precious-metal
// tariffs by assay. Each is a list the generic directory form shows; some answer lookups by id through
// the process-wide small-table cache. Names of pledge types and storage-fee kinds are read in the
// interface language of the moment the list is made (or the cache first filled).

#include <QString>
#include <memory>

#include "kv_DBRecord.h"
#include "kv_DataSetWrapper.h"
#include "kv_QueryWrapper.h"
#include "u_DbFields.h"

namespace fb {
class Database;
class Query;
class Transaction;
}  // namespace fb

namespace TolvLogic {

// Pledge types (DEPOSIT_TYPES) with their names in the interface language.
class TDepositTypes : public ufb::TableWrapper {
public:
    // On the program database when none is given.
    explicit TDepositTypes(fb::Database* database = nullptr);
    ~TDepositTypes() override;

    // The names query opens before the table and closes after it.
    bool open() override;
    bool close() override;

    // The type's name in the interface language.
    static QString scGetName(int typeId);
    // "GOLD" (precious metal), "TECH" (other goods) ...; "NONE" for id 0 without reading anything.
    static QString scGetCode(int typeId);
    static int scGetIdByCode(const QString& code);
    static bool scIsGold(int typeId);

private:
    std::unique_ptr<fb::Query> names_;
};

// Standard pledged-item names per pledge type (DEPOSIT_SUBJECTS), edited with cached updates.
class DepositSubjsDir : public ufb::UpdQueryWrapper {
public:
    explicit DepositSubjsDir(fb::Database* database = nullptr);
    ~DepositSubjsDir() override;

    // The pledge types list opens before the names.
    bool open() override;
    bool close() override;

    // Stores a new item name for the pledge type, committed at once in a transaction of its own; false
    // (nothing stored) for an empty name, a count below 1, or a name the type already has. Database
    // errors of the insert pass to the caller.
    static bool scAddSubject(int depositTypeId, const QString& name, int count);

private:
    std::unique_ptr<TDepositTypes> types_;
};

// Texts of passport issuing authorities (PASPORT_DATA).
class TPasportData : public ufb::TableWrapper {
public:
    explicit TPasportData(fb::Database* database = nullptr);
};

// Storage-fee kinds (STORAGE_TYPES): 1 a fixed sum per day, 2 and 3 a daily percentage.
class StorageTypes : public ufb::TableWrapper {
public:
    explicit StorageTypes(fb::Database* database = nullptr);
    ~StorageTypes() override;

    bool open() override;
    bool close() override;

    // Every name in the list's order, each followed by the separator (the last one too); opens the
    // list when it is closed.
    QString getNamesText(const QString& separator);

    // The kind's name in the interface language.
    static QString scGetName(int kind);
    // The currency name for kind 1, "%" for kinds 2 and 3, " " for any other.
    static QString scGetUnitText(int kind);
    // STORAGE_TYPE of the contract's terms; 0 when the contract has none.
    static int scGetContractStorageType(int contractId);
    // The caption of a storage value: "Сут. плата, <currency>" for kind 1, "Сут. ставка, <name>, %"
    // for kinds 2 and 3, empty for any other. A contract id above 0 takes that contract's kind.
    static QString scGetCaption(int kind, int contractId);

private:
    std::unique_ptr<fb::Query> names_;
};

// A scale of automatic contract terms: "AUTO_PERC_SUM" (by the client's loan sum) or "AUTO_PERC_DAYS"
// (by the loan's term in days). After every post the scale reopens in its order and stays on the row.
class AutoPercDir : public ufb::TableWrapper {
public:
    // Any other table name raises core::Exception.
    explicit AutoPercDir(const QString& tableName, fb::Database* database = nullptr);
    ~AutoPercDir() override;

    // The storage-fee kinds open before the scale.
    bool open() override;
    bool close() override;

    bool isSumScale() const { return sumScale_; }

private:
    bool sumScale_;
    std::unique_ptr<StorageTypes> storageTypes_;
};

// Kinds of precious metal (DIR_DRAGME_TYPE).
class DirDragMeTypes : public ufb::TableWrapper {
public:
    explicit DirDragMeTypes(fb::Database* database = nullptr);
};

// Precious-metal tariffs by assay (GOLD_TARIF), in assay-name order, prices per gram in hundredths.
class GoldTarifs : public ufb::TableWrapper {
public:
    explicit GoldTarifs(fb::Database* database = nullptr);
    ~GoldTarifs() override;

    // Opens the metal kinds first, then the tariffs; true only when both are open.
    bool open() override;
    bool close() override;

private:
    std::unique_ptr<DirDragMeTypes> meTypes_;
};

// One GOLD_TARIF row, keyed ID = 0 until the caller sets it.
class GoldTarifInfo : public ufb::TDBRecord {
public:
    enum Column { gID = 0, gPROB_NAME, gPRICE_PER_GRAM, gDEPOSIT_PER_GRAM };

    // On the program database when no transaction is given.
    explicit GoldTarifInfo(fb::Transaction* transaction = nullptr);

    // A column the record does not hold raises the record's missing-field error; an index outside
    // the list raises core::Exception.
    virtual core::Variant getValue(int index) const;
    // Setting ID moves the key with it.
    virtual void setValue(int index, const core::Variant& value);
};

}  // namespace TolvLogic

// The program-wide gold tariff list the main window keeps from login to close (not owned here); null
// while none is installed.
TolvLogic::GoldTarifs* getGlobalGoldTarifs();
void setGlobalGoldTarifs(TolvLogic::GoldTarifs* goldTarifs);

namespace TolvLogic {
using ::getGlobalGoldTarifs;
using ::setGlobalGoldTarifs;
}  // namespace TolvLogic
