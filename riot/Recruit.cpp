#include "riot/Recruit.h"

#include <algorithm>

#include "config/Settings.h"
#include "host/Frames.h"
#include "host/Ticks.h"
#include "riot/Random.h"

namespace {

constexpr uint64_t ModelWaitLimitMs = 1000;

Ped SpawnModelPed(Hash model, float x, float y, float z) {
    return CreatePed(26, model, x, y, z, 0.0f, 0, 1);
}
Ped SpawnRandomPed(float x, float y, float z) {
    return CreateRandomPed(x, y, z);
}
bool FindSafeCoord(float x, float y, float z, Vector3* out) {
    return GetSafeCoordForPed(x, y, z, 0, out, 0);
}

float Offset(int32_t draw) {
    return static_cast<float>(draw % 6 * 10 + 40);
}

// A model that never loads (a misspelt name) must not hang the game: after a second of polls the ped
// becomes a random pedestrian.
Ped SpawnOne(const Faction& faction, const Vector3& point) {
    if (faction.MemberModels.empty()) return SpawnRandomPed(point.x, point.y, point.z);
    const std::string& name = faction.MemberModels[static_cast<size_t>(Rand()) % faction.MemberModels.size()];
    const Hash model = GetHashKey(name.c_str());
    RequestModel(model);
    const uint64_t start = ReadTick();
    while (!HasModelLoaded(model)) {
        if (ReadTick() - start >= ModelWaitLimitMs) return SpawnRandomPed(point.x, point.y, point.z);
        WaitFrame(1);
    }
    return SpawnModelPed(model, point.x, point.y, point.z);
}

// rioters: the rioters over all factions, kept up to date as this pass recruits (nothing else changes them
// while it runs), so that a pass over many factions does not count them all again at every spawn.
void RecruitFaction(Faction& faction, int32_t& rioters) {
    int32_t batch = 1;
    if (!faction.WillAttackSelf && Rand() % 10 == 5) batch = Rand() % 6;
    Vector3 point;
    ChooseSpawnPoint(point);
    if (faction.Members.size() >= faction.MaxMembers) return;
    for (int32_t spawned = 0;;) {
        if (rioters >= Settings.MaxRioters || spawned >= batch) return;
        const Ped ped = SpawnOne(faction, point);
        WaitFrame(0);
        faction.Members.push_back(SetupRioter(ped, faction.GroupHash));
        ++RiotCounts.Recruited;
        ++rioters;
        ++spawned;
        if (faction.Members.size() >= faction.MaxMembers) return;
    }
}

}  // namespace

Vector3& ChooseSpawnPoint(Vector3& out) {
    const Ped player = PlayerPedId();
    const Vector3 forward = GetEntityForwardVector(player);
    const Vector3 position = GetEntityCoords(player, 1);
    float dx, dy, dz;
    if (IsPedInAnyVehicle(player, 1)) {
        dx = forward.x * 140.0f;
        dy = forward.y * 140.0f;
        dz = forward.z * 140.0f;
    } else {
        dx = Offset(Rand()) * forward.x;
        dy = Offset(Rand()) * forward.y;
        if (Rand() % 10 < 6) dx = -dx;
        if (Rand() % 10 < 6) dy = -dy;
        dz = 0.0f;
    }
    // When the game finds no safe spot it writes nothing: the ped then stands at the candidate point.
    out = MakeVector3(position.x + dx, position.y + dy, position.z + dz);
    FindSafeCoord(out.x, out.y, out.z, &out);
    out.x += static_cast<float>(Rand() % 5 * 3);
    out.y += static_cast<float>(Rand() % 5 * 3);
    return out;
}

Rioter SetupRioter(Ped ped, Hash group) {
    SetPedAccuracy(ped, AccuracyInteger(Settings.PedAccuracy));
    SetPedRelationshipGroupHash(ped, Settings.RiotersOnlyAttackPlayer ? RioterGroup : group);
    Rioter rioter;
    rioter.Ped = ped;
    return rioter;
}

uint64_t FactionCaps() {
    uint64_t caps = 0;
    for (const Faction& faction : FactionList)
        caps += faction.MaxMembers;
    return caps;
}

uint64_t MostRioters() {
    return MostRiotersOf(FactionCaps(), Settings.MaxRioters);
}

void RecruitTick() {
    const Ped player = PlayerPedId();
    if (!PedStateCheck(player)) return;
    if (!PlayerStateCheck(0)) return;
    int32_t rioters = CountRioters();
    if (rioters > Settings.MaxRioters) return;
    for (Faction& faction : FactionList)
        RecruitFaction(faction, rioters);
}
