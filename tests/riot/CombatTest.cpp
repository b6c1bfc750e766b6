// The combat and culling passes, called directly against a simulated world set up by hand.
#include <gtest/gtest.h>

#include "config/Settings.h"
#include "host/Natives.h"
#include "riot/Combat.h"
#include "riot/Cull.h"
#include "riot/Random.h"
#include "riot/Roster.h"
#include "sim/Format.h"
#include "config/Jenkins.h"
#include "tests/support/ScriptRun.h"

using Events = std::vector<std::string>;

namespace {

class Combat : public ::testing::Test {
  protected:
    ScriptRun run;

    Ped Spawn(float x, float y, float z = 0.0f) { return run.world().AddPed({x, y, z}, 0, true, 0); }
    Faction& Add(Hash group, bool willAttackSelf, std::vector<Ped> peds) {
        Faction faction;
        faction.MaxMembers = 100;
        faction.GroupHash = group;
        faction.WillAttackSelf = willAttackSelf;
        for (Ped ped : peds)
            faction.Members.push_back({ped, 0, false});
        FactionList.push_back(faction);
        return FactionList.back();
    }
    // The events after the first n of the run.
    Events After(size_t n) const {
        Events all = run.Events();
        return Events(all.begin() + static_cast<std::ptrdiff_t>(std::min(n, all.size())), all.end());
    }
    Events Only(const std::string& prefix, const Events& events) const {
        Events kept;
        for (const std::string& e : events)
            if (e.rfind(prefix, 0) == 0) kept.push_back(e);
        return kept;
    }
    static std::string Hex(uint32_t value) {
        std::string text;
        AppendHex32(text, value);
        return text;
    }
};

}  // namespace

TEST_F(Combat, EntityDistance) {
    const Ped a = Spawn(0, 0, 0), b = Spawn(3, 4, 12);
    EXPECT_EQ(EntityDistance(a, b), 13.0f);
    EXPECT_EQ(EntityDistance(b, a), 13.0f);
    EXPECT_EQ(EntityDistance(b, b), 0.0f);
    EXPECT_EQ(run.Events("GetEntityCoords"),
              (Events{"GetEntityCoords(100, 1) -> (0, 0, 0)", "GetEntityCoords(101, 1) -> (3, 4, 12)",
                      "GetEntityCoords(101, 1) -> (3, 4, 12)", "GetEntityCoords(100, 1) -> (0, 0, 0)",
                      "GetEntityCoords(101, 1) -> (3, 4, 12)", "GetEntityCoords(101, 1) -> (3, 4, 12)"}));
    EXPECT_EQ(CountRioters(), 0);
}

