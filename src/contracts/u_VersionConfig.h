#pragma once
// The holders of contract objects and lists: a cache of loaded contracts by id for code that looks the
// same contracts up many times, and the five shared lists the main window shows and dialogs refresh.

#include <map>
#include <memory>

#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "PenaltySales.h"

namespace fb {
class Database;
}

namespace TolvLogic {

// Contracts loaded once and kept, by id, for the life of the cache: a held contract is never reloaded.
class TPenaltyContractInfoCache {
public:
    TPenaltyContractInfoCache() = default;
    TPenaltyContractInfoCache(const TPenaltyContractInfoCache&) = delete;
    TPenaltyContractInfoCache& operator=(const TPenaltyContractInfoCache&) = delete;

    // The held contract, loaded on first request; a contract that does not load raises and is not kept.
    TPenaltyContractInfo& getContract(int contractId);
    std::size_t size() const { return contracts_.size(); }

private:
    std::map<int, std::unique_ptr<TPenaltyContractInfo>> contracts_;
};

// The factory of the global lists.
class TVersion {
public:
    explicit TVersion(fb::Database* database) : database_(database) {}
    virtual ~TVersion() = default;
    virtual std::unique_ptr<TPenaltyContracts> createContracts() = 0;
    virtual std::unique_ptr<TPenaltyOperations> createOperations() = 0;
    virtual std::unique_ptr<TSales> createSales() = 0;
    virtual std::unique_ptr<TPenaltyDebitors> createDebitors() = 0;
    virtual std::unique_ptr<TPenaltyInActs> createInActs() = 0;

    fb::Database* getDatabase() const { return database_; }

private:
    fb::Database* database_;
};

class TSecondVersion : public TVersion {
public:
    using TVersion::TVersion;
    std::unique_ptr<TPenaltyContracts> createContracts() override;
    std::unique_ptr<TPenaltyOperations> createOperations() override;
    std::unique_ptr<TSales> createSales() override;
    std::unique_ptr<TPenaltyDebitors> createDebitors() override;
    std::unique_ptr<TPenaltyInActs> createInActs() override;
};

// The five shared lists, made at login and dropped at close or reconnect.
class TVersionConfig {
public:
    TVersionConfig(fb::Database* database, bool isManager);
    ~TVersionConfig();
    TVersionConfig(const TVersionConfig&) = delete;
    TVersionConfig& operator=(const TVersionConfig&) = delete;

    TPenaltyContracts* getContracts() const { return contracts_.get(); }
    TPenaltyOperations* getOperations() const { return operations_.get(); }
    TSales* getSales() const { return sales_.get(); }
    TPenaltyDebitors* getDebitors() const { return debitors_.get(); }
    TPenaltyInActs* getInActs() const { return inActs_.get(); }
    fb::Database* getDatabase() const { return database_; }
    bool isManager() const { return isManager_; }

private:
    std::unique_ptr<TVersion> factory_;
    std::unique_ptr<TPenaltyContracts> contracts_;
    std::unique_ptr<TPenaltyOperations> operations_;
    std::unique_ptr<TSales> sales_;
    std::unique_ptr<TPenaltyDebitors> debitors_;
    std::unique_ptr<TPenaltyInActs> inActs_;
    fb::Database* database_;
    bool isManager_;
};

}  // namespace TolvLogic
