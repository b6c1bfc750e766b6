// skirmora-sim check: runs the real loader on a config file in a fresh simulated game and explains, in plain
// words, what the load did with every key.
#pragma once
#include <functional>
#include <iostream>
#include <string>

#include "config/LoadVerdict.h"

// Exit statuses of the check: those of the load (config/LoadVerdict.h), and this one.
constexpr int CheckCannotRun = 3;  // the input could not be read, or the report not written

// Checks the file at path, or standard input (read from in) for "-"; writes the report to out and errors to
// err, and returns one of the statuses above.
int CheckConfigFile(const std::string& path, std::ostream& out, std::ostream& err,
                    std::istream& in = std::cin);

// Runs the real load of the bytes in a fresh simulated game (none may be running) and calls tell with what
// the check found and the load's status, while the state the load left stands; false, and no call, when the
// check ran out of memory.
bool CheckInFreshGame(const std::string& bytes, const std::function<void(const CheckedLoad&, int)>& tell);

// Runs the real load of the bytes in a fresh simulated game (none may be running) and returns its report;
// status receives the exit status (CheckCannotRun, and no report, when the check ran out of memory).
std::string CheckBytes(const std::string& name, const std::string& bytes, int& status);

// The report of a load just checked, while the state it left stands.
std::string ReportOf(const std::string& name, const CheckedLoad& checked, int status);

// Writes a report to out; says on err when it cannot, and returns false then.
bool WriteReport(const std::string& text, std::ostream& out, std::ostream& err);

// The text without its " (exit status N)": a window that closes with the program has no use for it.
std::string WithoutExitStatus(std::string text);
