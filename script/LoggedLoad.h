// The config load as the script makes it: the load itself and, while the log is open, the check's account of
// it in the check's own words, and what is in force after it.
#pragma once
#include <cstddef>
#include <cstdint>

enum class LoadCause { Start, Press };

// key: the key whose press made the load (the one in force before it).
void LoadAndLog(LoadCause cause, int32_t key = 0);

// A larger file is loaded but not checked in the game: checking it would hold the frame; skirmora-sim check
// tells what the load made of it.
constexpr std::size_t LargestCheckedInGame = std::size_t{16} << 10;

// The last load the log told in full: its file's bytes by their hash.
struct LoggedLoadRecord {
    bool Told = false;
    uint64_t Hash = 0;
    std::size_t Size = 0;
};
