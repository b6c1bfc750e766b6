// What a riot did, in 5-second rows: members per faction, recruits, releases and why, who fights whom.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/run/Recording.h"

// The table, with one column per faction (F0, F1, ...) and a line per row.
std::string FormatTimeline(const std::vector<TimelineRow>& rows);
std::string FormatTotals(const Totals& totals, double seconds);
// Game time to the millisecond, as short as it goes: "5", "4.5", "5.02".
std::string SecondsText(double seconds);