TEST_F(Combat, ANewRioterIsArmedClearedAndTaskedThenLeftAloneThenSwitched) {
    const Ped a = Spawn(10, 0), b = Spawn(25, 0);
    Add(1, false, {a});
    Add(2, false, {b}).Weapons = {"WEAPON_SMG"};
    ResetRand();
    const auto orders = [&](size_t from) {
        Events kept;
        for (const std::string& e : After(from))
            if (e.rfind("GiveDelayedWeaponToPed", 0) == 0 || e.rfind("ClearPedTasks", 0) == 0 ||
                e.rfind("TaskCombatPed", 0) == 0 || e.rfind("GetHashKey", 0) == 0)
                kept.push_back(e);
        return kept;
    };
    const std::string smg = Hex(JenkinsHash("WEAPON_SMG"));
    // No load has run, so the shared list is the built-in one of 29 names; the first draw is 41.
    const std::string first = SharedWeaponList[41 % 29];
    CombatTick();
    EXPECT_EQ(orders(0), (Events{
                             "GetHashKey(\"" + first + "\") -> " + Hex(JenkinsHash(first)),
                             "GiveDelayedWeaponToPed(100, " + Hex(JenkinsHash(first)) + ", 1000, 0)",
                             "ClearPedTasks(100)",
                             "TaskCombatPed(100, 1, 0, 1)",  // the player at 10 is nearer than b at 15
                             "GetHashKey(\"WEAPON_SMG\") -> " + smg,
                             "GiveDelayedWeaponToPed(101, " + smg + ", 1000, 0)",
                             "ClearPedTasks(101)",
                             "TaskCombatPed(101, 100, 0, 1)",
                         }));
    EXPECT_EQ(FactionList[0].Members[0].Target, 1);
    EXPECT_TRUE(FactionList[0].Members[0].Engaged);
    EXPECT_EQ(FactionList[1].Members[0].Target, a);

    // Nothing has moved: no weapon and no task.
    const size_t second = run.Events().size();
    CombatTick();
    EXPECT_EQ(orders(second), Events{});

    // The player walks to b: a now ties between b and the player (b wins), b has the player at 0.
    run.world().playerPosition = {25, 0, 0};
    const size_t third = run.Events().size();
    CombatTick();
    const std::string next = SharedWeaponList[6334 % 29];
    EXPECT_EQ(orders(third), (Events{
                                 "GetHashKey(\"" + next + "\") -> " + Hex(JenkinsHash(next)),
                                 "GiveDelayedWeaponToPed(100, " + Hex(JenkinsHash(next)) + ", 1000, 0)",
                                 "TaskCombatPed(100, 101, 0, 1)",
                                 "GetHashKey(\"WEAPON_SMG\") -> " + smg,
                                 "GiveDelayedWeaponToPed(101, " + smg + ", 1000, 0)",
                                 "TaskCombatPed(101, 1, 0, 1)",
                             }));
}

TEST_F(Combat, WhoTargetsWhom) {
    struct Case {
        const char* what;
        std::vector<std::tuple<Hash, bool, std::vector<Vec3>>>
            factions;  // group, attacks own side, positions
        Vec3 player;
        std::vector<int>
            expected;  // per rioter in list order: index of its target rioter, -1 the player, -2 none
    };
    const Case cases[] = {
        {"same group never",
         {{7, false, {{5, 0, 0}}}, {7, false, {{6, 0, 0}}}, {8, false, {{50, 0, 0}}}},
         {1000, 0, 0},
         {2, 2, 1}},
        {"own faction when attacking self",
         {{0, true, {{5, 0, 0}, {6, 0, 0}, {9, 0, 0}}}},
         {1000, 0, 0},
         {1, 0, 1}},
        {"ties: earlier faction, then earlier member",
         {{1, false, {{0, 0, 0}}}, {2, false, {{10, 0, 0}, {-10, 0, 0}}}, {3, false, {{0, 10, 0}}}},
         {5000, 0, 0},
         {1, 0, 0, 0}},
        {"player at the same distance loses",
         {{1, false, {{0, 0, 0}}}, {2, false, {{10, 0, 0}}}},
         {-10, 0, 0},
         {1, 0}},
        {"player strictly nearer wins",
         {{1, false, {{0, 0, 0}}}, {2, false, {{10, 0, 0}}}},
         {-9.99f, 0, 0},
         {-1, 0}},
        {"10000 is out of range",
         {{1, false, {{0, 0, 0}}}, {2, false, {{10000, 0, 0}}}},
         {0, 10000, 0},
         {-2, -2}},
        {"just inside 10000",
         {{1, false, {{0, 0, 0}}}, {2, false, {{9999.999f, 0, 0}}}},
         {0, 20000, 0},
         {1, 0}},
        {"nobody but the player", {{1, false, {{0, 0, 0}}}}, {0, 30, 0}, {-1}},
        {"the player even for own-side factions",
         {{4, false, {{0, 0, 0}}}, {4, false, {{1, 0, 0}}}},
         {0, 9000, 0},
         {-1, -1}},
    };
    for (const Case& c : cases) {
        FactionList.clear();
        run.world().peds.clear();
        run.world().playerPosition = c.player;
        std::vector<Ped> all;
        for (const auto& [group, self, positions] : c.factions) {
            std::vector<Ped> peds;
            for (Vec3 p : positions)
                peds.push_back(Spawn(p.x, p.y, p.z));
            all.insert(all.end(), peds.begin(), peds.end());
            Add(group, self, peds);
        }
        size_t k = 0;
        for (const Faction& faction : FactionList)
            for (const Rioter& rioter : faction.Members) {
                Ped target = -5;
                const bool found = FindNearestEnemy(rioter.Ped, faction, &target);
                const int want = c.expected[k++];
                EXPECT_EQ(found, want != -2) << c.what << ", rioter " << k;
                const Ped wanted = want >= 0 ? all[static_cast<size_t>(want)] : want == -1 ? 1 : 0;
                EXPECT_EQ(target, wanted) << c.what << ", rioter " << k;
            }
    }
}

