// One world, two platforms, one trace: each scenario runs in the Linux simulator and through the shipped
// Skirmora.asi under Wine, and the two traces must be the same bytes.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "script/ScriptMain.h"
#include "script/ScriptState.h"
#include "sim/Simulation.h"
#include "tests/support/TempDir.h"
#include "tests/windows/Scenarios.h"

namespace {

std::string LinuxTrace(const Scenario& scenario) {
    ResetScriptState();
    Simulation sim(scenario.startTick);
    sim.game.frameMs = scenario.frameMs;
    scenario.setup(sim.game);
    sim.Start(&ScriptMain);
    sim.RunFrames(scenario.frames);
    sim.Stop();
    EXPECT_TRUE(sim.game.errors.empty()) << scenario.name;
    return sim.game.trace.Text();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first line where the two differ, for the failure message.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::istringstream x(a), y(b);
    std::string lx, ly;
    for (int line = 1;; ++line) {
        const bool gx = static_cast<bool>(std::getline(x, lx)), gy = static_cast<bool>(std::getline(y, ly));
        if (!gx && !gy) return "none";
        if (lx != ly || gx != gy)
            return "line " + std::to_string(line) + ":\n  linux:   " + (gx ? lx : "<end>") +
                   "\n  windows: " + (gy ? ly : "<end>");
    }
}

class TraceIdentity : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(TraceIdentity, LinuxAndWindowsGiveTheSameTrace) {
    const std::string build = SKIRMORA_WINDOWS_BUILD;
    if (build.empty()) GTEST_SKIP() << "configured without SKIRMORA_WINDOWS_BUILD (scripts/test sets it)";
    const Scenario& scenario = Scenarios[GetParam()];
    TempDir dir;
    if (scenario.config) dir.WriteConfig(scenario.config);
    const std::string linux = LinuxTrace(scenario);
    ASSERT_GT(linux.size(), 0u);
    const std::string command = "WINEDEBUG=-all WINEPREFIX='" + build + "/wine-prefix' wine '" + build +
                                "/wine/skirmora-wine-host.exe' " + scenario.name + " trace.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string windows = ReadFile(dir.Path() + "/trace.txt");
    EXPECT_TRUE(linux == windows) << scenario.name << ": first difference at "
                                  << FirstDifference(linux, windows);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, TraceIdentity, ::testing::Range(0, ScenarioCount),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string name = Scenarios[info.param].name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

// The fighting scenario is only a proof of the world's arithmetic if its trace holds that arithmetic.
TEST(FightingRiotScenario, ItsTraceHoldsMovingRioterDeathsAndReleases) {
    const Scenario* scenario = FindScenario("fighting-riot");
    ASSERT_NE(scenario, nullptr);
    TempDir dir;
    dir.WriteConfig(scenario->config);
    const std::string trace = LinuxTrace(*scenario);
    std::istringstream lines(trace);
    std::string line;
    int deadChecks = 0, releases = 0;
    std::set<std::string> coordinates;
    while (std::getline(lines, line)) {
        if (line.find("PedStateCheck(") != std::string::npos && line.find("-> false") != std::string::npos)
            ++deadChecks;
        if (line.find("SetPedAsNoLongerNeeded(") != std::string::npos) ++releases;
        if (line.find("GetEntityCoords(") != std::string::npos)
            coordinates.insert(line.substr(line.find("->")));
    }
    EXPECT_GT(deadChecks, 3) << "rioters die in the fight";
    EXPECT_GT(releases, 10);
    EXPECT_GT(coordinates.size(), 500u) << "peds and the player move";
}
