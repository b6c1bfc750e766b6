#include "script/ScriptState.h"

ScriptStateRecord ScriptState;

namespace {

bool Bind() {
    BindHostState(ScriptState.Host);
    BindRiotState(ScriptState.Riot);
    return true;
}

}  // namespace

// The lower layers reach their records from the library's load on.
const bool ScriptStateBound = Bind();

SettingsRecord& Settings = ScriptState.Riot.Settings;
std::vector<std::string>& SharedWeaponList = ScriptState.Riot.SharedWeaponList;
std::vector<Faction>& FactionList = ScriptState.Riot.FactionList;
StatusTextRecord& StatusText = ScriptState.StatusText;

void ResetScriptState() {
    ScriptState = ScriptStateRecord();
    Bind();
}
