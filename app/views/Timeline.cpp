#include "app/views/Timeline.h"

#include <algorithm>

#include <fmt/core.h>

#include "config/Words.h"

namespace {
std::string Counted(int64_t count, const char* word) {
    return fmt::format("{} {}{}", count, word, count == 1 ? "" : "s");
}

int64_t Released(const int64_t* counts, CullReason reason) {
    return counts[static_cast<int>(reason)];
}
}  // namespace

std::string FormatTimeline(const std::vector<TimelineRow>& rows) {
    size_t factions = 0;
    for (const TimelineRow& row : rows)
        factions = std::max(factions, row.members.size());
    std::string out = fmt::format("{:>11}  {:4}", "time (s)", "mode");
    for (size_t k = 0; k < factions; ++k)
        out += fmt::format("{:>5}", fmt::format("F{}", k));
    out += fmt::format("{:>7}{:>8}{:>6}{:>9}{:>9}{:>10}{:>9}  {}\n", "total", "recruit", "dead", "vanished",
                       "too far", "vs rioter", "vs you", "you");
    for (const TimelineRow& row : rows) {
        int total = 0;
        out += fmt::format("{:>11}  {:4}", SecondsText(row.from) + "-" + SecondsText(row.to),
                           row.modeOn ? "on" : "off");
        for (size_t k = 0; k < factions; ++k) {
            const int members = k < row.members.size() ? row.members[k] : 0;
            total += members;
            out += k < row.members.size() ? fmt::format("{:>5}", members) : fmt::format("{:>5}", "-");
        }
        std::string player = row.player;
        if (row.playerDeaths > 0) {
            player = row.playerDeaths == 1 ? "died" : fmt::format("died {} times", row.playerDeaths);
            if (row.player != "dead") player += ", back " + row.player;
        }
        if (row.dropped > 0) player += fmt::format(" ({} dropped at a reload)", row.dropped);
        out += fmt::format(
            "{:>7}{:>8}{:>6}{:>9}{:>9}{:>10}{:>9}  {}\n", total, row.recruited,
            Released(row.released, CullReason::FailedPedCheck), Released(row.released, CullReason::Gone),
            Released(row.released, CullReason::TooFar), row.fightingRioters, row.fightingPlayer, player);
    }
    return out;
}

std::string FormatTotals(const Totals& totals, double seconds) {
    int64_t released = 0;
    for (int64_t count : totals.released)
        released += count;
    std::string out = fmt::format(
        "In {} s: {} recruited (at most {} at once), {} released: {} dead, {} vanished, {} too far",
        SecondsText(seconds), totals.recruited, totals.peakRioters, released,
        Released(totals.released, CullReason::FailedPedCheck), Released(totals.released, CullReason::Gone),
        Released(totals.released, CullReason::TooFar));
    out += ".\n";
    if (totals.dropped > 0)
        out += fmt::format("{} {} dropped without release when a key press reloaded the config.\n",
                           Counted(totals.dropped, "rioter"), totals.dropped == 1 ? "was" : "were");
    out += fmt::format("{}, {}, {} killed; you died {}.\n", Counted(totals.attacks, "attack"),
                       Counted(totals.hits, "hit"), Counted(totals.pedDeaths, "rioter"),
                       Counted(totals.playerDeaths, "time"));
    return out;
}

std::string RatioText(int64_t n, int64_t d, int places) {
    if (d <= 0) return "-";
    int64_t scale = 1;
    for (int k = 0; k < places; ++k)
        scale *= 10;
    const int64_t scaled = (2 * n * scale + d) / (2 * d);
    if (places == 0) return fmt::format("{}", scaled);
    return fmt::format("{}.{:0{}}", scaled / scale, scaled % scale, places);
}

namespace {
std::string WeaponsLine(const FactionScore& score, const std::vector<std::string>& names) {
    std::string out, line = "    weapons handed (kills):";
    for (const WeaponScore& weapon : score.weapons) {
        const std::string name = weapon.weapon >= 0 && static_cast<size_t>(weapon.weapon) < names.size()
                                     ? Printable(names[static_cast<size_t>(weapon.weapon)])
                                     : "no weapon";
        std::string item = weapon.weapon >= 0 ? fmt::format(" {} {} ({})", name, weapon.handed, weapon.kills)
                                              : fmt::format(" {} ({})", name, weapon.kills);
        if (&weapon != &score.weapons.back()) item += ',';
        if (line.size() + item.size() > 110 && line.size() > 30) {
            out += line + '\n';
            line = "     ";
        }
        line += item;
    }
    if (score.weapons.empty()) line += " none";
    return out + line + '\n';
}
}  // namespace

std::string FormatFactionTable(const Recording& recording) {
    std::string out =
        fmt::format("\nFactions{:>10}{:>11}{:>7}{:>8}{:>13}{:>13}{:>12}{:>14}\n", "members", "recruited",
                    "kills", "deaths", "kills/death", "hits/attack", "mean life", "longest life");
    for (size_t k = 0; k < recording.factions.size(); ++k) {
        const FactionScore& score = recording.factions[k];
        out += fmt::format("  {:<6}{:>10}{:>11}{:>7}{:>8}{:>13}{:>13}{:>12}{:>14}\n", fmt::format("F{}", k),
                           score.members, score.recruited, score.kills, score.deaths,
                           RatioText(score.kills, score.deaths, 2), RatioText(score.hits, score.attacks, 2),
                           score.recruited ? RatioText(score.lifeMs, score.recruited * 1000, 1) + " s" : "-",
                           score.recruited ? RatioText(score.longestLifeMs, 1000, 1) + " s" : "-");
        out += WeaponsLine(score, recording.weaponNames);
    }
    int64_t attacks = 0, hits = 0, kills = 0;
    for (const FactionScore& score : recording.factions) {
        attacks += score.attacks;
        hits += score.hits;
        kills += score.kills;
    }
    const Totals& totals = recording.totals;
    if (attacks != totals.attacks || hits != totals.hits || kills != totals.pedDeaths)
        out += fmt::format(
            "  By peds out of the roster (dropped at a reload, or released alive): {}, {}, {} killed.\n",
            Counted(totals.attacks - attacks, "attack"), Counted(totals.hits - hits, "hit"),
            Counted(totals.pedDeaths - kills, "ped"));
    return out;
}

std::string SecondsText(double seconds) {
    std::string text = fmt::format("{:.3f}", seconds);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}
