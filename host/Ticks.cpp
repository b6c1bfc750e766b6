#include "host/Ticks.h"

#include "host/Seam.h"

uint64_t ReadTick() {
    uint32_t reading = TickCount();
    if (reading < Ticks.LastReading) Ticks.HighPart += uint64_t{1} << 32;
    Ticks.LastReading = reading;
    return Ticks.HighPart | reading;
}
