#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "config/WeaponLists.h"
#include "host/Frames.h"
#include "host/Ticks.h"
#include "riot/Roster.h"
#include "script/LoggedLoad.h"
#include "script/RiotFigures.h"
#include "script/ScriptLog.h"
#include "script/ScriptMain.h"
#include "script/StatusText.h"

// Every global the script changes, in one record. A record built afresh is the state the library's load
// gives, so resetting cannot miss one; a test checks that the script holds no writable global outside it. The
// names the code uses (Settings, FactionList, ...) refer into it.
struct ScriptStateRecord {
    SettingsRecord Settings = BuiltInSettings();
    std::vector<std::string> SharedWeaponList = BuiltInWeaponList();
    std::vector<Faction> FactionList;
    uint32_t RioterGroup = 0;
    StatusTextRecord StatusText;
    LoopRecord Loop;   // the mode, the key latch, the due times and the grace period
    TickRecord Ticks;  // the tick's extension to 64 bits
    uint32_t RandState = 1;
    FrameRecord Frames;  // the hold on each frame and the native calls, for the log
    RiotCountsRecord RiotCounts;
    RiotObserver* RiotWatcher = nullptr;
    RiotFiguresRecord Figures;
    ScriptLogRecord Log;
    LoggedLoadRecord LastLoad;
};

extern ScriptStateRecord ScriptState;

// Puts the script back as the library's load left it, so that one process can host several independent runs
// (the simulator and the tests do).
void ResetScriptState();
