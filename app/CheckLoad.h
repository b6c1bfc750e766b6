// The check's account of one load: the real loader runs on the file's bytes in a fresh simulated game and
// tells each step (config/LoadObserver.h); this turns its steps, the state it left and the check's own
// reading of the text into findings.
#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "riot/Roster.h"

using Names = std::vector<std::string>;

// In the order the report shows them.
enum class FindingKind {
    ParseError,      // where the parser stopped, and why
    Ended,           // where an exception ended the load, why, and what that leaves (a line each)
    ChangedNothing,  // the key, or part of the file, had no effect
    UnknownName,     // a name the game does not have, a slip away from one it has
    NotRead,         // the load ended before it
    Warning,         // it took effect, but probably not as meant
    Note,            // a name far from every one the game has: maybe an add-on
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

struct ShownFaction {
    Faction faction;
    std::string group;      // "" for none, "RIOTER", or the name the load gave it ("0", "1", ...)
    std::ptrdiff_t offset;  // of its entry; -1 for the default faction
};

struct CheckedLoad {
    std::string text;    // what the loader parsed: the bytes after a byte-order mark
    bool empty = false;  // no value at all: only blanks and comments
    bool notJson = false;
    std::map<std::string, SettingSource> sources;  // by setting
    std::string weaponsKey;  // the key the shared list came from, "" when the file did not replace it
    std::ptrdiff_t weaponsOffset = -1;
    Names thrown;  // the thrown weapons the end of the load takes out of the shared list (or, ended, leaves)
    // What the load left.
    SettingsRecord settings{};
    Names weapons;
    std::vector<ShownFaction> factions;
    std::vector<Finding> findings;

    bool Has(FindingKind kind) const;
};

// Runs the real load of the bytes in a fresh simulated game (none may be running) and explains it.
CheckedLoad CheckLoad(const std::string& bytes);

// The exit status of a checked load (app/Check.h), and its report.
int StatusOf(const CheckedLoad& checked);
std::string ReportOf(const std::string& name, const CheckedLoad& checked, int status);
