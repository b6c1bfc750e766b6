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

// The relationship group the script makes at its start, which every rioter joins while only the player is
// fought.
constexpr const char* RioterGroupName = "RIOTER";

SettingsRecord BuiltInSettings();

// The game's integer accuracy: truncated toward zero and saturated to 32 bits; NaN gives 0.
int32_t AccuracyInteger(double accuracy);

// The most rioters the factions can hold at once: their caps added up, within MaxRioters.
uint64_t MostRiotersOf(uint64_t factionCaps, int32_t maxRioters);

// In the script's state (script/ScriptState.h).
extern SettingsRecord& Settings;
extern std::vector<std::string>& SharedWeaponList;
