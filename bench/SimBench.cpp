// The simulator's speed: game seconds played per wall second, the real script in the fighting world.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/RiotRun.h"
#include "app/Scenario.h"

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
        const RiotResult result = PlayRiot(scenario, config, nullptr);
        peak = result.totals.peakRioters;
        calls = result.nativeCalls;
    }
    state.counters["game_s_per_s"] = benchmark::Counter(GameSeconds * static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
    state.counters["peak_rioters"] = static_cast<double>(peak);
    state.counters["natives_per_game_s"] = static_cast<double>(calls) / GameSeconds;
    std::remove(config.c_str());
}

}  // namespace

// The script runs on its own thread: wall time is what counts.
BENCHMARK(Riot)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
