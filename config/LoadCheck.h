// The check's account of one load: the loader's outcome on a file's bytes (config/LoadConfig.h), with the
// steps it read, turned into findings, together with the check's own reading of the text. The game's log and
// skirmora-sim check tell the same findings in the same words (config/LoadVerdict.h).
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "config/LoadConfig.h"

// In the order the report shows them.
enum class FindingKind {
    ParseError,      // where the parser stopped, and why
    Ended,           // where an exception ended the load, why, and what that leaves
    ChangedNothing,  // the key, or part of the file, had no effect
    UnknownName,     // a name the game does not have, a slip away from one it has (or no name at all)
    Thrown,          // a thrown weapon left in the shared list, written in another case
    Note,            // a name far from every one the game has: maybe an add-on
};

// More factions than this get a note: the script's time they cost, per game second, as the simulator measures
// it with one-rioter factions (BENCHMARKS.md).
constexpr std::size_t ManyFactionsFrom = 1000;
constexpr double ScriptMsPerFactionSecond = 0.015;

// A top-level key the load never reads and the check takes as harmless: the schema a text editor reads.
constexpr const char* SchemaKey = "$schema";

struct Finding {
    FindingKind kind;
    std::ptrdiff_t offset;  // into the parsed text; -1 for a line that explains the ones above
    std::string at;         // "line 3, column 18", "line 3" or ""
    std::string message;
};

struct CheckedLoad {
    LoadOutcome load;                   // what the loader decided
    std::vector<std::size_t> factions;  // the factions in force after it: positions in load.Factions
    bool factionsKept = false;          // the load left the factions before it in force
    bool empty = false, notJson = false;
    bool namesNoted = false;                  // some name in the lists is not the game's
    std::map<std::string, std::string> from;  // where each setting in force came from, when not built in
    std::string weaponsFrom = "built-in";     // and the shared list
    std::vector<std::string> thrown;          // the thrown weapons the load takes out (or, ended, leaves)
    std::vector<std::string> entries;         // the line of each faction's entry
    std::vector<Finding> findings;            // in the order of the file; those without a place last
    std::vector<std::string> consequences;    // what the load means for the riot, first of all

    bool Has(FindingKind kind) const;
};

// Explains the load's outcome. False when the check could not follow the whole load (it ran out of memory):
// its findings are then incomplete. Nothing is thrown.
bool ExplainLoad(LoadOutcome outcome, CheckedLoad& checked);

// The note on the script's time that so many factions cost; "" for ManyFactionsFrom or fewer.
std::string ManyFactionsNote(std::size_t factions);

// The factions' caps in force after the load added up, and the most rioters they can hold at once.
uint64_t FactionCapsIn(const CheckedLoad& checked);
uint64_t MostRiotersIn(const CheckedLoad& checked);

// The group hash the game gives the group of that name (the game hashes names without regard to case).
uint32_t GroupHashOf(const std::string& name);
