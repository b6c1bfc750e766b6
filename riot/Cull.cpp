#include "riot/Cull.h"

#include "riot/Roster.h"

namespace {
constexpr float CullDistance = 150.0f;

bool StillInTheFight(Ped ped) {
    return DoesEntityExist(ped) && PedStateCheck(ped) && EntityDistance(PlayerPedId(), ped) < CullDistance;
}
}  // namespace

void CullRioters() {
    for (Faction& faction : FactionList) {
        size_t position = 0;
        while (position < faction.Members.size()) {
            if (StillInTheFight(faction.Members[position].Ped)) {
                ++position;
                continue;
            }
            Ped handle = faction.Members[position].Ped;
            SetPedAsNoLongerNeeded(&handle);
            DeleteEntity(&handle);
            faction.Members.erase(faction.Members.begin() + static_cast<std::ptrdiff_t>(position));
        }
    }
}
