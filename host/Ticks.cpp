#include "host/Ticks.h"

#include "host/HostState.h"
#include "host/Seam.h"

uint64_t ReadTick() {
    uint32_t reading = TickCount();
    if (reading < Host().Ticks.LastReading) Host().Ticks.HighPart += uint64_t{1} << 32;
    Host().Ticks.LastReading = reading;
    return Host().Ticks.HighPart | reading;
}
