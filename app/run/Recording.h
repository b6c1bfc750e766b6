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
    // Game times (ms) of the frames that saw it recruited, killed (-1: never) and leave the roster (-1:
    // never).
    int32_t startMs = 0;
    int32_t deathMs = -1;
    int32_t endMs = -1;
    int killerFaction = -1;   // the killer's faction when it was a rioter, else -1
    int32_t killWeapon = -1;  // the weapon the killer was last handed before the kill; -1: none (unarmed)
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
    std::vector<std::string> modelNames;
    std::vector<ReplayPress> presses;
};

// A faction's fights: kills, deaths, attacks and hits, and the weapons its members were handed.
struct WeaponScore {
    int32_t weapon = -1;  // index into the weapon names; -1: no weapon
    int64_t handed = 0;
    int64_t kills = 0;
};

struct FactionScore {
    int members = 0;  // in the roster at the end
    int64_t recruited = 0;
    int64_t kills = 0;   // peds its members killed
    int64_t deaths = 0;  // its members killed
    int64_t attacks = 0;
    int64_t hits = 0;
    int64_t lifeMs = 0;  // summed over its recruits: recruitment to death, leaving the roster or the end
    int64_t longestLifeMs = 0;
    std::vector<WeaponScore> weapons;  // in the order of the weapon names
};

// The factions' attacks and hits so far, at a game time: the page's "up to the playhead".
struct FightSample {
    int32_t ms = 0;
    std::vector<int64_t> attacks, hits;  // per faction
};

struct Recording {
    std::vector<std::string> factionNames;  // "F0 (cap 10)", ... as the run ends
    std::vector<std::string> weaponNames;   // as the config names them, in the order first handed
    std::vector<FactionScore> factions;     // per faction, over the whole run
    std::vector<FightSample> fights;        // at the chart's moments and the end
    std::vector<TimelineRow> rows;
    Totals totals;
    std::vector<MapSnapshot> maps;
    std::vector<ChartSample> chart;
    ReplaySamples replay;
};
