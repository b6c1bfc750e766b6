// The script's own cost per native call, per frame, per combat pass and per config load.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench/NullBinding.h"
#include "config/LoadConfig.h"
#include "config/Settings.h"
#include "host/Natives.h"
#include "host/Seam.h"
#include "host/Slots.h"
#include "riot/Combat.h"
#include "riot/RiotState.h"
#include "riot/Roster.h"
#include "script/LoggedLoad.h"
#include "script/ScriptLog.h"
#include "script/ScriptMain.h"
#include "script/ScriptState.h"

namespace {

// The do-nothing hook called by hand, then the same calls through the typed layer.
void HookSetPedAccuracy(benchmark::State& state) {
    int32_t ped = 100;
    for (auto _ : state) {
        nativeInit(0x7AEFB85C1D49DEB6);
        nativePush64(static_cast<uint32_t>(ped));
        nativePush64(static_cast<uint32_t>(-2));
        benchmark::DoNotOptimize(nativeCall());
    }
}
void LayerSetPedAccuracy(benchmark::State& state) {
    int32_t ped = 100;
    for (auto _ : state)
        SetPedAccuracy(ped, -2);
}
void HookGetEntityCoords(benchmark::State& state) {
    for (auto _ : state) {
        nativeInit(0x3FEF770D40960D5A);
        nativePush64(100);
        nativePush64(1);
        const uint64_t* r = nativeCall();
        float x;
        std::memcpy(&x, r, 4);
        benchmark::DoNotOptimize(x);
    }
}
void LayerGetEntityCoords(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(GetEntityCoords(100, 1));
}
void HookCreatePed(benchmark::State& state) {
    for (auto _ : state) {
        nativeInit(0xD49F9B0955C367DE);
        nativePush64(26);
        nativePush64(0x1B06D571);
        nativePush64(Slot(1.0f));
        nativePush64(Slot(2.0f));
        nativePush64(Slot(3.0f));
        nativePush64(Slot(0.0f));
        nativePush64(0);
        nativePush64(1);
        benchmark::DoNotOptimize(static_cast<uint32_t>(nativeCall()[0]));
    }
}
void LayerCreatePed(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(CreatePed(26, 0x1B06D571, 1.0f, 2.0f, 3.0f, 0.0f, 0, 1));
}
void HookDrawText(benchmark::State& state) {
    for (auto _ : state) {
        nativeInit(0xCD015E5BB0D96A57);
        nativePush64(Slot(0.5f));
        nativePush64(Slot(0.5f));
        benchmark::DoNotOptimize(nativeCall());
    }
}
void LayerDrawText(benchmark::State& state) {
    for (auto _ : state)
        DrawText(0.5f, 0.5f);
}

// Whole passes of the main loop: each scriptWait is one iteration.
void RunLoop(benchmark::State& state, std::vector<bool> keys, const std::string& log = "") {
    ResetScriptState();
    NullBinding::LogPath = log;
    NullBinding::KeyScript = std::move(keys);
    NullBinding::KeyQueries = 0;
    NullBinding::Tick = 1000;
    const int64_t before = NullBinding::Calls;
    NullBinding::LoopState = &state;
    try {
        ScriptMain();
    } catch (const NullBinding::LoopDone&) {
    }
    NullBinding::LoopState = nullptr;
    state.counters["natives/frame"] = benchmark::Counter(static_cast<double>(NullBinding::Calls - before),
                                                         benchmark::Counter::kAvgIterations);
}
void IdleFrame(benchmark::State& state) {
    RunLoop(state, {});
}
// With a log, each frame reads the performance counter twice.
void IdleFrameLogged(benchmark::State& state) {
    RunLoop(state, {}, "/dev/null");
}
// On, then off: the clock stands still, so "Skirmora disabled" stays on screen.
void StatusTextFrame(benchmark::State& state) {
    RunLoop(state, {true, false, false, true});
}

void CombatPass(benchmark::State& state) {
    ResetScriptState();
    const int rioters = static_cast<int>(state.range(0));
    Faction all;
    all.MaxMembers = static_cast<uint32_t>(rioters);
    all.WillAttackSelf = true;
    for (int k = 0; k < rioters; ++k)
        all.Members.push_back({100 + k, 0, false});
    Riot().FactionList = {all};
    CombatTick();  // arm and task everyone once: the passes measured are the steady ones
    const int64_t before = NullBinding::Calls;
    for (auto _ : state)
        CombatTick();
    const double calls =
        static_cast<double>(NullBinding::Calls - before) / static_cast<double>(state.iterations());
    state.counters["natives/pass"] = calls;
    state.counters["expected"] = 2.0 * rioters * rioters + 6.0 * rioters;
    state.counters["ns/native"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * calls,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    Riot().FactionList.clear();
}

std::string ExampleConfig() {
    std::ifstream in(std::string(SKIRMORA_SOURCE_DIR) + "/examples/Skirmora_config.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.empty()) throw std::runtime_error("examples/Skirmora_config.txt is missing");
    return text;
}

std::string MegabyteConfig() {
    std::string text = R"({"MaxRioters": 30, "Factions": [)";
    for (int k = 0; text.size() < (1u << 20); ++k)
        text += std::string(k ? "," : "") +
                R"({"MaxMembers": 5, "Weapons": ["WEAPON_SMG", "WEAPON_PISTOL"],)" +
                R"( "MemberModels": ["a_m_y_skater_01", "g_m_y_famca_01"]})";
    return text + "]}";
}

// A config with a mistake of each common kind: the check has something to say of each.
std::string MistakenConfig() {
    return R"({
    "EnableKey": "f6",
    "MaxRioter": 30,
    "WeaponsUsedByAllFactions": ["WEAPON_PISTLO", "WEAPON_SMG", "WEAPON_CUSTOM_ADDON"],
    "Factions": [
        {"MaxMembers": 5, "MemberModels": ["g_m_y_ballaorig_01", "a_m_y_skatr_01"]},
        {"MaxMembers": "ten"}
    ]
})";
}

// Loads of the file, as at presses of the key: logged (the check's account and what is in force written to a
// log file), or as without a log.
void LoadFile(benchmark::State& state, const std::string& text, bool logged) {
    char pattern[] = "/tmp/skirmora-bench-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::ofstream(Riot().Settings.ConfigFileName, std::ios::binary) << text;
    ResetScriptState();
    NullBinding::LogPath = logged ? dir + "/Skirmora.log" : "";
    StartLog();
    for (auto _ : state) {
        LoadAndLog(LoadCause::Press, 118);
        ScriptState.Log.Written = 0;  // never full
    }
    state.SetBytesProcessed(static_cast<int64_t>(text.size()) * state.iterations());
    state.counters["factions"] = static_cast<double>(Riot().FactionList.size());
    ResetScriptState();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
void LoadExample(benchmark::State& state) {
    LoadFile(state, ExampleConfig(), false);
}
void LoadExampleLogged(benchmark::State& state) {
    LoadFile(state, ExampleConfig(), true);
}
void LoadMistakenLogged(benchmark::State& state) {
    LoadFile(state, MistakenConfig(), true);
}
void LoadMegabyte(benchmark::State& state) {
    LoadFile(state, MegabyteConfig(), false);
}

}  // namespace

BENCHMARK(HookSetPedAccuracy);
BENCHMARK(LayerSetPedAccuracy);
BENCHMARK(HookGetEntityCoords);
BENCHMARK(LayerGetEntityCoords);
BENCHMARK(HookCreatePed);
BENCHMARK(LayerCreatePed);
BENCHMARK(HookDrawText);
BENCHMARK(LayerDrawText);
BENCHMARK(IdleFrame);
BENCHMARK(IdleFrameLogged);
BENCHMARK(StatusTextFrame);
BENCHMARK(CombatPass)->Arg(20)->Arg(100)->Arg(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadExample)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadExampleLogged)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadMistakenLogged)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadMegabyte)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