TEST_F(Combat, OnlyThePlayerWhenRiotersOnlyAttackPlayer) {
    Settings.RiotersOnlyAttackPlayer = true;
    Add(1, false, {Spawn(0, 5), Spawn(0, 6)});
    Add(2, false, {Spawn(0, 7)});
    for (int pass = 0; pass < 3; ++pass)
        CombatTick();
    EXPECT_EQ(run.Count("TaskCombatPed"), 3);
    EXPECT_EQ(run.Count("GiveDelayedWeaponToPed"), 3);
    for (const std::string& e : run.Events("TaskCombatPed"))
        EXPECT_NE(e.find(", 1, 0, 1)"), std::string::npos) << e;
}

TEST_F(Combat, WeaponsComeFromTheFactionListOrTheSharedOne) {
    SharedWeaponList = {"WEAPON_PISTOL", "WEAPON_RPG"};
    Add(1, false, {Spawn(0, 5), Spawn(0, 6), Spawn(0, 7)}).Weapons = {"WEAPON_BAT"};
    Add(2, false, {Spawn(0, 8), Spawn(0, 9)});
    ResetRand();
    CombatTick();
    const std::string bat = Hex(JenkinsHash("WEAPON_BAT"));
    const Events gives = run.Events("GiveDelayedWeaponToPed");
    ASSERT_EQ(gives.size(), 5u);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(gives[k], "GiveDelayedWeaponToPed(" + std::to_string(100 + k) + ", " + bat + ", 1000, 0)");
    // Draws four and five of a fresh generator are 26500 and 19169: entries 0 and 1 of the shared list.
    EXPECT_NE(gives[3].find(Hex(JenkinsHash("WEAPON_PISTOL"))), std::string::npos);
    EXPECT_NE(gives[4].find(Hex(JenkinsHash("WEAPON_RPG"))), std::string::npos);
    EXPECT_EQ(Rand(), 15724);  // five draws made, one per rioter sent into combat
}

TEST_F(Combat, BothWeaponListsEmptyStillSendsTheRioter) {
    SharedWeaponList.clear();
    Add(1, false, {Spawn(0, 5)});
    Add(2, false, {Spawn(0, 6)});
    ResetRand();
    CombatTick();
    EXPECT_EQ(run.Count("GiveDelayedWeaponToPed"), 0);
    EXPECT_EQ(run.Count("GetHashKey"), 0);
    EXPECT_EQ(run.Count("ClearPedTasks"), 2);
    EXPECT_EQ(run.Count("TaskCombatPed"), 2);
    EXPECT_TRUE(FactionList[0].Members[0].Engaged);
    EXPECT_EQ(Rand(), 41);  // nothing was drawn
}

TEST_F(Combat, ATargetCulledInThePassIsReplacedInThePass) {
    const Ped a = Spawn(0, 5), b = Spawn(0, 6), c = Spawn(0, 20);
    Add(1, false, {a});
    Add(2, false, {b, c});
    run.world().playerPosition = {0, 100, 0};
    CombatTick();
    ASSERT_EQ(FactionList[0].Members[0].Target, b);
    run.world().FindPed(b)->alive = false;
    const size_t before = run.Events().size();
    CombatTick();
    EXPECT_EQ(FactionList[0].Members[0].Target, c);
    const Events orders = Only("GiveDelayedWeaponToPed(100", After(before));
    EXPECT_EQ(orders.size(), 1u);
    EXPECT_EQ(Only("ClearPedTasks(100", After(before)).size(), 0u);
}

