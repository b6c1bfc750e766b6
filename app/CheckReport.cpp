// The check's report: what the real loader left, with the walk's account of why.
#include <algorithm>
#include <climits>
#include <cstdint>

#include <fmt/format.h>

#include "app/Check.h"
#include "app/CheckRun.h"
#include "app/CheckText.h"
#include "config/KeyNames.h"
#include "config/WeaponLists.h"
#include "riot/Recruit.h"

namespace {

std::string Plural(std::size_t count, const char* one, const char* many) {
    return fmt::format("{} {}", count, count == 1 ? one : many);
}

std::string At(const LineIndex& lines, std::ptrdiff_t offset, bool column) {
    if (!column) {
        const int line = lines.LineOf(offset);
        return line == 0 ? "" : fmt::format("line {}", line);
    }
    const TextPosition position = lines.Of(offset);
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

// The thrown weapons a list holds, each once.
Names ThrownIn(const Names& weapons) {
    Names thrown;
    for (const std::string& name : weapons)
        if (IsThrowable(name) && std::find(thrown.begin(), thrown.end(), name) == thrown.end())
            thrown.push_back(name);
    return thrown;
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

std::string Headline(const CheckOutcome& o, const LineIndex& lines, std::size_t ignored,
                     std::size_t warnings) {
    const WalkResult& w = o.walk;
    std::string line;
    switch (o.status) {
        case CheckDisagreement:
            return "this check and the loader disagree (see \"Internal disagreement\")";
        case CheckLoadEnded:
            return "the load ended early, at " + At(lines, w.endOffset, true);
        case CheckKeysIgnored:
            line = "loads";
            if (w.parseError) line += " after a parse error at " + At(lines, w.parseOffset, true);
            if (ignored > 0)
                line += fmt::format("{} {} changed nothing", w.parseError ? ", and" : ", but",
                                    Plural(ignored, "key", "keys"));
            break;
        default:
            line = w.empty ? "holds no settings: everything keeps its built-in value"
                           : "loads completely, every key applied";
    }
    if (warnings > 0) line += fmt::format(" ({} below)", Plural(warnings, "warning", "warnings"));
    return line;
}

void WriteEnd(const CheckOutcome& o, const LineIndex& lines, std::ostream& out) {
    const WalkResult& w = o.walk;
    out << "\nThe load ended early\n";
    const std::string at = At(lines, w.endOffset, true);
    out << fmt::format("  {}{}\n", at.empty() ? "" : at + ": ", w.endWhy);
    const char* keptFactions =
        "  The factions are not rebuilt: those of the last load stay. At the game's start there are none "
        "yet, so\n"
        "  nobody is recruited until a load gets through.\n";
    switch (w.end) {
        case LoadEnd::InParse:
        case LoadEnd::AtDocument:
            out << "  Nothing changed: the settings and the shared weapons keep their values.\n"
                << keptFactions;
            break;
        case LoadEnd::InSettings:
            out << "  What was read before it is applied; nothing after it is read.\n" << keptFactions;
            break;
        case LoadEnd::InSharedWeapons:
            out << "  The shared weapons hold the entries before the bad one; nothing after it is read.\n"
                << keptFactions;
            break;
        case LoadEnd::InFactions:
            out << fmt::format(
                "  The settings and the shared weapons are applied. The groups of the last load's factions "
                "are\n"
                "  removed, and the faction list holds only the {} built before it{}.\n",
                Plural(o.observed.factions.size(), "faction", "factions"),
                o.observed.factions.empty() ? ": no faction at all, so nobody is recruited" : "");
            if (!w.endFaction.empty()) out << "  " << w.endFaction << ".\n";
            break;
        case LoadEnd::Completed:
            break;
    }
    const Names thrown = ThrownIn(o.observed.weapons);
    if (!thrown.empty())
        out << fmt::format(
            "  The thrown weapons are not taken out of the shared list (the last step of a load):\n"
            "  {} {} in it.\n",
            Wrapped(thrown, 2), thrown.size() == 1 ? "stays" : "stay");
}

void WriteSettings(const CheckOutcome& o, const LineIndex& lines, std::ostream& out) {
    const WalkResult& w = o.walk;
    const SettingsRecord& s = o.observed.settings;
    out << "\nSettings in force\n";
    auto row = [&](const char* key, const std::string& value, const std::string& source) {
        out << fmt::format("  {:<24} {:<22} {}\n", key, value, source);
    };
    row("EnableKey", KeyName(s.EnableKey), Source(lines, w.enableKey));
    row("MaxRioters", std::to_string(s.MaxRioters), Source(lines, w.maxRioters));
    row("DisableCops", s.DisableCops ? "true" : "false", Source(lines, w.disableCops));
    row("PedAccuracy", fmt::format("{}", s.PedAccuracy),
        Source(lines, w.pedAccuracy) +
            fmt::format("; rioters get accuracy {}", AccuracyInteger(s.PedAccuracy)));
    row("RiotersOnlyAttackPlayer", s.RiotersOnlyAttackPlayer ? "true" : "false",
        Source(lines, w.riotersOnlyAttackPlayer) +
            (s.RiotersOnlyAttackPlayer ? "; every rioter fights only the player" : ""));
}

void WriteWeapons(const CheckOutcome& o, const LineIndex& lines, std::ostream& out) {
    const WalkResult& w = o.walk;
    const Names& weapons = o.observed.weapons;
    const std::string from = w.weaponsKey.empty() ? "built-in"
                                                  : fmt::format("from \"{}\", {}", w.weaponsKey,
                                                                At(lines, w.weaponsOffset, false));
    out << fmt::format("\nShared weapons ({}, {})\n", weapons.size(), from);
    out << "  "
        << (weapons.empty() ? "none: rioters of factions without weapons of their own get no weapon"
                            : Wrapped(weapons, 2))
        << "\n";
    if (w.end == LoadEnd::Completed && !w.thrownRemoved.empty())
        out << fmt::format("  thrown weapons taken out: {}\n", Wrapped(w.thrownRemoved, 28));
    const Names thrown = ThrownIn(weapons);
    if (w.end != LoadEnd::Completed && !thrown.empty())
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

void WriteFactions(const CheckOutcome& o, const LineIndex& lines, std::ostream& out) {
    const std::vector<FactionState>& factions = o.observed.factions;
    out << fmt::format("\nFactions ({})\n", factions.size());
    if (factions.empty()) out << "  none: nobody is recruited\n";
    for (std::size_t k = 0; k < factions.size(); ++k) {
        const FactionState& f = factions[k];
        std::string group;
        if (f.WillAttackSelf) {
            group = "no group of its own: attacks its own";
        } else if (f.group.empty()) {
            group = "no group yet (\"RIOTER\" is made after the game's start-up load)";
        } else {
            group = fmt::format("group \"{}\" (0x{:08X})", f.group, f.GroupHash);
            group +=
                f.group == "RIOTER" ? ": every rioter fights only the player" : ", fights the other factions";
        }
        if (f.IsDefault) {
            out << fmt::format("  the default faction (the file defines none): {}, {}\n",
                               f.MaxMembers == static_cast<uint32_t>(o.observed.settings.MaxRioters)
                                   ? Cap(f.MaxMembers) + " (MaxRioters)"
                                   : Cap(f.MaxMembers),
                               group);
        } else {
            const std::ptrdiff_t offset = k < o.walk.factionOffsets.size() ? o.walk.factionOffsets[k] : -1;
            const std::string line = At(lines, offset, false);
            out << fmt::format("  Factions[{}]{}: {}, {}\n", k, line.empty() ? "" : " (" + line + ")",
                               Cap(f.MaxMembers), group);
        }
        out << "    models   "
            << (f.MemberModels.empty() ? "random pedestrians" : Wrapped(f.MemberModels, 13)) << "\n";
        out << "    weapons  " << (f.Weapons.empty() ? "the shared list" : Wrapped(f.Weapons, 13)) << "\n";
    }
}

void WriteFindings(const CheckOutcome& o, const LineIndex& lines, FindingKind kind, const char* title,
                   std::ostream& out) {
    std::vector<const Finding*> found;
    for (const Finding& finding : o.walk.findings)
        if (finding.kind == kind) found.push_back(&finding);
    if (found.empty()) return;
    std::stable_sort(found.begin(), found.end(), [](const Finding* a, const Finding* b) {
        return (a->offset < 0 ? PTRDIFF_MAX : a->offset) < (b->offset < 0 ? PTRDIFF_MAX : b->offset);
    });
    out << "\n" << title << "\n";
    for (const Finding* finding : found) {
        const std::string at = At(lines, finding->offset, false);
        out << fmt::format("  {}{}\n", at.empty() ? "" : at + ": ", finding->message);
    }
}

}  // namespace

void WriteReport(const std::string& path, const CheckOutcome& o, std::ostream& out) {
    const WalkResult& w = o.walk;
    const LineIndex lines(o.text);
    std::size_t ignored = 0, warnings = 0;
    for (const Finding& finding : w.findings) {
        if (finding.kind == FindingKind::ChangedNothing) ++ignored;
        if (finding.kind == FindingKind::Warning) ++warnings;
    }
    out << fmt::format("{}: {} (exit status {})\n", path, Headline(o, lines, ignored, warnings), o.status);
    if (!o.disagreements.empty()) {
        out << "\nInternal disagreement\n";
        for (const std::string& difference : o.disagreements)
            out << "  internal disagreement: " << difference << "\n";
        out << "  The sections below show what the loader did; the explanations may be wrong.\n";
    }
    if (w.empty)
        out << "\nThe file holds no JSON value, only blanks and comments: every key counts as absent.\n";
    if (w.parseError) {
        out << "\nParse error\n";
        out << fmt::format("  {}: {}\n", At(lines, w.parseOffset, true), w.parseMessage);
        out << "  The loader applies what it read before this point as if it were the whole file; nothing "
               "after\n"
               "  it is read.\n";
    }
    if (w.end != LoadEnd::Completed) WriteEnd(o, lines, out);
    WriteSettings(o, lines, out);
    WriteWeapons(o, lines, out);
    WriteFactions(o, lines, out);
    WriteFindings(o, lines, FindingKind::ChangedNothing, "Keys that changed nothing", out);
    WriteFindings(o, lines, FindingKind::NotRead, "Not read (the load ended before them)", out);
    WriteFindings(o, lines, FindingKind::Warning, "Warnings (applied, but maybe not as meant)", out);
}
