#include "sim/World.h"

#include <cmath>
#include <utility>

#include "sim/Jenkins.h"

SimPed* World::FindPed(int32_t handle) {
    auto found = peds.find(handle);
    return found == peds.end() ? nullptr : &found->second;
}

const SimPed* World::FindPed(int32_t handle) const {
    auto found = peds.find(handle);
    return found == peds.end() ? nullptr : &found->second;
}

int32_t World::AddPed(Vec3 position, uint32_t model, bool random, int64_t frame) {
    const int64_t number = spawnCount++;
    if (failingSpawns.count(number)) return 0;
    SimPed ped;
    ped.handle = nextHandle++;
    ped.position = position;
    ped.model = model;
    ped.random = random;
    ped.spawnFrame = static_cast<int32_t>(frame);
    ped.health = pedHealth;
    ped.weapons.reserve(4);  // handing out weapons later need not allocate
    const int32_t handle = ped.handle;
    peds[handle] = std::move(ped);
    return handle;
}

bool World::Exists(int32_t entity) const {
    if (entity == playerPed) return true;
    const SimPed* ped = FindPed(entity);
    return ped && ped->exists;
}

Vec3 World::PositionOf(int32_t entity) const {
    if (entity == playerPed) return playerPosition;
    const SimPed* ped = FindPed(entity);
    return ped && ped->exists ? ped->position : Vec3{};
}

bool World::ModelNeverLoads(uint32_t hash) const {
    for (const std::string& name : neverLoadingModels)
        if (JenkinsHash(name) == hash) return true;
    return false;
}

void World::CountRelease(const SimPed* ped) {
    ReleaseReason reason = ReleaseReason::Other;
    if (!ped || !ped->exists) {
        reason = ReleaseReason::Vanished;
    } else if (!ped->alive) {
        reason = ReleaseReason::Dead;
    } else {
        const float dx = ped->position.x - playerPosition.x;
        const float dy = ped->position.y - playerPosition.y;
        const float dz = ped->position.z - playerPosition.z;
        if (std::sqrt(dx * dx + dy * dy + dz * dz) >= 150.0f) reason = ReleaseReason::TooFar;
    }
    ++releases[static_cast<int>(reason)];
}
