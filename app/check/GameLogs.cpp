#include "app/check/GameLogs.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include <fmt/format.h>

#include "app/TextTools.h"
#include "app/Utf8Path.h"
#include "app/check/GameLogsText.h"
#include "script/ScriptLogLines.h"

namespace {

const char HookPage[] = "http://www.dev-c.com/gtav/scripthookv/";

bool Says(const std::string& line, const char* words) {
    return Lower(line).find(words) != std::string::npos;
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

// The folder part of a Windows or Linux path, for comparing: lower case, one kind of separator, the drive
// left out (a log that Linux wrote, read under Wine, names the same folder without "Z:").
std::string FolderKey(std::string path, bool file) {
    std::replace(path.begin(), path.end(), '\\', '/');
    if (file) path.erase(std::min(path.rfind('/'), path.size()));
    if (path.size() >= 2 && path[1] == ':') path.erase(0, 2);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return Lower(path);
}

// A local moment in seconds since 1970 from "2026-12-10" and "20:11:51"; -1 when either does not parse.
int64_t LocalMoment(const std::string& date, const std::string& time) {
    std::tm at{};
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d", &at.tm_year, &at.tm_mon, &at.tm_mday) != 3 ||
        std::sscanf(time.c_str(), "%2d:%2d:%2d", &at.tm_hour, &at.tm_min, &at.tm_sec) != 3)
        return -1;
    at.tm_year -= 1900;
    at.tm_mon -= 1;
    at.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&at));
}

// The last moment at the local time of day "20:11:02" that is not after moment: the same day or the one
// before. -1 when the time does not parse.
int64_t LastTimeOfDay(int64_t moment, const std::string& time) {
    const std::time_t t = static_cast<std::time_t>(moment);
    std::tm day = *std::localtime(&t);
    if (std::sscanf(time.c_str(), "%2d:%2d:%2d", &day.tm_hour, &day.tm_min, &day.tm_sec) != 3) return -1;
    day.tm_isdst = -1;
    std::time_t at = std::mktime(&day);
    if (at > t) {
        day.tm_mday -= 1;
        at = std::mktime(&day);
    }
    return static_cast<int64_t>(at);
}

// "[20:11:02] INIT: ..." gives "20:11:02"; "" for a line without a time.
std::string TimeOf(const std::string& line) {
    return line.size() >= 10 && line[0] == '[' && line[3] == ':' && line[6] == ':' && line[9] == ']'
               ? line.substr(1, 8)
               : "";
}

// The name in single quotes: "Registering script 'NativeTrainer.asi' (0x...)" gives "NativeTrainer.asi".
std::string Quoted(const std::string& line) {
    const std::size_t open = line.find('\''), close = line.find('\'', open + 1);
    return close == std::string::npos ? "" : line.substr(open + 1, close - open - 1);
}

// What ScriptHookV.log says of the start it tells last.
struct HookStart {
    std::string hook, version, exception, fatal, at;
    std::vector<std::string> others;  // the other scripts it registered
    bool registered = false, started = false;
};

// ScriptHookV.log has no documented format. Lines such as these are matched loosely (letters in any case,
// the words anywhere in the line):
//   // GTA V SCRIPT HOOK (build Dec 10 2024, v1.0.3411.0)
//   [20:11:02] INIT: Started
//   [20:11:02] INIT: Success, game version is VER_1_0_3411_0_STEAM
//   [20:11:02] INIT: Registering script 'Skirmora.asi' (0x00007FFC47631480)
//   [20:11:51] CORE: Launching main() for 'Skirmora.asi' (0x00007FFC47631480), id 34
//   [21:43:12] CORE: An exception occurred while executing 'Skirmora.asi' (0x00007FFC47631480), id 34
//   [09:15:40] FATAL: Unknown game version, ...
// A log of several starts: the last one counts, with the comment lines that head it.
HookStart ReadHookStart(const std::vector<std::string>& lines) {
    const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                   [](const std::string& line) { return Says(line, "init: started"); });
    auto line = last == lines.rend() ? lines.begin() : std::prev(last.base());
    while (line != lines.begin() && std::prev(line)->rfind("//", 0) == 0)
        --line;
    HookStart s;
    for (; line != lines.end(); ++line) {
        const std::size_t v = line->rfind(" v"), close = line->rfind(')');
        if (Says(*line, "script hook (build") && v != std::string::npos && close > v)
            s.hook = line->substr(v + 1, close - v - 1);  // "v1.0.3411.0": the newest game version it knows
        const std::size_t is = Lower(*line).find("game version is ");
        if (is != std::string::npos) s.version = line->substr(is + 16);
        if (s.at.empty()) s.at = TimeOf(*line);
        const bool ours = Says(*line, "skirmora.asi");
        if (Says(*line, "regist") && !ours && !Quoted(*line).empty()) s.others.push_back(Quoted(*line));
        s.registered = s.registered || (ours && Says(*line, "regist"));
        s.started = s.started || (ours && (Says(*line, "launching") || Says(*line, "started thread")));
        if (ours && Says(*line, "exception")) s.exception = *line;
        if (Says(*line, "fatal")) s.fatal = *line;
    }
    return s;
}

