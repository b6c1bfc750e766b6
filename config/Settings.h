#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct SettingsRecord {
    std::string ConfigFileName;  // UTF-8
    int32_t MaxRioters;
    int32_t EnableKey;
    bool DisableCops;
    double PedAccuracy;
    bool RiotersOnlyAttackPlayer;
};

// The config file's name: in the game's folder, the file the game reads.
constexpr const char* ConfigFileNameBuiltIn = "Skirmora_config.txt";

SettingsRecord BuiltInSettings();

// In the script's state (script/ScriptState.h).
extern SettingsRecord& Settings;
extern std::vector<std::string>& SharedWeaponList;
