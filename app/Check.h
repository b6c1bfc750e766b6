// skirmora-sim check: runs the real loader on a config file in a fresh simulated game and explains, in plain
// words, what the load did with every key.
#pragma once
#include <ostream>
#include <string>

// Exit statuses of the check.
constexpr int CheckLoaded = 0;       // the file loads completely, every key applied
constexpr int CheckKeysIgnored = 1;  // it loads, but some keys changed nothing, or a parse error cut it short
constexpr int CheckLoadEnded = 2;    // the load ended early at a value of the wrong kind
constexpr int CheckCannotRun = 3;    // the file could not be read: nothing was checked
constexpr int CheckDisagreement = 4;  // this check's reading of the file and the real loader disagree (a bug)

// Writes the report to out (errors such as an unreadable file to err) and returns one of the statuses above.
int CheckConfigFile(const std::string& path, std::ostream& out, std::ostream& err);
