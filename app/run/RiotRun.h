// Plays a scenario in the simulated game with the real script and records what happened.
#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/run/Scenario.h"
#include "app/views/Pictures.h"
#include "app/views/Replay.h"
#include "app/views/Timeline.h"

struct RiotResult {
    std::vector<TimelineRow> rows;
    Totals totals;
    PictureSet pictures;
    std::vector<std::string> faults;  // protocol faults the simulated game saw (a script defect)
    int64_t frames = 0;
    int64_t nativeCalls = 0;
    double seconds = 0.0;       // game time played: the scenario's, or less when the run was stopped
    bool stoppedEarly = false;  // the progress callback asked to stop
};

struct RiotProgress {
    double seconds = 0.0;
    int rioters = 0;
    int64_t frames = 0;
};

// configPath: the file the script reads as its config; empty: no file (built-in values). trace: where to
// write every native call, or null. progress is called every few hundred frames; returning false ends the
// run there, with everything recorded so far. replay, when given, sees every frame. logPath: where the script
// writes its log; none when empty.
RiotResult PlayRiot(const Scenario& scenario, const std::string& configPath, std::ostream* trace,
                    const std::function<bool(const RiotProgress&)>& progress = {},
                    ReplayRecorder* replay = nullptr, const std::string& logPath = "");

// Frames the scenario plays: the first frame whose game time reaches its length ends it.
int64_t FrameCount(const Scenario& scenario);
