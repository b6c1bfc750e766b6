// Everything the script knows of its platform. The Windows binding implements these through the
// real hook, kernel32 and user32; the simulated game implements them on Linux.
#pragma once
#include <cstdint>

// The hook's five services.
void scriptRegister(void* module, void (*entry)());
void scriptWait(uint32_t milliseconds);
void nativeInit(uint64_t hash);
void nativePush64(uint64_t value);
uint64_t* nativeCall();

// The millisecond tick (GetTickCount) and the key query (GetAsyncKeyState).
uint32_t TickCount();
int16_t AsyncKeyState(int32_t virtualKey);
