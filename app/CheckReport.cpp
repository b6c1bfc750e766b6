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
#include "config/WeaponLists.h"
#include "riot/Recruit.h"

namespace {

std::string Plural(std::size_t count, const char* one, const char* many) {
    return fmt::format("{} {}", count, count == 1 ? one : many);
}

std::string At(const LineIndex& lines, std::ptrdiff_t offset, bool column) {
    const TextPosition position = lines.Of(offset, column);
    if (position.line == 0) return "";
    return column ? fmt::format("line {}, column {}", position.line, position.column)
                  : fmt::format("line {}", position.line);
}

// Names joined by commas, wrapped under an indent.
std::string Wrapped(const Names& names, std::size_t indent) {
    std::string text, line;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string piece = ShowName(names[k]) + (k + 1 < names.size() ? "," : "");
        if (!line.empty() && indent + line.size() + 1 + piece.size() > 110) {
            text += line + "\n" + std::string(indent, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + piece;
    }
    return text + line;
}

std::size_t Count(const CheckedLoad& c, FindingKind kind) {
    return static_cast<std::size_t>(std::count_if(
        c.findings.begin(), c.findings.end(), [&](const Finding& finding) { return finding.kind == kind; }));
}

std::string KeyName(int32_t code) {
    for (const auto& entry : KeyNameTable)
        if (entry.second == code) return fmt::format("{} (key code {})", entry.first, code);
    return fmt::format("key code {}", code);
}

std::string Source(const LineIndex& lines, const SettingSource& source) {
    if (source.fromFile) return "from the file, " + At(lines, source.offset, false);
    return source.note.empty() ? "built-in" : "built-in (" + source.note + ")";
}

std::string Headline(const CheckedLoad& c, const LineIndex& lines, int status) {
    const std::size_t ignored = Count(c, FindingKind::ChangedNothing);
    const std::size_t names = Count(c, FindingKind::UnknownName);
    const std::size_t warnings = Count(c, FindingKind::Warning);
    std::string line;
    if (status == CheckLoadEnded) return "the load ended early, at " + At(lines, c.endOffset, true);
    if (c.notJson) {
        line = "is not JSON text: the game reads no setting from it";
    } else if (status == CheckKeysIgnored) {
        line = "loads";
        if (c.parseError) line += " after a parse error at " + At(lines, c.parseOffset, true);
        std::vector<std::string> parts;
        if (ignored > 0) parts.push_back(Plural(ignored, "key", "keys") + " changed nothing");
        if (names > 0) parts.push_back(Plural(names, "name is", "names are") + " not the game's");
        for (std::size_t k = 0; k < parts.size(); ++k)
            line += (k > 0 ? " and " : c.parseError ? ", and " : ", but ") + parts[k];
    } else {
        line = c.empty ? "holds no settings: everything keeps its built-in value"
                       : "loads completely, every key applied";
    }
    if (warnings > 0) line += fmt::format(" ({} below)", Plural(warnings, "warning", "warnings"));
    return line;
}

void WriteSettings(const CheckedLoad& c, const LineIndex& lines, std::ostream& out) {
    const SettingsRecord& s = c.settings;
    out << "\nSettings in force\n";
    auto row = [&](const char* key, const std::string& value, const std::string& source) {
        out << fmt::format("  {:<24} {:<22} {}\n", key, value, source);
    };
    row("EnableKey", KeyName(s.EnableKey), Source(lines, c.enableKey));
    row("MaxRioters", std::to_string(s.MaxRioters), Source(lines, c.maxRioters));
    row("DisableCops", s.DisableCops ? "true" : "false", Source(lines, c.disableCops));
    row("PedAccuracy", fmt::format("{}", s.PedAccuracy),
        Source(lines, c.pedAccuracy) +
            fmt::format("; rioters get accuracy {}", AccuracyInteger(s.PedAccuracy)));
    row("RiotersOnlyAttackPlayer", s.RiotersOnlyAttackPlayer ? "true" : "false",
        Source(lines, c.riotersOnlyAttackPlayer) +
            (s.RiotersOnlyAttackPlayer ? "; every rioter fights only the player" : ""));
}

void WriteWeapons(const CheckedLoad& c, const LineIndex& lines, std::ostream& out) {
    const std::string from = c.weaponsKey.empty() ? "built-in"
                                                  : fmt::format("from \"{}\", {}", c.weaponsKey,
                                                                At(lines, c.weaponsOffset, false));
    out << fmt::format("\nShared weapons ({}, {})\n", c.weapons.size(), from);
    out << "  "
        << (c.weapons.empty() ? "none: rioters of factions without weapons of their own get no weapon"
                              : Wrapped(c.weapons, 2))
        << "\n";
    if (!c.thrownRemoved.empty())
        out << fmt::format("  thrown weapons taken out: {}\n", Wrapped(c.thrownRemoved, 28));
    Names thrown;
    for (const std::string& name : c.weapons)
        if (IsThrowable(name) && std::find(thrown.begin(), thrown.end(), name) == thrown.end())
            thrown.push_back(name);
    if (c.ended && !thrown.empty())
        out << fmt::format("  thrown weapons NOT taken out (the load ended early): {}\n",
                           Wrapped(thrown, 56));
}

std::string Cap(uint32_t cap) {
    if (cap > static_cast<uint32_t>(INT_MAX))
        return fmt::format("no cap of its own (MaxMembers {}; only MaxRioters limits it)",
                           static_cast<int32_t>(cap));
    if (cap == 0) return "cap 0: recruits nobody";
    return fmt::format("cap {}", cap);
}

void WriteFactions(const CheckedLoad& c, const LineIndex& lines, std::ostream& out) {
    out << fmt::format("\nFactions ({})\n", c.factions.size());
    if (c.factions.empty()) out << "  none: nobody is recruited\n";
    for (std::size_t k = 0; k < c.factions.size(); ++k) {
        const Faction& f = c.factions[k].faction;
        const std::string& name = c.factions[k].group;
        std::string group;
        if (f.WillAttackSelf) {
            group = "no group of its own: attacks its own";
        } else if (name.empty()) {
            group = "no group yet (\"RIOTER\" is made after the game's start-up load)";
        } else {
            group = fmt::format(
                "group \"{}\" (0x{:08X}){}", name, f.GroupHash,
                name == "RIOTER" ? ": every rioter fights only the player" : ", fights the other factions");
        }
        if (f.IsDefault) {
            const bool fromMax = f.MaxMembers == static_cast<uint32_t>(c.settings.MaxRioters);
            out << fmt::format("  the default faction (the file defines none): {}, {}\n",
                               Cap(f.MaxMembers) + (fromMax ? " (MaxRioters)" : ""), group);
        } else {
            const std::string line = At(lines, c.factions[k].offset, false);
            out << fmt::format("  Factions[{}]{}: {}, {}\n", k, line.empty() ? "" : " (" + line + ")",
                               Cap(f.MaxMembers), group);
        }
        out << "    models   "
            << (f.MemberModels.empty() ? "random pedestrians" : Wrapped(f.MemberModels, 13)) << "\n";
        out << "    weapons  " << (f.Weapons.empty() ? "the shared list" : Wrapped(f.Weapons, 13)) << "\n";
    }
}

void WriteFindings(const CheckedLoad& c, const LineIndex& lines, FindingKind kind, const char* title,
                   std::ostream& out, const char* footer = "") {
    std::vector<const Finding*> found;
    for (const Finding& finding : c.findings)
        if (finding.kind == kind) found.push_back(&finding);
    if (found.empty()) return;
    std::stable_sort(found.begin(), found.end(), [](const Finding* a, const Finding* b) {
        return (a->offset < 0 ? PTRDIFF_MAX : a->offset) < (b->offset < 0 ? PTRDIFF_MAX : b->offset);
    });
    const bool columns = kind == FindingKind::UnknownName || kind == FindingKind::Note;
    out << "\n" << title << "\n";
    for (const Finding* finding : found) {
        const std::string at = At(lines, finding->offset, columns);
        out << fmt::format("  {}{}\n", at.empty() ? "" : at + ": ", finding->message);
    }
    out << footer;
}

// What the game does with a name it does not have.
const char* const UnknownNames =
    "  The game arms nobody with a weapon it does not have, and a model it does not have never loads: the\n"
    "  faction's rioters then come as random pedestrians, each after a second's wait.\n";

}  // namespace

int StatusOf(const CheckedLoad& c) {
    if (c.ended) return CheckLoadEnded;
    if (c.parseError || Count(c, FindingKind::ChangedNothing) > 0 || Count(c, FindingKind::UnknownName) > 0)
        return CheckKeysIgnored;
    return CheckLoaded;
}

std::string ReportOf(const std::string& name, const CheckedLoad& c, int status) {
    const LineIndex lines(c.text);
    std::ostringstream out;
    out << fmt::format("{}: {} (exit status {})\n", name, Headline(c, lines, status), status);
    if (c.empty)
        out << "\nThe file holds no JSON value, only blanks and comments: every key counts as absent.\n";
    if (c.parseError) {
        out << (c.notJson ? "\nNot JSON\n" : "\nParse error\n");
        out << fmt::format("  {}: {}\n", At(lines, c.parseOffset, true), c.parseMessage);
        out << "  The loader applies what it read before this point as if it were the whole file; nothing "
               "after\n"
               "  it is read.\n";
    }
    if (c.ended) {
        out << "\nThe load ended early\n";
        const std::string at = At(lines, c.endOffset, true);
        out << fmt::format("  {}{}\n", at.empty() ? "" : at + ": ", c.endWhy);
        for (const std::string& line : c.endEffect)
            out << "  " << line << "\n";
    }
    WriteSettings(c, lines, out);
    WriteWeapons(c, lines, out);
    WriteFactions(c, lines, out);
    WriteFindings(c, lines, FindingKind::ChangedNothing, "Keys that changed nothing", out);
    WriteFindings(c, lines, FindingKind::UnknownName, "Names the game does not have", out, UnknownNames);
    WriteFindings(c, lines, FindingKind::NotRead, "Not read (the load ended before them)", out);
    WriteFindings(c, lines, FindingKind::Warning, "Warnings (applied, but maybe not as meant)", out);
    WriteFindings(c, lines, FindingKind::Note, "Notes", out, UnknownNames);
    return out.str();
}
