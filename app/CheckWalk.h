// The check's own reading of a config file: it walks the parsed document in the loader's order and predicts
// what each key does, so that the report can say why, and so that the prediction can be held against the real
// loader.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/Settings.h"

using Names = std::vector<std::string>;

// A relationship-group call of the load: a group created by name, or one removed by hash.
struct GroupCall {
    bool add = true;
    std::string name;   // of a created group
    uint32_t hash = 0;  // of a removed group (and, as the game returned it, of a created one)
};

struct FactionState {
    uint32_t MaxMembers = 0;
    bool WillAttackSelf = false;
    bool IsDefault = false;
    std::string group;  // "" for none, "RIOTER", or the name the loader gave it ("0", "1", ...)
    uint32_t GroupHash = 0;
    Names Weapons;
    Names MemberModels;
};

// What a load leaves: the settings, the shared weapons, the factions and the group calls it made.
struct LoadState {
    SettingsRecord settings{};
    Names weapons;
    std::vector<FactionState> factions;
    std::vector<GroupCall> groupCalls;
};

enum class FindingKind {
    ChangedNothing,  // the key, or part of the file, had no effect
    Warning,         // it took effect, but probably not as meant
    NotRead,         // the load ended before it
};

struct Finding {
    FindingKind kind;
    std::ptrdiff_t offset;  // into the parsed text, -1 when none
    std::string message;
};

// Where a setting's value in force came from.
struct SettingSource {
    bool fromFile = false;
    std::ptrdiff_t offset = -1;
    std::string note;  // why the file's value did not count, or what to know about it
};

enum class LoadEnd {
    Completed,
    InParse,          // the reader gave up (nested too deeply): nothing changed
    AtDocument,       // the document is not an object: nothing changed
    InSettings,       // a setting ends it: the settings before it stay, factions not rebuilt
    InSharedWeapons,  // an entry of the shared weapon array
    InFactions,       // a faction entry or one of its keys
};

struct WalkResult {
    LoadState predicted;
    LoadEnd end = LoadEnd::Completed;
    std::ptrdiff_t endOffset = -1;
    std::string endWhy;      // e.g. "Factions[1].MaxMembers" is a text ("4"): a cap must be a number
    std::string endFaction;  // for an end inside a faction: what became of that faction
    bool parseError = false;
    std::ptrdiff_t parseOffset = -1;
    std::string parseMessage;
    bool empty = false;      // no value at all: only blanks and comments
    std::string weaponsKey;  // the key the shared list came from, "" when the file did not replace it
    std::ptrdiff_t weaponsOffset = -1;
    Names thrownRemoved;  // what the end of a completed load takes out of the shared list
    SettingSource enableKey, maxRioters, disableCops, pedAccuracy, riotersOnlyAttackPlayer;
    std::vector<std::ptrdiff_t> factionOffsets;  // per predicted faction, -1 for the default one
    std::vector<Finding> findings;
};

// The text is what the loader parses (the byte-order mark already taken off). before is the state the load
// starts from; rioterGroup the value of RioterGroup at the load.
WalkResult WalkConfig(const std::string& text, const LoadState& before, uint32_t rioterGroup);

// The text the loader parses from the file's bytes: a leading byte-order mark is skipped.
std::string ParsedText(const std::string& bytes);
