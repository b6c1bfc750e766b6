#include "app/check/GameLogs.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <fmt/format.h>

#include "app/InputFile.h"
#include "app/TextTools.h"
#include "app/Utf8Path.h"

namespace {

constexpr std::size_t LogTail = std::size_t{4}
                                << 20;  // Skirmora.log stops at 1 MiB; the hook's logs are smaller

const char HookPage[] = "http://www.dev-c.com/gtav/scripthookv/";

bool Says(const std::string& line, const char* words) {
    return Lower(line).find(words) != std::string::npos;
}

// The lines of a log's last part, or why it cannot be read.
std::string ReadLog(const std::string& path, std::vector<std::string>& lines) {
    std::string bytes;
    const std::string error = ReadTail(path, bytes, LogTail);
    if (!error.empty()) return error;
    if (bytes.find('\0') != std::string::npos) return "it holds bytes that are not text (UTF-16 or binary)";
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::size_t cr = end > start && bytes[end - 1] == '\r' ? 1 : 0;  // a Windows line end
        lines.push_back(Printable(bytes.substr(start, end - start - cr)));
        start = end + 1;
    }
    return "";
}

std::string LocalAppData() {
#ifdef _WIN32
    const wchar_t* value = _wgetenv(L"LOCALAPPDATA");
    return value ? std::filesystem::path(value).u8string() : "";
#else
    const char* value = std::getenv("LOCALAPPDATA");
    return value ? value : "";
#endif
}

// The folder part of a Windows or Linux path, in lower case with one kind of separator, for comparing.
std::string FolderKey(std::string path, bool file) {
    std::replace(path.begin(), path.end(), '\\', '/');
    if (file) path.erase(std::min(path.rfind('/'), path.size()));
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return Lower(path);
}

class LogReader {
  public:
    LogReader(const FolderListing& folder, const std::string& absolute, const std::string& script)
        : folder_(folder), absolute_(absolute), script_(script) {}

    GameLogs Read() {
        Hook();
        Loader();
        Script();
        return std::move(logs_);
    }

  private:
    const FolderListing& folder_;
    const std::string absolute_, script_;
    GameLogs logs_;
    bool registered_ = false, started_ = false;

    void Add(Level level, std::string title, std::string detail) {
        logs_.found.push_back({level, std::move(title), std::move(detail)});
    }
    // Opens the log called name in the game's folder; false when there is none or it cannot be read.
    bool Open(const std::string& name, std::vector<std::string>& lines) {
        const std::string file = folder_.File(name);
        if (file.empty()) return false;
        const std::string error = ReadLog(folder_.Join(file), lines);
        if (!error.empty()) logs_.lines.push_back(fmt::format("{}: not read: {}", file, error));
        return error.empty();
    }
    void Hook();
    void HookVerdict(const std::string& log);
    void Loader();
    void Script();
    void ScriptLog(const std::string& name, const std::vector<std::string>& lines);
};