// What asiloader.log says of Skirmora.asi at the start it tells last.
enum class LoaderSaid { Nothing, Loaded, Failed, Cut, NoPlugins };

// asiloader.log, as the hook's ASI loader writes it: `LOADER: Loading *.asi plugins`, for each plugin
// `ASI: Loading "C:\...\Skirmora.asi"` then `"Skirmora.asi" => 00007FF91E1B0000` or `"Skirmora.asi" failed
// to load`, and `LOADER: Finished loading *.asi plugins`. A log that ends at Skirmora.asi's loading line is
// of a game that died loading it; a list with no plugin at all is what the loader writes when it finds none.
LoaderSaid ReadLoaderLog(const std::vector<std::string>& lines) {
    const auto from = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
        return Says(line, "loading *.asi") && !Says(line, "finished");
    });
    auto line = from == lines.rend() ? lines.begin() : from.base();
    for (; line != lines.end() && line->find_first_not_of(" \t") == std::string::npos; ++line) {
    }
    if (from != lines.rend() && line != lines.end() && Says(*line, "finished")) return LoaderSaid::NoPlugins;
    LoaderSaid said = LoaderSaid::Nothing;
    for (; line != lines.end(); ++line) {
        if (!Says(*line, "skirmora.asi")) continue;
        if (Says(*line, "failed"))
            said = LoaderSaid::Failed;
        else if (Says(*line, "=>"))
            said = LoaderSaid::Loaded;
        else if (Says(*line, "loading"))
            said = std::next(line) == lines.end() ? LoaderSaid::Cut : said;
    }
    return said;
}

class LogReader {
  public:
    LogReader(const FolderListing& folder, const InstallFacts& install) : folder_(folder), install_(install) {
        int64_t written = 0;
        if (!install.script.empty()) FileTimes(folder.Join(install.script), scriptArrived_, written);
    }

    GameLogs Read() {
        const bool hook = Hook();
        Loader();
        Script();
        if (hook) HookVerdict();
        return std::move(logs_);
    }

  private:
    const FolderListing& folder_;
    const InstallFacts& install_;
    GameLogs logs_;
    HookStart start_;
    int64_t scriptArrived_ = -1;  // when Skirmora.asi came into the folder
    int64_t hookWritten_ = -1;    // when ScriptHookV.log was last written
    int64_t hookStart_ = -1;      // the moment of the game's last start, from ScriptHookV.log
    bool scriptLogOfLastStart_ = false;
    bool replaced_ = false;  // Skirmora.log is of another Skirmora than the one installed since

    void Add(Level level, std::string title, std::string detail) {
        logs_.found.push_back({level, std::move(title), std::move(detail)});
    }
    // The log called name in the game's folder: its lines and when it was written; false when there is none
    // or it cannot be read.
    bool Open(const std::string& name, std::vector<std::string>& lines, int64_t& written) {
        const std::string file = folder_.File(name);
        if (file.empty()) return false;
        const std::string error = ReadLogLines(folder_.Join(file), lines);
        if (!error.empty()) logs_.lines.push_back(fmt::format("{}: not read: {}", file, error));
        int64_t arrived = 0;
        if (!FileTimes(folder_.Join(file), arrived, written)) written = -1;
        return error.empty();
    }
    // Skirmora.asi came into the folder after a log written at that moment.
    bool CameAfter(int64_t moment) const {
        return scriptArrived_ >= 0 && moment >= 0 && scriptArrived_ > moment;
    }
    bool Hook();
    void HookVerdict();
    void Fatal();
    void Loader();
    void Script();
    bool ScriptLogStart(const std::string& name, const std::vector<std::string>& lines,
                        const std::vector<std::string>& text);
    void ScriptLog(const std::string& name, const std::vector<std::string>& lines);
};

