// What a riot did, in 5-second rows: members per faction, recruits, releases and why, who fights whom.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/run/Recording.h"

// The table, with one column per faction (F0, F1, ...) and a line per row.
std::string FormatTimeline(const std::vector<TimelineRow>& rows);
std::string FormatTotals(const Totals& totals, double seconds);
// Each faction's fights over the run: members, recruits, kills and deaths, hits per attack, time in the riot,
// and the weapons its members were handed with their kills. The replay page shows the same numbers.
std::string FormatFactionTable(const Recording& recording);
// n / d with `places` decimals, halves rounded up, in whole-number arithmetic ("-" when d is 0), as the page
// rounds.
std::string RatioText(int64_t n, int64_t d, int places);
// Game time to the millisecond, as short as it goes: "5", "4.5", "5.02".
std::string SecondsText(double seconds);
