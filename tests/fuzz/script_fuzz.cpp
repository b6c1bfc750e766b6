// A whole game session from arbitrary bytes: the config file, then a stream of key presses, world events and
// clock changes, with the roster checked against its caps in every frame.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/Settings.h"
#include "riot/RiotState.h"
#include "riot/Roster.h"
#include "script/ScriptMain.h"
#include "script/ScriptState.h"
#include "sim/Simulation.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

void CheckRoster(Game&) {
    const int64_t cap = std::max<int64_t>(0, Riot().Settings.MaxRioters);
    if (CountRioters() > cap) FuzzFailure("more rioters than MaxRioters");
    for (const Faction& faction : Riot().FactionList)
        if (faction.Members.size() > faction.MaxMembers) FuzzFailure("a faction above its MaxMembers");
}

SimPed* NthPed(World& world, unsigned n) {
    if (world.peds.empty()) return nullptr;
    auto it = world.peds.begin();
    std::advance(it, n % world.peds.size());
    return &it->second;
}

void Apply(Simulation& sim, uint8_t action, uint8_t value) {
    World& world = sim.game.world;
    const int64_t next = sim.game.Frame() + 1;
    switch (action % 12) {
        case 0:
            sim.game.keyboard.Press(Riot().Settings.EnableKey, next, 1);
            break;
        case 1:
            sim.game.keyboard.Press(Riot().Settings.EnableKey, next, 1 + value / 4);
            break;
        case 2:
            if (SimPed* ped = NthPed(world, value)) ped->alive = false;
            break;
        case 3:
            if (SimPed* ped = NthPed(world, value)) ped->exists = false;
            break;
        case 4:
            world.playerInVehicle = !world.playerInVehicle;
            break;
        case 5:
            world.playerPosition.x += static_cast<float>(value) - 128.0f;
            break;
        case 6:
            world.spawns.numbers.insert(world.spawns.made + value % 4);
            break;
        case 7:
            world.modelLoadPolls = value / 4;
            break;
        case 8:
            world.safeCoords.allNow = !world.safeCoords.allNow;
            break;
        case 9:
            sim.game.frameMs = 1 + value % 200;
            break;
        case 10:
            world.playerPedCheck = !world.playerPedCheck;
            break;
        case 11:
            sim.game.SetTick(sim.game.Tick() + static_cast<uint32_t>(value) * 100000u);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t configSize = std::min<size_t>(size - 2, data[0] | (data[1] << 8));
    ResetScriptState();
    Riot().Settings.ConfigFileName = WriteConfigFile(data + 2, configSize);
    {
        Simulation sim((data[0] & 1) ? 0xFFFFFFFFu - 30000u : 0u);
        sim.game.trace.keep = false;
        sim.game.world.keepDraws = false;
        sim.game.world.neverLoadingModels = {"never_loads"};
        sim.game.onFrame.push_back(CheckRoster);
        sim.logPath = "/dev/null";  // the script's log, and the check it runs at every load, as in the game
        sim.Start(&ScriptMain);
        int64_t frames = 0;
        for (size_t k = 2 + configSize; k + 1 < size && frames < 1000; k += 2) {
            const int64_t wait = data[k] % 64;
            sim.RunFrames(wait);
            frames += wait;
            Apply(sim, data[k] >> 6 | (data[k + 1] & 0x3C), data[k + 1]);
        }
        sim.RunFrames(60);  // a second more: the passes due after the last event run
        sim.Stop();
        if (!sim.game.errors.empty()) FuzzFailure(sim.game.errors.front());
    }
    return 0;
}
