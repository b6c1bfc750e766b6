// The riot end to end: ScriptMain in the simulated game, F7 pressed at frame 0, the config read from a real
// file. Recruitment runs every ~100 ms from frame 188 (tick 3008); the first combat pass runs in the loop
// pass in which the first recruitment pass returns, the later ones every ~1000 ms.
#include <stdexcept>

#include <gtest/gtest.h>

#include "riot/Roster.h"
#include "script/ScriptMain.h"
#include "sim/Format.h"
#include "config/Jenkins.h"
#include "tests/support/ScriptRun.h"
#include "tests/support/TempDir.h"

using Events = std::vector<std::string>;

namespace {

std::string Hex(uint32_t value) {
    std::string text;
    AppendHex32(text, value);
    return text;
}

class Riot : public ::testing::Test {
  protected:
    TempDir dir;
    std::unique_ptr<ScriptRun> run;

    void Start(const std::string& config) {
        dir.WriteConfig(config);
        run = std::make_unique<ScriptRun>(0, 16);
        run->Press();
    }
    World& world() { return run->world(); }
    SimPed& Ped(int32_t handle) {
        SimPed* ped = world().FindPed(handle);
        if (!ped) throw std::runtime_error("no ped " + std::to_string(handle));
        return *ped;
    }

    // Runs frame by frame until that many combat passes (each followed by the police suppression) have run.
    void RunUntilCombatPasses(int64_t passes) {
        for (int guard = 0; run->game().CallsOf("SetWantedLevelMultiplier") < passes; ++guard) {
            ASSERT_LT(guard, 10000) << "no combat pass";
            run->Frames(1);
        }
    }

    // The events of each combat pass: combat reads no tick, so a pass is what lies between the tick read
    // before it and the one that sets the next combat due time, which the police suppression follows.
    std::vector<Events> CombatPasses() const {
        std::vector<Events> passes;
        const Events all = run->Events();
        size_t lastTick = 0;
        for (size_t i = 0; i + 1 < all.size(); ++i) {
            if (all[i].rfind("GetTickCount", 0) != 0) continue;
            if (all[i + 1].rfind("PlayerId()", 0) == 0)
                passes.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(lastTick + 1),
                                    all.begin() + static_cast<std::ptrdiff_t>(i));
            lastTick = i;
        }
        return passes;
    }

    static Events Orders(const Events& pass) {
        Events orders;
        for (const std::string& e : pass)
            if (e.rfind("GetHashKey", 0) == 0 || e.rfind("GiveDelayedWeaponToPed", 0) == 0 ||
                e.rfind("ClearPedTasks", 0) == 0 || e.rfind("TaskCombatPed", 0) == 0)
                orders.push_back(e);
        return orders;
    }
};

// Two grouped factions of one rioter each. A fresh generator places the first at (12, 89, 0): batch draw 41,
// offsets 90 and 80 from 18467 and 6334, 26500 flips x only, jitter 12 and 9; and the second at (3, -54, 0):
// batch draw 29358, offsets 80 and 60, 5705 and 28145 flip both, jitter 3 and 6.
constexpr const char* TwoFactions =
    R"({"Factions": [{"MaxMembers": 1, "Weapons": ["WEAPON_SMG"]},
                     {"MaxMembers": 1, "Weapons": ["WEAPON_BAT"]}]})";

const std::string Smg = Hex(JenkinsHash("WEAPON_SMG"));
const std::string Bat = Hex(JenkinsHash("WEAPON_BAT"));

// The culling and the search of a rioter 100 at (12, 89, 0) and a rioter 101 at (12, 80, 0), each of its own
// group; the player at the origin. The ped check and distance tests pass for both.
const Events CullBoth = {
    "DoesEntityExist(100) -> true",
    "PedStateCheck(100) -> true",
    "PlayerPedId() -> 1",
    "GetEntityCoords(1, 1) -> (0, 0, 0)",
    "GetEntityCoords(100, 1) -> (12, 89, 0)",
    "DoesEntityExist(101) -> true",
    "PedStateCheck(101) -> true",
    "PlayerPedId() -> 1",
    "GetEntityCoords(1, 1) -> (0, 0, 0)",
    "GetEntityCoords(101, 1) -> (12, 80, 0)",
};
const Events Search100 = {
    "GetEntityCoords(101, 1) -> (12, 80, 0)", "GetEntityCoords(100, 1) -> (12, 89, 0)", "PlayerPedId() -> 1",
    "GetEntityCoords(1, 1) -> (0, 0, 0)",     "GetEntityCoords(100, 1) -> (12, 89, 0)",
};
const Events Search101 = {
    "GetEntityCoords(100, 1) -> (12, 89, 0)", "GetEntityCoords(101, 1) -> (12, 80, 0)", "PlayerPedId() -> 1",
    "GetEntityCoords(1, 1) -> (0, 0, 0)",     "GetEntityCoords(101, 1) -> (12, 80, 0)",
};

