// skirmora-sim run --svg: top-down maps of the riot at chosen moments, a chart of members per faction over
// time, and an index.html that shows them all.
#pragma once
#include <string>
#include <vector>

struct MapRioter {
    float x = 0.0f;
    float y = 0.0f;
    int faction = 0;  // index into PictureSet::factionNames
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

struct ChartSample {
    double seconds = 0.0;
    std::vector<int> members;  // one count per faction, in PictureSet::factionNames order
};

struct PictureSet {
    std::string title;                      // e.g. the scenario and config names
    std::vector<std::string> factionNames;  // "Faction 0 (cap 12)", ...
    float releaseRadius = 150.0f;           // rioters this far from the player are released
    std::vector<MapSnapshot> maps;
    std::vector<ChartSample> chart;
    std::string replayLink;  // the replay page relative to index.html, percent-encoded; empty: none
};

// Writes map-01.svg ... (one per snapshot), members.svg and index.html into dir, creating dir when missing.
// Returns the paths written, index.html last. Throws std::runtime_error saying what failed when a file cannot
// be written.
std::vector<std::string> WritePictures(const PictureSet& pictures, const std::string& dir);
