// Text tools: how far apart two words are, which known word a misspelt one most likely meant, and text made
// safe for a terminal or a log.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text with ASCII letters in lower case.
std::string Lower(std::string text);

// Edit distance with adjacent transpositions, letters compared without regard to case, so "MaxRoiters" is
// one step from "maxrioters".
std::size_t EditDistance(const std::string& a, const std::string& b);

// The known word nearest to word, letters compared without regard to case, when it is at most maxDistance
// edits away; "" when none is that close. Of equally near words, the first.
std::string Suggest(const std::string& word, const std::vector<std::string>& known, std::size_t maxDistance);
std::string Suggest(const std::string& word, const char* const* known, std::size_t count,
                    std::size_t maxDistance);

// Text fit for a terminal: valid UTF-8 and line ends as they are, every other control byte and every byte
// that is not valid UTF-8 as \xNN.
std::string Printable(const std::string& text);

// The length of the valid UTF-8 sequence at k, or 0 (overlong forms, surrogates and code points past U+10FFFF
// are not valid, nor a sequence cut short).
std::size_t Utf8Length(std::string_view text, std::size_t k);
// The code point of the valid sequence of that length at k.
uint32_t Utf8CodePoint(std::string_view text, std::size_t k, std::size_t length);
