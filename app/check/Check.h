// skirmora-sim check: runs the real loader on a config file and explains, in plain words, what the load did
// with every key (config/CheckReport.h).
#pragma once
#include <functional>
#include <iostream>
#include <string>

#include "config/CheckReport.h"
#include "config/LoadVerdict.h"

// Checks the file at path, or standard input (read from in) for "-"; writes the report to out and errors to
// err, and returns one of the statuses above.
int CheckConfigFile(const std::string& path, std::ostream& out, std::ostream& err,
                    std::istream& in = std::cin);

// Runs the real load of the bytes as in a game just started and calls tell with what the check found and the
// load's status; false, and no call, when the check ran out of memory.
bool CheckInFreshGame(const std::string& bytes, const std::function<void(const CheckedLoad&, int)>& tell);

// The report of the load of the bytes; status receives the exit status (CheckCannotRun, and no report, when
// the check ran out of memory).
std::string CheckBytes(const std::string& name, const std::string& bytes, int& status);

// Writes a report to out; says on err when it cannot, and returns false then.
bool WriteReport(const std::string& text, std::ostream& out, std::ostream& err);

// The text without its " (exit status N)": a window that closes with the program has no use for it.
std::string WithoutExitStatus(std::string text);
