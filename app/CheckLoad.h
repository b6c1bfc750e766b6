// The check's account of one load: the real loader runs on the file's bytes in a fresh simulated game and
// tells each step (config/LoadObserver.h); this turns its steps and the check's own reading of the text into
// findings, and the report tells them with the state the load left.
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
    std::map<std::string, std::string> from;  // where each setting in force came from, when not built in
    std::string weaponsFrom = "built-in";     // and the shared list
    std::vector<std::string> thrown;          // the thrown weapons the load takes out (or, ended, leaves)
    std::map<uint32_t, std::string> groups;   // the names of the relationship groups, by hash
    std::vector<std::string> entries;         // the line of each faction's entry
    std::vector<Finding> findings;            // in the order of the file; those without a place last

    bool Has(FindingKind kind) const;
};

// Runs the real load of the bytes in a fresh simulated game (none may be running) and returns its report;
// status receives the exit status (app/Check.h).
std::string CheckBytes(const std::string& name, const std::string& bytes, int& status);

// The report and the exit status of a load just checked, while the state it left stands.
std::string ReportOf(const std::string& name, const CheckedLoad& checked, int status);
int StatusOf(const CheckedLoad& checked);
