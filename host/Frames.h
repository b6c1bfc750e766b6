// The script's hold on the game's frames: how long it keeps each frame, from its resume to its next
// scriptWait (by the performance counter), which passes ran in that time, and how many native calls it has
// made. Only the log reads these; the game sees nothing of them.
#pragma once
#include <cstdint>

// The main loop's passes, as flags: those that ran in one frame.
enum FramePass : uint32_t { PassLoad = 1, PassRecruit = 2, PassCombat = 4 };

struct FrameRecord {
    bool Measured = false;     // holds are measured (only the log reads them)
    uint64_t NativeCalls = 0;  // every native call made
    uint64_t ResumedAt = 0;    // the counter when the script last got the frame
    uint32_t Running = 0;      // the pass running now, across its waits
    uint32_t Ran = 0;          // the passes that ran since the last resume
    uint64_t LongestHold = 0;  // in counts, since the last ResetLongestHold
    uint32_t LongestHoldRan = 0;
};

// scriptWait, with the hold that it ends measured.
void WaitFrame(uint32_t milliseconds);
// The pass that runs until EndPass.
void BeginPass(FramePass pass);
void EndPass();
// From now the holds are measured, the first from now.
void StartHolding();
void ResetLongestHold();
