#include "host/Frames.h"

#include "host/HostState.h"
#include "host/Seam.h"

void WaitFrame(uint32_t milliseconds) {
    if (!Host().Frames.Measured) return scriptWait(milliseconds);
    const uint64_t held = PerformanceCounter() - Host().Frames.ResumedAt;
    if (held > Host().Frames.LongestHold) {
        Host().Frames.LongestHold = held;
        Host().Frames.LongestHoldRan = Host().Frames.Ran;
    }
    scriptWait(milliseconds);
    Host().Frames.ResumedAt = PerformanceCounter();
    Host().Frames.Ran = Host().Frames.Running;
}

void BeginPass(FramePass pass) {
    Host().Frames.Running = pass;
    Host().Frames.Ran |= pass;
}

void EndPass() {
    Host().Frames.Running = 0;
}

void StartHolding() {
    Host().Frames.Measured = true;
    Host().Frames.ResumedAt = PerformanceCounter();
}

void ResetLongestHold() {
    Host().Frames.LongestHold = 0;
    Host().Frames.LongestHoldRan = 0;
}
