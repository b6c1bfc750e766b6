#include "sim/Simulation.h"

#include <cstdio>
#include <cstdlib>

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

Simulation::Simulation(uint32_t startTick) : game(startTick) {
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
