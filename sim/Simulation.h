// The simulated game on Linux: a Game whose frame loop runs the script's entry on a fibre. One simulation is
// current at a time; the platform seam is bound to it (sim/SimulatedBinding.cpp). Its log's clocks are the
// game's: the local time is the game time since the start, and the performance counter counts a microsecond
// of each game millisecond and one for each native call, so that one run writes the same log everywhere.
#pragma once
#include <cstdint>
#include <fstream>
#include <string>

#include "sim/Game.h"
#include "sim/ScriptFibre.h"

class Simulation {
  public:
    Game game;
    // Where the script writes its log; none when empty (the simulator keeps no log unless told).
    std::string logPath;
    // The name the log gives itself ("Log file: ..."): logPath when empty, another when the log is written
    // under a temporary name and renamed afterwards.
    std::string logName;
    // The errno of the log's first failed open or write, or 0.
    int logError = 0;

    explicit Simulation(uint32_t startTick = 0);
    ~Simulation();
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // The one running now, or none.
    static Simulation* Current() { return current_; }

    // The hook calls the entry once, in the first frame that is run after this.
    void Start(void (*entry)());
    // Runs that many frames: each begins, then the script runs if its wait is over.
    void RunFrames(int64_t frames);
    // Tears the script fibre down; the simulation can be inspected afterwards.
    void Stop();

    // The script's scriptWait: the game notes the wait, and the frame loop gets its turn.
    void Wait(uint32_t milliseconds) {
        game.Wait(milliseconds);
        fibre_.Yield();
    }
    // The seam's log services: the log opened afresh at logPath, and the bytes appended to it.
    bool OpenLogFile(std::string& path);
    bool AppendLog(const std::string& bytes);
    // The game time since the start, in milliseconds: the simulated clock of the log's lines.
    uint32_t ElapsedMs() const { return game.Tick() - startTick_; }

  private:
    static inline Simulation* current_ = nullptr;

    uint32_t startTick_;
    std::ofstream log_;
    ScriptFibre fibre_;
    void (*entry_)() = nullptr;
};

inline Game* CurrentGame() {
    return Simulation::Current() ? &Simulation::Current()->game : nullptr;
}
