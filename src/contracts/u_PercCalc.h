#pragma once
// The debt calculation of a contract on a date and its process-wide cache of computed debts. The
// calculation reads the contract, its operations and the stored checkpoints; every stored change of a
// contract or of its operations drops the contract's cached debts through scClearCache.

namespace TolvLogic {

class PercCalc {
public:
    // Drops the cached debts of the contract; -1 drops the whole cache.
    static void scClearCache(int contractId);
};

}  // namespace TolvLogic