// ScriptHookV.log has no documented format. Public logs show lines such as these, which are matched loosely
// (letters in any case, the words anywhere in the line):
//   // GTA V SCRIPT HOOK (build Jul 27 2022, v1.0.2699.0)
//   [19:54:31] INIT: Success, game version is VER_1_0_2699_0_STEAM
//   [19:54:31] INIT: Registering script 'Skirmora.asi' (0x00007FFC47631480)
//   [19:55:16] CORE: Launching main() for 'Skirmora.asi' (0x00007FFC47631480), id 34
//   [00:58:03] CORE: An exception occurred while executing 'Skirmora.asi' (0x00007FFEA4E6A2E0), id 40
//   FATAL: Unknown game version
void LogReader::Hook() {
    std::vector<std::string> lines;
    if (!Open("ScriptHookV.log", lines)) return;
    // A log of several starts: the last one counts, with the comment lines that head it.
    const auto started = std::find_if(lines.rbegin(), lines.rend(),
                                      [](const std::string& line) { return Says(line, "init: started"); });
    auto line = started == lines.rend() ? lines.begin() : std::prev(started.base());
    while (line != lines.begin() && std::prev(line)->rfind("//", 0) == 0)
        --line;
    std::string hook, version, exception, fatal;
    for (; line != lines.end(); ++line) {
        const std::size_t v = line->rfind(" v"), close = line->rfind(')');
        if (Says(*line, "script hook (build") && v != std::string::npos && close > v)
            hook = line->substr(v + 1, close - v - 1);  // "v1.0.2699.0": the newest game version it knows
        const std::size_t is = Lower(*line).find("game version is ");
        if (is != std::string::npos) version = line->substr(is + 16);
        const bool ours = Says(*line, "skirmora.asi");
        registered_ = registered_ || (ours && Says(*line, "regist"));
        started_ = started_ || (ours && (Says(*line, "launching") || Says(*line, "started thread")));
        if (ours && Says(*line, "exception")) exception = *line;
        if (Says(*line, "fatal")) fatal = *line;
    }
    std::string said = version.empty() ? "no game version in it" : "game version " + version;
    if (!hook.empty()) said = "ScriptHookV " + hook + ", " + said;
    said += registered_
                ? started_ ? "; it loaded Skirmora.asi and started it"
                           : "; it loaded Skirmora.asi but never started it (scripts start with story mode)"
                : "; Skirmora.asi is not in it";
    logs_.lines.push_back("ScriptHookV.log: " + said);
    if (!fatal.empty())
        Add(Level::Problem, "ScriptHookV stopped at the game's last start",
            fmt::format(
                "ScriptHookV.log says \"{}\". Most often the game was updated and ScriptHookV was not: "
                "take the ScriptHookV release made for your game version from its author's page, {} "
                "(after a game update it may take some days to come).",
                fatal, HookPage));
    if (!exception.empty())
        Add(Level::Problem, "Skirmora.asi failed in the game",
            fmt::format(
                "ScriptHookV.log says \"{}\". Please send ScriptHookV.log, Skirmora.log and this report "
                "to Skirmora's developers.",
                exception));
    if (fatal.empty()) HookVerdict(folder_.File("ScriptHookV.log"));
}

// When the hook did not load a Skirmora.asi that is here: new since that start, or not loaded.
void LogReader::HookVerdict(const std::string& log) {
    if (registered_ || script_.empty()) return;
    std::error_code error;
    const auto scriptTime = std::filesystem::last_write_time(PathFromUtf8(folder_.Join(script_)), error);
    const auto logTime = std::filesystem::last_write_time(PathFromUtf8(folder_.Join(log)), error);
    if (!error && scriptTime > logTime)
        Add(Level::Note, "Skirmora.asi came after the game's last start",
            "The logs are of an earlier start: start the game to try Skirmora.");
    else
        Add(Level::Problem, "The game did not load Skirmora.asi at its last start",
            "ScriptHookV.log does not list it, so the ASI loader did not load it: the other findings say "
            "why, "
            "and asiloader.log may too.");
}

// asiloader.log, as the hook's ASI loader writes it: `ASI: Loading "C:\...\Skirmora.asi"`, then
// `"Skirmora.asi" => 00007FF91E1B0000` or `"Skirmora.asi" failed to load`. Matched loosely as above.
void LogReader::Loader() {
    std::vector<std::string> lines;
    if (!Open("asiloader.log", lines)) return;
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
        return Says(line, "\"skirmora.asi\"") && (Says(line, "=>") || Says(line, "failed"));
    });
    if (last == lines.rend()) {
        logs_.lines.push_back("asiloader.log: Skirmora.asi is not in it");
    } else if (Says(*last, "failed")) {
        logs_.lines.push_back("asiloader.log: \"Skirmora.asi\" failed to load");
        Add(Level::Problem, "The ASI loader failed to load Skirmora.asi",
            "asiloader.log says \"Skirmora.asi\" failed to load: Windows could not load the file. It may be "
            "damaged (take it from the zip again) or held by an antivirus program; the Legacy edition's "
            "loader "
            "also fails in a folder whose path has letters outside ASCII.");
    } else {
        logs_.lines.push_back("asiloader.log: it loaded Skirmora.asi");
    }
}

