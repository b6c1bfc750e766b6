#include "sim/Dispatch.h"

#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "sim/Format.h"
#include "sim/Game.h"
#include "sim/Jenkins.h"

namespace {

// The call being made, as its handler sees it: the game's own argument and result slots. Two references,
// which x86-64 Linux passes in registers: the dispatch ends in a jump to the handler. Argument kinds: i
// int32, u hash, f float, s text, v Vector3 out-record, h handle pointer, g hash out-value.
struct Call {
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

using Handler = void (*)(Call);

struct Native {
    uint64_t hash;
    const char* name;
    const char* args;
    char result;  // n none, i int, b bool, u hash, v Vector3
    Handler handler;
};

void Nothing(Call) {}

SimPed* Ped(Call c, int k) {
    return c.world.FindPed(c.I(k));
}

constexpr Native Catalogue[] = {
    {0xD80958FC74E988A6, "PlayerPedId", "", 'i', [](Call c) { c.ReturnInt(c.world.playerPed); }},
    {0x4F8644AF03D0E0D6, "PlayerId", "", 'i', [](Call c) { c.ReturnInt(c.world.playerIndex); }},
    {0x3FEF770D40960D5A, "GetEntityCoords", "ii", 'v',
     [](Call c) { c.ReturnVector(c.world.PositionOf(c.I(0))); }},
    {0x0A794A5A57F8DF91, "GetEntityForwardVector", "i", 'v',
     [](Call c) {
         c.ReturnVector(c.I(0) == c.world.playerPed ? c.world.playerForward : Vec3{0.0f, 1.0f, 0.0f});
     }},
    {0x997ABD671D25CA0B, "IsPedInAnyVehicle", "ii", 'b',
     [](Call c) { c.ReturnBool(c.I(0) == c.world.playerPed && c.world.playerInVehicle); }},
    {0x7239B21A38F536BA, "DoesEntityExist", "i", 'b', [](Call c) { c.ReturnBool(c.world.Exists(c.I(0))); }},
    {0xEEF059FAD016D209, "PedStateCheck", "i", 'b',
     [](Call c) {
         if (c.I(0) == c.world.playerPed) return c.ReturnBool(c.world.playerPedCheck);
         SimPed* ped = Ped(c, 0);
         c.ReturnBool(ped && ped->exists && ped->alive);
     }},
    {0x3E8349C08E4B82E4, "PlayerStateCheck", "i", 'b',
     [](Call c) { c.ReturnBool(c.world.playerStateCheck); }},
    {0xD24D37CC275948CC, "GetHashKey", "s", 'u', [](Call c) { c.Result()[0] = JenkinsHash(c.S(0)); }},
    {0x963D27A58DF860AC, "RequestModel", "u", 'n', [](Call c) { c.world.requestedModels.insert(c.U(0)); }},
    {0x98A4EB5D89A0C952, "HasModelLoaded", "u", 'b',
     [](Call c) {
         const uint32_t model = c.U(0);
         if (!c.world.requestedModels.count(model) || c.world.ModelNeverLoads(model))
             return c.ReturnBool(false);
         int32_t& polls = c.world.modelPolls[model];
         if (polls >= c.world.modelLoadPolls) return c.ReturnBool(true);
         ++polls;
         c.ReturnBool(false);
     }},
    {0xD49F9B0955C367DE, "CreatePed", "iufffiii", 'i',
     [](Call c) {
         c.ReturnInt(c.world.AddPed({c.F(2), c.F(3), c.F(4)}, c.U(1), false, c.game.Frame()));
     }},
    {0xB4AC7D0CF06BFE8F, "CreateRandomPed", "fff", 'i',
     [](Call c) {
         c.ReturnInt(c.world.AddPed({c.F(0), c.F(1), c.F(2)}, 0, true, c.game.Frame()));
     }},
    {0xB61C8E878A4199CA, "GetSafeCoordForPed", "fffivi", 'b',
     [](Call c) {
         if (c.world.safeCoordFails) return c.ReturnBool(false);
         Call::WriteVector(c.P<unsigned char>(4), {c.F(0), c.F(1), c.world.groundZ});
         c.ReturnBool(true);
     }},
    {0x7AEFB85C1D49DEB6, "SetPedAccuracy", "ii", 'n',
     [](Call c) {
         if (SimPed* ped = Ped(c, 0)) ped->accuracy = c.I(1);
     }},
    {0xC80A74AC829DDD92, "SetPedRelationshipGroupHash", "iu", 'n',
     [](Call c) {
         if (SimPed* ped = Ped(c, 0)) ped->group = c.U(1);
     }},
    {0xF372BC22FCB88606, "AddRelationshipGroup", "sg", 'n',
     [](Call c) {
         const uint32_t hash = JenkinsHash(c.S(0));
         c.world.groups[hash] = c.S(0);
         *c.P<uint32_t>(1) = hash;
     }},
    {0xB6BA2444AB393DA2, "RemoveRelationshipGroup", "u", 'n', [](Call c) { c.world.groups.erase(c.U(0)); }},
    {0xB282DC6EBD803C75, "GiveDelayedWeaponToPed", "iuii", 'n',
     [](Call c) {
         if (SimPed* ped = Ped(c, 0)) ped->weapons.push_back(c.U(1));
     }},
    {0xAAA34F8A7CB32098, "ClearPedTasks", "i", 'n',
     [](Call c) {
         if (SimPed* ped = Ped(c, 0)) ped->combatTarget = 0;
     }},
    {0xF166E48407BAC484, "TaskCombatPed", "iiii", 'n',
     [](Call c) {
         if (SimPed* ped = Ped(c, 0)) ped->combatTarget = c.I(1);
     }},
    {0x2595DD4236549CE3, "SetPedAsNoLongerNeeded", "h", 'n',
     [](Call c) {
         if (SimPed* ped = c.world.FindPed(*c.P<int32_t>(0))) ped->released = true;
     }},
    {0xAE3CBE5BF394C9C9, "DeleteEntity", "h", 'n',
     [](Call c) {
         int32_t* handle = c.P<int32_t>(0);
         if (SimPed* ped = c.world.FindPed(*handle)) ped->exists = false;
         *handle = 0;
     }},
    {0x39FF19C64EF7DA5B, "SetPlayerWantedLevel", "iii", 'n', [](Call c) { c.world.wantedLevel = c.I(1); }},
    {0xE0A7D1E497FFCD6F, "SetPlayerWantedLevelNow", "ii", 'n', Nothing},
    {0x020E5F00CDA207BA, "SetWantedLevelMultiplier", "f", 'n',
     [](Call c) { c.world.wantedMultiplier = c.F(0); }},
    {0x66E0276CC5F6B9DA, "SetTextFont", "i", 'n', Nothing},
    {0x07C837F9A01C34C9, "SetTextScale", "ff", 'n', Nothing},
    {0xBE6B23FFA53FB442, "SetTextColour", "iiii", 'n', Nothing},
    {0x63145D9C883A1A70, "SetTextWrap", "ff", 'n', Nothing},
    {0xC02F4DBFB51D988B, "SetTextCentre", "i", 'n', Nothing},
    {0x465C84BC39F1C351, "SetTextDropshadow", "iiiii", 'n', Nothing},
    {0x441603240D202FA6, "SetTextEdge", "iiiii", 'n', Nothing},
    {0x25FBB336DF1804CB, "BeginTextEntry", "s", 'n', [](Call c) { c.world.pendingText.clear(); }},
    {0x6C188BE134E074AA, "AddTextComponentString", "s", 'n', [](Call c) { c.world.pendingText += c.S(0); }},
    {0xCD015E5BB0D96A57, "DrawText", "ff", 'n',
     [](Call c) {
         ++c.world.drawCount;
         if (c.world.keepDraws)
             c.world.draws.push_back({c.game.Frame(), c.world.pendingText, c.F(0), c.F(1)});
     }},
};

static_assert(sizeof Catalogue / sizeof Catalogue[0] == NativeCount, "the catalogue holds every native");

// The first shift at which 8 bits of the hash give every native a slot of its own.
constexpr int DistinctShift() {
    for (int shift = 0; shift <= 56; ++shift) {
        bool taken[256] = {};
        bool distinct = true;
        for (const Native& native : Catalogue) {
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
    int argCount = 0;
    uint32_t scalarSlots = 0;  // bit k: argument k is an int, hash or float, whose high 32 bits must be 0
    int position = 0;          // in the catalogue
    const Native* native = nullptr;
    bool onlyScalars = false;
};

struct HashIndex {
    std::array<Indexed, 256> slots{};

    HashIndex() {
        for (const Native& native : Catalogue) {
            Indexed& slot = slots[(native.hash >> Shift) & 255];
            slot = {native.hash,
                    native.handler,
                    static_cast<int>(std::strlen(native.args)),
                    0,
                    static_cast<int>(&native - Catalogue),
                    &native};
            for (int k = 0; native.args[k]; ++k)
                if (std::strchr("iuf", native.args[k])) slot.scalarSlots |= 1u << k;
            slot.onlyScalars = slot.scalarSlots == (1u << slot.argCount) - 1;
        }
    }
};

const HashIndex Index;

const Indexed* Lookup(uint64_t hash) {
    const Indexed& slot = Index.slots[(hash >> Shift) & 255];
    return slot.native && slot.hash == hash ? &slot : nullptr;
}

const Native* Find(uint64_t hash) {
    const Indexed* entry = Lookup(hash);
    return entry ? entry->native : nullptr;
}

void AppendVector(std::string& out, Vec3 v) {
    out += '(';
    AppendFloat(out, v.x);
    out += ", ";
    AppendFloat(out, v.y);
    out += ", ";
    AppendFloat(out, v.z);
    out += ')';
}

// Checks one slot against its kind; appends its decoded value to the trace text.
bool DecodeSlot(const Call& c, const Native& native, int k, char kind, std::string* text) {
    const uint64_t slot = c.Slot(k);
    const bool scalar = kind == 'i' || kind == 'u' || kind == 'f';
    if (scalar && (slot >> 32) != 0) {
        c.game.Fail(std::string(native.name) + ": argument " + std::to_string(k + 1) +
                    " has its high 32 bits set");
        return false;
    }
    if (!scalar && slot == 0) {
        c.game.Fail(std::string(native.name) + ": argument " + std::to_string(k + 1) + " is a null pointer");
        return false;
    }
    if (!text) return true;
    switch (kind) {
        case 'i':
            AppendInt(*text, c.I(k));
            break;
        case 'u':
            AppendHex32(*text, c.U(k));
            break;
        case 'f':
            AppendFloat(*text, c.F(k));
            break;
        case 's':
            AppendQuoted(*text, c.S(k));
            break;
        case 'v':
            *text += '&';
            AppendVector(*text, Call::ReadVector(c.P<unsigned char>(k)));
            break;
        case 'h':
            *text += '&';
            AppendInt(*text, *c.P<int32_t>(k));
            break;
        case 'g':
            *text += '&';
            AppendHex32(*text, *c.P<uint32_t>(k));
            break;
    }
    return true;
}

void AppendResult(std::string& out, const Native& native, const Call& c) {
    switch (native.result) {
        case 'i':
            out += " -> ";
            AppendInt(out, static_cast<int32_t>(static_cast<uint32_t>(c.Result()[0])));
            break;
        case 'u':
            out += " -> ";
            AppendHex32(out, static_cast<uint32_t>(c.Result()[0]));
            break;
        case 'b':
            out += c.Result()[0] ? " -> true" : " -> false";
            break;
        case 'v':
            out += " -> ";
            AppendVector(out, Call::ReadVector(reinterpret_cast<const unsigned char*>(c.Result())));
            break;
        default:
            break;
    }
}

// What the call wrote through its pointer arguments.
void AppendOutputs(std::string& out, const Native& native, const Call& c) {
    for (int k = 0; native.args[k]; ++k) {
        switch (native.args[k]) {
            case 'v':
                out += "; out ";
                AppendVector(out, Call::ReadVector(c.P<unsigned char>(k)));
                break;
            case 'g':
                out += "; out ";
                AppendHex32(out, *c.P<uint32_t>(k));
                break;
            case 'h':
                out += "; out ";
                AppendInt(out, *c.P<int32_t>(k));
                break;
            default:
                break;
        }
    }
}

}  // namespace

int NativeIndex(const char* name) {
    for (const Native& native : Catalogue)
        if (std::strcmp(native.name, name) == 0) return static_cast<int>(&native - Catalogue);
    return -1;
}

const char* NativeName(uint64_t hash) {
    const Native* native = Find(hash);
    return native ? native->name : nullptr;
}

namespace {

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

// Everything but a well-formed call with the trace off: a fault is named, a traced call written out.
void DispatchSlowly(Game& game) {
    const uint64_t hash = game.CallHash();
    const int count = game.ArgumentCount();
    const Indexed* entry = Lookup(hash);
    if (!entry) {
        std::string message = "unknown native hash 0x";
        static const char digits[] = "0123456789ABCDEF";
        for (int shift = 60; shift >= 0; shift -= 4)
            message += digits[(hash >> shift) & 0xF];
        game.Fail(message);
        return;
    }
    const Native* native = entry->native;
    const int expected = entry->argCount;
    if (count != expected) {
        game.Fail(std::string(native->name) + ": " + std::to_string(count) + " arguments pushed, " +
                  std::to_string(expected) + " expected");
        return;
    }
    const Call call{game, game.world};
    if (!game.trace.Active()) {
        for (int k = 0; k < count; ++k)
            if (!DecodeSlot(call, *native, k, native->args[k], nullptr)) return;
        game.CountCall(entry->position);
        native->handler(call);
        return;
    }
    std::string line = native->name;
    line += '(';
    for (int k = 0; k < count; ++k) {
        if (k > 0) line += ", ";
        if (!DecodeSlot(call, *native, k, native->args[k], &line)) return;
    }
    game.CountCall(entry->position);
    native->handler(call);
    line += ')';
    AppendResult(line, *native, call);
    AppendOutputs(line, *native, call);
    game.Log(line);
}

}  // namespace

void DispatchNative(Game& game) {
    const Indexed* entry = Lookup(game.CallHash());
    if (!entry || game.ArgumentCount() != entry->argCount || game.trace.Active() || !WellFormed(*entry, game))
        return DispatchSlowly(game);
    game.CountCall(entry->position);
    entry->handler(Call{game, game.world});
}
