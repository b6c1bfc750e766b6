#include "tests/windows/Scenarios.h"

#include <cstring>
#include <memory>

#include "sim/Fight.h"
#include "sim/Game.h"

namespace {

void NoSetup(Game&) {}

void PressAt10(Game& game) {
    game.keyboard.Press(118, 10, 1);
}

void AcrossTheWrap(Game& game) {
    game.keyboard.Press(118, 500, 1);
    game.keyboard.Press(118, 990, 1);
    game.keyboard.Press(118, 1500, 1);
}

// A riot with everything the world can throw at it: slow and missing models, failed spawns and safe spots,
// deaths, disappearances, a drive, a reload in the middle.
void Riot(Game& game) {
    World& world = game.world;
    world.modelLoadPolls = 2;
    world.neverLoadingModels = {"never_loads"};
    world.spawns.numbers = {3, 11};
    world.playerForward = {0.6f, 0.8f, 0.0f};
    game.keyboard.Press(118, 1, 2);
    game.keyboard.Press(118, 1500, 1);  // off: reload
    game.keyboard.Press(118, 1560, 1);  // on again
    game.onFrame.push_back([](Game& g) {
        World& w = g.world;
        const int64_t frame = g.Frame();
        if (frame % 97 == 0)
            for (auto& [handle, ped] : w.peds)
                if (ped.exists && ped.alive && handle % 3 == 0) {
                    ped.alive = false;
                    break;
                }
        if (frame % 131 == 0)
            for (auto& [handle, ped] : w.peds)
                if (ped.exists && handle % 2 == 1) {
                    ped.exists = false;
                    break;
                }
        w.safeCoords.allNow = frame % 400 < 40;
        w.playerInVehicle = frame >= 900 && frame < 1000;
        if (w.playerInVehicle) w.playerPosition.y += 1.7f;
        w.playerPosition.x += 0.013f;
    });
}

// The world's fight model plays the riot: every position, hit and death comes from its float arithmetic and
// its random numbers, and shows in the coordinates the script reads.
void Fighting(Game& game) {
    WorldPlan plan;
    plan.seed = 11;
    plan.rules.vanishPerMinute = 1.5f;
    plan.player.path = {{0.0, 0.0f, 0.0f}, {20.0, 33.3f, 7.1f}, {26.0, 190.0f, 61.0f}, {40.0, 200.0f, 70.0f}};
    plan.player.vehicle = {{20.0, 26.0}};
    plan.player.health = 150.0f;
    plan.player.respawnSeconds = 3.0;
    auto living = std::make_shared<LivingWorld>(plan);
    game.keyboard.Press(118, 1, 2);
    game.onFrame.push_back(
        [living](Game& g) { living->Step(g.world, static_cast<double>(g.Frame()) * 0.016); });
}

void PressAt1(Game& game) {
    game.keyboard.Press(118, 1, 1);
}

}  // namespace

const Scenario Scenarios[] = {
    {"startup", nullptr, 5000, 16, 20, NoSetup},
    {"press-grace-police", R"({"MaxRioters": 0, "DisableCops": false})", 0, 10, 450, PressAt10},
    {"tick-wrap", R"({"MaxRioters": 0})", 0xFFFFFFFFu - 9999u, 10, 3000, AcrossTheWrap},
    {"riot",
     R"({"MaxRioters": 14, "PedAccuracy": 45.5, "EnableKey": "F7",
        "Factions": [
          {"MaxMembers": 6, "MemberModels": ["a_m_y_skater_01", "never_loads"], "Weapons": ["WEAPON_SMG", "WEAPON_MOLOTOV"]},
          {"MaxMembers": 5},
          {"MaxMembers": 4, "WillAttackSelf": true}]})",
     0, 16, 2400, Riot},
    {"fighting-riot",
     R"({"MaxRioters": 16, "PedAccuracy": 35,
        "Factions": [{"MaxMembers": 7, "Weapons": ["WEAPON_PISTOL"]}, {"MaxMembers": 6}, {"MaxMembers": 3, "WillAttackSelf": true}]})",
     0, 16, 2500, Fighting},
    // Numbers the loader turns into text, and ones the reader cannot hold: the C runtimes must not differ.
    {"number-texts",
     R"({"WeaponsUsedByAllFactions": [0.1, 1e300, -2.5e-7, 7, 3000000000, 123456789.125, true, null],
        "PedAccuracy": 1e-400, "Factions": [{"MaxMembers": 2.9}]})",
     0, 16, 400, PressAt1},
    {"unreadable-number", R"({"MaxRioters": 3, "PedAccuracy": 1e400, "EnableKey": "F2"})", 0, 16, 300,
     PressAt1},
};
const int ScenarioCount = static_cast<int>(sizeof Scenarios / sizeof Scenarios[0]);

const Scenario* FindScenario(const char* name) {
    for (const Scenario& s : Scenarios)
        if (std::strcmp(s.name, name) == 0) return &s;
    return nullptr;
}
