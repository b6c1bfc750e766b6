// File names reach the program as UTF-8 (on Windows the command line is converted to it). Opening them
// through std::filesystem makes a name with spaces or non-ASCII characters work on Windows as well as on
// Linux.
#pragma once
#include <filesystem>
#include <string>

inline std::filesystem::path PathFromUtf8(const std::string& name) {
    return std::filesystem::u8path(name);
}
