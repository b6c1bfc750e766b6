#include "script/ScriptLog.h"

#include <fmt/format.h>

#include "config/Settings.h"
#include "config/Words.h"
#include "host/Seam.h"
#include "riot/RiotState.h"
#include "script/ScriptLogLines.h"
#include "script/ScriptState.h"

namespace {

constexpr std::size_t FullLineSize = sizeof LogFull;  // with its line end

std::string TimeOfDay() {
    const uint32_t ms = LocalTimeOfDayMs() % 86400000u;
    return fmt::format("[{:02}:{:02}:{:02}.{:03}] ", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                       ms % 1000);
}

// The lines of text after the time, as many as the limit leaves room for, then the line saying it is full.
std::string Stamped(const std::string& text, uint64_t written, bool& full) {
    const std::string time = TimeOfDay();
    std::string bytes;
    for (std::size_t k = 0; k < text.size();) {
        std::size_t end = text.find('\n', k);
        if (end == std::string::npos) end = text.size();
        const std::size_t length = end - k;
        if (length > 0) {
            if (written + bytes.size() + 2 * time.size() + length + 1 + FullLineSize > LogLimit) {
                full = true;
                return bytes + time + LogFull + "\n";
            }
            bytes.append(time).append(text, k, length).append(1, '\n');
        }
        k = end + 1;
    }
    return bytes;
}

}  // namespace

void StartLog() {
    ScriptState.Log = ScriptLogRecord();
    try {
        std::string path, note;
        if (!OpenLog(Riot().Settings.ConfigFileName, path, note)) return;
        ScriptState.Log.Open = true;
        const std::string config = Riot().Settings.ConfigFileName.empty()
                                       ? "none (built-in values)"
                                       : FullPath(Riot().Settings.ConfigFileName);
        LogLines(fmt::format("{}\n{}{}\n{}{}{}\n", LogStartLine(SKIRMORA_VERSION, LocalDate()), LogConfigFile,
                             config, LogLogFile, path, note.empty() ? "" : LogNotBeside + note + ")"));
    } catch (...) {
        ScriptState.Log.Open = false;
    }
}

bool LogOpen() {
    return ScriptState.Log.Open && !ScriptState.Log.Full;
}

void LogLines(const std::string& text) {
    ScriptLogRecord& log = ScriptState.Log;
    if (!LogOpen()) return;
    try {
        const std::string bytes = Stamped(Printable(text), log.Written, log.Full);
        log.Written += bytes.size();
        if (!WriteLog(bytes)) log.Open = false;
    } catch (...) {
        log.Open = false;
    }
}
