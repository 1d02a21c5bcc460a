#pragma once
// The act that hands the pledges of overdue contracts over to a warehouse or to the central office:
// here only the lookups the main window makes to decide whether a contract listed in an act may be
// sold (an act received from another branch, or one addressed to the central office, moved the goods).

namespace TolvLogic {

class Act {
public:
    // True when the act has no source warehouse (it came from another branch). Reads committed data
    // only, outside any open transaction.
    static bool scGetWareFrom(int actId);
    // True when the act has no destination warehouse (it goes to the central office).
    static bool scGetWareTo(int actId);
};

}  // namespace TolvLogic
