#pragma once
#include <cstdint>

// Reads the 32-bit millisecond tick and extends it to 64 bits: the high part grows whenever a reading is
// smaller than the one before. The loop reads the tick every frame, so no wrap goes unseen, and every
// due time compared against these readings keeps working across the wrap.
uint64_t ReadTick();

struct TickRecord {
    uint32_t LastReading = 0;
    uint64_t HighPart = 0;
};
