// Recruitment end to end: ScriptMain in the simulated game, F7 pressed at the first frame, the config read
// from a real file. The grace period ends at tick 3000, so the first passes run in frame 188 (tick 3008).
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "config/Settings.h"
#include "riot/Random.h"
#include "riot/Recruit.h"
#include "riot/Roster.h"
#include "script/ScriptMain.h"
#include "sim/Format.h"
#include "config/Jenkins.h"
#include "tests/support/ScriptRun.h"
#include "tests/support/TempDir.h"

using Events = std::vector<std::string>;

namespace {

constexpr int64_t FirstPassFrame = 188;

class Recruit : public ::testing::Test {
  protected:
    TempDir dir;
    std::unique_ptr<ScriptRun> run;

    // A fresh game with the config; burn draws from the generator first so that a chosen draw comes up.
    void Start(const std::string& config, int burn = 0) {
        dir.WriteConfig(config);
        run = std::make_unique<ScriptRun>(0, 16);
        for (int k = 0; k < burn; ++k)
            Rand();
        run->Press();
    }
    World& world() { return run->world(); }
    Events Spawns() const {
        Events spawns;
        for (const std::string& e : run->Events())
            if (e.rfind("CreatePed(", 0) == 0 || e.rfind("CreateRandomPed(", 0) == 0) spawns.push_back(e);
        return spawns;
    }
    // The frames in which a recruitment pass began (its first gate).
    std::vector<int64_t> PassFrames() const {
        std::vector<int64_t> frames;
        for (const std::string& line : run->game().trace.lines)
            if (ScriptRun::EventOf(line) == "PedStateCheck(1) -> true")
                frames.push_back(ScriptRun::FrameOf(line));
        return frames;
    }
    // Events of the first recruitment pass: from its first gate to the tick read that sets the next due time.
    Events FirstPass() const {
        Events pass;
        bool in = false;
        for (const std::string& line : run->game().trace.lines) {
            const std::string e = ScriptRun::EventOf(line);
            if (!in && ScriptRun::FrameOf(line) == FirstPassFrame && e.rfind("PlayerPedId", 0) == 0)
                in = true;
            if (!in) continue;
            // The model wait reads the tick too; the pass ends at the read that sets the next due time.
            const bool modelWait = !pass.empty() && (pass.back().rfind("RequestModel", 0) == 0 ||
                                                     pass.back().find("HasModelLoaded") == 0);
            if (e.rfind("GetTickCount", 0) == 0 && !modelWait) break;
            pass.push_back(e);
        }
        return pass;
    }
    int Count(const Events& events, const std::string& prefix) const {
        int n = 0;
        for (const std::string& e : events)
            n += e.rfind(prefix, 0) == 0;
        return n;
    }
};

std::string F(float value) {
    return FloatText(value);
}

}  // namespace

TEST_F(Recruit, TheFirstSpawnPointOfAFreshGenerator) {
    Start(R"({"Factions": [{"WillAttackSelf": true}]})");
    run->Frames(FirstPassFrame + 2);
    const Events expected = {
        "PlayerPedId() -> 1",
        "PedStateCheck(1) -> true",
        "PlayerStateCheck(0) -> true",
        "PlayerPedId() -> 1",
        "GetEntityForwardVector(1) -> (0, 1, 0)",
        "GetEntityCoords(1, 1) -> (0, 0, 0)",
        "IsPedInAnyVehicle(1, 1) -> false",
        // Draws 41 and 18467 give offsets of 90, 6334 and 26500 flip both, 19169 and 15724 add 12 and 12.
        "GetSafeCoordForPed(0, -90, 0, 0, &(0, -90, 0), 0) -> true; out (0, -90, 0)",
        "CreateRandomPed(12, -78, 0) -> 100",
        "scriptWait(0)",
        "SetPedAccuracy(100, 1)",
        "SetPedRelationshipGroupHash(100, 0x00000000)",
    };
    EXPECT_EQ(FirstPass(), expected);
    ASSERT_EQ(CountRioters(), 1);
    EXPECT_EQ(FactionList[0].Members[0].Ped, 100);
}

