#include "script/ApplyLoad.h"

#include <vector>

#include "host/Natives.h"
#include "riot/Roster.h"

namespace {

// Forgets the factions in force: their own groups go, their rioters stay in the world, no longer tracked.
void LetGoFactions() {
    for (const Faction& faction : FactionList)
        if (!faction.WillAttackSelf && !faction.IsDefault) RemoveRelationshipGroup(faction.GroupHash);
    RiotCounts.Dropped += static_cast<uint64_t>(CountRioters());
    FactionList.clear();
}

Faction FactionOf(const FactionPlan& plan, Hash group) {
    Faction faction;
    faction.MaxMembers = plan.MaxMembers;
    faction.GroupHash = plan.UsesRioterGroup ? RioterGroup : group;
    faction.WillAttackSelf = plan.WillAttackSelf;
    faction.IsDefault = plan.IsDefault;
    faction.MemberModels = plan.MemberModels;
    faction.Weapons = plan.Weapons;
    return faction;
}

}  // namespace

LoadBasis BasisInForce() {
    return {Settings, SharedWeaponList};
}

void ApplyLoad(const LoadOutcome& outcome) {
    std::vector<Hash> groups(outcome.Factions.size(), 0);
    for (const LoadAction& action : outcome.Actions) {
        switch (action.kind) {
            case LoadActionKind::LetGoFactions:
                LetGoFactions();
                break;
            case LoadActionKind::CreateGroup:
                AddRelationshipGroup(outcome.Factions[action.faction].GroupName.c_str(),
                                     &groups[action.faction]);
                break;
            case LoadActionKind::AddFaction:
                FactionList.push_back(FactionOf(outcome.Factions[action.faction], groups[action.faction]));
                break;
        }
    }
    Settings = outcome.Settings;
    SharedWeaponList = outcome.SharedWeaponList;
}

void LoadConfig() {
    try {
        std::string bytes;
        ReadConfigFile(Settings.ConfigFileName, bytes);
        ApplyLoad(DecideLoad(bytes, BasisInForce()));
    } catch (...) {
        // Only memory can run out here; the load then changes nothing.
    }
}
