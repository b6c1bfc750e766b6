// The natives of host/NativeList.h as data: each one's name, hash, and the kind of each argument and of its
// result, derived from the C++ types the call layer passes, so that whoever decodes the slots reads them as
// the layer wrote them.
#pragma once
#include <cstdint>

#include "host/NativeList.h"

// How an argument travels in its slot.
enum class ArgKind : uint8_t {
    Int,        // int32_t and the handles: the low 32 bits
    Hash,       // uint32_t: the low 32 bits
    Float,      // the low 32 bits
    Text,       // a NUL-terminated text's address
    OutVector,  // a Vector3 record's address, which the native fills
    OutHandle,  // a handle's address, which the native reads and may change
    OutHash,    // a hash's address, which the native fills
};

enum class ResultKind : uint8_t { None, Int, Bool, Hash, Vector };

// The kinds by C++ type; any other type is a compile error naming it.
template <typename T>
struct SlotsCannotCarry;
template <typename T>
inline constexpr ArgKind ArgKindOf = SlotsCannotCarry<T>::kind;
template <typename T>
inline constexpr ResultKind ResultKindOf = SlotsCannotCarry<T>::kind;

template <>
inline constexpr ArgKind ArgKindOf<int32_t> = ArgKind::Int;
template <>
inline constexpr ArgKind ArgKindOf<uint32_t> = ArgKind::Hash;
template <>
inline constexpr ArgKind ArgKindOf<float> = ArgKind::Float;
template <>
inline constexpr ArgKind ArgKindOf<const char*> = ArgKind::Text;
template <>
inline constexpr ArgKind ArgKindOf<Vector3*> = ArgKind::OutVector;
template <>
inline constexpr ArgKind ArgKindOf<int32_t*> = ArgKind::OutHandle;
template <>
inline constexpr ArgKind ArgKindOf<uint32_t*> = ArgKind::OutHash;

template <>
inline constexpr ResultKind ResultKindOf<void> = ResultKind::None;
template <>
inline constexpr ResultKind ResultKindOf<int32_t> = ResultKind::Int;
template <>
inline constexpr ResultKind ResultKindOf<bool> = ResultKind::Bool;
template <>
inline constexpr ResultKind ResultKindOf<uint32_t> = ResultKind::Hash;
template <>
inline constexpr ResultKind ResultKindOf<Vector3> = ResultKind::Vector;

constexpr int MaxNativeArgs = 8;

struct NativeInfo {
    const char* name;
    uint64_t hash;
    ResultKind result;
    int argCount;
    ArgKind args[MaxNativeArgs];
};

template <typename Signature>
struct NativeSignature;

template <typename R, typename... Args>
struct NativeSignature<R(Args...)> {
    static_assert(sizeof...(Args) <= MaxNativeArgs, "more arguments than MaxNativeArgs");
    static constexpr NativeInfo Info(const char* name, uint64_t hash) {
        return {name, hash, ResultKindOf<R>, static_cast<int>(sizeof...(Args)), {ArgKindOf<Args>...}};
    }
};

// The natives by position in the list.
enum class NativeId : int {
#define SKIRMORA_NATIVE_ID(name, hash, signature) name,
    SKIRMORA_NATIVES(SKIRMORA_NATIVE_ID)
#undef SKIRMORA_NATIVE_ID
};

inline constexpr NativeInfo NativeCatalogue[] = {
#define SKIRMORA_NATIVE_INFO(name, hash, signature) NativeSignature<signature>::Info(#name, hash),
    SKIRMORA_NATIVES(SKIRMORA_NATIVE_INFO)
#undef SKIRMORA_NATIVE_INFO
};

constexpr int NativeCount = static_cast<int>(sizeof NativeCatalogue / sizeof NativeCatalogue[0]);
