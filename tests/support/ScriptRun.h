// A run of ScriptMain in a fresh simulated game, with the trace kept for inspection.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Simulation.h"

class ScriptRun {
  public:
    // Resets every script global, then prepares (but does not start) a run at that start tick.
    explicit ScriptRun(uint32_t startTick = 0, uint32_t frameMs = 16);
    ~ScriptRun();

    Game& game() { return sim_->game; }
    Simulation& sim() { return *sim_; }
    World& world() { return sim_->game.world; }

    // Starts ScriptMain at the next frame run (if not started yet) and runs this many frames.
    void Frames(int64_t frames);
    // Holds the toggle key (F7 unless given) down from the next frame run.
    void Press(int64_t frames = 1, int32_t key = 118);
    int64_t NextFrame() const { return sim_->game.Frame() + 1; }

    // Trace lines whose event (after frame and tick) starts with the prefix, or all of them.
    std::vector<std::string> Events(const std::string& prefix = "") const;
    // The events of one frame.
    std::vector<std::string> FrameEvents(int64_t frame) const;
    // The event part of a trace line.
    static std::string EventOf(const std::string& line);
    static int64_t FrameOf(const std::string& line);
    // The frames (each once, in order) whose trace holds an event starting with the prefix.
    std::vector<int64_t> FramesWith(const std::string& prefix) const;
    int Count(const std::string& prefix) const { return static_cast<int>(Events(prefix).size()); }

  private:
    std::unique_ptr<Simulation> sim_;
};

// Fails the current test when the run reported protocol faults.
void ExpectNoFaults(const Game& game);
