// The riot's state: the settings and shared weapons in force (which the config load decides and the top
// applies), the factions with their rioters, the relationship group "RIOTER", the riot's counts and the one
// random generator. The top owns it and binds it here (script/ScriptState.h); a test of this layer alone
// binds one of its own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "config/WeaponLists.h"
#include "riot/Roster.h"

struct RiotState {
    SettingsRecord Settings = BuiltInSettings();
    std::vector<std::string> SharedWeaponList = BuiltInWeaponList();
    std::vector<Faction> FactionList;
    uint32_t RioterGroup = 0;  // the hash of "RIOTER"; 0 until ScriptMain creates it after the start-up load
    RiotCountsRecord RiotCounts;
    RiotObserver* RiotWatcher = nullptr;
    uint32_t RandState = 1;
};

// The state the owner bound last (until then, one of the layer's own).
RiotState& Riot();
void BindRiotState(RiotState& state);
