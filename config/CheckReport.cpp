#include <algorithm>
#include <climits>
#include <cstdint>
#include <sstream>

#include <fmt/format.h>

#include "config/CheckReport.h"
#include "config/ConfigKeys.h"
#include "config/KeyNames.h"
#include "config/LoadCheck.h"
#include "config/LoadVerdict.h"
#include "config/Settings.h"

namespace {

// Names joined by commas, wrapped under an indent; a name quoted when empty or when it holds blanks or
// control bytes.
std::string Wrapped(const std::vector<std::string>& names, std::size_t indent) {
    std::string text, line;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string& name = names[k];
        const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
            return static_cast<unsigned char>(c) > ' ' && c != 0x7F;
        });
        const std::string piece = (plain ? name : "\"" + name + "\"") + (k + 1 < names.size() ? "," : "");
        if (!line.empty() && indent + line.size() + 1 + piece.size() > 110) {
            text += line + "\n" + std::string(indent, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + piece;
    }
    return text + line;
}

void WriteSettings(const CheckedLoad& c, std::ostream& out) {
    out << "\nSettings in force\n";
    for (const ConfigKey* key = ConfigKeysBegin(); key != ConfigKeysEnd(); ++key) {
        if (key->level != KeyLevel::TopLevel || !(key->whole || key->flag || key->number)) continue;
        const auto from = c.from.find(key->name);
        const std::string means = key->means(c.load.Settings);
        out << fmt::format("  {:<24} {:<22} {}{}\n", key->name, SettingText(*key, c.load.Settings),
                           from == c.from.end() ? "built-in" : from->second,
                           means.empty() ? "" : "; " + means);
    }
}

void WriteWeapons(const CheckedLoad& c, std::ostream& out) {
    const std::vector<std::string>& SharedWeaponList = c.load.SharedWeaponList;
    out << fmt::format("\nShared weapons ({}, {})\n  {}\n", SharedWeaponList.size(), c.weaponsFrom,
                       SharedWeaponList.empty()
                           ? "none: rioters of factions without weapons of their own get no weapon"
                           : Wrapped(SharedWeaponList, 2));
    const std::string what = c.Has(FindingKind::Ended)
                                 ? "thrown weapons NOT taken out (the load ended early): "
                                 : "thrown weapons taken out: ";
    if (!c.thrown.empty()) out << "  " << what << Wrapped(c.thrown, 2 + what.size()) << "\n";
}

void WriteFactions(const CheckedLoad& c, std::ostream& out) {
    out << fmt::format("\nFactions ({})\n", c.factions.size());
    if (c.factions.empty()) out << "  none: nobody is recruited\n";
    for (std::size_t k = 0; k < c.factions.size(); ++k) {
        const FactionPlan& f = c.load.Factions[c.factions[k]];
        const std::string name = f.UsesRioterGroup ? RioterGroupName : f.GroupName;
        std::string cap = fmt::format("cap {}", f.MaxMembers);
        if (f.MaxMembers > static_cast<uint32_t>(INT_MAX))
            cap = fmt::format("no cap of its own (MaxMembers {}; only MaxRioters limits it)",
                              static_cast<int32_t>(f.MaxMembers));
        if (f.MaxMembers == 0) cap = "cap 0: recruits nobody";
        const std::string title = f.IsDefault ? "the default faction (the file defines none)"
                                              : fmt::format("Factions[{}] ({})", k, c.entries[k]);
        std::string group =
            f.WillAttackSelf
                ? "no group of its own: attacks its own"
                : fmt::format("group \"{}\" (0x{:08X}), fights the other factions", name, GroupHashOf(name));
        if (c.load.Settings.RiotersOnlyAttackPlayer)
            group = name == RioterGroupName
                        ? fmt::format("group \"{}\" (0x{:08X}): every rioter fights only the player", name,
                                      GroupHashOf(name))
                        : fmt::format("its rioters join \"{}\" (0x{:08X}) and fight only the player",
                                      RioterGroupName, GroupHashOf(RioterGroupName));
        out << fmt::format("  {}: {}{}, {}\n", title, cap, f.IsDefault ? " (MaxRioters)" : "", group);
        out << "    models   "
            << (f.MemberModels.empty() ? "random pedestrians" : Wrapped(f.MemberModels, 13)) << "\n";
        out << "    weapons  " << (f.Weapons.empty() ? "the shared list" : Wrapped(f.Weapons, 13)) << "\n";
    }
}

}  // namespace

std::string ReportOf(const std::string& name, const CheckedLoad& c, int status) {
    std::ostringstream out;
    out << fmt::format("{}: {} (exit status {})\n", name, Headline(c, status), status);
    WriteConsequences(c, out);
    WriteFindings(c, FindingKind::ParseError, out);
    WriteFindings(c, FindingKind::Ended, out);
    WriteSettings(c, out);
    WriteWeapons(c, out);
    WriteFactions(c, out);
    for (FindingKind kind :
         {FindingKind::ChangedNothing, FindingKind::UnknownName, FindingKind::Thrown, FindingKind::Note})
        WriteFindings(c, kind, out);
    return out.str();
}

bool CheckLoadBytes(const std::string& bytes, CheckedLoad& checked) {
    try {
        return ExplainLoad(DecideLoad(bytes, LoadBasis{}), checked);
    } catch (...) {
        return false;
    }
}

std::string CheckReport(const std::string& name, const std::string& bytes, int& status) {
    CheckedLoad checked;
    status = CheckCannotRun;
    if (!CheckLoadBytes(bytes, checked)) return "";
    try {
        const int loaded = StatusOf(checked);
        std::string report = ReportOf(name, checked, loaded);
        status = loaded;
        return report;
    } catch (...) {
        return "";
    }
}
