// Text tools the simulator's commands share: text made safe for a terminal, and (config/Words.h) which known
// word a misspelt one most likely meant.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "config/Words.h"

// Text fit for a terminal: valid UTF-8 and line ends as they are, every other control byte and every byte
// that is not valid UTF-8 as \xNN.
std::string Printable(const std::string& text);
