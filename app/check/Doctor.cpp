#include "app/check/Doctor.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include <fmt/format.h>

#include "app/InputFile.h"
#include "app/TextTools.h"
#include "app/Utf8Path.h"
#include "app/check/Check.h"
#include "app/check/DoctorFiles.h"
#include "app/check/DoctorReport.h"
#include "app/check/FolderListing.h"
#include "app/check/GameLogs.h"
#include "config/Settings.h"

namespace {

const std::string ConfigName = ConfigFileNameBuiltIn;
const char ExampleName[] = "Skirmora_config.example.txt";
const char HookPage[] = "http://www.dev-c.com/gtav/scripthookv/";
const char WholeNames[] =
    "Explorer shows whole names once \"File name extensions\" is ticked in its View menu (Windows 11: View > "
    "Show).";

struct Edition {
    const char* name;
    const char* game;    // the game's executable
    const char* loader;  // the ASI loader that comes with this edition's ScriptHookV
    const char* otherLoader;
    const char* otherProblem;  // what the other edition's loader does here
};
const Edition Editions[] = {
    {"Enhanced", "GTA5_Enhanced.exe", "xinput1_4.dll", "dinput8.dll",
     "a dinput8.dll ASI loader, made for the Legacy edition, is known to crash the Enhanced edition"},
    {"Legacy", "GTA5.exe", "dinput8.dll", "xinput1_4.dll",
     "xinput1_4.dll is the ASI loader of the Enhanced edition's ScriptHookV, not of this one"},
};

const Edition* EditionOf(const FolderListing& folder) {
    for (const Edition& edition : Editions)
        if (!folder.File(edition.game).empty()) return &edition;
    return nullptr;
}

// The folder above path: "a/b" gives "a", a path that names no folder of its own goes through its absolute
// form.
std::string ParentOf(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path p = PathFromUtf8(path);
    const std::string last = p.filename().u8string();
    if (last.empty() || last == "." || last == ".." || !p.has_parent_path()) {
        std::error_code error;
        p = fs::absolute(p, error).lexically_normal();
        if (p.filename().empty()) p = p.parent_path();  // a trailing separator
    }
    return p.parent_path().u8string();
}

// The letters of text outside ASCII, each once.
std::string NonAscii(const std::string& text) {
    std::string letters;
    for (std::size_t k = 0; k < text.size();) {
        std::size_t n = 1;
        while (k + n < text.size() && (static_cast<unsigned char>(text[k + n]) & 0xC0) == 0x80)
            ++n;
        const std::string letter = text.substr(k, n);
        if (static_cast<unsigned char>(text[k]) >= 0x80 && letters.find(letter) == std::string::npos)
            letters += letter;
        k += n;
    }
    return letters;
}

class Doctor {
  public:
    explicit Doctor(const std::string& folder) : folder_(std::make_unique<FolderListing>(folder)) {}

    int Examine(std::ostream& out, std::ostream& err) {
        if (!folder_->Error().empty()) {
            err << OneLine(fmt::format("skirmora-sim: cannot examine the folder {}: {}", folder_->Path(),
                                       folder_->Error()))
                << "\n";
            return CheckCannotRun;
        }
        Game();
        if (edition_) {
            Hook();
            Script();
            PathLetters();
        }
        Config();
        if (edition_) Logs();
        const std::string text = Printable(WriteDoctorReport(report_));  // folder names may hold anything
        return WriteReport(text, out, err) ? report_.Status() : CheckCannotRun;
    }

  private:
    std::unique_ptr<FolderListing> folder_;
    const Edition* edition_ = nullptr;
    std::string script_;   // Skirmora.asi's name in the folder, when it is there
    std::string version_;  // its version, when it has one
    DoctorReportData report_;

