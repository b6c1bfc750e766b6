// Plays a scenario in the simulated game with the real script and records what happened.
#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/run/Recording.h"
#include "app/run/Scenario.h"

struct RiotResult {
    Recording recording;
    std::vector<std::string> faults;  // protocol faults the simulated game saw (a script defect)
    int64_t frames = 0;
    int64_t nativeCalls = 0;
    double seconds = 0.0;       // game time played: the scenario's, or less when the run was stopped
    bool stoppedEarly = false;  // the progress callback asked to stop
    int logError = 0;           // the errno of the log's first failed open or write, or 0
};

struct RiotProgress {
    double seconds = 0.0;
    int rioters = 0;
    int64_t frames = 0;
};

// What a run writes beside its recording.
struct RiotOutputs {
    std::ostream* trace = nullptr;  // every native call, one line each; none when null
    double traceFrom = 0.0;         // the frames traced: those from this game time
    double traceTo = 1e18;          // and before this one
    std::string log;                // where the script writes its log; none when empty
    std::string logName;            // the log's name as it gives it; log when empty
    bool replaySamples = false;     // record the replay page's samples and tracks
};

// configPath: the file the script reads as its config; empty: no file (built-in values). progress is called
// every few hundred frames; returning false ends the run there, with everything recorded so far.
RiotResult PlayRiot(const Scenario& scenario, const std::string& configPath, const RiotOutputs& outputs = {},
                    const std::function<bool(const RiotProgress&)>& progress = {});

// Frames the scenario plays: the first frame whose game time reaches its length ends it.
int64_t FrameCount(const Scenario& scenario);

// The scenario's presses and snapshots that its run never reaches, by their moments.
struct PastTheEnd {
    std::vector<double> presses;
    std::vector<double> snapshots;
};
PastTheEnd Unreached(const Scenario& scenario);