bool LogReader::Hook() {
    std::vector<std::string> lines;
    if (!Open("ScriptHookV.log", lines, hookWritten_)) return false;
    start_ = ReadHookStart(lines);
    if (hookWritten_ >= 0 && !start_.at.empty()) hookStart_ = LastTimeOfDay(hookWritten_, start_.at);
    if (hookStart_ < 0) hookStart_ = hookWritten_;
    std::string said = start_.version.empty() ? "no game version in it" : "game version " + start_.version;
    if (!start_.hook.empty()) said = "ScriptHookV " + start_.hook + ", " + said;
    said += !start_.registered ? "; Skirmora.asi is not in it"
            : start_.started   ? "; it loaded Skirmora.asi and started it"
            : !start_.fatal.empty()
                ? "; it loaded Skirmora.asi, then stopped the game"
                : "; it loaded Skirmora.asi but never started it: story mode never loaded "
                  "(scripts start with it)";
    logs_.lines.push_back("ScriptHookV.log: " + said);
    return true;
}

// A FATAL line: the hook stopped the game. The advice fits what it says; a FATAL of a start before the
// ScriptHookV.dll that is here now is only a note.
void LogReader::Fatal() {
    int64_t dllArrived = -1, dllWritten = -1;
    const std::string dll = folder_.File("ScriptHookV.dll");
    if (!dll.empty() && FileTimes(folder_.Join(dll), dllArrived, dllWritten) && hookWritten_ >= 0 &&
        dllArrived > hookWritten_)
        return Add(Level::Note, "ScriptHookV stopped the game's last start, but has been replaced since",
                   fmt::format("ScriptHookV.log says \"{}\", and ScriptHookV.dll came after that start: "
                               "start the game to see whether this one works.",
                               start_.fatal));
    std::string advice = fmt::format(
        "ScriptHookV is not made for this game version: take the ScriptHookV release made for your game "
        "version from its author's page, {} .",
        HookPage);
    if (Says(start_.fatal, "unknown game version"))
        advice = fmt::format(
            "This ScriptHookV{} is older than the game: the game was updated and ScriptHookV was not. Take "
            "its newest release from its author's page, {} (after a game update it may take some days to "
            "come).",
            start_.hook.empty() ? "" : " (" + start_.hook + ")", HookPage);
    if (Says(start_.fatal, "find native"))
        advice = fmt::format(
            "A script asked the game for a function this ScriptHookV does not know: most often a mod older "
            "than the hook. {} Update each to its newest release, or take them out of the game's folder one "
            "at a time, until the game starts.",
            start_.others.empty()
                ? "The log names no script but Skirmora.asi."
                : "The other scripts the hook loaded: " + fmt::format("{}.", fmt::join(start_.others, ", ")));
    Add(Level::Problem, "ScriptHookV stopped the game at its last start",
        fmt::format("ScriptHookV.log says \"{}\". {}", start_.fatal, advice));
}

// How far the game's last start went with Skirmora.asi: not loaded (or not there yet), loaded but story mode
// never came, started without a log (then, and only then, Skirmora is at fault), or failed in the game.
void LogReader::HookVerdict() {
    if (!start_.fatal.empty()) return Fatal();
    if (!start_.exception.empty() && !replaced_)
        Add(Level::Problem, "Skirmora.asi failed in the game",
            fmt::format("ScriptHookV.log says \"{}\". Please ask for help {}, with ScriptHookV.log, "
                        "Skirmora.log and this report.",
                        start_.exception, WhereToAskForHelp()));
    if (install_.script.empty() || replaced_) return;  // the start is of the Skirmora that was here before
    if (!start_.registered && CameAfter(hookStart_))
        return Add(Level::Note, "The game has not started since Skirmora.asi came into its folder",
                   "The logs are of an earlier start: start story mode, then run this again.");
    if (!start_.registered)
        return Add(Level::Problem, "The game did not load Skirmora.asi at its last start",
                   "ScriptHookV.log does not list it, so the ASI loader did not load it: the other findings "
                   "say why, and asiloader.log may too.");
    if (!start_.started && !scriptLogOfLastStart_)
        return Add(
            Level::Note, "The game's last start never reached story mode",
            "ScriptHookV loaded Skirmora.asi, but it starts scripts only once story mode has loaded, "
            "and the game closed or crashed before that: not Skirmora's doing. Start story mode (not "
            "GTA Online) and wait until you can walk. If the game crashes while loading, take "
            "Skirmora.asi out of the folder and try again: if it still crashes, ScriptHookV or another "
            "mod is the cause.");
    if (start_.started && !scriptLogOfLastStart_)
        Add(Level::Problem, "Skirmora never ran at the game's last start",
            fmt::format(
                "ScriptHookV.log shows that the hook loaded Skirmora.asi and started it, but Skirmora "
                "wrote no Skirmora.log of that start, neither here nor in %LOCALAPPDATA%\\Skirmora. "
                "Please ask for help {}, with ScriptHookV.log and this report.",
                WhereToAskForHelp()));
}

