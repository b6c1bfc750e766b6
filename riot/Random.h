#pragma once
#include <cstdint>

// The script's one random generator: a 32-bit linear congruential sequence starting from state 1.
// Recruitment and combat share it, so the order of draws is part of the behaviour.
int32_t Rand();

void ResetRand();
