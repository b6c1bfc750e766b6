// The slot encoding of native arguments and results, written once.
#pragma once
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "host/Frames.h"
#include "host/HostState.h"
#include "host/Seam.h"
#include "host/Vector3.h"

inline uint64_t Slot(int32_t value) {
    return static_cast<uint32_t>(value);
}
inline uint64_t Slot(uint32_t value) {
    return value;
}
inline uint64_t Slot(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline uint64_t Slot(const void* pointer) {
    return reinterpret_cast<uintptr_t>(pointer);
}

template <typename... Args>
inline const uint64_t* Invoke(uint64_t hash, Args... args) {
    nativeInit(hash);
    (nativePush64(Slot(args)), ...);
    ++Host().Frames.NativeCalls;
    return nativeCall();
}

inline int32_t ResultInt(const uint64_t* result) {
    return static_cast<int32_t>(static_cast<uint32_t>(result[0]));
}
inline uint32_t ResultHash(const uint64_t* result) {
    return static_cast<uint32_t>(result[0]);
}
inline bool ResultBool(const uint64_t* result) {
    return static_cast<uint32_t>(result[0]) != 0;
}
inline Vector3 ResultVector3(const uint64_t* result) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(result);
    Vector3 v;
    std::memcpy(&v.x, bytes + 0, sizeof v.x);
    std::memcpy(&v.y, bytes + 8, sizeof v.y);
    std::memcpy(&v.z, bytes + 16, sizeof v.z);
    return v;
}

// The result of a native declared to return R.
template <typename R>
inline R ResultAs(const uint64_t* result) {
    if constexpr (std::is_same_v<R, int32_t>) return ResultInt(result);
    if constexpr (std::is_same_v<R, uint32_t>) return ResultHash(result);
    if constexpr (std::is_same_v<R, bool>) return ResultBool(result);
    if constexpr (std::is_same_v<R, Vector3>) return ResultVector3(result);
}