void LogReader::Script() {
    std::vector<std::string> lines;
    if (Open("Skirmora.log", lines)) return ScriptLog("Skirmora.log", lines);
    if (!folder_.File("Skirmora.log").empty()) return;  // there, but not read: said so
    // Where the script writes its log when the game's folder refuses it; it names the config it read.
    const std::string local = LocalAppData();
    const std::string path =
        local.empty() ? "" : (PathFromUtf8(local) / "Skirmora" / "Skirmora.log").u8string();
    const auto config = [](const std::string& line) {
        return line.find("] Config file: ") != std::string::npos;
    };
    if (!path.empty() && ReadLog(path, lines).empty()) {
        const auto named = std::find_if(lines.begin(), lines.end(), config);
        if (named != lines.end() && FolderKey(named->substr(named->find("] Config file: ") + 15), true) ==
                                        FolderKey(absolute_, false))
            return ScriptLog(path, lines);
    }
    if (registered_)
        Add(Level::Problem, "Skirmora never ran at the game's last start",
            fmt::format(
                "ScriptHookV.log shows that the hook loaded Skirmora.asi{}, but Skirmora wrote no "
                "Skirmora.log, neither here nor in %LOCALAPPDATA%\\Skirmora. Please send ScriptHookV.log "
                "and this report to Skirmora's developers.",
                started_ ? " and started it" : " (it starts scripts once story mode has loaded)"));
}

// Skirmora.log: every line starts with the time, "[12:00:01.250] "; the last start's load of the config is
// its "Load at the start: " line and the check's findings up to the "In force: " line.
void LogReader::ScriptLog(const std::string& name, const std::vector<std::string>& lines) {
    std::vector<std::string> text;
    for (const std::string& line : lines) {
        const std::size_t time = line.rfind('[', 0) == 0 ? line.find("] ") : std::string::npos;
        text.push_back(time == std::string::npos ? line : line.substr(time + 2));
    }
    const auto started =
        std::find_if(text.begin(), text.end(), [](const std::string& l) { return Says(l, " started;"); });
    const std::size_t at = static_cast<std::size_t>(started - text.begin());
    logs_.lines.push_back(started == text.end()
                              ? name + ":"
                              : fmt::format("{}, of the start at {}:", name, lines[at].substr(1, 8)));
    const auto load = std::find_if(text.rbegin(), text.rend(), [](const std::string& l) {
        return l.rfind("Load at the start: ", 0) == 0;
    });
    for (auto line = load == text.rend() ? text.end() : std::prev(load.base()); line != text.end(); ++line) {
        logs_.lines.push_back("  " + *line);
        if (line->rfind("In force: ", 0) != 0) continue;
        const std::size_t key = line->find("EnableKey ");
        if (key != std::string::npos)
            logs_.key = line->substr(key + 10, line->find_first_of(" ,;", key + 10) - key - 10);
        break;
    }
    const auto enabled = std::count_if(text.begin(), text.end(),
                                       [](const std::string& l) { return Says(l, "skirmora enabled"); });
    logs_.lines.push_back(
        enabled ? fmt::format("  Skirmora was enabled {} time{} then", enabled, enabled == 1 ? "" : "s")
                : "  Skirmora was never enabled then");
    if (!enabled)
        Add(Level::Note, "Skirmora was never enabled at the game's last start",
            fmt::format("Press {} in story mode to start the riot.",
                        logs_.key.empty() ? "the toggle key" : logs_.key));
    for (const std::string& line : text) {
        const std::size_t elsewhere = line.find(" (not beside the config: ");
        if (line.rfind("Log file: ", 0) == 0 && elsewhere != std::string::npos)
            Add(Level::Note, "Skirmora.log is not in the game's folder",
                fmt::format("Skirmora wrote it to {} instead ({}", line.substr(10, elsewhere - 10),
                            line.substr(elsewhere + 25)));
        if (line.rfind("The log is full", 0) == 0)
            Add(Level::Note, "Skirmora.log is full",
                "It stopped at 1 MiB; the next start of the game begins it anew.");
    }
}

}  // namespace

GameLogs ReadGameLogs(const FolderListing& folder, const std::string& absolute, const std::string& script) {
    return LogReader(folder, absolute, script).Read();
}
