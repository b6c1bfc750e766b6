// Skirmora.log: what the script made of the config and what the riot did, for the player and whoever helps
// them. It is written beside the config (the binding may put it elsewhere), anew at every start of the game,
// each line after the local time, at most 1 MiB a session. Nothing here throws or waits for the game: a log
// that fails is closed and the game goes on as without one.
#pragma once
#include <cstdint>
#include <string>

struct ScriptLogRecord {
    bool Open = false;
    bool Full = false;
    uint64_t Written = 0;  // bytes, this session
};

// Opens the log for this session and writes its first lines: the version, the config's path, the log's.
void StartLog();
bool LogOpen();
// Writes each line of text after the time; blank lines are left out, and other control bytes than the line
// ends, and bytes that are not UTF-8, are written as \xNN.
void LogLines(const std::string& text);

// The most a session writes, the last line saying that the log is full included.
constexpr uint64_t LogLimit = uint64_t{1} << 20;
