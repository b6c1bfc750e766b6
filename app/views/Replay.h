// skirmora-sim run --html: records what the replay page shows, ten times a game second, and writes the page,
// one self-contained HTML file that plays the riot back in a browser.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/views/Timeline.h"
#include "sim/World.h"

// How a rioter left the roster. The first four are World's release reasons, in its order.
enum class ReplayEnd { Dead, Vanished, TooFar, Other, Dropped, StillThere };

// One rioter from its recruitment to its release. Positions are in tenths of a world unit, one per sample
// from `start` to `end` (exclusive); a failed spawn (no ped) has none.
struct ReplayTrack {
    int32_t handle = 0;
    int faction = 0;
    int32_t start = 0;
    int32_t end = -1;  // -1 while still in the roster
    ReplayEnd reason = ReplayEnd::StillThere;
    int32_t death = -1;   // first sample that saw it dead
    int32_t vanish = -1;  // first sample that saw it gone from the world
    std::vector<int32_t> x, y;
    std::vector<int32_t> targets;  // sample, target (0 none, -1 the player, else a ped handle), ...
    std::vector<int32_t> weapons;  // sample, index into the weapon names, ...
    size_t weaponsSeen = 0;
};

struct ReplayRecording {
    int32_t sampleMs = 100;
    std::vector<int32_t> times;  // game time of each sample, ms
    std::vector<int32_t> playerX, playerY;
    std::vector<int32_t> playerStates;  // sample, state, ...: 1 in a vehicle, 2 dead, 4 mode on (bits)
    std::vector<ReplayTrack> tracks;
    std::vector<std::string> weaponNames;
};

// What the page shows at the top.
struct ReplayFacts {
    std::string config;    // as the run's first line names it
    std::string scenario;  // the scenario's name
    uint64_t seed = 0;
    double seconds = 0.0;
    int64_t frames = 0;
    Totals totals;
    std::vector<std::string> factionNames;
};

class ReplayRecorder {
  public:
    // Called once a frame with the world as the previous frame left it, and at the end of the run (last).
    void Observe(const World& world, double seconds, bool last = false);
    const ReplayRecording& Recording() const { return recording_; }

  private:
    void FollowRoster(const World& world);
    void Sample(const World& world, int32_t ms);
    int32_t WeaponIndex(uint32_t hash);

    ReplayRecording recording_;
    std::vector<std::vector<size_t>> roster_;  // per faction, the tracks of its members in roster order
    std::vector<int32_t> handles_;             // scratch
    std::map<uint32_t, int32_t> weaponIndex_;
    int64_t releasesSeen_[ReleaseReasonCount] = {};
    int32_t lastState_ = -1;
};

// The JSON the page reads: integers and escaped ASCII text only, the same bytes on every platform.
std::string ReplayJson(const ReplayRecording& recording, const ReplayFacts& facts);
// The whole page with its style, script and data inlined.
std::string ReplayHtml(const ReplayRecording& recording, const ReplayFacts& facts);
// Writes the page, making its folder when missing; throws std::runtime_error saying what failed.
void WriteReplay(const std::string& path, const std::string& html);