Events Join(std::initializer_list<Events> parts) {
    Events all;
    for (const Events& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

TEST_F(Riot, TheFirstCombatPassArmsAndTasksEachRioterAndTheNextLeavesThemAlone) {
    Start(TwoFactions);
    run->Frames(190);  // frame 189 spawned the second rioter and waits after it
    EXPECT_EQ(run->Events("CreateRandomPed"),
              (Events{"CreateRandomPed(12, 89, 0) -> 100", "CreateRandomPed(3, -54, 0) -> 101"}));
    Ped(101).position = {12, 80, 0};  // 9 from the first rioter, nearer than the player
    RunUntilCombatPasses(2);

    const std::vector<Events> passes = CombatPasses();
    ASSERT_EQ(passes.size(), 2u);
    // Each has the other as its nearest enemy; the first task of each is preceded by a clear.
    const Events first =
        Join({CullBoth,
              Search100,
              {"GetHashKey(\"WEAPON_SMG\") -> " + Smg, "GiveDelayedWeaponToPed(100, " + Smg + ", 1000, 0)",
               "ClearPedTasks(100)", "TaskCombatPed(100, 101, 0, 1)"},
              Search101,
              {"GetHashKey(\"WEAPON_BAT\") -> " + Bat, "GiveDelayedWeaponToPed(101, " + Bat + ", 1000, 0)",
               "ClearPedTasks(101)", "TaskCombatPed(101, 100, 0, 1)"}});
    EXPECT_EQ(passes[0], first);
    // Nothing moved: the same targets, so no weapon, clear or task.
    EXPECT_EQ(passes[1], Join({CullBoth, Search100, Search101}));
    EXPECT_EQ(Ped(100).combatTarget, 101);
    EXPECT_EQ(Ped(101).combatTarget, 100);
    EXPECT_EQ(Ped(100).weapons, std::vector<uint32_t>{JenkinsHash("WEAPON_SMG")});
}

TEST_F(Riot, ARioterThatLeavesTheFightIsReleasedAndReplaced) {
    struct Case {
        const char* what;
        void (*leave)(SimPed&);
        Events cull101;  // the third pass's events for rioter 101
        bool released;
    };
    const Events release = {"SetPedAsNoLongerNeeded(&101); out 101", "DeleteEntity(&101); out 0"};
    const Case cases[] = {
        {"dies", [](SimPed& p) { p.alive = false; },
         Join({{"DoesEntityExist(101) -> true", "PedStateCheck(101) -> false"}, release}), true},
        {"vanishes", [](SimPed& p) { p.exists = false; }, Join({{"DoesEntityExist(101) -> false"}, release}),
         true},
        {"exactly 150 from the player",
         [](SimPed& p) {
             p.position = {0, 150, 0};
         },
         Join({{"DoesEntityExist(101) -> true", "PedStateCheck(101) -> true", "PlayerPedId() -> 1",
                "GetEntityCoords(1, 1) -> (0, 0, 0)", "GetEntityCoords(101, 1) -> (0, 150, 0)"},
               release}),
         true},
        {"just inside 150",
         [](SimPed& p) {
             p.position = {0, 149.99f, 0};
         },
         {"DoesEntityExist(101) -> true", "PedStateCheck(101) -> true", "PlayerPedId() -> 1",
          "GetEntityCoords(1, 1) -> (0, 0, 0)", "GetEntityCoords(101, 1) -> (0, 149.99, 0)"},
         false},
    };
    for (const Case& c : cases) {
        Start(TwoFactions);
        run->Frames(190);
        Ped(101).position = {12, 80, 0};
        RunUntilCombatPasses(2);
        c.leave(Ped(101));
        RunUntilCombatPasses(3);

        const Events third = CombatPasses().at(2);
        const Events cull100(CullBoth.begin(), CullBoth.begin() + 5);
        ASSERT_GE(third.size(), 5 + c.cull101.size()) << c.what;
        EXPECT_EQ(Events(third.begin(), third.begin() + 5), cull100) << c.what;
        EXPECT_EQ(
            Events(third.begin() + 5, third.begin() + 5 + static_cast<std::ptrdiff_t>(c.cull101.size())),
            c.cull101)
            << c.what;
        if (c.released) {
            // Its enemy is gone in the same pass: the player is next, with one more weapon and no clear.
            EXPECT_EQ(Orders(third), (Events{"GetHashKey(\"WEAPON_SMG\") -> " + Smg,
                                             "GiveDelayedWeaponToPed(100, " + Smg + ", 1000, 0)",
                                             "TaskCombatPed(100, 1, 0, 1)"}))
                << c.what;
            EXPECT_FALSE(world().Exists(101)) << c.what;
            EXPECT_TRUE(Ped(101).released) << c.what;
            // The freed place is filled by the next recruitment pass; the next combat pass sends the
            // newcomer.
            RunUntilCombatPasses(4);
            ASSERT_EQ(FactionList[1].Members.size(), 1u) << c.what;
            EXPECT_EQ(FactionList[1].Members[0].Ped, 102) << c.what;
            const Events newcomer = Orders(CombatPasses().at(3));
            ASSERT_EQ(newcomer.size(), 4u) << c.what;
            EXPECT_EQ(newcomer[1], "GiveDelayedWeaponToPed(102, " + Bat + ", 1000, 0)") << c.what;
            EXPECT_EQ(newcomer[2], "ClearPedTasks(102)") << c.what;
            EXPECT_EQ(newcomer[3].rfind("TaskCombatPed(102, ", 0), 0u) << c.what;
        } else {
            EXPECT_EQ(Orders(third), Events{}) << c.what;  // still nearest to each other
            EXPECT_EQ(FactionList[1].Members[0].Ped, 101) << c.what;
        }
        run.reset();
    }
}

TEST_F(Riot, NeighboursThatBothFailAreBothReleasedInOnePass) {
    Start(R"({"MaxRioters": 3})");  // the default faction: one rioter per recruitment pass
    RunUntilCombatPasses(2);
    ASSERT_EQ(CountRioters(), 3);
    Ped(100).alive = false;
    Ped(101).exists = false;
    RunUntilCombatPasses(3);
    const Events third = CombatPasses().at(2);
    const Events expected = {
        "DoesEntityExist(100) -> true",
        "PedStateCheck(100) -> false",
        "SetPedAsNoLongerNeeded(&100); out 100",
        "DeleteEntity(&100); out 0",
        "DoesEntityExist(101) -> false",
        "SetPedAsNoLongerNeeded(&101); out 101",
        "DeleteEntity(&101); out 0",
        "DoesEntityExist(102) -> true",
    };
    ASSERT_GE(third.size(), expected.size());
    EXPECT_EQ(Events(third.begin(), third.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
    run->Frames(30);  // refilled behind the one that stayed
    ASSERT_EQ(FactionList[0].Members.size(), 3u);
    EXPECT_EQ(FactionList[0].Members[0].Ped, 102);
    EXPECT_EQ(FactionList[0].Members[1].Ped, 103);
    EXPECT_EQ(FactionList[0].Members[2].Ped, 104);
}

TEST_F(Riot, RiotersOnlyAttackThePlayerAndAreSentOnce) {
    Start(R"({"RiotersOnlyAttackPlayer": true, "MaxRioters": 4, "Factions": [{}, {}]})");
    run->Frames(188 + 10 * 63);  // ten seconds of riot
    ASSERT_EQ(CountRioters(), 4);
    const std::string group = Hex(RioterGroup);
    for (const Faction& faction : FactionList)
        for (const Rioter& rioter : faction.Members) {
            const std::string ped = std::to_string(rioter.Ped);
            EXPECT_EQ(run->Events("SetPedRelationshipGroupHash(" + ped + ", "),
                      Events{"SetPedRelationshipGroupHash(" + ped + ", " + group + ")"});
            EXPECT_EQ(run->Events("TaskCombatPed(" + ped + ", "),
                      Events{"TaskCombatPed(" + ped + ", 1, 0, 1)"});
            EXPECT_EQ(run->Count("GiveDelayedWeaponToPed(" + ped + ", "), 1);
            EXPECT_EQ(rioter.Target, 1);
        }
    EXPECT_GE(run->game().CallsOf("SetWantedLevelMultiplier"), 9);
}
