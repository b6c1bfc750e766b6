#include "app/views/Timeline.h"

#include <algorithm>

#include <fmt/core.h>

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

std::string SecondsText(double seconds) {
    std::string text = fmt::format("{:.3f}", seconds);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}
