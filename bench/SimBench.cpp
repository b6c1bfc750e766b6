// The simulator's speed: game seconds played per wall second, the real script in the fighting world, and one
// frame of the simulated game with the mode off.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/run/RiotRun.h"
#include "app/run/Scenario.h"
#include "config/Settings.h"
#include "riot/RiotState.h"
#include "script/ScriptMain.h"
#include "script/ScriptState.h"
#include "sim/Fight.h"
#include "sim/Simulation.h"

namespace {

constexpr double GameSeconds = 60.0;

// Rioters in two factions of half the cap each, so that they fight each other as well as the player.
void Riot(benchmark::State& state) {
    const int rioters = static_cast<int>(state.range(0));
    const std::string config = (std::filesystem::temp_directory_path() / "skirmora-sim-bench.txt").string();
    std::ofstream(config, std::ios::binary)
        << "{\"MaxRioters\": " << rioters << ", \"Factions\": [{\"MaxMembers\": " << rioters / 2
        << "}, {\"MaxMembers\": " << rioters - rioters / 2 << "}]}";
    Scenario scenario = BuiltInScenario();
    scenario.seconds = GameSeconds;
    scenario.world.player.path = {{0.0, 0.0f, 0.0f}};  // stays in the riot
    scenario.world.player.vehicle.clear();
    scenario.world.player.health = 1e6f;
    int64_t peak = 0;
    int64_t calls = 0;
    for (auto _ : state) {
        const RiotResult result = PlayRiot(scenario, config);
        peak = result.recording.totals.peakRioters;
        calls = result.nativeCalls;
    }
    state.counters["game_s_per_s"] = benchmark::Counter(GameSeconds * static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
    state.counters["peak_rioters"] = static_cast<double>(peak);
    state.counters["natives_per_game_s"] = static_cast<double>(calls) / GameSeconds;
    std::remove(config.c_str());
}

// A frame with the mode off: the frame's start with the fight model's step over an empty world, the hand-over
// to the script, its idle pass (a tick read, two key queries) and its wait. No config file: built-in values.
void IdleFrame(benchmark::State& state) {
    ResetScriptState();
    ::Riot().Settings.ConfigFileName = "";
    Simulation sim;
    sim.game.trace.keep = false;
    sim.game.world.keepDraws = false;
    LivingWorld living{WorldPlan{}};
    sim.game.onFrame.push_back(
        [&living](Game& game) { living.Step(game.world, static_cast<double>(game.Frame()) / 60.0); });
    sim.Start(&ScriptMain);
    sim.RunFrames(10);
    for (auto _ : state)
        sim.RunFrames(1);
    sim.Stop();
    ResetScriptState();
}

}  // namespace

// Wall time: the script ran on a thread of its own before it ran on a fibre, and both must be compared alike.
BENCHMARK(Riot)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(IdleFrame)->UseRealTime();
BENCHMARK_MAIN();
