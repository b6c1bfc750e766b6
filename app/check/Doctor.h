// skirmora-sim doctor: looks at a folder as the game's and says, in plain words and with what to do, what
// stands between the player and the riot: the game's edition, the hook and its ASI loader, Skirmora.asi, the
// config (checked as the check command checks it), the folder's path and the game's own logs. It only reads:
// it never creates, changes or moves a file.
#pragma once
#include <ostream>
#include <string>

// Exit statuses of the examination; 3 (CheckCannotRun) when the folder cannot be listed or the report not
// written.
constexpr int DoctorSound = 0;     // nothing stands in the way of the riot (notes aside)
constexpr int DoctorProblems = 1;  // something does: the report says what, and what to do

int ExamineGameFolder(const std::string& folder, std::ostream& out, std::ostream& err);

// Why the game never reads a config file of this name (a name without its folder); "" for
// Skirmora_config.txt.
std::string ConfigNameProblem(const std::string& name);
