#pragma once
#include <cstdint>

class Game;

// Decodes the raw slots of one native call with the catalogue, answers it from the world, writes the
// result slots and traces the call. An unknown hash or a malformed slot is a protocol fault.
void DispatchNative(Game& game, uint64_t hash, const uint64_t* slots, int count, uint64_t* result);

// The catalogue name of a hash, or nullptr.
const char* NativeName(uint64_t hash);
