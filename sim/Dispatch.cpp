#include "sim/Dispatch.h"

#include <array>
#include <cstring>
#include <string>

#include "sim/Answers.h"
#include "sim/CallText.h"
#include "sim/Game.h"

namespace {

using Handler = void (*)(NativeCall);

constexpr Handler Handlers[] = {
#define SKIRMORA_ANSWER(name, hash, signature) &Answer::name,
    SKIRMORA_NATIVES(SKIRMORA_ANSWER)
#undef SKIRMORA_ANSWER
};

constexpr bool IsScalar(ArgKind kind) {
    return kind == ArgKind::Int || kind == ArgKind::Hash || kind == ArgKind::Float;
}

// The first shift at which 8 bits of the hash give every native a slot of its own.
constexpr int DistinctShift() {
    for (int shift = 0; shift <= 56; ++shift) {
        bool taken[256] = {};
        bool distinct = true;
        for (const NativeInfo& native : NativeCatalogue) {
            bool& slot = taken[(native.hash >> shift) & 255];
            distinct = distinct && !slot;
            slot = true;
        }
        if (distinct) return shift;
    }
    return -1;
}
constexpr int Shift = DistinctShift();
static_assert(Shift >= 0, "some shift gives every native a slot of its own");

// The catalogue by hash, with what every call needs of its native: a table of 256 slots indexed by 8 bits of
// the hash.
struct Indexed {
    uint64_t hash = 0;
    Handler handler = nullptr;
    FailingCalls World::*failures = nullptr;
    uint32_t scalarSlots = 0;  // bit k: argument k is an int, hash or float, whose high 32 bits must be 0
    int argCount = 0;
    int position = 0;  // in the catalogue
    const NativeInfo* native = nullptr;
    bool onlyScalars = false;
};

struct HashIndex {
    std::array<Indexed, 256> slots{};

    HashIndex() {
        for (int position = 0; position < NativeCount; ++position) {
            const NativeInfo& native = NativeCatalogue[position];
            Indexed& slot = slots[(native.hash >> Shift) & 255];
            slot.hash = native.hash;
            slot.handler = Handlers[position];
            slot.failures = FailuresOf(static_cast<NativeId>(position));
            slot.argCount = native.argCount;
            slot.position = position;
            slot.native = &native;
            for (int k = 0; k < native.argCount; ++k)
                if (IsScalar(native.args[k])) slot.scalarSlots |= 1u << k;
            slot.onlyScalars = slot.scalarSlots == (1u << slot.argCount) - 1;
        }
    }
};

const HashIndex Index;

const Indexed* Lookup(uint64_t hash) {
    const Indexed& slot = Index.slots[(hash >> Shift) & 255];
    return slot.native && slot.hash == hash ? &slot : nullptr;
}

// Counts the call and answers it, unless the world makes it fail: then the result slots stay zero.
void Perform(const Indexed& entry, NativeCall call) {
    call.game.CountCall(entry.position);
    if (entry.failures && (call.world.*entry.failures).FailsNext()) return;
    entry.handler(call);
}

// Every slot checked at once: no high bits in a scalar, no null pointer. Most natives take only scalars: the
// bits of all that was pushed tell at once.
bool WellFormed(const Indexed& entry, const Game& game) {
    if (entry.onlyScalars) return (game.PushedBits() >> 32) == 0;
    const uint64_t* slots = game.Arguments();
    uint64_t scalarBits = 0;
    bool nullPointer = false;
    for (int k = 0; k < entry.argCount; ++k) {
        if (entry.scalarSlots >> k & 1u) {
            scalarBits |= slots[k];
        } else {
            nullPointer |= slots[k] == 0;
        }
    }
    return (scalarBits >> 32) == 0 && !nullPointer;
}

// Checks one slot against its kind; a fault is named.
bool CheckSlot(Game& game, const NativeInfo& native, int k) {
    const uint64_t slot = game.Arguments()[k];
    const bool scalar = IsScalar(native.args[k]);
    if (scalar && (slot >> 32) == 0) return true;
    if (!scalar && slot != 0) return true;
    game.Fail(std::string(native.name) + ": argument " + std::to_string(k + 1) +
              (scalar ? " has its high 32 bits set" : " is a null pointer"));
    return false;
}

// The call's native, or none with the fault named.
const Indexed* Checked(Game& game) {
    const uint64_t hash = game.CallHash();
    const Indexed* entry = Lookup(hash);
    if (!entry) {
        std::string message = "unknown native hash 0x";
        static const char digits[] = "0123456789ABCDEF";
        for (int shift = 60; shift >= 0; shift -= 4)
            message += digits[(hash >> shift) & 0xF];
        game.Fail(message);
        return nullptr;
    }
    const NativeInfo& native = *entry->native;
    if (game.ArgumentCount() != native.argCount) {
        game.Fail(std::string(native.name) + ": " + std::to_string(game.ArgumentCount()) +
                  " arguments pushed, " + std::to_string(native.argCount) + " expected");
        return nullptr;
    }
    for (int k = 0; k < native.argCount; ++k)
        if (!CheckSlot(game, native, k)) return nullptr;
    return entry;
}

// Everything but a well-formed call with the trace off: a fault is named, a traced call written out.
void DispatchSlowly(Game& game) {
    const Indexed* entry = Checked(game);
    if (!entry) return;
    const NativeCall call{game, game.world};
    if (!game.trace.Active()) return Perform(*entry, call);
    std::string line;
    AppendCallStart(line, *entry->native, call);
    Perform(*entry, call);
    AppendCallEnd(line, *entry->native, call);
    game.Log(line);
}

}  // namespace

int NativeIndex(const char* name) {
    for (int position = 0; position < NativeCount; ++position)
        if (std::strcmp(NativeCatalogue[position].name, name) == 0) return position;
    return -1;
}

void DispatchNative(Game& game) {
    const Indexed* entry = Lookup(game.CallHash());
    if (!entry || game.ArgumentCount() != entry->argCount || game.trace.Active() || !WellFormed(*entry, game))
        return DispatchSlowly(game);
    Perform(*entry, NativeCall{game, game.world});
}
