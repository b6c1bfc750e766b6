#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/HostState.h"
#include "riot/RiotState.h"
#include "script/LoggedLoad.h"
#include "script/RiotFigures.h"
#include "script/ScriptLog.h"
#include "script/ScriptMain.h"
#include "script/StatusText.h"

// Every global the script changes, in one record that the top owns: the lower layers' own records, bound to
// them (host/HostState.h, riot/RiotState.h), and the top's. A record built afresh is the state the library's
// load gives, so resetting cannot miss one; a test checks that the script holds no writable global outside
// it.
struct ScriptStateRecord {
    HostState Host;  // the tick's extension, the hold on each frame and the native calls
    RiotState Riot;  // the settings and weapons in force, the factions, the riot's counts, the random state
    StatusTextRecord StatusText;
    LoopRecord Loop;  // the mode, the key latch, the due times and the grace period
    RiotFiguresRecord Figures;
    ScriptLogRecord Log;
    LoggedLoadRecord LastLoad;
};

extern ScriptStateRecord ScriptState;

// For the tools above the script (the simulator, its commands and the tests): the riot's state by its names.
extern SettingsRecord& Settings;
extern std::vector<std::string>& SharedWeaponList;
extern std::vector<Faction>& FactionList;

// Puts the script back as the library's load left it, so that one process can host several independent runs
// (the simulator and the tests do).
void ResetScriptState();
