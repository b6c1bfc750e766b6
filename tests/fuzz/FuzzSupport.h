#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Writes the bytes as the config file and returns its path, for Settings.ConfigFileName.
const std::string& WriteConfigFile(const uint8_t* data, size_t size);
// Stops the process with a message: libFuzzer reports it as a crash with the input that caused it.
[[noreturn]] void FuzzFailure(const std::string& message);
