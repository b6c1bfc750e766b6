#include "host/Ticks.h"

#include "host/Seam.h"

namespace {
uint32_t LastReading = 0;
uint64_t HighPart = 0;
}  // namespace

uint64_t ReadTick() {
    uint32_t reading = TickCount();
    if (reading < LastReading) HighPart += uint64_t{1} << 32;
    LastReading = reading;
    return HighPart | reading;
}

void ResetTickExtension() {
    LastReading = 0;
    HighPart = 0;
}
