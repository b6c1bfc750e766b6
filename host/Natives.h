// The call layer: one typed function per native of host/NativeList.h, named as the native, which pushes its
// arguments' slots, makes the call and reads the result from the result slots. Each takes its hash from the
// catalogue, which holds every argument and result type to those the slots can carry.
#pragma once
#include <cstdint>

#include "host/NativeCatalogue.h"
#include "host/Slots.h"

template <NativeId Id, typename Signature>
struct NativeFunction;

template <NativeId Id, typename R, typename... Args>
struct NativeFunction<Id, R(Args...)> {
    static constexpr uint64_t hash = NativeCatalogue[static_cast<int>(Id)].hash;
    R operator()(Args... args) const { return ResultAs<R>(Invoke(hash, args...)); }
};

#define SKIRMORA_CALL_LAYER(name, hash, signature) \
    inline constexpr NativeFunction<NativeId::name, signature> name{};
SKIRMORA_NATIVES(SKIRMORA_CALL_LAYER)
#undef SKIRMORA_CALL_LAYER
