#include "app/Check.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include <fmt/format.h>

#include "app/CheckRun.h"
#include "config/LoadConfig.h"
#include "config/Settings.h"
#include "host/Natives.h"
#include "host/ScriptMain.h"
#include "host/ScriptState.h"
#include "riot/Roster.h"
#include "sim/Simulation.h"

namespace {

bool ReadBytes(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = std::generic_category().message(EISDIR);
        return false;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = std::generic_category().message(errno ? errno : ENOENT);
        return false;
    }
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int code = errno;
    std::fclose(file);
    if (failed) error = std::generic_category().message(code ? code : EIO);
    return !failed;
}

uint32_t HexAfter(const std::string& event, const std::string& marker) {
    const std::size_t at = event.find(marker);
    if (at == std::string::npos) return 0;
    return static_cast<uint32_t>(std::stoul(event.substr(at + marker.size(), 8), nullptr, 16));
}

// The group calls of the trace from line first on.
std::vector<GroupCall> TracedGroupCalls(const Game& game, std::size_t first) {
    std::vector<GroupCall> calls;
    const std::string add = "AddRelationshipGroup(\"";
    const std::string remove = "RemoveRelationshipGroup(0x";
    for (std::size_t k = first; k < game.trace.lines.size(); ++k) {
        const std::string& line = game.trace.lines[k];
        const std::size_t space = line.find(' ', line.find(' ') + 1);
        const std::string event = space == std::string::npos ? line : line.substr(space + 1);
        if (event.rfind(add, 0) == 0) {
            const std::size_t close = event.find('"', add.size());
            calls.push_back(
                {true, event.substr(add.size(), close - add.size()), HexAfter(event, "; out 0x")});
        } else if (event.rfind(remove, 0) == 0) {
            calls.push_back({false, "", HexAfter(event, "(0x")});
        }
    }
    return calls;
}

std::string GroupName(uint32_t hash, const std::map<uint32_t, std::string>& created, const Game& game) {
    if (hash == 0) return "";
    if (hash == RioterGroup) return "RIOTER";
    const auto made = created.find(hash);
    if (made != created.end()) return made->second;
    const auto alive = game.world.groups.find(hash);
    if (alive != game.world.groups.end()) return alive->second;
    return fmt::format("0x{:08X}", hash);
}

LoadState Capture(const Game& game, std::size_t traceFrom) {
    LoadState state;
    state.settings = Settings;
    state.weapons = SharedWeaponList;
    state.groupCalls = TracedGroupCalls(game, traceFrom);
    std::map<uint32_t, std::string> created;  // the last name each hash was created under
    for (const GroupCall& call : state.groupCalls)
        if (call.add) created[call.hash] = call.name;
    for (const Faction& faction : FactionList) {
        FactionState f;
        f.MaxMembers = faction.MaxMembers;
        f.WillAttackSelf = faction.WillAttackSelf;
        f.IsDefault = faction.IsDefault;
        f.GroupHash = faction.GroupHash;
        f.group = GroupName(faction.GroupHash, created, game);
        f.Weapons = faction.Weapons;
        f.MemberModels = faction.MemberModels;
        state.factions.push_back(f);
    }
    return state;
}

std::string Quoted(const Names& names) {
    std::string text = "[";
    for (const std::string& name : names)
        text += (text.size() > 1 ? ", \"" : "\"") + name + "\"";
    return text + "]";
}

}  // namespace

