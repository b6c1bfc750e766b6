#pragma once
#include <cstdint>

// The main loop's own state. Ticks are extended to 64 bits (host/Ticks.h).
struct LoopRecord {
    bool ModeEnabled = false;
    bool KeyLatch = false;    // the key has been acted on and not yet seen released
    uint64_t RecruitDue = 0;  // a recruitment pass may run in a pass whose tick is later
    uint64_t CombatDue = 0;   // and a combat pass
    uint64_t GraceEnd = 0;    // neither runs until the tick is later than this
};

// The script's entry: loads the configuration, creates "RIOTER" and runs one pass per frame, forever.
void ScriptMain();
