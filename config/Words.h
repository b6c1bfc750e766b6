// How far apart two words are, and which known word a misspelt one most likely meant.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The text with ASCII letters in lower case.
std::string Lower(std::string text);

// Edit distance with adjacent transpositions, so "MaxRoiters" is one step from "MaxRioters".
std::size_t EditDistance(const std::string& a, const std::string& b);

// The known word nearest to word, letters compared without regard to case, when it is at most maxDistance
// edits away; "" when none is that close. Of equally near words, the first.
std::string Suggest(const std::string& word, const std::vector<std::string>& known, std::size_t maxDistance);
std::string Suggest(const std::string& word, const char* const* known, std::size_t count, std::size_t maxDistance);
