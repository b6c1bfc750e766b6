#include "script/ScriptState.h"

ScriptStateRecord ScriptState;

SettingsRecord& Settings = ScriptState.Settings;
std::vector<std::string>& SharedWeaponList = ScriptState.SharedWeaponList;
std::vector<Faction>& FactionList = ScriptState.FactionList;
uint32_t& RioterGroup = ScriptState.RioterGroup;
StatusTextRecord& StatusText = ScriptState.StatusText;
TickRecord& Ticks = ScriptState.Ticks;
uint32_t& RandState = ScriptState.RandState;
FrameRecord& Frames = ScriptState.Frames;
RiotCountsRecord& RiotCounts = ScriptState.RiotCounts;
RiotObserver*& RiotWatcher = ScriptState.RiotWatcher;

void ResetScriptState() {
    ScriptState = ScriptStateRecord();
}
