#include "riot/Combat.h"

#include "config/Settings.h"
#include "riot/Cull.h"
#include "riot/Random.h"
#include "riot/RiotState.h"

namespace {

constexpr float SearchRange = 10000.0f;

// One random weapon from the faction's own list, or from the shared one; none when both are empty.
void ArmForCombat(const Faction& faction, Ped ped) {
    const std::vector<std::string>& weapons =
        faction.Weapons.empty() ? Riot().SharedWeaponList : faction.Weapons;
    if (weapons.empty()) return;
    const std::string& name = weapons[static_cast<size_t>(Rand()) % weapons.size()];
    GiveDelayedWeaponToPed(ped, GetHashKey(name.c_str()), 1000, 0);
}

}  // namespace

bool FindNearestEnemy(Ped ped, const Faction& faction, Ped* target) {
    *target = 0;
    bool found = false;
    float best = SearchRange;
    for (const Faction& other : Riot().FactionList) {
        if (other.GroupHash == faction.GroupHash && !faction.WillAttackSelf) continue;
        for (const Rioter& member : other.Members) {
            if (member.Ped == ped) continue;
            const float distance = EntityDistance(member.Ped, ped);
            if (distance < SearchRange && distance < best) {
                best = distance;
                *target = member.Ped;
                found = true;
            }
        }
    }
    const Ped player = PlayerPedId();
    const float distance = EntityDistance(player, ped);
    if (distance < SearchRange && distance < best) {
        *target = player;
        return true;
    }
    return found;
}

void CombatTick() {
    CullRioters();
    for (Faction& faction : Riot().FactionList) {
        for (Rioter& rioter : faction.Members) {
            Ped target = 0;
            if (!FindNearestEnemy(rioter.Ped, faction, &target)) continue;
            if (Riot().Settings.RiotersOnlyAttackPlayer) target = PlayerPedId();
            if (target == rioter.Ped) continue;
            if (target == rioter.Target && rioter.Engaged) continue;
            ArmForCombat(faction, rioter.Ped);
            // A first task starts from clear tasks; a switch of target goes straight to the new one.
            if (rioter.Target == target || rioter.Target == 0) ClearPedTasks(rioter.Ped);
            TaskCombatPed(rioter.Ped, target, 0, 1);
            rioter.Target = target;
            rioter.Engaged = true;
        }
    }
}
