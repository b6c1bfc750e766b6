// The script's log: its bound, the riot's figures, and that the game sees the same whatever the log does.
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "script/ScriptLog.h"
#include "tests/support/ScriptRun.h"
#include "tests/support/TempDir.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A riot of a few seconds, on and then off, in which rioters die, vanish and are left behind.
void PlayRiot(ScriptRun& run) {
    run.game().onFrame.push_back([](Game& game) {
        World& world = game.world;
        const int64_t frame = game.Frame();
        for (auto& entry : world.peds) {
            SimPed& ped = entry.second;
            if ((frame != 400 && frame != 500) || !ped.exists || !ped.alive) continue;
            (frame == 400 ? ped.alive : ped.exists) = false;  // one dies, then one vanishes
            break;
        }
        if (frame == 600) world.playerPosition.x += 400.0f;  // the rioters stay behind
    });
    run.Frames(5);
    run.Press();
    run.Frames(800);
    run.Press();
    run.Frames(5);
}

}  // namespace

TEST(ScriptLog, TheGameSeesTheSameWithALogWithoutOneAndWithOneThatCannotBeWritten) {
    TempDir dir;
    dir.WriteConfig(
        R"({"MaxRioters": 6, "Factions": [{"MaxMembers": 3}, {"MaxMembers": "ten"}], "Unknown": 1})");
    std::filesystem::create_directory("folder");
    std::string traces[3];
    const char* logs[] = {"", "Skirmora.log", "folder"};
    for (int k = 0; k < 3; ++k) {
        ScriptRun run;
        run.sim().logPath = logs[k];
        PlayRiot(run);
        traces[k] = run.game().trace.Text();
    }
    EXPECT_GT(ReadFile("Skirmora.log").size(), 1000u);
    EXPECT_TRUE(traces[0] == traces[1]) << "a log changed what the game sees";
    EXPECT_TRUE(traces[0] == traces[2]) << "a log that cannot be written changed what the game sees";
}

TEST(ScriptLog, TellsEachPressAndWhatTheRiotDidWhileOn) {
    TempDir dir;
    dir.WriteConfig(R"({"MaxRioters": 8})");
    ScriptRun run;
    run.sim().logPath = "Skirmora.log";
    PlayRiot(run);
    const std::string log = ReadFile("Skirmora.log");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(log, m, std::regex(R"(F7 pressed: Skirmora enabled\n)"))) << log;
    const std::regex figures(
        R"(F7 pressed: Skirmora disabled, after [0-9.]+ s on\n.*rioters recruited: (\d+)\n.*released: (\d+) )"
        R"(\(gone (\d+), failed the ped check (\d+), 150 units or more away (\d+)\)\n.*dropped at the reload: (\d+))");
    ASSERT_TRUE(std::regex_search(log, m, figures)) << log;
    const auto n = [&](int k) { return std::stoi(m[k]); };
    EXPECT_EQ(n(1), n(2) + n(6))
        << "every rioter recruited while on was released or dropped at the last press";
    EXPECT_EQ(n(2), n(3) + n(4) + n(5));
    EXPECT_GT(n(3), 0);
    EXPECT_GT(n(4), 0);
    EXPECT_GT(n(5), 0);
    EXPECT_TRUE(std::regex_search(
        log, std::regex(R"(longest frame held: [0-9.]+ ms, in the (combat|recruitment) pass)")))
        << log;
    EXPECT_TRUE(std::regex_search(log, std::regex(R"(longest combat pass: [0-9.]+ ms, [1-9]\d* game calls)")))
        << log;
}

TEST(ScriptLog, EndsAtOneMebibyteWithALineSayingSo) {
    TempDir dir;
    std::string config = "{\n";
    for (int k = 0; k < 800; ++k)  // within what the game checks
        config += fmt::format("\"Unknown{}\": 0,\n", k);
    ScriptRun run;
    run.sim().logPath = "Skirmora.log";
    for (int press = 0; press < 30; ++press) {
        dir.WriteConfig(config + fmt::format("\"MaxRioters\": -{}\n}}", press));  // changed: told in full
        run.Press();
        run.Frames(3);
    }
    const std::string log = ReadFile("Skirmora.log");
    EXPECT_LE(log.size(), LogLimit);
    EXPECT_GT(log.size(), LogLimit - 200);
    std::istringstream lines(log);
    std::string line, last;
    const std::regex stamped(R"(\[\d\d:\d\d:\d\d\.\d\d\d\] .+)");
    while (std::getline(lines, line)) {
        EXPECT_TRUE(std::regex_match(line, stamped)) << line;
        last = line;
    }
    EXPECT_EQ(last.substr(15),
              "The log is full (1 MiB): nothing more is written until the game starts again.");
}