TEST_F(Recruit, SpawnPointsOnFootInAVehicleAndWithoutASafeSpot) {
    struct Case {
        const char* what;
        Vec3 position, forward;
        bool inVehicle, safeFails;
        std::string safeCall, spawn;
    };
    const float ox = -(90.0f * 0.6f), oy = -(90.0f * 0.8f);  // the first draws, as above
    const Case cases[] = {
        {"on foot, diagonal",
         {0, 0, 0},
         {0.6f, 0.8f, 0},
         false,
         false,
         "GetSafeCoordForPed(" + F(ox) + ", " + F(oy) + ", 0, 0, &(" + F(ox) + ", " + F(oy) +
             ", 0), 0) -> true",
         "CreateRandomPed(" + F(ox + 12.0f) + ", " + F(oy + 12.0f) + ", 0) -> 100"},
        // In a vehicle no offset is drawn: the two jitter draws are the first two, 41 % 5 and 18467 % 5.
        {"in a vehicle",
         {10, 20, 5},
         {0, 1, 0.5f},
         true,
         false,
         "GetSafeCoordForPed(10, 160, 75, 0, &(10, 160, 75), 0) -> true",
         "CreateRandomPed(13, 166, 0) -> 100"},
        {"no safe spot",
         {0, 0, 5},
         {0, 1, 0},
         false,
         true,
         "GetSafeCoordForPed(0, -90, 5, 0, &(0, -90, 5), 0) -> false",
         "CreateRandomPed(12, -78, 5) -> 100"},
    };
    for (const Case& c : cases) {
        Start(R"({"Factions": [{"WillAttackSelf": true}]})");
        world().playerPosition = c.position;
        world().playerForward = c.forward;
        world().playerInVehicle = c.inVehicle;
        world().safeCoords.allNow = c.safeFails;
        run->Frames(FirstPassFrame + 1);
        const Events pass = FirstPass();
        ASSERT_GE(pass.size(), 9u) << c.what;
        EXPECT_EQ(pass[7].substr(0, c.safeCall.size()), c.safeCall) << c.what;
        EXPECT_EQ(pass[8], c.spawn) << c.what;
        run.reset();
    }
}

