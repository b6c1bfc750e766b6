// The platform seam bound to the current simulation (sim/Simulation.h).
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "host/Seam.h"
#include "sim/Simulation.h"

namespace {
Simulation& Require() {
    Simulation* current = Simulation::Current();
    if (!current) {
        std::fputs("skirmora: the script called the platform with no simulation running\n", stderr);
        std::abort();
    }
    return *current;
}
}  // namespace

void scriptRegister(void*, void (*entry)()) {
    Require().game.Register(entry);
}
void scriptWait(uint32_t milliseconds) {
    Require().Wait(milliseconds);
}
void nativeInit(uint64_t hash) {
    Require().game.NativeInit(hash);
}
void nativePush64(uint64_t value) {
    Require().game.NativePush(value);
}
uint64_t* nativeCall() {
    return Require().game.NativeCall();
}
uint32_t TickCount() {
    return Require().game.TickQuery();
}
int16_t AsyncKeyState(int32_t virtualKey) {
    return Require().game.KeyQuery(virtualKey);
}
bool OpenLog(const std::string&, std::string& path, std::string&) {
    return Require().OpenLogFile(path);
}
bool WriteLog(const std::string& bytes) {
    return Require().AppendLog(bytes);
}
std::string FullPath(const std::string& name) {
    std::error_code error;
    const auto path = std::filesystem::absolute(std::filesystem::u8path(name), error);
    return error ? name : path.u8string();
}
uint32_t LocalTimeOfDayMs() {
    return Require().ElapsedMs();
}
uint32_t LocalDate() {
    return 20000101;  // the simulated game's calendar stands still, so a run's log is the same everywhere
}
uint64_t PerformanceCounter() {
    const Simulation& simulation = Require();
    return uint64_t{simulation.ElapsedMs()} * 1000 + static_cast<uint64_t>(simulation.game.NativeCalls());
}
uint64_t PerformanceFrequency() {
    return 1000000;
}
