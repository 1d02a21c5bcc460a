#pragma once
// Which contract and operation actions of the main window are enabled, as a plain function of what is
// known of the selected contract and operation. The window gathers the facts from the database and
// applies the result through its rights check; keeping the table here lets it be read and tested whole.

#include <QString>
#include <vector>

namespace TolvMain {

// What the enabling of the contract actions depends on. Without a selected contract the state is 255,
// which matches no state.
struct ContractFacts {
    bool selected = false;
    bool archived = false;
    int state = 255;
    bool hasApplication = false;  // a deferral application exists
    bool inAct = false;
    // The act it stands in was received from another branch or goes to the central office.
    bool wareMoved = false;
    bool inParcel = false;  // an act listing it belongs to a parcel
};

struct ActionState {
    QString name;
    bool enabled = false;
};

// Every contract action with its enabled state, in the order the window applies them.
std::vector<ActionState> contractActionStates(const ContractFacts& facts);

// An operation action (EditOpAct, DeleteOpAct): enabled for a selected operation of an open contract;
// an operation of a contract in an act cannot be deleted.
struct OperationFacts {
    int opId = 0;
    int contractState = 255;  // CONTRACT_STATE of the contract row shown
    bool inAct = false;
};
bool operationActionEnabled(const QString& name, const OperationFacts& facts);

// The rights over a value: an action marked for managers (Tag 1) stays off for anybody else.
bool enabledByRights(bool value, int tag, bool isManager);

}  // namespace TolvMain
