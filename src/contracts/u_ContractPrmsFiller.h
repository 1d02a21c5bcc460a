#pragma once
// The source of a new contract's proposed terms. The pledged-items list asks it for the credit it
// proposes for an item's valuation when it sums its items.

namespace TolvLogic {

class ContractPrmsFiller {
public:
    virtual ~ContractPrmsFiller() = default;
    // The credit proposed for one pledged item of that valuation (both in hundredths); 0 when the kind
    // of terms in force proposes none.
    virtual double calcSubjCredit(int valuation) const { return 0; }
};

}  // namespace TolvLogic
