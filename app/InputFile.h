// Reading the files the simulator's commands are given: whole, in binary, once, and never without limit.
#pragma once
#include <cstddef>
#include <iostream>
#include <string>

// No config file or scenario comes near this; a larger input is refused rather than read on.
constexpr std::size_t InputLimit = std::size_t{64} << 20;

// Reads the file at path into bytes, or, when in is given and path is "-", standard input from in; says what
// went wrong, or "".
std::string ReadInput(const std::string& path, std::string& bytes, std::istream* in = nullptr);

// Reads the last part of the regular file at path into bytes: at most limit bytes, from the start of a line
// when the file is longer (a log of gigabytes is read no further than that). Says what went wrong, or "".
std::string ReadTail(const std::string& path, std::string& bytes, std::size_t limit);
