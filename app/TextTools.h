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

// Every line longer than width characters broken at blanks, each further piece indented two more than the
// line it comes from; a word longer than a line is cut. Width 0 leaves the text as it is.
std::string WrapLines(const std::string& text, std::size_t width);
