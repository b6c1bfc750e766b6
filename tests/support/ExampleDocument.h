// A complete, valid config document that sets every setting and two factions, shared by the loader and check
// tests.
#pragma once

inline constexpr const char* ExampleDocument = R"({
    "EnableKey": "F6",
    "MaxRioters": 30,
    "DisableCops": false,
    "PedAccuracy": 45,
    "WeaponsUsedByAllFactions": ["WEAPON_PISTOL", "WEAPON_SMG", "WEAPON_PUMPSHOTGUN"],
    "Factions": [
        {"MaxMembers": 12, "Weapons": ["WEAPON_ASSAULTRIFLE", "WEAPON_MOLOTOV"],
         "MemberModels": ["g_m_y_ballaorig_01", "g_m_y_famca_01"]},
        {"MaxMembers": 6, "WillAttackSelf": true}
    ]
})";
