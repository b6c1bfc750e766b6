#pragma once

class Game;

// Decodes the argument slots of the game's native call by the catalogue (host/NativeCatalogue.h), answers it
// from the world (sim/Answers.h), writes the result slots and traces the call. An unknown hash or a malformed
// slot is a protocol fault.
void DispatchNative(Game& game);

// The position of a native in the catalogue, or -1.
int NativeIndex(const char* name);
