// What the riot did while the mode was on, for the log: at every press, on or off; at a press that turns it
// off, the rioters recruited, released (died, vanished, too far) and let go at the reload since it went on,
// the longest the script held up a frame and its longest round of choosing targets with its calls to the
// game.
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
