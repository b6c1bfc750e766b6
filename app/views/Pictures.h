// skirmora-sim run --svg: top-down maps of the riot at chosen moments, a chart of members per faction over
// time, and an index.html that shows them all.
#pragma once
#include <string>
#include <vector>

#include "app/run/Recording.h"
#include "riot/Cull.h"

struct PictureSet {
    std::string title;                      // e.g. the scenario and config names
    std::vector<std::string> factionNames;  // "Faction 0 (cap 12)", ...
    float releaseRadius = CullDistance;     // rioters this far from the player are released
    std::vector<MapSnapshot> maps;
    std::vector<ChartSample> chart;
    std::string replayLink;  // the replay page relative to index.html, percent-encoded; empty: none
};

// Writes map-01.svg ... (one per snapshot), members.svg and index.html into dir, made when missing (in a
// folder that is there), all or none; maps of an earlier run beyond this one's are removed. Returns the paths
// written, index.html last. Throws std::runtime_error saying what failed when a file cannot be written.
std::vector<std::string> WritePictures(const PictureSet& pictures, const std::string& dir);

// Whether WritePictures writes or removes a file of that name: index.html, members.svg, map-NN.svg.
bool IsPictureName(const std::string& name);
