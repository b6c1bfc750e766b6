// The lines of Skirmora.log that skirmora-sim doctor reads back. The script writes them with these words and
// the doctor finds them by the same ones, so that the two cannot drift apart.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include <fmt/format.h>

// Every line starts with the local time: "[20:11:51.250] ".
constexpr std::size_t LogTimeSize = 15;

// The first line of a start: "Skirmora 0.2.0 started on 2026-12-10; this log ...". A log of an older Skirmora
// says "Skirmora 0.1.0 started; this log ...", without the date.
constexpr char LogStartBegin[] = "Skirmora ";
constexpr char LogStartDate[] = " started on ";
constexpr char LogStartEnd[] = "; this log is written anew at every start of the game.";
constexpr char LogConfigFile[] = "Config file: ";
constexpr char LogLogFile[] = "Log file: ";
constexpr char LogNotBeside[] = " (not beside the config: ";
constexpr char LogLoadAtStart[] = "Load at the start: ";
constexpr char LogInForce[] = "In force: ";
constexpr char LogEnabled[] = " pressed: Skirmora enabled";
constexpr char LogFull[] = "The log is full (1 MiB): nothing more is written until the game starts again.";

// date: yyyymmdd, as LocalDate() gives it.
inline std::string LogStartLine(const std::string& version, uint32_t date) {
    return fmt::format("{}{}{}{:04}-{:02}-{:02}{}", LogStartBegin, version, LogStartDate, date / 10000,
                       date / 100 % 100, date % 100, LogStartEnd);
}

// The version and date ("2026-12-10"; "" in an older log) of a start line without its time; false when the
// line is no start line.
inline bool ReadLogStartLine(const std::string& line, std::string& version, std::string& date) {
    const std::size_t begin = sizeof LogStartBegin - 1, end = line.find(LogStartEnd);
    if (line.compare(0, begin, LogStartBegin) != 0 || end == std::string::npos) return false;
    const std::size_t on = line.find(LogStartDate, begin);
    const std::size_t started = on < end ? on : line.rfind(" started", end);
    if (started == std::string::npos || started < begin) return false;
    version = line.substr(begin, started - begin);
    date = on < end ? line.substr(on + sizeof LogStartDate - 1, end - on - (sizeof LogStartDate - 1)) : "";
    return true;
}
