// Two hours of game time in one run: toggles every few seconds, rioters dying, vanishing and spawning as
// handle 0, a model that never loads, the player dying and driving away, the clock wrapping early on.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include "config/Settings.h"
#include "riot/RiotState.h"
#include "riot/Roster.h"
#include "tests/support/ScriptRun.h"
#include "tests/support/TempDir.h"

namespace {

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return -1;
}

struct Soak {
    uint32_t random = 12345;  // the world's own generator
    int64_t rosterFaults = 0;
    int64_t framesOn = 0;

    uint32_t Next() {
        random = random * 1103515245u + 12345u;
        return random >> 8;
    }

    void Frame(Game& game) {
        World& world = game.world;
        const int64_t frame = game.Frame();
        const int64_t cap = Riot().Settings.MaxRioters < 0 ? 0 : Riot().Settings.MaxRioters;
        if (CountRioters() > cap) ++rosterFaults;
        for (const Faction& faction : Riot().FactionList)
            if (faction.Members.size() > faction.MaxMembers) ++rosterFaults;

        // A toggle every 7 s; the key is held for three frames.
        if (frame % 437 == 5) game.keyboard.Press(118, frame + 1, 3);
        // The player walks a square, and every 90 s drives away for 10 s.
        const int64_t phase = frame % 5625;
        world.playerInVehicle = phase >= 5000;
        const float step = world.playerInVehicle ? 0.6f : 0.05f;
        const int64_t side = (frame / 2000) % 4;
        world.playerPosition.x += side == 0 ? step : side == 2 ? -step : 0.0f;
        world.playerPosition.y += side == 1 ? step : side == 3 ? -step : 0.0f;
        world.playerForward = side == 0   ? Vec3{1, 0, 0}
                              : side == 1 ? Vec3{0, 1, 0}
                              : side == 2 ? Vec3{-1, 0, 0}
                                          : Vec3{0, -1, 0};
        // Every 10 minutes the player is dead for 5 s.
        world.playerPedCheck = frame % 37500 >= 312;

        if (!world.peds.empty() && frame % 37 == 0) Pick(world)->alive = false;
        if (!world.peds.empty() && frame % 53 == 0) Pick(world)->exists = false;
        if (frame % 211 == 0) world.spawns.numbers.insert(world.spawns.made + 1);
        // The game streams out what is gone or far away.
        if (frame % 600 == 0) {
            for (auto it = world.peds.begin(); it != world.peds.end();) {
                const float dx = it->second.position.x - world.playerPosition.x;
                const float dy = it->second.position.y - world.playerPosition.y;
                const bool far = dx * dx + dy * dy > 400.0f * 400.0f;
                it = !it->second.exists || it->second.released || far ? world.peds.erase(it) : std::next(it);
            }
            world.spawns.numbers.erase(world.spawns.numbers.begin(),
                                       world.spawns.numbers.lower_bound(world.spawns.made));
        }
    }

    SimPed* Pick(World& world) {
        auto it = world.peds.begin();
        std::advance(it, Next() % world.peds.size());
        return &it->second;
    }
};

}  // namespace

TEST(Soak, TwoHoursOfGameTime) {
    TempDir dir;
    dir.WriteConfig(R"({"MaxRioters": 25, "PedAccuracy": 40, "Factions": [
        {"MaxMembers": 10, "MemberModels": ["a_m_y_skater_01", "never_loads"], "Weapons": ["WEAPON_SMG"]},
        {"MaxMembers": 8},
        {"MaxMembers": 6, "WillAttackSelf": true}]})");
    ScriptRun run(0xFFFFFFFFu - 30000u, 16);  // the tick wraps 30 s in
    run.game().trace.keep = false;
    run.world().keepDraws = false;
    run.world().neverLoadingModels = {"never_loads"};
    run.world().modelLoadPolls = 2;
    Soak soak;
    run.game().onFrame.push_back([&soak](Game& game) { soak.Frame(game); });

    const int64_t hour = 225000;  // frames of 16 ms
    run.Frames(hour / 6);
    const long settledKb = StatusKilobytes("VmRSS:");
    const int64_t spawnsAtTenMinutes = run.world().spawns.made;
    const int64_t passesAtTenMinutes = run.game().CallsOf("SetWantedLevelMultiplier");
    run.Frames(2 * hour - hour / 6);
    const long finalKb = StatusKilobytes("VmRSS:");
    const long peakKb = StatusKilobytes("VmHWM:");
    RecordProperty("rss_after_10_min_kb", std::to_string(settledKb));
    RecordProperty("rss_final_kb", std::to_string(finalKb));
    RecordProperty("rss_peak_kb", std::to_string(peakKb));
    std::printf("memory: %ld kB after 10 min, %ld kB after 2 h, peak %ld kB\n", settledKb, finalKb, peakKb);

    EXPECT_EQ(soak.rosterFaults, 0);
    // Half the time on, grace periods aside: a combat pass about every second, recruitment all along.
    const int64_t passes = run.game().CallsOf("SetWantedLevelMultiplier") - passesAtTenMinutes;
    EXPECT_GT(passes, 2000);
    EXPECT_GT(run.world().spawns.made - spawnsAtTenMinutes, 1000);
    EXPECT_GT(run.game().CallsOf("DeleteEntity"), 1000);
    EXPECT_GT(run.game().CallsOf("CreateRandomPed"), 0);  // the model that never loads, and random factions
    EXPECT_GT(run.game().CallsOf("CreatePed"), 0);
    EXPECT_EQ(run.world().drawCount, run.game().CallsOf("DrawText"));
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(finalKb - settledKb, 8 * 1024) << "memory grew over the run";
#endif
}