TEST_F(Combat, CullingReleasesTheDepartedInOrder) {
    struct Case {
        const char* what;
        std::vector<std::tuple<Vec3, bool, bool>> rioters;  // position, exists, passes the ped check
        std::vector<int> kept;                              // indices of the rioters that stay, in order
    };
    const Case cases[] = {
        {"exactly 150 goes, just below stays",
         {{{150, 0, 0}, true, true}, {{149.99f, 0, 0}, true, true}},
         {1}},
        {"3-D distance", {{{100, 100, 30}, true, true}, {{100, 100, 60}, true, true}}, {0}},
        {"dead and vanished neighbours",
         {{{1, 0, 0}, true, false}, {{2, 0, 0}, false, true}, {{3, 0, 0}, true, true}},
         {2}},
        {"order kept",
         {{{1, 0, 0}, true, true},
          {{2, 0, 0}, false, true},
          {{3, 0, 0}, true, true},
          {{300, 0, 0}, true, true},
          {{4, 0, 0}, true, true}},
         {0, 2, 4}},
        {"all go", {{{1, 0, 0}, false, true}, {{2, 0, 0}, false, true}}, {}},
    };
    for (const Case& c : cases) {
        FactionList.clear();
        std::vector<Ped> peds;
        for (const auto& [position, exists, alive] : c.rioters) {
            peds.push_back(Spawn(position.x, position.y, position.z));
            run.world().FindPed(peds.back())->exists = exists;
            run.world().FindPed(peds.back())->alive = alive;
        }
        Add(1, false, peds);
        CullRioters();
        std::vector<Ped> kept;
        for (int k : c.kept)
            kept.push_back(peds[static_cast<size_t>(k)]);
        std::vector<Ped> left;
        for (const Rioter& r : FactionList[0].Members)
            left.push_back(r.Ped);
        EXPECT_EQ(left, kept) << c.what;
        for (Ped ped : kept)
            EXPECT_TRUE(run.world().Exists(ped)) << c.what;
    }
}

TEST_F(Combat, AReleaseAsksOnlyWhatItNeeds) {
    const Ped gone = Spawn(1, 0), dead = Spawn(2, 0), far = Spawn(200, 0), near = Spawn(3, 0);
    run.world().FindPed(gone)->exists = false;
    run.world().FindPed(dead)->alive = false;
    Add(1, false, {gone, dead, far, near});
    Add(2, false, {});
    Add(3, false, {0});  // a spawn that gave handle 0
    const size_t before = run.Events().size();
    CullRioters();
    const Events expected = {
        "DoesEntityExist(100) -> false",
        "SetPedAsNoLongerNeeded(&100); out 100",
        "DeleteEntity(&100); out 0",
        "DoesEntityExist(101) -> true",
        "PedStateCheck(101) -> false",
        "SetPedAsNoLongerNeeded(&101); out 101",
        "DeleteEntity(&101); out 0",
        "DoesEntityExist(102) -> true",
        "PedStateCheck(102) -> true",
        "PlayerPedId() -> 1",
        "GetEntityCoords(1, 1) -> (0, 0, 0)",
        "GetEntityCoords(102, 1) -> (200, 0, 0)",
        "SetPedAsNoLongerNeeded(&102); out 102",
        "DeleteEntity(&102); out 0",
        "DoesEntityExist(103) -> true",
        "PedStateCheck(103) -> true",
        "PlayerPedId() -> 1",
        "GetEntityCoords(1, 1) -> (0, 0, 0)",
        "GetEntityCoords(103, 1) -> (3, 0, 0)",
        "DoesEntityExist(0) -> false",
        "SetPedAsNoLongerNeeded(&0); out 0",
        "DeleteEntity(&0); out 0",
    };
    EXPECT_EQ(After(before), expected);
    EXPECT_EQ(CountRioters(), 1);
    EXPECT_FALSE(run.world().Exists(far));

    FactionList.clear();
    const size_t quiet = run.Events().size();
    CullRioters();
    EXPECT_EQ(run.Events().size(), quiet);  // no rioters, no native call
}