void LogReader::Loader() {
    std::vector<std::string> lines;
    int64_t written = -1;
    if (!Open("asiloader.log", lines, written)) return;
    const LoaderSaid said = ReadLoaderLog(lines);
    const char* const words[] = {"Skirmora.asi is not in it", "it loaded Skirmora.asi",
                                 "\"Skirmora.asi\" failed to load", "it ends while loading Skirmora.asi",
                                 "it loaded no .asi file at all"};
    const bool earlier = CameAfter(written);
    logs_.lines.push_back(fmt::format("asiloader.log: {}{}", words[static_cast<int>(said)],
                                      earlier ? " (of a start before Skirmora.asi came)" : ""));
    if (earlier || install_.script.empty()) return;
    const std::string retake =
        "Skirmora.asi may be damaged (take it from the zip again) or held back by an antivirus program";
    if (said == LoaderSaid::Failed)
        Add(Level::Problem, "The ASI loader failed to load Skirmora.asi",
            fmt::format(
                "asiloader.log says \"Skirmora.asi\" failed to load: Windows could not load the file. "
                "{}{}.",
                retake,
                install_.legacy ? "; the Legacy edition's loader also fails in a folder whose path "
                                  "has letters outside ASCII"
                                : ""));
    if (said == LoaderSaid::Cut)
        Add(Level::Problem, "The game stopped while loading Skirmora.asi",
            fmt::format(
                "asiloader.log ends as the loader loads Skirmora.asi: the game closed or crashed right "
                "then. {}. If it goes on, please ask for help {}, with asiloader.log and this report.",
                retake, WhereToAskForHelp()));
    if (said == LoaderSaid::NoPlugins)
        Add(Level::Problem, "The ASI loader found no .asi file at the game's last start",
            "asiloader.log lists no plugin at all, though Skirmora.asi is here. The loader finds none when "
            "the game's folder path has letters outside ASCII (letters with accents, other alphabets), or "
            "when "
            "it looks in another folder than the game's.");
}

void LogReader::Script() {
    std::vector<std::string> lines;
    int64_t written = -1;
    if (Open("Skirmora.log", lines, written)) return ScriptLog("Skirmora.log", lines);
    if (!folder_.File("Skirmora.log").empty()) return;  // there, but not read: said so
    // Where the script writes its log when the game's folder refuses it: read only when it is of this folder.
    const std::string local = LocalAppData();
    const std::string path =
        local.empty() ? "" : (PathFromUtf8(local) / "Skirmora" / "Skirmora.log").u8string();
    if (path.empty() || !ReadLogLines(path, lines).empty()) return;
    const auto named = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find(std::string("] ") + LogConfigFile) != std::string::npos;
    });
    if (named != lines.end() &&
        FolderKey(named->substr(named->find(LogConfigFile) + sizeof LogConfigFile - 1), true) ==
            FolderKey(install_.absolute, false))
        ScriptLog(path, lines);
}

