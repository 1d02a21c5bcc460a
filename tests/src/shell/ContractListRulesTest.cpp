// The enabling rules of the contract and operation actions, as a table over the contract states and
// the facts known of the contract, for a manager and for an agent.

#include <gtest/gtest.h>

#include <QStringList>

#include "u_ContractListRules.h"

namespace {

using TolvMain::ContractFacts;

QStringList enabledOf(const ContractFacts& facts) {
    QStringList names;
    for (const auto& s : TolvMain::contractActionStates(facts))
        if (s.enabled) names << s.name;
    return names;
}

// The manager's actions among the contract actions (Tag 1 in the window's action list).
const QStringList kManagerOnly = {"EditContractAct", "DeleteContractAct", "a_ReopenContractManual",
                                  "a_CloseContractManual"};

TEST(ContractListRulesTest, EachStateAndFactEnablesExactlyItsActions) {
    struct Case {
        const char* name;
        ContractFacts facts;
        QStringList enabled;
    };
    const auto open = [](ContractFacts f) {
        f.selected = true;
        return f;
    };
    const Case cases[] = {
        {"no contract", {}, {}},
        {"no contract, flags set", {.archived = true, .hasApplication = true}, {}},
        {"open",
         open({.state = 0}),
         {"EditContractAct", "DeleteContractAct", "SendToArchive", "AddToSaleAct", "AddOpAct", "ZayavlAct",
          "a_CloseContractManual"}},
        {"open with an application",
         open({.state = 0, .hasApplication = true}),
         {"EditContractAct", "DeleteContractAct", "SendToArchive", "AddToSaleAct", "AddOpAct", "ZayavlDelAct",
          "ZayavlAct", "a_CloseContractManual"}},
        {"open in an act",
         open({.state = 0, .inAct = true}),
         {"EditContractAct", "SendToArchive", "ZayavlAct"}},
        {"open, archived",
         open({.archived = true, .state = 0}),
         {"EditContractAct", "DeleteContractAct", "GetFormArchive", "AddToSaleAct", "AddOpAct", "ZayavlAct",
          "a_CloseContractManual"}},
        {"closed",
         open({.state = 1}),
         {"EditContractAct", "DeleteContractAct", "SendToArchive", "a_ReopenContractManual"}},
        {"closed, archived, in an act",
         open({.archived = true, .state = 1, .inAct = true}),
         {"EditContractAct", "GetFormArchive"}},
        {"sold",
         open({.state = 2}),
         {"EditContractAct", "DeleteContractAct", "SendToArchive", "AddSaleAct", "a_ReopenContractManual"}},
        {"sold, in a parcel's act",
         open({.state = 2, .inAct = true, .inParcel = true}),
         {"EditContractAct", "SendToArchive"}},
        {"on sale",
         open({.state = 3}),
         {"EditContractAct", "DeleteContractAct", "SendToArchive", "AddToSaleAct", "DeleteToSaleAct",
          "AddSaleAct"}},
        {"on sale in an act between warehouses",
         open({.state = 3, .inAct = true}),
         {"EditContractAct", "SendToArchive", "AddSaleAct"}},
        {"on sale in an imported act",
         open({.state = 3, .inAct = true, .wareMoved = true}),
         {"EditContractAct", "SendToArchive"}},
        {"on sale, a moved act's flag without an act",
         open({.state = 3, .wareMoved = true}),
         {"EditContractAct", "DeleteContractAct", "SendToArchive", "AddToSaleAct", "DeleteToSaleAct",
          "AddSaleAct"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(enabledOf(c.facts), c.enabled);
        // An agent gets the same less the manager's actions.
        QStringList agent;
        for (const auto& s : TolvMain::contractActionStates(c.facts))
            if (TolvMain::enabledByRights(s.enabled, kManagerOnly.contains(s.name) ? 1 : 0, false))
                agent << s.name;
        QStringList expected = c.enabled;
        for (const QString& m : kManagerOnly) expected.removeAll(m);
        EXPECT_EQ(agent, expected);
    }
}

TEST(ContractListRulesTest, AnOperationActsOnlyOnAnOpenContractAndIsNotDeletedInAnAct) {
    const struct {
        TolvMain::OperationFacts facts;
        bool edit;
        bool remove;
    } cases[] = {
        {{.opId = 0, .contractState = 0}, false, false},
        {{.opId = 7, .contractState = 0}, true, true},
        {{.opId = 7, .contractState = 0, .inAct = true}, true, false},
        {{.opId = 7, .contractState = 1}, false, false},
        {{.opId = 7, .contractState = 3}, false, false},
        {{.opId = 7, .contractState = 255}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.facts.opId << " " << c.facts.contractState << " " << c.facts.inAct);
        EXPECT_EQ(TolvMain::operationActionEnabled(QStringLiteral("EditOpAct"), c.facts), c.edit);
        EXPECT_EQ(TolvMain::operationActionEnabled(QStringLiteral("DeleteOpAct"), c.facts), c.remove);
    }
    EXPECT_FALSE(TolvMain::enabledByRights(true, 1, false));
    EXPECT_TRUE(TolvMain::enabledByRights(true, 1, true));
    EXPECT_TRUE(TolvMain::enabledByRights(true, 0, false));
    EXPECT_FALSE(TolvMain::enabledByRights(false, 0, true));
}

}  // namespace
