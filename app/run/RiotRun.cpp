#include "app/run/RiotRun.h"

#include <algorithm>
#include <cmath>

#include "app/run/Recorder.h"
#include "config/Settings.h"
#include "riot/RiotState.h"
#include "riot/Roster.h"
#include "script/ScriptMain.h"
#include "script/ScriptState.h"
#include "sim/Fight.h"
#include "sim/Simulation.h"

namespace {

constexpr int PressFrames = 3;

// Milliseconds of game time from the start to frame n: whole milliseconds, however the frame time divides.
int64_t ElapsedMs(double frameMs, int64_t frame) {
    return static_cast<int64_t>(std::floor(static_cast<double>(frame) * frameMs));
}

double Seconds(const Scenario& scenario, int64_t frame) {
    return static_cast<double>(ElapsedMs(scenario.frameMs, frame)) / 1000.0;
}

void SetUpWorld(Game& game, const Scenario& scenario) {
    game.trace.keep = false;
    game.world.keepDraws = false;
    game.world.modelLoadPolls = scenario.modelLoadPolls;
    game.world.neverLoadingModels.insert(scenario.neverLoadingModels.begin(),
                                         scenario.neverLoadingModels.end());
    game.world.spawns.numbers.insert(scenario.failingSpawns.begin(), scenario.failingSpawns.end());
    game.world.groundZ = scenario.groundZ;
}

// Each frame: the trace is on or off, the recording sees the world as the last frame left it, the fight model
// steps, the scenario's presses come, and the next frame's length is set.
void Drive(Game& game, const Scenario& scenario, const RiotOutputs& outputs, Recorder& recorder,
           LivingWorld& living) {
    game.onFrame.push_back([&, nextPress = size_t{0}](Game& g) mutable {
        const int64_t frame = g.Frame();
        const double seconds = Seconds(scenario, frame);
        const bool traced = seconds + 1e-9 >= outputs.traceFrom && seconds + 1e-9 < outputs.traceTo;
        g.trace.stream = traced ? outputs.trace : nullptr;
        recorder.Observe(g.world, living, seconds, false);
        living.Step(g.world, seconds);
        for (size_t& k = nextPress;
             k < scenario.presses.size() && scenario.presses[k].seconds <= seconds + 1e-9; ++k) {
            const int32_t key = scenario.presses[k].key ? scenario.presses[k].key : Settings.EnableKey;
            g.keyboard.Press(key, frame, PressFrames);
        }
        g.frameMs = static_cast<uint32_t>(ElapsedMs(scenario.frameMs, frame + 1) -
                                          ElapsedMs(scenario.frameMs, frame));
    });
}

// Runs the frames a few hundred at a time, asking progress between; the frames done.
int64_t RunFrames(Simulation& sim, const Scenario& scenario,
                  const std::function<bool(const RiotProgress&)>& progress, bool& stoppedEarly) {
    constexpr int64_t Chunk = 240;
    const int64_t frames = FrameCount(scenario);
    int64_t done = 0;
    while (done < frames) {
        done += std::min(Chunk, frames - done);
        sim.RunFrames(done - sim.game.Frame() - 1);
        if (!progress) continue;
        RiotProgress p;
        p.frames = done;
        p.seconds = Seconds(scenario, done);
        p.rioters = CountRioters();
        if (!progress(p) && done < frames) {
            stoppedEarly = true;
            break;
        }
    }
    return done;
}

}  // namespace

int64_t FrameCount(const Scenario& scenario) {
    const int64_t endMs = static_cast<int64_t>(std::ceil(scenario.seconds * 1000.0));
    int64_t frames = static_cast<int64_t>(static_cast<double>(endMs) / scenario.frameMs);
    while (frames > 0 && ElapsedMs(scenario.frameMs, frames - 1) >= endMs)
        --frames;
    while (ElapsedMs(scenario.frameMs, frames) < endMs)
        ++frames;
    return frames;
}

PastTheEnd Unreached(const Scenario& scenario) {
    // A press needs a frame at or after its moment; the last map is drawn at the run's end.
    const int64_t frames = FrameCount(scenario);
    const double lastFrame = frames > 0 ? Seconds(scenario, frames - 1) : -1.0;
    PastTheEnd past;
    for (const KeyPress& press : scenario.presses)
        if (press.seconds > lastFrame + 1e-9) past.presses.push_back(press.seconds);
    for (const double moment : scenario.snapshots)
        if (moment > scenario.seconds + 1e-9) past.snapshots.push_back(moment);
    return past;
}

RiotResult PlayRiot(const Scenario& scenario, const std::string& configPath, const RiotOutputs& outputs,
                    const std::function<bool(const RiotProgress&)>& progress) {
    RiotResult result;
    ResetScriptState();
    // The script reads this name at start-up and at every press; an empty name opens nothing.
    Settings.ConfigFileName = configPath;
    Recorder recorder(scenario, outputs.replaySamples);
    Riot().RiotWatcher = &recorder;
    {
        Simulation sim(scenario.clockStart);
        sim.logPath = outputs.log;
        sim.logName = outputs.logName;
        SetUpWorld(sim.game, scenario);
        LivingWorld living(scenario.world);
        Drive(sim.game, scenario, outputs, recorder, living);
        sim.Start(&ScriptMain);
        const int64_t done = RunFrames(sim, scenario, progress, result.stoppedEarly);
        result.seconds = result.stoppedEarly ? Seconds(scenario, done) : scenario.seconds;
        recorder.Observe(sim.game.world, living, result.seconds, true);
        sim.Stop();
        result.frames = done;
        result.nativeCalls = sim.game.NativeCalls();
        result.faults = sim.game.errors;
        result.logError = sim.logError;
    }
    result.recording = std::move(recorder.Result());
    ResetScriptState();  // nothing keeps pointing at the recorder
    return result;
}
