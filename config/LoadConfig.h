// The configuration load as a value: given the config file's bytes and the values in force, what the load
// decides. It makes no game call and changes nothing; the script carries out what it decided
// (script/ApplyLoad.h), and the check explains it (config/LoadCheck.h). Never throws: a value of the wrong
// kind ends the load where it stands, and what was decided before it stays decided.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

#include "config/ConfigKeys.h"
#include "config/Settings.h"
#include "config/WeaponLists.h"

// What a load starts from: the values an earlier load left, or the built-in ones.
struct LoadBasis {
    SettingsRecord Settings = BuiltInSettings();
    std::vector<std::string> SharedWeaponList = BuiltInWeaponList();
};

// A faction as the load builds it. Its relationship group is the game's to make: the script creates the
// group named GroupName (when not empty) and gives the faction its hash.
struct FactionPlan {
    uint32_t MaxMembers = 0;
    bool WillAttackSelf = false;
    bool IsDefault = false;        // the file defines no factions
    bool UsesRioterGroup = false;  // the default faction while every rioter fights only the player
    std::string GroupName;         // "0", "1", ... by position; "" for none of its own
    std::vector<std::string> MemberModels;
    std::vector<std::string> Weapons;
    std::ptrdiff_t EntryOffset = -1;  // where its entry starts in the text; -1 for the default faction
};

// What the script does to the game, in this order.
enum class LoadActionKind {
    LetGoFactions,  // remove the groups of the factions in force, let their rioters go, empty the list
    CreateGroup,    // create the group of Factions[faction]
    AddFaction,     // append Factions[faction] to the list
};

struct LoadAction {
    LoadActionKind kind;
    std::size_t faction = 0;
};

// One key the load read: where, what it met, and whether it took effect. A list's step comes before its
// entries are read.
struct LoadStep {
    ConfigKeyId key;
    std::string object;  // the object read from: "" for the document, "Factions[1]" for an entry
    bool present = false;
    bool applied = false;
};

// Where the load ended, when a value of the wrong kind (or the reader) ended it.
struct LoadEnd {
    bool ended = false;
    std::string path;       // the value read last: "Factions[1].MaxMembers", "" for the document itself
    bool inReader = false;  // the reader gave up before there was a document (nesting too deep)
    std::string what;       // the exception's words
};

struct LoadOutcome {
    std::string text;                 // what the reader parsed: the bytes after a byte-order mark
    Json::Value document;             // as the reader built it, offsets kept
    std::ptrdiff_t errorOffset = -1;  // the reader's first complaint, -1 when none
    std::string error;
    SettingsRecord Settings;  // in force after the load
    std::vector<std::string> SharedWeaponList;
    std::vector<std::string> SharedBeforeThrowables;  // the list when the load read "Factions"
    bool FactionsRebuilt = false;                     // false: the factions in force stay
    std::vector<FactionPlan> Factions;                // every faction the load started, in order
    std::vector<LoadAction> Actions;
    std::vector<LoadStep> Steps;
    LoadEnd End;
};

// Loads the bytes of a config file over the values in force.
LoadOutcome DecideLoad(const std::string& bytes, const LoadBasis& inForce);

// Reads the whole file at the UTF-8 path into bytes. 0, or when it could not be opened (bytes empty) the
// system's error number (ENOENT: there is no such file).
int ReadConfigFile(const std::string& path, std::string& bytes);

// The part of a file's bytes that the loader parses: all of them but a leading UTF-8 byte-order mark.
std::size_t ConfigTextStart(const std::string& bytes);
