#include "host/Frames.h"

#include "host/Seam.h"

void WaitFrame(uint32_t milliseconds) {
    if (!Frames.Measured) return scriptWait(milliseconds);
    const uint64_t held = PerformanceCounter() - Frames.ResumedAt;
    if (held > Frames.LongestHold) {
        Frames.LongestHold = held;
        Frames.LongestHoldRan = Frames.Ran;
    }
    scriptWait(milliseconds);
    Frames.ResumedAt = PerformanceCounter();
    Frames.Ran = Frames.Running;
}

void BeginPass(FramePass pass) {
    Frames.Running = pass;
    Frames.Ran |= pass;
}

void EndPass() {
    Frames.Running = 0;
}

void StartHolding() {
    Frames.Measured = true;
    Frames.ResumedAt = PerformanceCounter();
}

void ResetLongestHold() {
    Frames.LongestHold = 0;
    Frames.LongestHoldRan = 0;
}
