// The world's own randomness (splitmix64), separate from the script's generator, with the same bits on every
// platform.
#pragma once
#include <cstdint>

class WorldRandom {
  public:
    explicit WorldRandom(uint64_t seed = 0) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in [0, 1) with 24 random bits: exact in a float.
    float Unit() { return static_cast<float>(Next() >> 40) * (1.0f / 16777216.0f); }

  private:
    uint64_t state_;
};