std::vector<std::string> CompareLoads(const LoadState& predicted, const LoadState& observed) {
    std::vector<std::string> differences;
    auto differ = [&](const std::string& what, const std::string& expected, const std::string& got) {
        if (expected != got)
            differences.push_back(
                fmt::format("{}: this check expected {}, the loader left {}", what, expected, got));
    };
    const SettingsRecord& p = predicted.settings;
    const SettingsRecord& o = observed.settings;
    differ("EnableKey", std::to_string(p.EnableKey), std::to_string(o.EnableKey));
    differ("MaxRioters", std::to_string(p.MaxRioters), std::to_string(o.MaxRioters));
    differ("DisableCops", p.DisableCops ? "true" : "false", o.DisableCops ? "true" : "false");
    differ("PedAccuracy", fmt::format("{}", p.PedAccuracy), fmt::format("{}", o.PedAccuracy));
    differ("RiotersOnlyAttackPlayer", p.RiotersOnlyAttackPlayer ? "true" : "false",
           o.RiotersOnlyAttackPlayer ? "true" : "false");
    differ("the shared weapons", Quoted(predicted.weapons), Quoted(observed.weapons));
    differ("the number of factions", std::to_string(predicted.factions.size()),
           std::to_string(observed.factions.size()));
    for (std::size_t k = 0; k < predicted.factions.size() && k < observed.factions.size(); ++k) {
        const FactionState& pf = predicted.factions[k];
        const FactionState& of = observed.factions[k];
        const std::string at = fmt::format("faction {}", k);
        differ(at + " cap", std::to_string(pf.MaxMembers), std::to_string(of.MaxMembers));
        differ(at + " attacks its own", pf.WillAttackSelf ? "true" : "false",
               of.WillAttackSelf ? "true" : "false");
        differ(at + " default", pf.IsDefault ? "true" : "false", of.IsDefault ? "true" : "false");
        differ(at + " group", "\"" + pf.group + "\"", "\"" + of.group + "\"");
        differ(at + " weapons", Quoted(pf.Weapons), Quoted(of.Weapons));
        differ(at + " models", Quoted(pf.MemberModels), Quoted(of.MemberModels));
    }
    auto show = [](const std::vector<GroupCall>& calls) {
        std::string text;
        for (const GroupCall& call : calls)
            text += call.add ? fmt::format(" +\"{}\"", call.name) : fmt::format(" -0x{:08X}", call.hash);
        return text.empty() ? std::string(" none") : text;
    };
    differ("the group calls", show(predicted.groupCalls), show(observed.groupCalls));
    return differences;
}

int StatusOf(const CheckOutcome& outcome) {
    if (!outcome.readError.empty()) return CheckCannotRun;
    if (!outcome.disagreements.empty()) return CheckDisagreement;
    if (outcome.walk.end != LoadEnd::Completed) return CheckLoadEnded;
    if (outcome.walk.parseError) return CheckKeysIgnored;
    for (const Finding& finding : outcome.walk.findings)
        if (finding.kind == FindingKind::ChangedNothing) return CheckKeysIgnored;
    return CheckLoaded;
}

CheckOutcome RunCheck(const std::string& path, void (*loader)()) {
    CheckOutcome outcome;
    std::string bytes;
    if (!ReadBytes(path, bytes, outcome.readError)) {
        outcome.status = CheckCannotRun;
        return outcome;
    }
    if (CurrentGame()) {
        outcome.readError = "a simulated game is already running in this process";
        outcome.status = CheckCannotRun;
        return outcome;
    }
    outcome.text = ParsedText(bytes);
    ResetScriptState();
    {
        // A fresh game, as at a press of the toggle key: "RIOTER" exists, no faction yet. The loader runs to
        // completion without waiting, so it can be called right here rather than on the script's fibre.
        Simulation sim;
        sim.game.BeginFrame();
        AddRelationshipGroup("RIOTER", &RioterGroup);
        const LoadState before = Capture(sim.game, sim.game.trace.lines.size());
        outcome.walk = WalkConfig(outcome.text, before, RioterGroup);

        const std::size_t mark = sim.game.trace.lines.size();
        const std::size_t faults = sim.game.errors.size();
        const char* configFile = Settings.ConfigFileName;
        Settings.ConfigFileName = path.c_str();
        loader();
        Settings.ConfigFileName = configFile;
        outcome.observed = Capture(sim.game, mark);
        outcome.disagreements = CompareLoads(outcome.walk.predicted, outcome.observed);
        for (std::size_t k = faults; k < sim.game.errors.size(); ++k)
            outcome.disagreements.push_back("the simulated game reported a fault: " + sim.game.errors[k]);
    }
    ResetScriptState();
    outcome.status = StatusOf(outcome);
    return outcome;
}

int CheckConfigFile(const std::string& path, std::ostream& out, std::ostream& err) {
    const CheckOutcome outcome = RunCheck(path, &LoadConfig);
    if (!outcome.readError.empty()) {
        err << fmt::format("skirmora-sim: cannot read {}: {}\n", path, outcome.readError);
        return outcome.status;
    }
    WriteReport(path, outcome, out);
    return outcome.status;
}
