// The config file's keys, one row each, in the order the load reads them. Each row carries all there is to
// know of its key: its name and level, how the load reads it (and so what a form offers for it), the setting
// it sets and its built-in value, its line in the check's "Settings in force", its row of README's key table
// and its line of documentation (the example config's comment on it). The loader reads every key by its row,
// the check explains it from the same row, and tests hold README and the example to the rows.
#pragma once
#include <cstdint>
#include <string>

#include "config/Settings.h"

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

// How the load reads a value of the key.
enum class KeyKind {
    KeyName,      // a key name "F1" to "F8"; any other value changes nothing
    WholeNumber,  // a number in the 32-bit range
    TrueFalse,    // true or false, nothing else
    Number,       // any number
    SwitchOn,     // a value that counts as true switches it on; nothing switches it off
    WeaponNames,  // an array of weapon names
    ModelNames,   // an array of ped model names
    FactionList,  // an array of faction objects
};

struct ConfigKey {
    ConfigKeyId id;
    const char* name;
    KeyLevel level;
    KeyKind kind;
    const char* is;       // what a single value must be; nullptr for a list
    const char* instead;  // a list's: what the load does when it is not an array (or, "Factions", empty)
    // Its row of README's key table: what it accepts, its built-in value, what a value of another kind does.
    const char* accepted;
    const char* builtInText;
    const char* otherwise;
    const char* doc;      // its documentation, as the example config's comment above it says it
    const char* warning;  // what a form says beside it when its effect outlasts the file; nullptr when none
    // The setting a top-level single value sets (one of these), and its built-in value.
    int32_t SettingsRecord::*whole;
    bool SettingsRecord::*flag;
    double SettingsRecord::*number;
    double builtIn;
    // Its line in the check's "Settings in force": what the value in force means, after "; " (or "").
    std::string (*means)(const SettingsRecord& settings);
};

const ConfigKey& KeyOf(ConfigKeyId id);
// The row of the key with exactly this name, or nullptr.
const ConfigKey* FindConfigKey(const std::string& name);
// Every row, in the load's order.
const ConfigKey* ConfigKeysBegin();
const ConfigKey* ConfigKeysEnd();

// The settings of a top-level single value: the key's value in force, as the check shows it ("20", "true").
std::string SettingText(const ConfigKey& key, const SettingsRecord& settings);

// README's key table, made from the rows.
std::string KeyTableMarkdown();
