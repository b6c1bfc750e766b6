// The game's logs as text, whichever way the tool that wrote each encoded it: UTF-8 with or without a
// byte-order mark, UTF-16 (little-endian, as Windows writes it) with or without one, Windows or Unix line
// ends.
#pragma once
#include <string>
#include <vector>

// The lines of the log's last part (at most 4 MiB), as UTF-8 fit for a terminal; or why it cannot be read.
std::string ReadLogLines(const std::string& path, std::vector<std::string>& lines);
