// The check's report: what the real load left, with the account of why.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <sstream>

#include <fmt/format.h>

#include "app/Check.h"
#include "app/CheckLoad.h"
#include "app/CheckText.h"
#include "config/KeyNames.h"
#include "riot/Recruit.h"

namespace {

std::string At(const LineIndex& lines, std::ptrdiff_t offset, bool column) {
    const TextPosition position = lines.Of(offset, column);
    if (position.line == 0) return "";
    return column ? fmt::format("line {}, column {}", position.line, position.column)
                  : fmt::format("line {}", position.line);
}

// Names joined by commas, wrapped under an indent; a name quoted when empty or when it holds blanks or
// control bytes.
std::string Wrapped(const Names& names, std::size_t indent) {
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

std::vector<const Finding*> Found(const CheckedLoad& c, FindingKind kind) {
    std::vector<const Finding*> found;
    for (const Finding& finding : c.findings)
        if (finding.kind == kind) found.push_back(&finding);
    std::stable_sort(found.begin(), found.end(), [](const Finding* a, const Finding* b) {
        return (a->offset < 0 ? PTRDIFF_MAX : a->offset) < (b->offset < 0 ? PTRDIFF_MAX : b->offset);
    });
    return found;
}

std::ptrdiff_t First(const CheckedLoad& c, FindingKind kind) {
    return Found(c, kind).front()->offset;
}

std::string Counted(const CheckedLoad& c, FindingKind kind, const char* one, const char* many) {
    const std::size_t count = Found(c, kind).size();
    return count == 0 ? "" : fmt::format("{} {}", count, count == 1 ? one : many);
}

std::string Headline(const CheckedLoad& c, const LineIndex& lines, int status) {
    if (status == CheckLoadEnded)
        return "the load ended early, at " + At(lines, First(c, FindingKind::Ended), true);
    if (c.notJson) return "is not JSON text: the game reads no setting from it";
    std::string line = status == CheckKeysIgnored ? "loads"
                       : c.empty                  ? "holds no settings: everything keeps its built-in value"
                                                  : "loads completely, every key applied";
    const bool parse = c.Has(FindingKind::ParseError);
    if (parse) line += " after a parse error at " + At(lines, First(c, FindingKind::ParseError), true);
    std::string parts =
        Counted(c, FindingKind::ChangedNothing, "key changed nothing", "keys changed nothing");
    const std::string names =
        Counted(c, FindingKind::UnknownName, "name is not the game's", "names are not the game's");
    if (!names.empty()) parts += (parts.empty() ? "" : " and ") + names;
    if (!parts.empty()) line += (parse ? ", and " : ", but ") + parts;
    const std::string warnings = Counted(c, FindingKind::Warning, "warning", "warnings");
    return warnings.empty() ? line : line + " (" + warnings + " below)";
}

void WriteSettings(const CheckedLoad& c, const LineIndex& lines, std::ostream& out) {
    const SettingsRecord& s = c.settings;
    std::string key = fmt::format("key code {}", s.EnableKey);
    for (const auto& entry : KeyNameTable)
        if (entry.second == s.EnableKey) key = entry.first + " (" + key + ")";
    const std::string rows[][3] = {
        {"EnableKey", key, ""},
        {"MaxRioters", std::to_string(s.MaxRioters), ""},
        {"DisableCops", s.DisableCops ? "true" : "false", ""},
        {"PedAccuracy", fmt::format("{}", s.PedAccuracy),
         fmt::format("; rioters get accuracy {}", AccuracyInteger(s.PedAccuracy))},
        {"RiotersOnlyAttackPlayer", s.RiotersOnlyAttackPlayer ? "true" : "false",
         s.RiotersOnlyAttackPlayer ? "; every rioter fights only the player" : ""}};
    out << "\nSettings in force\n";
    for (const auto& row : rows) {
        const auto found = c.sources.find(row[0]);
        const SettingSource source = found == c.sources.end() ? SettingSource{} : found->second;
        const std::string from = source.fromFile       ? "from the file, " + At(lines, source.offset, false)
                                 : source.note.empty() ? "built-in"
                                                       : "built-in (" + source.note + ")";
        out << fmt::format("  {:<24} {:<22} {}{}\n", row[0], row[1], from, row[2]);
    }
}

void WriteWeapons(const CheckedLoad& c, const LineIndex& lines, std::ostream& out) {
    const bool ended = c.Has(FindingKind::Ended);
    out << fmt::format("\nShared weapons ({}, {})\n  {}\n", c.weapons.size(),
                       c.weaponsKey.empty()
                           ? "built-in"
                           : fmt::format("from \"{}\", {}", c.weaponsKey, At(lines, c.weaponsOffset, false)),
                       c.weapons.empty()
                           ? "none: rioters of factions without weapons of their own get no weapon"
                           : Wrapped(c.weapons, 2));
    const char* what =
        ended ? "thrown weapons NOT taken out (the load ended early): " : "thrown weapons taken out: ";
    if (!c.thrown.empty()) out << "  " << what << Wrapped(c.thrown, 2 + std::string(what).size()) << "\n";
}

void WriteFactions(const CheckedLoad& c, const LineIndex& lines, std::ostream& out) {
    out << fmt::format("\nFactions ({})\n", c.factions.size());
    if (c.factions.empty()) out << "  none: nobody is recruited\n";
    for (std::size_t k = 0; k < c.factions.size(); ++k) {
        const Faction& f = c.factions[k].faction;
        const std::string& name = c.factions[k].group;
        std::string cap = fmt::format("cap {}", f.MaxMembers);
        if (f.MaxMembers > static_cast<uint32_t>(INT_MAX))
            cap = fmt::format("no cap of its own (MaxMembers {}; only MaxRioters limits it)",
                              static_cast<int32_t>(f.MaxMembers));
        if (f.MaxMembers == 0) cap = "cap 0: recruits nobody";
        const std::string line = At(lines, c.factions[k].offset, false);
        const std::string title =
            f.IsDefault ? "the default faction (the file defines none)"
                        : fmt::format("Factions[{}]{}", k, line.empty() ? "" : " (" + line + ")");
        const std::string group = f.WillAttackSelf
                                      ? "no group of its own: attacks its own"
                                      : fmt::format("group \"{}\" (0x{:08X}){}", name, f.GroupHash,
                                                    name == "RIOTER" ? ": every rioter fights only the player"
                                                                     : ", fights the other factions");
        out << fmt::format("  {}: {}{}, {}\n", title, cap, f.IsDefault ? " (MaxRioters)" : "", group);
        out << "    models   "
            << (f.MemberModels.empty() ? "random pedestrians" : Wrapped(f.MemberModels, 13)) << "\n";
        out << "    weapons  " << (f.Weapons.empty() ? "the shared list" : Wrapped(f.Weapons, 13)) << "\n";
    }
}

// What the game does with a name it does not have.
const char* const UnknownNames =
    "  The game arms nobody with a weapon it does not have, and a model it does not have never loads: the\n"
    "  faction's rioters then come as random pedestrians, each after a second's wait.\n";

// The report's lists of findings, in the order of FindingKind; columns where a line holds several values.
const struct {
    const char* title;
    bool columns;
    const char* footer;
} Sections[] = {
    {"Parse error", true,
     "  The loader applies what it read before this point as if it were the whole file; nothing after\n"
     "  it is read.\n"},
    {"The load ended early", true, ""},
    {"Keys that changed nothing", false, ""},
    {"Names the game does not have", true, UnknownNames},
    {"Not read (the load ended before them)", false, ""},
    {"Warnings (applied, but maybe not as meant)", false, ""},
    {"Notes", true, UnknownNames},
};

void WriteFindings(const CheckedLoad& c, const LineIndex& lines, FindingKind kind, std::ostream& out) {
    const auto& section = Sections[static_cast<int>(kind)];
    const std::vector<const Finding*> found = Found(c, kind);
    if (found.empty()) return;
    out << "\n" << (kind == FindingKind::ParseError && c.notJson ? "Not JSON" : section.title) << "\n";
    for (const Finding* finding : found) {
        const std::string at = At(lines, finding->offset, section.columns);
        std::string message = finding->message;
        for (std::size_t k = message.find('\n'); k != std::string::npos; k = message.find('\n', k + 3))
            message.insert(k + 1, "  ");
        out << fmt::format("  {}{}\n", at.empty() ? "" : at + ": ", message);
    }
    // Notes on names share the footer of the likely typos: say it once.
    if (kind != FindingKind::Note || !c.Has(FindingKind::UnknownName)) out << section.footer;
}

}  // namespace

int StatusOf(const CheckedLoad& c) {
    if (c.Has(FindingKind::Ended)) return CheckLoadEnded;
    if (c.Has(FindingKind::ParseError) || c.Has(FindingKind::ChangedNothing) ||
        c.Has(FindingKind::UnknownName))
        return CheckKeysIgnored;
    return CheckLoaded;
}

std::string ReportOf(const std::string& name, const CheckedLoad& c, int status) {
    const LineIndex lines(c.text);
    std::ostringstream out;
    out << fmt::format("{}: {} (exit status {})\n", name, Headline(c, lines, status), status);
    if (c.empty)
        out << "\nThe file holds no JSON value, only blanks and comments: every key counts as absent.\n";
    WriteFindings(c, lines, FindingKind::ParseError, out);
    WriteFindings(c, lines, FindingKind::Ended, out);
    WriteSettings(c, lines, out);
    WriteWeapons(c, lines, out);
    WriteFactions(c, lines, out);
    for (FindingKind kind : {FindingKind::ChangedNothing, FindingKind::UnknownName, FindingKind::NotRead,
                             FindingKind::Warning, FindingKind::Note})
        WriteFindings(c, lines, kind, out);
    return out.str();
}
