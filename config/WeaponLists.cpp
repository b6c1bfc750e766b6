#include "config/WeaponLists.h"

const std::vector<std::string> ThrowableList = {
    "WEAPON_GRENADE", "WEAPON_STICKYBOMB", "WEAPON_SMOKEGRENADE", "WEAPON_BZGAS", "WEAPON_MOLOTOV",
};

std::vector<std::string> BuiltInWeaponList() {
    return {
        "WEAPON_PISTOL",
        "WEAPON_COMBATPISTOL",
        "WEAPON_APPISTOL",
        "WEAPON_PISTOL50",
        "WEAPON_MICROSMG",
        "WEAPON_SMG",
        "WEAPON_ASSAULTSMG",
        "WEAPON_ASSAULTRIFLE",
        "WEAPON_CARBINERIFLE",
        "WEAPON_ADVANCEDRIFLE",
        "WEAPON_MG",
        "WEAPON_COMBATMG",
        "WEAPON_PUMPSHOTGUN",
        "WEAPON_SAWNOFFSHOTGUN",
        "WEAPON_ASSAULTSHOTGUN",
        "WEAPON_BULLPUPSHOTGUN",
        "WEAPON_STUNGUN",
        "WEAPON_SNIPERRIFLE",
        "WEAPON_GRENADELAUNCHER",
        "WEAPON_GRENADELAUNCHER_SMOKE",
        "WEAPON_RPG",
        "WEAPON_MINIGUN",
        "WEAPON_GRENADE",
        "WEAPON_STICKYBOMB",
        "WEAPON_SMOKEGRENADE",
        "WEAPON_BZGAS",
        "WEAPON_MOLOTOV",
        "WEAPON_SPECIALCARBINE",
        "WEAPON_HEAVYPISTOL",
    };
}

bool IsThrowable(const std::string& name) {
    for (const std::string& thrown : ThrowableList)
        if (name == thrown) return true;
    return false;
}

void RemoveThrowables(std::vector<std::string>& list) {
    size_t position = 0;
    while (position < list.size()) {
        if (IsThrowable(list[position])) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(position));
        } else {
            ++position;
        }
    }
}
