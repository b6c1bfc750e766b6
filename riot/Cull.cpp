#include "riot/Cull.h"

#include "riot/RiotState.h"
#include "riot/Roster.h"

namespace {

// Why the rioter leaves the fight; Count when it stays.
CullReason Departure(Ped ped) {
    if (!DoesEntityExist(ped)) return CullReason::Gone;
    if (!PedStateCheck(ped)) return CullReason::FailedPedCheck;
    if (!(EntityDistance(PlayerPedId(), ped) < CullDistance)) return CullReason::TooFar;
    return CullReason::Count;
}
}  // namespace

void CullRioters() {
    for (Faction& faction : Riot().FactionList) {
        const std::size_t index = static_cast<std::size_t>(&faction - Riot().FactionList.data());
        size_t position = 0;
        while (position < faction.Members.size()) {
            const CullReason reason = Departure(faction.Members[position].Ped);
            if (reason == CullReason::Count) {
                ++position;
                continue;
            }
            ++Riot().RiotCounts.Released[static_cast<int>(reason)];
            if (Riot().RiotWatcher) Riot().RiotWatcher->Releasing(index, position, reason);
            Ped handle = faction.Members[position].Ped;
            SetPedAsNoLongerNeeded(&handle);
            DeleteEntity(&handle);
            faction.Members.erase(faction.Members.begin() + static_cast<std::ptrdiff_t>(position));
        }
    }
}
