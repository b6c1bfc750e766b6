#include "script/LoggedLoad.h"

#include <cerrno>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "config/KeyNames.h"
#include "config/LoadCheck.h"
#include "config/LoadVerdict.h"
#include "config/Settings.h"
#include "host/Frames.h"
#include "host/Seam.h"
#include "riot/Roster.h"
#include "script/ApplyLoad.h"
#include "script/ScriptLog.h"
#include "script/ScriptState.h"

namespace {

enum class FileRead { NotRead, Opened, Missing, CannotOpen };

std::string Counted(std::size_t count, const char* what) {
    return fmt::format("{} {}{}", count, what, count == 1 ? "" : "s");
}

// What is in force, wrapped: the key, the caps, and each faction (at most MostListed of them) with its cap
// and how many weapons and models it holds.
std::string InForce() {
    constexpr std::size_t MostListed = 30, Width = 100;
    std::vector<std::string> pieces = {
        fmt::format("In force: EnableKey {}, MaxRioters {}, {}; {}{}", KeyNameOf(Settings.EnableKey),
                    Settings.MaxRioters, Counted(SharedWeaponList.size(), "shared weapon"),
                    Counted(FactionList.size(), "faction"), FactionList.empty() ? "" : ":")};
    for (std::size_t k = 0; k < FactionList.size() && k < MostListed; ++k) {
        const Faction& f = FactionList[k];
        pieces.push_back(fmt::format(
            "{}: {}, {}, {}{}", f.IsDefault ? "the default faction" : fmt::format("Factions[{}]", k),
            f.MaxMembers > 0x7FFFFFFFu ? "no cap of its own" : fmt::format("cap {}", f.MaxMembers),
            f.Weapons.empty() ? "the shared weapons" : Counted(f.Weapons.size(), "weapon"),
            f.MemberModels.empty() ? "random pedestrians" : Counted(f.MemberModels.size(), "model"),
            k + 1 < FactionList.size() ? ";" : ""));
    }
    if (FactionList.size() > MostListed)
        pieces.push_back(fmt::format("and {} more", FactionList.size() - MostListed));
    std::string text, line;
    for (const std::string& piece : pieces) {
        if (!line.empty() && line.size() + 1 + piece.size() > Width) {
            text += line + "\n";
            line = " ";
        }
        line += (line.empty() ? "" : " ") + piece;
    }
    return text + line + "\n";
}

// Why the load read no file.
std::string Unread(LoadCause cause, FileRead read) {
    const std::string& name = Settings.ConfigFileName;
    const std::string after = cause == LoadCause::Start
                                  ? "built-in values in force"
                                  : "every setting keeps its value, and the factions are the default one";
    if (name.empty()) return "no config file: " + after;
    if (read == FileRead::CannotOpen) return fmt::format("{} cannot be read: {}", name, after);
    const std::string path = FullPath(name);
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return fmt::format("there is no {}: {}", name, after);
    return fmt::format("there is no {} in {}: {}", path.substr(slash + 1), path.substr(0, slash), after);
}

// Whether the file holds the very bytes of the last load told in full; remembers these ones.
bool SameAsLastLoad(const std::string& bytes) {
    uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (char byte : bytes)
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211u;
    LoggedLoadRecord& last = ScriptState.LastLoad;
    const bool same = last.Told && last.Hash == hash && last.Size == bytes.size();
    last = {true, hash, bytes.size()};
    return same;
}

std::string Account(LoadCause cause, FileRead read, const std::string& bytes, const CheckedLoad& checked,
                    bool followed) {
    const std::string& name = Settings.ConfigFileName;
    const std::size_t size = bytes.size();
    if (read != FileRead::Opened) return Unread(cause, read) + "\n";
    if (size > LargestCheckedInGame)
        return fmt::format(
            "{}: {} bytes, too many to check in the game without holding up a frame; skirmora-sim check "
            "tells "
            "what the load made of it\n",
            name, size);
    if (!followed) return name + ": loaded, but the check ran out of memory\n";
    const std::string headline = Headline(checked, StatusOf(checked));
    if (SameAsLastLoad(bytes) && cause == LoadCause::Press)
        return fmt::format("{}: unchanged since the last load: {}\n", name, headline);
    return fmt::format("{}: {}\n{}", name, headline, FindingsText(checked));
}

FileRead ReadForLog(std::string& bytes) {
    try {
        const int error = ReadConfigFile(Settings.ConfigFileName, bytes);
        return error == 0 ? FileRead::Opened : error == ENOENT ? FileRead::Missing : FileRead::CannotOpen;
    } catch (...) {
        bytes.clear();
        return FileRead::NotRead;
    }
}

}  // namespace

void LoadAndLog(LoadCause cause, int32_t key) {
    BeginPass(PassLoad);
    std::string bytes;
    const FileRead read = LogOpen() ? ReadForLog(bytes) : FileRead::NotRead;
    if (read == FileRead::NotRead) {
        LoadConfig();  // as ever: without a log there is nothing to tell
        EndPass();
        return;
    }
    CheckedLoad checked;
    bool followed = false;
    try {
        // A file that cannot be opened is the empty text, every key absent.
        LoadOutcome outcome = DecideLoad(bytes, BasisInForce());
        ApplyLoad(outcome);
        if (read == FileRead::Opened && bytes.size() <= LargestCheckedInGame)
            followed = ExplainLoad(std::move(outcome), checked);
    } catch (...) {
    }
    try {
        const std::string what =
            cause == LoadCause::Start ? "Load at the start" : "Load at a press of " + KeyNameOf(key);
        std::string note = followed ? "" : ManyFactionsNote(FactionList.size());
        if (!note.empty()) note = "Note: " + note + "\n";
        LogLines(what + ": " + Account(cause, read, bytes, checked, followed) + InForce() + note);
    } catch (...) {
    }
    EndPass();
}
