// skirmora-sim check: runs the real loader on a config file in a fresh simulated game and explains, in plain
// words, what the load did with every key.
#pragma once
#include <iostream>
#include <string>

// Exit statuses of the check.
constexpr int CheckLoaded = 0;       // the file loads completely, every key applied
constexpr int CheckKeysIgnored = 1;  // it loads, but some keys changed nothing, a weapon or model name is not
                                     // the game's, or a parse error cut it short
constexpr int CheckLoadEnded = 2;    // the load ended early at a value of the wrong kind
constexpr int CheckCannotRun = 3;    // the input could not be read, or the report not written

// Checks the file at path, or standard input (read from in) for "-"; writes the report to out and errors to
// err, and returns one of the statuses above.
int CheckConfigFile(const std::string& path, std::ostream& out, std::ostream& err,
                    std::istream& in = std::cin);

// Writes a report to out; says on err when it cannot, and returns false then.
bool WriteReport(const std::string& text, std::ostream& out, std::ostream& err);

// The text without its " (exit status N)": a window that closes with the program has no use for it.
std::string WithoutExitStatus(std::string text);
