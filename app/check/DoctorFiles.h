// What the install check reads in the files it finds: whether a file that should be Skirmora.asi is a 64-bit
// Windows DLL, and the version its version resource gives.
#pragma once
#include <string>

struct ProgramFile {
    std::string problem;  // "" for a 64-bit DLL, else what it is instead: "is empty (0 bytes)", ...
    std::string version;  // "0.1.0", from its version resource; "" when it has none
};

ProgramFile ExamineProgram(const std::string& bytes);