TEST_F(Recruit, BatchSizesAndCaps) {
    struct Case {
        const char* what;
        std::string config;
        int burn;
        int spawns;      // in the first pass
        int spawnCalls;  // spawn points chosen in it
        std::vector<size_t> members;
    };
    const Case cases[] = {
        // Draw 11 (5705) ends in 5: the batch size is the next draw, 28145 % 6 = 5.
        {"batch of five", R"({"Factions": [{}]})", 10, 5, 1, {5}},
        // Draw 39 ends in 5 and draw 40 % 6 is 0.
        {"batch of none", R"({"Factions": [{}]})", 38, 0, 1, {0}},
        {"no batch draw when attacking self", R"({"Factions": [{"WillAttackSelf": true}]})", 10, 1, 1, {1}},
        {"faction full mid-batch",
         R"({"Factions": [{"MaxMembers": 3}, {"WillAttackSelf": true}]})",
         10,
         4,
         2,
         {3, 1}},
        {"global cap mid-batch",
         R"({"MaxRioters": 2, "Factions": [{}, {"WillAttackSelf": true}]})",
         10,
         2,
         2,
         {2, 0}},
        {"faction cap of 0",
         R"({"Factions": [{"MaxMembers": 0}, {"WillAttackSelf": true}]})",
         0,
         1,
         2,
         {0, 1}},
        {"no cap of its own", R"({"MaxRioters": 3, "Factions": [{"MaxMembers": -1}]})", 10, 3, 1, {3}},
        {"MaxRioters 0", R"({"MaxRioters": 0})", 0, 0, 1, {0}},
        {"negative MaxRioters", R"({"MaxRioters": -1})", 0, 0, 0, {0}},
        {"no factions at all", R"({"Factions": [{"Weapons": [[]]}]})", 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        Start(c.config, c.burn);
        run->Frames(FirstPassFrame + 8);  // the first pass and its waits, before the next is due
        const Events pass = FirstPass();
        EXPECT_EQ(Count(pass, "CreateRandomPed"), c.spawns) << c.what;
        EXPECT_EQ(Count(pass, "GetSafeCoordForPed"), c.spawnCalls) << c.what;
        EXPECT_EQ(Count(pass, "scriptWait(0)"), c.spawns) << c.what;
        std::vector<size_t> members;
        for (const Faction& f : FactionList)
            members.push_back(f.Members.size());
        EXPECT_EQ(members, c.members) << c.what;
        // One spawn point per faction and pass: every ped of the batch stands on it.
        const Events spawns = Spawns();
        if (c.members.size() == 1) {
            for (const std::string& s : spawns)
                EXPECT_EQ(s.substr(0, s.find(')')), spawns[0].substr(0, spawns[0].find(')'))) << c.what;
        }
        run.reset();
    }
}

TEST_F(Recruit, AtTheGlobalCapEveryFactionStillDrawsAndChoosesItsPoint) {
    Start(R"({"MaxRioters": 1, "Factions": [{"WillAttackSelf": true}, {"WillAttackSelf": true}]})");
    run->Frames(FirstPassFrame + 20);
    ASSERT_EQ(CountRioters(), 1);
    const auto passes = PassFrames();
    ASSERT_GE(passes.size(), 2u);
    // Later passes walk both factions (six draws and a safe-coordinate query each) and spawn nothing.
    EXPECT_EQ(run->Count("GetSafeCoordForPed"), 2 * static_cast<int>(passes.size()));
    EXPECT_EQ(Spawns().size(), 1u);
}

TEST_F(Recruit, GatesEndThePassAtOnce) {
    for (int gate = 0; gate < 2; ++gate) {
        Start(R"({})");
        (gate ? world().playerStateCheck : world().playerPedCheck) = false;
        run->Frames(FirstPassFrame + 1);
        Events pass;
        for (const std::string& e : run->FrameEvents(FirstPassFrame))
            pass.push_back(e);
        const Events expected =
            gate ? Events{"PlayerPedId() -> 1", "PedStateCheck(1) -> true", "PlayerStateCheck(0) -> false"}
                 : Events{"PlayerPedId() -> 1", "PedStateCheck(1) -> false"};
        EXPECT_EQ(Events(pass.begin() + 1, pass.begin() + 1 + static_cast<std::ptrdiff_t>(expected.size())),
                  expected);
        EXPECT_EQ(pass[1 + expected.size()], "GetTickCount() -> 3008");
        EXPECT_EQ(Rand(), 41);  // nothing drawn
        run.reset();
    }
}

TEST_F(Recruit, ModelsLoadOrGiveWay) {
    const std::string skater = [] {
        std::string t;
        AppendHex32(t, JenkinsHash("a_m_y_skater_01"));
        return t;
    }();
    // The seventh draw (11478) picks the model: 11478 % 2 = 0.
    Start(R"({"Factions": [{"WillAttackSelf": true, "MemberModels": ["a_m_y_skater_01", "never"]}]})");
    world().modelLoadPolls = 3;
    run->Frames(FirstPassFrame + 6);
    const Events pass = FirstPass();
    ASSERT_GE(pass.size(), 22u);
    const Events loading(pass.begin() + 8, pass.begin() + 22);
    EXPECT_EQ(loading, (Events{
                           "GetHashKey(\"a_m_y_skater_01\") -> " + skater,
                           "RequestModel(" + skater + ")",
                           "GetTickCount() -> 3008",
                           "HasModelLoaded(" + skater + ") -> false",
                           "GetTickCount() -> 3008",
                           "scriptWait(1)",
                           "HasModelLoaded(" + skater + ") -> false",
                           "GetTickCount() -> 3024",
                           "scriptWait(1)",
                           "HasModelLoaded(" + skater + ") -> false",
                           "GetTickCount() -> 3040",
                           "scriptWait(1)",
                           "HasModelLoaded(" + skater + ") -> true",
                           "CreatePed(26, " + skater + ", 12, -78, 0, 0, 0, 1) -> 100",
                       }));
    run.reset();

    // With four draws burnt the model draw is 5705: the second name, which never loads.
    Start(R"({"Factions": [{"WillAttackSelf": true, "MemberModels": ["a_m_y_skater_01", "never"]}]})", 4);
    world().neverLoadingModels = {"never"};
    run->Frames(FirstPassFrame + 66);
    const Events slow = FirstPass();
    EXPECT_EQ(Count(slow, "HasModelLoaded"), 64);  // a poll every 16 ms until 1008 ms have passed
    EXPECT_EQ(Count(slow, "scriptWait(1)"), 63);
    EXPECT_EQ(Count(slow, "CreatePed"), 0);
    EXPECT_EQ(Count(slow, "CreateRandomPed("), 1);
    ASSERT_EQ(CountRioters(), 1);
}

TEST_F(Recruit, ASlowPassDelaysTheNextByItsOwnLength) {
    Start(R"({"Factions": [{"WillAttackSelf": true, "MemberModels": ["a_m_y_skater_01"]}]})");
    world().modelLoadPolls = 19;  // about 300 ms of polling
    run->Frames(FirstPassFrame + 60);
    const auto passes = PassFrames();
    ASSERT_GE(passes.size(), 2u);
    int64_t endFrame = -1;
    for (const std::string& line : run->game().trace.lines)
        if (ScriptRun::EventOf(line).rfind("SetPedRelationshipGroupHash", 0) == 0) {
            endFrame = ScriptRun::FrameOf(line);
            break;
        }
    EXPECT_EQ(endFrame - passes[0], 20);  // 19 waits for the model and one after the spawn
    // Due 100 ms after the pass returned, so the first frame more than 100 ms later: 7 frames of 16 ms.
    EXPECT_EQ(passes[1] - endFrame, 7);
}

TEST_F(Recruit, SetupGivesAccuracyAndGroup) {
    struct Case {
        const char* config;
        std::string accuracy;
        bool rioterGroup;
    };
    const Case cases[] = {
        {R"({"PedAccuracy": 55.9, "Factions": [{}]})", "55", false},
        {R"({"PedAccuracy": -2.5, "Factions": [{}]})", "-2", false},
        {R"({"PedAccuracy": 1e300, "Factions": [{}]})", "2147483647", false},
        {R"({"PedAccuracy": -1e300, "Factions": [{}]})", "-2147483648", false},
        {R"({"RiotersOnlyAttackPlayer": true, "Factions": [{}]})", "1", true},
        {R"({"RiotersOnlyAttackPlayer": true})", "1", true},
    };
    for (const Case& c : cases) {
        Start(c.config);
        run->Frames(FirstPassFrame + 2);
        const Events accuracy = run->Events("SetPedAccuracy");
        ASSERT_FALSE(accuracy.empty()) << c.config;
        EXPECT_EQ(accuracy[0], "SetPedAccuracy(100, " + c.accuracy + ")") << c.config;
        std::string group;
        AppendHex32(group, c.rioterGroup ? RioterGroup : FactionList[0].GroupHash);
        EXPECT_EQ(run->Events("SetPedRelationshipGroupHash")[0],
                  "SetPedRelationshipGroupHash(100, " + group + ")")
            << c.config;
        run.reset();
    }
    EXPECT_EQ(AccuracyInteger(std::nan("")), 0);
    EXPECT_EQ(AccuracyInteger(2147483646.9), 2147483646);
    EXPECT_EQ(AccuracyInteger(-2147483648.9), -2147483647 - 1);
    EXPECT_EQ(AccuracyInteger(-0.9), 0);
}

TEST_F(Recruit, AFailedSpawnIsRecordedThenCulled) {
    Start(R"({"Factions": [{"WillAttackSelf": true}]})");
    world().spawns.numbers = {0};
    run->Frames(FirstPassFrame + 3);
    EXPECT_EQ(Spawns()[0], "CreateRandomPed(12, -78, 0) -> 0");
    EXPECT_EQ(run->Events("SetPedAccuracy")[0], "SetPedAccuracy(0, 1)");
    // The first combat pass runs in the frame after the spawn and releases it.
    EXPECT_EQ(run->Events("DoesEntityExist")[0], "DoesEntityExist(0) -> false");
    EXPECT_EQ(run->Events("DeleteEntity")[0], "DeleteEntity(&0); out 0");
    run->Frames(20);
    EXPECT_GE(CountRioters(), 1);  // recruited again, with real peds this time
    for (const Rioter& r : FactionList[0].Members)
        EXPECT_NE(r.Ped, 0);
}

TEST_F(Recruit, TheRiotRunsAndAReloadForgetsIt) {
    Start(
        R"({"MaxRioters": 12, "Factions": [{"MaxMembers": 5}, {"MaxMembers": 5}, {"WillAttackSelf": true}]})");
    run->Frames(188 + 60 * 20);  // 20 s of riot
    std::vector<size_t> members;
    for (const Faction& f : FactionList)
        members.push_back(f.Members.size());
    EXPECT_EQ(CountRioters(), 12);
    EXPECT_LE(members[0], 5u);
    EXPECT_LE(members[1], 5u);
    for (const Faction& f : FactionList)
        for (const Rioter& r : f.Members) {
            EXPECT_TRUE(r.Engaged);
            const SimPed* ped = world().FindPed(r.Ped);
            ASSERT_NE(ped, nullptr);
            EXPECT_EQ(ped->combatTarget, r.Target);
            EXPECT_GE(ped->weapons.size(), 1u);  // one more at each change of target
        }
    std::vector<Ped> peds;
    for (const Faction& f : FactionList)
        for (const Rioter& r : f.Members)
            peds.push_back(r.Ped);
    run->Press();
    run->Frames(5);
    EXPECT_EQ(CountRioters(), 0);
    for (Ped ped : peds)
        EXPECT_TRUE(world().Exists(ped));
}

TEST_F(Recruit, AnOffsetFlipDrawEndingInSixKeepsTheSign) {
    // After 84 burnt draws the four offset draws reduce to 0, 2, 6 and 6: offsets 40 and 60, neither
    // flipped (a flip needs a reduced draw below 6); the jitter draws add 3 and 9.
    Start(R"({"Factions": [{"WillAttackSelf": true}]})", 84);
    world().playerForward = {1, 1, 0};
    run->Frames(FirstPassFrame + 1);
    const Events pass = FirstPass();
    ASSERT_GE(pass.size(), 9u);
    EXPECT_EQ(pass[7], "GetSafeCoordForPed(40, 60, 0, 0, &(40, 60, 0), 0) -> true; out (40, 60, 0)");
    EXPECT_EQ(pass[8], "CreateRandomPed(43, 69, 0) -> 100");
}

TEST(RecruitModelWait, GivesUpWhenExactlyOneSecondHasPassed) {
    TempDir dir;
    dir.WriteConfig(R"({"Factions": [{"WillAttackSelf": true, "MemberModels": ["never"]}]})");
    ScriptRun run(0, 10);  // polls at every 10 ms: one of them lands exactly 1000 ms after the first
    run.world().neverLoadingModels = {"never"};
    run.Press();
    run.Frames(301 + 120);  // the first pass starts at tick 3010
    std::string model;
    AppendHex32(model, JenkinsHash("never"));
    const Events all = run.Events();
    size_t spawn = 0;
    while (spawn < all.size() && all[spawn].rfind("CreateRandomPed(", 0) != 0)
        ++spawn;
    ASSERT_GE(spawn, 3u);
    ASSERT_LT(spawn, all.size());
    EXPECT_EQ(Events(all.begin() + static_cast<std::ptrdiff_t>(spawn - 2),
                     all.begin() + static_cast<std::ptrdiff_t>(spawn)),
              (Events{"HasModelLoaded(" + model + ") -> false", "GetTickCount() -> 4010"}));
    const Events wait(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(spawn));
    const auto count = [&wait](const std::string& prefix) {
        return std::count_if(wait.begin(), wait.end(),
                             [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    };
    EXPECT_EQ(count("HasModelLoaded"), 101);
    EXPECT_EQ(count("scriptWait(1)"), 100);
    EXPECT_EQ(count("CreatePed"), 0);
    ASSERT_EQ(CountRioters(), 1);
}
