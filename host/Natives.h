// The call layer: one typed function per native of host/NativeList.h, named as the native, which pushes its
// arguments' slots, makes the call and reads the result from the result slots.
#pragma once
#include <cstdint>

#include "host/NativeList.h"
#include "host/Slots.h"

template <uint64_t NativeHash, typename Signature>
struct NativeFunction;

template <uint64_t NativeHash, typename R, typename... Args>
struct NativeFunction<NativeHash, R(Args...)> {
    R operator()(Args... args) const { return ResultAs<R>(Invoke(NativeHash, args...)); }
};

#define SKIRMORA_CALL_LAYER(name, hash, signature) inline constexpr NativeFunction<hash, signature> name{};
SKIRMORA_NATIVES(SKIRMORA_CALL_LAYER)
#undef SKIRMORA_CALL_LAYER
