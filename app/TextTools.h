// Text tools the simulator's commands share: text wrapped for a console window, and (config/Words.h) text
// made safe for a terminal and which known word a misspelt one most likely meant.
#pragma once
#include <cstddef>
#include <string>

#include "config/Words.h"

// Every line longer than width characters broken at blanks, each further piece indented two more than the
// line it comes from; a word longer than a line is cut. Width 0 leaves the text as it is.
std::string WrapLines(const std::string& text, std::size_t width);
