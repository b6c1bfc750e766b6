// The native call being made, as the simulated game's answer sees it: the game's own argument and result
// slots, read and written by kind. Two references, which x86-64 Linux passes in registers: the dispatch ends
// in a jump to the answer.
#pragma once
#include <cstdint>
#include <cstring>

#include "sim/Game.h"

struct NativeCall {
    Game& game;
    World& world;

    uint64_t Slot(int k) const { return game.Arguments()[k]; }
    uint64_t* Result() const { return game.Results(); }

    int32_t I(int k) const { return static_cast<int32_t>(static_cast<uint32_t>(Slot(k))); }
    uint32_t U(int k) const { return static_cast<uint32_t>(Slot(k)); }
    float F(int k) const {
        uint32_t bits = static_cast<uint32_t>(Slot(k));
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    template <typename T>
    T* P(int k) const {
        return reinterpret_cast<T*>(static_cast<uintptr_t>(Slot(k)));  // NOLINT(performance-no-int-to-ptr)
    }
    const char* S(int k) const { return P<const char>(k); }

    void ReturnInt(int32_t value) const { Result()[0] = static_cast<uint32_t>(value); }
    void ReturnBool(bool value) const { Result()[0] = value ? 1u : 0u; }
    void ReturnVector(Vec3 v) const { WriteVector(reinterpret_cast<unsigned char*>(Result()), v); }

    // A Vector3 record: each float in its own 8-byte slot.
    static void WriteVector(unsigned char* record, Vec3 v) {
        std::memcpy(record + 0, &v.x, 4);
        std::memcpy(record + 8, &v.y, 4);
        std::memcpy(record + 16, &v.z, 4);
    }
    static Vec3 ReadVector(const unsigned char* record) {
        Vec3 v;
        std::memcpy(&v.x, record + 0, 4);
        std::memcpy(&v.y, record + 8, 4);
        std::memcpy(&v.z, record + 16, 4);
        return v;
    }
};