// Whether Skirmora.log tells of the game's last start, in this folder, of the Skirmora installed here; says
// which start it is of, and, when not the last, why.
bool LogReader::ScriptLogStart(const std::string& name, const std::vector<std::string>& lines,
                               const std::vector<std::string>& text) {
    std::string version, date, config, logFile;
    std::size_t at = 0;
    while (at < text.size() && !ReadLogStartLine(text[at], version, date))
        ++at;
    if (at == text.size()) {
        logs_.lines.push_back(name + ": no start of Skirmora in it");
        return false;
    }
    for (const std::string& line : text) {
        if (line.rfind(LogConfigFile, 0) == 0) config = line.substr(sizeof LogConfigFile - 1);
        if (line.rfind(LogLogFile, 0) == 0 && line.find(LogNotBeside) == std::string::npos)
            logFile = line.substr(sizeof LogLogFile - 1);
    }
    const std::string time =
        lines[at].size() > LogTimeSize && lines[at][0] == '[' ? lines[at].substr(1, 8) : "";
    const std::string when = date.empty() ? "at " + time : fmt::format("on {} at {}", date, time);
    // The folder it is of: its config's, or without a config its own, when it is beside the config.
    const std::string named = config.find_first_of("/\\") != std::string::npos ? config : logFile;
    const std::string installed = install_.version.empty() ? SKIRMORA_VERSION : install_.version;
    const int64_t moment = LocalMoment(date, time);
    if (!named.empty() && FolderKey(named, true) != FolderKey(install_.absolute, false)) {
        logs_.lines.push_back(fmt::format("{}: of a start {} in another folder", name, when));
        Add(Level::Note, "Skirmora.log is of another game folder",
            fmt::format("It names {}: it says nothing of this folder's starts.", named));
    } else if (version != installed) {
        logs_.lines.push_back(fmt::format("{}: of Skirmora {}, at a start {}", name, version, when));
        replaced_ = true;
        Add(Level::Note,
            fmt::format("Skirmora.log is of Skirmora {}, not of the {} installed here", version, installed),
            "It tells of a start before Skirmora was replaced: start story mode, then run this again.");
    } else if (moment >= 0 && hookStart_ >= 0 && moment + 120 < hookStart_) {
        logs_.lines.push_back(fmt::format("{}: of an earlier start, {}", name, when));
        Add(Level::Note, fmt::format("Skirmora.log is of an earlier start, {}", when),
            "The game started again after it, and Skirmora wrote no log of that start: ScriptHookV.log "
            "says how far that start went.");
    } else {
        logs_.lines.push_back(fmt::format("{}, of the start {}:", name, when));
        return true;
    }
    return false;
}

// Skirmora.log of the last start: its load of the config at the start, the check's findings, what was in
// force, and whether the riot was enabled.
void LogReader::ScriptLog(const std::string& name, const std::vector<std::string>& lines) {
    std::vector<std::string> text;
    for (const std::string& line : lines) {
        const bool timed =
            line.size() >= LogTimeSize && line[0] == '[' && line.compare(LogTimeSize - 2, 2, "] ") == 0;
        text.push_back(timed ? line.substr(LogTimeSize) : line);
    }
    if (!ScriptLogStart(name, lines, text)) return;
    scriptLogOfLastStart_ = true;
    const auto load = std::find_if(text.rbegin(), text.rend(),
                                   [](const std::string& l) { return l.rfind(LogLoadAtStart, 0) == 0; });
    std::string key;
    bool inForce = false;
    for (auto line = load == text.rend() ? text.end() : std::prev(load.base()); line != text.end(); ++line) {
        if (inForce && line->rfind("  ", 0) != 0) break;  // what is in force may go on over indented lines
        logs_.lines.push_back("  " + *line);
        const std::size_t at = line->find("EnableKey ");
        if (line->rfind(LogInForce, 0) != 0 || at == std::string::npos) continue;
        inForce = true;
        key = line->substr(at + 10, line->find_first_of(" ,;", at + 10) - at - 10);
    }
    const auto enabled = std::count_if(text.begin(), text.end(), [](const std::string& l) {
        return l.find(LogEnabled) != std::string::npos;
    });
    logs_.lines.push_back(
        enabled ? fmt::format("  Skirmora was enabled {} time{} then", enabled, enabled == 1 ? "" : "s")
                : "  Skirmora was never enabled then");
    if (!enabled)
        Add(Level::Note, "Skirmora was never enabled at the game's last start",
            fmt::format("Press {} in story mode to start the riot.", key.empty() ? "the toggle key" : key));
    for (const std::string& line : text) {
        const std::size_t elsewhere = line.find(LogNotBeside), size = sizeof LogNotBeside - 1;
        if (line.rfind(LogLogFile, 0) == 0 && elsewhere != std::string::npos)
            Add(Level::Note, "Skirmora.log is not in the game's folder",
                fmt::format("Skirmora wrote it to {} instead ({}", line.substr(10, elsewhere - 10),
                            line.substr(elsewhere + size)));
        if (line == LogFull)
            Add(Level::Note, "Skirmora.log is full",
                "It stopped at 1 MiB (about a million letters); the next start of the game begins it anew.");
    }
}

}  // namespace

GameLogs ReadGameLogs(const FolderListing& folder, const InstallFacts& install) {
    return LogReader(folder, install).Read();
}

std::string WhereToAskForHelp() {
    const std::string address = SKIRMORA_HELP_ADDRESS;
    return address.empty() ? "on the page you got Skirmora from" : "at " + address;
}
