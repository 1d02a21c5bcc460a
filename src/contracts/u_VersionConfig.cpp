#include "u_VersionConfig.h"

namespace TolvLogic {

TPenaltyContractInfo& TPenaltyContractInfoCache::getContract(int contractId) {
    const auto held = contracts_.find(contractId);
    if (held != contracts_.end()) return *held->second;
    auto contract = std::make_unique<TPenaltyContractInfo>(contractId, nullptr);
    return *contracts_.emplace(contractId, std::move(contract)).first->second;
}

std::unique_ptr<TPenaltyContracts> TSecondVersion::createContracts() {
    return std::make_unique<TPenaltyContracts>(nullptr, true);
}

std::unique_ptr<TPenaltyOperations> TSecondVersion::createOperations() {
    return std::make_unique<TPenaltyOperations>(getDatabase(), nullptr);
}

std::unique_ptr<TSales> TSecondVersion::createSales() {
    return std::make_unique<TSales>(getDatabase(), nullptr);
}

std::unique_ptr<TPenaltyDebitors> TSecondVersion::createDebitors() {
    return std::make_unique<TPenaltyDebitors>();
}

std::unique_ptr<TPenaltyInActs> TSecondVersion::createInActs() {
    return std::make_unique<TPenaltyInActs>();
}

TVersionConfig::TVersionConfig(fb::Database* database, bool isManager)
    : factory_(std::make_unique<TSecondVersion>(database)), database_(database), isManager_(isManager) {
    contracts_ = factory_->createContracts();
    operations_ = factory_->createOperations();
    sales_ = factory_->createSales();
    debitors_ = factory_->createDebitors();
    inActs_ = factory_->createInActs();
}

TVersionConfig::~TVersionConfig() {
    // The lists first, in the order they were made, then their factory.
    contracts_.reset();
    operations_.reset();
    sales_.reset();
    debitors_.reset();
    inActs_.reset();
    factory_.reset();
}

}  // namespace TolvLogic
