#pragma once
#include <cstdint>

// The game's vector: each float in its own 8-byte slot, as natives read and write it.
struct Vector3 {
    float x = 0.0f;
    uint32_t padX = 0;
    float y = 0.0f;
    uint32_t padY = 0;
    float z = 0.0f;
    uint32_t padZ = 0;
};

static_assert(sizeof(Vector3) == 24, "Vector3 is three 8-byte slots");

inline Vector3 MakeVector3(float x, float y, float z) {
    Vector3 v;
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}
