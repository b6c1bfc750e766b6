#include "riot/Random.h"
#include "riot/RiotState.h"

int32_t Rand() {
    uint32_t& state = Riot().RandState;
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
}

void ResetRand() {
    Riot().RandState = 1;
}
