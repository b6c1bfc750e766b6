// skirmora-sim check's report on a config file: the load the game makes of it, as at a press of the toggle
// key in a game just started (the group "RIOTER" made, no faction yet, every setting built in), explained in
// plain words. Needs no game: it runs on what the load decides.
#pragma once
#include <string>

#include "config/LoadCheck.h"

// Exit statuses of the check: those of the load (config/LoadVerdict.h), and this one.
constexpr int CheckCannotRun = 3;  // the input could not be read, the report not written, or memory ran out

// Loads the bytes over the built-in values and explains the load in checked; false when memory ran out.
bool CheckLoadBytes(const std::string& bytes, CheckedLoad& checked);

// The whole report, its first line naming the file as name; status receives the exit status (CheckCannotRun,
// and no report, when memory ran out).
std::string CheckReport(const std::string& name, const std::string& bytes, int& status);

// The report of a load checked.
std::string ReportOf(const std::string& name, const CheckedLoad& checked, int status);
