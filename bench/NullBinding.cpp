#include "bench/NullBinding.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "host/Seam.h"

namespace NullBinding {
uint64_t Result[4] = {1, 0, 0, 0};
int64_t Calls = 0;
uint32_t Tick = 1000;
std::vector<bool> KeyScript;
size_t KeyQueries = 0;
benchmark::State* LoopState = nullptr;
std::string LogPath;
std::FILE* LogFile = nullptr;
namespace {
uint64_t Hash = 0;
uint64_t Slots[16];
unsigned Count = 0;
}  // namespace
}  // namespace NullBinding

using namespace NullBinding;

void scriptRegister(void*, void (*)()) {}
void scriptWait(uint32_t) {
    if (LoopState && !LoopState->KeepRunning()) throw LoopDone{};
}
void nativeInit(uint64_t hash) {
    Hash = hash;
    Count = 0;
}
void nativePush64(uint64_t value) {
    Slots[Count++ & 15] = value;
}
uint64_t* nativeCall() {
    ++Calls;
    benchmark::DoNotOptimize(Hash);
    benchmark::DoNotOptimize(Slots);
    return Result;
}
uint32_t TickCount() {
    return Tick;
}
int16_t AsyncKeyState(int32_t) {
    const size_t query = KeyQueries++;
    return query < KeyScript.size() && KeyScript[query] ? static_cast<int16_t>(0x8000) : 0;
}
bool OpenLog(const std::string&, std::string& path, std::string&) {
    if (LogPath.empty()) return false;
    if (LogFile) std::fclose(LogFile);
    LogFile = std::fopen(LogPath.c_str(), "wb");
    path = LogPath;
    return LogFile != nullptr;
}
bool WriteLog(const std::string& bytes) {
    return LogFile && std::fwrite(bytes.data(), 1, bytes.size(), LogFile) == bytes.size();
}
std::string FullPath(const std::string& name) {
    return name;
}
uint32_t LocalTimeOfDayMs() {
    return Tick;
}
uint32_t LocalDate() {
    return 20000101;
}
uint64_t PerformanceCounter() {
    return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}
uint64_t PerformanceFrequency() {
    return std::chrono::steady_clock::period::den / std::chrono::steady_clock::period::num;
}
