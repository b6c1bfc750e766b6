#include "sim/Simulation.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "host/Seam.h"

namespace {
Simulation* Current = nullptr;
ScriptFibre* CurrentFibre = nullptr;

Game& Require() {
    if (!Current) {
        std::fputs("skirmora: the script called the platform with no simulation running\n", stderr);
        std::abort();
    }
    return Current->game;
}
}  // namespace

Simulation::Simulation(uint32_t startTick) : game(startTick), startTick_(startTick) {
    if (Current) {
        std::fputs("skirmora: only one simulation may run at a time\n", stderr);
        std::abort();
    }
    Current = this;
    CurrentFibre = &fibre_;
}

Simulation::~Simulation() {
    Stop();
    Current = nullptr;
    CurrentFibre = nullptr;
}

void Simulation::Start(void (*entry)()) {
    entry_ = entry;
}

void Simulation::RunFrames(int64_t frames) {
    for (int64_t n = 0; n < frames; ++n) {
        game.BeginFrame();
        if (!fibre_.Started() && entry_) {
            fibre_.Start(entry_);
            fibre_.Resume();
        } else if (fibre_.Started() && game.ScriptDue()) {
            fibre_.Resume();
        }
    }
}

void Simulation::Stop() {
    fibre_.Stop();
}

bool Simulation::OpenLogFile(std::string& path) {
    if (logPath.empty()) return false;
    log_.close();
    log_.open(std::filesystem::u8path(logPath), std::ios::binary | std::ios::trunc);
    path = FullPath(logName.empty() ? logPath : logName);
    return log_.is_open();
}

bool Simulation::AppendLog(const std::string& bytes) {
    log_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    log_.flush();
    return static_cast<bool>(log_);
}

Game* CurrentGame() {
    return Current ? &Current->game : nullptr;
}

// The platform seam, bound to the current simulation.
void scriptRegister(void*, void (*entry)()) {
    Require().Register(entry);
}
void scriptWait(uint32_t milliseconds) {
    Require().Wait(milliseconds);
    CurrentFibre->Yield();
}
void nativeInit(uint64_t hash) {
    Require().NativeInit(hash);
}
void nativePush64(uint64_t value) {
    Require().NativePush(value);
}
uint64_t* nativeCall() {
    return Require().NativeCall();
}
uint32_t TickCount() {
    return Require().TickQuery();
}
int16_t AsyncKeyState(int32_t virtualKey) {
    return Require().KeyQuery(virtualKey);
}
bool OpenLog(const std::string&, std::string& path, std::string&) {
    Require();
    return Current->OpenLogFile(path);
}
bool WriteLog(const std::string& bytes) {
    Require();
    return Current->AppendLog(bytes);
}
std::string FullPath(const std::string& name) {
    std::error_code error;
    const auto path = std::filesystem::absolute(std::filesystem::u8path(name), error);
    return error ? name : path.u8string();
}
uint32_t LocalTimeOfDayMs() {
    Require();
    return Current->ElapsedMs();
}
uint64_t PerformanceCounter() {
    const Game& game = Require();
    return uint64_t{Current->ElapsedMs()} * 1000 + static_cast<uint64_t>(game.NativeCalls());
}
uint64_t PerformanceFrequency() {
    return 1000000;
}
