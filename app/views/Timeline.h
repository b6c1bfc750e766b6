// What a riot did, in 5-second rows: members per faction, recruits, releases and why, who fights whom.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sim/World.h"

struct TimelineRow {
    double from = 0.0;
    double to = 0.0;
    std::vector<int> members;  // per faction, at the row's end
    int64_t recruited = 0;
    int64_t released[ReleaseReasonCount] = {};
    int64_t dropped = 0;      // members a config reload let go without releasing them
    int fightingRioters = 0;  // at the row's end: rioters whose target is another rioter
    int fightingPlayer = 0;   // and those whose target is the player
    int64_t playerDeaths = 0;
    bool modeOn = false;
    std::string player;  // at the row's end: "on foot", "in a vehicle", "dead"
};

struct Totals {
    int64_t recruited = 0;
    int64_t released[ReleaseReasonCount] = {};
    int64_t dropped = 0;
    int64_t playerDeaths = 0;
    int64_t attacks = 0;
    int64_t hits = 0;
    int64_t pedDeaths = 0;
    int peakRioters = 0;
};

// The table, with one column per faction (F0, F1, ...) and a line per row.
std::string FormatTimeline(const std::vector<TimelineRow>& rows);
std::string FormatTotals(const Totals& totals, double seconds);
