#include "host/Ticks.h"

#include "host/ScriptState.h"
#include "host/Seam.h"

uint64_t ReadTick() {
    uint32_t reading = TickCount();
    if (reading < ScriptState.LastTickReading) ScriptState.TickHighPart += uint64_t{1} << 32;
    ScriptState.LastTickReading = reading;
    return ScriptState.TickHighPart | reading;
}
