// Everything the script knows of its platform. The Windows binding implements these through the
// real hook, kernel32 and user32; the simulated game implements them on Linux.
#pragma once
#include <cstdint>
#include <string>

// The hook's five services.
void scriptRegister(void* module, void (*entry)());
void scriptWait(uint32_t milliseconds);
void nativeInit(uint64_t hash);
void nativePush64(uint64_t value);
uint64_t* nativeCall();

// The millisecond tick (GetTickCount) and the key query (GetAsyncKeyState).
uint32_t TickCount();
int16_t AsyncKeyState(int32_t virtualKey);

// The script's log (Skirmora.log), its only output besides the game. None of these throws.
// Opens the log afresh for this game session, for the config file of that name: path receives where it went,
// and note why that is not beside the config when it is not. False: no log this session (a binding may keep
// none at all).
bool OpenLog(const std::string& configFileName, std::string& path, std::string& note);
// Appends the bytes to the log opened; false when they could not be written.
bool WriteLog(const std::string& bytes);
// The full path of a file name relative to the current folder, UTF-8.
std::string FullPath(const std::string& name);
// Milliseconds since the local midnight, and the local date as the number yyyymmdd (20261210).
uint32_t LocalTimeOfDayMs();
uint32_t LocalDate();
// The performance counter, and its counts a second.
uint64_t PerformanceCounter();
uint64_t PerformanceFrequency();
