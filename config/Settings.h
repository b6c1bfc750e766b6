#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct SettingsRecord {
    const char* ConfigFileName;
    int32_t MaxRioters;
    int32_t EnableKey;
    bool DisableCops;
    double PedAccuracy;
    bool RiotersOnlyAttackPlayer;
};

extern SettingsRecord Settings;
extern std::vector<std::string> SharedWeaponList;

SettingsRecord BuiltInSettings();
std::vector<std::string> BuiltInWeaponList();

// Removes every thrown weapon from SharedWeaponList; every completed load ends with it.
void RemoveThrowables();
