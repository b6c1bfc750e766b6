#pragma once
#include <cstdint>

class Game;

// Decodes the argument slots of the game's native call with the catalogue, answers it from the world, writes
// the result slots and traces the call. An unknown hash or a malformed slot is a protocol fault.
void DispatchNative(Game& game);

// The position of a native in the catalogue, or -1.
int NativeIndex(const char* name);
constexpr int NativeCount = 36;

// The catalogue name of a hash, or nullptr.
const char* NativeName(uint64_t hash);
