#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Makes a private temporary directory the current one, once per process.
void EnterFuzzDirectory();
void WriteConfigFile(const uint8_t* data, size_t size);
// Stops the process with a message: libFuzzer reports it as a crash with the input that caused it.
[[noreturn]] void FuzzFailure(const std::string& message);
