#include "riot/Random.h"

namespace {
uint32_t State = 1;
}

int32_t Rand() {
    State = State * 214013u + 2531011u;
    return static_cast<int32_t>((State >> 16) & 0x7FFF);
}

void ResetRand() {
    State = 1;
}
