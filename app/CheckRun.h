// The check in parts: read the file, walk it, run the real loader on it in a fresh simulated game, compare
// the two and write the report. CheckConfigFile (app/Check.h) puts them together.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "app/CheckWalk.h"

struct CheckOutcome {
    int status = 0;
    std::string readError;  // set when the file could not be read; nothing else is then filled in
    std::string text;       // what the loader parses: the file without its byte-order mark
    WalkResult walk;
    LoadState observed;                      // what the real loader left
    std::vector<std::string> disagreements;  // where the walk's prediction and the loader differ
};

// Runs the whole check. loader is the load to hold the prediction against: the script's LoadConfig, or in
// tests a stand-in that does something else.
CheckOutcome RunCheck(const std::string& path, void (*loader)());

// Each difference between a predicted and an observed load, in words; empty when they agree.
std::vector<std::string> CompareLoads(const LoadState& predicted, const LoadState& observed);

// The status of an outcome, from its walk and its disagreements.
int StatusOf(const CheckOutcome& outcome);

void WriteReport(const std::string& path, const CheckOutcome& outcome, std::ostream& out);
