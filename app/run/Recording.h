// What one run of a riot recorded, once a frame, for every view of it: the timeline's rows and totals, the
// maps and the members chart, and the replay's samples and tracks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "riot/Roster.h"

// The timeline: 5-second rows (longer in long runs).
struct TimelineRow {
    double from = 0.0;
    double to = 0.0;
    std::vector<int> members;  // per faction, at the row's end
    int64_t recruited = 0;
    int64_t released[static_cast<int>(CullReason::Count)] = {};  // by the script's reason
    int64_t dropped = 0;      // members a config reload let go without releasing them
    int fightingRioters = 0;  // at the row's end: rioters whose target is another rioter
    int fightingPlayer = 0;   // and those whose target is the player
    int64_t playerDeaths = 0;
    bool modeOn = false;
    std::string player;  // at the row's end: "on foot", "in a vehicle", "dead"
};

struct Totals {
    int64_t recruited = 0;
    int64_t released[static_cast<int>(CullReason::Count)] = {};
    int64_t dropped = 0;
    int64_t playerDeaths = 0;
    int64_t attacks = 0;
    int64_t hits = 0;
    int64_t pedDeaths = 0;
    int peakRioters = 0;
};

// The maps: the world around the player at chosen moments.
struct MapRioter {
    float x = 0.0f;
    float y = 0.0f;
    int faction = 0;  // index into the faction names
    bool hasTarget = false;
    bool targetIsPlayer = false;
    float targetX = 0.0f;
    float targetY = 0.0f;
    bool dead = false;  // killed and not yet released
};

struct MapSnapshot {
    double seconds = 0.0;  // game time since the run began
    float playerX = 0.0f;
    float playerY = 0.0f;
    bool playerInVehicle = false;
    bool playerDead = false;
    bool modeOn = false;
    std::vector<MapRioter> rioters;
};

// The members chart: members per faction every half second (longer in long runs).
struct ChartSample {
    double seconds = 0.0;
    std::vector<int> members;  // one count per faction
};

// How a rioter left the roster: released for the script's reason, dropped at a reload, or not at all.
enum class TrackEnd { Dead, Vanished, TooFar, Dropped, StillThere, Count };

// One rioter from its recruitment to its release. Positions are in tenths of a world unit, one per sample
// from `start` to `end` (exclusive); a failed spawn (no ped) has none.
struct ReplayTrack {
    int32_t handle = 0;
    int faction = 0;
    int32_t start = 0;
    int32_t end = -1;  // -1 while still in the roster
    TrackEnd reason = TrackEnd::StillThere;
    int32_t death = -1;        // first sample that saw it dead
    int32_t vanish = -1;       // first sample that saw it gone from the world
    int32_t killer = 0;        // the ped whose hit killed it, when the world knows
    int32_t model = -1;        // index into the model names; -1: a random pedestrian (or no ped)
    bool modelFailed = false;  // a random pedestrian came because the model drawn for it never loaded
    std::vector<int32_t> x, y;
    std::vector<int32_t> targets;  // sample, target (0 none, -1 the player, else a ped handle), ...
    std::vector<int32_t> weapons;  // sample, index into the weapon names, ...
    size_t weaponsSeen = 0;
};

// A key press of the scenario, at a game time in ms.
struct ReplayPress {
    int32_t ms = 0;
    int32_t key = 0;
    bool toggle = false;  // the toggle key in force then
};

// The replay's samples, ten a game second (fewer in long runs), kept only when the run writes the replay
// page.
struct ReplaySamples {
    int32_t sampleMs = 100;      // the interval between samples
    std::vector<int32_t> times;  // game time of each sample, ms
    std::vector<int32_t> playerX, playerY;
    std::vector<int32_t> playerStates;  // sample, state, ...: 1 in a vehicle, 2 dead, 4 mode on (bits)
    std::vector<ReplayTrack> tracks;
    std::vector<std::string> weaponNames;
    std::vector<std::string> modelNames;
    std::vector<ReplayPress> presses;
};

struct Recording {
    std::vector<std::string> factionNames;  // "F0 (cap 10)", ... as the run ends
    std::vector<TimelineRow> rows;
    Totals totals;
    std::vector<MapSnapshot> maps;
    std::vector<ChartSample> chart;
    ReplaySamples replay;
};