    void Add(Level level, std::string title, std::string detail = "") {
        report_.seen.push_back({level, std::move(title), std::move(detail)});
    }
    void Game();
    void Hook();
    void Need(const std::string& name, const std::string& what, const std::string& missing);
    std::string Misplaced(const std::string& name, const std::vector<std::string>& wrongNames);
    void Script();
    void Config();
    void CheckConfig(const std::string& path, const std::string& name, bool misplaced);
    void PathLetters();
    void Logs();
};

void Doctor::Game() {
    report_.folder = folder_->Path();
    edition_ = EditionOf(*folder_);
    if (!edition_) {
        // The zip unpacked inside the game's folder, or a folder such as scripts: the game's is the one
        // above.
        auto parent = std::make_unique<FolderListing>(ParentOf(folder_->Path()));
        edition_ = EditionOf(*parent);
        if (edition_) {
            Add(Level::Problem, "This folder is inside the game's folder",
                fmt::format(
                    "The game reads nothing from {}. Its folder is the one above, {}: what follows is "
                    "of that folder.",
                    folder_->Path(), parent->Path()));
            folder_ = std::move(parent);
        }
    }
    if (edition_) {
        report_.absolute =
            std::filesystem::absolute(PathFromUtf8(folder_->Path())).lexically_normal().u8string();
        return Add(Level::Fine,
                   fmt::format("{}: the game, {} edition", folder_->File(edition_->game), edition_->name));
    }
    Add(Level::Problem, "This is not the game's folder",
        "There is no GTA5.exe (the Legacy edition) or GTA5_Enhanced.exe (the Enhanced edition) here, and "
        "Skirmora works only in the game's folder. The game is usually in one of these (the Enhanced edition "
        "in a folder of its own, such as \"Grand Theft Auto V Enhanced\"): Steam: C:\\Program Files "
        "(x86)\\Steam\\steamapps\\common\\Grand Theft Auto V; Epic Games: C:\\Program Files\\Epic "
        "Games\\GTAV; "
        "Rockstar Games Launcher: C:\\Program Files\\Rockstar Games\\Grand Theft Auto V. Steam shows it with "
        "the game's Manage > Browse local files. Copy all the files of Skirmora's zip there (Skirmora.asi, "
        "skirmora-sim.exe, Skirmora_config.example.txt, Skirmora-INSTALL.txt, Skirmora-LICENSE.txt) and "
        "double-click skirmora-sim.exe there, or drop that folder onto skirmora-sim.exe.");
}

void Doctor::Hook() {
    const std::string take = fmt::format(
        "It comes with ScriptHookV, from its author's page, {} : take the release for the {} edition made "
        "for your game's version",
        HookPage, edition_->name);
    Need("ScriptHookV.dll", "the script hook",
         fmt::format(
             "Without it the game loads no script. {}, and copy ScriptHookV.dll from it into the game's "
             "folder.",
             take));
    Need(edition_->loader, "the ASI loader",
         fmt::format("It loads Skirmora.asi into the game. {}, and copy {} from it into the game's folder.",
                     take, edition_->loader));
    const std::string other = folder_->File(edition_->otherLoader);
    if (!other.empty())
        Add(Level::Problem, fmt::format("{} does not belong to the {} edition", other, edition_->name),
            fmt::format("Here {}. Remove it from the game's folder: the {} edition's ASI loader is {}.",
                        edition_->otherProblem, edition_->name, edition_->loader));
}

void Doctor::Need(const std::string& name, const std::string& what, const std::string& missing) {
    const std::string file = folder_->File(name);
    if (!file.empty()) return Add(Level::Fine, fmt::format("{}: {}", file, what));
    if (Misplaced(name, {}).empty())
        Add(Level::Problem, fmt::format("{}, {}, is missing", name, what), missing);
}

// Where a file the game reads is instead: here under a wrong name, or one folder down. Says so as a problem
// and returns that file's path, or returns "" when it is nowhere.
std::string Doctor::Misplaced(const std::string& name, const std::vector<std::string>& wrongNames) {
    for (const std::string& wrong : wrongNames) {
        const std::string file = folder_->File(wrong);
        if (file.empty()) continue;
        const bool hidden =
            Lower(file).rfind(Lower(name) + ".", 0) == 0;  // the right name and one more ending
        Add(Level::Problem, fmt::format("{} is named {}", name, file),
            hidden
                ? fmt::format("Windows hides the last ending of a name, so Explorer shows \"{}\" for a file "
                              "that is really {}, which the game never reads. Rename it to {}. {}",
                              name, file, name, WholeNames)
                : fmt::format("The game reads only {}: rename it so. {}", name, WholeNames));
        return folder_->Join(file);
    }
    // One folder down (the zip's folder, scripts\), or two (ScriptHookV's zip unpacked as it is,
    // ScriptHookV_1.0.3411.0\bin\).
    struct Place {
        std::string shown, path;
    };
    std::vector<Place> places;
    for (const std::string& sub : folder_->Folders()) {
        places.push_back({sub, folder_->Join(sub)});
        for (const std::string& deeper : FolderListing(places.back().path).Folders())
            places.push_back(
                {sub + "\\" + deeper, (PathFromUtf8(folder_->Join(sub)) / PathFromUtf8(deeper)).u8string()});
    }
    std::stable_partition(places.begin(), places.end(),
                          [](const Place& p) { return p.shown.find('\\') == std::string::npos; });
    for (const Place& place : places) {
        const FolderListing below(place.path);
        const std::string file = below.File(name);
        if (file.empty()) continue;
        const bool two = place.shown.find('\\') != std::string::npos;
        Add(Level::Problem,
            fmt::format("{} is in {}\\, {} down", name, place.shown, two ? "two folders" : "one folder"),
            fmt::format(
                "The game reads it only from its own folder: move {} up from {}\\ into the game's folder.",
                file, place.shown));
        return below.Join(file);
    }
    return "";
}

void Doctor::Script() {
    script_ = folder_->File("Skirmora.asi");
    if (script_.empty()) {
        if (Misplaced("Skirmora.asi", {"Skirmora.asi.txt", "Skirmora.asi.dll", "Skirmora.dll"}).empty())
            Add(Level::Problem, "Skirmora.asi is missing",
                "Copy Skirmora.asi from the zip into the game's folder.");
        return;
    }
    std::string bytes;
    const std::string error = ReadInput(folder_->Join(script_), bytes);
    if (!error.empty()) return Add(Level::Problem, script_ + " cannot be read", Printable(error));
    const ProgramFile program = ExamineProgram(bytes);
    version_ = program.version;
    if (!program.problem.empty())
        return Add(Level::Problem, fmt::format("{} {}", script_, program.problem),
                   "The game loads only a 64-bit Windows DLL: the copy went wrong or the file is another "
                   "one. Copy Skirmora.asi from the zip into the game's folder again, over this one.");
    Add(Level::Fine,
        fmt::format("{}: the script{}", script_, version_.empty() ? "" : ", Skirmora " + version_));
}

void Doctor::Config() {
    const std::string file = folder_->File(ConfigName);
    if (!file.empty()) return CheckConfig(folder_->Join(file), file, false);
    const std::string wrong = Misplaced(ConfigName, {ConfigName + ".txt", "Skirmora_config.json"});
    if (!wrong.empty()) return CheckConfig(wrong, PathFromUtf8(wrong).filename().u8string(), true);
    if (!edition_) return;
    const std::string example = folder_->File(ExampleName);
    Add(Level::Fine, "No " + ConfigName + ": the built-in values are in force",
        example.empty()
            ? fmt::format("To change them, take {} from the zip, put it here as {} and edit it.", ExampleName,
                          ConfigName)
            : fmt::format("To change them, copy {} to {} and edit the copy: an update of Skirmora never "
                          "overwrites it.",
                          example, ConfigName));
}

// The check's own verdict on the config, with its findings and notes when there are any: its whole report
// but the settings, weapons and factions in force, which a player who wants them gets from the check.
void Doctor::CheckConfig(const std::string& path, const std::string& name, bool misplaced) {
    std::string bytes;
    const std::string error = ReadInput(path, bytes);
    if (!error.empty()) return Add(Level::Problem, name + " cannot be read", Printable(error));
    int status = CheckCannotRun;
    std::string headline, findings, consequence;
    bool notJson = false;
    CheckInFreshGame(bytes, [&](const CheckedLoad& checked, int loaded) {
        status = loaded;
        headline = Printable(name + ": " + Headline(checked, loaded));
        findings = Printable(FindingsText(checked));
        if (!checked.consequences.empty()) consequence = Printable(checked.consequences.front());
        notJson = checked.notJson;
        if (!misplaced) report_.key = checked.load.Settings.EnableKey;
    });
    if (status == CheckCannotRun)
        return Add(Level::Problem, name + " cannot be checked", "The check ran out of memory.");
    if (!findings.empty()) report_.config = headline + "\n" + findings;
    // What the load means comes first: "nobody will be recruited (the load ended early, ...)".
    const std::string title = consequence.empty() ? headline
                                                  : fmt::format("{}: nobody will be recruited ({})", name,
                                                                headline.substr(name.size() + 2));
    if (status == CheckLoaded)
        return Add(misplaced || !consequence.empty() ? Level::Note : Level::Fine, title,
                   misplaced ? "That is what the game will make of it once it has its right name and place."
                             : consequence);
    Add(Level::Problem, title,
        fmt::format(
            "{}: the check's findings are at the end. To fix them without writing JSON, open the file in "
            "Skirmora-config-editor.html (in the zip); drop the file onto skirmora-sim.exe for the "
            "check's whole report.",
            notJson     ? "The built-in values stay in force"
            : misplaced ? "The game will read it, but not all of it as you meant"
                        : "The game reads it, but not all of it as you meant"));
}

void Doctor::PathLetters() {
    const std::string letters = NonAscii(report_.absolute);
    if (letters.empty()) return;
    const bool legacy = std::string(edition_->name) == "Legacy";
    Add(legacy ? Level::Problem : Level::Note,
        fmt::format("The path of the game's folder has letters outside ASCII: {}", letters),
        fmt::format(
            "ASCII is the plain letters A to Z, digits, blanks and punctuation; letters with accents and "
            "other alphabets are outside it. The Legacy edition's ASI loader is known to {}. Move the game "
            "to a folder whose path has no such letters: C:\\Program Files (x86)\\Steam\\... is fine, "
            "and so is C:\\Games\\Grand Theft Auto V (Steam and the launchers can move an installed game).",
            legacy ? "load no .asi file from such a folder"
                   : "fail in such a folder; if Skirmora does not load, this may be why"));
}

void Doctor::Logs() {
    const InstallFacts install{report_.absolute, script_, version_, std::string(edition_->name) == "Legacy"};
    GameLogs logs = ReadGameLogs(*folder_, install);
    report_.logs = std::move(logs.lines);
    for (Observation& found : logs.found)
        report_.seen.push_back(std::move(found));
}

}  // namespace

int ExamineGameFolder(const std::string& folder, std::ostream& out, std::ostream& err) {
    return Doctor(folder).Examine(out, err);
}

std::string ConfigNameProblem(const std::string& name) {
    if (Lower(name) == Lower(ConfigName)) return "";
    const bool hidden = Lower(name).rfind(Lower(ConfigName) + ".", 0) == 0;
    return fmt::format(
        "the game reads only a file named {}, in its own folder{}", ConfigName,
        hidden ? ": Windows hides the last ending of this one's name; rename it to " + ConfigName : "");
}
