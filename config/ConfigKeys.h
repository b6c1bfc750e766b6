// The config file's keys, one row each, in the order the load reads them. The loader reads every key by its
// row, and the check explains each key from the same row: a new key is a new row and the lines that read it.
#pragma once
#include <string>

enum class ConfigKeyId {
    EnableKey,
    MaxRioters,
    WeaponsUsedByAllFactions,
    PedWeapons,
    DisableCops,
    PedAccuracy,
    RiotersOnlyAttackPlayer,
    Factions,
    MaxMembers,
    WillAttackSelf,
    Weapons,
    MemberModels,
    Count
};

enum class KeyLevel { TopLevel, Faction };

struct ConfigKey {
    ConfigKeyId id;
    const char* name;
    KeyLevel level;
    const char* is;       // what a single value must be; nullptr for a list
    const char* instead;  // a list's: what the load does when it is not an array (or, "Factions", empty)
};

const ConfigKey& KeyOf(ConfigKeyId id);
// The row of the key with exactly this name, or nullptr.
const ConfigKey* FindConfigKey(const std::string& name);
// Every row, in the load's order.
const ConfigKey* ConfigKeysBegin();
const ConfigKey* ConfigKeysEnd();
