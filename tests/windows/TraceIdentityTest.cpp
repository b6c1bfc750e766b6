// One world, two platforms, one trace: each scenario runs in the Linux simulator and through the shipped
// Skirmora.asi under Wine, and the two traces must be the same bytes, whatever becomes of the DLL's log; the
// DLL's Skirmora.log tells what the simulator's log tells, but for the clocks and the paths.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "script/ScriptMain.h"
#include "script/ScriptState.h"
#include "sim/Simulation.h"
#include "tests/support/TempDir.h"
#include "tests/windows/Scenarios.h"

namespace {

std::string LinuxTrace(const Scenario& scenario, const std::string& log = "") {
    ResetScriptState();
    Simulation sim(scenario.startTick);
    sim.logPath = log;
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

// A log without its clocks and paths: those differ from one machine and run to the next.
std::string Untimed(const std::string& log) {
    std::istringstream lines(log);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        line = line.substr(std::min<std::size_t>(line.size(), 15));  // "[hh:mm:ss.mmm] "
        if (line.rfind("Config file: ", 0) == 0 || line.rfind("Log file: ", 0) == 0 ||
            line.rfind("  the longest", 0) == 0)
            continue;
        line = std::regex_replace(line, std::regex("after [0-9.]+ s on"), "after some time on");
        line = std::regex_replace(line, std::regex(" started on [0-9-]+;"), " started on its day;");
        kept += std::regex_replace(line, std::regex("there is no (\\S+) in .*: "),
                                   "there is no $1 in its folder: ") +
                "\n";
    }
    return kept;
}

// Runs the scenario through the DLL under Wine, the log's fallback folder given when not empty.
std::string WindowsTrace(const Scenario& scenario, const std::string& dir,
                         const std::string& localAppData = "") {
    const std::string build = SKIRMORA_WINDOWS_BUILD;
    const std::string command = "WINEDEBUG=-all WINEPREFIX='" + build + "/wine-prefix' wine '" + build +
                                "/wine/skirmora-wine-host.exe' " + scenario.name + " trace.txt" +
                                (localAppData.empty() ? "" : " 'Z:" + localAppData + "'");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadFile(dir + "/trace.txt");
}

class TraceIdentity : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(TraceIdentity, LinuxAndWindowsGiveTheSameTrace) {
    const std::string build = SKIRMORA_WINDOWS_BUILD;
    if (build.empty()) GTEST_SKIP() << "configured without SKIRMORA_WINDOWS_BUILD (scripts/test sets it)";
    const Scenario& scenario = Scenarios[GetParam()];
    TempDir dir;
    if (scenario.config) dir.WriteConfig(scenario.config);
    const std::string linux = LinuxTrace(scenario, "linux.log");
    ASSERT_GT(linux.size(), 0u);
    const std::string windows = WindowsTrace(scenario, dir.Path());
    EXPECT_TRUE(linux == windows) << scenario.name << ": first difference at "
                                  << FirstDifference(linux, windows);
    const std::string linuxLog = Untimed(ReadFile("linux.log")),
                      windowsLog = Untimed(ReadFile("Skirmora.log"));
    EXPECT_GT(windowsLog.size(), 100u);
    EXPECT_TRUE(linuxLog == windowsLog)
        << scenario.name << ": the logs differ at " << FirstDifference(linuxLog, windowsLog);
}

// The game's folder cannot take the log (a folder holds its name): it goes to %LOCALAPPDATA%\Skirmora and
// says so; when that fails too there is none. The game sees the same in every case.
TEST(TraceIdentityLog, TheLogFallsBackAndTheTraceStaysTheSame) {
    if (std::string(SKIRMORA_WINDOWS_BUILD).empty())
        GTEST_SKIP() << "configured without SKIRMORA_WINDOWS_BUILD";
    const Scenario& scenario = *FindScenario("riot");
    TempDir dir;
    dir.WriteConfig(scenario.config);
    std::filesystem::create_directories(dir.Path() + "/Skirmora.log");
    std::filesystem::create_directories(dir.Path() + "/local");
    const std::string linux = LinuxTrace(scenario);
    EXPECT_TRUE(WindowsTrace(scenario, dir.Path(), dir.Path() + "\\local") == linux);
    const std::string log = ReadFile(dir.Path() + "/local/Skirmora/Skirmora.log");
    EXPECT_TRUE(
        std::regex_search(log, std::regex(R"(Log file: Z:.*\\local\\Skirmora\\Skirmora\.log \(not beside )"
                                          R"(the config: Z:.*\\Skirmora\.log: .+\)\n)")))
        << log;
    EXPECT_NE(log.find("F7 pressed: Skirmora disabled"), std::string::npos) << log;
    EXPECT_TRUE(WindowsTrace(scenario, dir.Path(), dir.Path() + "\\missing\\local") == linux);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/missing"));
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
