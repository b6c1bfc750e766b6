// The simulated game on Linux: a Game whose frame loop runs the script's entry on a fibre, and the
// platform seam bound to it. One simulation is current at a time.
#pragma once
#include <cstdint>

#include "sim/Game.h"
#include "sim/ScriptFibre.h"

class Simulation {
  public:
    Game game;

    explicit Simulation(uint32_t startTick = 0);
    ~Simulation();
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // The hook calls the entry once, in the first frame that is run after this.
    void Start(void (*entry)());
    // Runs that many frames: each begins, then the script runs if its wait is over.
    void RunFrames(int64_t frames);
    // Tears the script fibre down; the simulation can be inspected afterwards.
    void Stop();

  private:
    ScriptFibre fibre_;
    void (*entry_)() = nullptr;
};

Game* CurrentGame();
