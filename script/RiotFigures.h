// What the riot did while the mode was on, for the log: at every press, on or off; at a press that turns it
// off, the rioters recruited, released (by why) and dropped at the reload since it went on, the longest frame
// the script held and the longest combat pass with its game calls.
#pragma once
#include <cstdint>

#include "riot/Roster.h"

struct RiotFiguresRecord {
    uint64_t OnAt = 0;      // the performance counter when the mode went on
    RiotCountsRecord AtOn;  // the riot's counts then
    uint64_t CombatPasses = 0;
    uint64_t LongestCombat = 0;  // in counts
    uint64_t LongestCombatCalls = 0;
};

// CombatTick, timed.
void RunCombatPass();
// After a press of key has turned the mode on or off.
void LogToggle(bool modeEnabled, int32_t key);
