// The check's account of one load: the real loader runs on a file's bytes and tells each step
// (config/LoadObserver.h); the check turns its steps and its own reading of the text into findings. The
// game's log and skirmora-sim check tell the same findings in the same words (config/LoadVerdict.h).
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// In the order the report shows them.
enum class FindingKind {
    ParseError,      // where the parser stopped, and why
    Ended,           // where an exception ended the load, why, and what that leaves
    ChangedNothing,  // the key, or part of the file, had no effect
    UnknownName,     // a name the game does not have, a slip away from one it has (or no name at all)
    Note,            // a name far from every one the game has: maybe an add-on
};

struct Finding {
    FindingKind kind;
    std::ptrdiff_t offset;  // into the parsed text; -1 for a line that explains the ones above
    std::string at;         // "line 3, column 18", "line 3" or ""
    std::string message;
};

struct CheckedLoad {
    std::string text;  // what the loader parsed: the bytes after a byte-order mark
    bool empty = false, notJson = false;
    bool namesNoted = false;                  // some name in the lists is not the game's
    std::map<std::string, std::string> from;  // where each setting in force came from, when not built in
    std::string weaponsFrom = "built-in";     // and the shared list
    std::vector<std::string> thrown;          // the thrown weapons the load takes out (or, ended, leaves)
    std::map<uint32_t, std::string> groups;   // the names of the relationship groups, by hash
    std::vector<std::string> entries;         // the line of each faction's entry
    std::vector<Finding> findings;            // in the order of the file; those without a place last

    bool Has(FindingKind kind) const;
};

// Loads the bytes as the game does, from the script's state as it stands, with the check listening, and
// explains the load in checked. False when the check could not follow the whole load (it ran out of memory):
// its findings are then incomplete. The load itself is the same with or without the check, and runs once;
// nothing is thrown.
bool CheckLoadOf(const std::string& bytes, CheckedLoad& checked);
