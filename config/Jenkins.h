#pragma once
#include <cstdint>
#include <string_view>

// The game's name hash: Jenkins one-at-a-time over the lower-cased text.
uint32_t JenkinsHash(std::string_view text);
