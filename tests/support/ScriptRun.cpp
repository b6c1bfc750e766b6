#include "tests/support/ScriptRun.h"

#include <cstdlib>

#include "script/ScriptMain.h"
#include "script/ScriptState.h"

ScriptRun::ScriptRun(uint32_t startTick, uint32_t frameMs) {
    ResetScriptState();
    sim_ = std::make_unique<Simulation>(startTick);
    sim_->game.frameMs = frameMs;
    sim_->Start(&ScriptMain);
}

ScriptRun::~ScriptRun() {
    sim_->Stop();
    ExpectNoFaults(sim_->game);
}

void ScriptRun::Frames(int64_t frames) {
    sim_->RunFrames(frames);
}

void ScriptRun::Press(int64_t frames, int32_t key) {
    sim_->game.keyboard.Press(key, NextFrame(), frames);
}

std::string ScriptRun::EventOf(const std::string& line) {
    const size_t first = line.find(' ');
    const size_t second = line.find(' ', first + 1);
    return line.substr(second + 1);
}

int64_t ScriptRun::FrameOf(const std::string& line) {
    return std::strtoll(line.c_str(), nullptr, 10);
}

std::vector<std::string> ScriptRun::Events(const std::string& prefix) const {
    std::vector<std::string> events;
    for (const std::string& line : sim_->game.trace.lines) {
        std::string event = EventOf(line);
        if (event.compare(0, prefix.size(), prefix) == 0) events.push_back(event);
    }
    return events;
}

std::vector<std::string> ScriptRun::FrameEvents(int64_t frame) const {
    std::vector<std::string> events;
    for (const std::string& line : sim_->game.trace.lines)
        if (FrameOf(line) == frame) events.push_back(EventOf(line));
    return events;
}

std::vector<int64_t> ScriptRun::FramesWith(const std::string& prefix) const {
    std::vector<int64_t> frames;
    for (const std::string& line : sim_->game.trace.lines)
        if (EventOf(line).rfind(prefix, 0) == 0) {
            const int64_t frame = FrameOf(line);
            if (frames.empty() || frames.back() != frame) frames.push_back(frame);
        }
    return frames;
}

void ExpectNoFaults(const Game& game) {
    for (const std::string& error : game.errors)
        ADD_FAILURE() << "simulated game fault: " << error;
}
