// skirmora-sim run --html: the page that plays a run back in a browser, one self-contained HTML file, from
// the run's recording (app/run/Recording.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/run/Recording.h"

// What the page shows at the top.
struct ReplayFacts {
    std::string config;    // as the run's first line names it
    std::string scenario;  // the scenario's name
    uint64_t seed = 0;
    double seconds = 0.0;
    int64_t frames = 0;
};

// The JSON the page reads, integers and escaped ASCII text only, the same bytes on every platform: a head
// (everything but the tracks, and how many tracks and parts follow) and the tracks in parts, each an array.
struct ReplayData {
    std::string head;
    std::vector<std::string> parts;
};
ReplayData ReplayJson(const Recording& recording, const ReplayFacts& facts);
// The whole page with its style, script and data inlined.
std::string ReplayHtml(const Recording& recording, const ReplayFacts& facts);
