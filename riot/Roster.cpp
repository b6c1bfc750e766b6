#include "riot/Roster.h"
#include "riot/RiotState.h"

#include <cmath>

int32_t CountRioters() {
    int32_t total = 0;
    for (const Faction& faction : Riot().FactionList)
        total += static_cast<int32_t>(faction.Members.size());
    return total;
}

float EntityDistance(Entity first, Entity second) {
    Vector3 a = GetEntityCoords(first, 1);
    Vector3 b = GetEntityCoords(second, 1);
    float dx = a.x - b.x;
    float dy = a.y - b.y;
    float dz = a.z - b.z;
    return std::sqrt((dy * dy + dx * dx) + dz * dz);
}
