#pragma once
#include <cstdint>

class Game;

// Decodes the raw slots of one native call with the catalogue, answers it from the world, writes the
// result slots and traces the call. An unknown hash or a malformed slot is a protocol fault.
void DispatchNative(Game& game, uint64_t hash, const uint64_t* slots, int count, uint64_t* result);

// The position of a native in the catalogue, or -1.
int NativeIndex(const char* name);
constexpr int NativeCount = 36;

// The catalogue name of a hash, or nullptr.
const char* NativeName(uint64_t hash);
