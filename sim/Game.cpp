#include "sim/Game.h"

#include "sim/Dispatch.h"
#include "sim/Format.h"

void Game::BeginFrame() {
    if (frame_ >= 0) tick_ += frameMs;
    ++frame_;
    for (auto& hook : onFrame)
        hook(*this);
}

bool Game::ScriptDue() const {
    if (!waiting_) return true;
    if (frame_ <= waitFrame_) return false;
    return static_cast<uint32_t>(tick_ - waitTick_) >= waitMs_;
}

void Game::Register(void (*entry)()) {
    entry_ = entry;
    Log("scriptRegister");
}

void Game::Wait(uint32_t milliseconds) {
    if (trace.Active()) {
        std::string event = "scriptWait(";
        AppendUnsigned(event, milliseconds);
        event += ')';
        Log(event);
    }
    waiting_ = true;
    waitFrame_ = frame_;
    waitTick_ = tick_;
    waitMs_ = milliseconds;
}

void Game::ProtocolFault(const char* message) {
    Fail(message);
}

int64_t Game::CallsOf(const char* name) const {
    const int index = NativeIndex(name);
    return index < 0 ? -1 : callCounts_[index];
}

uint32_t Game::TickQuery() {
    if (trace.Active()) {
        std::string event = "GetTickCount() -> ";
        AppendUnsigned(event, tick_);
        Log(event);
    }
    return tick_;
}

int16_t Game::KeyQuery(int32_t key) {
    const int16_t state = keyboard.Query(key, frame_);
    if (trace.Active()) {
        std::string event = "GetAsyncKeyState(";
        AppendInt(event, key);
        event += ") -> ";
        AppendHex32(event, static_cast<uint16_t>(state));
        Log(event);
    }
    return state;
}

void Game::Fail(const std::string& message) {
    errors.push_back(message);
    Log("ERROR " + message);
}

void Game::Log(const std::string& event) {
    if (!trace.Active()) return;
    std::string line;
    AppendInt(line, frame_);
    line += ' ';
    AppendUnsigned(line, tick_);
    line += ' ';
    line += event;
    trace.Add(std::move(line));
}
