#include "u_PercCalc.h"

namespace TolvLogic {

// Nothing is cached until the calculation keeps its results; callers clear already, so that the
// cache, once it holds debts, never serves one that a stored change made stale.
void PercCalc::scClearCache(int) {}

}  // namespace TolvLogic
