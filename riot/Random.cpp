#include "riot/Random.h"

int32_t Rand() {
    uint32_t& state = RandState;
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
}

void ResetRand() {
    RandState = 1;
}
