#include "host/ScriptState.h"

#include "host/ScriptMain.h"

ScriptStateRecord ScriptState;

SettingsRecord& Settings = ScriptState.Settings;
std::vector<std::string>& SharedWeaponList = ScriptState.SharedWeaponList;
std::vector<Faction>& FactionList = ScriptState.FactionList;
uint32_t& RioterGroup = ScriptState.RioterGroup;
StatusTextRecord& StatusText = ScriptState.StatusText;

void ResetScriptState() {
    ScriptState = ScriptStateRecord();
}
